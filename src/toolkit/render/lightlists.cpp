// What the light slots' display lists hold and which of them a frame compiles again.
#include "toolkit/render/drawplan.h"

namespace {

void scaledcolour(const float *rgb, float intensity, float *out) {
  for (int i = 0; i < 3; i++) out[i] = rgb[i] * intensity;
  out[3] = 1.0f;
}

}  // namespace

extern "C" {

WTlightplan _WTlight_planlists(const WTrendercontext *rc) {
  WTlightplan p = {};
  for (int i = 0; i < 8; i++)
    if (rc->slots[i] && !rc->slotvalid[i]) p.slots |= static_cast<uint8_t>(1u << i);
  p.ambient = !rc->ambientvalid;
  return p;
}

void _WTlight_listsdone(WTrendercontext *rc) {
  for (int i = 0; i < 8; i++)
    if (rc->slots[i]) rc->slotvalid[i] = 1;
  rc->ambientvalid = 1;
}

// A directed light shines from minus its direction at infinity; point and spot lights stand at
// their position and fade with distance; only a spot light narrows its cone.
WTlightvalues _WTlight_values(const WTlight *l) {
  WTlightvalues v = {};
  const bool directed = l->kind == 0;
  v.attenuated = !directed;
  v.spot = l->kind == 2;
  for (int i = 0; i < 3; i++) {
    v.attenuation[i] = l->attenuation[i];
    v.direction[i] = l->direction[i];
    v.position[i] = directed ? -l->direction[i] : l->position[i];
  }
  v.position[3] = directed ? 0.0f : 1.0f;
  v.cutoff = v.spot ? l->angle * 180.0f / 3.1415927f : 180.0f;
  v.exponent = l->exponent;
  scaledcolour(l->ambient, l->intensity, v.colours[0]);
  scaledcolour(l->diffuse, l->intensity, v.colours[1]);
  scaledcolour(l->specular, l->intensity, v.colours[2]);
  return v;
}
}
