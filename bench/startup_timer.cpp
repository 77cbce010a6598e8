// Measures how long a program takes from process creation until its window is visible and
// answers: for Sondrel, until its report box hands back the complete report; for the floor,
// until its window hands back its caption. Both answers need the program's own thread, so both
// runs end the same way. Runs Sondrel and the floor program alternately and prints each run's
// time, the medians and their ratio. With --phases it runs Sondrel alone, as the monitor of
// debug output that the program tells its start-up phases to, and prints the time from process
// creation to each phase.
//   startup_timer RUNS SONDREL.EXE FLOOR.EXE
//   startup_timer --phases RUNS SONDREL.EXE
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/scoped_win.h"

namespace {

// The last line the report pass writes.
constexpr char kLastLabel[] = "Kerio Personal Firewall = ";
constexpr DWORD kGiveUpMilliseconds = 60000;

struct Search {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->process || !IsWindowVisible(hwnd)) return TRUE;
  search->window = hwnd;
  return FALSE;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

bool ReportComplete(HWND window) {
  HWND edit = FindWindowExA(window, nullptr, "EDIT", nullptr);
  if (edit == nullptr) return false;
  const std::string text = WindowText(edit);
  const size_t last = text.rfind(kLastLabel);
  return last != std::string::npos && text.size() >= 2 &&
         text.compare(text.size() - 2, 2, "\r\n") == 0;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// A program started, with the moment just before its process was created; not valid when it
// could not be started.
struct StartedProgram {
  explicit StartedProgram(const std::string& program) {
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
      return;
    }
    process = win32::AutoCloseHandle(started.hProcess);
    thread = win32::AutoCloseHandle(started.hThread);
    id = started.dwProcessId;
  }
  bool valid() const { return process.valid(); }

  LARGE_INTEGER begin{};
  win32::AutoCloseHandle process;
  win32::AutoCloseHandle thread;
  DWORD id = 0;
};

// The start-up time of one run in milliseconds, or a negative number when it never got there.
double TimeOneRun(const std::string& program, bool wait_for_report) {
  const StartedProgram started(program);
  if (!started.valid()) return -1;
  const LARGE_INTEGER begin = started.begin;
  const HANDLE process = started.process.get();
  double elapsed = -1;
  for (;;) {
    Search search{started.id, nullptr};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (search.window != nullptr &&
        (wait_for_report ? ReportComplete(search.window) : WindowText(search.window) == "Floor")) {
      elapsed = Milliseconds(begin, now);
      break;
    }
    if (Milliseconds(begin, now) > kGiveUpMilliseconds) break;
    Sleep(1);
  }
  // Only the start-up is measured. Closing the window would cost Wine about two seconds per
  // run waiting for a window manager, so the program is ended instead.
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 15000);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The debug output of every process, as a monitor such as DebugView receives it: a writer
// takes the buffer when "DBWIN_BUFFER_READY" is set, and sets "DBWIN_DATA_READY" once it has
// written its process id and text there.
class DebugOutputMonitor {
 public:
  struct Line {
    LARGE_INTEGER at;
    std::string text;
  };

  DebugOutputMonitor()
      : buffer_ready_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY")),
        data_ready_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")),
        mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                    "DBWIN_BUFFER")),
        view_(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0)) {}
  DebugOutputMonitor(const DebugOutputMonitor&) = delete;
  DebugOutputMonitor& operator=(const DebugOutputMonitor&) = delete;
  ~DebugOutputMonitor() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }

  bool ready() const { return view_ != nullptr && buffer_ready_.valid() && data_ready_.valid(); }

  // The lines of the process written until it ends.
  std::vector<Line> LinesUntilEnd(DWORD process_id, HANDLE process) {
    std::vector<Line> lines;
    SetEvent(buffer_ready_.get());
    const HANDLE waits[] = {data_ready_.get(), process};
    while (WaitForMultipleObjects(2, waits, FALSE, kGiveUpMilliseconds) == WAIT_OBJECT_0) {
      Line line;
      QueryPerformanceCounter(&line.at);
      const auto* written = static_cast<const char*>(view_);
      DWORD writer = 0;
      std::memcpy(&writer, written, sizeof writer);
      line.text.assign(written + sizeof writer,
                       strnlen(written + sizeof writer, kBufferSize - sizeof writer));
      if (writer == process_id) lines.push_back(line);
      SetEvent(buffer_ready_.get());
    }
    return lines;
  }

 private:
  static constexpr DWORD kBufferSize = 4096;
  win32::AutoCloseHandle buffer_ready_;
  win32::AutoCloseHandle data_ready_;
  win32::AutoCloseHandle mapping_;
  void* view_ = nullptr;
};

// What Sondrel tells the monitor at each phase of its start, in order.
constexpr const char* kPhases[] = {"Sondrel: making the form", "Sondrel: form created",
                                   "Sondrel: report complete", "Sondrel: laid out",
                                   "Sondrel: window shown"};

// Waits for the window to answer with the complete report, notes when, and ends the process,
// which ends the monitor's reading too.
struct AnswerWatch {
  DWORD process_id;
  HANDLE process;
  LARGE_INTEGER answered{};

