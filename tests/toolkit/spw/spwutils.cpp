// A stand-in for the puck's utility library SPWUTILS.DLL: its soft-button entry counts its calls
// and answers the window it was given.  Built complete and without the entry (SPW_NO_ENTRY).
#include <windows.h>

namespace {
int calls;
}

extern "C" __declspec(dllexport) int spwutils_calls() { return calls; }

#ifndef SPW_NO_ENTRY
extern "C" __declspec(dllexport) HWND WINAPI SPW_ProcessSoftButton(UINT, HWND window) {
  calls++;
  return window;
}
#endif
