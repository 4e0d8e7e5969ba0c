// OpenGL side of the drawing: executing the render list, drawing geometries in immediate mode,
// the frame with its eye passes, light lists and texture upload.
#include <windows.h>
#include <GL/gl.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/gl_win32.h"
#include "toolkit/render/view.h"

namespace {

enum { kLit = 1, kAlpha = 2, kTwoSided = 4, kTextured = 8, kBlended = 16, kColorMat = 32,
       kFaces = 64, kSmooth = 128, kTexGen = 512 };

uint32_t lastflags;
bool stencilon;

void setcap(WTglcache *c, uint32_t bit, GLenum cap, bool on) {
  if (((c->flags & bit) != 0) == on) return;
  if (on) glEnable(cap), c->flags |= bit;
  else glDisable(cap), c->flags &= ~bit;
}

void endprim(WTglcache *c) {
  if (c->primkind) glEnd();
  c->primkind = 0;
  c->primcount = 0;
}

// ---- Matrices --------------------------------------------------------------------------------

void loadmatrix(WTglcache *c, const float *m) {
  glLoadMatrixf(m);
  bool unit = true;
  for (int i = 0; i < 3; i++) {
    const float *row = m + 4 * i;
    float l2 = row[0] * row[0] + row[1] * row[1] + row[2] * row[2];
    if (l2 < 0.95f || l2 > 1.05f) unit = false;
    c->eye[i] = -(m[12] * row[0] + m[13] * row[1] + m[14] * row[2]) / l2;
    c->axis[i] = row[2] / l2;
  }
  if (unit == !c->normalize) return;
  if (unit) glDisable(GL_NORMALIZE); else glEnable(GL_NORMALIZE);
  c->normalize = !unit;
}

// ---- Materials -------------------------------------------------------------------------------

GLenum slotenum(uint32_t bit) {
  switch (bit) {
    case WTAMBIENT: return GL_AMBIENT;
    case WTDIFFUSE: return GL_DIFFUSE;
    case WTSPECULAR: return GL_SPECULAR;
    case WTSHININESS: return GL_SHININESS;
    case WTEMISSION: return GL_EMISSION;
    default: return GL_AMBIENT_AND_DIFFUSE;
  }
}

float alphaof(WTmtable *t, int e, uint32_t group, WTglcache *c) {
  if (!(group & kBlended)) return 1.0f;
  if (t->attroffset[6] >= 0) return t->entries[e][t->attroffset[6]];
  return c->opacity;
}

// The attribute unlit polygons take their colour from: its offset, or -1.
int unlitoffset(WTmtable *t) {
  uint32_t mask = WTmtable_getproperties(t);
  const int order[] = {5, 1, 0, 4, 2};  // ambient-diffuse, diffuse, ambient, emission, specular
  for (int a : order)
    if ((mask & (1u << a)) && t->attroffset[a] >= 0) return t->attroffset[a];
  return -1;
}

void applyentry(WTmtable *t, int e, uint32_t group, WTglcache *c) {
  const float *v = t->entries[e];
  float alpha = alphaof(t, e, group, c);
  if (!(group & kLit)) {
    int at = unlitoffset(t);
    if (at >= 0) glColor4f(v[at], v[at + 1], v[at + 2], alpha);
  } else if (c->flags & kColorMat) {
    int at = t->slotoffset[0];
    if (group & kBlended) glColor4f(v[at], v[at + 1], v[at + 2], alpha);
    else glColor3f(v[at], v[at + 1], v[at + 2]);
  } else {
    for (uint32_t i = 0; i < t->nslots; i++) {
      const float *src = v + t->slotoffset[i];
      float rgba[4] = {src[0], t->slotcount[i] > 1 ? src[1] : 0, t->slotcount[i] > 2 ? src[2] : 0,
                       alpha};
      glMaterialfv(GL_FRONT_AND_BACK, t->slotenum[i], t->slotcount[i] == 1 ? src : rgba);
    }
  }
  c->material = e;
}

void whitecolour(WTpoly *p, WTmtable *t, uint32_t group, WTglcache *c) {
  float alpha = 1.0f;
  if (group & kBlended) {
    const bool stored = t && t->count > 0 && t->attroffset[6] >= 0;
    alpha = stored ? t->entries[_WTmtable_drawnentry(t, p->matid)][t->attroffset[6]] : c->opacity;
    c->material = -8;
  }
  if (!(group & kLit)) {
    glColor4f(1, 1, 1, alpha);
    if (!(group & kBlended)) c->material = -3;
  } else if (c->flags & kColorMat) {
    glColor4f(1, 1, 1, alpha);
  } else if (c->material != -2) {
    float white[4] = {1, 1, 1, alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    if (!(group & kBlended)) c->material = -2;
  }
}

// ---- Polygons --------------------------------------------------------------------------------

bool frontfacing(WTpoly *p, WTglcache *c) {
  const float *n = p->normal;
  if (c->projection == 4) return c->axis[0] * n[0] + c->axis[1] * n[1] + c->axis[2] * n[2] >= 0;
  float d[3] = {c->eye[0] - p->centre[0], c->eye[1] - p->centre[1], c->eye[2] - p->centre[2]};
  return d[0] * n[0] + d[1] * n[1] + d[2] * n[2] >= 0;
}

void beginprim(WTpoly *p, WTglcache *c) {
  int kind = p->nverts == 3 ? 3 : p->nverts == 4 ? 4 : 2;
  if (kind != 2 && kind == c->primkind && c->primcount <= c->maxprims) {
    c->primcount++;
    return;
  }
  endprim(c);
  if (_WTrender_settings()->forcecolor) c->material = -1;
  glBegin(kind == 3 ? GL_TRIANGLES : kind == 4 ? GL_QUADS : GL_TRIANGLE_FAN);
  c->primkind = kind;
  c->primcount = 1;
}

void emitpoly(WTpoly *p, WTmtable *t, uint32_t group, bool front, WTglcache *c) {
  WTtextureref *r = p->texture;
  WTtexture *tex = r ? static_cast<WTtexture *>(r->texture) : nullptr;
  if ((group & kTextured) && tex && tex->list != c->texlist) {
    endprim(c);
    c->texlist = tex->list;
    glCallList(tex->list);
    if (_WTrender_settings()->forcecolor) c->material = -1;
  }
  beginprim(p, c);
  bool vnormals = (group & kLit) && (group & kSmooth) && (p->rflags & WTR_VNORMALS) &&
                  (p->rflags & WTR_RENDERED);
  float sign = front ? 1.0f : -1.0f;
  if ((group & kLit) && !vnormals) glNormal3f(sign * p->normal[0], sign * p->normal[1], sign * p->normal[2]);
  bool vmat = (group & kSmooth) && (p->rflags & WTR_VMATIDS) && t;
  if ((group & kTextured) && r && !r->style[2]) whitecolour(p, t, group, c);
  else if (t && !vmat) _WTmtable_useentry(t, p->matid, group, c);
  int i = 0;
  for (WTvertexlink *l = p->links; l; l = l->next, i++) {
    WTvertex *v = l->vertex;
    if (vnormals && v->normal) glNormal3f(sign * v->normal[0], sign * v->normal[1], sign * v->normal[2]);
    if (vmat) _WTmtable_useentry(t, v->matid, group, c);
    if ((group & kTextured) && r && r->u && i < r->uvcount) glTexCoord2f(r->u[i], r->v[i]);
    glVertex3fv(v->position);
  }
}

void groupswitches(uint32_t group, WTglcache *c) {
  bool lit = (group & kLit) != 0;
  if (lit != ((c->flags & kLit) != 0)) c->material = -1;
  setcap(c, kLit, GL_LIGHTING, lit);
  setcap(c, kTextured, GL_TEXTURE_2D, (group & kTextured) != 0);
  setcap(c, kAlpha, GL_ALPHA_TEST, (group & kAlpha) != 0);
  if (c->flags & kTexGen) {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    c->flags &= ~kTexGen;
  }
}

void colourmaterial(WTmtable *t, WTglcache *c) {
  uint32_t mask = t ? WTmtable_getproperties(t) & 63u : 0;
  if (t && t->nslots == 1 && (mask == WTDIFFUSE || mask == WTAMBIENTDIFFUSE)) {
    setcap(c, kColorMat, GL_COLOR_MATERIAL, true);
    uint32_t mode = mask == WTDIFFUSE ? GL_DIFFUSE : GL_AMBIENT_AND_DIFFUSE;
    if (mode != c->colormaterial) glColorMaterial(GL_FRONT_AND_BACK, mode), c->colormaterial = mode;
  } else {
    setcap(c, kColorMat, GL_COLOR_MATERIAL, false);
  }
}

// The cache's texture list is kept from the geometry before: calling a texture's list sends its
// whole image again, so geometries sharing a texture call it once per pass.
void emitgroups(WTgeometry *g, WTglcache *c) {
  endprim(c);
  c->material = -1;
  if (g->ngroups <= 0 || !g->groupflags) {
    _WTmsg_fatal("Internal error: executing compile during call to geom_render\n");
    return;
  }
  WTmtable *t = g->mtable && g->mtable->count > 0 ? g->mtable : nullptr;
  colourmaterial(t, c);
  bool blendpass = (c->flags & kBlended) != 0;
  WTpoly *p = g->polys;
  for (int i = 0; i < g->ngroups; i++) {
    uint32_t group = g->groupflags[i];
    bool draw = ((group & kBlended) != 0) == blendpass;
    if (draw) groupswitches(group, c);
    for (int k = 0; k < g->groupcounts[i] && p; k++, p = p->next) {
      if (!draw || (p->rflags & WTR_INVISIBLE)) continue;
      bool front = frontfacing(p, c);
      if (front || (p->flags & WTP_TWOSIDED)) emitpoly(p, t, group | (blendpass ? kBlended : 0), front, c);
    }
    endprim(c);
  }
}

void drawoutline(WTgeometry *g, WTglcache *c) {
  bool smooth = (g->stylemask & g->stylevalue & 16) || (_WTuniverse_getrendering() & 16);
  if (smooth) {
    glEnable(GL_BLEND);
    if (!(_WTuniverse_getrendering() & 16)) glEnable(GL_LINE_SMOOTH);
  }
  setcap(c, kLit, GL_LIGHTING, false);
  setcap(c, kTextured, GL_TEXTURE_2D, false);
  WTmtable *t = g->mtable && g->mtable->count > 0 ? g->mtable : nullptr;
  int at = t ? unlitoffset(t) : -1;
  for (WTpoly *p = g->polys; p; p = p->next) {
    if (p->rflags & WTR_INVISIBLE) continue;
    if (at >= 0) glColor3fv(t->entries[_WTmtable_drawnentry(t, p->matid)] + at);
    glBegin(GL_LINE_LOOP);
    for (WTvertexlink *l = p->links; l; l = l->next) glVertex3fv(l->vertex->position);
    glEnd();
  }
  if (smooth) {
    glDisable(GL_BLEND);
    if (!(_WTuniverse_getrendering() & 16)) glDisable(GL_LINE_SMOOTH);
  }
}

// ---- Items -----------------------------------------------------------------------------------

void fogitem(WTdrawstate *s, int32_t index) {
  if (index <= 0 || index >= static_cast<int32_t>(s->blocks.size())) {
    glDisable(GL_FOG);
    return;
  }
  const float *b = s->blocks[static_cast<size_t>(index)].data();
  glEnable(GL_FOG);
  glFogfv(GL_FOG_COLOR, b + 4);
  int mode = static_cast<int>(b[0]);
  if (mode == 0) {
    glFogf(GL_FOG_START, b[2]);
    glFogf(GL_FOG_END, b[1]);
    glFogi(GL_FOG_MODE, GL_LINEAR);
  } else {
    glFogf(GL_FOG_DENSITY, 1.0f / b[1]);
    glFogi(GL_FOG_MODE, mode == 1 ? GL_EXP : GL_EXP2);
  }
}

void ambientitem(WTdrawstate *s, int32_t index) {
  WTrendercontext *rc = _WTrender_context();
  if (index <= 0 || index >= static_cast<int32_t>(s->blocks.size()))
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rc->ambient);
  else
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, s->blocks[static_cast<size_t>(index)].data());
}

