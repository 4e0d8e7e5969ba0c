// Node attributes other than transforms and lights: enabling, locations, level-of-detail ranges,
// the active child of a switch, the cull mode of a separator, material fields and the bounding-box
// display flag.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"

namespace {

WTnode *ofkind(WTnode *node, int kind) {
  WTnode *n = _WTnode_resolve(node);
  return n && n->kind == kind ? n : nullptr;
}

int setlocation(WTnode *node, int kind, const char *property, const char *text) {
  WTnode *n = ofkind(node, kind);
  if (!n || !_WTnode_firepre(node, property)) return 0;
  _WTmem_free(n->u.location);
  n->u.location = _WTmem_strdup(text);
  _WTnode_firepost(node, property, n->u.location);
  return 1;
}

// Where a material field lives in the payload: first float and count; null for a bad code.
const float *materialfield(const WTmaterialpayload &m, int field, int *count) {
  *count = 3;
  switch (field) {
    case WTMAT_AMBIENT:
      return m.ambient;
    case WTMAT_DIFFUSE:
      return m.diffuse;
    case WTMAT_SPECULAR:
      return m.specular;
    case WTMAT_EMISSION:
      return m.emission;
    case WTMAT_SHININESS:
      *count = 1;
      return &m.shininess;
    case WTMAT_OPACITY:
      *count = 1;
      return &m.opacity;
    default:
      return nullptr;
  }
}

void clearlod(WTlodpayload &lod) {
  _WTmem_free(lod.squares);
  _WTmem_free(lod.text);
  lod.squares = nullptr;
  lod.text = nullptr;
  lod.nranges = 0;
}

}  // namespace

extern "C" {

int WTnode_enable(WTnode *node, int on) {
  if (!node) return 0;
  switch (node->kind) {
    case WTNODE_GEOMETRY:
    case WTNODE_SEP:
    case WTNODE_LIGHT:
    case WTNODE_XFORMSEP:
    case WTNODE_FOG:
    case WTNODE_AMBIENT:
      break;
    default:
      return 0;
  }
  if (!_WTnode_firepre(node, "Enabled")) return 0;
  if (on)
    node->flags |= WTNF_ENABLED;
  else
    node->flags &= static_cast<unsigned char>(~WTNF_ENABLED);
  unsigned char byte = on ? 1 : 0;
  _WTnode_firepost(node, "Enabled", &byte);
  return 1;
}

int WTnode_isenabled(WTnode *node) { return node ? node->flags & WTNF_ENABLED : 0; }

int WTnode_getenabled(WTnode *node) { return node && (node->flags & WTNF_ENABLED) ? 1 : 0; }

int WTanchornode_setlocation(WTnode *node, const char *text) {
  return setlocation(node, WTNODE_ANCHOR, "URL", text);
}

const char *WTanchornode_getlocation(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_ANCHOR);
  return n ? n->u.location : nullptr;
}

int WTinlinenode_setlocation(WTnode *node, const char *text) {
  return setlocation(node, WTNODE_INLINE, "Location", text);
}

const char *WTinlinenode_getlocation(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_INLINE);
  return n ? n->u.location : nullptr;
}

int WTlodnode_setrange(WTnode *node, const float *ranges, int n) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  if (!lod || n < 0 || !_WTnode_firepre(node, "Ranges")) return 0;
  WTlodpayload &p = lod->u.lod;
  clearlod(p);
  if (n > 0 && ranges) {
    p.nranges = n;
    p.squares = static_cast<float *>(_WTmem_alloc(sizeof(float) * n));
    std::string text;
    char number[64];
    for (int i = 0; i < n; i++) {
      p.squares[i] = ranges[i] * ranges[i];
      snprintf(number, sizeof number, "%f", ranges[i]);
      if (i) text += ',';
      text += number;
    }
    p.text = _WTmem_strdup(text.c_str());
  }
  if (_WTnode_haspost(node, "Ranges")) WTproperty_firehandlers(node, "Ranges", p.text);
  return 1;
}

int WTlodnode_getrange(WTnode *node, float *out, int capacity) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  if (!lod || !out || capacity < lod->u.lod.nranges) return 0;
  for (int i = 0; i < lod->u.lod.nranges; i++) out[i] = sqrtf(lod->u.lod.squares[i]);
  return 1;
}

int WTlodnode_numranges(WTnode *node) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  return lod ? lod->u.lod.nranges : -1;
}

int WTlodnode_setranges(WTnode *node, const char *text) {
  if (!ofkind(node, WTNODE_LOD)) return 0;
  std::vector<float> ranges;
  if (text) {
    std::string copy(text);
    for (char *t = strtok(&copy[0], " ,;"); t; t = strtok(nullptr, " ,;"))
      ranges.push_back(static_cast<float>(atof(t)));
  }
  return WTlodnode_setrange(node, ranges.data(), static_cast<int>(ranges.size()));
}

