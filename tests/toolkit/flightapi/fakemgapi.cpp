// A stand-in for the OpenFlight API library.  The database it opens is chosen by the file's
// base name:
// - "instances": groups that show a group of the tree, a group outside it (twice) and nothing;
// - "layers": a textured face ("wood.tga") with faces laid on it, one of them with its own;
// - "outer": references to "part.flt" (twice), to "absent.flt" and to "missing.flt";
// - "part": an object of one face with material 1;
// - "selfinstance" and "selfextern": a group that shows itself, a reference to its own file;
// - anything else: a group with a matrix over an object of four faces (material 0, no material
//   and colour 0, colour 5, a texture named "wood.rgba"), an LOD over an object, a switch, a
//   light of type 0 and one of type 3, a light point and a record of a kind the reader does
//   not know.
// A name holding "missing" cannot be opened.  Built without one entry (FLT_NO_ENTRY) it stands
// for a library of another version.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakeflt.h"

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

using namespace fakeflt;

struct mgrec {
  int code;
  std::string name;
  std::map<int, double> att;
  double at[3] = {0, 0, 0};
  bool matrix = false;
  std::vector<mgrec *> children;
  mgrec *next = nullptr;
  std::vector<mgrec *> nested;  // faces laid on a face, linked by `next`
  mgrec *reference = nullptr;   // what an instance group shows
  bool instance = false;
  bool unnamed = false;         // mgGetName gives null
  std::string file;             // an external reference's file name
};

typedef int (*walkfn)(mgrec *, void *);

