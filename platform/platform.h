// The Windows operations the program uses, with their Windows names and buffer-and-size
// contracts. Two backends implement them: win32/ over the real system DLLs and sim/ over a
// simulated machine. Any operation can raise runtime::Error, for example 453 when its entry
// point does not exist on the running system.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A native window handle as the shell and the message box take it.
using WindowHandle = uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// Message box styles and answers.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconInformation = 0x40;
// Every top-level window of the calling thread is disabled while the box shows.
constexpr uint32_t kMbTaskModal = 0x2000;
constexpr int32_t kIdOk = 1;
constexpr int32_t kIdYes = 6;
constexpr int32_t kIdNo = 7;

// The version record, in its single-byte form.
struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// A device context as GetDC hands it out.
using DeviceContext = uintptr_t;

constexpr uint32_t kLocaleEnglishLanguage = 0x1001;  // LOCALE_SENGLANGUAGE
constexpr int32_t kBitsPixel = 12;                   // BITSPIXEL
constexpr int32_t kPlanes = 14;                      // PLANES
constexpr int32_t kLogPixelsX = 88;                  // LOGPIXELSX

int32_t GetVersionExA(OSVERSIONINFOA* info);
uint32_t GetSystemDirectoryA(char* buffer, uint32_t size);
uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size);
uint32_t GetUserDefaultLCID();
int32_t GetLocaleInfoA(uint32_t locale, uint32_t type, char* data, int32_t size);
// Whether the byte opens a two-byte character in the system's ANSI code page: in the
// double-byte ones (932, 936, 949, 950) the second byte may be anything from 0x40 on, a
// backslash's 0x5C too. Never in a single-byte code page.
int32_t IsDBCSLeadByte(uint8_t byte);
DeviceContext GetDC(WindowHandle window);
int32_t GetDeviceCaps(DeviceContext context, int32_t index);
int32_t ReleaseDC(WindowHandle window, DeviceContext context);

// Registry. Keys are 32-bit handle values, as the predefined roots are.
using RegistryKey = uint32_t;
constexpr RegistryKey kHkeyCurrentUser = 0x80000001;
constexpr RegistryKey kHkeyLocalMachine = 0x80000002;
constexpr uint32_t kKeyQueryValue = 0x1;  // KEY_QUERY_VALUE
constexpr int32_t kErrorSuccess = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

int32_t RegOpenKeyExA(RegistryKey root, const std::string& sub_key, uint32_t options,
                      uint32_t access, RegistryKey* result);
// With no data buffer only the type and the size are filled in.
int32_t RegQueryValueExA(RegistryKey key, const std::string& value_name, uint32_t* type,
                         uint8_t* data, uint32_t* size);
int32_t RegCloseKey(RegistryKey key);

// Kernel objects: files and processes.
using KernelHandle = uintptr_t;
using FileHandle = KernelHandle;
using ProcessHandle = KernelHandle;
constexpr KernelHandle kInvalidHandleValue = ~KernelHandle{0};
int32_t CloseHandle(KernelHandle handle);

// Files.
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kCreateNew = 1;  // fails when the file exists
constexpr uint32_t kFileAttributeReadOnly = 0x1;
constexpr uint32_t kFileAttributeHidden = 0x2;
constexpr uint32_t kFileAttributeSystem = 0x4;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

// The path of the program's own executable; the result equals size when it was cut.
uint32_t GetModuleFileNameA(char* buffer, uint32_t size);
FileHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share_mode,
                       uint32_t creation, uint32_t attributes);
int32_t DeleteFileA(const std::string& path);
uint32_t GetFileAttributesA(const std::string& path);

struct FILETIME {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

struct WIN32_FIND_DATAA {
  uint32_t dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  uint32_t nFileSizeHigh;
  uint32_t nFileSizeLow;
  uint32_t dwReserved0;
  uint32_t dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};
static_assert(sizeof(WIN32_FIND_DATAA) == 320);

using SearchHandle = uintptr_t;
SearchHandle FindFirstFileA(const std::string& path, WIN32_FIND_DATAA* data);
int32_t FindClose(SearchHandle search);

// Version resources.
struct VS_FIXEDFILEINFO {
  uint32_t dwSignature;
  uint32_t dwStrucVersion;
  uint32_t dwFileVersionMS;
  uint32_t dwFileVersionLS;
  uint32_t dwProductVersionMS;
  uint32_t dwProductVersionLS;
  uint32_t dwFileFlagsMask;
  uint32_t dwFileFlags;
  uint32_t dwFileOS;
  uint32_t dwFileType;
  uint32_t dwFileSubtype;
  uint32_t dwFileDateMS;
  uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle);
int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t size, void* data);
int32_t VerQueryValueA(const void* block, const std::string& sub_block, void** buffer,
                       uint32_t* length);

