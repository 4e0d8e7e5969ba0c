// The six-axis puck's client on Windows: the driver service's control pipe, the event pipe read
// by a thread of its own, the settings in SPCWARE.INI and the soft-button utility library.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/platform.h"
#include "toolkit/devices/library.h"
#include "toolkit/devices/puck.h"
#include "toolkit/devices/puckstate.h"

namespace {

typedef HWND(WINAPI *SoftButtonFn)(UINT message, HWND window);

bool opened;
HMODULE utilities;
SoftButtonFn softbutton;

const char *kindname(int kind) {
  switch (kind) {
    case SPW_SPACEBALL: return "Spaceball";
    case SPW_SPACECONTROLLER: return "SpaceController";
    case SPW_AVENGER: return "Avenger";
    default: return nullptr;
  }
}

const char *homedefault(int kind) {
  switch (kind) {
    case SPW_SPACEBALL: return "C:\\SPCWARE\\SBALL\\WINNT35";
    case SPW_AVENGER: return "C:\\SPCWARE\\AVENGER\\WINNT35";
    default: return "C:\\SPCWARE\\SCONTROL\\WINNT35";
  }
}

// The port configured for the device (0: none) and the home folder of the utilities.
int readini(int number, char *home, unsigned size) {
  char key[64], value[32];
  snprintf(key, sizeof key, "%s%d", kindname(spw_kind), number);
  _WTplat_readprofile(kindname(spw_kind), key, "0", value, sizeof value, "SPCWARE.INI");
  _WTplat_readprofile(kindname(spw_kind), "HomeDirectory", homedefault(spw_kind), home, size, "SPCWARE.INI");
  return atoi(value);
}

bool call(int16_t request, uint16_t handle, const char *text, SpwControl *answer) {
  SpwControl message = {};
  message.request = request;
  message.handle = static_cast<int16_t>(handle);
  if (text) spw_copytext(message.text, text, sizeof message.text);
  memset(answer, 0, sizeof *answer);
  DWORD n = 0;
  return CallNamedPipeA("\\\\.\\pipe\\spwcontrol", &message, sizeof message, answer, sizeof *answer, &n,
                        NMPWAIT_WAIT_FOREVER) &&
         n >= 6;
}

// A request with the handle that must succeed; its error code is kept as the last error.
bool request(int16_t code, uint16_t handle, const char *text, SpwControl *answer) {
  if (!call(code, handle, text, answer)) return false;
  if (answer->error) spw_setlasterror(answer->error);
  return answer->error == 0;
}

void closerequest(uint16_t handle) {
  SpwControl answer;
  request(SPW_CLOSE, handle, nullptr, &answer);
}

// ---- The reader thread ---------------------------------------------------------------------------

HWND target() {
  HWND foreground = GetForegroundWindow();
  if (foreground && foreground == spw_softwindow.load()) foreground = static_cast<HWND>(spw_target.load());
  else spw_target = foreground;
  void *explicitwindow = spw_explicit.load();
  return explicitwindow ? static_cast<HWND>(explicitwindow) : foreground;
}

void deliver(SpwDevice *d, const SpwEvent &record) {
  HWND to = target();
  if (record.type == 2 && record.button == spw_softbutton && spw_softenabled && softbutton)
    spw_softwindow = softbutton(d->message, to);
  uint16_t index = d->writeindex;
  spw_publish(&d->ring[index], &record);
  PostMessageA(to, d->message, index, 0);
  d->writeindex = static_cast<uint16_t>((index + 1) % SPW_RING);
  spw_emptyslot(&d->ring[d->writeindex]);
}

// One record from the pipe; false when the read failed or was cut short by the close.
bool readrecord(SpwDevice *d, SpwEvent *record, OVERLAPPED *o) {
  DWORD n = 0;
  ResetEvent(o->hEvent);
  if (!ReadFile(d->pipe, record, sizeof *record, &n, o)) {
    if (GetLastError() != ERROR_IO_PENDING) return false;
    HANDLE events[2] = {o->hEvent, d->event};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
      CancelIo(d->pipe);
      GetOverlappedResult(d->pipe, o, &n, TRUE);
      return false;
    }
    if (!GetOverlappedResult(d->pipe, o, &n, FALSE)) return false;
  }
  return n == sizeof *record;
}

DWORD WINAPI reader(LPVOID argument) {
  SpwDevice *d = static_cast<SpwDevice *>(argument);
  OVERLAPPED o = {};
  o.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  while (WaitForSingleObject(d->event, 0) != WAIT_OBJECT_0) {
    SpwEvent record;
    if (readrecord(d, &record, &o)) deliver(d, record);
    else WaitForSingleObject(d->event, 10);
  }
  CloseHandle(o.hEvent);
  return 0;
}

