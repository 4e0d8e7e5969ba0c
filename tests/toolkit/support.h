// Shared by the toolkit tests: the fatal paths' message box and process end and the clock are
// replaced for the whole test program, and routed messages can be captured.
#pragma once

#include <string>
#include <vector>

#include "toolkit/core/core.h"

namespace tk {

struct Box {
  std::string text, caption;
  unsigned style;
};

// Boxes shown and exit codes requested since the last reset; every box answers `answer`.
struct SystemCalls {
  std::vector<Box> boxes;
  std::vector<int> exits;
  int answer = 1;
};
SystemCalls &calls();
// Clears the record and the fatal guard.
void resetcalls();

// The clock of the whole test program stands still until a test advances it; sleeping in the
// toolkit advances it instead of waiting.  The program clock starts at 0 ms, the time of day at
// clockstart UTC seconds in a zone clockbias minutes east of UTC (UTC = local + clockbias).
constexpr int64_t clockstart = 1700000000;
constexpr int clockbias = -60;
void advanceclock(unsigned ms);

// Collects every routed message while it lives.
class Captured {
 public:
  Captured();
  ~Captured();
  Captured(const Captured &) = delete;
  Captured &operator=(const Captured &) = delete;
  const std::vector<std::string> &texts() const;
  std::string all() const;
};

// Looks names up through a table first and the program's exports second, while it lives.
class Exports {
 public:
  struct Entry {
    const char *name;
    void *address; // null hides the name
  };
  explicit Exports(std::vector<Entry> entries);
  ~Exports();
  Exports(const Exports &) = delete;
  Exports &operator=(const Exports &) = delete;
  // Names asked for, in order.
  static std::vector<std::string> &asked();
};

}  // namespace tk
