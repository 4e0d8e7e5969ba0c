// DXF groups into tokens, and the section, table, block and entity structure checked over them.
// The grammar's actions fill the layer table, the viewer pose and the entity records, and hand
// each finished entity to its builder.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

#include "toolkit/loaders/dxf.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr size_t kTokenLimit = 512;

enum Kind { T_END, T_KEY, T_GROUP, T_IGNORED, T_SOLID, T_FAULT };

enum Keyword {
  K_SECTION, K_ENDSEC, K_EOF, K_TABLE, K_ENDTAB, K_BLOCK, K_ENDBLK, K_LINE, K_3DLINE, K_POINT,
  K_CIRCLE, K_ARC, K_TRACE, K_SOLID, K_3DFACE, K_TEXT, K_SHAPE, K_INSERT, K_DIMENSION, K_ATTDEF,
  K_ATTRIB, K_POLYLINE, K_VERTEX, K_SEQEND, K_LTYPE, K_LAYER, K_STYLE, K_VIEW, K_VPORT, K_UCS,
  K_DWGMGR, K_DIMSTYLE, K_APPID, K_VIEWPORT, K_BLOCK_RECORD, K_COUNT
};

const char *const kKeywords[K_COUNT] = {
    "SECTION", "ENDSEC", "EOF",    "TABLE",    "ENDTAB",   "BLOCK",  "ENDBLK", "LINE",
    "3DLINE",  "POINT",  "CIRCLE", "ARC",      "TRACE",    "SOLID",  "3DFACE", "TEXT",
    "SHAPE",   "INSERT", "DIMENSION", "ATTDEF", "ATTRIB",  "POLYLINE", "VERTEX", "SEQEND",
    "LTYPE",   "LAYER",  "STYLE",  "VIEW",     "VPORT",    "UCS",    "DWGMGR", "DIMSTYLE",
    "APPID",   "VIEWPORT", "BLOCK_RECORD"};

const char *const kNames[] = {"HEADER", "TABLES", "BLOCKS", "ENTITIES", "CLASSES", "LTYPE",
                              "LAYER",  "STYLE",  "VIEW",   "VPORT",    "UCS",     "DWGMGR",
                              "DIMSTYLE", "APPID", "VIEWPORT", "BLOCK_RECORD", "*ACTIVE"};

struct Token {
  Kind kind = T_END;
  int code = 0;
  int key = -1;
  bool reserved = false; // a group 2 naming a section, a table or "*ACTIVE"
  const char *text = "";
  size_t length = 0;
  float f = 0;
  int i = 0;
};

bool isfloatcode(int c) {
  return (c >= 10 && c <= 18) || (c >= 20 && c <= 28) || (c >= 30 && c <= 39) ||
         (c >= 40 && c <= 49) || (c >= 50 && c <= 58) || c == 210 || c == 220 || c == 230;
}

bool isignoredcode(int c) {
  return c == 19 || c == 29 || c == 59 || (c >= 140 && c <= 146) || c == 60 || c == 61 ||
         (c >= 63 && c <= 65) || c == 68 || c == 69 || c == 79 || (c >= 90 && c <= 99) ||
         (c >= 170 && c <= 178) || (c >= 280 && c <= 289) ||
         (c >= 1000 && c <= 1077 && c % 10 <= 7);
}

bool isskippedcode(int c) {
  return c == 5 || c == 67 || c == 100 || c == 105 || (c >= 300 && c <= 369) || c == 999;
}

// What the scanner makes of a group by its code.
enum CodeClass : unsigned char {
  C_UNUSED,   // a code the reader has no use for
  C_SKIPPED,  // passed over without a token
  C_FAULT,    // refused
  C_APPNAME,  // an application name: the solid modeller's mark, otherwise ignored
  C_IGNORED,
  C_FLOAT,
  C_INT,
  C_NAME,     // group 2: may name a section or a table
  C_TEXT
};

constexpr int kCodes = 1080;  // every code above is unused

