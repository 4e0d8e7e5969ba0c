// Scene graphs as VRML 1.0 text: names for shared nodes, DEF and USE, one block per node kind,
// and each geometry as coordinates, normals, its material table, textures and face sets.
#include <math.h>
#include <stdarg.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/textout.h"
#include "toolkit/loaders/vrml.h"
#include "toolkit/render/context.h"
#include "toolkit/render/render.h"

namespace {

int generated;  // the counter of generated names, for the whole run

bool haschildren(const WTnode *n) {
  switch (n->kind) {
    case WTNODE_LOD: case WTNODE_SWITCH: case WTNODE_GROUP: case WTNODE_SEP:
    case WTNODE_ANCHOR: case WTNODE_INLINE: case WTNODE_XFORMSEP: case WTNODE_ROOT:
      return true;
    default:
      return false;
  }
}

// ---- Names -----------------------------------------------------------------------------------

struct Renamed {
  WTnode *node;
  std::string before;  // empty: had none
  bool hadname;
};

class Names {
 public:
  explicit Names(WTnode *top) {
    collect(top);
    for (WTnode *n : order_)
      if (!n->name && (WTnode_numparents(n) > 1 || reached_[n] > 1)) rename(n);
    separateshared();
  }
  ~Names() {
    for (Renamed &r : renamed_) WTnode_setname(r.node, r.hadname ? r.before.c_str() : nullptr);
  }
  // True the first time a node is met under its name; false when it is to be a USE.
  bool first(WTnode *n) { return written_.insert(n).second; }

 private:
  void collect(WTnode *top) {
    std::vector<WTnode *> work{top};
    while (!work.empty()) {
      WTnode *n = work.back();
      work.pop_back();
      if (reached_[n]++) continue;
      order_.push_back(n);
      if (!haschildren(n)) continue;
      std::vector<WTnode *> kids;
      for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) kids.push_back(l->child);
      for (size_t i = kids.size(); i-- > 0;) work.push_back(kids[i]);
    }
  }
  void rename(WTnode *n) {
    if (taken_.empty())
      for (WTnode *m : order_)
        if (m->name) taken_.insert(m->name);
    std::string name;
    do name = "Node" + std::to_string(generated++);
    while (taken_.count(name));
    taken_.insert(name);
    renamed_.push_back({n, n->name ? n->name : "", n->name != nullptr});
    WTnode_setname(n, name.c_str());
  }
  // A name carried by a shared node and by others: all but the last owner get new names.
  void separateshared() {
    std::map<std::string, std::vector<WTnode *>> byname;
    for (WTnode *n : order_)
      if (n->name) byname[n->name].push_back(n);
    for (auto &entry : byname) {
      std::vector<WTnode *> &nodes = entry.second;
      if (nodes.size() < 2) continue;
      bool shared = false;
      for (WTnode *n : nodes) shared = shared || WTnode_numparents(n) > 1 || reached_[n] > 1;
      if (!shared) continue;
      for (size_t i = 0; i + 1 < nodes.size(); i++) rename(nodes[i]);
    }
  }
  std::vector<WTnode *> order_;
  std::unordered_map<WTnode *, int> reached_;
  std::unordered_set<WTnode *> written_;
  std::unordered_set<std::string> taken_;
  std::vector<Renamed> renamed_;
};

// ---- Output ----------------------------------------------------------------------------------

class Out : public WTtextout {
 public:
  using WTtextout::WTtextout;
  void indent(int extra = 0) {
    for (int i = 0; i < level_ + extra; i++) put("  ");
  }
  int level_ = 0;
};

enum { CLASS_VNORMALS = 1, CLASS_VMATERIALS = 2, CLASS_TWOSIDED = 4, CLASS_TEXTURED = 8 };

struct Save {
  Out out;
  Names names;
  WTviewpoint *viewpoint;
  bool defaultsdue = true;
  int cls = 0;
};

// ---- Defaults and bindings -------------------------------------------------------------------