void materialitem(WTdrawstate *s, int32_t index, WTglcache *c) {
  const float *b = s->blocks[static_cast<size_t>(index)].data();
  uint32_t mask = static_cast<uint32_t>(b[0]);
  const float *v = b + 1;
  setcap(c, kColorMat, GL_COLOR_MATERIAL, false);
  float rgba[4] = {0, 0, 0, 1};
  for (uint32_t bit : {WTAMBIENT, WTSPECULAR, WTEMISSION}) {
    if (!(mask & bit)) continue;
    memcpy(rgba, v, sizeof(float) * 3);
    glMaterialfv(GL_FRONT_AND_BACK, slotenum(bit), rgba);
    v += 3;
  }
  if (mask & WTSHININESS) glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, *v++);
  if (mask & (WTDIFFUSE | WTOPACITY)) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, v);
    if ((mask & WTOPACITY) && (c->flags & kBlended)) c->opacity = v[3];
  }
  c->material = -1;
}

void boxitem(WTdrawstate *s, int32_t index, WTglcache *c) {
  setcap(c, kLit, GL_LIGHTING, false);
  setcap(c, kTextured, GL_TEXTURE_2D, false);
  const WTbox &b = s->boxes[static_cast<size_t>(index)];
  glColor3f(1.0f, 1.0f, 0.0f);
  const float sx[4] = {1, -1, -1, 1}, sy[4] = {1, 1, -1, -1};
  for (float sz : {1.0f, -1.0f}) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 4; i++)
      glVertex3f(b.centre[0] + sx[i] * b.half[0], b.centre[1] + sy[i] * b.half[1], b.centre[2] + sz * b.half[2]);
    glEnd();
  }
  glBegin(GL_LINES);
  for (int i = 0; i < 4; i++)
    for (float sz : {1.0f, -1.0f})
      glVertex3f(b.centre[0] + sx[i] * b.half[0], b.centre[1] + sy[i] * b.half[1], b.centre[2] + sz * b.half[2]);
  glEnd();
}