  static DWORD WINAPI Run(void* context) {
    auto* watch = static_cast<AnswerWatch*>(context);
    LARGE_INTEGER begin, now;
    QueryPerformanceCounter(&begin);
    do {
      Search search{watch->process_id, nullptr};
      EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
      QueryPerformanceCounter(&now);
      if (search.window != nullptr && ReportComplete(search.window)) {
        watch->answered = now;
        break;
      }
      Sleep(1);
    } while (Milliseconds(begin, now) < kGiveUpMilliseconds);
    TerminateProcess(watch->process, 0);
    return 0;
  }
};

// The time from process creation to each phase, in milliseconds, and to the window answering
// with the complete report; empty when one never came.
std::vector<double> PhasesOfOneRun(DebugOutputMonitor& monitor, const std::string& program) {
  const StartedProgram started(program);
  if (!started.valid()) return {};
  const LARGE_INTEGER begin = started.begin;
  AnswerWatch watch{started.id, started.process.get()};
  const win32::AutoCloseHandle watcher(
      CreateThread(nullptr, 0, AnswerWatch::Run, &watch, 0, nullptr));
  if (!watcher.valid()) TerminateProcess(started.process.get(), 0);
  const std::vector<DebugOutputMonitor::Line> lines =
      monitor.LinesUntilEnd(started.id, started.process.get());
  if (watcher.valid()) WaitForSingleObject(watcher.get(), INFINITE);
  std::vector<double> times;
  for (const char* phase : kPhases) {
    const auto line =
        std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.text == phase; });
    if (line == lines.end()) return {};
    times.push_back(Milliseconds(begin, line->at));
  }
  if (watch.answered.QuadPart == 0) return {};
  times.push_back(Milliseconds(begin, watch.answered));
  return times;
}

int TimePhases(int runs, const std::string& program) {
  DebugOutputMonitor monitor;
  if (!monitor.ready()) {
    std::fprintf(stderr, "the debug output cannot be monitored\n");
    return 1;
  }
  PhasesOfOneRun(monitor, program);  // unmeasured, for a warm file cache
  std::vector<std::vector<double>> by_phase(std::size(kPhases) + 1);
  for (int run = 1; run <= runs; ++run) {
    const std::vector<double> times = PhasesOfOneRun(monitor, program);
    if (times.empty()) {
      std::fprintf(stderr, "run %d: a phase did not come\n", run);
      return 1;
    }
    std::printf("run %2d ", run);
    for (size_t phase = 0; phase < times.size(); ++phase) {
      by_phase[phase].push_back(times[phase]);
      std::printf(" %8.1f", times[phase]);
    }
    std::printf(" ms\n");
  }
  // The report box may answer while the window is being shown, so the lines go by time.
  std::vector<std::pair<double, const char*>> medians;
  for (size_t phase = 0; phase < by_phase.size(); ++phase) {
    medians.emplace_back(Median(by_phase[phase]), phase < std::size(kPhases)
                                                      ? kPhases[phase] + std::strlen("Sondrel: ")
                                                      : "answers with the report");
  }
  std::sort(medians.begin(), medians.end());
  std::printf("median of %d runs, from process creation:\n", runs);
  double previous = 0;
  for (const auto& [median, name] : medians) {
    std::printf("  %-24s %8.1f ms  (+%.1f)\n", name, median, median - previous);
    previous = median;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--phases") == 0) {
    return TimePhases(std::max(1, std::atoi(argv[2])), argv[3]);
  }
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: startup_timer RUNS SONDREL.EXE FLOOR.EXE\n"
                 "       startup_timer --phases RUNS SONDREL.EXE\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<double> sondrel, floor, ratios;
  // One unmeasured round first, so both programs start from a warm file cache.
  TimeOneRun(argv[2], true);
  TimeOneRun(argv[3], false);
  for (int run = 1; run <= runs; ++run) {
    // The two take turns at going first, so neither gains from what the other left warm.
    double s = 0, f = 0;
    if (run % 2 != 0) {
      s = TimeOneRun(argv[2], true);
      f = TimeOneRun(argv[3], false);
    } else {
      f = TimeOneRun(argv[3], false);
      s = TimeOneRun(argv[2], true);
    }
    if (s < 0 || f < 0) {
      std::fprintf(stderr, "run %d: a program did not come up\n", run);
      return 1;
    }
    sondrel.push_back(s);
    floor.push_back(f);
    ratios.push_back(s / f);
    std::printf("run %2d  Sondrel %8.1f ms  floor %8.1f ms\n", run, s, f);
  }
  const double sondrel_median = Median(sondrel), floor_median = Median(floor);
  std::printf("median  Sondrel %8.1f ms  floor %8.1f ms  ratio %.3f\n", sondrel_median,
              floor_median, sondrel_median / floor_median);
  // Each pair ran moments apart, so the median of their ratios is the steadier figure when
  // the machine's speed drifts during the runs.
  std::printf("median of the %d pairs' ratios %.3f\n", runs, Median(ratios));
  return 0;
}
