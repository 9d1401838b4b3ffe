// closewindow TITLE [TIMEOUT_MS]: closes a top-level window the way a user does (WM_CLOSE)
// and waits for its process to end. Exit 0 when it ended, 1 when no such window,
// 2 when it did not end in time.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputws(L"usage: closewindow TITLE [TIMEOUT_MS]\n", stderr);
    return 1;
  }
  const DWORD timeout = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 10000;
  HWND window = nullptr;
  for (DWORD waited = 0; !window && waited < timeout; waited += 100) {
    window = ::FindWindowW(nullptr, argv[1]);
    if (!window) ::Sleep(100);
  }
  if (!window) {
    std::fwprintf(stderr, L"closewindow: no window titled \"%ls\"\n", argv[1]);
    return 1;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  const DWORD wait = process ? ::WaitForSingleObject(process, timeout) : WAIT_FAILED;
  if (process) ::CloseHandle(process);
  return wait == WAIT_OBJECT_0 ? 0 : 2;
}