CodeClass classof(int c) {
  if (isskippedcode(c)) return C_SKIPPED;
  if (c >= 211 && c <= 239 && c != 220 && c != 230) return C_FAULT;
  if (c == 1001) return C_APPNAME;
  if (isignoredcode(c)) return C_IGNORED;
  if (isfloatcode(c)) return C_FLOAT;
  if (c == 62 || c == 66 || (c >= 70 && c <= 78)) return C_INT;
  if (c == 2) return C_NAME;
  if (c == 1 || c == 3 || c == 4 || (c >= 6 && c <= 9)) return C_TEXT;
  return C_UNUSED;
}

// The classes of every code, worked out once.
struct CodeClasses {
  CodeClass of[kCodes];
  CodeClasses() {
    for (int c = 0; c < kCodes; c++) of[c] = classof(c);
  }
  CodeClass operator()(int c) const { return c < kCodes ? of[c] : C_UNUSED; }
};

// The keywords in a small table probed from a value's length and first and last letters: most
// values are found or refused with one comparison.
class KeywordTable {
 public:
  KeywordTable() {
    for (signed char &k : slots_) k = -1;
    for (int k = 0; k < K_COUNT; k++) {
      lengths_[k] = strlen(kKeywords[k]);
      size_t i = home(kKeywords[k], lengths_[k]);
      while (slots_[i] >= 0) i = (i + 1) % kSlots;
      slots_[i] = static_cast<signed char>(k);
    }
  }
  // The keyword the text spells, or -1.
  int find(const char *text, size_t length) const {
    if (length == 0) return -1;
    for (size_t i = home(text, length); slots_[i] >= 0; i = (i + 1) % kSlots) {
      const int k = slots_[i];
      if (lengths_[k] == length && memcmp(kKeywords[k], text, length) == 0) return k;
    }
    return -1;
  }

 private:
  static constexpr size_t kSlots = 128;
  static size_t home(const char *text, size_t length) {
    const auto first = static_cast<unsigned char>(text[0]), last = static_cast<unsigned char>(text[length - 1]);
    return (length * 31 + first * 7 + last) % kSlots;
  }
  signed char slots_[kSlots];
  size_t lengths_[K_COUNT];
};

// ---- Scanner ---------------------------------------------------------------------------------

// Groups of the file, a code line and a value line each, read through a window that holds the
// file from the last group read on: memory stays the same for any size of file.
class Scanner {
 public:
  explicit Scanner(FILE *in) : in_(in), data_(2 * kChunk + 1, '\0') {}

  // The next token; T_FAULT after a warning for what the reader refuses.
  Token next() {
    for (;;) {
      Group g;
      if (!readgroup(&g)) return Token{};
      if (g.code < 0) continue; // a line that holds no group code: dropped
      Token t;
      if (classify(g, &t)) return t;
    }
  }

  int line() const { return line_; }
  // The text of the last group, both lines.
  std::string text() const {
    if (!last_.any) return "\n\n";
    return std::string(at(last_.code), last_.codelength) + "\n" + std::string(lastvalue(), last_.length) + "\n";
  }
  bool layertable = false;

 private:
  struct Group {
    int code;
    const char *value;
    size_t length;
  };

  static constexpr size_t kChunk = 1 << 16;

  // The window's text at a place in the file.
  const char *at(size_t place) const { return data_.data() + (place - base_); }
  size_t windowend() const { return base_ + used_; }

  // Drops what lies before the last group read and appends the next chunk of the file; false at
  // the end of the file.  The window's text is always followed by a terminator.
  bool refill() {
    if (eof_) return false;
    const size_t keep = windowend() - lastgroup_;
    memmove(&data_[0], at(lastgroup_), keep);
    base_ = lastgroup_;
    used_ = keep;
    if (data_.size() < used_ + kChunk + 1) data_.resize(used_ + kChunk + 1);
    const size_t n = fread(&data_[used_], 1, kChunk, in_);
    used_ += n;
    data_[used_] = '\0';
    eof_ = n == 0;
    return n > 0;
  }

  // The next line (its place and length, without its line end) and whether it holds a carriage
  // return; false at the end of the file.  Group lines are short: a plain loop finds their end
  // sooner than a library call.
  bool readline(size_t *place, size_t *length, bool *cr) {
    size_t scanned = pos_;
    bool any = false;
    for (;;) {
      const char *p = at(scanned), *end = at(windowend());
      for (; p < end && *p != '\n'; p++) any = any || *p == '\r';
      scanned = base_ + size_t(p - data_.data());
      if (p < end || !refill()) break;
    }
    if (pos_ >= windowend()) return false;
    *place = pos_;
    *length = scanned - pos_;
    pos_ = scanned + (scanned < windowend() ? 1 : 0);
    if (cr) *cr = any;
    return true;
  }

