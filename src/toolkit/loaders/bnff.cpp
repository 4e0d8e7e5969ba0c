// Binary NFF: the text form's geometries as big-endian tagged records.  The reader takes the
// geometry files the geometry and object writers make; the universe file has its own layout.
#include <ctype.h>
#include <math.h>
#include <string.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/loaders.h"
#include "toolkit/loaders/nff.h"

namespace {

constexpr uint16_t kReadPoly = 0x20;
constexpr float kSmall = 0.004f;
constexpr float kVersion = 6.01f;
const unsigned kProperties[7] = {WTAMBIENT, WTDIFFUSE, WTSPECULAR, WTSHININESS, WTEMISSION,
                                 WTAMBIENTDIFFUSE, WTOPACITY};

int valuecount(int attr) { return attr == 3 || attr == 6 ? 1 : 3; }
int attrof(unsigned bit) {
  for (int i = 0; i < 7; i++)
    if (kProperties[i] == bit) return i;
  return -1;
}

// ---- Reading ---------------------------------------------------------------------------------

class In {
 public:
  explicit In(FILE *f) {
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data_.insert(data_.end(), chunk, chunk + n);
  }
  size_t left() const { return data_.size() - pos_; }
  bool byte(int *out) {
    if (!left()) return false;
    *out = data_[pos_++];
    return true;
  }
  bool u32(uint32_t *out) {
    if (left() < 4) return false;
    *out = uint32_t(data_[pos_]) << 24 | uint32_t(data_[pos_ + 1]) << 16 | uint32_t(data_[pos_ + 2]) << 8 |
           data_[pos_ + 3];
    pos_ += 4;
    return true;
  }
  bool f32(float *out, int count = 1) {
    for (int i = 0; i < count; i++) {
      uint32_t bits;
      if (!u32(&bits)) return false;
      memcpy(&out[i], &bits, 4);
    }
    return true;
  }
  bool text(std::string *out) {
    int n;
    if (!byte(&n) || left() < size_t(n)) return false;
    out->assign(reinterpret_cast<const char *>(&data_[pos_]), size_t(n));
    pos_ += size_t(n);
    return true;
  }
  bool bytes(char *out, size_t n) {
    if (left() < n) return false;
    memcpy(out, &data_[pos_], n);
    pos_ += n;
    return true;
  }

