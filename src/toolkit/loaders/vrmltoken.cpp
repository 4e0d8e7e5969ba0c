// VRML 1.0 input: a block stream over a file or a socket, the check of its first block, and the
// table-driven tokenizer.
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/loaders/vrml.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr int kBlock = 4096;

struct Stream {
  FILE *file = nullptr;
  WTsocket socket = -1;
  FILE *copy = nullptr;
  unsigned char block[kBlock];
  int fill = 0;
  int pos = 0;
  int ch = ' ';
  int cls = 0;
  int line = 1;
  int state = 0;
  char *text = nullptr;
  int cap = 0;
  int len = 0;
  int tokline = 1;
  int ival = 0;
  float fval = 0;
  int pushed = -1;  // a pushed-back token code, -1 for none
};

Stream s;

// ---- Character classes -----------------------------------------------------------------------

int classof(int byte) {
  if (byte == '\t' || byte == '\r' || byte == ' ') return 0;
  if (byte == '\n') return 1;
  if (byte >= '1' && byte <= '9') return 3;
  if (strchr("ABCDFabcdf", byte) && byte) return 4;
  if (byte == 'E' || byte == 'e') return 5;
  if (byte == 'X' || byte == 'x') return 6;
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) return 7;
  if (byte == '"') return 8;
  if (byte == '+' || byte == '-') return 9;
  if (byte == '.') return 10;
  if (byte && strchr("(),[]{|}~", byte)) return 11;
  if (byte == '0') return 12;
  if (byte == '_') return 13;
  if (byte == '#') return 14;
  return 15;
}

struct ClassTable {
  unsigned char c[256];
  ClassTable() {
    for (int i = 0; i < 256; i++) c[i] = static_cast<unsigned char>(classof(i));
  }
};

const ClassTable kClasses;

// ---- Blocks ----------------------------------------------------------------------------------

int readblock(unsigned char *into, int size) {
  if (s.file) return static_cast<int>(fread(into, 1, static_cast<size_t>(size), s.file));
  return _WTvrml_recv(s.socket, into, size);
}

void copyblock() {
  if (s.copy && s.fill > 0) fwrite(s.block, 1, static_cast<size_t>(s.fill), s.copy);
}

void nextchar() {
  if (s.fill < 0) {
    s.cls = 2;
    return;
  }
  if (s.pos >= s.fill) {
    s.fill = readblock(s.block, kBlock);
    s.pos = 0;
    if (s.fill <= 0) {
      s.fill = -1;
      s.cls = 2;
      return;
    }
    copyblock();
  }
  int byte = s.block[s.pos++];
  s.cls = kClasses.c[byte];
  if (byte == '\n') s.line++;
  if (byte == '\t' || byte == '\r') byte = ' ';
  s.ch = byte & 0x7F;
}

// The first block: at least 8 bytes, no HTML page, one HTTP reply block skipped, then "#VRML ".
bool checkheader() {
  s.fill = readblock(s.block, kBlock);
  if (s.fill < 8 || strncmp(reinterpret_cast<char *>(s.block), "<HTML>", 6) == 0) return false;
  if (strncmp(reinterpret_cast<char *>(s.block), "HTTP", 4) == 0) {
    s.fill = readblock(s.block, kBlock);
    if (s.fill < 8) return false;
  }
  if (strncmp(reinterpret_cast<char *>(s.block), "#VRML 1", 6) != 0) return false;
  copyblock();
  return true;
}

// ---- Token text ------------------------------------------------------------------------------

// Tokens longer than this keep their start only: a token never grows without bound.
constexpr int kMaxToken = 1 << 20;

void append() {
  if (s.len == 0) s.tokline = s.line;
  if (s.len >= kMaxToken) return;
  if (s.len + 1 >= s.cap) {
    s.cap += 256;
    s.text = static_cast<char *>(_WTmem_realloc(s.text, static_cast<size_t>(s.cap)));
  }
  s.text[s.len++] = static_cast<char>(s.ch);
  s.text[s.len] = 0;
}

