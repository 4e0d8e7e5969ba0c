// The frame's decisions per window: whether it is drawn, its viewport, the eye passes of its
// display mode and the interleave mask; and the order of the render list's two passes.
#include "toolkit/core/universe.h"
#include "toolkit/render/drawplan.h"
#include "toolkit/render/view.h"

namespace {

const int8_t kKeepMask = -1;
const int8_t kRed = 1, kBlue = 4, kRGB = 7;

bool drawable(WTwindow *w) {
  WTwindow *p = _WTwindow_liveparent(w);
  return p && (p->statebits & 1) && w->enabled && p->enabled;
}

// A moved or resized top window marks its sub-windows, which are drawn after it.
void marksubwindows(WTwindow *w) {
  for (WTwindow *s = *_WTuniverse_windowslot(); s; s = s->next)
    if (s->parent == w && s != w) s->statebits |= 32;
}

WTviewport viewportof(const WTwindow *w) {
  const WTwindow *p = w->parent;
  return {static_cast<int>(p->width * w->viewport[0]), static_cast<int>(p->height * w->viewport[2]),
          static_cast<int>(p->width * w->viewport[1]), static_cast<int>(p->height * w->viewport[3])};
}

WTeyepass eyepass(int eye) {
  WTeyepass p = {};
  p.eye = eye;
  p.colormask = kKeepMask;
  return p;
}

bool interleaved(uint32_t mode) {
  return mode == 0x1000 || mode == 0x3000 || mode == 0x5000 || mode == 0x7000;
}

void splitpasses(WTpassplan *plan, WTviewport v, int gap) {
  WTsplit s = _WTviewport_split(v, gap);
  plan->pass[0].setviewport = plan->pass[1].setviewport = 1;
  plan->pass[0].viewport = s.upper;
  plan->pass[1].viewport = s.lower;
}

void anaglyphpasses(WTpassplan *plan) {
  plan->pass[0].colormask = kRed;
  plan->pass[1].colormask = kBlue;
  plan->pass[1].cleardepth = 1;
  plan->maskafter = kRGB;
}

void quadpasses(WTpassplan *plan) {
  plan->pass[0].buffer = WTBUFFER_BACKLEFT;
  plan->pass[1].buffer = WTBUFFER_BACKRIGHT;
  plan->pass[1].cleardepth = 1;
}

void interleavepasses(WTpassplan *plan, bool on) {
  plan->enablestencil = !on;
  plan->keepstencil = 1;
  plan->pass[0].stencil = WTSTENCIL_OUTSIDE;
  plan->pass[1].stencil = WTSTENCIL_INSIDE;
  plan->stencilon = 1;
}

}  // namespace

extern "C" {

WTwindowframe _WTwindow_beginframe(WTwindow *w) {
  WTwindowframe f = {};
  w->projkey = 0;
  w->npolys = 0;
  if (!drawable(w)) return f;
  f.draw = 1;
  f.top = !w->subwindow;
  if (f.top && (w->statebits & 32)) marksubwindows(w);
  f.viewport = viewportof(w);
  if (w->statebits & 32) {
    w->statebits &= ~32u;
    f.stencilmask = (w->displaymode & 0x1000) != 0;
  }
  return f;
}

WTpassplan _WTwindow_planpasses(uint32_t mode, int eye, WTviewport v, int gap, int stencilon) {
  WTpassplan plan = {};
  plan.pass[0] = eyepass(0);
  plan.pass[1] = eyepass(1);
  plan.maskafter = kKeepMask;
  plan.disablestencil = stencilon && !(mode & 0x1000);
  plan.stencilon = stencilon && !plan.disablestencil;
  plan.count = 2;
  if (mode == 1) {
    plan.count = 1;
    plan.pass[0].eye = eye;
  } else if (mode == 4) {
    splitpasses(&plan, v, gap);
  } else if (mode == 8) {
    anaglyphpasses(&plan);
  } else if (mode == 32) {
    quadpasses(&plan);
  } else if (interleaved(mode)) {
    interleavepasses(&plan, stencilon != 0);
  } else {
    plan.count = 0;
  }
  return plan;
}

WTsplit _WTviewport_split(WTviewport v, int gap) {
  int half = (v.height - gap) / 2;
  return {{v.x, v.y + half + gap, v.width, half}, {v.x, v.y, v.width, half}};
}

WTmaskpattern _WTwindow_maskpattern(const WTwindow *w, int vx, int vy) {
  uint32_t m = w->displaymode;
  bool rows = m == 0x1000 || m == 0x3000;
  bool odd = rows ? ((w->y + w->height - 1 - vy) & 1) != 0 : ((w->x + vx) & 1) != 0;
  bool first = (m == 0x1000 || m == 0x5000) ? odd : !odd;
  if (rows) return first ? WTMASK_R0 : WTMASK_R1;
  return first ? WTMASK_C0 : WTMASK_C1;
}

void _WTmask_bytes(WTmaskpattern pattern, uint8_t bytes[128]) {
  for (int i = 0; i < 128; i++) {
    bool evenrow = ((i / 4) & 1) == 0;
    switch (pattern) {
      case WTMASK_R0: bytes[i] = evenrow ? 0xFF : 0x00; break;
      case WTMASK_R1: bytes[i] = evenrow ? 0x00 : 0xFF; break;
      case WTMASK_C0: bytes[i] = 0xAA; break;
      case WTMASK_C1: bytes[i] = 0x55; break;
    }
  }
}

WTlistpasses _WTdrawstate_passes(const WTdrawstate *s) {
  WTlistpasses p = {};
  p.opaque = s->nopaque != 0;
  p.blended = s->nblended != 0;
  p.sort = s->nblended >= 2 && _WTuniverse_getoption(19) > 0;
  p.lights = s->levels.empty() ? 0 : s->levels[0].lights;
  return p;
}
}
