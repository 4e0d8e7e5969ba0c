// A serial line of the glove library with no device behind it: reads take the bytes of a
// script in order (a read past its end times out at once), writes are kept.  Fuzz targets and
// tests put it in place of the system line with vt_serial_set_line; every port opened on it
// shares the one script, of which at most 512 bytes wait at a time.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "toolkit/devices/vtline.h"

namespace vtbytes {

struct Script {
  const uint8_t *data = nullptr;
  size_t size = 0, at = 0;
  std::string written;
};

inline Script &script() {
  static Script s;
  return s;
}

inline void load(const uint8_t *data, size_t size) {
  Script &s = script();
  s.data = data;
  s.size = size;
  s.at = 0;
  s.written.clear();
}

inline const VtLine *line() {
  static const VtLine l = {
      [](const char *) -> void * { return &script(); },
      [](void *, int, const VtTimeouts *, const char **) { return 1; },
      [](void *, void *buffer, int n) {
        Script &s = script();
        size_t take = s.size - s.at < static_cast<size_t>(n) ? s.size - s.at : static_cast<size_t>(n);
        if (take) memcpy(buffer, s.data + s.at, take);
        s.at += take;
        return static_cast<int>(take);
      },
      [](void *, const void *data, int n) {
        script().written.append(static_cast<const char *>(data), static_cast<size_t>(n));
        return n;
      },
      [](void *) {
        Script &s = script();
        return static_cast<int>(s.size - s.at < 512 ? s.size - s.at : 512);
      },
      [](void *) { return 1; },
      [](void *) { return 1; },
  };
  return &l;
}

}  // namespace vtbytes
