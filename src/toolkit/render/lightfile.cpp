// The light file: one block of attributes per light, read through the toolkit's text reader and
// written one light per file.
#include <ctype.h>
#include <string.h>

#include "toolkit/core/node.h"

namespace {

const float kByte = 0.003921569f;
const float kDegree = 0.017453292f;

// What one block of the file asked for.
struct Block {
  char kind;  // 'P', 'S', 'D' or 'A'
  bool haspos = false, hasdir = false, hasint = false, hasatt = false, hasexp = false;
  bool hasangle = false, radians = false, hasrgb = false, hasamb = false, hasdiff = false;
  bool hasspecular = false;
  float pos[3], dir[3], intensity, att[3], exp, angle;
  unsigned char rgb[3];
  float amb[3], diff[3], specular[3];
};

// Attributes: keyword, the blocks that take it, and its label in messages.
struct Attribute {
  const char *keyword;
  const char *blocks;
  const char *label;
};
// The attribute keywords as light files write them ("spec" is the specular colour).
const Attribute kAttributes[] = {
    {"pos", "PS", "light position"},        {"dir", "SD", "light direction"},
    {"int", "PSDA", "light intensity"},     {"att", "PS", "light attenuation"},
    {"angle", "S", "light angle"},          {"anglerad", "S", "light angle"},
    {"exp", "S", "light exponent"},         {"rgb", "PSDA", "light color"},
    {"amb", "PSDA", "light color - ambient"}, {"diff", "PSD", "light color - diffuse"},
    {"spec", "PSD", "light color - specular"}};

const Attribute *attribute(const char *token, char kind) {
  for (const Attribute &a : kAttributes)
    if (strcmp(token, a.keyword) == 0 && strchr(a.blocks, kind)) return &a;
  return nullptr;
}

bool startsblock(WTreader *r, const char *token) {
  char c = static_cast<char>(toupper(static_cast<unsigned char>(token[0])));
  return strchr("PDSA", c) && c && _WTreader_tokenpos(r) == 1;
}

bool inrange(WTreader *r, bool ok, const char *message) {
  if (!ok) _WTreader_error(r, 0, message);
  return ok;
}

// Reads the value of one attribute into the block; false when it could not be read.
bool readvalue(WTreader *r, const char *keyword, const char *label, Block &b) {
  float v;
  if (!strcmp(keyword, "pos")) return (b.haspos = _WTreader_getfloat3(r, b.pos, label));
  if (!strcmp(keyword, "dir")) return (b.hasdir = _WTreader_getfloat3(r, b.dir, label));
  if (!strcmp(keyword, "int")) return (b.hasint = _WTreader_getfloat(r, &b.intensity, label));
  if (!strcmp(keyword, "att")) return (b.hasatt = _WTreader_getfloat3(r, b.att, label));
  if (!strcmp(keyword, "amb")) return (b.hasamb = _WTreader_getfloat3(r, b.amb, label));
  if (!strcmp(keyword, "diff")) return (b.hasdiff = _WTreader_getfloat3(r, b.diff, label));
  if (!strcmp(keyword, "spec")) return (b.hasspecular = _WTreader_getfloat3(r, b.specular, label));
  if (!strcmp(keyword, "rgb"))
    return (b.hasrgb = _WTreader_gethexcolor(r, &b.rgb[0], &b.rgb[1], &b.rgb[2], label));
  if (!_WTreader_getfloat(r, &v, label)) return false;
  if (!strcmp(keyword, "angle")) {
    if (inrange(r, v >= 0.0f && v <= 90.0f, "Spot light angle must be between 0 and 90.\n"))
      b.hasangle = true, b.angle = v;
  } else if (!strcmp(keyword, "anglerad")) {
    b.radians = true;
    if (inrange(r, v >= 0.0f && v <= 1.5707964f,
                "Spot light angle (anglerad) must be between 0 and 1.57.\n"))
      b.hasangle = true, b.angle = v;
  } else if (inrange(r, v == 0.0f || (v >= 1.0f && v <= 128.0f),
                     "Spot light exponent must be equal to 0.0 or between 1.0 and 128.0.\n")) {
    b.hasexp = true, b.exp = v;
  }
  return true;
}

// Takes the attribute tokens of one block; false when a value could not be read.
bool readblock(WTreader *r, Block &b) {
  while (const char *token = _WTreader_nexttoken(r)) {
    const Attribute *a = attribute(token, b.kind);
    if (a) {
      if (!readvalue(r, a->keyword, b.kind == 'A' && !strcmp(a->keyword, "amb") ? "light color"
                                                                                 : a->label, b))
        return false;
    } else if (startsblock(r, token)) {
      _WTreader_pushback(r);
      return true;
    } else {
      _WTreader_error(r, 0, "unknown light attribute.\n");
    }
  }
  return true;
}

void applycolours(WTnode *n, const Block &b) {
  if (b.hasrgb) {
    float c[3] = {b.rgb[0] * kByte, b.rgb[1] * kByte, b.rgb[2] * kByte};
    if (b.kind == 'A')
      WTlightnode_setambient(n, c[0], c[1], c[2]);
    else
      WTlightnode_setdiffuse(n, c[0], c[1], c[2]);
    return;
  }
  if (b.hasamb) WTlightnode_setambient(n, b.amb[0], b.amb[1], b.amb[2]);
  if (b.hasdiff) WTlightnode_setdiffuse(n, b.diff[0], b.diff[1], b.diff[2]);
  if (b.hasspecular) WTlightnode_setspecular(n, b.specular[0], b.specular[1], b.specular[2]);
}

void makelight(WTnode *parent, const Block &b) {
  WTnode *n = b.kind == 'P'   ? WTlightnode_newpoint(parent)
              : b.kind == 'S' ? WTlightnode_newspot(parent)
              : b.kind == 'D' ? WTlightnode_newdirected(parent)
                              : WTlightnode_newambient(parent);
  if (!n) return;
  if (b.haspos) WTlightnode_setposition(n, b.pos);
  if (b.hasdir) WTlightnode_setdirection(n, b.dir);
  if (b.hasint) WTlightnode_setintensity(n, b.intensity);
  if (b.hasatt) WTlightnode_setattenuation(n, b.att[0], b.att[1], b.att[2]);
  if (b.hasexp) WTlightnode_setexponent(n, b.exp);
  if (b.hasangle) WTlightnode_setangle(n, b.radians ? b.angle : b.angle * kDegree);
  applycolours(n, b);
}

void colourline(FILE *f, WTnode *n) {
  float a[3], d[3], s[3];
  WTlightnode_getambient2(n, a);
  WTlightnode_getdiffuse2(n, d);
  WTlightnode_getspecular2(n, s);
  fprintf(f, "\tamb %f %f %f diff %f %f %f spec %f %f %f\n", a[0], a[1], a[2], d[0], d[1], d[2],
          s[0], s[1], s[2]);
}

}  // namespace

