/* A library left beside the program under a system library's name, as a download might leave
   one. Loading it leaves the file "planted-library-loaded" beside it. */
#include <windows.h>

#include <string.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  static const char kMark[] = "planted-library-loaded";
  char path[MAX_PATH + sizeof kMark];
  DWORD length;
  char* name;
  HANDLE file;
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  length = GetModuleFileNameA(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  name = strrchr(path, '\\');
  strcpy(name != NULL ? name + 1 : path, kMark);
  file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
