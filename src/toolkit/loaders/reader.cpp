// The line and token reader shared by the toolkit's text formats.
#include <stdlib.h>
#include <string.h>

#include "toolkit/loaders/loaders.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kMaxTokens = 266;
// Leaves room for nothing but the text in one message.
constexpr int kPrintChunk = 500;

}  // namespace

struct WTreader {
  const char *path;  // the caller's, for messages
  FILE *file;
  bool callerowns;   // a stream handed in stays open at close
  const char *comment;
  const char *continuation;
  int lineno;              // physical lines read
  char line[kLineSize];    // the last physical line as read
  char work[kLineSize];    // its copy, cut into tokens
  int count;
  char *tokens[kMaxTokens];
  bool continued;          // the line ended in a continuation character
  int cursor;              // tokens of the line taken
};

namespace {

bool addtoken(WTreader *r, char *token) {
  if (r->count == kMaxTokens) return false;
  r->tokens[r->count++] = token;
  return true;
}

// The characters that end a token: the delimiters (blanks and line ends), and the end of the
// line.
struct StopTable {
  bool delimiter[256] = {};
  bool stop[256] = {};
  StopTable() {
    for (const char *d = " \t\r\n"; *d; d++) delimiter[static_cast<unsigned char>(*d)] = true;
    for (int c = 0; c < 256; c++) stop[c] = delimiter[c] || c == 0;
  }
};

const StopTable kStops;

// Whether the comment marker starts at p, inside the token being cut (a marker holds no
// delimiter, so a match never runs past the token).
bool markerat(const char *p, const char *marker) {
  for (; *marker; marker++, p++)
    if (*p != *marker) return false;
  return true;
}

// Cuts the working copy into tokens up to a comment marker.  False when the line holds more
// tokens than the reader keeps.
bool split(WTreader *r) {
  const char *marker = r->comment && r->comment[0] ? r->comment : nullptr;
  for (const char *m = marker; m && *m; m++)
    if (kStops.delimiter[static_cast<unsigned char>(*m)]) marker = nullptr;  // never inside a token
  const char first = marker ? marker[0] : 0;
  char *p = r->work;
  for (;;) {
    while (kStops.delimiter[static_cast<unsigned char>(*p)]) p++;
    if (!*p) return true;
    char *token = p;
    for (; !kStops.stop[static_cast<unsigned char>(*p)]; p++) {
      if (*p == first && markerat(p, marker)) {
        *p = 0;
        return p == token || addtoken(r, token);
      }
    }
    bool more = *p != 0;
    if (more) *p++ = 0;
    if (!addtoken(r, token)) return false;
    if (!more) return true;
  }
}

// A last token that ends in a continuation character joins the next line to this one.
void markcontinued(WTreader *r) {
  r->continued = false;
  if (r->count == 0) return;
  char *last = r->tokens[r->count - 1];
  size_t n = strlen(last);
  if (!strchr(r->continuation, last[n - 1])) return;
  r->continued = true;
  last[n - 1] = 0;
  if (n == 1) r->count--;
}

void printline(const char *line) {
  for (size_t left = strlen(line); left > 0;) {
    int n = left < static_cast<size_t>(kPrintChunk) ? static_cast<int>(left) : kPrintChunk;
    _WTmsg_info("%.*s", n, line);
    line += n;
    left -= static_cast<size_t>(n);
  }
}

// Where in the line the report points: the last token taken, or just past the line's last
// token once the line was used up.
long long reportposition(const WTreader *r) {
  if (r->cursor <= r->count) return r->tokens[r->cursor - 1] - r->work;
  if (r->count == 0) return 0;
  const char *last = r->tokens[r->count - 1];
  return (last - r->work) + static_cast<long long>(strlen(last)) + 1;
}

// Screen column of a character position, with tab stops every 8 columns.
int displaycolumn(const char *line, long long position) {
  int column = 0;
  for (long long i = 0; i < position && line[i]; i++) column = line[i] == '\t' ? (column | 7) + 1 : column + 1;
  return column;
}

}  // namespace