  // The line without its carriage returns, in the scanner's own buffer when it held any.
  const char *stripcr(const char *s, size_t *n, std::string *buffer) {
    buffer->clear();
    for (size_t k = 0; k < *n; k++)
      if (s[k] != '\r') buffer->push_back(s[k]);
    *n = buffer->size();
    return buffer->c_str();
  }

  static int parsecode(const char *s, size_t n) {
    size_t k = 0;
    while (k < n && (s[k] == ' ' || s[k] == '\t')) k++;
    if (k == n) return -1;
    long v = 0;
    size_t digits = 0;
    for (; k < n && s[k] >= '0' && s[k] <= '9' && digits < 6; k++, digits++) v = v * 10 + (s[k] - '0');
    while (k < n && (s[k] == ' ' || s[k] == '\t' || s[k] == '\r')) k++;
    return digits && k == n ? int(v) : -1;
  }

  bool readgroup(Group *g) {
    if (plaingroup(g)) return true;
    size_t c, cn, v, vn;
    bool cr;
    if (!readline(&c, &cn, nullptr)) return false;
    int code = parsecode(at(c), cn);
    line_++;
    if (code < 0) {
      g->code = -1;
      return true;
    }
    if (!readline(&v, &vn, &cr)) return false;
    line_++;
    const char *value = cr ? stripcr(at(v), &vn, &value_) : at(v);
    g->code = code;
    g->value = value;
    g->length = vn;
    last_ = {true, c, cn, !cr, v, vn};
    lastgroup_ = c;
    return true;
  }

  // Most groups are plain: both lines in the window, the code digits after spaces, no carriage
  // returns.  Such a group is read here in one pass; for any other, nothing is read and false is
  // returned.
  bool plaingroup(Group *g) {
    const char *const s = at(pos_), *const end = at(windowend());
    const char *p = s;
    while (p < end && *p == ' ') p++;
    const char *const digits = p;
    int code = 0;
    for (; p < end && p - digits < 6 && *p >= '0' && *p <= '9'; p++) code = code * 10 + (*p - '0');
    if (p == digits || p == end || *p != '\n') return false;
    const char *const value = p + 1;
    const char *q = value;
    while (q < end && *q != '\n' && *q != '\r') q++;
    if (q == end || *q != '\n') return false;
    g->code = code;
    g->value = value;
    g->length = size_t(q - value);
    last_ = {true, pos_, size_t(p - s), true, pos_ + size_t(value - s), g->length};
    lastgroup_ = pos_;
    pos_ += size_t(q + 1 - s);
    line_ += 2;
    return true;
  }

  static bool equals(const Group &g, const char *word) {
    size_t n = strlen(word);
    return g.length == n && memcmp(g.value, word, n) == 0;
  }

  // CLASSES and OBJECTS sections are passed over whole.
  bool skipsection() {
    // The window keeps everything from the last group on, so the place can be gone back to.
    const size_t save = pos_, savegroup = lastgroup_;
    const int saveline = line_;
    const Last savelast = last_;
    const std::string savevalue = value_;
    Group g;
    if (!readgroup(&g) || g.code != 2 || !(equals(g, "OBJECTS") || equals(g, "CLASSES"))) {
      pos_ = save;
      lastgroup_ = savegroup;
      line_ = saveline;
      last_ = savelast;
      value_ = savevalue;
      return false;
    }
    while (readgroup(&g))
      if (g.code == 0 && equals(g, "ENDSEC")) break;
    return true;
  }

  Token fault(const char *message) {
    _WTmsg_warning("%s", message);
    Token t;
    t.kind = T_FAULT;
    return t;
  }

  // The value's number; 0 when the line holds none.  The file's buffer ends in a terminator,
  // and a number read past the line's end is no number of this line.
  template <typename Convert>
  static auto number(const Group &g, Convert convert) -> decltype(convert(nullptr, nullptr)) {
    char *end = nullptr;
    auto value = convert(g.value, &end);
    return end > g.value + g.length ? 0 : value;
  }