void callbackitem(WTrenderitem &item, WTglcache *c) {
  setcap(c, kLit, GL_LIGHTING, false);
  setcap(c, kTextured, GL_TEXTURE_2D, false);
  WTnode *n = static_cast<WTnode *>(item.ptr);
  if (n->u.callback.fn) n->u.callback.fn(n, n->u.callback.data);
  c->texlist = 0;  // the callback may have bound any texture
}

void execute(WTdrawstate *s, std::vector<WTrenderitem> &list, int32_t &current) {
  WTglcache *c = &s->cache;
  for (WTrenderitem &item : list) {
    if (item.matrix != current) {
      loadmatrix(c, _WTdrawstate_matrix(s, item.matrix));
      current = item.matrix;
    }
    switch (item.kind) {
      case WTITEM_GEOMETRY: _WTgeometry_draw(static_cast<WTgeometry *>(item.ptr), c); break;
      case WTITEM_BOX: if (!(c->flags & kBlended)) boxitem(s, item.index, c); break;
      case WTITEM_LIGHTON: {
        WTrendercontext *rc = _WTrender_context();
        if (rc->slots[item.index]) glCallList(rc->lightlists + static_cast<uint32_t>(item.index));
        glEnable(static_cast<GLenum>(GL_LIGHT0 + item.index));
        break;
      }
      case WTITEM_MATERIAL: materialitem(s, item.index, c); break;
      case WTITEM_FOG: fogitem(s, item.index); break;
      case WTITEM_AMBIENT: ambientitem(s, item.index); break;
      case WTITEM_CALLBACK: callbackitem(item, c); break;
      case WTITEM_LIGHTOFF: glDisable(static_cast<GLenum>(GL_LIGHT0 + item.index)); break;
      default: break;
    }
  }
}