extern "C" {

WTreader *_WTreader_open(const char *path, FILE *stream, const char *comment) {
  FILE *file = stream;
  if (!file) {
    if (!path) return nullptr;
    file = _WTfile_open(path, "rt");
    if (!file) {
      _WTmsg_warning("Can't open '%s' for input\n", path);
      return nullptr;
    }
  }
  WTreader *r = static_cast<WTreader *>(_WTmem_alloc(sizeof(WTreader)));
  memset(r, 0, sizeof *r);
  r->path = path;
  r->file = file;
  r->callerowns = stream != nullptr;
  r->comment = comment;
  r->continuation = "\\";
  _WTreader_readline(r);
  return r;
}

void _WTreader_close(WTreader *reader) {
  if (!reader) return;
  if (!reader->callerowns) fclose(reader->file);
  _WTmem_free(reader);
}

int _WTreader_readline(WTreader *reader) {
  if (!reader) return 0;
  char line[kLineSize];
  if (!fgets(line, kLineSize, reader->file)) return 0;
  size_t n = strlen(line) + 1;
  memcpy(reader->line, line, n);
  memcpy(reader->work, line, n);
  reader->lineno++;
  reader->cursor = 0;
  reader->count = 0;
  if (!split(reader)) {
    reader->count = 0;
    reader->continued = false;
    _WTmsg_warning("Line %d in '%s' has more than %d tokens: skipped.\n", reader->lineno,
                   reader->path ? reader->path : "", kMaxTokens);
    return 1;
  }
  markcontinued(reader);
  return 1;
}

int _WTreader_nextline(WTreader *reader) {
  do {
    if (!_WTreader_readline(reader)) return 0;
  } while (reader->count == 0);
  return 1;
}

char *_WTreader_linetoken(WTreader *reader) {
  if (!reader) return nullptr;
  while (reader->cursor >= reader->count) {
    if (!reader->continued) {
      reader->cursor = reader->count + 1;
      return nullptr;
    }
    if (!_WTreader_readline(reader)) return nullptr;
  }
  return reader->tokens[reader->cursor++];
}

char *_WTreader_nexttoken(WTreader *reader) {
  if (!reader) return nullptr;
  for (;;) {
    if (char *token = _WTreader_linetoken(reader)) return token;
    if (!_WTreader_readline(reader)) return nullptr;
  }
}

int _WTreader_pushback(WTreader *reader) {
  if (!reader || reader->cursor == 0) return 0;
  reader->cursor--;
  return 1;
}

int _WTreader_tokenpos(WTreader *reader) { return reader ? reader->cursor : 0; }

int _WTreader_numtokens(WTreader *reader) { return reader ? reader->count : 0; }

int _WTreader_getfloat(WTreader *reader, float *out, const char *what) {
  if (!reader || !out) return 0;
  char *token = _WTreader_linetoken(reader);
  if (!token) {
    _WTreader_error(reader, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what ? what : "");
    return 0;
  }
  char *end;
  *out = _WTtext_strtof(token, &end);
  if (*end) {
    _WTreader_error(reader, static_cast<int>(end - token), nullptr);
    _WTmsg_warning("%s invalid.  Remember not to use punctuation.\n", what ? what : "");
    return 0;
  }
  return 1;
}

int _WTreader_getfloat2(WTreader *reader, float *out, const char *what) {
  return out && _WTreader_getfloat(reader, &out[0], what) && _WTreader_getfloat(reader, &out[1], what);
}

int _WTreader_getfloat3(WTreader *reader, float *out, const char *what) {
  return _WTreader_getfloat2(reader, out, what) && _WTreader_getfloat(reader, &out[2], what);
}

int _WTreader_gethexcolor(WTreader *reader, unsigned char *red, unsigned char *green,
                          unsigned char *blue, const char *what) {
  if (!reader || !red || !green || !blue) return 0;
  char *token = _WTreader_linetoken(reader);
  if (!token) {
    _WTreader_error(reader, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what ? what : "");
    return 0;
  }
  char *end;
  unsigned long value = strtoul(token, &end, 16);
  if (*end) {
    _WTreader_error(reader, static_cast<int>(end - token), nullptr);
    _WTmsg_warning("%s invalid.\n", what ? what : "");
    return 0;
  }
  // 0xRGB: each digit d stands for the byte d * 17.
  if (strlen(token) == 5 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
    value = ((value >> 8) & 0xF) * 17 << 16 | ((value >> 4) & 0xF) * 17 << 8 | (value & 0xF) * 17;
  *red = static_cast<unsigned char>(value >> 16);
  *green = static_cast<unsigned char>(value >> 8);
  *blue = static_cast<unsigned char>(value);
  return 1;
}

int _WTreader_error(WTreader *reader, int offset, const char *message) {
  if (!reader || reader->cursor == 0) return 0;
  _WTmsg_warning("Line %d in '%s'.\n", reader->lineno, reader->path ? reader->path : "");
  printline(reader->line);
  int column = displaycolumn(reader->line, reportposition(reader) + offset);
  fprintf(stderr, "%*s", column, "");
  fflush(stderr);
  _WTmsg_info("^\n");
  if (message) _WTmsg_info("%s", message);
  return 1;
}

}  // extern "C"