  bool classify(const Group &g, Token *t) {
    static const CodeClasses classes;
    if (last_.codelength + last_.length + 2 > kTokenLimit) {
      _WTmsg_warning("Input string too long, limit %d\n", int(kTokenLimit));
      t->kind = T_FAULT;
      return true;
    }
    t->code = g.code;
    t->text = g.value;
    t->length = g.length;
    if (g.code == 0) return keyword(g, t);
    t->kind = T_GROUP;
    switch (classes(g.code)) {
      case C_UNUSED:
      case C_SKIPPED: return false;
      case C_FAULT: *t = fault("Scan.l - group code problem\n"); return true;
      case C_APPNAME: t->kind = equals(g, "AME_SOL") ? T_SOLID : T_IGNORED; return true;
      case C_IGNORED: t->kind = T_IGNORED; return true;
      case C_FLOAT: t->f = number(g, _WTtext_strtof); return true;
      case C_INT: t->i = int(number(g, _WTtext_strtol)); return true;
      case C_NAME:
        for (const char *name : kNames)
          if (equals(g, name)) t->reserved = !layertable;
        return true;
      case C_TEXT: return true;
    }
    return false;
  }

  // The keyword's value is told before the section check reads the next group over it.
  bool keyword(const Group &g, Token *t) {
    static const KeywordTable keywords;
    const int k = keywords.find(g.value, g.length);
    if (k < 0) {
      *t = fault("Scan.l - group code problem\n");
      return true;
    }
    t->kind = T_KEY;
    t->key = k;
    t->text = kKeywords[k];
    return !(k == K_SECTION && skipsection());
  }

  // Places are counted in bytes from where the scanner began; the window holds them from base_.
  FILE *in_;
  std::vector<char> data_;  // the window's text from used_ on is spare room
  size_t used_ = 0;
  size_t base_ = 0;
  size_t pos_ = 0;        // the next line
  size_t lastgroup_ = 0;  // the last group read: the window keeps it
  bool eof_ = false;
  int line_ = 0;
  // The last group's lines; a value without its carriage returns is in value_.
  struct Last {
    bool any = false;
    size_t code = 0;
    size_t codelength = 0;
    bool inwindow = true;
    size_t value = 0;
    size_t length = 0;
  } last_;
  const char *lastvalue() const { return last_.inwindow ? at(last_.value) : value_.c_str(); }
  std::string value_;
};

// ---- Layers and the viewer pose ----------------------------------------------------------------

struct Layer {
  std::string name;
  int off = 0;
  int colour = 0;
};

struct Viewer {
  float dir[3] = {0, 0, 0}, target[3] = {0, 0, 0};
  float height = 0, twist = 0;
  int count = 0;
  bool active = false, done = false;
};

// ---- Grammar -------------------------------------------------------------------------------

class Parser {
 public:
  explicit Parser(FILE *in) : scan_(in) { advance(); }

  int run() {
    viewer_ = Viewer{};
    bool ok = sections();
    endofinput();
    return ok ? 0 : 1;
  }

 private:
  struct Stop {};

  void advance() { tok_ = scan_.next(); }
  bool iskey(int k) const { return tok_.kind == T_KEY && tok_.key == k; }
  bool isgroup(int code) const { return tok_.kind == T_GROUP && tok_.code == code; }
  bool isvalue(const char *word) const {
    return tok_.length == strlen(word) && memcmp(tok_.text, word, tok_.length) == 0;
  }
  std::string value() const { return std::string(tok_.text, tok_.length); }

  [[noreturn]] void error() {
    if (tok_.kind != T_FAULT) {
      char where[700];
      snprintf(where, sizeof where, "DXF parser line %d, _yytext %s", scan_.line(),
               scan_.text().c_str());
      _WTmsg_info("\n%s %s\n", where, "syntax error");
    }
    throw Stop{};
  }
  void expectkey(int k) {
    if (!iskey(k)) error();
    advance();
  }
  // Groups of any kind up to the next keyword.
  void anygroups() {
    while (tok_.kind == T_GROUP || tok_.kind == T_IGNORED || tok_.kind == T_SOLID) advance();
  }