 private:
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
};

struct Bff {
  In *in;
  const char *file;
  float scale;
  WTcell **portals;
  std::vector<WTvertex *> vertices;
  std::vector<float> u, v;
  std::vector<bool> hasuv;
  int valid = 0, ignored = 0;
};

bool header(In &in, WTpq *pose) {
  for (;;) {
    int tag;
    if (!in.byte(&tag)) return false;
    if (tag == 3) return true;
    if (tag == 1 && !in.f32(pose->p, 3)) return false;
    if (tag == 2) {
      WTp3 d;
      if (!in.f32(d, 3)) return false;
      float l = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      if (l > 0) {
        for (float &k : d) k /= l;
        _WTdir_2q(d, pose->q);
      }
    }
  }
}

// The material part after its tag 4; false at the end of the file.
bool mtable(Bff &b, WTgeometry *g) {
  int byte;
  if (!b.in->byte(&byte)) return false;
  unsigned mask = 0;
  if (byte != 8) {
    _WTmsg_warning("No valid-property-list in the material part of the input file !!\n");
    _WTmsg_warning("_bff_scan_mtable returned NULL \n");
    _WTmsg_warning("Cannot parse mtable for object.\n");
    while (byte != 5)
      if (!b.in->byte(&byte)) return false;
    return true;
  }
  while (b.in->byte(&byte) && byte != 9)
    if (attrof(unsigned(byte)) >= 0) mask |= unsigned(byte);
  if (byte != 9) return false;
  // Attached at once: a read that fails later deletes it with the geometry.
  WTmtable *table = mask ? WTmtable_new(mask, 10, nullptr) : nullptr;
  if (table) _WTmtable_attach(g, table);
  int entry = -1;
  for (;;) {
    if (!b.in->byte(&byte)) return false;
    if (byte == 5) break;
    if (byte == 0 && table) entry = WTmtable_newentry(table);
    const int attr = byte ? attrof(unsigned(byte)) : -1;
    if (attr < 0) continue;
    float values[3];
    if (!b.in->f32(values, valuecount(attr))) return false;
    if (table && entry >= 0 && (mask & unsigned(byte)))
      _WTmtable_setentryvalue(table->entries[entry], values, attr, table);
  }
  return true;
}

bool vertex(Bff &b, WTgeometry *g) {
  WTp3 p;
  int flags;
  if (!b.in->f32(p, 3) || !b.in->byte(&flags)) return false;
  for (float &k : p) k *= b.scale;
  WTvertex *v = _WTvertex_newat(p);
  b.vertices.push_back(v);
  _WTgeometry_addvertexsimple(g, v);
  b.u.push_back(0);
  b.v.push_back(0);
  b.hasuv.push_back(false);
  if (flags & 1) {
    WTp3 n;
    if (!b.in->f32(n, 3)) return false;
    _WTvertex_setnormal(v, n);
  }
  if (flags & 2) {
    float uv[2];
    if (!b.in->f32(uv, 2)) return false;
    b.u.back() = uv[0];
    b.v.back() = uv[1];
    b.hasuv.back() = true;
  }
  if (flags & 4) {
    char rgb[3];
    if (!b.in->bytes(rgb, 3)) return false;
    const uint32_t c = uint32_t(uint8_t(rgb[0])) << 16 | uint32_t(uint8_t(rgb[1])) << 8 | uint8_t(rgb[2]);
    v->matid = g->mtable ? _WTmtable_getrgb24id(g->mtable, c) : 0;
    v->flags |= WTV_MATID;
  }
  return true;
}

bool attributes(Bff &b, WTpoly *p, WTnfflook &look) {
  for (;;) {
    int tag;
    std::string text;
    if (!b.in->byte(&tag)) return false;
    switch (tag) {
      case 0: return true;
      case 1: p->flags |= WTP_TWOSIDED; break;
      case 2: if (!b.in->text(&look.texture)) return false; break;
      case 3:
        if (!b.in->text(&text)) return false;
        look.portals.push_back(text);
        break;
      case 4: if (!b.in->f32(&look.rotation)) return false; break;
      case 5: if (!b.in->f32(&look.scale)) return false; break;
      case 6: if (!b.in->f32(look.offset, 2)) return false; break;
      case 7: look.mirror = true; break;
      default: break;
    }
  }
}

// False when the geometry's read fails.
bool polygon(Bff &b, WTgeometry *g) {
  uint32_t n, matid;
  if (!b.in->u32(&n) || n > b.in->left() / 4) return false;
  WTpoly *p = _WTpoly_new(g);
  p->flags |= kReadPoly;
  std::vector<uint32_t> indices(n);
  bool ok = true;
  for (uint32_t i = 0; ok && i < n; i++) {
    ok = b.in->u32(&indices[i]) && indices[i] < b.vertices.size();
    if (ok) WTpoly_addvertexptr(p, b.vertices[indices[i]]);
  }
  WTnfflook look;
  ok = ok && b.in->u32(&matid) && attributes(b, p, look);
  if (!ok) {
    _WTpoly_cancel(p);
    return false;
  }
  p->matid = int32_t(matid);
  if (!WTpoly_close(p)) {
    _WTmsg_warning("problem with polygon.\n");
    _WTpoly_cancel(p);
    b.ignored++;
    return true;
  }
  bool alluv = true;
  std::vector<float> u, v;
  for (uint32_t i : indices) {
    alluv = alluv && b.hasuv[i];
    u.push_back(b.u[i]);
    v.push_back(b.v[i]);
  }
  _WTnff_settexture(p, look, alluv ? u.data() : nullptr, alluv ? v.data() : nullptr);
  for (const std::string &name : look.portals)
    if (b.portals) *b.portals = _WTlist_cell(_WTportal_new(p, name.c_str()), *b.portals);
  b.valid++;
  return true;
}

bool body(Bff &b, WTgeometry *g) {
  uint32_t count;
  if (!b.in->u32(&count) || count > b.in->left() / 13) return false;
  for (uint32_t i = 0; i < count; i++)
    if (!vertex(b, g)) return false;
  if (!b.in->u32(&count) || count > b.in->left() / 8) return false;
  for (uint32_t i = 0; i < count; i++)
    if (!polygon(b, g)) {
      _WTmsg_warning("bff_scan_polygon returned null in function bff_scan_geometry. \n");
      return false;
    }
  return true;
}

// One geometry record after its tag 3; null ends the list.
WTgeometry *geometry(Bff &b) {
  std::string name;
  int tag;
  if (!b.in->text(&name)) return nullptr;
  WTgeometry *g = _WTgeometry_new(nullptr);
  WTgeometry_setname(g, name.c_str());
  b.vertices.clear();
  b.u.clear();
  b.v.clear();
  b.hasuv.clear();
  b.valid = b.ignored = 0;
  bool ok = b.in->byte(&tag);
  if (ok && tag != 4) {
    _WTmsg_warning("No material related information in the input file!!\n");
    ok = false;
  }
  ok = ok && mtable(b, g) && body(b, g);
  if (ok && b.ignored) _WTmsg_warning("%d polygons were ignored.\n", b.ignored);
  if (ok && !b.valid) {
    _WTmsg_warning("No valid polygons in object.\n");
    ok = false;
  }
  if (!ok) {
    WTgeometry_delete(g);
    return nullptr;
  }
  return g;
}

// ---- Writing ---------------------------------------------------------------------------------

class Out {
 public:
  explicit Out(FILE *f) : f_(f) {}
  void byte(int b) { ok_ = fputc(b & 0xFF, f_) != EOF && ok_; }
  void u32(uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) byte(int(v >> s));
  }
  void u16(uint32_t v) {
    byte(int(v >> 8));
    byte(int(v));
  }
  void f32(const float *v, int count = 1) {
    for (int i = 0; i < count; i++) {
      uint32_t bits;
      memcpy(&bits, &v[i], 4);
      u32(bits);
    }
  }
  void text(const std::string &s) {
    const size_t n = s.size() > 255 ? 255 : s.size();
    byte(int(n));
    ok_ = fwrite(s.data(), 1, n, f_) == n && ok_;
  }
  bool ok() const { return ok_ && !ferror(f_); }

