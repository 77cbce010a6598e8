// CShellExecute against the system's shell. Programs built next to the tests stand in for the
// programs that associations and protocols name: one records how the shell started it, one
// runs until the test lets it end, and a DDE server in the test answers for a document that
// the shell opens without starting anything.
#include <windows.h>

#include <ddeml.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/CShellExecute.h"
#include "win32_test_support.h"

namespace {

using win32::AutoCloseHandle;
using win32_test::CreatedTree;
using win32_test::CriticalSection;
using win32_test::DeleteKeyTree;
using win32_test::DialogWatch;
using win32_test::EnvironmentVariable;
using win32_test::HelperProgram;
using win32_test::Quoted;
using win32_test::SavedKeyTree;
using win32_test::SeenDialog;
using win32_test::Thread;
using win32_test::UniqueName;
using win32_test::WriteString;

// Milliseconds a started program has to show its effect; a start can take several seconds
// where 32-bit code runs under emulation.
constexpr DWORD kPatience = 30000;
constexpr int32_t kLaunched = -1;  // the launch status of a request the shell carried out
constexpr char kMissingFolder[] = "C:\\SondrelCartellaInesistente";

// What the recorder program wrote about its start.
struct Record {
  std::string command;
  unsigned long flags = 0;
  int show = -1;
  std::string folder;
  std::vector<std::string> args;
};

Record ParseRecord(const std::string& text) {
  Record record;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (name == "command") record.command = value;
    if (name == "flags") record.flags = std::strtoul(value.c_str(), nullptr, 10);
    if (name == "show") record.show = std::atoi(value.c_str());
    if (name == "folder") record.folder = value;
    if (name == "arg") record.args.push_back(value);
  }
  return record;
}

// The recorder program, told through the environment where to write. Each Expect() names a
// fresh file, so a record always belongs to the request that followed it.
class Recorder {
 public:
  explicit Recorder(std::string folder) : folder_(std::move(folder)) {}

  static std::string Program() { return HelperProgram("launch_recorder.exe"); }

  // The command an association or protocol names: the recorder, then the given arguments.
  static std::string Command(const std::string& arguments) {
    return Quoted(Program()) + " " + arguments;
  }

  // Starts a new record file for the next request.
  void Expect() {
    Forget();
    path_ = folder_ + "\\" + UniqueName("record") + ".txt";
    variable_.reset();
    variable_ = std::make_unique<EnvironmentVariable>("SONDREL_RECORD_FILE", path_);
  }

  // The record of the request, or nothing when no recorder ran within the patience.
  std::optional<Record> Wait(DWORD patience = kPatience) const {
    if (path_.empty()) return std::nullopt;
    const std::optional<std::string> content = win32_test::WaitForFileContent(path_, patience);
    if (!content) return std::nullopt;
    return ParseRecord(*content);
  }

  ~Recorder() { Forget(); }

 private:
  void Forget() {
    if (path_.empty()) return;
    DeleteFileA(path_.c_str());
    DeleteFileA((path_ + ".part").c_str());
  }

  std::string folder_;
  std::string path_;
  std::unique_ptr<EnvironmentVariable> variable_;
};

// A file type of the test's own under HKEY_CLASSES_ROOT: the extension names a class whose
// verbs run the given commands. Both keys are put back as they were when the object ends.
class TestFileType {
 public:
  TestFileType(const std::string& extension, std::string class_name)
      : extension_key_(HKEY_CLASSES_ROOT, extension),
        class_key_(HKEY_CLASSES_ROOT, class_name),
        class_(std::move(class_name)) {
    DeleteKeyTree(HKEY_CLASSES_ROOT, extension);
    DeleteKeyTree(HKEY_CLASSES_ROOT, class_);
    made_ = WriteString(HKEY_CLASSES_ROOT, extension, "", class_);
  }

  // A verb's command. Set writes any other value below the class's key.
  TestFileType& Verb(const std::string& verb, const std::string& command) {
    return Set("shell\\" + verb + "\\command", "", command);
  }
  TestFileType& Set(const std::string& below, const std::string& name, const std::string& text) {
    made_ = WriteString(HKEY_CLASSES_ROOT, class_ + "\\" + below, name, text) && made_;
    return *this;
  }
  bool made() const { return made_; }

 private:
  SavedKeyTree extension_key_;
  SavedKeyTree class_key_;
  std::string class_;
  bool made_ = false;
};

