// Under Windows: the six-axis puck through its driver service's pipes, which the test serves,
// with events reaching puck sensors through the toolkit window procedure.
#ifdef _WIN32
#include <windows.h>

#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "support.h"
#include "toolkit/core/motion.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/puck.h"

namespace {

const char kIni[] = "SPCWARE.INI";

// The driver service: its control pipe answers each request as scripted; the event pipe of
// device 1 carries what the test writes.
class Service {
 public:
  Service() {
    control = CreateNamedPipeA("\\\\.\\pipe\\spwcontrol", PIPE_ACCESS_DUPLEX,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 86, 86, 0, nullptr);
    events = CreateNamedPipeA("\\\\.\\pipe\\spwdevice1", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                              4096, 4096, 0, nullptr);
    thread = CreateThread(nullptr, 0, serve, this, 0, nullptr);
  }
  ~Service() {
    stopping = true;
    HANDLE h = CreateFileA("\\\\.\\pipe\\spwcontrol", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(control);
    gone();
  }
  // Writes event records to device 1's pipe (the program must have it open).
  void send(const std::vector<SpwEvent> &records) {
    DWORD n;
    WriteFile(events, records.data(), static_cast<DWORD>(records.size() * sizeof(SpwEvent)), &n, nullptr);
  }
  // The service goes away: its end of the event pipe closes.
  void gone() {
    if (events) CloseHandle(events);
    events = nullptr;
  }
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }
  int16_t openerror = 0, openhandle = 1;

 private:
  static DWORD WINAPI serve(LPVOID self) {
    static_cast<Service *>(self)->loop();
    return 0;
  }
  void loop() {
    while (!stopping) {
      if (!ConnectNamedPipe(control, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) break;
      SpwControl message = {}, answer = {};
      DWORD n = 0;
      if (!stopping && ReadFile(control, &message, sizeof message, &n, nullptr)) {
        answer.request = message.request;
        answer.handle = message.handle;
        if (message.request == SPW_OPEN) {
          answer.error = openerror;
          answer.handle = openhandle;
          strcpy(answer.text, "SpaceController");
        }
        std::string line = std::to_string(message.request);
        if (message.request == SPW_COMMAND) line += " " + std::string(message.text);
        {
          std::lock_guard<std::mutex> lock(mutex);
          seen.push_back(line);
        }
        WriteFile(control, &answer, sizeof answer, &n, nullptr);
        FlushFileBuffers(control);
      }
      DisconnectNamedPipe(control);
    }
  }
  HANDLE control, events, thread;
  std::atomic<bool> stopping{false};
  std::mutex mutex;
  std::vector<std::string> seen;
};

class Puck : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    WritePrivateProfileStringA("SpaceController", "SpaceController0", "2", kIni);
    home(nullptr);
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VedraPuckView";
    RegisterClassA(&c);
    hwnd = CreateWindowExA(0, "VedraPuckView", "view", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, c.hInstance, nullptr);
    window = WTwindow_newuser(hwnd, 0);
  }
  void TearDown() override {
    if (sensor) WTsensor_delete(sensor);
    tk::Universe::TearDown();
    DestroyWindow(hwnd);
    WritePrivateProfileStringA("SpaceController", nullptr, nullptr, kIni);
  }
  // The folder of the utility library stand-in (complete, noentry) or a folder without one.
  void home(const char *kind) {
    std::string folder = std::string(SPW_HOME) + "/" + (kind ? kind : "none");
    WritePrivateProfileStringA("SpaceController", "HomeDirectory", folder.c_str(), kIni);
  }
  WTsensor *open() {
    sensor = WTsensor_new(_WTspaceball_open, _WTspaceball_close, _WTspaceball_update, nullptr, 0, 0);
    if (sensor) _WTspaceball_setwindow(sensor, window);
    return sensor;
  }
  void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  float raw(int i) { return static_cast<float *>(_WTsensor_getrawdata(sensor))[i]; }
  HWND hwnd = nullptr;
  WTwindow *window = nullptr;
  WTsensor *sensor = nullptr;
};