 private:
  FILE *f_;
  bool ok_ = true;
};

void start(Out &out) {
  const char magic[] = "bnff";
  for (int i = 0; i < 4; i++) out.byte(magic[i]);
  out.f32(&kVersion);
}

void viewpoint(Out &out) {
  WTpq pose = {{0, 0, 0}, {0, 0, 0, 1}};
  if (WTviewpoint *v = _WTuniverse_getviewpoint()) {
    WTviewpoint_getposition(v, pose.p);
    WTviewpoint_getorientation(v, pose.q);
  }
  WTp3 dir;
  _WTq_2dir(pose.q, dir);
  out.byte(1);
  out.f32(pose.p, 3);
  out.byte(2);
  out.f32(dir, 3);
}

void materialpart(Out &out, WTmtable *t) {
  out.byte(4);
  out.byte(8);
  for (int attr = 0; t && attr < 7; attr++)
    if (t->attroffset[attr] >= 0) out.byte(int(kProperties[attr]));
  out.byte(9);
  for (int i = 0; t && i < t->count; i++) {
    out.byte(0);
    for (int attr = 0; attr < 7; attr++) {
      float values[3];
      if (!_WTmtable_getentryvalue(t->entries[i], values, attr, t)) continue;
      out.byte(int(kProperties[attr]));
      out.f32(values, valuecount(attr));
    }
  }
  out.byte(5);
}