bool startreader(SpwDevice *d) {
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES sa = {sizeof sa, &sd, FALSE};
  snprintf(d->pipename, sizeof d->pipename, "%s%d", "\\\\.\\pipe\\spwdevice", d->handle);
  HANDLE pipe = CreateFileA(d->pipename, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return false;
  d->pipe = pipe;
  d->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  d->thread = d->event ? CreateThread(nullptr, 0, reader, d, 0, nullptr) : nullptr;
  if (!d->thread) return false;
  SetThreadPriority(d->thread, THREAD_PRIORITY_HIGHEST);
  return true;
}

void stopreader(SpwDevice *d) {
  if (d->thread) {
    SetEvent(d->event);
    if (WaitForSingleObject(d->thread, 2000) != WAIT_OBJECT_0) TerminateThread(d->thread, 0);
    CloseHandle(d->thread);
  }
  if (d->event) CloseHandle(d->event);
  if (d->pipe) CloseHandle(d->pipe);
  d->thread = d->event = d->pipe = nullptr;
}

// ---- The utility library ---------------------------------------------------------------------------

void loadutilities(const char *home) {
  if (utilities) return;
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\%s", home, "SPWUTILS.DLL");
  HMODULE lib = LoadLibraryA(path);
  if (!lib) return;
  softbutton = reinterpret_cast<SoftButtonFn>(reinterpret_cast<void *>(GetProcAddress(lib, "SPW_ProcessSoftButton")));
  if (!softbutton) {
    FreeLibrary(lib);
    return;
  }
  utilities = lib;
}

void freeutilities() {
  if (utilities) FreeLibrary(utilities);
  utilities = nullptr;
  softbutton = nullptr;
}

// The steps of an open after the service gave the handle; false when one failed.
bool startdevice(SpwDevice *d, HWND window, int number, int port) {
  SpwControl answer;
  if (!request(SPW_START, d->handle, nullptr, &answer) || !request(SPW_INFO, d->handle, nullptr, &answer))
    return false;
  char name[96];
  snprintf(name, sizeof name, "%s%d%d%d", "SpaceWare:message", spw_kind, number, port);
  d->message = RegisterWindowMessageA(name);
  d->window = window;
  return d->message && startreader(d);
}

uint16_t opendevice(HWND window, int number, char *name) {
  char home[101];
  int port = readini(number, home, sizeof home);
  if (!port) return 0;
  SpwControl message = {}, answer;
  message.request = SPW_OPEN;
  message.text[0] = static_cast<char>(spw_kind);
  message.text[1] = static_cast<char>(port);
  DWORD n = 0;
  if (!CallNamedPipeA("\\\\.\\pipe\\spwcontrol", &message, sizeof message, &answer, sizeof answer, &n,
                      NMPWAIT_WAIT_FOREVER) || n < 6)
    return 0;
  if (answer.error == 1006) spw_error_box(1006);
  uint16_t handle = spw_answerhandle(&answer, name);
  SpwDevice *d = handle ? spw_adddevice(handle) : nullptr;
  if (!d || !startdevice(d, window, number, port)) {
    if (answer.error == 0) closerequest(static_cast<uint16_t>(answer.handle));
    if (d) stopreader(d), spw_removedevice(handle);
    return 0;
  }
  opened = true;
  loadutilities(home);
  if (softbutton && spw_softenabled) {
    spw_softwindow = softbutton(d->message, window);
    SetForegroundWindow(window);
  }
  return handle;
}

}  // namespace

extern "C" {

uint16_t spw_open_device(void *window, int number, char *name) {
  if (!kindname(spw_kind)) return 0;
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  uint16_t handle = opendevice(static_cast<HWND>(window), number, name);
  SetCursor(cursor);
  if (handle) {
    spw_setlasterror(0);
    spw_explicit = nullptr;
  }
  return handle;
}

int spw_close_device(uint16_t handle) {
  SpwControl answer;
  int ok = request(SPW_CLOSE, handle, nullptr, &answer) ? 1 : 0;
  SpwDevice *d = spw_device(handle);
  if (d) stopreader(d);
  freeutilities();
  opened = false;
  spw_removedevice(handle);
  return ok;
}

int spw_send_command(uint16_t handle, const char *text) {
  SpwControl answer;
  return request(SPW_COMMAND, handle, text, &answer) ? 1 : 0;
}
}
