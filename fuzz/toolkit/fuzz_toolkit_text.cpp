// The file-type sniffer and the text reader over any bytes: the reader is driven by a sequence
// of calls taken from the input itself, and every token it hands out is checked.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "toolkit/wt.h"

namespace {

std::string path;

void checktoken(const char *token) {
  if (!token) return;
  size_t n = strlen(token);
  if (n == 0 || n > 1023 || strpbrk(token, " \t\r\n")) abort();
}

void step(WTreader *r, uint8_t op) {
  float v[3];
  unsigned char red, green, blue;
  switch (op % 8) {
    case 0:
    case 1: checktoken(_WTreader_nexttoken(r)); break;
    case 2: checktoken(_WTreader_linetoken(r)); break;
    case 3: _WTreader_getfloat3(r, v, "Vector"); break;
    case 4: _WTreader_gethexcolor(r, &red, &green, &blue, "Color"); break;
    case 5: _WTreader_pushback(r); break;
    case 6: _WTreader_error(r, static_cast<int>(op) - 128, "Fuzz.\n"); break;
    default: _WTreader_nextline(r); break;
  }
  int count = _WTreader_numtokens(r);
  if (count < 0 || count > 266 || _WTreader_tokenpos(r) < 0 || _WTreader_tokenpos(r) > count + 1) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  _WTmsg_setrouting(WTMSG_WARNING, 0, nullptr);
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  // The caret report writes its blanks to stderr; in the GNU C library stderr is an ordinary
  // variable, so the reader's output is dropped while the fuzzer and sanitizers keep theirs.
  stderr = fopen("/dev/null", "w");
  char name[] = "/tmp/fuzz_toolkit_text_XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) abort();
  close(fd);
  path = name;
  atexit([] { unlink(path.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) abort();
  fwrite(data, 1, size, f);
  fclose(f);

  WTfiletype type = _WTfile_gettype(path.c_str());
  if (type < 1 || type > 18 || type == 3 || type == 10) abort();
  char *base = _WTfile_basename(std::string(reinterpret_cast<const char *>(data), size).c_str());
  _WTmem_free(base);

  WTreader *r = _WTreader_open(path.c_str(), nullptr, size && (data[0] & 1) ? "#" : "//");
  if (!r) abort();
  for (size_t i = 0; i < 2 * size && i < 4096; i++) step(r, data[i % size]);
  _WTreader_close(r);
  return 0;
}