  bool sections() {
    try {
      int stage = 0; // 1 header, 2 tables, 3 blocks
      for (;;) {
        expectkey(K_SECTION);
        if (!isgroup(2) || !tok_.reserved) error();
        int next = isvalue("HEADER") ? 1 : isvalue("TABLES") ? 2 : isvalue("BLOCKS") ? 3
                   : isvalue("ENTITIES") ? 4 : 0;
        if (next <= stage) error();
        advance();
        stage = next;
        if (next == 1) header();
        else if (next == 2) tables();
        else if (next == 3) blocksection();
        else break;
      }
      entities();
      expectkey(K_EOF);
      return true;
    } catch (const Stop &) {
      if (open_) _WTdxf_freeblock(open_);
      open_ = nullptr;
      return false;
    }
  }

  // ---- HEADER ----
  void header() {
    static const int values[] = {1, 2, 3, 4, 6, 7, 8, 10, 20, 30, 40, 50, 62, 70};
    while (isgroup(9)) {
      advance();
      for (;;) {
        bool ok = false;
        for (int c : values) ok = ok || isgroup(c);
        if (!ok) break;
        advance();
      }
    }
    expectkey(K_ENDSEC);
  }

  // ---- TABLES ----
  void tables() {
    while (iskey(K_TABLE)) {
      advance();
      if (!isgroup(2) || !tok_.reserved) error();
      std::string name = value();
      advance();
      int announced = -1;
      if (isgroup(70)) {
        announced = tok_.i;
        advance();
      } else if (name != "LAYER") {
        error();
      }
      if (name == "LAYER") layertable(announced);
      else if (name == "VPORT") vports();
      else ignoredtable(name);
      expectkey(K_ENDTAB);
      scan_.layertable = false;
    }
    expectkey(K_ENDSEC);
  }

  void ignoredtable(const std::string &name) {
    int key = -1;
    for (int k = K_LTYPE; k < K_COUNT; k++)
      if (name == kKeywords[k]) key = k;
    if (key < 0) error();
    while (iskey(key)) {
      advance();
      anygroups();
    }
  }

  void layertable(int announced) {
    layers_.clear();
    layers_.reserve(size_t(announced >= 0 && announced < 100000 ? announced + 1 : 101));
    scan_.layertable = true;
    while (iskey(K_LAYER)) {
      advance();
      layers_.push_back(Layer{});
      Layer &l = layers_.back();
      for (;;) {
        if (isgroup(2)) l.name = value();
        else if (isgroup(70)) l.off = (tok_.i & 1) ? 1 : l.off;
        else if (isgroup(62)) l.colour = l.off ? -abs(tok_.i) : tok_.i;
        else if (!isgroup(6) && tok_.kind != T_IGNORED) break;
        advance();
      }
    }
  }

  void vports() {
    while (iskey(K_VPORT)) {
      advance();
      for (;;) {
        if (tok_.kind == T_IGNORED) {
          advance();
          continue;
        }
        if (tok_.kind != T_GROUP) break;
        viewgroup();
        advance();
      }
      finishview();
    }
  }

  void viewgroup() {
    if (tok_.code == 2) {
      if (isvalue("*ACTIVE") && !viewer_.done) {
        viewer_.active = true;
        viewer_.count = 0;
      }
      return;
    }
    if (!viewer_.active || viewer_.done) return;
    float *slot = nullptr;
    switch (tok_.code) {
      case 16: slot = &viewer_.dir[0]; break;
      case 26: slot = &viewer_.dir[1]; break;
      case 36: slot = &viewer_.dir[2]; break;
      case 17: slot = &viewer_.target[0]; break;
      case 27: slot = &viewer_.target[1]; break;
      case 37: slot = &viewer_.target[2]; break;
      case 50: slot = &viewer_.twist; break;
      case 40: viewer_.height = tok_.f; return;
      default: return;
    }
    *slot = tok_.f;
    viewer_.count++;
  }

