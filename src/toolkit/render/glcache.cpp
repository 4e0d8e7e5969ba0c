// The state cache an eye pass starts from, and what a loaded matrix tells the polygon emitter.
#include <string.h>

#include "toolkit/core/universe.h"
#include "toolkit/render/drawplan.h"
#include "toolkit/render/view.h"

extern "C" {

uint8_t _WTrender_style(uint8_t rendering) {
  return (rendering & 128) ? static_cast<uint8_t>(rendering & (16 | 128)) : rendering;
}

void _WTglcache_reset(WTglcache *c, WTwindow *w, uint8_t rendering) {
  memset(c, 0, sizeof *c);
  c->style = _WTrender_style(rendering);
  c->material = -1;
  c->maxprims = _WTrender_settings()->maxprims;
  c->opacity = 1.0f;
  c->passbit = 1u << w->display;
  c->flags = WTGL_LIT | ((rendering & 8) ? WTGL_SMOOTH : 0);
  c->projection = _WTwindow_effectiveprojection(w);
}

// Rows are the matrix's axes: the eye is the translation taken back through them, the view
// axis their third column, both divided by the squared row length.
WTmatrixframe _WTmatrix_frame(const float *m) {
  WTmatrixframe f = {};
  f.unit = 1;
  for (int i = 0; i < 3; i++) {
    const float *row = m + 4 * i;
    float l2 = row[0] * row[0] + row[1] * row[1] + row[2] * row[2];
    if (l2 < 0.95f || l2 > 1.05f) f.unit = 0;
    f.eye[i] = -(m[12] * row[0] + m[13] * row[1] + m[14] * row[2]) / l2;
    f.axis[i] = row[2] / l2;
  }
  return f;
}
}