// A URL protocol under HKEY_CLASSES_ROOT whose open command is the given one, put back as it
// was when the object ends.
class TestProtocol {
 public:
  TestProtocol(const std::string& scheme, const std::string& command)
      : saved_(HKEY_CLASSES_ROOT, scheme) {
    DeleteKeyTree(HKEY_CLASSES_ROOT, scheme);
    made_ = WriteString(HKEY_CLASSES_ROOT, scheme, "", "URL:" + scheme) &&
            WriteString(HKEY_CLASSES_ROOT, scheme, "URL Protocol", "") &&
            WriteString(HKEY_CLASSES_ROOT, scheme + "\\shell\\open\\command", "", command);
  }
  bool made() const { return made_; }

 private:
  SavedKeyTree saved_;
  bool made_ = false;
};

// True while some handle keeps the process object of that id alive, ended or not.
bool ProcessObjectExists(DWORD id) {
  const AutoCloseHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  return process.valid();
}

// The system lets the object of an ended process go a moment after its last handle was closed
// (in Wine some hundred milliseconds); a handle still open keeps it for good.
bool ProcessObjectGoesWithin(DWORD id, DWORD patience) {
  const DWORD start = GetTickCount();
  while (ProcessObjectExists(id)) {
    if (GetTickCount() - start >= patience) return false;
    Sleep(20);
  }
  return true;
}

// The waiting program, started by a test through the shell, runs until Finish() or the end
// of the object lets it end.
class WaitingProgram {
 public:
  explicit WaitingProgram(const std::string& folder)
      : event_name_(UniqueName("SondrelProva.Fine")),
        finish_(CreateEventA(nullptr, TRUE, FALSE, event_name_.c_str())),
        id_file_(folder + "\\" + UniqueName("processo") + ".txt") {}
  WaitingProgram(const WaitingProgram&) = delete;
  WaitingProgram& operator=(const WaitingProgram&) = delete;
  ~WaitingProgram() {
    Finish();
    DeleteFileA(id_file_.c_str());
  }

  static std::string Program() { return HelperProgram("waiting_program.exe"); }
  // It gives up by itself after 20 seconds, should a failed test not end it.
  std::string Parameters() const { return Quoted(id_file_) + " " + event_name_ + " 20000"; }

  // The started program's process id, 0 when it did not start within the patience.
  DWORD Id() {
    if (id_ != 0) return id_;
    if (const auto content = win32_test::WaitForFileContent(id_file_, kPatience)) {
      id_ = std::strtoul(content->c_str(), nullptr, 10);
    }
    return id_;
  }

  // Whether the program still runs, seen through a handle of the test's own.
  bool Running() {
    const AutoCloseHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, Id()));
    DWORD code = 0;
    return process.valid() && GetExitCodeProcess(process.get(), &code) && code == STILL_ACTIVE;
  }

  // Lets it end and waits until it has; true when it has ended.
  bool Finish() {
    SetEvent(finish_.get());
    if (!win32_test::Exists(id_file_)) return true;
    const AutoCloseHandle process(OpenProcess(SYNCHRONIZE, FALSE, Id()));
    return !process.valid() || WaitForSingleObject(process.get(), kPatience) == WAIT_OBJECT_0;
  }

 private:
  std::string event_name_;
  AutoCloseHandle finish_;
  std::string id_file_;
  DWORD id_ = 0;
};

// Waits until StillExecuting turns false; false when it is still true after the patience.
bool EndsWithin(const CShellExecute& shell, DWORD patience) {
  const DWORD start = GetTickCount();
  while (shell.StillExecuting()) {
    if (GetTickCount() - start >= patience) return false;
    Sleep(20);
  }
  return true;
}

// A DDE server on its own thread, answering the service and topic given and keeping every
// command executed on it.
class DdeServer {
 public:
  DdeServer(std::string service, std::string topic)
      : service_(std::move(service)), topic_(std::move(topic)), thread_([this] { Run(); }) {
    if (thread_.joinable()) WaitForSingleObject(started_.get(), INFINITE);
  }
  DdeServer(const DdeServer&) = delete;
  DdeServer& operator=(const DdeServer&) = delete;
  ~DdeServer() {
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    thread_.Join();
  }

  bool serving() {
    const CriticalSection::Lock lock(section_);
    return state_ == State::kServing;
  }
  std::vector<std::string> Commands() {
    const CriticalSection::Lock lock(section_);
    return commands_;
  }