void camera(Save &s) {
  WTp3 p;
  WTq q;
  WTviewpoint_getposition(s.viewpoint, p);
  WTviewpoint_getorientation(s.viewpoint, q);
  WTm3 m;
  WTq_2m3(q, m);
  for (int i = 0; i < 3; i++) m[i][1] = -m[i][1], m[i][2] = -m[i][2];
  WTq r;
  WTm3_2q(m, r);
  float w = r[3] > 1 ? 1 : (r[3] < -1 ? -1 : r[3]);
  float angle = 2 * acosf(w), axis[3] = {0, 0, 1};
  if (fabsf(angle) >= 1e-5f) {
    const float sn = sinf(angle / 2);
    for (int i = 0; i < 3; i++) axis[i] = -r[i] / sn;
  }
  Out &o = s.out;
  o.indent(), o.put("PerspectiveCamera {\n");
  o.indent(1), o.put("position %f %f %f\n", p[0], p[1], p[2]);
  o.indent(1), o.put("orientation %f %f %f %f\n", axis[0], axis[1], axis[2], angle);
  o.indent(), o.put("}\n");
}

void shapehints(Out &o, bool twosided) {
  o.indent(), o.put("ShapeHints {vertexOrdering COUNTERCLOCKWISE\n");
  o.indent(), o.put(twosided ? "shapeType UNKNOWN_SHAPE_TYPE faceType CONVEX\n"
                             : "shapeType SOLID faceType CONVEX\n");
  o.indent(), o.put("creaseAngle 0}\n");
}

// The defaults, one level deeper than the node header just written.
void defaults(Save &s, bool withcamera) {
  if (!s.defaultsdue) return;
  s.defaultsdue = false;
  Out &o = s.out;
  o.level_++;
  if (withcamera && s.viewpoint) camera(s);
  o.indent(), o.put("NormalBinding { value PER_FACE_INDEXED }\n");
  o.indent(), o.put("MaterialBinding { value PER_FACE_INDEXED }\n");
  shapehints(o, false);
  o.level_--;
  s.cls = 0;
}

void whitematerial(Out &o) { o.indent(), o.put("Material {ambientColor [1 1 1] diffuseColor [1 1 1]}\n"); }

void bindings(Save &s, int next) {
  Out &o = s.out;
  const int diff = s.cls ^ next;
  if (diff & CLASS_VNORMALS)
    o.indent(), o.put(next & CLASS_VNORMALS ? "NormalBinding { value PER_VERTEX_INDEXED }\n"
                                            : "NormalBinding { value PER_FACE_INDEXED }\n");
  if (diff & CLASS_VMATERIALS)
    o.indent(), o.put(next & CLASS_VMATERIALS ? "MaterialBinding { value PER_VERTEX_INDEXED }\n"
                                              : "MaterialBinding { value PER_FACE_INDEXED }\n");
  if (diff & CLASS_TWOSIDED) shapehints(o, (next & CLASS_TWOSIDED) != 0);
  // Textured faces find their white entry through their material indices (see geometrybody).
  s.cls = next;
}

// ---- Material tables -------------------------------------------------------------------------

struct Table {
  WTmtable *t = nullptr;
  int white = -1;     // entry that serves textured polygons without a material of their own
  bool extra = false; // the white entry is one more entry written after the table's own
  bool written = false;
};

bool whiteentry(WTmtable *t, int e) {
  const unsigned int colours[3] = {WTAMBIENTDIFFUSE, WTDIFFUSE, WTEMISSION};
  for (unsigned int bit : colours) {
    if (!(t->mask & bit)) continue;
    float c[3];
    WTmtable_getvalue(t, e, c, bit);
    if (c[0] != 1 || c[1] != 1 || c[2] != 1) return false;
  }
  if (t->mask & WTOPACITY) {
    float a;
    WTmtable_getvalue(t, e, &a, WTOPACITY);
    if (a != 1) return false;
  }
  return true;
}

// The white entry: looked for in tables of plain colours, else appended.
void findwhite(Table &tb) {
  const unsigned int m = tb.t->mask & ~static_cast<unsigned int>(WTOPACITY);
  if (m != WTAMBIENTDIFFUSE && m != (WTAMBIENT | WTDIFFUSE) && m != WTEMISSION) return;
  const int n = WTmtable_getnumentries(tb.t);
  for (int e = 0; e < n; e++)
    if (whiteentry(tb.t, e)) {
      tb.white = e;
      return;
    }
  tb.white = n;
  tb.extra = true;
}

