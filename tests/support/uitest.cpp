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

void MouseTo(int x, int y) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (x * 65536 + w / 2) / w, (y * 65536 + h / 2) / h);
}

void MouseButton(bool down) { SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0); }

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
  char cls[32] = {}, text[256] = {};
  ::GetClassNameA(hWnd, cls, sizeof cls);
  if (pid != s->pid || std::strcmp(cls, "#32770") != 0 || !::IsWindowVisible(hWnd) || !::IsWindowEnabled(hWnd))
    return TRUE;
  ::GetWindowTextA(hWnd, text, sizeof text);
  if (s->caption && *s->caption != text) return TRUE;
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