void lightsoff(WTdrawstate *s) {
  for (int i = 0; i < 8; i++)
    if (s->levels[0].lights & (1u << i)) glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
}

void blackmaterial() {
  const float black[4] = {0, 0, 0, 1};
  for (GLenum e : {GL_DIFFUSE, GL_AMBIENT, GL_SPECULAR, GL_EMISSION}) glMaterialfv(GL_FRONT_AND_BACK, e, black);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
}

void runlists(WTdrawstate *s) {
  WTglcache *c = &s->cache;
  int32_t current = 0;
  if (s->nopaque) {
    c->opacity = 1.0f;
    execute(s, s->opaque, current);
    lightsoff(s);
  }
  if (s->nblended) {
    c->passbit <<= 8;
    c->flags |= kBlended;
    glEnable(GL_BLEND);
    setcap(c, kColorMat, GL_COLOR_MATERIAL, false);
    blackmaterial();
    glDisable(GL_FOG);
    if (s->nblended >= 2 && _WTuniverse_getoption(19) > 0) _WTdrawstate_sortblended(s);
    execute(s, s->blended, current);
    lightsoff(s);
    glDisable(GL_BLEND);
    c->flags &= ~kBlended;
  }
  glDisable(GL_FOG);
}

// ---- Lights ----------------------------------------------------------------------------------

