// Polygon classification and the motion-constraint filters that sensors, movables and motion
// links apply to new transforms.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"

namespace {

double approx(const double v[3]) {
  double x = fabs(v[0]), y = fabs(v[1]), z = fabs(v[2]);
  double m = x > y ? (x > z ? x : z) : (y > z ? y : z);
  return (x + y + z + 1.4142135 * m) * 0.41421357;
}

const float kPi = WTPI, kHalfPi = WTPI_2, kTwoPi = WT2PI;

bool inrange(float v, double lo, double hi) { return v >= lo && v <= hi; }

// Angle of the direction (u, z) as the constraint filter measures it about an axis.
float anglefor(float u, float z, bool aboutx) {
  if (z == 0) {
    if (u == 0) return 0;
    if (aboutx) return u > 0 ? 4.712389f : 1.5707964f;
    return u > 0 ? 1.5707964f : 4.712389f;
  }
  if (u == 0 && z < 0) return kPi;
  float t = atanf(u / z);
  if (aboutx) {
    if (z > 0) return u >= 0 ? kTwoPi - t : -t;
    return u < 0 ? kPi - fabsf(t) : fabsf(t) + kPi;
  }
  if (z > 0) return u >= 0 ? t : t + kTwoPi;
  return u < 0 ? t + kPi : kPi - fabsf(t);
}

int component(int kind) { return kind == 1 || kind == 8 ? 0 : (kind == 2 || kind == 16 ? 1 : 2); }

}  // namespace

extern "C" {

int _WTpoly_classifypoints(const WTp3 *points, int n, WTp3 normal) {
  if (n < 3) return 1;
  double sum[3] = {0, 0, 0}, centroid[3] = {0, 0, 0}, first[3] = {0, 0, 0};
  bool havefirst = false, concave = false;
  for (int i = 0; i < n; i++) {
    const float *a = points[i], *b = points[(i + 1) % n], *c = points[(i + 2) % n];
    double e1[3], e2[3], cr[3];
    for (int k = 0; k < 3; k++) {
      e1[k] = static_cast<double>(b[k]) - a[k];
      e2[k] = static_cast<double>(c[k]) - b[k];
      centroid[k] += a[k];
    }
    cr[0] = e1[1] * e2[2] - e1[2] * e2[1];
    cr[1] = e1[2] * e2[0] - e1[0] * e2[2];
    cr[2] = e1[0] * e2[1] - e1[1] * e2[0];
    if (n > 4) {
      // Each corner adds its turning angle.
      double len = approx(cr);
      if (len < 1e-8) continue;
      double r = len / (approx(e1) * approx(e2));
      r = r > 1 ? 1 : (r < -1 ? -1 : r);
      for (int k = 0; k < 3; k++) cr[k] *= asin(r) / len;
    }
    if (cr[0] != 0 || cr[1] != 0 || cr[2] != 0) {
      if (!havefirst) {
        memcpy(first, cr, sizeof first);
        havefirst = true;
      } else if (cr[0] * first[0] + cr[1] * first[1] + cr[2] * first[2] < 0) {
        concave = true;
      }
    }
    for (int k = 0; k < 3; k++) sum[k] += cr[k];
  }
  if (sum[0] == 0 && sum[1] == 0 && sum[2] == 0) {
    if (havefirst)
      memcpy(sum, first, sizeof sum);
    else
      sum[0] = 1;
  }
  double len = sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  for (int k = 0; k < 3; k++) normal[k] = static_cast<float>(sum[k] / len);
  if (n == 3) return 1;
  double d = 0;
  for (int k = 0; k < 3; k++) d += centroid[k] / n * normal[k];
  for (int i = 0; i < n; i++) {
    double dp = static_cast<double>(normal[0]) * points[i][0] +
                static_cast<double>(normal[1]) * points[i][1] +
                static_cast<double>(normal[2]) * points[i][2];
    if (fabs(d - dp) > 0.004) return 0;
  }
  return concave ? 2 : 1;
}

void _WTp3_constrainangle(WTp3 v, int axis, float min, float max, float angle) {
  if (axis != 0 && axis != 1) return;
  if (min <= 0) {
    float oldmax = max;
    min += kTwoPi;
    max += kTwoPi;
    if (angle < min &&
        ((max < angle + kTwoPi && angle - oldmax < min - angle) || max >= angle + kTwoPi))
      angle += kTwoPi;
  }
  float limit;
  bool atmin;
  if (angle > max) {
    limit = max;
    atmin = false;
  } else if (angle < min) {
    limit = min;
    atmin = true;
  } else {
    return;
  }
  const float wholes[4] = {kPi, kTwoPi, 3 * kPi, 4 * kPi};
  const float halves[4] = {kHalfPi, 3 * kHalfPi, 5 * kHalfPi, 7 * kHalfPi};
  const double pi = kPi;
  const double ranges[4][2] = {{pi / 4, 3 * pi / 4},
                               {5 * pi / 4, 7 * pi / 4},
                               {9 * pi / 4, 11 * pi / 4},
                               {13 * pi / 4, 15 * pi / 4}};
  int tested = atmin ? 2 : 4;
  float &u = axis == 0 ? v[1] : v[0];
  float &z = v[2];
  for (int i = 0; i < tested; i++)
    if (limit == wholes[i]) {
      u = 0;
      return;
    }
  for (int i = 0; i < tested; i++)
    if (limit == halves[i]) {
      z = 0;
      return;
    }
  float slope = tanf(kHalfPi - limit);
  for (int i = 0; i < tested; i++)
    if (inrange(limit, ranges[i][0], ranges[i][1])) {
      z = axis == 0 ? fabsf(u) * slope : slope * u;
      return;
    }
  u = axis == 0 ? -z / slope : z / slope;
}

int _WTm4_constrain(const WTm4 in, WTm4 out, int n, const WTconstraint *list) {
  if (n == 0 || !list) return 2;
  WTpq pose;
  WTm4_2pq(in, &pose);
  WTp3 d;
  float roll;
  _WTq_2dirroll(pose.q, d, &roll);
  for (int i = 0; i < n; i++) {
    const WTconstraint &c = list[i];
    if (c.kind == 8)
      _WTp3_constrainangle(d, 0, c.min, c.max, anglefor(d[1], d[2], true));
    else if (c.kind == 16)
      _WTp3_constrainangle(d, 1, c.min, c.max, anglefor(d[0], d[2], false));
    else if (c.kind == 32) {
      if (-roll > c.max)
        roll = -c.max;
      else if (-roll < c.min)
        roll = -c.min;
    }
  }
  _WTdirroll_2q(d, -roll, pose.q);
  for (int i = 0; i < n; i++) {
    const WTconstraint &c = list[i];
    if (c.kind != 1 && c.kind != 2 && c.kind != 4) continue;
    float &p = pose.p[component(c.kind)];
    if (p < c.min) p = c.min;
    if (p > c.max) p = c.max;
  }
  _WTpq_2m4(&pose, out);
  return 3;
}

int _WTm4_checkconstraints(const WTm4 m, unsigned char position[3], unsigned char eulerset[2],
                           int n, const WTconstraint *list) {
  unsigned char pos[3] = {0, 0, 0}, sets[2] = {0, 0};
  WTm3 block;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) block[i][j] = m[i][j];
  WTp3 angles[2];
  _WTm3_2euler(block, angles[0], angles[1]);
  for (int i = 0; list && i < n; i++) {
    const WTconstraint &c = list[i];
    int k = component(c.kind);
    if (c.kind == 1 || c.kind == 2 || c.kind == 4) {
      if (m[3][k] < c.min || m[3][k] > c.max) pos[k] = 1;
    } else if (c.kind == 8 || c.kind == 16 || c.kind == 32) {
      for (int s = 0; s < 2; s++)
        if (angles[s][k] < c.min || angles[s][k] > c.max) sets[s] = 1;
    }
  }
  if (position) memcpy(position, pos, sizeof pos);
  if (eulerset) memcpy(eulerset, sets, sizeof sets);
  return !pos[0] && !pos[1] && !pos[2] && (!sets[0] || !sets[1]) ? 0 : 1;
}

