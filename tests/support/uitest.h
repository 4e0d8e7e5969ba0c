// Helpers for tests that create windows in their own process (Windows configuration).
#pragma once
#include <windows.h>

#include <functional>

namespace uitest {

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Dispatches whatever is queued now, without waiting.
void PumpPending();

// The first visible top-level window of process pid whose title is title (any title when null).
HWND FindTopLevelWindow(DWORD pid, const char* title);

}  // namespace uitest