  void finishview() {
    if (viewer_.done || viewer_.count != 7) return;
    float d[3] = {viewer_.dir[0], viewer_.dir[1], viewer_.dir[2]};
    if (d[0] == 0 && d[1] == 0) d[2] = viewer_.height;
    viewer_.done = true;
    const float n[3] = {-d[0], -d[1], -d[2]};
    const float *t = viewer_.target;
    WTpq &pose = _WTdxf_state().pose;
    pose.p[0] = t[0] - n[0];
    pose.p[1] = -t[2] + n[2];
    pose.p[2] = t[1] - n[1];
    float yaw = _WTmath_atan2(n[0], n[1]);
    WTq q;
    _WTeuler_2q(0, -yaw, 0, q);
    float pitch = _WTmath_atan2(d[2], sqrtf(n[0] * n[0] + n[1] * n[1]));
    WTq p;
    _WTeuler_2q(pitch, 0, 0, p);
    _WTq_multiply(p, q, pose.q);
  }

  // ---- BLOCKS ----
  void blocksection() {
    while (iskey(K_BLOCK)) {
      advance();
      open_ = _WTdxf_newblock();
      blockheader();
      entitylist();
      expectkey(K_ENDBLK);
      anygroups();
      WTdxfblock *b = open_;
      open_ = nullptr;
      _WTdxf_closeblock(b);
    }
    expectkey(K_ENDSEC);
  }

  void blockheader() {
    WTdxfblock *b = open_;
    int seen = 0;
    for (;; seen++, advance()) {
      if (tok_.kind == T_IGNORED) continue;
      if (tok_.kind != T_GROUP) break;
      switch (tok_.code) {
        case 2: b->name = value(); break;
        case 10: b->base[0] = tok_.f; break;
        case 20: b->base[1] = tok_.f; break;
        case 30: b->base[2] = tok_.f; b->zmissing = 0; break;
        case 38: b->elevation = tok_.f; break;
        case 39: b->thickness = tok_.f; break;
        case 62: if (b->colour >= 0) b->colour = tok_.i; break;
        case 210: b->extrusion[0] = tok_.f; break;
        case 220: b->extrusion[1] = tok_.f; break;
        case 230: b->extrusion[2] = tok_.f; break;
        case 8: case 70: case 6: case 3: case 1: break;
        default: error();
      }
    }
    if (!seen) error();
  }

  // ---- ENTITIES ----
  void entities() {
    open_ = _WTdxf_newblock();
    open_->name = "world";
    entitylist();
    expectkey(K_ENDSEC);
    WTdxfblock *b = open_;
    open_ = nullptr;
    _WTdxf_closeblock(b);
  }

  void entitylist() {
    while (tok_.kind == T_KEY && entity()) {
    }
  }

  // Fields each kind takes besides the common ones.
  static bool takes(int kind, int code) {
    auto in = [code](std::initializer_list<int> list) {
      for (int c : list)
        if (c == code) return true;
      return false;
    };
    auto corners = [code](bool flags) {
      return (code >= 10 && code <= 13) || (code >= 20 && code <= 23) || (code >= 30 && code <= 33) ||
             (flags && code == 70);
    };
    switch (kind) {
      case WTDXF_LINE: return in({10, 20, 30, 11, 21, 31, 70});
      case WTDXF_3DLINE: return in({10, 20, 30, 11, 21, 31});
      case WTDXF_POINT: return in({10, 20, 30, 50});
      case WTDXF_CIRCLE: return in({10, 20, 30, 40});
      case WTDXF_ARC: return in({10, 20, 30, 40, 50, 51});
      case WTDXF_TRACE:
      case WTDXF_SOLID: return corners(false);
      case WTDXF_3DFACE: return corners(true);
      case WTDXF_INSERT: return in({66, 2, 10, 20, 30, 41, 42, 43, 50, 70, 71, 44, 45});
      case WTDXF_POLYLINE: return in({66, 70, 71, 72, 73, 74, 75, 40, 41, 10, 20, 30});
      default: return false;
    }
  }

  static int kindof(int key) {
    switch (key) {
      case K_LINE: return WTDXF_LINE;
      case K_3DLINE: return WTDXF_3DLINE;
      case K_POINT: return WTDXF_POINT;
      case K_CIRCLE: return WTDXF_CIRCLE;
      case K_ARC: return WTDXF_ARC;
      case K_TRACE: return WTDXF_TRACE;
      case K_SOLID: return WTDXF_SOLID;
      case K_3DFACE: return WTDXF_3DFACE;
      case K_INSERT: return WTDXF_INSERT;
      case K_POLYLINE: return WTDXF_POLYLINE;
      case K_DIMENSION: case K_TEXT: case K_SHAPE: case K_ATTDEF: case K_VIEWPORT:
        return WTDXF_DROPPED;
      default: return WTDXF_NONE;
    }
  }