void tablelist(Out &o, WTmtable *t, const char *field, unsigned int bit, int words, float scale,
               float offset, bool extra, const float *white) {
  o.indent(), o.put("%s [\n", field);
  const int n = WTmtable_getnumentries(t);
  for (int e = 0; e < n + (extra ? 1 : 0); e++) {
    float v[3];
    if (e < n) WTmtable_getvalue(t, e, v, bit);
    else memcpy(v, white, sizeof v);
    for (int k = 0; k < words; k++) v[k] = offset + scale * v[k];
    o.indent(2);
    if (words == 3) o.put("%f %f %f", v[0], v[1], v[2]);
    else o.put("%f", v[0]);
    o.put(e + 1 < n + (extra ? 1 : 0) ? ",\n" : "\n");
  }
  o.indent(), o.put("]\n");
}

void writetable(Save &s, Table &tb) {
  if (tb.written || !tb.t) return;
  tb.written = true;
  Out &o = s.out;
  WTmtable *t = tb.t;
  const unsigned int m = t->mask;
  const float one[3] = {1, 1, 1}, zero[3] = {0, 0, 0};
  o.indent(), o.put("Material {\n");
  o.level_++;
  if (!(m & (WTAMBIENT | WTAMBIENTDIFFUSE))) o.indent(), o.put("ambientColor [ 0 0 0]\n");
  if (!(m & (WTDIFFUSE | WTAMBIENTDIFFUSE))) o.indent(), o.put("diffuseColor [ 0 0 0]\n");
  if ((m & WTSPECULAR) && !(m & WTSHININESS)) o.indent(), o.put("shininess [0]\n");
  const bool x = tb.extra;
  if (m & (WTAMBIENT | WTAMBIENTDIFFUSE))
    tablelist(o, t, "ambientColor", m & WTAMBIENT ? WTAMBIENT : WTAMBIENTDIFFUSE, 3, 1, 0, x, one);
  if (m & (WTDIFFUSE | WTAMBIENTDIFFUSE))
    tablelist(o, t, "diffuseColor", m & WTDIFFUSE ? WTDIFFUSE : WTAMBIENTDIFFUSE, 3, 1, 0, x, one);
  if (m & WTEMISSION) tablelist(o, t, "emissiveColor", WTEMISSION, 3, 1, 0, x, one);
  if (m & WTSPECULAR) tablelist(o, t, "specularColor", WTSPECULAR, 3, 1, 0, x, zero);
  if (m & WTSHININESS) tablelist(o, t, "shininess", WTSHININESS, 1, 1.0f / 128, 0, x, zero);
  if (m & WTOPACITY) tablelist(o, t, "transparency", WTOPACITY, 1, -1, 1, x, one);
  o.level_--;
  o.indent(), o.put("}\n");
}

// ---- Geometry body ---------------------------------------------------------------------------

struct Geo {
  WTgeometry *g;
  std::unordered_map<WTvertex *, int> vindex, vnormal;
  std::unordered_map<WTpoly *, int> pnormal;
  std::vector<WTpoly *> classes[16];
  Table table;
};

bool ownmaterial(WTpoly *p) {
  if (!(p->rflags & WTR_VMATIDS)) return false;
  return !p->texture || p->texture->style[2];
}

int classof(WTpoly *p) {
  int c = 0;
  if (p->rflags & WTR_VNORMALS) c |= CLASS_VNORMALS;
  if (ownmaterial(p)) c |= CLASS_VMATERIALS;
  if (p->flags & WTP_TWOSIDED) c |= CLASS_TWOSIDED;
  if (p->texture) c |= CLASS_TEXTURED;
  return c;
}