 private:
  enum class State { kStarting, kServing, kFailed };

  static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ first, HSZ, HDDEDATA data,
                                    ULONG_PTR, ULONG_PTR) {
    DdeServer* server = current_;
    if (server == nullptr) return nullptr;
    if (type == XTYP_CONNECT) {
      return reinterpret_cast<HDDEDATA>(
          static_cast<UINT_PTR>(DdeCmpStringHandles(first, server->topic_handle_) == 0));
    }
    if (type == XTYP_EXECUTE) {
      std::vector<BYTE> bytes(DdeGetData(data, nullptr, 0, 0));
      DdeGetData(data, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
      const CriticalSection::Lock lock(server->section_);
      server->commands_.push_back(Text(bytes));
      return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(DDE_FACK));
    }
    return nullptr;
  }

  // The command as ANSI text, whether the client sent it in single-byte or UTF-16 form.
  static std::string Text(const std::vector<BYTE>& bytes) {
    if (bytes.size() >= 2 && bytes[1] == 0) {
      std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
      wide = wide.c_str();
      const int size =
          WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
      std::string text(size, '\0');
      WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
      return text.c_str();
    }
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()).c_str();
  }

  void Run() {
    thread_id_ = GetCurrentThreadId();
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    current_ = this;
    DWORD instance = 0;
    bool ok = DdeInitializeA(&instance, Callback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS,
                             0) == DMLERR_NO_ERROR;
    HSZ service = nullptr;
    if (ok) {
      service = DdeCreateStringHandleA(instance, service_.c_str(), CP_WINANSI);
      topic_handle_ = DdeCreateStringHandleA(instance, topic_.c_str(), CP_WINANSI);
      ok = service != nullptr && topic_handle_ != nullptr &&
           DdeNameService(instance, service, nullptr, DNS_REGISTER) != nullptr;
    }
    {
      const CriticalSection::Lock lock(section_);
      state_ = ok ? State::kServing : State::kFailed;
    }
    SetEvent(started_.get());
    while (ok && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (instance != 0) {
      if (ok) DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
      if (service != nullptr) DdeFreeStringHandle(instance, service);
      if (topic_handle_ != nullptr) DdeFreeStringHandle(instance, topic_handle_);
      DdeUninitialize(instance);
    }
    current_ = nullptr;
  }

  static inline DdeServer* current_ = nullptr;
  std::string service_;
  std::string topic_;
  HSZ topic_handle_ = nullptr;
  CriticalSection section_;
  AutoCloseHandle started_{
      CreateEventA(nullptr, TRUE, FALSE, nullptr)};  // set once state_ is known
  State state_ = State::kStarting;
  std::vector<std::string> commands_;
  DWORD thread_id_ = 0;
  Thread thread_;
};

// The launching members' own names: a dialog titled with one would be the procedure error
// report, which no shell refusal may bring up.
bool IsProcedureErrorReport(const SeenDialog& dialog) {
  static const char* const kMembers[] = {"StillExecuting", "Explore",      "LaunchDocument",
                                         "LaunchEmail",    "LaunchFolder", "LaunchProgram",
                                         "LaunchURL",      "PrintDocument"};
  for (const char* member : kMembers) {
    if (dialog.title == member) return true;
  }
  return dialog.text.compare(0, 7, "Error: ") == 0;
}

class ShellTest : public ::testing::Test {
 protected:
  void TearDown() override {
    const std::vector<SeenDialog> seen = StopWatch();
    EXPECT_TRUE(seen.empty()) << "dialogs shown: " << win32_test::Describe(seen);
  }

  // Ends the watch and hands over what it saw; the end of the test then checks nothing more.
  std::vector<SeenDialog> StopWatch() {
    if (watch_ == nullptr) return {};
    std::vector<SeenDialog> seen = watch_->Stop();
    watch_.reset();
    return seen;
  }

  CreatedTree tree_{win32_test::TempFolder() + "SondrelShell", true};
  Recorder recorder_{tree_.root()};

 private:
  std::unique_ptr<DialogWatch> watch_ = std::make_unique<DialogWatch>();
};

