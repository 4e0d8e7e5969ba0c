// Helpers for tests that create windows in their own process (Windows configuration).
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace uitest {

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Dispatches whatever is queued now, without waiting.
void PumpPending();

// The first visible top-level window of process pid whose title is title (any title when null).
HWND FindTopLevelWindow(DWORD pid, const char* title);

// Real input through SendInput, as a user's mouse makes it: the cursor moved to a screen point,
// the left button pressed or released where the cursor is. The messages it makes are dispatched.
void MouseTo(int x, int y);
void MouseButton(bool down);
// A key pressed or released through SendInput; it goes to the foreground window, whichever
// process owns it.
void Key(WORD vk, bool down);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND hWnd);

}  // namespace uitest

namespace uitest {

// What an answered box showed.
struct BoxSeen {
  bool found = false;
  std::string caption;
  std::string text;  // the texts of its static controls, joined by "\n"
};

// Answers the next dialog box (class "#32770") of this process whose caption is `caption` from a
// second thread: waits for it, reads its texts, then presses the button with id `button`. The
// thread that made the box keeps running its own message loop meanwhile. Wait() returns what was
// seen (found false when no box came within timeoutMs).
class BoxAnswerer {
 public:
  // probe, when given, runs on the answering thread with the box before the button is pressed.
  BoxAnswerer(const char* caption, int button, DWORD timeoutMs = 10000, std::function<void(HWND)> probe = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  BoxSeen Wait();

 private:
  void Run();
  std::string m_caption;
  int m_button;
  DWORD m_timeoutMs;
  std::function<void(HWND)> m_probe;
  BoxSeen m_seen;
  std::atomic<bool> m_done{false};
  std::thread m_thread;
};

}  // namespace uitest

namespace uitest {

// The first visible, enabled dialog box (class "#32770") of process pid whose caption is
// `caption` (any caption when null), waited for up to timeoutMs; null when none came.
HWND WaitForBox(DWORD pid, const char* caption, DWORD timeoutMs = 10000);

// Answers a dialog box of another process: waits for it, reads its texts, then presses the
// button with id `button`.
BoxSeen AnswerBoxOf(DWORD pid, const char* caption, int button, DWORD timeoutMs = 10000);

}  // namespace uitest