  // One entity; false at a keyword that starts none.
  bool entity() {
    int kind = kindof(tok_.key);
    if (kind == WTDXF_NONE) return false;
    advance();
    reset(kind);
    if (kind == WTDXF_DROPPED) {
      anygroups();
      return true;
    }
    int fields = 0;
    while (tok_.kind != T_KEY && tok_.kind != T_END && tok_.kind != T_FAULT) {
      if (!common(false) && !(tok_.kind == T_GROUP && takes(kind, tok_.code) && field(kind)))
        error();
      fields++;
      advance();
    }
    if (!fields && kind != WTDXF_DROPPED) error();
    if (kind == WTDXF_POLYLINE) vertices();
    if (kind == WTDXF_INSERT && iskey(K_ATTRIB)) attributes();
    build(kind);
    return true;
  }

  void attributes() {
    while (iskey(K_ATTRIB)) {
      advance();
      anygroups();
    }
    expectkey(K_SEQEND);
    anygroups();
  }

  void vertices() {
    WTdxfentity &e = entity_;
    while (iskey(K_VERTEX)) {
      advance();
      e.verts.push_back(WTdxfvertex{});
      int fields = 0;
      while (tok_.kind != T_KEY && tok_.kind != T_END && tok_.kind != T_FAULT) {
        if (!common(true) && !(tok_.kind == T_GROUP && vertexfield())) error();
        fields++;
        advance();
      }
      if (!fields) error();
      e.count++;
    }
    expectkey(K_SEQEND);
    anygroups();
  }

  bool vertexfield() {
    WTdxfvertex &v = entity_.verts.back();
    switch (tok_.code) {
      case 10: v.x = tok_.f; return true;
      case 20: v.y = tok_.f; return true;
      case 30: v.z = tok_.f; return true;
      case 42: v.bulge = tok_.f; return true;
      case 70: v.flags = tok_.i; return true;
      case 71: case 72: case 73: case 74:
        v.face[tok_.code - 71] = abs(tok_.i);
        return true;
      case 40: case 41: case 50: return true;
      default: return false;
    }
  }

  void reset(int kind) {
    WTdxfentity &e = entity_;
    e.kind = kind;
    memset(e.p, 0, sizeof e.p);
    e.elevation = 0;
    e.zmissing = 1;
    e.thickness = 0;
    e.colour = 0;
    e.extrusion[0] = e.extrusion[1] = 0;
    e.extrusion[2] = 1;
    e.radius = e.angle[0] = e.angle[1] = 0;
    e.flags = e.m = e.n = 0;
    e.width[0] = e.width[1] = 0;
    e.verts.clear();
    e.count = 0;
    e.solid = 0;
    e.block.clear();
    e.scale[0] = e.scale[1] = e.scale[2] = 1;
    e.rotation = 0;
    e.rows = e.columns = 1;
    e.rowspacing = e.columnspacing = 0;
    e.layer0 = 0;
    if (kind == WTDXF_TRACE) {
      e.verts.resize(4);
      e.count = 4;
      e.flags = 1;
    }
  }

  int layercolour(const std::string &name) const {
    for (const Layer &l : layers_)
      if (l.name == name) return l.colour;
    return 0;
  }

  // The groups every kind takes; a vertex's own colour is not the polyline's.
  bool common(bool vertex) {
    WTdxfentity &e = entity_;
    if (tok_.kind == T_IGNORED) return true;
    if (tok_.kind == T_SOLID) {
      e.solid = 1;
      return true;
    }
    if (tok_.kind != T_GROUP) return false;
    switch (tok_.code) {
      case 8: layergroup(vertex); return true;
      case 62: if (!vertex && e.colour >= 0) e.colour = tok_.i; return true;
      case 38: if (!vertex) e.elevation = tok_.f; return true;
      case 39: if (!vertex) e.thickness = tok_.f; return true;
      case 210: if (!vertex) e.extrusion[0] = tok_.f; return true;
      case 220: if (!vertex) e.extrusion[1] = tok_.f; return true;
      case 230: if (!vertex) e.extrusion[2] = tok_.f; return true;
      case 6: return true;
      default: return false;
    }
  }

