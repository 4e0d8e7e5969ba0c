// VRML 1.0 field values: the value pool of 32-bit words and one reader per field type.
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/loaders/vrml.h"

namespace {

uint32_t *pool;
int capacity;

void putfloat(int index, float f) {
  uint32_t *p = _WTvrml_poolreserve(index, 1);
  memcpy(&p[index], &f, sizeof f);
}

void putint(int index, int v) { _WTvrml_poolreserve(index, 1)[index] = static_cast<uint32_t>(v); }

bool number(float *out) {
  int t = _WTvrml_gettoken();
  if (t == VT_INT) *out = static_cast<float>(_WTvrml_intvalue());
  else if (t == VT_FLOAT) *out = _WTvrml_floatvalue();
  else return false;
  return true;
}

bool numbers(float *out, int n) {
  for (int i = 0; i < n; i++)
    if (!number(&out[i])) return false;
  return true;
}

bool integer(int *out) {
  if (_WTvrml_gettoken() != VT_INT) return false;
  *out = _WTvrml_intvalue();
  return true;
}

// A string, identifier or keyword token as text in the pool: the words used, or -1.
int stringat(int index, int token) {
  if (token < VT_STRING || token > VT_VALUE) return -1;
  const int length = _WTvrml_tokenlength();
  const int words = length / 4 + 1;
  uint32_t *p = _WTvrml_poolreserve(index, words);
  memset(&p[index], 0, static_cast<size_t>(words) * 4);
  memcpy(&p[index], _WTvrml_tokentext(), static_cast<size_t>(length));
  return words;
}

// Reads one element at the index; the words it took, or -1.
typedef int (*ElementFn)(int index);

int floats3(int index) {
  float v[3];
  if (!numbers(v, 3)) return -1;
  for (int i = 0; i < 3; i++) putfloat(index + i, v[i]);
  return 3;
}

int floats2(int index) {
  float v[2];
  if (!numbers(v, 2)) return -1;
  for (int i = 0; i < 2; i++) putfloat(index + i, v[i]);
  return 2;
}

int float1(int index) {
  float v;
  if (!number(&v)) return -1;
  putfloat(index, v);
  return 1;
}

int long1(int index) {
  int v;
  if (!integer(&v)) return -1;
  putint(index, v);
  return 1;
}

int string1(int index) { return stringat(index, _WTvrml_gettoken()); }

// One value, or a bracketed list of values separated by commas (a comma may end the list).
int readmulti(int index, ElementFn element) {
  int t = _WTvrml_gettoken();
  if (t == VT_TILDE) return 0;
  if (t != VT_LBRACKET) {
    _WTvrml_ungettoken(t);
    return element(index) < 0 ? -1 : 1;
  }
  int count = 0, at = index;
  t = _WTvrml_gettoken();
  if (t == VT_RBRACKET) return 0;
  _WTvrml_ungettoken(t);
  for (;;) {
    int words = element(at);
    if (words < 0) return -1;
    at += words;
    count++;
    t = _WTvrml_gettoken();
    if (t == VT_RBRACKET) return count;
    if (t != VT_COMMA) return -1;
    t = _WTvrml_gettoken();
    if (t == VT_RBRACKET) return count;
    _WTvrml_ungettoken(t);
  }
}

// The same, where a following "~" makes the result 0.
int readmultiopt(int index, ElementFn element) {
  int n = readmulti(index, element);
  if (n <= 0) return n;
  int t = _WTvrml_gettoken();
  if (t == VT_TILDE) return 0;
  _WTvrml_ungettoken(t);
  return n;
}

// ---- Enumerations and bit masks --------------------------------------------------------------

struct Word {
  int keyword;  // value keyword number
  int value;
};

bool enumword(const Word *words, int n, int *out) {
  if (_WTvrml_gettoken() != VT_VALUE) return false;
  const int k = _WTvrml_intvalue();
  for (int i = 0; i < n; i++)
    if (words[i].keyword == k) {
      *out = words[i].value;
      return true;
    }
  return false;
}

// One keyword, or "(" keywords separated by "|" ")", or-ed together.
bool bitmask(const Word *words, int n, int *out) {
  int t = _WTvrml_gettoken();
  if (t != VT_LPAREN) {
    _WTvrml_ungettoken(t);
    return enumword(words, n, out);
  }
  int bits = 0;
  for (;;) {
    int v;
    if (!enumword(words, n, &v)) return false;
    bits |= v;
    t = _WTvrml_gettoken();
    if (t == VT_RPAREN) break;
    if (t != VT_BAR) return false;
  }
  *out = bits;
  return true;
}

// Value keyword numbers.
enum {
  K_FALSE = 0, K_TRUE = 1, K_LEFT = 2, K_CENTER = 3, K_RIGHT = 4, K_SIDES = 5, K_BOTTOM = 6,
  K_ALL = 7, K_TOP = 8, K_SERIF = 9, K_SANS = 10, K_TYPEWRITER = 11, K_NONE = 12, K_BOLD = 13,
  K_ITALIC = 14, K_DEFAULT = 15, K_PER_VERTEX_INDEXED = 22, K_OFF = 28, K_ON = 29, K_AUTO = 30,
  K_UNKNOWN_ORDERING = 31, K_CLOCKWISE = 32, K_COUNTERCLOCKWISE = 33, K_UNKNOWN_SHAPE_TYPE = 34,
  K_SOLID = 35, K_UNKNOWN_FACE_TYPE = 36, K_CONVEX = 37, K_REPEAT = 38, K_CLAMP = 39,
  K_POINT = 43
};

#define WORDS(...) \
  static const Word words[] = {__VA_ARGS__}; \
  const int n = static_cast<int>(sizeof words / sizeof *words)

// ---- Images ----------------------------------------------------------------------------------

uint32_t pixelrgba(uint32_t v, int components) {
  switch (components) {
    case 1: return (v & 0xFF) << 24 | (v & 0xFF) << 16 | (v & 0xFF) << 8 | 0xFF;
    case 2: {
      uint32_t g = (v >> 8) & 0xFF;
      return g << 24 | g << 16 | g << 8 | (v & 0xFF);
    }
    case 3: return (v & 0xFFFFFF) << 8 | 0xFF;
    default: return v;
  }
}

// Pixels as bytes red, green, blue, alpha in one word each.
uint32_t packbytes(uint32_t rgba) {
  unsigned char b[4] = {static_cast<unsigned char>(rgba >> 24),
                        static_cast<unsigned char>(rgba >> 16),
                        static_cast<unsigned char>(rgba >> 8), static_cast<unsigned char>(rgba)};
  uint32_t w;
  memcpy(&w, b, 4);
  return w;
}

}  // namespace