void vertexrecord(Out &out, WTvertex *v, WTmtable *table) {
  out.f32(v->position, 3);
  out.byte((v->normal ? 1 : 0) | ((v->flags & WTV_MATID) ? 4 : 0));
  if (v->normal) out.f32(v->normal, 3);
  if (v->flags & WTV_MATID) {
    const uint32_t c = table ? _WTmtable_getentryrgb24(table, v->matid) : 0;
    out.byte(int(c >> 16));
    out.byte(int(c >> 8));
    out.byte(int(c));
  }
}

using Portals = std::unordered_map<WTpoly *, const char *>;

void polyattributes(Out &out, WTpoly *p, const Portals &portals) {
  out.u32(uint32_t(p->matid));
  if (p->flags & WTP_TWOSIDED) out.byte(1);
  if (WTtextureref *t = p->texture) {
    const char letter = t->style[0] && t->style[1] ? 'U' : t->style[0] ? 'S' : t->style[1] ? 'T' : 'V';
    const char *name = _WTtexture_refname(t);
    out.byte(2);
    out.text(std::string(1, letter) + "_" + (name ? name : ""));
    if (fabsf(t->rotation) >= kSmall) {
      out.byte(4);
      out.f32(&t->rotation);
    }
    if (fabsf(t->scale - 1) >= kSmall) {
      out.byte(5);
      out.f32(&t->scale);
    }
    if (fabsf(t->offsetu) >= kSmall || fabsf(t->offsetv) >= kSmall) {
      const float offset[2] = {t->offsetu, t->offsetv};
      out.byte(6);
      out.f32(offset, 2);
    }
    if (t->mirrored) out.byte(7);
  }
  auto portal = portals.find(p);
  if (portal != portals.end()) {
    out.byte(3);
    out.text(portal->second ? portal->second : "");
  }
  out.byte(0);
}

Portals portalsbypoly() {
  Portals out;
  for (WTportal *p = _WTuniverse_getportals(); p; p = _WTportal_next(p))
    if (WTpoly *poly = _WTportal_getpoly(p)) out.emplace(poly, _WTportal_getname(p));
  return out;
}

void geometryrecord(Out &out, WTgeometry *g) {
  out.byte(3);
  out.text(g->name ? g->name : "untitled");
  materialpart(out, g->mtable);
  std::unordered_map<WTvertex *, uint32_t> index;
  uint32_t n = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) index[v] = n++;
  out.u32(n);
  for (WTvertex *v = g->vertices; v; v = v->next) vertexrecord(out, v, g->mtable);
  std::vector<WTpoly *> polys;
  for (WTpoly *p = g->polys; p; p = p->next) polys.insert(polys.begin(), p);
  out.u32(uint32_t(polys.size()));
  const Portals portals = portalsbypoly();
  int place = 0;
  for (WTpoly *p : polys) {
    uint32_t count = 0;
    for (WTvertexlink *l = p->links; l; l = l->next) count++;
    if (count < 3) _WTmsg_warning("Polygon %d has only %d verts!\n", place, int(count));
    out.u32(count);
    for (WTvertexlink *l = p->links; l; l = l->next) out.u32(index[l->vertex]);
    polyattributes(out, p, portals);
    place++;
  }
}

}  // namespace

