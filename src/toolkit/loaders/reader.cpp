// The line and token reader shared by the toolkit's text formats.
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/loaders/loaders.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kMaxTokens = 266;
// Leaves room for nothing but the text in one message.
constexpr int kPrintChunk = 500;
// The stream is read a block at a time and lines are cut from the block.
constexpr size_t kBlockSize = 1 << 16;
constexpr char kContinuation = '\\';

// What a character is to the token cutter: text, a delimiter (blanks and line ends), the end of
// the line, or the first character of the comment marker (text unless the marker follows).
enum CharKind : unsigned char { K_TEXT, K_BLANK, K_END, K_MARK };

}  // namespace

struct WTreader {
  const char *path;  // the caller's, for messages
  FILE *file;
  bool callerowns;   // a stream handed in stays open at close
  const char *marker;      // the comment marker; null when there is none
  unsigned char kinds[256];
  int lineno;              // physical lines read
  const char *line;        // the last physical line as read, where it stands in the block
  size_t linelength;       // (a NUL byte in it ends it as text)
  char work[kLineSize];    // its copy, cut into tokens
  int count;
  char *tokens[kMaxTokens];
  char *lastend;           // past the last token
  bool continued;          // the line ended in a continuation character
  int cursor;              // tokens of the line taken
  // The text read from the stream and not yet cut into lines: block[start, end).
  char block[kBlockSize];
  size_t start, end;
  bool ended;              // the stream has no more
  // For a stream handed in: where it stood before the last read, and where in the block the
  // text of that read begins; -1 when not known.
  long readat;
  size_t readfrom;
};

namespace {

// The kinds of characters for a comment marker; a marker holding a delimiter is never inside a
// token, so it is no marker.
void setkinds(WTreader *r, const char *comment) {
  memset(r->kinds, K_TEXT, sizeof r->kinds);
  for (const char *d = " \t\r\n"; *d; d++) r->kinds[static_cast<unsigned char>(*d)] = K_BLANK;
  r->kinds[0] = K_END;
  r->marker = comment && comment[0] ? comment : nullptr;
  for (const char *m = r->marker; m && *m; m++)
    if (r->kinds[static_cast<unsigned char>(*m)] != K_TEXT) r->marker = nullptr;
  if (r->marker) r->kinds[static_cast<unsigned char>(r->marker[0])] = K_MARK;
}

// Moves the text not yet cut to the front of the block and reads more after it; false when the
// stream has no more.
bool refill(WTreader *r) {
  if (r->ended) return false;
  const size_t left = r->end - r->start;
  memmove(r->block, r->block + r->start, left);
  r->start = 0;
  r->end = left;
  const long at = r->callerowns ? ftell(r->file) : -1;
  const size_t n = fread(r->block + left, 1, kBlockSize - left, r->file);
  if (n == 0) {
    r->ended = true;
    return false;
  }
  r->end += n;
  r->readat = at;
  r->readfrom = left;
  return true;
}

// The next physical line, as the C library's line reader gives it: up to and with its '\n', at
// most kLineSize - 1 characters.  Where it stands in the block, with its length; null when the
// stream has no more.  The block moves its text only when the next line is cut, so the line
// stays in place until then.
const char *cutline(WTreader *r, size_t *length) {
  const size_t most = kLineSize - 1;
  const char *newline;
  for (;;) {
    const size_t left = r->end - r->start;
    const size_t within = left < most ? left : most;
    newline = static_cast<const char *>(memchr(r->block + r->start, '\n', within));
    if (newline || left >= most || !refill(r)) break;
  }
  const char *p = r->block + r->start;
  const size_t left = r->end - r->start;
  if (left == 0) return nullptr;
  *length = newline ? size_t(newline - p) + 1 : left < most ? left : most;
  r->start += *length;
  return p;
}

// A stream handed in is left just past the last line taken, as a reader taking one line at a
// time would leave it (text streams are gone through again from a place the stream told).
// False when the stream cannot be put back.
bool giveback(WTreader *r) {
  if (r->start == r->end) return true;
  if (r->readat < 0 || r->start < r->readfrom) return false;
  if (fseek(r->file, r->readat, SEEK_SET) != 0) return false;
  const size_t skip = r->start - r->readfrom;
  return fread(r->block, 1, skip, r->file) == skip;
}

bool addtoken(WTreader *r, char *token, char *end) {
  if (r->count == kMaxTokens) return false;
  r->tokens[r->count++] = token;
  r->lastend = end;
  return true;
}

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
  const unsigned char *kind = r->kinds;
  char *p = r->work;
  for (;;) {
    while (kind[static_cast<unsigned char>(*p)] == K_BLANK) p++;
    if (!*p) return true;
    char *token = p;
    for (;; p++) {
      while (kind[static_cast<unsigned char>(*p)] == K_TEXT) p++;
      if (kind[static_cast<unsigned char>(*p)] != K_MARK) break;
      if (markerat(p, r->marker)) {
        *p = 0;
        return p == token || addtoken(r, token, p);
      }
    }
    const bool more = *p != 0;
    *p = 0;
    if (!addtoken(r, token, p)) return false;
    if (!more) return true;
    p++;
  }
}

// A last token that ends in a continuation character joins the next line to this one.
void markcontinued(WTreader *r) {
  r->continued = false;
  if (r->count == 0 || r->lastend[-1] != kContinuation) return;
  r->continued = true;
  r->lastend[-1] = 0;
  if (r->lastend - 1 == r->tokens[r->count - 1]) r->count--;
}

void printline(const char *line, size_t length) {
  for (size_t left = strnlen(line, length); left > 0;) {
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
int displaycolumn(const char *line, size_t length, long long position) {
  int column = 0;
  for (long long i = 0; i < position && size_t(i) < length && line[i]; i++)
    column = line[i] == '\t' ? (column | 7) + 1 : column + 1;
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
  memset(r, 0, offsetof(WTreader, block));
  r->path = path;
  r->file = file;
  r->callerowns = stream != nullptr;
  setkinds(r, comment);
  r->start = r->end = 0;
  r->ended = false;
  r->readat = -1;
  r->readfrom = 0;
  _WTreader_readline(r);
  return r;
}

void _WTreader_close(WTreader *reader) {
  if (!reader) return;
  if (reader->callerowns) giveback(reader);
  else fclose(reader->file);
  _WTmem_free(reader);
}

int _WTreader_readline(WTreader *reader) {
  if (!reader) return 0;
  size_t n;
  const char *line = cutline(reader, &n);
  if (!line) return 0;
  memcpy(reader->work, line, n);
  reader->work[n] = 0;
  reader->line = line;
  reader->linelength = n;
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
  printline(reader->line, reader->linelength);
  int column = displaycolumn(reader->line, reader->linelength, reportposition(reader) + offset);
  fprintf(stderr, "%*s", column, "");
  fflush(stderr);
  _WTmsg_info("^\n");
  if (message) _WTmsg_info("%s", message);
  return 1;
}

}  // extern "C"