namespace {

std::vector<std::unique_ptr<mgrec>> records;
std::map<std::string, mgrec *> scenes;
std::string lasterror;

mgrec *add(mgrec *parent, int code, const std::string &name,
           std::map<int, double> att = {}) {
  records.emplace_back(new mgrec{code, name, std::move(att)});
  mgrec *r = records.back().get();
  if (parent) {
    if (!parent->children.empty()) parent->children.back()->next = r;
    parent->children.push_back(r);
  }
  return r;
}

mgrec *face(mgrec *object, const std::string &name, std::map<int, double> att, double z,
            double size = 1) {
  att.emplace(kTextureIndex, -1);
  mgrec *f = add(object, kFace, name, std::move(att));
  const double corners[3][2] = {{0, 0}, {1, 0}, {0, 1}};
  for (const auto &c : corners) {
    mgrec *v = add(f, kVertex, "v", {{kTexU, c[0]}, {kTexV, c[1]}});
    v->at[0] = c[0] * size, v->at[1] = c[1] * size, v->at[2] = z;
  }
  return f;
}

// A face laid on `base` (added after its other laid faces).
mgrec *layface(mgrec *base, const std::string &name, double size) {
  mgrec *f = face(nullptr, name, {}, 0, size);
  if (!base->nested.empty()) base->nested.back()->next = f;
  base->nested.push_back(f);
  return f;
}

mgrec *instancegroup(mgrec *parent, const std::string &name, mgrec *shown) {
  mgrec *g = add(parent, kGroup, name);
  g->instance = true;
  g->reference = shown;
  return g;
}

mgrec *external(mgrec *parent, const std::string &file) {
  mgrec *e = add(parent, kExternal, "ext");
  e->file = file;
  return e;
}

mgrec *instances() {
  mgrec *header = add(nullptr, kHeader, "instances");
  mgrec *def = add(header, kGroup, "def");
  face(add(def, kObject, "o"), "d0", {{kMaterialIndex, 0}}, 0);
  mgrec *hidden = add(nullptr, kGroup, "hidden");
  face(add(hidden, kObject, "h"), "h0", {{kMaterialIndex, 1}}, 0);
  instancegroup(header, "a", def);
  instancegroup(header, "b", def);
  instancegroup(header, "c", hidden);
  instancegroup(header, "d", hidden);
  instancegroup(header, "e", nullptr);
  return header;
}

mgrec *layers() {
  mgrec *header = add(nullptr, kHeader, "layers");
  mgrec *base = face(add(header, kObject, "obj"), "base", {{kMaterialIndex, 0}, {kTextureIndex, 1}}, 0);
  mgrec *decal = layface(base, "decal", 0.5);
  layface(decal, "decal2", 0.25);
  layface(base, "decal3", 0.5);
  return header;
}

mgrec *outer() {
  mgrec *header = add(nullptr, kHeader, "outer");
  mgrec *top = add(header, kGroup, "top");
  for (const char *file : {"part.flt", "part.flt", "absent.flt", "missing.flt"}) external(top, file);
  return header;
}

mgrec *part() {
  mgrec *header = add(nullptr, kHeader, "part");
  face(add(header, kObject, "p"), "p0", {{kMaterialIndex, 1}}, 0);
  return header;
}

mgrec *selfinstance() {
  mgrec *header = add(nullptr, kHeader, "selfinstance");
  mgrec *loop = add(nullptr, kGroup, "");
  loop->unnamed = true;
  instancegroup(loop, "again", loop);
  instancegroup(header, "f", loop);
  return header;
}

mgrec *selfextern() {
  mgrec *header = add(nullptr, kHeader, "selfextern");
  external(add(header, kGroup, "top"), "selfextern.flt");
  return header;
}

mgrec *build() {
  mgrec *header = add(nullptr, kHeader, "scene");
  mgrec *group = add(header, kGroup, "arm");
  group->matrix = true;
  mgrec *box = add(group, kObject, "box");
  face(box, "f0", {{kMaterialIndex, 0}, {kTwoSided, 1}}, 0);
  face(box, "f1", {{kMaterialIndex, -1}, {kColourIndex, 0}}, 1);
  face(box, "f2", {{kMaterialIndex, -1}, {kColourIndex, 5}, {kIntensity, 1}}, 2);
  face(box, "f3", {{kMaterialIndex, 1}, {kTextureIndex, 0}}, 3);
  mgrec *lod = add(header, kLod, "near", {{kLodIn, 100}, {kLodOut, 10}});
  lod->at[0] = 1, lod->at[1] = 2, lod->at[2] = 3;
  face(add(lod, kObject, "far"), "g0", {{kMaterialIndex, 1}}, 0);
  add(header, kSwitch, "sw");
  add(header, kLight, "sun", {{kLightIndex, 0}});
  add(header, kLight, "lamp", {{kLightIndex, 1}});
  add(header, kLightPoint, "lp");
  add(header, kBsp, "bsp");
  return header;
}

mgrec lights[2] = {{kLight, "sun", {{kLightType, 0}}}, {kLight, "lamp", {{kLightType, 3}}}};
mgrec materials[2] = {{0, "red", {{kAlpha, 0.5}, {kShininess, 8}}}, {0, "blue", {{kAlpha, 1}}}};

bool isfloat(int code) {
  switch (code) {
    case kIntensity: case kTexU: case kTexV: case kLodIn: case kLodOut: case kAngleA:
    case kAngleB: case kAttenA: case kAttenB: case kAttenC: case kSpotExponent: case kSpotAngle:
    case kAlpha: case kShininess:
      return true;
    default:
      return false;
  }
}

bool isrecord(const void *p) {
  for (const auto &r : records)
    if (r.get() == p) return true;
  return false;
}

// Faces laid on a face are met inside it, after its vertices.
void walk(mgrec *r, walkfn pre, walkfn post, void *data) {
  pre(r, data);
  for (mgrec *c : r->children) walk(c, pre, post, data);
  for (mgrec *c : r->nested) walk(c, pre, post, data);
  post(r, data);
}

std::string basenameof(const char *path) {
  std::string name = path;
  size_t cut = name.find_last_of("/\\");
  if (cut != std::string::npos) name.erase(0, cut + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

mgrec *scenefor(const std::string &base) {
  mgrec *&scene = scenes[base];
  if (scene) return scene;
  if (base == "instances") scene = instances();
  else if (base == "layers") scene = layers();
  else if (base == "outer") scene = outer();
  else if (base == "part") scene = part();
  else if (base == "selfinstance") scene = selfinstance();
  else if (base == "selfextern") scene = selfextern();
  else scene = build();
  return scene;
}

}  // namespace

extern "C" {

EXPORT int mgInit(int *, char **) { return 1; }
EXPORT int mgExit(void) { return 1; }
EXPORT void mgSetMessagesEnabled(int, int) {}
EXPORT mgrec *mgOpenDb(const char *name) {
  if (strstr(name, "missing")) {
    lasterror = std::string("cannot open ") + name;
    return nullptr;
  }
  return scenefor(basenameof(name));
}
EXPORT int mgGetLastError(char *buffer, int size) {
  snprintf(buffer, size, "%s", lasterror.c_str());
  return 1;
}
EXPORT int mgWalk(mgrec *db, walkfn pre, walkfn post, void *data, unsigned) {
  walk(db, pre, post, data);
  return 1;
}
EXPORT int mgGetMaterialCount(mgrec *) { return 2; }
EXPORT mgrec *mgGetFirstMaterial(mgrec *, int *index) {
  *index = 0;
  return &materials[0];
}
EXPORT mgrec *mgGetNextMaterial(mgrec *m, int *index) {
  if (m != &materials[0]) return nullptr;
  *index = 1;
  return &materials[1];
}
EXPORT char *mgNameOfMaterial(mgrec *, int index) {
  return const_cast<char *>(materials[index & 1].name.c_str());
}
EXPORT int mgGetNormColor(mgrec *m, int code, float *r, float *g, float *b) {
  bool red = m == &materials[0];
  *r = code == kDiffuse && red, *g = 0, *b = code == kDiffuse && !red;
  return 1;
}
EXPORT int mgGetAttList(mgrec *r, int code, void *out) {
  double value = r->att.count(code) ? r->att[code] : 0;
  if (code == kExternalName) {
    const char *file = r->file.empty() ? nullptr : r->file.c_str();
    memcpy(out, &file, sizeof file);
  } else if (isfloat(code)) {
    float f = static_cast<float>(value);
    memcpy(out, &f, sizeof f);
  } else {
    int32_t i = static_cast<int32_t>(value);
    memcpy(out, &i, sizeof i);
  }
  return 1;
}
EXPORT int mgGetCode(mgrec *r) { return r->code; }
EXPORT char *mgGetName(mgrec *r) { return r->unnamed ? nullptr : const_cast<char *>(r->name.c_str()); }
EXPORT mgrec *mgGetNestedChild(mgrec *r) { return r->nested.empty() ? nullptr : r->nested[0]; }
EXPORT int mgIndex2RGB(mgrec *, int index, float, short *r, short *g, short *b) {
  *r = static_cast<short>(index * 2), *g = 20, *b = 30;
  return 1;
}
EXPORT int mgGetAttBuf(mgrec *r, int code, void *out) {
  int16_t value = static_cast<int16_t>(r->att.count(code) ? r->att[code] : 0);
  memcpy(out, &value, sizeof value);
  return 1;
}
EXPORT char *mgGetTextureName(mgrec *, int index) {
  char *name = static_cast<char *>(malloc(16));
  strcpy(name, index == 1 ? "wood.tga" : "wood.rgba");
  return name;
}
EXPORT void mgFree(void *block) {
  if (!isrecord(block)) free(block);
}
EXPORT mgrec *mgGetChild(mgrec *r) { return r->children.empty() ? nullptr : r->children[0]; }
EXPORT int mgGetIcoord(mgrec *r, int, double *x, double *y, double *z) {
  *x = r->at[0], *y = r->at[1], *z = r->at[2];
  return 1;
}
EXPORT mgrec *mgGetNext(mgrec *r) { return r->next; }
EXPORT int mgGetVtxNormal(mgrec *, float *, float *, float *) { return 0; }
EXPORT mgrec *mgGetLightSource(mgrec *, int index) { return &lights[index & 1]; }
EXPORT int mgGetColorRGBA(mgrec *, int, float *r, float *g, float *b, float *a) {
  *r = *g = *b = *a = 1;
  return 1;
}
EXPORT int mgIsInstance(mgrec *r) { return r->instance; }
EXPORT mgrec *mgGetReference(mgrec *r) { return r->reference; }
#ifndef FLT_NO_ENTRY
EXPORT int mgGetMatrix(mgrec *r, int, double *m) {
  if (!r->matrix) return 0;
  for (int i = 0; i < 16; i++) m[i] = i % 5 == 0;
  m[12] = 1, m[13] = 2, m[14] = 3;
  return 1;
}
#endif
}
