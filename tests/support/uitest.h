// Helpers for tests that create windows in their own process (Windows configuration).
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace uitest {

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Dispatches whatever is queued now, without waiting.
void PumpPending();

// The first visible top-level window of process pid whose title is title (any title when null).
// Titles are read without sending the window a message, so that it is safe from any thread.
HWND FindTopLevelWindow(DWORD pid, const char* title);

// Real input through SendInput, as a user's mouse makes it: the cursor moved to a screen point
// (returns once it is there), the left button pressed or released where the cursor is. The
// messages it makes are dispatched.
void MouseTo(int x, int y);
void MouseButton(bool down);
// The left button pressed or released at a screen point, the move in the same input: the press
// lands there even when a motion event the window system still had queued puts the cursor back.
void MouseButtonAt(int x, int y, bool down);
// The same with the right button.
void RightButtonAt(int x, int y, bool down);
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

namespace uitest {

// Drives a modal loop that the test's thread enters (a popup opened by a click, a menu, a dialog
// box) from a second thread, step by step: each step waits for what it needs (a window, the
// mouse capture, a window gone) up to a generous deadline, and a step that times out is
// recorded. Once the script returns, whatever it left open on the test's thread is closed, so
// that a failure ends the test with a message instead of a modal loop nobody ends.
//
//   uitest::ModalDriver driver([&](uitest::ModalDriver& d) { ... });
//   ... the click or call that opens the loop ...
//   const std::string trouble = driver.Finish();
class ModalDriver {
 public:
  using Script = std::function<void(ModalDriver&)>;
  // Made on the test's thread, before the loop opens: windows it has now are not the script's.
  explicit ModalDriver(Script script, DWORD stepTimeoutMs = 30000);
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // On the test's thread: dispatches its messages (input still queued opens its loop here) until
  // the script and the clean-up are through. Returns what went wrong, empty when nothing did.
  std::string Finish();

  // For the script, on the driver's thread.
  // The first visible top-level window of the test's thread made since the driver was, of window
  // class cls and, unless null, title; waited for. Null (and a failure recorded) when none came.
  HWND WaitForWindow(const char* what, const char* cls, const char* title = nullptr);
  // Waits until done() holds; false (and a failure recorded) when the deadline passed first.
  bool WaitUntil(const char* what, const std::function<bool()>& done);
  // The window holding the test thread's mouse capture, if any.
  HWND CaptureWindow() const;
  void Fail(const std::string& why);

 private:
  void Run(const Script& script);
  HWND NewWindow(const char* cls, const char* title) const;
  void CloseLeftovers();

  DWORD m_testThread;
  DWORD m_stepTimeoutMs;
  std::set<HWND> m_before;
  std::string m_failures;
  std::atomic<bool> m_scriptDone{false};
  std::atomic<bool> m_testThrough{false};
  std::thread m_thread;
};

}  // namespace uitest
