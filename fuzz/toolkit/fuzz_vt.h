// What the glove library's fuzz targets share: the library on a line that plays the input's
// bytes (tests/support/vtbytes.h), its pauses and polls run at once, its reports muted, and
// every port and server gone again after each input.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include "../../tests/support/vtbytes.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/vtdevices.h"

namespace fuzzvt {

// Once per process: the byte line in place, the device clock a million times faster, and the
// library's reports (written to the C stream stderr) sent nowhere; sanitizer and fuzzer output
// go to the file descriptor and stay.
inline void setup() {
  static bool ready = [] {
    vt_serial_set_line(vtbytes::line());
    _WTdevice_setspeed(1000000);
    if (FILE *null = fopen("/dev/null", "w")) stderr = null;
    return true;
  }();
  (void)ready;
}

// The input as the device's bytes.
inline void play(const uint8_t *data, size_t size) {
  setup();
  vtbytes::load(data, size);
  vt_clear_error();
}

inline void cleanup() {
  while (VtServer *s = vt_current_server()) vt_destroy_server(s);
  vt_serial_close_ports();
}

inline size_t consumed() { return vtbytes::script().at; }
inline bool finished() { return vtbytes::script().at >= vtbytes::script().size; }

}  // namespace fuzzvt
