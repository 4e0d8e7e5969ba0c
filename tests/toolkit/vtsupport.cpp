#include "vtsupport.h"

#include <stdio.h>

#include "toolkit/devices/devices.h"

void VtLibrary::SetUp() {
  _WTdevice_setspeed(1000);
  vt_report_errors();
  vt_clear_error();
  vt_set_verbose(0);
  vt_set_debug(0);
}

void VtLibrary::TearDown() {
  while (VtServer *s = vt_current_server()) vt_destroy_server(s);
  vt_set_server_configuration(nullptr);
  vt_serial_close_ports();
  vt_clear_error();
  vt_set_verbose(0);
  vt_set_debug(0);
  _WTdevice_setspeed(1);
}

std::string DevicePeer::log(const std::string &id) {
  std::string answer = ask("log " + id);
  return answer.compare(0, 5, "data ") == 0 ? Bytes(answer.substr(5).c_str()) : std::string();
}

PlainTracker::PlainTracker(const char *model, const char *kind) : peer(8) {
  if (!peer.ready()) return;
  peer.device("-", kind);
  tracker = vt_create_Tracker(model, 0, nullptr, 0, nullptr);
  tracker->port = vt_serial_open(peer.name().c_str(), 9600);
}

PlainTracker::~PlainTracker() { vt_destroy_Tracker(tracker); }

Stderr::Stderr() {
  fflush(stderr);
  ::testing::internal::CaptureStderr();
}

Stderr::~Stderr() {
  if (!taken_) text();
}

std::string Stderr::text() {
  fflush(stderr);
  taken_ = true;
  return ::testing::internal::GetCapturedStderr();
}

std::string vtfile(const std::string &name, const std::string &bytes) {
  FILE *f = fopen(name.c_str(), "wb");
  if (f) {
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  return name;
}

std::string vtread(const std::string &path) {
  std::string out;
  if (FILE *f = fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    fclose(f);
  }
  return out;
}
