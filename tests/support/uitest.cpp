#include "uitest.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace uitest {

namespace {
// A window's title as GetWindowTextA gives it, read from the window rather than asked of it:
// GetWindowTextA sends WM_GETTEXT to a window of this process, and a thread that asks a window
// of a thread that is waiting for it (say, in a join) waits for ever.
std::string TitleOf(HWND hWnd) {
  wchar_t wide[256] = {};
  const int n = ::InternalGetWindowText(hWnd, wide, 256);
  char text[512] = {};
  if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
  return text;
}

std::string ClassOf(HWND hWnd) {
  char cls[64] = {};
  ::GetClassNameA(hWnd, cls, sizeof cls);
  return cls;
}
}  // namespace

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
  if (args->title && TitleOf(hWnd) != args->title) return TRUE;
  args->found = hWnd;
  return FALSE;
}
}  // namespace

HWND FindTopLevelWindow(DWORD pid, const char* title) {
  FindArgs args{pid, title, nullptr};
  ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

namespace {
void SendMouse(DWORD flags, LONG dx, LONG dy) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof in);
  // Let the input reach the queue, then dispatch what it made.
  ::Sleep(30);
  PumpPending();
}
}  // namespace

void Key(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &in, sizeof in);
  ::Sleep(30);
  PumpPending();
}

namespace {
// A mouse input at a screen point: the move and whatever else flags asks for, in one input.
void SendMouseAt(DWORD flags, int x, int y) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (x * 65536 + w / 2) / w, (y * 65536 + h / 2) / h);
}

bool CursorAt(int x, int y) {
  POINT p{};
  return ::GetCursorPos(&p) && std::abs(p.x - x) <= 1 && std::abs(p.y - y) <= 1;
}
}  // namespace

// On a loaded machine the cursor can reach the point late (or be put back by a motion event the
// window system still had queued), and a button pressed meanwhile lands where it was: the move
// is sent again until the cursor is there.
void MouseTo(int x, int y) {
  const ULONGLONG end = ::GetTickCount64() + 10000;
  do {
    SendMouseAt(MOUSEEVENTF_MOVE, x, y);
    for (int i = 0; i < 20; i++) {
      if (CursorAt(x, y)) {
        PumpPending();
        return;
      }
      ::Sleep(25);
      PumpPending();
    }
  } while (::GetTickCount64() < end);
}

void MouseButton(bool down) { SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0); }

void MouseButtonAt(int x, int y, bool down) { SendMouseAt(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, x, y); }

void RightButtonAt(int x, int y, bool down) { SendMouseAt(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP, x, y); }

POINT CentreOf(HWND hWnd) {
  RECT r;
  ::GetWindowRect(hWnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace uitest

namespace uitest {

namespace {
struct BoxSearch {
  DWORD pid;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
  auto* s = reinterpret_cast<BoxSearch*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != s->pid || ClassOf(hWnd) != "#32770" || !::IsWindowVisible(hWnd) || !::IsWindowEnabled(hWnd))
    return TRUE;
  if (s->caption && *s->caption != TitleOf(hWnd)) return TRUE;
  s->found = hWnd;
  return FALSE;
}

BOOL CALLBACK CollectStatic(HWND hWnd, LPARAM lParam) {
  char cls[32] = {}, text[1024] = {};
  ::GetClassNameA(hWnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0) return TRUE;
  ::GetWindowTextA(hWnd, text, sizeof text);
  if (!text[0]) return TRUE;
  auto* out = reinterpret_cast<std::string*>(lParam);
  if (!out->empty()) *out += "\n";
  *out += text;
  return TRUE;
}
}  // namespace

BoxAnswerer::BoxAnswerer(const char* caption, int button, DWORD timeoutMs, std::function<void(HWND)> probe)
    : m_caption(caption), m_button(button), m_timeoutMs(timeoutMs), m_probe(std::move(probe)), m_thread([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
  if (m_thread.joinable()) m_thread.join();
}

void BoxAnswerer::Run() {
  const ULONGLONG end = ::GetTickCount64() + m_timeoutMs;
  BoxSearch search{::GetCurrentProcessId(), &m_caption, nullptr};
  while (::GetTickCount64() < end) {
    search.found = nullptr;
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) break;
    ::Sleep(20);
  }
  if (!search.found) {
    m_done = true;
    return;
  }
  m_seen.found = true;
  m_seen.caption = m_caption;
  ::EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&m_seen.text));
  if (m_probe) m_probe(search.found);
  HWND button = ::GetDlgItem(search.found, m_button);
  ::PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  m_done = true;
}