void coordinates(Out &o, Geo &geo) {
  o.indent(), o.put("Coordinate3 { point [\n");
  int i = 0;
  for (WTvertex *v = geo.g->vertices; v; v = v->next, i++) {
    geo.vindex[v] = i;
    o.indent(2), o.put("%f %f %f%s", v->position[0], v->position[1], v->position[2],
                       v->next ? ",\n" : "\n");
  }
  o.indent(), o.put("]\n");
  o.indent(), o.put("}\n");
}

void normals(Out &o, Geo &geo) {
  std::vector<const float *> list;
  std::vector<WTpoly *> polys;
  for (WTpoly *p = geo.g->polys; p; p = p->next) polys.push_back(p);
  for (WTpoly *p : polys)
    if (!(p->rflags & WTR_VNORMALS)) geo.pnormal[p] = static_cast<int>(list.size()), list.push_back(p->normal);
  for (WTvertex *v = geo.g->vertices; v; v = v->next)
    if (v->normal) geo.vnormal[v] = static_cast<int>(list.size()), list.push_back(v->normal);
  if (list.empty()) return;
  o.indent(), o.put("Normal { vector [\n");
  for (size_t i = 0; i < list.size(); i++)
    o.indent(2), o.put("%f %f %f%s", list[i][0], list[i][1], list[i][2], i + 1 < list.size() ? ",\n" : "\n");
  o.indent(), o.put("]\n");
  o.indent(), o.put("}\n");
}

// Per-vertex lists, "-1" after each polygon.
template <typename F>
void vertexlist(Out &o, const std::vector<WTpoly *> &polys, F value) {
  for (size_t i = 0; i < polys.size(); i++) {
    o.indent(2);
    for (WTvertexlink *l = polys[i]->links; l; l = l->next) o.put("%d, ", value(polys[i], l->vertex));
    o.put(i + 1 < polys.size() ? "-1,\n" : "-1\n");
  }
}

// Per-polygon lists, sixteen to a line.
template <typename F>
void polylist(Out &o, const std::vector<WTpoly *> &polys, F value) {
  o.indent(2);
  for (size_t i = 0; i < polys.size(); i++) {
    o.put("%2d", value(polys[i]));
    if (i + 1 < polys.size()) o.put(",");
    if (i % 16 == 15 && i + 1 < polys.size()) o.put("\n"), o.indent(2);
  }
  o.put("\n");
}

int polymaterial(Geo &geo, WTpoly *p) {
  if (p->texture && !ownmaterial(p)) return geo.table.white >= 0 ? geo.table.white : 0;
  return p->matid;
}

void faceset(Save &s, Geo &geo, const std::vector<WTpoly *> &polys, int cls, bool textured) {
  Out &o = s.out;
  o.indent(), o.put("IndexedFaceSet {\n");
  o.level_++;
  o.indent(), o.put(" coordIndex [\n");
  vertexlist(o, polys, [&](WTpoly *, WTvertex *v) { return geo.vindex[v]; });
  o.indent(), o.put("]\n");
  o.indent(), o.put(" normalIndex [\n");
  if (cls & CLASS_VNORMALS) vertexlist(o, polys, [&](WTpoly *, WTvertex *v) { return geo.vnormal[v]; });
  else polylist(o, polys, [&](WTpoly *p) { return geo.pnormal[p]; });
  o.indent(), o.put("]\n");
  o.indent(), o.put(" materialIndex [\n");
  if (cls & CLASS_VMATERIALS) vertexlist(o, polys, [](WTpoly *, WTvertex *v) { return static_cast<int>(v->matid); });
  else polylist(o, polys, [&](WTpoly *p) { return polymaterial(geo, p); });
  o.indent(), o.put("]\n");
  if (textured) {
    o.indent(), o.put("textureCoordIndex [\n");
    int k = 0;
    vertexlist(o, polys, [&](WTpoly *, WTvertex *) { return k++; });
    o.indent(), o.put("]\n");
  }
  o.level_--;
  o.indent(), o.put("}\n");
}

