#include "uitest.h"

#include <cstring>

namespace uitest {

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    PumpPending();
    if (done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 20 ? end - now : 20), QS_ALLINPUT);
  }
}

namespace {
struct FindArgs {
  DWORD pid;
  const char* title;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != args->pid || !::IsWindowVisible(hWnd)) return TRUE;
  if (args->title) {
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    if (std::strcmp(text, args->title) != 0) return TRUE;
  }
  args->found = hWnd;
  return FALSE;
}
}  // namespace

HWND FindTopLevelWindow(DWORD pid, const char* title) {
  FindArgs args{pid, title, nullptr};
  ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

}  // namespace uitest