void _WTeuler_constrain(const WTp3 in, WTp3 out, int n, const WTconstraint *list) {
  const WTconstraint *ka = nullptr, *kb = nullptr, *kc = nullptr;
  for (int i = 0; list && i < n; i++) {
    if (list[i].kind == 8) ka = &list[i];
    if (list[i].kind == 16) kb = &list[i];
    if (list[i].kind == 32) kc = &list[i];
  }
  float a = in[0], b = in[1], c = in[2];
  if (kb && (b < kb->min || b > kb->max)) {
    float limit = b < kb->min ? kb->min : kb->max;
    float na = cosf(b) * a;
    if (fabsf(fabsf(limit) - kPi) > 1e-6f) na /= cosf(limit);
    c = sinf(b) * a + c - sinf(limit) * na;
    a = na;
    b = limit;
  }
  if (ka && (a < ka->min || a > ka->max)) {
    float limit = a < ka->min ? ka->min : ka->max;
    c = c - sinf(b) * (limit - a);
    a = limit;
  }
  if (kc) {
    if (c < kc->min) c = kc->min;
    if (c > kc->max) c = kc->max;
  }
  out[0] = a;
  out[1] = b;
  out[2] = c;
}

int _WTmath_compareoptional(float a1, float b1, float a2, float b2) {
  auto combine = [](float x, float y) {
    if (x == -1.0f) return y;
    if (y == -1.0f) return x;
    return x + y;
  };
  float a = combine(a1, a2), b = combine(b1, b2);
  return b != -1.0f && a > b ? 1 : 0;
}
}