void settext(const char *text) {
  s.len = 0;
  s.text[0] = 0;
  for (const char *p = text; *p; p++) {
    if (s.len + 1 >= s.cap) {
      s.cap += 256;
      s.text = static_cast<char *>(_WTmem_realloc(s.text, static_cast<size_t>(s.cap)));
    }
    s.text[s.len++] = *p;
  }
  s.text[s.len] = 0;
}

int clampint(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

int scaninteger(const char *text, int base) {
  // Up to nine digits a long holds on every system: the same value as below, sooner.
  if (base == 10 && s.len <= 9) return static_cast<int>(_WTtext_strtol(text, nullptr));
  errno = 0;
  long long v = strtoll(text, nullptr, base);
  if (base == 16) return static_cast<int>(static_cast<uint32_t>(v));
  return clampint(v);
}

// ---- State table -----------------------------------------------------------------------------

// Action and next state per state (rows) and class (columns), as action * 16 + state.
#define A(a, n) ((a) * 16 + (n))
const unsigned char kTable[11][16] = {
    {A(0, 0), A(0, 0), A(4, 0), A(1, 1), A(1, 3), A(1, 3), A(1, 3), A(1, 3), A(0, 8), A(1, 1),
     A(1, 2), A(9, 0), A(1, 4), A(1, 3), A(0, 10), A(10, 9)},
    {A(5, 0), A(5, 0), A(5, 0), A(1, 1), A(1, 3), A(1, 6), A(1, 3), A(1, 3), A(5, 0), A(5, 0),
     A(1, 2), A(5, 0), A(1, 1), A(1, 3), A(5, 10), A(10, 9)},
    {A(6, 0), A(6, 0), A(6, 0), A(1, 2), A(10, 9), A(1, 6), A(10, 9), A(10, 9), A(6, 0),
     A(10, 9), A(10, 9), A(6, 0), A(1, 2), A(10, 9), A(6, 10), A(10, 9)},
    {A(11, 0), A(11, 0), A(11, 0), A(1, 3), A(1, 3), A(1, 3), A(1, 3), A(1, 3), A(11, 0),
     A(1, 3), A(1, 3), A(11, 0), A(1, 3), A(1, 3), A(11, 0), A(10, 9)},
    {A(5, 0), A(5, 0), A(5, 0), A(1, 1), A(10, 9), A(10, 9), A(1, 5), A(10, 9), A(10, 9),
     A(10, 9), A(1, 2), A(5, 0), A(1, 1), A(10, 9), A(5, 10), A(10, 9)},
    {A(7, 0), A(7, 0), A(7, 0), A(1, 5), A(1, 5), A(1, 5), A(10, 9), A(10, 9), A(7, 0), A(7, 0),
     A(10, 9), A(7, 0), A(1, 5), A(10, 9), A(7, 10), A(10, 9)},
    {A(11, 0), A(11, 0), A(11, 0), A(1, 7), A(1, 3), A(1, 3), A(1, 3), A(1, 3), A(11, 0),
     A(1, 7), A(1, 3), A(11, 0), A(1, 7), A(1, 3), A(11, 10), A(10, 9)},
    {A(6, 0), A(6, 0), A(6, 0), A(1, 7), A(10, 9), A(10, 9), A(10, 9), A(10, 9), A(10, 9),
     A(10, 9), A(10, 9), A(6, 0), A(1, 7), A(10, 9), A(6, 10), A(10, 9)},
    {A(1, 8), A(0, 8), A(10, 9), A(1, 8), A(1, 8), A(1, 8), A(1, 8), A(1, 8), A(12, 0), A(1, 8),
     A(1, 8), A(1, 8), A(1, 8), A(1, 8), A(1, 8), A(1, 8)},
    {A(1, 9), A(8, 0), A(8, 0), A(1, 9), A(1, 9), A(1, 9), A(1, 9), A(1, 9), A(1, 9), A(1, 9),
     A(1, 9), A(1, 9), A(1, 9), A(1, 9), A(1, 9), A(1, 9)},
    {A(0, 10), A(2, 0), A(2, 0), A(0, 10), A(0, 10), A(0, 10), A(0, 10), A(0, 10), A(0, 10),
     A(0, 10), A(0, 10), A(0, 10), A(0, 10), A(0, 10), A(0, 10), A(0, 10)},
};
#undef A

int punctuation(int ch) {
  switch (ch) {
    case '(': return VT_LPAREN;
    case ')': return VT_RPAREN;
    case '[': return VT_LBRACKET;
    case ']': return VT_RBRACKET;
    case '{': return VT_LBRACE;
    case '}': return VT_RBRACE;
    case ',': return VT_COMMA;
    case '~': return VT_TILDE;
    default: return VT_BAR;
  }
}

int keywordtoken() {
  const WTvrmlkeyword *k = _WTvrml_keyword(s.text, s.len);
  if (!k) return VT_IDENT;
  s.ival = k->number;
  return k->kind;
}

// Performs one action; a token code, or -1 to go on stepping.
int act(int action) {
  switch (action) {
    case 0: nextchar(); return -1;
    case 1: append(); nextchar(); return -1;
    case 2: return -1;
    case 4: settext("\\f"); s.tokline = s.line; return VT_END;
    case 5: s.ival = scaninteger(s.text, 10); return VT_INT;
    case 6: s.fval = _WTtext_strtof(s.text, nullptr); return VT_FLOAT;
    case 7: s.ival = scaninteger(s.text + 2, 16); return VT_INT;
    case 8: return VT_OTHER;
    case 9: {
      s.tokline = s.line;
      char one[2] = {static_cast<char>(s.ch), 0};
      settext(one);
      int code = punctuation(s.ch);
      nextchar();
      return code;
    }
    case 10:
      if (s.cls != 2) append(), nextchar();
      return VT_OTHER;
    case 11: return keywordtoken();
    case 12:
      if (s.len > 0 && s.text[s.len - 1] == '\\') {
        s.text[s.len - 1] = '"';
        nextchar();
        s.state = 8;
        return -1;
      }
      nextchar();
      return VT_STRING;
    default:
      _WTmsg_fatal("Unknown VRML parse action (%d)\n", action);
      return VT_END;
  }
}

}  // namespace