extern "C" {

int WTlightnode_load(WTnode *parent, const char *path) {
  if (!path) return 0;
  FILE *f = _WTfile_open(path, "rt");
  if (!f) return 0;
  WTreader *r = _WTreader_open(path, f, "//");
  if (r) {
    while (const char *token = _WTreader_nexttoken(r)) {
      Block b;
      b.kind = static_cast<char>(toupper(static_cast<unsigned char>(token[0])));
      if (!b.kind || !strchr("PSDA", b.kind)) {
        _WTreader_error(r, 0, "Unknown light type.\n");
        continue;
      }
      if (readblock(r, b)) makelight(parent, b);
    }
    _WTreader_close(r);
  }
  fclose(f);
  return 1;
}

int WTlightnode_save(WTnode *node, const char *path) {
  WTnode *n = _WTnode_resolve(node);
  if (!n || (n->kind != WTNODE_LIGHT && n->kind != WTNODE_AMBIENT)) {
    _WTmsg_warning("Node type should be light or ambient\n");
    return 0;
  }
  FILE *f = path ? _WTfile_open(path, "wt") : nullptr;
  if (!f) return 0;
  fprintf(f, "//lights -- ZodurUvizOdu light file\n");
  float p[3] = {0, 0, 0}, d[3] = {0, 0, 0}, att[3] = {0, 0, 0}, c[3];
  WTlightnode_getposition(n, p);
  WTlightnode_getdirection(n, d);
  WTlightnode_getattenuation2(n, att);
  float intensity = WTlightnode_getintensity(n);
  switch (WTlightnode_gettype(n)) {
    case 0:
      fprintf(f, "directed dir %f %f %f int %f \n", d[0], d[1], d[2], intensity);
      colourline(f, n);
      break;
    case 1:
      fprintf(f, "point pos %f %f %f int %f att %f %f %f\n", p[0], p[1], p[2], intensity, att[0],
              att[1], att[2]);
      colourline(f, n);
      break;
    case 2:
      fprintf(f, "spot pos %f %f %f dir %f %f %f\n", p[0], p[1], p[2], d[0], d[1], d[2]);
      fprintf(f, "\tint %f angle %f exp %f att %f %f %f\n", intensity,
              WTlightnode_getangle(n) * 180.0f / 3.1415927410125732f, WTlightnode_getexponent(n),
              att[0], att[1], att[2]);
      colourline(f, n);
      break;
    default:
      WTlightnode_getambient2(n, c);
      fprintf(f, "ambient int %f amb %f %f %f \n", intensity, c[0], c[1], c[2]);
      break;
  }
  fclose(f);
  return 1;
}
}