void compilelight(WTrendercontext *rc, int slot) {
  WTlight *l = rc->slots[slot];
  GLenum n = static_cast<GLenum>(GL_LIGHT0 + slot);
  glNewList(rc->lightlists + static_cast<uint32_t>(slot), GL_COMPILE);
  float pos[4] = {l->position[0], l->position[1], l->position[2], 1.0f};
  if (l->kind == 0) {
    pos[0] = -l->direction[0], pos[1] = -l->direction[1], pos[2] = -l->direction[2], pos[3] = 0.0f;
    glLightf(n, GL_SPOT_CUTOFF, 180.0f);
  } else {
    glLightf(n, GL_CONSTANT_ATTENUATION, l->attenuation[0]);
    glLightf(n, GL_LINEAR_ATTENUATION, l->attenuation[1]);
    glLightf(n, GL_QUADRATIC_ATTENUATION, l->attenuation[2]);
    if (l->kind == 2) {
      glLightfv(n, GL_SPOT_DIRECTION, l->direction);
      glLightf(n, GL_SPOT_CUTOFF, l->angle * 180.0f / 3.1415927f);
      glLightf(n, GL_SPOT_EXPONENT, l->exponent);
    } else {
      glLightf(n, GL_SPOT_CUTOFF, 180.0f);
    }
  }
  const float *colours[3] = {l->ambient, l->diffuse, l->specular};
  const GLenum names[3] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR};
  for (int i = 0; i < 3; i++) {
    float c[4] = {colours[i][0] * l->intensity, colours[i][1] * l->intensity,
                  colours[i][2] * l->intensity, 1.0f};
    glLightfv(n, names[i], c);
  }
  glLightfv(n, GL_POSITION, pos);
  glEndList();
}

void sethints(uint32_t flags) {
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, (flags & 32) ? GL_NICEST : GL_FASTEST);
  if (flags & 16) glEnable(GL_LINE_SMOOTH); else glDisable(GL_LINE_SMOOTH);
}

void updatelights(uint32_t flags) {
  WTrendercontext *rc = _WTrender_context();
  for (int d = 0; d < _WTdisplay_count(); d++) {
    if (!_WTdisplay_get(d)->usable) continue;
    _WTdisplay_makecurrent(d);
    if (flags != lastflags) sethints(flags);
    for (int i = 0; i < 8; i++)
      if (rc->slots[i] && !rc->slotvalid[i]) compilelight(rc, i);
    if (!rc->ambientvalid) {
      glNewList(rc->lightlists + 8, GL_COMPILE);
      glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rc->ambient);
      glEndList();
    }
    _WTtexture_flushqueue(d == rc->maindisplay);
  }
  lastflags = flags;
  for (int i = 0; i < 8; i++)
    if (rc->slots[i]) rc->slotvalid[i] = 1;
  rc->ambientvalid = 1;
}

// ---- Eye passes ------------------------------------------------------------------------------

