// A stand-in for the outside JT library.  It builds, through the callback table, a separator
// named with folders and a blank, a material, a transform, an LOD and two geometries: the first
// with two textured triangles sharing an edge, a corner given again with another normal, and a
// polygon without coordinate pairs; the second at a position the first one used.  Built without
// its entry (JT_NO_ENTRY) it stands for a library of another version.
#include <stdint.h>

#include "toolkit/loaders/jt.h"

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

namespace {

const char *texturename = "wood.tga";

WTnode *build(WTjtcallbacks *cb) {
  if (cb->version != 1 || cb->nothing() != 0) return nullptr;
  WTnode *root = cb->sepnode(nullptr);
  char name[] = "C:\\parts/sub\\wheel hub";
  cb->name(root, name);
  const float diffuse[4] = {1, 0, 0, 0.5f}, grey[4] = {0.2f, 0.2f, 0.2f, 1};
  cb->material(root, diffuse, grey, grey, grey, 8.0f);
  const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1};
  cb->transform(root, m);
  WTnode *lod = cb->lodnode(root);
  const float centre[3] = {1, 2, 3};
  cb->lodcenter(lod, centre);
  cb->switchnode(root, static_cast<int>(cb->lods));

  const float p[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  // Normals whose bytes add up alike: the two land in one bucket and only the comparison tells
  // them apart.
  const float up[3] = {0, 0, 1}, down[3] = {0, 1, 0};
  const float uv[2] = {0.5f, 0.5f};
  cb->geometrybegin(nullptr, &texturename);
  const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (const auto &c : corners) {
    cb->polybegin();
    for (int i : c) cb->polyvertex(cb->vertex(p[i], up), uv);
    cb->polyclose();
  }
  cb->polybegin();
  cb->polyvertex(cb->vertex(p[0], down), nullptr);
  cb->polyvertex(cb->vertex(p[1], up), nullptr);
  cb->polyvertex(cb->vertex(p[3], nullptr), nullptr);
  cb->polyclose();
  cb->addchild(lod, cb->geometryclose(nullptr));

  cb->geometrybegin(nullptr, nullptr);
  cb->polybegin();
  for (int i = 0; i < 3; i++) cb->polyvertex(cb->vertex(p[i], nullptr), nullptr);
  cb->polyclose();
  cb->geometryclose(root);
  return root;
}

}  // namespace

#ifndef JT_NO_ENTRY
extern "C" EXPORT WTnode *_WTjt_loadmodel(const char *, WTjtcallbacks *cb) { return build(cb); }
#else
extern "C" EXPORT WTnode *_WTjt_loadmodel_v2(const char *, WTjtcallbacks *cb) { return build(cb); }
#endif
