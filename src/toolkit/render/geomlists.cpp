// Sorting a geometry's polygons into the classes its display lists are compiled from.
#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"

namespace {

enum { kVNormals = 1, kVMaterials = 2, kLit = 4, kAlpha = 8, kTwoSided = 16, kTextured = 32,
       kBlended = 64 };

float opacityof(WTmtable *t, int32_t matid) {
  int e = _WTmtable_drawnentry(t, matid);
  return t->entries[e][t->attroffset[6]];
}

bool blended(WTpoly *p, WTmtable *t, bool pervertex) {
  if (!t || t->count <= 0 || t->attroffset[6] < 0 || !(WTmtable_getproperties(t) & WTOPACITY))
    return false;
  if (opacityof(t, p->matid) < 0.996f) return true;
  if (pervertex)
    for (WTvertexlink *l = p->links; l; l = l->next)
      if (opacityof(t, l->vertex->matid) < 0.996f) return true;
  return false;
}

}  // namespace

extern "C" {

int _WTpoly_listclass(WTpoly *p, WTmtable *t, int style) {
  if (!p || (p->rflags & WTR_INVISIBLE)) return -1;
  int n = 0;
  for (WTvertexlink *l = p->links; l; l = l->next) n++;
  p->nverts = static_cast<int16_t>(n);
  if (n < 3) return -1;
  if (t && t->count <= 0) t = nullptr;
  WTtextureref *r = p->texture;
  bool textured = r && r->texture && (style & 1);
  int c = 0;
  if (textured) c |= kTextured;
  if (p->flags & WTP_TWOSIDED) c |= kTwoSided;
  if (textured && r->style[1]) c |= kAlpha;
  if ((style & 4) && (!textured || r->style[0])) c |= kLit;
  if ((c & kLit) && (style & 8) && (p->rflags & WTR_VNORMALS) && (p->rflags & WTR_RENDERED))
    c |= kVNormals;
  if ((style & 8) && (p->rflags & WTR_VMATIDS) && (textured ? r->style[2] != 0 : t != nullptr))
    c |= kVMaterials;
  if (blended(p, t, (c & kVMaterials) != 0)) c |= kBlended;
  return c;
}

}  // extern "C"