void resetcache(WTwindow *w, WTdrawstate *s) {
  WTglcache *c = &s->cache;
  uint8_t flags = _WTuniverse_getrendering();
  memset(c, 0, sizeof *c);
  c->style = (flags & 128) ? static_cast<uint8_t>(flags & (16 | 128)) : flags;
  c->material = -1;
  c->maxprims = _WTrender_settings()->maxprims;
  c->opacity = 1.0f;
  c->passbit = 1u << w->display;
  c->flags = kLit;
  c->projection = _WTwindow_effectiveprojection(w);
}

void beginview(WTwindow *w, int eye) {
  WTdrawstate *s = w->state;
  uint8_t flags = _WTuniverse_getrendering();
  _WTdrawstate_reset(s, (flags & 128) ? static_cast<uint8_t>(flags & (16 | 128)) : flags);
  float cull[18];
  WTm4 view;
  _WTwindow_getprojmatrix(w, eye, s->projection, &s->planes[0][0], cull);
  _WTwindow_getviewmatrix(w, eye, view);
  memcpy(s->matrices[0].m, view, sizeof view);
  s->hither = cull[0], s->yon = cull[1];
  for (int i = 0; i < 4; i++) memcpy(s->planes[i], cull + 2 + 4 * i, sizeof(float) * 4);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, _WTrender_context()->ambient);
  blackmaterial();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(&s->projection[0][0]);
  glMatrixMode(GL_MODELVIEW);
  resetcache(w, s);
  s->cache.normalize = 1;
  loadmatrix(&s->cache, &view[0][0]);
  for (GLenum cap : {GL_NORMALIZE, GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_ALPHA_TEST})
    glDisable(cap);
  s->cache.normalize = 0;
  glEnable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  glDisable(GL_CULL_FACE);
  if (flags & 8) s->cache.flags |= kSmooth;
  glShadeModel((flags & 8) ? GL_SMOOTH : GL_FLAT);
}

void endview(WTwindow *w, int eye) {
  WTdrawstate *s = w->state;
  if (s->cache.flags & kTexGen) glDisable(GL_TEXTURE_GEN_S), glDisable(GL_TEXTURE_GEN_T);
  if (w->drawfn) {
    glLoadMatrixf(&s->matrices[0].m[0][0]);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    w->indraw = 1;
    w->drawfn(w, eye);
    w->indraw = 0;
    glDisable(GL_LINE_STIPPLE);
    glLineWidth(1.0f);
    glPointSize(1.0f);
  }
  _WTwindow_draw2d(w, eye);
}

void eyepass(WTwindow *w, int eye) {
  if (!w->viewpoint) {
    endview(w, eye);
    return;
  }
  beginview(w, eye);
  _WTnode_draw(w->root, w->state);
  endview(w, eye);
  w->npolys += static_cast<uint32_t>(w->state->polycount);
}

void passes(WTwindow *w, int x, int y, int width, int height) {
  uint32_t mode = w->displaymode;
  if (stencilon && !(mode & 0x1000)) glDisable(GL_STENCIL_TEST), stencilon = false;
  switch (mode) {
    case 1: eyepass(w, w->eye); break;
    case 4: {
      int g = _WTrender_context()->splitgap, half = (height - g) / 2;
      glViewport(x, y + half + g, width, half);
      eyepass(w, 0);
      glViewport(x, y, width, half);
      eyepass(w, 1);
      break;
    }
    case 8:
      glColorMask(1, 0, 0, 0);
      eyepass(w, 0);
      glColorMask(0, 0, 1, 0);
      glClear(GL_DEPTH_BUFFER_BIT);
      eyepass(w, 1);
      glColorMask(1, 1, 1, 0);
      break;
    case 32:
      glDrawBuffer(GL_BACK_LEFT);
      eyepass(w, 0);
      glDrawBuffer(GL_BACK_RIGHT);
      glClear(GL_DEPTH_BUFFER_BIT);
      eyepass(w, 1);
      break;
    case 0x1000: case 0x3000: case 0x5000: case 0x7000:
      if (!stencilon) glEnable(GL_STENCIL_TEST);
      glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
      glStencilFunc(GL_NOTEQUAL, 1, 1);
      eyepass(w, 0);
      glStencilFunc(GL_EQUAL, 1, 1);
      eyepass(w, 1);
      stencilon = true;
      break;
    default: break;
  }
}