// Shell. Results above 32 mean success; 0 to 32 are the shell's error codes.
// The result buffer must hold at least 260 characters.
uintptr_t FindExecutableA(const std::string& file, const std::string& directory, char* result);
// The verb, parameters and directory may be null.
intptr_t ShellExecuteA(WindowHandle owner, const char* verb, const std::string& file,
                       const char* parameters, const char* directory, int32_t show);

constexpr int32_t kSwHide = 0;
constexpr int32_t kSwShowNormal = 1;
constexpr int32_t kSwShowDefault = 10;
constexpr uint32_t kSeeMaskNoCloseProcess = 0x40;  // the started process's handle is kept
constexpr uint32_t kSeeMaskDoEnvSubst = 0x200;     // environment variables are expanded

struct SHELLEXECUTEINFOA {
  uint32_t cbSize;
  uint32_t fMask;
  WindowHandle hwnd;
  const char* lpVerb;
  const char* lpFile;
  const char* lpParameters;
  const char* lpDirectory;
  int32_t nShow;
  intptr_t hInstApp;
  void* lpIDList;
  const char* lpClass;
  uintptr_t hkeyClass;
  uint32_t dwHotKey;
  uintptr_t hIcon;
  ProcessHandle hProcess;
};
// The record as the 32-bit system lays it out.
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == 60);

int32_t ShellExecuteExA(SHELLEXECUTEINFOA* info);

constexpr uint32_t kStillActive = 259;
int32_t GetExitCodeProcess(ProcessHandle process, uint32_t* exit_code);

// Global memory and the clipboard.
using GlobalHandle = uintptr_t;
constexpr uint32_t kGmemMoveable = 0x2;
constexpr uint32_t kGmemZeroInit = 0x40;
constexpr uint32_t kCfText = 1;

GlobalHandle GlobalAlloc(uint32_t flags, size_t bytes);
void* GlobalLock(GlobalHandle block);
// Zero once the block is no longer locked.
int32_t GlobalUnlock(GlobalHandle block);
// Zero when the block was freed.
GlobalHandle GlobalFree(GlobalHandle block);
char* lstrcpyA(char* destination, const char* source);
int32_t OpenClipboard(WindowHandle owner);
int32_t EmptyClipboard();
// The clipboard owns the block once this returns non-zero.
GlobalHandle SetClipboardData(uint32_t format, GlobalHandle block);
int32_t CloseClipboard();

// Names, folders and identifiers.
int32_t GetComputerNameA(char* buffer, uint32_t* size);
int32_t SetComputerNameA(const std::string& name);
int32_t GetUserNameA(char* buffer, uint32_t* size);
uint32_t GetTempPathA(uint32_t size, char* buffer);
// Writes up to 260 characters into name.
uint32_t GetTempFileNameA(const std::string& path, const std::string& prefix, uint32_t unique,
                          char* name);

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);
int32_t CoCreateGuid(GUID* guid);

// Takes the program's own folder and the current folder off the search path of every DLL the
// process loads from now on, where the running Windows allows it; called before anything else.
void LimitLibrarySearch();

// COM on the calling thread, in a single-threaded apartment. A result of 0 or more (S_OK, or
// S_FALSE when the thread had entered it already) is balanced by one CoUninitialize.
int32_t CoInitialize();
void CoUninitialize();

struct HW_PROFILE_INFOA {
  uint32_t dwDockInfo;
  char szHwProfileGuid[39];
  char szHwProfileName[80];
};
static_assert(sizeof(HW_PROFILE_INFOA) == 124);
int32_t GetCurrentHwProfileA(HW_PROFILE_INFOA* profile);

// Desktop settings.
constexpr uint32_t kSpiGetBeep = 1;
constexpr uint32_t kSpiSetBeep = 2;
constexpr uint32_t kSpiGetScreenSaveTimeout = 14;
constexpr uint32_t kSpiSetScreenSaveTimeout = 15;
constexpr uint32_t kSpiGetScreenSaveActive = 16;
constexpr uint32_t kSpiSetScreenSaveActive = 17;
constexpr uint32_t kSpiGetWorkArea = 48;
constexpr uint32_t kSpifSendChange = 2;  // announce the change; the profile is not written

struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
int32_t SystemParametersInfoA(uint32_t action, uint32_t ui_param, void* pv_param, uint32_t win_ini);

int32_t MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption,
                    uint32_t type);

}  // namespace platform