TEST_F(ShellTest, StillExecutingWhileTheStartedProgramRunsAndNotAfterItEnded) {
  WaitingProgram program(tree_.root());
  CShellExecute shell;
  ASSERT_EQ(
      shell.LaunchProgram(platform::kNoWindow, WaitingProgram::Program(), program.Parameters()),
      kLaunched);
  ASSERT_NE(program.Id(), 0u) << "the program did not start";
  EXPECT_TRUE(shell.StillExecuting());
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(shell.StillExecuting()) << "asked again while it still runs";

  ASSERT_TRUE(program.Finish());
  EXPECT_TRUE(EndsWithin(shell, kPatience)) << "still executing after the program ended";
  EXPECT_FALSE(shell.StillExecuting());
}

TEST_F(ShellTest, ASimpleLaunchForgetsTheProgramStartedBefore) {
  WaitingProgram program(tree_.root());
  CShellExecute shell;
  ASSERT_EQ(
      shell.LaunchProgram(platform::kNoWindow, WaitingProgram::Program(), program.Parameters()),
      kLaunched);
  ASSERT_NE(program.Id(), 0u);
  ASSERT_TRUE(shell.StillExecuting());
  EXPECT_EQ(shell.LaunchFolder(platform::kNoWindow, kMissingFolder), SE_ERR_FNF);
  EXPECT_TRUE(program.Running()) << "the program is still there";
  EXPECT_FALSE(shell.StillExecuting()) << "but no longer the launcher's to watch";
}

// The first program ends after the second, so once its object has gone, the second's would
// have gone too had its handle not been kept.
TEST_F(ShellTest, TheKeptProcessHandleIsClosedWhenALaterLaunchReplacesIt) {
  WaitingProgram first(tree_.root());
  WaitingProgram second(tree_.root());
  CShellExecute shell;
  ASSERT_EQ(shell.LaunchProgram(platform::kNoWindow, WaitingProgram::Program(), first.Parameters()),
            kLaunched);
  ASSERT_NE(first.Id(), 0u);
  ASSERT_EQ(
      shell.LaunchProgram(platform::kNoWindow, WaitingProgram::Program(), second.Parameters()),
      kLaunched);
  ASSERT_NE(second.Id(), 0u);
  ASSERT_TRUE(second.Finish());
  ASSERT_TRUE(first.Finish());

  EXPECT_TRUE(ProcessObjectGoesWithin(first.Id(), kPatience))
      << "the second launch replaced the first";
  EXPECT_TRUE(ProcessObjectExists(second.Id()))
      << "the last launch's handle is kept, also after its program ended";

  EXPECT_EQ(shell.Explore(platform::kNoWindow, kMissingFolder), SE_ERR_FNF);
  EXPECT_TRUE(ProcessObjectGoesWithin(second.Id(), 5000)) << "a simple launch forgot it";
}

TEST_F(ShellTest, TheKeptProcessHandleIsClosedWhenTheLauncherEnds) {
  WaitingProgram program(tree_.root());
  {
    CShellExecute shell;
    ASSERT_EQ(
        shell.LaunchProgram(platform::kNoWindow, WaitingProgram::Program(), program.Parameters()),
        kLaunched);
    ASSERT_NE(program.Id(), 0u);
    ASSERT_TRUE(program.Finish());
  }
  EXPECT_TRUE(ProcessObjectGoesWithin(program.Id(), 5000));
}

// The shell's own answer to a request, made here directly with the arguments the member is
// to pass.
intptr_t ShellAnswer(const char* verb, const std::string& file, int show) {
  return reinterpret_cast<intptr_t>(
      ShellExecuteA(nullptr, verb, file.c_str(), nullptr, nullptr, show));
}

intptr_t ExtendedShellAnswer(const std::string& file, const std::string& parameters,
                             const std::string& directory) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // Asked without the shell's own error message, which does not change its answer.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "Open";
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = SW_SHOWDEFAULT;
  ShellExecuteExA(&info);
  const AutoCloseHandle process(info.hProcess);
  return reinterpret_cast<intptr_t>(info.hInstApp);
}