void texturenode(Out &o, WTtextureref *ref) {
  WTtexture *t = static_cast<WTtexture *>(ref->texture);
  if (t && t->pixels && (t->flags & (WTTEX_MEMORY | WTTEX_CALLERS))) {
    o.indent(), o.put("Texture2 { wrapS REPEAT wrapT REPEAT image %d %d 4\n", t->width, t->height);
    const unsigned char *p = t->pixels;
    for (int y = 0; y < t->height; y++) {
      o.indent(1);
      for (int x = 0; x < t->width; x++, p += 4) o.put(" 0x%02x%02x%02x%02x", p[0], p[1], p[2], p[3]);
      o.put("\n");
    }
    o.indent(), o.put("}\n");
    return;
  }
  o.indent(), o.put("Texture2 {filename \"%s\" wrapS REPEAT wrapT REPEAT}\n", _WTtexture_refname(ref));
}

void texcoords(Out &o, const std::vector<WTpoly *> &polys) {
  o.indent(), o.put("TextureCoordinate2 { point [\n");
  for (WTpoly *p : polys) {
    o.indent(2);
    WTtextureref *r = p->texture;
    for (int i = 0; i < p->nverts; i++) {
      const bool has = r->u && r->v && i < r->uvcount;
      o.put("%f %f,", has ? r->u[i] : 0.0f, has ? r->v[i] : 0.0f);
    }
    o.put("\n");
  }
  o.indent(), o.put("]}\n");
}

const char *texname(WTpoly *p) { return _WTtexture_refname(p->texture); }

void texturedclass(Save &s, Geo &geo, int cls) {
  std::vector<WTpoly *> left = geo.classes[cls];
  bindings(s, cls);
  while (!left.empty()) {
    const std::string name = texname(left[0]);
    std::vector<WTpoly *> same, rest;
    for (WTpoly *p : left) (name == texname(p) ? same : rest).push_back(p);
    texturenode(s.out, same[0]->texture);
    texcoords(s.out, same);
    faceset(s, geo, same, cls, true);
    left.swap(rest);
  }
}

void geometrybody(Save &s, WTgeometry *g) {
  Out &o = s.out;
  o.indent(), o.put("Info { string \" glom ");
  if (g->name) o.put("name %s", g->name);
  o.put("\" }\n");
  Geo geo;
  geo.g = g;
  geo.table.t = g->mtable;
  coordinates(o, geo);
  normals(o, geo);
  std::vector<WTpoly *> polys;
  for (WTpoly *p = g->polys; p; p = p->next) polys.push_back(p);
  for (size_t i = polys.size(); i-- > 0;) geo.classes[classof(polys[i])].push_back(polys[i]);
  bool textured = false, own = false;
  for (WTpoly *p : polys)
    if (p->texture) textured = true, own = own || ownmaterial(p);
  if (textured && !own && geo.table.t) findwhite(geo.table);
  for (int c = 0; c < 8; c++) {
    if (geo.classes[c].empty()) continue;
    writetable(s, geo.table);
    bindings(s, c);
    faceset(s, geo, geo.classes[c], c, false);
  }
  if (own) writetable(s, geo.table);
  if (textured && !own && geo.table.white < 0) {
    whitematerial(o);
    geo.table.white = 0;
  } else if (textured && !own) {
    writetable(s, geo.table);
  }
  for (int c = 8; c < 16; c++)
    if (!geo.classes[c].empty()) texturedclass(s, geo, c);
}

// ---- Nodes -----------------------------------------------------------------------------------

void writenode(Save &s, WTnode *n);

void children(Save &s, WTnode *n) {
  s.out.level_++;
  for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) writenode(s, l->child);
  s.out.level_--;
}

void close(Save &s) { s.out.indent(), s.out.put("}\n"); }

void infolines(Save &s, WTnode *n) {
  Out &o = s.out;
  if (n->flags & WTNF_MOVABLE) o.indent(1), o.put("Info { string \"Moveable\"} \n");
  if (n->flags & WTNF_INNER) o.indent(1), o.put("Info { string \"Attachment\"} \n");
}

void matrix(Out &o, const float m[4][4]) {
  o.put("MatrixTransform { matrix\n");
  for (int i = 0; i < 3; i++) o.indent(1), o.put("%f %f %f 0.0\n", m[i][0], m[i][1], m[i][2]);
  o.indent(1), o.put("%f %f %f 1.0 }\n", m[3][0], m[3][1], m[3][2]);
}