extern "C" {

WTgeomlist *_WTbff_read_geometries(FILE *stream, const char *name, WTpq *pose, float scale,
                                   int join, WTcell **portals) {
  if (!stream) return nullptr;
  WTpq local;
  WTpq *view = pose ? pose : &local;
  *view = WTpq{{0, 0, 0}, {0, 0, 0, 1}};
  In in(stream);
  Bff b{&in, name ? name : "", scale, portals, {}, {}, {}, {}, 0, 0};
  char magic[5] = {0};
  float version;
  if (!in.bytes(magic, 4)) {
    _WTmsg_warning("File %s has no data\n", b.file);
    return nullptr;
  }
  if (memcmp(magic, "bnff", 4)) {
    _WTmsg_warning("File %s. '%s' is not the magic string ('%s')\n", b.file, magic, "bnff");
    return nullptr;
  }
  WTgeomlist *list = nullptr, *tail = nullptr;
  bool more = in.f32(&version) && header(in, view);
  while (more) {
    WTgeometry *g = geometry(b);
    if (!g) break;
    WTgeomlist *cell = _WTgeomlist_add(nullptr, g);
    if (tail) tail->next = cell;
    else list = cell;
    tail = cell;
    int tag;
    more = in.byte(&tag) && tag == 3;
  }
  if (!list) _WTmsg_warning("File '%s' has no readable geometries\n", b.file);
  if (list && list->next && join) _WTgeomlist_glom(list);
  return _WTread_closeall(list, nullptr);
}

WTcell *_WTbff_read_objects(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                            WTcell **portals, int flag) {
  WTcell *made = nullptr;
  WTgeomlist *list = _WTbff_read_geometries(stream, name, pose, scale, join, &made);
  return _WTnff_makeobjects(list, made, portals, flag);
}

int _WTbff_write_geometry(FILE *stream, WTgeometry *geometry) {
  if (!stream || !geometry) return 0;
  Out out(stream);
  start(out);
  viewpoint(out);
  geometryrecord(out, geometry);
  return out.ok() ? 1 : 0;
}

int _WTbff_write_object(FILE *stream, WTobject *object) {
  return object ? _WTbff_write_geometry(stream, object->geometry) : 0;
}

int _WTbff_write_objects(FILE *stream, WTcell *objects) {
  if (!stream) return 0;
  Out out(stream);
  start(out);
  if (!out.ok()) {
    _WTmsg_warning("Unable to write to file.\n");
    return 0;
  }
  for (WTcell *c = objects; c; c = c->next)
    if (WTobject *o = static_cast<WTobject *>(c->value))
      if (o->geometry) geometryrecord(out, o->geometry);
  return out.ok() ? 1 : 0;
}

// The universe's objects as one record: no material part, one-byte vertex counts and 16-bit
// indices (32-bit past 65535 vertices).
int _WTbff_write_universe(FILE *stream) {
  WTobject **head = _WTuniverse_objectslot();
  if (!stream || !head || !*head) return 0;
  Out out(stream);
  start(out);
  viewpoint(out);
  out.byte(3);
  const char *name = _WTuniverse_getname();
  out.text(name && *name ? name : "WTuniverse");
  std::vector<WTpoly *> polys;
  WTmtable *table = nullptr;
  for (WTobject *o = *head; o; o = o->next)
    if (o->geometry) {
      if (!table) table = o->geometry->mtable;
      std::vector<WTpoly *> own;
      for (WTpoly *p = o->geometry->polys; p; p = p->next) own.insert(own.begin(), p);
      polys.insert(polys.end(), own.begin(), own.end());
    }
  std::vector<WTvertex *> vertices;
  std::unordered_map<WTvertex *, uint32_t> index;
  for (WTpoly *p : polys)
    for (WTvertexlink *l = p->links; l; l = l->next)
      if (index.emplace(l->vertex, 0).second) vertices.insert(vertices.begin(), l->vertex);
  for (size_t i = 0; i < vertices.size(); i++) index[vertices[i]] = uint32_t(i);
  out.u32(uint32_t(vertices.size()));
  for (WTvertex *v : vertices) vertexrecord(out, v, table);
  out.u32(uint32_t(polys.size()));
  const Portals portals = portalsbypoly();
  for (WTpoly *p : polys) {
    int count = 0;
    for (WTvertexlink *l = p->links; l; l = l->next) count++;
    out.byte(count > 255 ? 255 : count);
    int k = 0;
    for (WTvertexlink *l = p->links; l && k < 255; l = l->next, k++) {
      if (vertices.size() > 65535) out.u32(index[l->vertex]);
      else out.u16(index[l->vertex]);
    }
    polyattributes(out, p, portals);
  }
  return out.ok() ? 1 : 0;
}

}  // extern "C"