// ---- Keywords --------------------------------------------------------------------------------

namespace {

const char *const kNodes[] = {
    "AsciiText", "Cone", "Coordinate3", "Cube", "Cylinder", "DirectionalLight", "FontStyle",
    "Group", "IndexedFaceSet", "IndexedLineSet", "Info", "LevelOfDetail", "LOD", "Material",
    "MaterialBinding", "MatrixTransform", "Normal", "NormalBinding", "OrthographicCamera",
    "PerspectiveCamera", "PointLight", "PointSet", "Rotation", "Scale", "Separator", "ShapeHints",
    "Sphere", "SpotLight", "Switch", "Texture2", "Texture2Transform", "TextureCoordinate2",
    "Transform", "TransformSeparator", "Translation", "WWWAnchor", "WWWInline"};
const char *const kFields[] = {
    "string", "spacing", "justification", "width", "parts", "bottomRadius", "height", "point",
    "depth", "radius", "on", "intensity", "color", "direction", "size", "family", "style",
    "coordIndex", "materialIndex", "normalIndex", "textureCoordIndex", "screenArea", "range",
    "center", "ambientColor", "diffuseColor", "specularColor", "emissiveColor", "shininess",
    "transparency", "value", "matrix", "vector", "position", "orientation", "focalDistance",
    "nearDistance", "farDistance", "heightAngle", "aspectRatio", "viewportMapping", "location",
    "startIndex", "numPoints", "rotation", "scaleFactor", "renderCulling", "vertexOrdering",
    "shapeType", "faceType", "creaseAngle", "dropOffRate", "cutOffAngle", "whichChild",
    "filename", "image", "wrapS", "wrapT", "model", "blendColor", "translation",
    "scaleOrientation", "name", "description", "map", "bboxSize", "bboxCenter", "isA", "fields"};
const char *const kValues[] = {
    "FALSE", "TRUE", "LEFT", "CENTER", "RIGHT", "SIDES", "BOTTOM", "ALL", "TOP", "SERIF", "SANS",
    "TYPEWRITER", "NONE", "BOLD", "ITALIC", "DEFAULT", "OVERALL", "PER_PART", "PER_PART_INDEXED",
    "PER_FACE", "PER_FACE_INDEXED", "PER_VERTEX", "PER_VERTEX_INDEXED",
    "CROP_VIEWPORT_FILL_FRAME", "CROP_VIEWPORT_LINE_FRAME", "CROP_VIEWPORT_NO_FRAME",
    "ADJUST_CAMERA", "LEAVE_ALONE", "OFF", "ON", "AUTO", "UNKNOWN_ORDERING", "CLOCKWISE",
    "COUNTERCLOCKWISE", "UNKNOWN_SHAPE_TYPE", "SOLID", "UNKNOWN_FACE_TYPE", "CONVEX", "REPEAT",
    "CLAMP", "MODULATE", "BLEND", "DECAL", "POINT"};

class Keywords {
 public:
  Keywords() {
    add(kNodes, sizeof kNodes / sizeof *kNodes, VT_NODE);
    add(kFields, sizeof kFields / sizeof *kFields, VT_FIELD);
    add(kValues, sizeof kValues / sizeof *kValues, VT_VALUE);
    entries_.push_back({"DEF", VT_DEF, 0});
    entries_.push_back({"USE", VT_USE, 0});
    for (size_t i = 0; i < entries_.size(); i++) map_[entries_[i].name] = i;
  }
  const WTvrmlkeyword *find(const std::string &text) const {
    auto it = map_.find(text);
    return it == map_.end() ? nullptr : &entries_[it->second];
  }