void transform(Save &s, WTnode *n) {
  const float (*m)[4] = n->u.xform.m;
  const int k = n->u.xform.xkind;
  if (k == 0 || k == 2) s.out.put("Translation { translation %f %f %f}\n", m[3][0], m[3][1], m[3][2]);
  else matrix(s.out, m);
}

void lod(Save &s, WTnode *n) {
  Out &o = s.out;
  o.put("LOD {\n");
  defaults(s, true);
  const WTlodpayload &d = n->u.lod;
  o.indent(1), o.put("center %f %f %f\n", d.center[0], d.center[1], d.center[2]);
  if (d.nranges > 0) {
    o.indent(1), o.put("range [");
    for (int i = 0; i < d.nranges; i++) o.put(i ? ",%f" : "%f", sqrtf(d.squares[i]));
    o.put("]\n");
  }
  children(s, n);
  close(s);
}

void light(Save &s, WTnode *n) {
  Out &o = s.out;
  WTlight *l = n->u.light.light;
  if (!l) return;
  static const char *const heads[3] = {"DirectionalLight {\n", "PointLight {\n", "SpotLight {\n"};
  o.put("%s", heads[l->kind >= 0 && l->kind <= 2 ? l->kind : 1]);
  o.level_++;
  if (!WTnode_isenabled(n)) o.indent(), o.put("on FALSE\n");
  if (l->kind != 0) o.indent(), o.put("location %f %f %f\n", l->position[0], l->position[1], l->position[2]);
  if (l->kind != 1)
    o.indent(), o.put("direction %f %f %f\n", -l->direction[0], -l->direction[1], -l->direction[2]);
  o.indent(), o.put("intensity %f\n", l->intensity);
  o.indent(), o.put("color %f %f %f\n", l->diffuse[0], l->diffuse[1], l->diffuse[2]);
  if (l->kind == 2) {
    o.indent(), o.put("dropOffRate %f\n", l->exponent / 128);
    o.indent(), o.put("cutOffAngle %f\n", l->angle);
  }
  o.level_--;
  close(s);
}

void materialnode(Save &s, WTnode *n) {
  Out &o = s.out;
  const WTmaterialpayload &m = n->u.material;
  o.put("Material {\n");
  o.level_++;
  if (!(m.mask & WTMAT_AMBIENT)) o.indent(), o.put("ambientColor [ 0 0 0]\n");
  if (!(m.mask & WTMAT_DIFFUSE)) o.indent(), o.put("diffuseColor [ 0 0 0]\n");
  if ((m.mask & WTMAT_SPECULAR) && !(m.mask & WTMAT_SHININESS)) o.indent(), o.put("shininess [0]\n");
  const struct {
    int bit;
    const char *field;
    const float *v;
  } colours[] = {{WTMAT_AMBIENT, "ambientColor", m.ambient}, {WTMAT_DIFFUSE, "diffuseColor", m.diffuse},
                 {WTMAT_EMISSION, "emissiveColor", m.emission}, {WTMAT_SPECULAR, "specularColor", m.specular}};
  for (const auto &c : colours)
    if (m.mask & c.bit) o.indent(), o.put("%s [ %f %f %f ]\n", c.field, c.v[0], c.v[1], c.v[2]);
  if (m.mask & WTMAT_SHININESS) o.indent(), o.put("shininess [ %f ]\n", m.shininess / 128);
  if (m.mask & WTMAT_OPACITY) o.indent(), o.put("transparency [ %f ]\n", 1 - m.opacity);
  o.level_--;
  close(s);
}

void geometrynode(Save &s, WTnode *n) {
  s.out.put("Separator {\n");
  const int saved = s.cls;
  defaults(s, false);
  s.out.level_++;
  if (n->u.geometry) geometrybody(s, n->u.geometry);
  s.out.level_--;
  s.cls = saved;
  close(s);
}

