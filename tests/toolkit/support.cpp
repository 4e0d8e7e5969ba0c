#include "support.h"

#include <string.h>

#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
// The out-of-memory path is tested with requests no allocator can satisfy.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
#endif
#endif

namespace tk {

namespace {

int recordbox(const char *text, const char *caption, unsigned style) {
  calls().boxes.push_back(Box{text ? text : "", caption ? caption : "", style});
  return calls().answer;
}

void recordexit(int code) { calls().exits.push_back(code); }

int64_t clockms;
int32_t readclock() { return static_cast<int32_t>(clockms); }
void readtimeofday(int64_t *seconds, int *ms, int *biasminutes) {
  *seconds = clockstart + clockms / 1000;
  *ms = static_cast<int>(clockms % 1000);
  *biasminutes = clockbias;
}

// No test may show a real box, end the program or wait on the real clock.
struct InstallHooks {
  InstallHooks() {
    _WTsys_setboxhook(recordbox);
    _WTsys_setexithook(recordexit);
    _WTsys_setclockhook(readclock);
    _WTsys_settimeofdayhook(readtimeofday);
    _WTsys_setsleephook(advanceclock);
  }
} installhooks;

std::vector<std::string> captured;
void capture(const char *text) { captured.push_back(text); }

std::vector<Exports::Entry> table;
WTlookuphook previouslookup;
void *lookup(const char *name) {
  Exports::asked().push_back(name);
  for (const Exports::Entry &e : table)
    if (strcmp(e.name, name) == 0) return e.address;
  return previouslookup(name);
}

}  // namespace

void advanceclock(unsigned ms) { clockms += ms; }

SystemCalls &calls() {
  static SystemCalls c;
  return c;
}

void resetcalls() {
  calls() = SystemCalls();
  _WTmsg_clearfatal();
}

Captured::Captured() {
  captured.clear();
  _WTmsg_setcallback(capture);
}

Captured::~Captured() { _WTmsg_setcallback(nullptr); }

const std::vector<std::string> &Captured::texts() const { return captured; }

std::string Captured::all() const {
  std::string s;
  for (const std::string &t : captured) s += t;
  return s;
}

Exports::Exports(std::vector<Entry> entries) {
  table = std::move(entries);
  asked().clear();
  previouslookup = _WTsys_setlookuphook(lookup);
}

Exports::~Exports() {
  _WTsys_setlookuphook(nullptr);
  table.clear();
}

std::vector<std::string> &Exports::asked() {
  static std::vector<std::string> names;
  return names;
}

}  // namespace tk