void stencilmask(WTwindow *w, int vx, int vy) {
  glClearStencil(0);
  glClear(GL_STENCIL_BUFFER_BIT);
  glStencilFunc(GL_ALWAYS, 1, 1);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glEnable(GL_STENCIL_TEST);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, 0.5, 16);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  GLubyte mask[128];
  uint32_t m = w->displaymode;
  bool rows = m == 0x1000 || m == 0x3000;
  bool odd = rows ? ((w->y + w->height - 1 - vy) & 1) != 0 : ((w->x + vx) & 1) != 0;
  bool first = (m == 0x1000 || m == 0x5000) ? odd : !odd;
  for (int i = 0; i < 128; i++)
    mask[i] = rows ? static_cast<GLubyte>((((i / 4) & 1) == 0) == first ? 0xFF : 0x00)
                   : static_cast<GLubyte>(first ? 0xAA : 0x55);
  GLboolean smooth = glIsEnabled(GL_POLYGON_SMOOTH);
  glDisable(GL_POLYGON_SMOOTH);
  glDisable(GL_LIGHTING);
  glPolygonStipple(mask);
  glEnable(GL_POLYGON_STIPPLE);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glVertex3f(0, 0, -1), glVertex3f(1, 0, -1), glVertex3f(1, 1, -1), glVertex3f(0, 1, -1);
  glEnd();
  glDisable(GL_POLYGON_STIPPLE);
  if (smooth) glEnable(GL_POLYGON_SMOOTH);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glEnable(GL_DEPTH_TEST);
}

bool drawable(WTwindow *w) {
  WTwindow *p = _WTwindow_liveparent(w);
  return p && (p->statebits & 1) && w->enabled && p->enabled;
}