// Each real situation with the shell's answer to it and the status the member returns: its
// error code, or -1 for any answer above 32. Wine answers a started program with 33, the
// smallest success value, so the success rows are the upper side of the 32/33 boundary.
TEST_F(ShellTest, LaunchStatusIsTheShellsErrorCodeOrTrue) {
  TestFileType opened(".sondrelapri", "SondrelProva.Apri");
  opened.Verb("open", Recorder::Command("\"%1\""));
  ASSERT_TRUE(opened.made());
  const std::string document = tree_.File("documento.sondrelapri", "testo");
  const std::string unassociated = tree_.File("senza.sondrelnessuna", "testo");
  ASSERT_FALSE(document.empty());
  ASSERT_FALSE(unassociated.empty());

  enum class Member { kExplore, kLaunchFolder, kLaunchDocument, kLaunchProgram, kPrintDocument };
  struct Case {
    const char* situation;
    Member member;
    std::string file;
    intptr_t shell_answer;  // what Wine's shell gives
    int32_t expected;
  };
  const Case cases[] = {
      {"folder that does not exist", Member::kLaunchFolder, kMissingFolder, SE_ERR_FNF, SE_ERR_FNF},
      {"folder to explore that does not exist", Member::kExplore, kMissingFolder, SE_ERR_FNF,
       SE_ERR_FNF},
      {"program that does not exist", Member::kLaunchProgram, tree_.root() + "\\manca.exe",
       SE_ERR_FNF, SE_ERR_FNF},
      {"document of a type without association", Member::kLaunchDocument, unassociated,
       SE_ERR_NOASSOC, SE_ERR_NOASSOC},
      {"file opened as a folder, type without association", Member::kLaunchFolder, unassociated,
       SE_ERR_NOASSOC, SE_ERR_NOASSOC},
      {"document to print, type without association", Member::kPrintDocument, unassociated,
       SE_ERR_NOASSOC, SE_ERR_NOASSOC},
      {"program started", Member::kLaunchProgram, Recorder::Program(), 33, kLaunched},
      {"document opened by its program", Member::kLaunchDocument, document, 33, kLaunched},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    CShellExecute shell;
    recorder_.Expect();
    int32_t status = 0;
    intptr_t answer = 0;
    switch (c.member) {
      case Member::kExplore:
        status = shell.Explore(platform::kNoWindow, c.file);
        answer = ShellAnswer("explore", c.file, SW_SHOWDEFAULT);
        break;
      case Member::kLaunchFolder:
        status = shell.LaunchFolder(platform::kNoWindow, c.file);
        answer = ShellAnswer("open", c.file, SW_SHOWDEFAULT);
        break;
      case Member::kPrintDocument:
        status = shell.PrintDocument(platform::kNoWindow, c.file);
        answer = ShellAnswer("print", c.file, SW_HIDE);
        break;
      case Member::kLaunchDocument:
        status = shell.LaunchDocument(platform::kNoWindow, c.file, "");
        if (status == kLaunched) {
          EXPECT_TRUE(recorder_.Wait()) << "nothing was started";
        }
        recorder_.Expect();
        answer = ExtendedShellAnswer(c.file, "", "");
        break;
      case Member::kLaunchProgram:
        status = shell.LaunchProgram(platform::kNoWindow, c.file);
        if (status == kLaunched) {
          EXPECT_TRUE(recorder_.Wait()) << "nothing was started";
        }
        recorder_.Expect();
        answer = ExtendedShellAnswer(c.file, "", "");
        break;
    }
    if (answer > 32) {
      EXPECT_TRUE(recorder_.Wait()) << "the shell started nothing";
    }
    EXPECT_EQ(answer, c.shell_answer) << "the shell's own answer";
    EXPECT_EQ(status, answer > 32 ? kLaunched : static_cast<int32_t>(answer));
    EXPECT_EQ(status, c.expected);
    if (status != kLaunched) {
      EXPECT_FALSE(shell.StillExecuting()) << "nothing was started";
    }
  }
  // A refused extended request brings up the shell's own message; never the launcher's.
  for (const SeenDialog& dialog : StopWatch()) {
    EXPECT_FALSE(IsProcedureErrorReport(dialog)) << win32_test::Describe({dialog});
  }
}