SpwEvent motion(float scale) {
  SpwEvent e = {};
  e.type = 1;
  for (int i = 0; i < 7; i++) e.motion[i] = scale * (i + 1), e.raw[i] = static_cast<int16_t>(i + 1);
  return e;
}

TEST_F(Puck, WithoutAPortInTheSettingsNoPipeIsTouched) {
  Service service;
  WritePrivateProfileStringA("SpaceController", "SpaceController0", nullptr, kIni);
  EXPECT_EQ(open(), nullptr);
  EXPECT_TRUE(service.requests().empty());
}

TEST_F(Puck, RefusedOpens) {
  Service service;
  tk::resetcalls();
  service.openerror = 1006;
  EXPECT_EQ(open(), nullptr);
  ASSERT_EQ(tk::calls().boxes.size(), 1u);
  EXPECT_EQ(tk::calls().boxes[0].caption, "SpaceWare");
  EXPECT_EQ(spw_last_error(), 1006);
  service.openerror = 0;
  service.openhandle = 8;
  EXPECT_EQ(open(), nullptr);
  std::vector<std::string> seen = service.requests();
  EXPECT_EQ(seen, (std::vector<std::string>{"101", "101", "102"}));
}

TEST_F(Puck, MotionsAndButtonsReachTheSensors) {
  Service service;
  ASSERT_NE(open(), nullptr);
  SpwDevice *d = spw_device(1);
  ASSERT_NE(d, nullptr);
  service.send({motion(1), motion(2), motion(3)});
  for (int i = 0; i < 500 && d->writeindex != 3; i++) Sleep(2);
  ASSERT_EQ(d->writeindex, 3);
  pump();
  const float expected[6] = {2, -4, -6, 8, -10, -12};
  for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(raw(i), expected[i]) << i;

  PostMessageA(hwnd, d->message, 2003, 0);
  pump();
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 1);
  PostMessageA(hwnd, d->message, 3003, 0);
  PostMessageA(hwnd, d->message, 40, 0);
  PostMessageA(hwnd, d->message, 2008, 0);
  pump();
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 0);
  std::vector<std::string> seen = service.requests();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[seen.size() - 2], "106 Z");
  EXPECT_EQ(seen.back(), "106 BcCc");
}

TEST_F(Puck, TheUtilityLibraryCountsOnlyWithItsEntry) {
  {
    Service service;
    home("noentry");
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(GetModuleHandleA("SPWUTILS.DLL"), nullptr);
    WTsensor_delete(sensor);
    sensor = nullptr;
  }
  Service service;
  home("complete");
  ASSERT_NE(open(), nullptr);
  HMODULE utilities = GetModuleHandleA("SPWUTILS.DLL");
  ASSERT_NE(utilities, nullptr);
  auto calls = reinterpret_cast<int (*)()>(reinterpret_cast<void *>(GetProcAddress(utilities, "spwutils_calls")));
  EXPECT_EQ(calls(), 1);
  WTsensor_delete(sensor);
  sensor = nullptr;
  EXPECT_EQ(GetModuleHandleA("SPWUTILS.DLL"), nullptr);
}

TEST_F(Puck, AGoneServiceLeavesTheReaderQuiet) {
  Service service;
  ASSERT_NE(open(), nullptr);
  HANDLE reader = spw_device(1)->thread;
  service.gone();
  FILETIME created, ended, kernel0, user0, kernel1, user1;
  GetThreadTimes(reader, &created, &ended, &kernel0, &user0);
  Sleep(1000);
  GetThreadTimes(reader, &created, &ended, &kernel1, &user1);
  auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  uint64_t used = ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0);
  EXPECT_LT(used, 1000000u) << "100 ns units";
  WTsensor_delete(sensor);
  sensor = nullptr;
  EXPECT_EQ(service.requests().back(), "102");
}

}  // namespace
#endif