void clearwindow(WTwindow *w) {
  glViewport(0, 0, w->width, w->height);
  glClearColor(((w->bgcolor >> 16) & 255) / 255.0f, ((w->bgcolor >> 8) & 255) / 255.0f,
               (w->bgcolor & 255) / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawwindow(WTwindow *w) {
  _WTwindow_makecurrent(w);
  glDrawBuffer(GL_BACK);
  WTwindow *p = w->parent;
  if (!w->subwindow) clearwindow(w);
  if (!w->subwindow && (w->statebits & 32)) {
    for (WTwindow *s = *_WTuniverse_windowslot(); s; s = s->next)
      if (s->parent == w && s != w) s->statebits |= 32;
  }
  int x = static_cast<int>(p->width * w->viewport[0]), width = static_cast<int>(p->width * w->viewport[1]);
  int y = static_cast<int>(p->height * w->viewport[2]), height = static_cast<int>(p->height * w->viewport[3]);
  glViewport(x, y, width, height);
  if (w->statebits & 32) {
    w->statebits &= ~32u;
    if (w->displaymode & 0x1000) stencilmask(w, x, y), stencilon = true;
  }
  passes(w, x, y, width, height);
}

}  // namespace

extern "C" {

void _WTgl_setcap(WTglcache *c, uint32_t bit, unsigned cap, int on) { setcap(c, bit, cap, on != 0); }
void _WTgl_endprim(WTglcache *c) { endprim(c); }
void _WTgl_groupswitches(uint32_t group, WTglcache *c) { groupswitches(group, c); }
void _WTgl_colourmaterial(WTmtable *t, WTglcache *c) { colourmaterial(t, c); }
void _WTgl_whitecolour(WTpoly *p, WTmtable *t, uint32_t group, WTglcache *c) { whitecolour(p, t, group, c); }
void _WTmtable_useentry(WTmtable *t, int32_t id, uint32_t group, WTglcache *c) {
  const int e = _WTmtable_drawnentry(t, id);
  if (e != c->material) applyentry(t, e, group, c);
}
void _WTpoly_emit(WTpoly *p, WTmtable *t, uint32_t group, int front, WTglcache *c) {
  emitpoly(p, t, group, front != 0, c);
}

void _WTnode_draw(WTnode *root, WTdrawstate *s) {
  if (!root || !s || WTnode_gettype(root) != WTNODE_ROOT) return;
  if (root->flags & WTNF_CHANGED) {
    root->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
    if (_WTnode_update(root->firstchild, &root->bounds)) root->flags |= WTNF_BOUNDSVALID;
    else root->flags &= static_cast<unsigned char>(~WTNF_BOUNDSVALID);
  }
  _WTnode_buildlist(s, root);
  runlists(s);
}

void _WTgeometry_draw(WTgeometry *g, void *cache) {
  WTglcache *c = static_cast<WTglcache *>(cache);
  if (!g || !c) return;
  uint8_t style = c->style;
  c->style = static_cast<uint8_t>((style & ~g->stylemask) | (g->stylevalue & g->stylemask));
  if (c->style >= 128) {
    drawoutline(g, c);
  } else if (g->draw) {
    g->draw(g, g, c);
  } else {
    if (c->flags & kFaces) {
      if (c->flags & kTwoSided) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0), c->flags &= ~kTwoSided;
      else glDisable(GL_CULL_FACE);
      c->flags &= ~kFaces;
    }
    emitgroups(g, c);
  }
  c->style = style;
}

void _WTglcallback_draw(WTdrawstate *s, int index) {
  if (!s || index < 0 || index >= static_cast<int>(s->opaque.size())) return;
  callbackitem(s->opaque[static_cast<size_t>(index)], &s->cache);
}

void _WTwindow_drawall(void) {
  WTrendercontext *rc = _WTrender_context();
  WTwindow **slot = _WTuniverse_windowslot();
  if (!rc || !slot) return;
  uint32_t flags = _WTuniverse_getrendering();
  if (flags != lastflags) {
    WTnode *prev = nullptr;
    for (WTwindow *w = *slot; w; w = w->next)
      if (w->root && w->root != prev) _WTnode_invalidate(w->root), prev = w->root;
  }
  updatelights(flags);
  std::vector<WTwindow *> swaps;
  for (WTwindow *w = *slot; w; w = w->next) {
    w->projkey = 0;
    w->npolys = 0;
    if (!drawable(w)) continue;
    if (!w->subwindow) swaps.push_back(w);
    drawwindow(w);
  }
  for (WTwindow *w : swaps) {
    _WTwindow_makecurrent(w);
    glFlush();
    SwapBuffers(static_cast<HDC>(w->dc));
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    w->frametime = t.QuadPart;
  }
}

// ---- Texture upload --------------------------------------------------------------------------

void _WTtexture_upload(WTtexture *t) {
  static const GLint filters[8] = {GL_NEAREST, GL_LINEAR, GL_LINEAR, GL_LINEAR,
                                   GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST,
                                   GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR};
  WTrendercontext *rc = _WTrender_context();
  if (!t->pixels) return;
  glNewList(t->list, GL_COMPILE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filters[t->magfilter & 3]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filters[t->minfilter & 7]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, t->clamps ? GL_CLAMP : GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, t->clampt ? GL_CLAMP : GL_REPEAT);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, t->width, t->height, 0, GL_RGBA, GL_UNSIGNED_BYTE, t->pixels);
  if (t->minfilter >= 4) {
    int w = t->width, h = t->height, level = 0;
    while (w > 1 || h > 1) {
      int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
      unsigned char *mip = _WTtexture_reduce(t->pixels, t->width, t->height, nw, nh);
      glTexImage2D(GL_TEXTURE_2D, ++level, 4, nw, nh, 0, GL_RGBA, GL_UNSIGNED_BYTE, mip);
      _WTmem_free(mip);
      w = nw, h = nh;
    }
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, t->decal ? GL_DECAL : GL_MODULATE);
  glEndList();
  if (glGetError() == GL_OUT_OF_MEMORY) {
    _WTmem_free(t->pixels);
    t->pixels = nullptr;
    _WTmsg_fatal("OUT OF MEMORY!");
  }
  (void)rc;
}

void _WTtexture_unload(WTtexture *t) { glDeleteLists(t->list, 1); }

void _WTtexture_readback(WTtexture *t) {
  t->pixels = static_cast<unsigned char *>(_WTmem_alloc(size_t(t->width) * size_t(t->height) * 4));
  glCallList(t->list);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t->pixels);
}
}