 private:
  void add(const char *const *names, size_t n, int kind) {
    for (size_t i = 0; i < n; i++) entries_.push_back({names[i], kind, static_cast<int>(i)});
  }
  std::vector<WTvrmlkeyword> entries_;
  std::unordered_map<std::string, size_t> map_;
};

}  // namespace

extern "C" {

const WTvrmlkeyword *_WTvrml_keyword(const char *text, int length) {
  static const Keywords keywords;
  if (!text || length <= 0) return nullptr;
  return keywords.find(std::string(text, static_cast<size_t>(length)));
}

int _WTvrml_openstream(FILE *file, WTsocket socket, FILE *copy) {
  s.state = 0;
  s.pushed = -1;
  s.line = 1;
  s.ch = ' ';
  s.cls = 0;
  s.fill = 0;
  s.pos = 0;
  s.len = 0;
  if (!s.text) {
    s.cap = 1024;
    s.text = static_cast<char *>(_WTmem_alloc(static_cast<size_t>(s.cap)));
  }
  s.text[0] = 0;
  s.file = file;
  s.socket = file ? -1 : socket;
  s.copy = copy;
  if (!file && socket < 0) return 0;
  return checkheader() ? 1 : 0;
}

int _WTvrml_openinput(FILE *file, WTsocket socket) { return _WTvrml_openstream(file, socket, nullptr); }

int _WTvrml_gettoken(void) {
  if (s.pushed >= 0) {
    int code = s.pushed;
    s.pushed = -1;
    return code;
  }
  s.len = 0;
  s.text[0] = 0;
  for (;;) {
    const unsigned char cell = kTable[s.state][s.cls];
    s.state = cell & 15;
    int code = act(cell >> 4);
    if (code >= 0) return code;
  }
}

void _WTvrml_ungettoken(int code) { s.pushed = code; }

void _WTvrml_freetoken(void) {
  _WTmem_free(s.text);
  s.text = nullptr;
  s.cap = 0;
  s.len = 0;
}

const char *_WTvrml_tokentext(void) { return s.text ? s.text : ""; }
int _WTvrml_tokenlength(void) { return s.len; }
int _WTvrml_tokenline(void) { return s.tokline; }
int _WTvrml_intvalue(void) { return s.ival; }
float _WTvrml_floatvalue(void) { return s.fval; }
}
