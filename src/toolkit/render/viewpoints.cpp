// Viewpoints: the cameras windows look through, with their own projection values and stereo
// parameters.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"
#include "toolkit/render/view.h"

namespace {

bool nearzero(const float *q) {
  return fabsf(q[0]) < 0.004f && fabsf(q[1]) < 0.004f && fabsf(q[2]) < 0.004f &&
         fabsf(q[3]) < 0.004f;
}

void updatedirection(WTviewpoint *v) {
  _WTq_2dir(v->orientation, v->direction);
  _WTuniverse_scenechanged();
}

// Fires the pre-handlers, stores, fires the post-handlers; false on a veto.
bool setwithevents(WTviewpoint *v, const char *property, float *field, const float *value, int n) {
  if (!WTproperty_firehandlers_pre(v, property)) return false;
  memcpy(field, value, sizeof(float) * size_t(n));
  updatedirection(v);
  WTproperty_firehandlers(v, property, field);
  return true;
}

void unlinkviewpoint(WTviewpoint *viewpoint) {
  for (WTviewpoint **p = _WTuniverse_viewpointslot(); p && *p; p = &(*p)->next)
    if (*p == viewpoint) {
      *p = viewpoint->next;
      return;
    }
}

}  // namespace

extern "C" {

WTviewpoint *WTviewpoint_new(void) {
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  if (!slot) return nullptr;
  WTviewpoint *v = static_cast<WTviewpoint *>(_WTmem_alloc(sizeof(WTviewpoint)));
  memset(v, 0, sizeof *v);
  v->tag = 31;
  v->orientation[3] = v->prevorientation[3] = v->eyerotation[3] = 1.0f;
  v->aspect = 1.0f;
  v->projection = 1;
  v->convergencedist = 100.0f;
  v->eyemode = -1;
  float angle, hither, yon;
  _WTuniverse_getviewdefaults(&angle, &hither, &yon);
  v->hither = hither;
  v->yon = yon;
  _WTviewpoint_setviewangle(v, angle);
  _WTq_2dir(v->orientation, v->direction);
  v->next = *slot;
  *slot = v;
  WTviewpoint **current = _WTuniverse_currentviewpointslot();
  if (current && !*current) *current = v;
  return v;
}

void _WTviewpoint_delete(WTviewpoint *viewpoint) {
  if (!viewpoint) return;
  _WTmotionlink_deleteall(viewpoint);
  _WTbase_calldeleted(viewpoint);
  WTbase_deleteproperties(viewpoint);
  unlinkviewpoint(viewpoint);
  WTviewpoint **current = _WTuniverse_currentviewpointslot();
  if (current && *current == viewpoint) *current = nullptr;
  _WTwindow_forgetviewpoint(viewpoint);
  _WTsound_forgetviewpoint(viewpoint);
  _WTmem_free(viewpoint->name);
  _WTmem_free(viewpoint);
}

void WTviewpoint_delete(WTviewpoint *viewpoint) {
  WTviewpoint **current = _WTuniverse_currentviewpointslot();
  if (!viewpoint || (current && *current == viewpoint)) return;
  _WTviewpoint_delete(viewpoint);
}

void _WTviewpoint_deleteall(void) {
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  while (slot && *slot) _WTviewpoint_delete(*slot);
}

void _WTviewpoint_setviewangle(WTviewpoint *viewpoint, float halfangle) {
  if (!viewpoint || halfangle < 0.004f || halfangle > 1.5667964f) return;
  viewpoint->viewtangent = tanf(halfangle);
  viewpoint->overrides[3] = 1;
}

float _WTviewpoint_getviewangle(WTviewpoint *viewpoint) {
  return viewpoint ? atanf(viewpoint->viewtangent) : 0.0f;
}

void _WTviewpoint_setprojection(WTviewpoint *viewpoint, int code) {
  if (!viewpoint || code < 1 || code > 4) return;
  viewpoint->projection = static_cast<uint16_t>(code);
  viewpoint->overrides[0] = 1;
}

int _WTviewpoint_getprojection(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->projection : 0; }

void _WTviewpoint_sethither(WTviewpoint *viewpoint, float hither) {
  if (!viewpoint) return;
  viewpoint->hither = hither > 0.004f ? hither : 0.004f;
  viewpoint->overrides[1] = 1;
}

void _WTviewpoint_setyon(WTviewpoint *viewpoint, float yon) {
  if (!viewpoint) return;
  float least = viewpoint->hither + 0.004f;
  viewpoint->yon = yon > least ? yon : least;
  viewpoint->overrides[2] = 1;
}

void WTviewpoint_setdata(WTviewpoint *viewpoint, void *data) {
  if (viewpoint) viewpoint->data = data;
}

void *WTviewpoint_getdata(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->data : nullptr; }

void WTviewpoint_setname(WTviewpoint *viewpoint, const char *name) {
  if (!viewpoint || _WTbase_callisnamestored(viewpoint)) return;
  _WTmem_free(viewpoint->name);
  viewpoint->name = name ? _WTmem_strdup(name) : nullptr;
}

const char *WTviewpoint_getname(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->name : nullptr; }

void _WTviewpoint_sethaseventhandlers(WTviewpoint *viewpoint, int flag) {
  if (viewpoint) viewpoint->hashandlers = static_cast<unsigned char>(flag);
}

int _WTviewpoint_gethaseventhandlers(WTviewpoint *viewpoint) {
  return viewpoint ? viewpoint->hashandlers : 0;
}

WTviewpoint *WTuniverse_findviewpoint(const char *name, int n) {
  if (!name) return nullptr;
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  for (WTviewpoint *v = slot ? *slot : nullptr; v; v = v->next)
    if (v->name && strncmp(v->name, name, count) == 0) return v;
  return nullptr;
}

WTviewpoint *WTviewpoint_next(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->next : nullptr; }

int WTviewpoint_setposition(WTviewpoint *viewpoint, const WTp3 p) {
  if (!viewpoint || !p) return 0;
  if (memcmp(viewpoint->position, p, sizeof(WTp3)) == 0) return 1;
  return setwithevents(viewpoint, "Position", viewpoint->position, p, 3);
}

int WTviewpoint_getposition(WTviewpoint *viewpoint, WTp3 p) {
  if (!p) return 0;
  if (!viewpoint) {
    memset(p, 0, sizeof(WTp3));
    return 0;
  }
  memcpy(p, viewpoint->position, sizeof(WTp3));
  return 1;
}

int WTviewpoint_setorientation(WTviewpoint *viewpoint, const WTq q) {
  if (!viewpoint || !q) return 0;
  if (nearzero(q)) {
    _WTmsg_warning("Invalid quaternion passed to WTviewpoint_setorientation.\n");
    return 0;
  }
  if (memcmp(viewpoint->orientation, q, sizeof(WTq)) == 0) return 1;
  return setwithevents(viewpoint, "Orientation", viewpoint->orientation, q, 4);
}

int WTviewpoint_getorientation(WTviewpoint *viewpoint, WTq q) {
  if (!q) return 0;
  if (!viewpoint) {
    q[0] = q[1] = q[2] = 0.0f, q[3] = 1.0f;
    return 0;
  }
  memcpy(q, viewpoint->orientation, sizeof(WTq));
  return 1;
}

int WTviewpoint_getdirection(WTviewpoint *viewpoint, WTp3 d) {
  if (!d) return 0;
  if (!viewpoint) {
    memset(d, 0, sizeof(WTp3));
    return 0;
  }
  memcpy(d, viewpoint->direction, sizeof(WTp3));
  return 1;
}

int WTviewpoint_translate(WTviewpoint *viewpoint, const WTp3 v, int frame) {
  if (!viewpoint || !v || (v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f)) return 0;
  WTp3 d;
  if (frame == 1)
    memcpy(d, v, sizeof d);
  else if (frame == 0 || frame == 2)
    _WTq_rotatepoint(v, viewpoint->orientation, d);
  else
    return 0;
  WTp3 p = {viewpoint->position[0] + d[0], viewpoint->position[1] + d[1],
            viewpoint->position[2] + d[2]};
  return WTviewpoint_setposition(viewpoint, p);
}

int WTviewpoint_rotate(WTviewpoint *viewpoint, int axis, float angle, int frame) {
  if (!viewpoint || angle == 0.0f || axis < 0 || axis > 2) return 0;
  WTq r = {0.0f, 0.0f, 0.0f, cosf(angle / 2.0f)}, q;
  r[axis] = sinf(-angle / 2.0f);
  if (frame == 1)
    _WTq_multiply(viewpoint->orientation, r, q);
  else if (frame == 0 || frame == 2)
    _WTq_multiply(r, viewpoint->orientation, q);
  else
    return 0;
  return WTviewpoint_setorientation(viewpoint, q);
}

int WTviewpoint_setaspect(WTviewpoint *viewpoint, float aspect) {
  if (!viewpoint || aspect < 0.004f) return 0;
  if (!WTproperty_firehandlers_pre(viewpoint, "AspectRatio")) return 0;
  viewpoint->aspect = aspect;
  WTproperty_firehandlers(viewpoint, "AspectRatio", &viewpoint->aspect);
  return 1;
}

float WTviewpoint_getaspect(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->aspect : 1.0f; }

int WTviewpoint_setparallax(WTviewpoint *viewpoint, float parallax) {
  if (!viewpoint || !WTproperty_firehandlers_pre(viewpoint, "Parallax")) return 0;
  viewpoint->parallax = parallax;
  _WTuniverse_scenechanged();
  WTproperty_firehandlers(viewpoint, "Parallax", &viewpoint->parallax);
  return 1;
}

float WTviewpoint_getparallax(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->parallax : 0.0f; }

int WTviewpoint_setconvergence(WTviewpoint *viewpoint, int c) {
  if (!viewpoint || !WTproperty_firehandlers_pre(viewpoint, "Convergence")) return 0;
  viewpoint->convergence = viewpoint->convergenceineffect = static_cast<int16_t>(c);
  _WTuniverse_scenechanged();
  WTproperty_firehandlers(viewpoint, "Convergence", &c);
  return 1;
}

int WTviewpoint_getconvergence(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->convergence : 0; }

int WTviewpoint_setconvergencedist(WTviewpoint *viewpoint, float d) {
  if (!viewpoint || !WTproperty_firehandlers_pre(viewpoint, "ConvergenceDist")) return 0;
  viewpoint->convergencedist = d < 0.004f ? 0.004f : d;
  _WTuniverse_scenechanged();
  WTproperty_firehandlers(viewpoint, "ConvergenceDist", &viewpoint->convergencedist);
  return 1;
}

float WTviewpoint_getconvergencedist(WTviewpoint *viewpoint) {
  return viewpoint ? viewpoint->convergencedist : 0.0f;
}

void _WTviewpoint_seteyeoffset(WTviewpoint *viewpoint, const WTp3 offset, const WTq rotation, int mode) {
  if (!viewpoint || !offset || !rotation || mode < 0 || mode > 2) return;
  memcpy(viewpoint->eyeoffset, offset, sizeof(WTp3));
  memcpy(viewpoint->eyerotation, rotation, sizeof(WTq));
  viewpoint->eyemode = static_cast<int16_t>(mode);
}

void _WTviewpoint_getm4(WTviewpoint *viewpoint, WTm4 m, int eye) {
  if (!viewpoint || !m) return;
  _WTq_2m4(viewpoint->orientation, m);
  for (int i = 0; i < 3; i++) m[3][i] = viewpoint->position[i];
  if (eye)
    for (int i = 0; i < 3; i++) m[3][i] += viewpoint->parallax * m[0][i];
  m[0][3] = m[1][3] = m[2][3] = 0.0f;
  m[3][3] = 1.0f;
}
}
