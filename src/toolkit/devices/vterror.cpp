// The glove library's error state: one code, the place it was recorded and whether its header
// is still to be printed, and the printers that write the report and its "called by" chain on
// standard error.
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/devices/vtlib.h"

namespace {

const int kTexts = 42;
const char *const texts[kTexts] = {
    "",
    "Unix system error. Error message is printed by perror()",
    "Serial IO error.",
    "baud rate not supported.",
    "Attempt to open more than the available number of serial ports.",
    "Serial port already in use.",
    "Serial port write did not write requested number of bytes.",
    "Serial port read timed out before reading expected number of bytes.",
    "CyberGlove error.",
    "CGIU is not responding.",
    "CyberGlove is not initialized properly.",
    "CyberGlove is not connected to the Interface Unit.",
    "CyberGlove has a corrupt EEPROM.",
    "CGIU not responding or returned invalid response.",
    "CGIU error: unknown command.",
    "",
    "Glove sensor value returned was zero. Possible cause: CGIU not connected.",
    "Glove is not connected and CGIU can not sustain requested sample rate.",
    "CGIU can not sustain requested sample rate.",
    "Wrong head byte encountered when attempting to read sensor values",
    "",
    "Polhemus Error",
    "Unexpected tail bytes, tail should be 0x0D 0x0A",
    "Unexpected head bytes",
    "",
    "Ascension Error",
    "",
    "",
    "",
    "Tracker Error",
    "Unknown setup string keyword",
    "",
    "",
    "Calibration file error.",
    "Error reading calibration file",
    "",
    "",
    "",
    "",
    "RarudodIder initialization error.Error initializing RarudodIder structure or opening communications",
    "",
    "",
};

// This system always reports at the fullest level.
const int kVerbosity = 2;

int code;
bool pending;
bool quiet;
char location[256];
int verbose, debug;

bool suppressed() { return quiet && code != VT_ESYSTEM; }

void calledby(const char *name) { fprintf(stderr, "=>\tcalled by: %s\n", name); }

void header() { fprintf(stderr, "\n\nERROR in %s:\n", location); }

// The message line of the pending report, completed by the name as the chain's first entry.
void firstentry(const char *name) {
  if (name[0] == '&') {
    fprintf(stderr, "     %s ", vt_error_text(code));
    fprintf(stderr, "%s\n", name + 1);
  } else if (name[0]) {
    fprintf(stderr, "     %s\n", vt_error_text(code));
    calledby(name);
  }
}

// "\n\nFATAL ERROR in <what>" or "\n\nERROR in <what>" with the system's text for errno.
void systemline(const char *kind, const char *call) {
  char text[256];
  snprintf(text, sizeof text, "\n\n%s in %s", kind, call);
  fprintf(stderr, "%s: %s\n", text, strerror(errno));
}

void printif(int on, const char *format, va_list args) {
  if (!on) return;
  vfprintf(stderr, format, args);
  fflush(stderr);
}

[[noreturn]] void endprocess() {
  fflush(stderr);
  vt_sleep(5000);
  exit(1);
}

}  // namespace

extern "C" {

const char *vt_error_text(int c) { return c >= 0 && c < kTexts ? texts[c] : ""; }

int vt_set_error(const char *where, int c) {
  if (suppressed()) return 1;
  pending = true;
  code = c;
  if (kVerbosity >= 1) snprintf(location, sizeof location, "%s", where ? where : "");
  return 0;
}

int vt_set_errorf(int c, const char *format, ...) {
  char text[sizeof location];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return vt_set_error(text, c);
}

int vt_print_error(const char *name) {
  if (suppressed()) return 1;
  if (!name) name = "";
  if (pending) {
    if (kVerbosity >= 1) header();
    if (kVerbosity >= 2) firstentry(name);
  } else if (kVerbosity >= 2) {
    calledby(name);
  }
  fflush(stderr);
  pending = false;
  return 0;
}

int vt_print_errorf(const char *format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return vt_print_error(text);
}

int vt_perror(const char *name, const char *call) {
  code = VT_ESYSTEM;
  if (kVerbosity >= 1) {
    systemline("ERROR", call);
    fflush(stderr);
  }
  if (kVerbosity >= 2) {
    calledby(name);
    fflush(stderr);
  }
  pending = false;
  return 0;
}

void vt_fatal_error(const char *name) {
  fprintf(stderr, "\n\nFATAL ERROR in %s:\n", location);
  fprintf(stderr, "     %s\n", vt_error_text(code));
  if (name && name[0]) calledby(name);
  endprocess();
}

void vt_fatal_perror(const char *name, const char *call) {
  systemline("FATAL ERROR", call);
  calledby(name);
  endprocess();
}

void vt_quiet_errors(void) { quiet = true; }
void vt_report_errors(void) { quiet = false; }
void vt_clear_error(void) { code = 0; }
int vt_has_error(void) { return code != 0; }

int vt_take_error(void) {
  int c = code;
  code = 0;
  return c;
}

void vt_set_verbose(int on) { verbose = on; }
int vt_verbose(void) { return verbose; }
void vt_set_debug(int on) { debug = on; }
int vt_debug(void) { return debug; }

void vt_say(const char *format, ...) {
  va_list args;
  va_start(args, format);
  printif(verbose, format, args);
  va_end(args);
}

void vt_debugf(const char *format, ...) {
  va_list args;
  va_start(args, format);
  printif(debug, format, args);
  va_end(args);
}
}