  void layergroup(bool vertex) {
    WTdxfentity &e = entity_;
    std::string &layer = _WTdxf_state().layer;
    layer.assign(tok_.text, tok_.length);
    if (vertex) return;
    int colour = layercolour(layer);
    if (e.kind == WTDXF_INSERT) {
      if (e.colour == 0) e.colour = colour;
      e.layer0 = layer == "0";
      return;
    }
    if (open_->name != "world") return;
    if (e.colour == 0) e.colour = colour;
    if (colour < 0) e.colour = -1;
  }

  bool field(int kind) {
    WTdxfentity &e = entity_;
    const int c = tok_.code;
    const float f = tok_.f;
    if (kind == WTDXF_TRACE && c >= 10 && c <= 33 && c % 10 <= 3) {
      static const int record[4] = {0, 1, 3, 2};
      float *at = &e.verts[size_t(record[c % 10])].x;
      at[c / 10 - 1] = f;
      return true;
    }
    if (kind == WTDXF_INSERT) return insertfield();
    if ((c >= 10 && c <= 13) || (c >= 20 && c <= 23) || (c >= 30 && c <= 33)) {
      e.p[c % 10][c / 10 - 1] = f;
      if (c == 30 || (c > 30 && kind == WTDXF_SOLID)) e.zmissing = 0;
      return true;
    }
    switch (c) {
      case 40: if (kind == WTDXF_POLYLINE) e.width[0] = f; else e.radius = f; return true;
      case 41: e.width[1] = f; return true;
      case 50: e.angle[0] = f; return true;
      case 51: e.angle[1] = f; return true;
      case 70: e.flags = tok_.i; return true;
      case 71: e.m = tok_.i; return true;
      case 72: e.n = tok_.i; return true;
      default: return true; // 66, 73 to 75
    }
  }

  bool insertfield() {
    WTdxfentity &e = entity_;
    switch (tok_.code) {
      case 2: e.block = value(); break;
      case 10: e.p[0][0] = tok_.f; break;
      case 20: e.p[0][1] = tok_.f; break;
      case 30: e.p[0][2] = tok_.f; e.zmissing = 0; break;
      case 41: case 42: case 43: e.scale[tok_.code - 41] = tok_.f; break;
      case 50: e.rotation = tok_.f; break;
      case 70: e.columns = int(int16_t(tok_.i)); break;
      case 71: e.rows = int(int16_t(tok_.i)); break;
      case 44: e.columnspacing = tok_.f; break;
      case 45: e.rowspacing = tok_.f; break;
      default: break;
    }
    return true;
  }

  void build(int kind) {
    WTdxfentity *e = &entity_;
    bool ok = true;
    switch (kind) {
      case WTDXF_LINE: ok = _WTdxf_line(open_, e); break;
      case WTDXF_CIRCLE: ok = _WTdxf_circle(open_, e); break;
      case WTDXF_ARC: ok = _WTdxf_arc(open_, e); break;
      case WTDXF_TRACE:
        for (auto &v : e->verts) v.z += e->elevation;
        ok = _WTdxf_polyline(open_, e);
        break;
      case WTDXF_POLYLINE: ok = _WTdxf_polyline(open_, e); break;
      case WTDXF_SOLID: ok = _WTdxf_solid(open_, e); break;
      case WTDXF_3DFACE: ok = _WTdxf_3dface(open_, e); break;
      case WTDXF_INSERT: _WTdxf_insert(open_, e); break;
      default: break;
    }
    if (!ok) throw Stop{};
  }

  void endofinput() {
    layers_.clear();
    WTdxfread &s = _WTdxf_state();
    if (s.openpolylines) _WTmsg_warning("%d open POLYLINE entities ignored\n", s.openpolylines);
    if (s.flatpolylines) _WTmsg_warning("%d POLYLINE3D entities ignored\n", s.flatpolylines);
    s.openpolylines = s.flatpolylines = 0;
  }

  Scanner scan_;
  Token tok_;
  std::vector<Layer> layers_;
  Viewer viewer_;
  WTdxfentity entity_;
  WTdxfblock *open_ = nullptr;
};

}  // namespace

int _WTdxf_parse(FILE *in) {
  auto parser = std::make_unique<Parser>(in);
  return parser->run();
}
