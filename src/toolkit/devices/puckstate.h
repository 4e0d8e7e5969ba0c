// Settings of the puck's client shared by its portable and system parts; the windows are written
// by the reader thread and the UI thread.
#pragma once

#include <atomic>

extern std::atomic<void *> spw_target;      // the window the last event went to
extern std::atomic<void *> spw_softwindow;  // the soft-button window of the utility library
extern std::atomic<void *> spw_explicit;    // the window set by spw_set_target_window
extern int spw_kind;
extern int spw_softbutton;
extern std::atomic<int> spw_softenabled;
