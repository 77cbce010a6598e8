// Files, searches and version resources: forwarded to kernel32 and version.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

namespace {

static_assert(sizeof(::WIN32_FIND_DATAA) == sizeof(WIN32_FIND_DATAA));
static_assert(sizeof(::VS_FIXEDFILEINFO) == sizeof(VS_FIXEDFILEINFO));

}  // namespace

uint32_t GetModuleFileNameA(char* buffer, uint32_t size) {
  static const win32::EntryPoint<decltype(::GetModuleFileNameA)> entry("kernel32.dll",
                                                                       "GetModuleFileNameA");
  return entry(nullptr, buffer, size);
}

FileHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share_mode,
                       uint32_t creation, uint32_t attributes) {
  static const win32::EntryPoint<decltype(::CreateFileA)> entry("kernel32.dll", "CreateFileA");
  return reinterpret_cast<FileHandle>(
      entry(path.c_str(), access, share_mode, nullptr, creation, attributes, nullptr));
}

int32_t CloseHandle(KernelHandle handle) {
  static const win32::EntryPoint<decltype(::CloseHandle)> entry("kernel32.dll", "CloseHandle");
  return entry(reinterpret_cast<HANDLE>(handle));
}

int32_t DeleteFileA(const std::string& path) {
  static const win32::EntryPoint<decltype(::DeleteFileA)> entry("kernel32.dll", "DeleteFileA");
  return entry(path.c_str());
}

uint32_t GetFileAttributesA(const std::string& path) {
  static const win32::EntryPoint<decltype(::GetFileAttributesA)> entry("kernel32.dll",
                                                                       "GetFileAttributesA");
  return entry(path.c_str());
}

SearchHandle FindFirstFileA(const std::string& path, WIN32_FIND_DATAA* data) {
  static const win32::EntryPoint<decltype(::FindFirstFileA)> entry("kernel32.dll",
                                                                   "FindFirstFileA");
  return reinterpret_cast<SearchHandle>(
      entry(path.c_str(), reinterpret_cast<::WIN32_FIND_DATAA*>(data)));
}

int32_t FindClose(SearchHandle search) {
  static const win32::EntryPoint<decltype(::FindClose)> entry("kernel32.dll", "FindClose");
  return entry(reinterpret_cast<HANDLE>(search));
}

uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  static const win32::EntryPoint<DWORD WINAPI(LPCSTR, LPDWORD)> entry("version.dll",
                                                                      "GetFileVersionInfoSizeA");
  DWORD native_handle = 0;
  const DWORD size = entry(path.c_str(), &native_handle);
  *handle = native_handle;
  return size;
}

int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t size, void* data) {
  static const win32::EntryPoint<BOOL WINAPI(LPCSTR, DWORD, DWORD, LPVOID)> entry(
      "version.dll", "GetFileVersionInfoA");
  return entry(path.c_str(), handle, size, data);
}

int32_t VerQueryValueA(const void* block, const std::string& sub_block, void** buffer,
                       uint32_t* length) {
  static const win32::EntryPoint<BOOL WINAPI(LPCVOID, LPCSTR, LPVOID*, PUINT)> entry(
      "version.dll", "VerQueryValueA");
  UINT native_length = 0;
  const BOOL found = entry(block, sub_block.c_str(), buffer, &native_length);
  *length = native_length;
  return found;
}

}  // namespace platform