BoxSeen BoxAnswerer::Wait() {
  // The box's thread must keep pumping for the answer to arrive: pump while waiting.
  PumpUntil([this] { return m_done.load(); }, m_timeoutMs + 5000);
  if (m_thread.joinable()) m_thread.join();
  return m_seen;
}

}  // namespace uitest

namespace uitest {

HWND WaitForBox(DWORD pid, const char* caption, DWORD timeoutMs) {
  const std::string wanted = caption ? caption : "";
  BoxSearch search{pid, caption ? &wanted : nullptr, nullptr};
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  do {
    search.found = nullptr;
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    ::Sleep(20);
  } while (::GetTickCount64() < end);
  return nullptr;
}

BoxSeen AnswerBoxOf(DWORD pid, const char* caption, int button, DWORD timeoutMs) {
  BoxSeen seen;
  HWND box = WaitForBox(pid, caption, timeoutMs);
  if (!box) return seen;
  seen.found = true;
  seen.caption = caption ? caption : "";
  ::EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen.text));
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
  return seen;
}

}  // namespace uitest

namespace uitest {

namespace {
BOOL CALLBACK AddWindow(HWND hWnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
  return TRUE;
}

// The top-level windows of a thread.
std::vector<HWND> WindowsOf(DWORD thread) {
  std::vector<HWND> all;
  ::EnumThreadWindows(thread, AddWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool Gone(HWND hWnd) { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); }

bool WaitGone(HWND hWnd, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!Gone(hWnd)) {
    if (::GetTickCount64() >= end) return false;
    ::Sleep(20);
  }
  return true;
}
}  // namespace

ModalDriver::ModalDriver(Script script, DWORD stepTimeoutMs)
    : m_testThread(::GetCurrentThreadId()), m_stepTimeoutMs(stepTimeoutMs) {
  for (HWND h : WindowsOf(m_testThread)) m_before.insert(h);
  m_thread = std::thread([this, s = std::move(script)] { Run(s); });
}

ModalDriver::~ModalDriver() { Finish(); }

std::string ModalDriver::Finish() {
  if (!m_thread.joinable()) return m_failures;
  // Never a plain join: the script's windows live on this thread, and only its pumping lets
  // them open, take the script's input and close.
  PumpUntil([this] { return m_scriptDone.load(); }, INFINITE);
  // Whatever input the script sent is queued by now; a loop it opens late is still closed.
  PumpPending();
  m_testThrough = true;
  m_thread.join();
  return m_failures;
}

void ModalDriver::Run(const Script& script) {
  script(*this);
  m_scriptDone = true;
  while (!m_testThrough) {
    CloseLeftovers();
    ::Sleep(20);
  }
}

HWND ModalDriver::NewWindow(const char* cls, const char* title) const {
  for (HWND h : WindowsOf(m_testThread)) {
    if (m_before.count(h) || !::IsWindowVisible(h)) continue;
    if (cls && ClassOf(h) != cls) continue;
    if (title && TitleOf(h) != title) continue;
    return h;
  }
  return nullptr;
}

HWND ModalDriver::WaitForWindow(const char* what, const char* cls, const char* title) {
  HWND found = nullptr;
  return WaitUntil(what, [&] { return (found = NewWindow(cls, title)) != nullptr; }) ? found : nullptr;
}

bool ModalDriver::WaitUntil(const char* what, const std::function<bool()>& done) {
  const ULONGLONG end = ::GetTickCount64() + m_stepTimeoutMs;
  while (!done()) {
    if (::GetTickCount64() >= end) {
      Fail(std::string(what) + ": not within " + std::to_string(m_stepTimeoutMs / 1000) + " s");
      return false;
    }
    ::Sleep(20);
  }
  return true;
}

HWND ModalDriver::CaptureWindow() const {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  return ::GetGUIThreadInfo(m_testThread, &gui) ? gui.hwndCapture : nullptr;
}

void ModalDriver::Fail(const std::string& why) { m_failures += (m_failures.empty() ? "" : "; ") + why; }

// A window the script left open is cancelled (a menu ended); one that will not go is left by
// ending every modal loop of the test's thread.
void ModalDriver::CloseLeftovers() {
  HWND h = NewWindow(nullptr, nullptr);
  if (!h) return;
  const std::string cls = ClassOf(h);
  Fail("left open, closed by the driver: " + cls + " \"" + TitleOf(h) + "\"");
  if (cls == "#32768")
    ::EndMenu();
  else
    ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (WaitGone(h, 5000)) return;
  ::PostMessageA(h, WM_CLOSE, 0, 0);
  if (WaitGone(h, 5000)) return;
  Fail("it would not close: the test thread's loops were ended by WM_QUIT");
  ::PostThreadMessageA(m_testThread, WM_QUIT, 0, 0);
  WaitGone(h, 5000);
}

}  // namespace uitest