// A document type whose open verb is carried out by DDE: the shell hands the command to the
// server that answers, here the test itself, and starts no process.
TEST_F(ShellTest, ADocumentOpenedWithoutANewProcessIsNotExecuting) {
  DdeServer server("SondrelProva", "System");
  ASSERT_TRUE(server.serving());
  TestFileType type(".sondreldde", "SondrelProva.Dde");
  // Should the conversation fail, the shell would try to start this, which does not exist.
  type.Verb("open", Quoted(tree_.root() + "\\manca.exe") + " \"%1\"")
      .Set("shell\\open\\ddeexec", "", "[Apri(\"%1\")]")
      .Set("shell\\open\\ddeexec\\application", "", "SondrelProva")
      .Set("shell\\open\\ddeexec\\topic", "", "System");
  ASSERT_TRUE(type.made());
  const std::string document = tree_.File("lettera.sondreldde", "testo");
  ASSERT_FALSE(document.empty());

  CShellExecute shell;
  EXPECT_EQ(shell.LaunchDocument(platform::kNoWindow, document, ""), kLaunched);
  EXPECT_FALSE(shell.StillExecuting());
  const std::vector<std::string> commands = server.Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], "[Apri(\"" + document + "\")]");
  EXPECT_EQ(ExtendedShellAnswer(document, "", ""), 33) << "the shell's own answer to it";
}

TEST_F(ShellTest, LaunchEmailHandsTheAddressAfterMailto) {
  TestProtocol mailto("mailto", Recorder::Command("\"%1\""));
  ASSERT_TRUE(mailto.made());
  const struct {
    std::string address;
    std::string handed;
  } cases[] = {
      {"", "mailto:"},
      {"assistenza@sondrel.invalid", "mailto:assistenza@sondrel.invalid"},
      {"a@b.invalid?subject=Rapporto%20Sondrel", "mailto:a@b.invalid?subject=Rapporto%20Sondrel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("address \"" + c.address + "\"");
    CShellExecute shell;
    recorder_.Expect();
    EXPECT_EQ(shell.LaunchEmail(platform::kNoWindow, c.address), kLaunched);
    const std::optional<Record> record = recorder_.Wait();
    ASSERT_TRUE(record) << "the mail program did not start";
    EXPECT_EQ(record->args, std::vector<std::string>{c.handed});
    EXPECT_EQ(record->command, Recorder::Command(Quoted(c.handed)));
    EXPECT_FALSE(shell.StillExecuting());
  }
}

TEST_F(ShellTest, LaunchURLHandsTheURLUnchanged) {
  TestProtocol http("http", Recorder::Command("\"%1\""));
  ASSERT_TRUE(http.made());
  const std::string urls[] = {
      "http://sondrel.invalid/",
      "http://sondrel.invalid/scarica?versione=1.4&lingua=it#java",
      "http://sondrel.invalid/percorso%20codificato/file.exe",
      "HTTP://SONDREL.INVALID/Maiuscole",
  };
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    CShellExecute shell;
    recorder_.Expect();
    EXPECT_EQ(shell.LaunchURL(platform::kNoWindow, url), kLaunched);
    const std::optional<Record> record = recorder_.Wait();
    ASSERT_TRUE(record) << "the browser did not start";
    EXPECT_EQ(record->args, std::vector<std::string>{url});
    EXPECT_EQ(record->show, SW_SHOWDEFAULT);
  }
}

TEST_F(ShellTest, PrintDocumentRunsThePrintVerbHidden) {
  TestFileType type(".sondrelstampa", "SondrelProva.Stampa");
  type.Verb("open", Recorder::Command("apri \"%1\""))
      .Verb("print", Recorder::Command("stampa \"%1\""));
  ASSERT_TRUE(type.made());
  const std::string document = tree_.File("rapporto.sondrelstampa", "testo");
  ASSERT_FALSE(document.empty());

  CShellExecute shell;
  recorder_.Expect();
  EXPECT_EQ(shell.PrintDocument(platform::kNoWindow, document), kLaunched);
  const std::optional<Record> record = recorder_.Wait();
  ASSERT_TRUE(record) << "the print command did not run";
  EXPECT_EQ(record->args, (std::vector<std::string>{"stampa", document}));
  EXPECT_TRUE(record->flags & STARTF_USESHOWWINDOW);
  EXPECT_EQ(record->show, SW_HIDE);
}

