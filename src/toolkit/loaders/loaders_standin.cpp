// File search, type sniffing, base names and the text reader, as far as the scene graph needs
// them before the loaders join the library: the build drops this file as soon as the loaders
// folder has files of its own.
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "toolkit/core/core.h"
#include "toolkit/loaders/files.h"

struct WTreader {
  const char *path;
  FILE *file;
  bool ownsfile;
  const char *comment;
  int line;
  char text[1024];
  char work[1024];
  int ntokens;
  char *tokens[266];
  bool continued;
  int cursor;
};

namespace {

char foundpath[260];

bool opens(const char *path) {
  FILE *f = fopen(path, "r");
  if (f) fclose(f);
  return f != nullptr;
}

int readline(WTreader *r) {
  if (!fgets(r->text, sizeof r->text, r->file)) return 0;
  r->line++;
  r->cursor = r->ntokens = 0;
  memcpy(r->work, r->text, sizeof r->work);
  for (char *p = r->work; *p && r->ntokens < 266;) {
    while (*p && strchr(" \t\r\n", *p)) p++;
    if (!*p) break;
    r->tokens[r->ntokens++] = p;
    while (*p && !strchr(" \t\r\n", *p)) p++;
    if (*p) *p++ = 0;
  }
  for (int i = 0; i < r->ntokens; i++) {
    char *marker = strstr(r->tokens[i], r->comment);
    if (!marker) continue;
    *marker = 0;
    r->ntokens = marker == r->tokens[i] ? i : i + 1;
    break;
  }
  r->continued = false;
  if (r->ntokens > 0) {
    char *last = r->tokens[r->ntokens - 1];
    size_t n = strlen(last);
    if (n && last[n - 1] == '\\') {
      r->continued = true;
      last[n - 1] = 0;
      if (n == 1) r->ntokens--;
    }
  }
  return 1;
}

char *linetoken(WTreader *r) {
  while (r->cursor >= r->ntokens) {
    if (!r->continued) {
      r->cursor = r->ntokens + 1;
      return nullptr;
    }
    if (!readline(r)) return nullptr;
  }
  return r->tokens[r->cursor++];
}

}  // namespace

extern "C" {

int _WTfile_gettype(const char *path) {
  FILE *f = path ? fopen(path, "r") : nullptr;
  if (!f) return WTFILE_NONE;
  char b[9] = {};
  size_t n = fread(b, 1, 8, f);
  fclose(f);
  size_t k = 0;
  for (size_t i = 0; i < n; i++)
    if (b[i] != 13) b[k++] = b[i];
  if (!strncmp(b, "//lights", 8)) return WTFILE_LIGHTS;
  return WTFILE_WFRONT;
}

char *_WTfile_findpath(const char *name, const char *list) {
  if (!name) return nullptr;
  if (opens(name)) {
    snprintf(foundpath, sizeof foundpath, "%s", name);
    return foundpath;
  }
  const char *value = list ? getenv(list) : nullptr;
  if (!value) return nullptr;
  std::string copy(value);
  size_t start = 0;
  while (start <= copy.size()) {
    size_t end = copy.find(';', start);
    std::string dir = copy.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    snprintf(foundpath, sizeof foundpath, "%s%s", dir.c_str(), name);
    if (opens(foundpath)) return foundpath;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return nullptr;
}

char *_WTfile_findmodel(const char *name) {
  if (!name || !*name) return nullptr;
  return _WTfile_findpath(name, "WTMODELS");
}

char *_WTfile_basename(const char *path) {
  if (!path) return nullptr;
  std::string s(path);
  size_t dot = s.rfind('.');
  if (dot != std::string::npos) s = s.substr(0, dot);
  for (char c : {':', '/', '\\'}) {
    size_t p = s.rfind(c);
    if (p != std::string::npos) s = s.substr(p + 1);
  }
  if (s.empty() || s.find(' ') != std::string::npos) return nullptr;
  return _WTmem_strdup(s.c_str());
}

WTreader *_WTreader_open(const char *path, FILE *file, const char *comment) {
  FILE *f = file ? file : (path ? fopen(path, "r") : nullptr);
  if (!f) {
    _WTmsg_warning("Can't open '%s' for input\n", path ? path : "");
    return nullptr;
  }
  WTreader *r = static_cast<WTreader *>(_WTmem_alloc(sizeof(WTreader)));
  memset(r, 0, sizeof *r);
  r->path = path;
  r->file = f;
  r->ownsfile = !file;
  r->comment = comment ? comment : "//";
  readline(r);
  return r;
}

void _WTreader_close(WTreader *r) {
  if (!r) return;
  if (r->ownsfile) fclose(r->file);
  _WTmem_free(r);
}

char *_WTreader_nexttoken(WTreader *r) {
  if (!r) return nullptr;
  for (;;) {
    if (char *t = linetoken(r)) return t;
    if (!readline(r)) return nullptr;
  }
}

int _WTreader_pushback(WTreader *r) {
  if (!r || r->cursor == 0) return 0;
  r->cursor--;
  return 1;
}

int _WTreader_tokenpos(WTreader *r) { return r ? r->cursor : 0; }

int _WTreader_error(WTreader *r, int offset, const char *message) {
  if (!r || r->cursor == 0) return 0;
  _WTmsg_warning("Line %d in '%s'.\n", r->line, r->path ? r->path : "");
  _WTmsg_info("%s", r->text);
  const char *at;
  if (r->cursor > r->ntokens && r->ntokens > 0) {
    const char *last = r->tokens[r->ntokens - 1];
    at = last + strlen(last) + 1;
  } else {
    at = r->tokens[r->cursor > 0 ? r->cursor - 1 : 0];
  }
  long position = (at - r->work) + offset;
  int column = 0;
  for (long i = 0; i < position && r->text[i]; i++)
    column = r->text[i] == '\t' ? (column / 8 + 1) * 8 : column + 1;
  fprintf(stderr, "%*s", column, "");
  _WTmsg_info("^\n");
  if (message) _WTmsg_info("%s", message);
  return 1;
}

int _WTreader_getfloat(WTreader *r, float *out, const char *what) {
  char *t = r ? linetoken(r) : nullptr;
  if (!t) {
    _WTreader_error(r, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what);
    return 0;
  }
  char *end;
  *out = static_cast<float>(strtod(t, &end));
  if (*end) {
    _WTreader_error(r, static_cast<int>(end - t), nullptr);
    _WTmsg_warning("%s invalid.  Remember not to use punctuation.\n", what);
    return 0;
  }
  return 1;
}

int _WTreader_getfloat3(WTreader *r, float *out, const char *what) {
  for (int i = 0; i < 3; i++)
    if (!_WTreader_getfloat(r, &out[i], what)) return 0;
  return 1;
}

int _WTreader_gethexcolor(WTreader *r, unsigned char *red, unsigned char *green,
                          unsigned char *blue, const char *what) {
  char *t = r ? linetoken(r) : nullptr;
  if (!t) {
    _WTreader_error(r, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what);
    return 0;
  }
  char *end;
  unsigned long v = strtoul(t, &end, 16);
  if (*end) {
    _WTreader_error(r, static_cast<int>(end - t), nullptr);
    _WTmsg_warning("%s invalid.\n", what);
    return 0;
  }
  if (strlen(t) == 5) v = ((v >> 8 & 0xF) * 17 << 16) | ((v >> 4 & 0xF) * 17 << 8) | ((v & 0xF) * 17);
  *red = static_cast<unsigned char>(v >> 16);
  *green = static_cast<unsigned char>(v >> 8);
  *blue = static_cast<unsigned char>(v);
  return 1;
}
}