void objectnode(Save &s, WTnode *n) {
  WTobject *obj = n->u.obj.object;
  s.out.put("Separator {\n");
  const int saved = s.cls;
  defaults(s, false);
  s.out.level_++;
  s.out.indent(), matrix(s.out, n->u.obj.m);
  if (obj && obj->geometry) geometrybody(s, obj->geometry);
  s.out.level_--;
  s.cls = saved;
  close(s);
}

void separator(Save &s, WTnode *n, const char *head) {
  s.out.put("%s", head);
  if (n->kind == WTNODE_SEP && n->u.cullmode == 1) s.out.put(" renderCulling OFF");
  s.out.put("\n");
  const int saved = s.cls;
  defaults(s, true);
  infolines(s, n);
  children(s, n);
  s.cls = saved;
  close(s);
}

void grouping(Save &s, WTnode *n) {
  Out &o = s.out;
  switch (n->kind) {
    case WTNODE_SWITCH: o.put("Switch { whichChild %d\n", n->u.whichchild); break;
    case WTNODE_GROUP: o.put("Group {\n"); break;
    default:
      o.put("WWWAnchor {\n");
      if (n->u.location) o.indent(1), o.put("name \"%s\"\n", n->u.location);
  }
  defaults(s, true);
  children(s, n);
  close(s);
}

void inlinenode(Save &s, WTnode *n) {
  s.out.put("WWWInline {\n");
  if (n->u.location) s.out.indent(1), s.out.put("name \"%s\"\n", n->u.location);
  close(s);
}

// Kinds written as nothing; those before the defaults also cancel them.
bool silent(Save &s, WTnode *n) {
  const int k = n->kind;
  if (k == WTNODE_XFORM || k == WTNODE_LIGHT || k == WTNODE_MATERIAL || (k >= 18 && k <= 20))
    s.defaultsdue = false;
  return k >= 18 && k <= 20;
}

bool known(int kind) {
  switch (kind) {
    case WTNODE_XFORM: case WTNODE_LOD: case WTNODE_GEOMETRY: case WTNODE_SWITCH:
    case WTNODE_GROUP: case WTNODE_ANCHOR: case WTNODE_SEP: case WTNODE_ROOT: case WTNODE_XFORMSEP:
    case WTNODE_OBJECT: case WTNODE_LIGHT: case WTNODE_INLINE: case WTNODE_MATERIAL:
      return true;
    default:
      return false;
  }
}

void writenode(Save &s, WTnode *n) {
  if (silent(s, n)) return;
  if (!known(n->kind)) {
    _WTmsg_warning("Unknown node type = %d\n", n->kind);
    return;
  }
  Out &o = s.out;
  if (n->name && !s.names.first(n)) {
    o.indent(), o.put("USE %s\n", n->name);
    return;
  }
  o.indent();
  if (n->name) o.put("DEF %s ", n->name);
  switch (n->kind) {
    case WTNODE_XFORM: transform(s, n); break;
    case WTNODE_LOD: lod(s, n); break;
    case WTNODE_GEOMETRY: geometrynode(s, n); break;
    case WTNODE_SWITCH: case WTNODE_GROUP: case WTNODE_ANCHOR: grouping(s, n); break;
    case WTNODE_SEP: case WTNODE_ROOT: separator(s, n, "Separator {"); break;
    case WTNODE_XFORMSEP: separator(s, n, "TransformSeparator {"); break;
    case WTNODE_OBJECT: objectnode(s, n); break;
    case WTNODE_LIGHT: light(s, n); break;
    case WTNODE_INLINE: inlinenode(s, n); break;
    default: materialnode(s, n); break;
  }
}

}  // namespace

extern "C" int _WTnode_savevrml(WTnode *node, FILE *stream, WTviewpoint *viewpoint, int) {
  if (!node || !stream) return 0;
  WTnode *top = _WTnode_resolve(node);
  if (top->kind == WTNODE_ROOT && WTnode_numchildren(top) == 1) top = WTnode_getchild(top, 0);
  Save s{Out(stream), Names(top), viewpoint};
  s.out.put("#VRML V1.0 ascii\n");
  writenode(s, top);
  return s.out.ok() ? 1 : 0;
}