TEST_F(ShellTest, LaunchDocumentOpensWithTheGivenShowStyleAndFolder) {
  TestFileType type(".sondrelapri", "SondrelProva.Apri");
  type.Verb("open", Recorder::Command("apri \"%1\""))
      .Verb("print", Recorder::Command("stampa \"%1\""));
  ASSERT_TRUE(type.made());
  const std::string document = tree_.File("documento.sondrelapri", "testo");
  const std::string start_in = tree_.Folder("Avvia qui");
  ASSERT_FALSE(document.empty());
  ASSERT_FALSE(start_in.empty());
  const struct {
    int32_t show;
    std::string folder;
  } cases[] = {{SW_SHOWMINNOACTIVE, start_in}, {SW_SHOWMAXIMIZED, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE("show " + std::to_string(c.show) + " in \"" + c.folder + "\"");
    CShellExecute shell;
    recorder_.Expect();
    EXPECT_EQ(shell.LaunchDocument(platform::kNoWindow, document, c.folder, c.show), kLaunched);
    const std::optional<Record> record = recorder_.Wait();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->args, (std::vector<std::string>{"apri", document}));
    EXPECT_EQ(record->show, c.show);
    if (!c.folder.empty()) {
      EXPECT_EQ(_stricmp(record->folder.c_str(), c.folder.c_str()), 0) << record->folder;
    }
  }
}

TEST_F(ShellTest, LaunchProgramPassesParametersFolderAndShowStyle) {
  const std::string start_in = tree_.Folder("Cartella di lavoro");
  ASSERT_FALSE(start_in.empty());
  char current[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof current, current);
  CShellExecute shell;

  recorder_.Expect();
  EXPECT_EQ(shell.LaunchProgram(platform::kNoWindow, Recorder::Program()), kLaunched);
  std::optional<Record> record = recorder_.Wait();
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->args.empty()) << record->command;
  EXPECT_EQ(record->show, SW_SHOWDEFAULT);
  EXPECT_EQ(_stricmp(record->folder.c_str(), current), 0) << "the launcher's own folder";

  recorder_.Expect();
  EXPECT_EQ(shell.LaunchProgram(platform::kNoWindow, Recorder::Program(),
                                "uno \"due e tre\" --quattro", start_in, SW_SHOWNORMAL),
            kLaunched);
  record = recorder_.Wait();
  ASSERT_TRUE(record);
  EXPECT_EQ(record->args, (std::vector<std::string>{"uno", "due e tre", "--quattro"}));
  EXPECT_EQ(record->show, SW_SHOWNORMAL);
  EXPECT_EQ(_stricmp(record->folder.c_str(), start_in.c_str()), 0);
}

// Folders are one shell class whose verbs the test points at the recorder: each member must
// ask for its own verb and hand the folder and the show style over unchanged.
TEST_F(ShellTest, ExploreAndLaunchFolderAskForTheirOwnVerbs) {
  const SavedKeyTree folders(HKEY_CLASSES_ROOT, "Folder");
  DeleteKeyTree(HKEY_CLASSES_ROOT, "Folder\\shell");
  ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, "Folder\\shell\\open\\command", "",
                          Recorder::Command("apri \"%1\"")));
  ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, "Folder\\shell\\explore\\command", "",
                          Recorder::Command("esplora \"%1\"")));
  const std::string folder = tree_.Folder("Cartella da mostrare");
  ASSERT_FALSE(folder.empty());

  const struct {
    bool explore;
    int32_t show;  // -1: the member's default
    const char* verb;
    int expected_show;
  } cases[] = {
      {true, -1, "esplora", SW_SHOWDEFAULT},
      {true, SW_SHOWMAXIMIZED, "esplora", SW_SHOWMAXIMIZED},
      {false, -1, "apri", SW_SHOWDEFAULT},
      {false, SW_SHOWMINIMIZED, "apri", SW_SHOWMINIMIZED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.explore ? "Explore" : "LaunchFolder") + " show " +
                 std::to_string(c.show));
    CShellExecute shell;
    recorder_.Expect();
    int32_t status = 0;
    if (c.explore) {
      status = c.show < 0 ? shell.Explore(platform::kNoWindow, folder)
                          : shell.Explore(platform::kNoWindow, folder, c.show);
    } else {
      status = c.show < 0 ? shell.LaunchFolder(platform::kNoWindow, folder)
                          : shell.LaunchFolder(platform::kNoWindow, folder, c.show);
    }
    EXPECT_EQ(status, kLaunched);
    const std::optional<Record> record = recorder_.Wait();
    ASSERT_TRUE(record) << "the folder's verb did not run";
    EXPECT_EQ(record->args, (std::vector<std::string>{c.verb, folder}));
    EXPECT_EQ(record->show, c.expected_show);
    EXPECT_FALSE(shell.StillExecuting()) << "a simple launch keeps no process";
  }
}

}  // namespace
