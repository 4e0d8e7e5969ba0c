// Formatted text written to a stream by the model writers, remembering whether any write failed.
#pragma once
#include <stdarg.h>
#include <stdio.h>

#include "toolkit/wt.h"

class WTtextout {
 public:
  explicit WTtextout(FILE *f) : f_(f) {}
  void put(const char *format, ...) WTPRINTF(2, 3) {
    va_list args;
    va_start(args, format);
    if (vfprintf(f_, format, args) < 0) ok_ = false;
    va_end(args);
  }
  bool ok() const { return ok_ && !ferror(f_); }

 private:
  FILE *f_;
  bool ok_ = true;
};