extern "C" {

uint32_t *_WTvrml_poolreserve(int index, int words) {
  const long long need = static_cast<long long>(index) + words;
  if (need > capacity) {
    long long grown = capacity + (words > 4096 ? words : 4096);
    if (grown < need) grown = need;
    pool = static_cast<uint32_t *>(_WTmem_realloc(pool, static_cast<size_t>(grown) * 4));
    capacity = static_cast<int>(grown);
  }
  return pool;
}

uint32_t *_WTvrml_pool(void) { return pool; }

float _WTvrml_poolfloat(int index) {
  float f;
  memcpy(&f, &pool[index], sizeof f);
  return f;
}

int _WTvrml_poolint(int index) { return static_cast<int>(pool[index]); }

void _WTvrml_freepool(void) {
  _WTmem_free(pool);
  pool = nullptr;
  capacity = 0;
}

int _WTvrml_readmfvec3f_opt(int index) { return readmultiopt(index, floats3); }
int _WTvrml_readmfvec3f(int index) { return readmulti(index, floats3); }
int _WTvrml_readmfvec2f(int index) { return readmulti(index, floats2); }
int _WTvrml_readmffloat(int index) { return readmultiopt(index, float1); }
int _WTvrml_readmflong(int index) { return readmulti(index, long1); }
int _WTvrml_readmfstring(int index) { return readmulti(index, string1); }

int _WTvrml_readsffloat(float *out) { return number(out); }
int _WTvrml_readsflong(int *out) { return integer(out); }
int _WTvrml_readsfvec2f(float *out) { return numbers(out, 2); }
int _WTvrml_readsfvec3f(float *out) { return numbers(out, 3); }
int _WTvrml_readsfrotation(float *out) { return numbers(out, 4); }
int _WTvrml_readsfmatrix(float *out) { return numbers(out, 16); }

int _WTvrml_readsfbool(int *out) {
  int t = _WTvrml_gettoken();
  int v = _WTvrml_intvalue();
  if ((t == VT_INT || t == VT_VALUE) && (v == 0 || v == 1)) {
    *out = v;
    return 1;
  }
  return 0;
}

int _WTvrml_readsfstring(int index) { return stringat(index, _WTvrml_gettoken()); }

int _WTvrml_readconeparts(int *out) {
  WORDS({K_SIDES, 1}, {K_BOTTOM, 2}, {K_ALL, 3});
  return bitmask(words, n, out);
}

int _WTvrml_readcylinderparts(int *out) {
  WORDS({K_SIDES, 1}, {K_TOP, 2}, {K_BOTTOM, 4}, {K_ALL, 7});
  return bitmask(words, n, out);
}

int _WTvrml_readfontstyle(int *out) {
  WORDS({K_NONE, 0}, {K_BOLD, 1}, {K_ITALIC, 2});
  return bitmask(words, n, out);
}

int _WTvrml_readfontfamily(int *out) {
  WORDS({K_SERIF, 0}, {K_SANS, 0}, {K_TYPEWRITER, 0});
  return enumword(words, n, out);
}

int _WTvrml_readjustification(int *out) {
  WORDS({K_LEFT, 0}, {K_CENTER, 1}, {K_RIGHT, 2});
  return enumword(words, n, out);
}

int _WTvrml_readvertexordering(int *out) {
  WORDS({K_UNKNOWN_ORDERING, 0}, {K_CLOCKWISE, 1}, {K_COUNTERCLOCKWISE, 2});
  return enumword(words, n, out);
}

int _WTvrml_readshapetype(int *out) {
  WORDS({K_UNKNOWN_SHAPE_TYPE, 0}, {K_SOLID, 1});
  return enumword(words, n, out);
}

int _WTvrml_readfacetype(int *out) {
  WORDS({K_UNKNOWN_FACE_TYPE, 0}, {K_CONVEX, 1});
  return enumword(words, n, out);
}

int _WTvrml_readbinding(int *out) {
  if (_WTvrml_gettoken() != VT_VALUE) return 0;
  const int k = _WTvrml_intvalue();
  if (k != K_NONE && (k < K_DEFAULT || k > K_PER_VERTEX_INDEXED)) return 0;
  *out = k;
  return 1;
}

int _WTvrml_readrenderculling(int *out) {
  WORDS({K_OFF, 0}, {K_ON, 1}, {K_AUTO, 2});
  return enumword(words, n, out);
}

int _WTvrml_readwrap(int *out) {
  WORDS({K_REPEAT, 0}, {K_CLAMP, 1});
  return enumword(words, n, out);
}

int _WTvrml_readanchormap(int *out) {
  WORDS({K_NONE, 0}, {K_POINT, 1});
  return enumword(words, n, out);
}

uint32_t *_WTvrml_readsfimage(int index, int *transparent) {
  int width, height, components;
  if (!integer(&width) || !integer(&height) || !integer(&components)) return nullptr;
  if (width < 0 || height < 0 || components < 0 || components > 4) return nullptr;
  putint(index, width);
  putint(index + 1, height);
  putint(index + 2, components);
  const long long total = static_cast<long long>(width) * height;
  // Grown as pixels arrive: the sizes alone never decide an allocation.
  std::vector<uint32_t> pixels;
  if (components >= 1 && transparent) *transparent = 0;
  for (long long i = 0; i < total; i++) {
    int v;
    if (!integer(&v)) return nullptr;
    uint32_t rgba = pixelrgba(static_cast<uint32_t>(v), components);
    if (components >= 1 && (rgba & 0xFF) < 255 && transparent) *transparent = 1;
    pixels.push_back(components ? packbytes(rgba) : static_cast<uint32_t>(v));
  }
  size_t bytes = pixels.empty() ? 4 : pixels.size() * 4;
  uint32_t *out = static_cast<uint32_t *>(_WTmem_alloc(bytes));
  memset(out, 0, bytes);
  if (!pixels.empty()) memcpy(out, pixels.data(), pixels.size() * 4);
  return out;
}
}
