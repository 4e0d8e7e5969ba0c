// OpenGL side of the drawing: executing the render list, drawing geometries in immediate mode,
// the frame with its eye passes, light lists and texture upload.
#include <windows.h>
#include <GL/gl.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawplan.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/gl_win32.h"
#include "toolkit/render/view.h"

namespace {

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
  WTmatrixframe f = _WTmatrix_frame(m);
  memcpy(c->eye, f.eye, sizeof c->eye);
  memcpy(c->axis, f.axis, sizeof c->axis);
  const bool unit = f.unit != 0;
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
  if (!(group & WTGL_BLENDED)) return 1.0f;
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
  if (!(group & WTGL_LIT)) {
    int at = unlitoffset(t);
    if (at >= 0) glColor4f(v[at], v[at + 1], v[at + 2], alpha);
  } else if (c->flags & WTGL_COLORMAT) {
    int at = t->slotoffset[0];
    if (group & WTGL_BLENDED) glColor4f(v[at], v[at + 1], v[at + 2], alpha);
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
  if (group & WTGL_BLENDED) {
    const bool stored = t && t->count > 0 && t->attroffset[6] >= 0;
    alpha = stored ? t->entries[_WTmtable_drawnentry(t, p->matid)][t->attroffset[6]] : c->opacity;
    c->material = -8;
  }
  if (!(group & WTGL_LIT)) {
    glColor4f(1, 1, 1, alpha);
    if (!(group & WTGL_BLENDED)) c->material = -3;
  } else if (c->flags & WTGL_COLORMAT) {
    glColor4f(1, 1, 1, alpha);
  } else if (c->material != -2) {
    float white[4] = {1, 1, 1, alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    if (!(group & WTGL_BLENDED)) c->material = -2;
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
  if ((group & WTGL_TEXTURED) && tex && tex->list != c->texlist) {
    endprim(c);
    c->texlist = tex->list;
    glCallList(tex->list);
    if (_WTrender_settings()->forcecolor) c->material = -1;
  }
  beginprim(p, c);
  bool vnormals = (group & WTGL_LIT) && (group & WTGL_SMOOTH) && (p->rflags & WTR_VNORMALS) &&
                  (p->rflags & WTR_RENDERED);
  float sign = front ? 1.0f : -1.0f;
  if ((group & WTGL_LIT) && !vnormals)
    glNormal3f(sign * p->normal[0], sign * p->normal[1], sign * p->normal[2]);
  bool vmat = (group & WTGL_SMOOTH) && (p->rflags & WTR_VMATIDS) && t;
  if ((group & WTGL_TEXTURED) && r && !r->style[2]) whitecolour(p, t, group, c);
  else if (t && !vmat) _WTmtable_useentry(t, p->matid, group, c);
  int i = 0;
  for (WTvertexlink *l = p->links; l; l = l->next, i++) {
    WTvertex *v = l->vertex;
    if (vnormals && v->normal) glNormal3f(sign * v->normal[0], sign * v->normal[1], sign * v->normal[2]);
    if (vmat) _WTmtable_useentry(t, v->matid, group, c);
    if ((group & WTGL_TEXTURED) && r && r->u && i < r->uvcount) glTexCoord2f(r->u[i], r->v[i]);
    glVertex3fv(v->position);
  }
}

void groupswitches(uint32_t group, WTglcache *c) {
  bool lit = (group & WTGL_LIT) != 0;
  if (lit != ((c->flags & WTGL_LIT) != 0)) c->material = -1;
  setcap(c, WTGL_LIT, GL_LIGHTING, lit);
  setcap(c, WTGL_TEXTURED, GL_TEXTURE_2D, (group & WTGL_TEXTURED) != 0);
  setcap(c, WTGL_ALPHA, GL_ALPHA_TEST, (group & WTGL_ALPHA) != 0);
  if (c->flags & WTGL_TEXGEN) {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    c->flags &= ~WTGL_TEXGEN;
  }
}

void colourmaterial(WTmtable *t, WTglcache *c) {
  uint32_t mask = t ? WTmtable_getproperties(t) & 63u : 0;
  if (t && t->nslots == 1 && (mask == WTDIFFUSE || mask == WTAMBIENTDIFFUSE)) {
    setcap(c, WTGL_COLORMAT, GL_COLOR_MATERIAL, true);
    uint32_t mode = mask == WTDIFFUSE ? GL_DIFFUSE : GL_AMBIENT_AND_DIFFUSE;
    if (mode != c->colormaterial) glColorMaterial(GL_FRONT_AND_BACK, mode), c->colormaterial = mode;
  } else {
    setcap(c, WTGL_COLORMAT, GL_COLOR_MATERIAL, false);
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
  bool blendpass = (c->flags & WTGL_BLENDED) != 0;
  WTpoly *p = g->polys;
  for (int i = 0; i < g->ngroups; i++) {
    uint32_t group = g->groupflags[i];
    bool draw = ((group & WTGL_BLENDED) != 0) == blendpass;
    if (draw) groupswitches(group, c);
    for (int k = 0; k < g->groupcounts[i] && p; k++, p = p->next) {
      if (!draw || (p->rflags & WTR_INVISIBLE)) continue;
      bool front = frontfacing(p, c);
      if (front || (p->flags & WTP_TWOSIDED))
        emitpoly(p, t, group | (blendpass ? WTGL_BLENDED : 0), front, c);
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
  setcap(c, WTGL_LIT, GL_LIGHTING, false);
  setcap(c, WTGL_TEXTURED, GL_TEXTURE_2D, false);
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
  setcap(c, WTGL_COLORMAT, GL_COLOR_MATERIAL, false);
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
    if ((mask & WTOPACITY) && (c->flags & WTGL_BLENDED)) c->opacity = v[3];
  }
  c->material = -1;
}

void boxitem(WTdrawstate *s, int32_t index, WTglcache *c) {
  setcap(c, WTGL_LIT, GL_LIGHTING, false);
  setcap(c, WTGL_TEXTURED, GL_TEXTURE_2D, false);
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
  setcap(c, WTGL_LIT, GL_LIGHTING, false);
  setcap(c, WTGL_TEXTURED, GL_TEXTURE_2D, false);
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
      case WTITEM_BOX: if (!(c->flags & WTGL_BLENDED)) boxitem(s, item.index, c); break;
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

void lightsoff(uint8_t lights) {
  for (int i = 0; i < 8; i++)
    if (lights & (1u << i)) glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
}

void blackmaterial() {
  const float black[4] = {0, 0, 0, 1};
  for (GLenum e : {GL_DIFFUSE, GL_AMBIENT, GL_SPECULAR, GL_EMISSION}) glMaterialfv(GL_FRONT_AND_BACK, e, black);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
}

void runlists(WTdrawstate *s) {
  WTglcache *c = &s->cache;
  int32_t current = 0;
  const WTlistpasses order = _WTdrawstate_passes(s);
  if (order.opaque) {
    c->opacity = 1.0f;
    execute(s, s->opaque, current);
    lightsoff(order.lights);
  }
  if (order.blended) {
    c->passbit <<= 8;
    c->flags |= WTGL_BLENDED;
    glEnable(GL_BLEND);
    setcap(c, WTGL_COLORMAT, GL_COLOR_MATERIAL, false);
    blackmaterial();
    glDisable(GL_FOG);
    if (order.sort) _WTdrawstate_sortblended(s);
    execute(s, s->blended, current);
    lightsoff(order.lights);
    glDisable(GL_BLEND);
    c->flags &= ~WTGL_BLENDED;
  }
  glDisable(GL_FOG);
}

// ---- Lights ----------------------------------------------------------------------------------

void compilelight(WTrendercontext *rc, int slot) {
  const WTlightvalues v = _WTlight_values(rc->slots[slot]);
  GLenum n = static_cast<GLenum>(GL_LIGHT0 + slot);
  glNewList(rc->lightlists + static_cast<uint32_t>(slot), GL_COMPILE);
  if (v.attenuated) {
    glLightf(n, GL_CONSTANT_ATTENUATION, v.attenuation[0]);
    glLightf(n, GL_LINEAR_ATTENUATION, v.attenuation[1]);
    glLightf(n, GL_QUADRATIC_ATTENUATION, v.attenuation[2]);
  }
  if (v.spot) glLightfv(n, GL_SPOT_DIRECTION, v.direction);
  glLightf(n, GL_SPOT_CUTOFF, v.cutoff);
  if (v.spot) glLightf(n, GL_SPOT_EXPONENT, v.exponent);
  const GLenum names[3] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR};
  for (int i = 0; i < 3; i++) glLightfv(n, names[i], v.colours[i]);
  glLightfv(n, GL_POSITION, v.position);
  glEndList();
}

void sethints(uint32_t flags) {
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, (flags & 32) ? GL_NICEST : GL_FASTEST);
  if (flags & 16) glEnable(GL_LINE_SMOOTH); else glDisable(GL_LINE_SMOOTH);
}

void updatelights(uint32_t flags) {
  WTrendercontext *rc = _WTrender_context();
  const WTlightplan plan = _WTlight_planlists(rc);
  for (int d = 0; d < _WTdisplay_count(); d++) {
    if (!_WTdisplay_get(d)->usable) continue;
    _WTdisplay_makecurrent(d);
    if (flags != lastflags) sethints(flags);
    for (int i = 0; i < 8; i++)
      if (plan.slots & (1u << i)) compilelight(rc, i);
    if (plan.ambient) {
      glNewList(rc->lightlists + 8, GL_COMPILE);
      glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rc->ambient);
      glEndList();
    }
    _WTtexture_flushqueue(d == rc->maindisplay);
  }
  lastflags = flags;
  _WTlight_listsdone(rc);
}

// ---- Eye passes ------------------------------------------------------------------------------

void beginview(WTwindow *w, int eye) {
  WTdrawstate *s = w->state;
  uint8_t flags = _WTuniverse_getrendering();
  _WTdrawstate_reset(s, _WTrender_style(flags));
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
  _WTglcache_reset(&s->cache, w, flags);
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
  glShadeModel((flags & 8) ? GL_SMOOTH : GL_FLAT);
}

void endview(WTwindow *w, int eye) {
  WTdrawstate *s = w->state;
  if (s->cache.flags & WTGL_TEXGEN) glDisable(GL_TEXTURE_GEN_S), glDisable(GL_TEXTURE_GEN_T);
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

void colormask(int8_t mask) {
  glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
}

void drawpass(WTwindow *w, const WTeyepass &p) {
  if (p.setviewport) glViewport(p.viewport.x, p.viewport.y, p.viewport.width, p.viewport.height);
  if (p.colormask >= 0) colormask(p.colormask);
  if (p.buffer != WTBUFFER_BACK)
    glDrawBuffer(p.buffer == WTBUFFER_BACKLEFT ? GL_BACK_LEFT : GL_BACK_RIGHT);
  if (p.stencil != WTSTENCIL_NONE)
    glStencilFunc(p.stencil == WTSTENCIL_INSIDE ? GL_EQUAL : GL_NOTEQUAL, 1, 1);
  if (p.cleardepth) glClear(GL_DEPTH_BUFFER_BIT);
  eyepass(w, p.eye);
}

void passes(WTwindow *w, WTviewport v) {
  const WTpassplan plan =
      _WTwindow_planpasses(w->displaymode, w->eye, v, _WTrender_context()->splitgap, stencilon);
  if (plan.disablestencil) glDisable(GL_STENCIL_TEST);
  if (plan.enablestencil) glEnable(GL_STENCIL_TEST);
  if (plan.keepstencil) glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  for (int i = 0; i < plan.count; i++) drawpass(w, plan.pass[i]);
  if (plan.maskafter >= 0) colormask(plan.maskafter);
  stencilon = plan.stencilon != 0;
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
  _WTmask_bytes(_WTwindow_maskpattern(w, vx, vy), mask);
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

void clearwindow(WTwindow *w) {
  glViewport(0, 0, w->width, w->height);
  glClearColor(((w->bgcolor >> 16) & 255) / 255.0f, ((w->bgcolor >> 8) & 255) / 255.0f,
               (w->bgcolor & 255) / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawwindow(WTwindow *w, const WTwindowframe &f) {
  _WTwindow_makecurrent(w);
  glDrawBuffer(GL_BACK);
  if (f.top) clearwindow(w);
  const WTviewport &v = f.viewport;
  glViewport(v.x, v.y, v.width, v.height);
  if (f.stencilmask) stencilmask(w, v.x, v.y), stencilon = true;
  passes(w, v);
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
    if (c->flags & WTGL_FACES) {
      if (c->flags & WTGL_TWOSIDED) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0), c->flags &= ~WTGL_TWOSIDED;
      else glDisable(GL_CULL_FACE);
      c->flags &= ~WTGL_FACES;
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
    const WTwindowframe f = _WTwindow_beginframe(w);
    if (!f.draw) continue;
    if (f.top) swaps.push_back(w);
    drawwindow(w, f);
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