const char *WTlodnode_getranges(WTnode *node) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  return lod ? lod->u.lod.text : nullptr;
}

int WTlodnode_setcenter(WTnode *node, const WTp3 p) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  if (!lod || !p || !_WTnode_firepre(node, "LoCe")) return 0;
  memcpy(lod->u.lod.center, p, sizeof(WTp3));
  _WTnode_firepost(node, "LoCe", lod->u.lod.center);
  return 1;
}

int WTlodnode_getcenter(WTnode *node, WTp3 p) {
  WTnode *lod = ofkind(node, WTNODE_LOD);
  if (!lod || !p) return 0;
  memcpy(p, lod->u.lod.center, sizeof(WTp3));
  return 1;
}

int WTsepnode_setcullmode(WTnode *node, int mode) {
  WTnode *s = ofkind(node, WTNODE_SEP);
  if (!s || mode < 1 || mode > 3 || !_WTnode_firepre(node, "SeCu")) return 0;
  s->u.cullmode = mode;
  _WTnode_firepost(node, "SeCu", &s->u.cullmode);
  return 1;
}

int WTsepnode_getcullmode(WTnode *node) {
  WTnode *s = ofkind(node, WTNODE_SEP);
  return s ? s->u.cullmode : 0;
}

int WTswitchnode_setwhichchild(WTnode *node, int which) {
  WTnode *s = ofkind(node, WTNODE_SWITCH);
  if (!s || (which < 0 && which != -1 && which != -3)) return 0;
  if (s->u.whichchild == which) return 1;
  if (!_WTnode_firepre(node, "Active Child")) return 0;
  s->u.whichchild = which;
  _WTnode_markchanged(s);
  _WTnode_firepost(node, "Active Child", &s->u.whichchild);
  return 1;
}

int WTswitchnode_getwhichchild(WTnode *node) {
  WTnode *s = ofkind(node, WTNODE_SWITCH);
  return s ? s->u.whichchild : -2;
}

int WTmaterialnode_setfield(WTnode *node, int field, const float *value) {
  WTnode *m = ofkind(node, WTNODE_MATERIAL);
  int count;
  if (!m || (field != WTMAT_AMBDIFF && !materialfield(m->u.material, field, &count))) return 0;
  WTmaterialpayload &p = m->u.material;
  int bits = field == WTMAT_AMBDIFF ? WTMAT_AMBIENT | WTMAT_DIFFUSE : field;
  if (value) {
    for (int f : {WTMAT_AMBIENT, WTMAT_DIFFUSE, WTMAT_SPECULAR, WTMAT_SHININESS, WTMAT_EMISSION,
                  WTMAT_OPACITY}) {
      if (!(bits & f)) continue;
      float *dst = const_cast<float *>(materialfield(p, f, &count));
      memcpy(dst, value, sizeof(float) * count);
    }
    p.mask |= bits;
  } else {
    p.mask &= ~bits;
  }
  // A material applies to the siblings after it.
  for (WTnodelink *l = m->firstparent; l; l = l->nextofchild)
    if (l->nextsibling) _WTnode_invalidate(l->nextsibling);
  return 1;
}

int WTmaterialnode_getfield(WTnode *node, int field, float *out) {
  WTnode *m = ofkind(node, WTNODE_MATERIAL);
  int count;
  const float *src = m ? materialfield(m->u.material, field, &count) : nullptr;
  if (!src || !out || !(m->u.material.mask & field)) return 0;
  memcpy(out, src, sizeof(float) * count);
  return 1;
}

int WTnode_boundingbox(WTnode *node, int on) {
  WTnode *n = _WTnode_resolve(node);
  if (!n) return 0;
  switch (n->kind) {
    case WTNODE_LOD:
    case WTNODE_SWITCH:
    case WTNODE_GEOMETRY:
    case WTNODE_GROUP:
    case WTNODE_SEP:
    case WTNODE_OBJECT:
    case WTNODE_ANCHOR:
    case WTNODE_INLINE:
    case WTNODE_XFORMSEP:
      break;
    default:
      return 0;
  }
  if (!_WTnode_firepre(node, "BoundingBox")) return 0;
  if (on)
    n->flags |= WTNF_SHOWBOX;
  else
    n->flags &= static_cast<unsigned char>(~WTNF_SHOWBOX);
  unsigned char byte = on ? 1 : 0;
  _WTnode_firepost(node, "BoundingBox", &byte);
  return 1;
}

int WTnode_hasboundingbox(WTnode *node) {
  WTnode *n = _WTnode_resolve(node);
  return n && (n->flags & WTNF_SHOWBOX) ? 1 : 0;
}

int WTnode_getboundingbox(WTnode *node) { return WTnode_hasboundingbox(node); }

WTgeometry *WTnode_getgeometry(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_GEOMETRY);
  return n ? n->u.geometry : nullptr;
}

WTobject *WTnode_getobject(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_OBJECT);
  return n ? n->u.obj.object : nullptr;
}
}
