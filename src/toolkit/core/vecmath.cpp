// Vector, quaternion and matrix operations.  Points are row vectors (p * M), matrices row-major
// with the translation in row 3, quaternions x, y, z, w with the Hamilton product; a quaternion
// q turns v into conj(q) * v * q.  Arithmetic is done in double and stored as float.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"

namespace {

struct Qd {
  double x, y, z, w;
};

Qd load(const WTq q) { return Qd{q[0], q[1], q[2], q[3]}; }

void store(const Qd &q, WTq out) {
  out[0] = static_cast<float>(q.x);
  out[1] = static_cast<float>(q.y);
  out[2] = static_cast<float>(q.z);
  out[3] = static_cast<float>(q.w);
}

Qd mul(const Qd &a, const Qd &b) {
  return Qd{a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Qd conj(const Qd &q) { return Qd{-q.x, -q.y, -q.z, q.w}; }

Qd pure(const WTp3 v) { return Qd{v[0], v[1], v[2], 0.0}; }

void storenormalised(const Qd &q, WTq out) {
  double len = sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  store(Qd{q.x / len, q.y / len, q.z / len, q.w / len}, out);
}

void storevec(double x, double y, double z, WTp3 out) {
  out[0] = static_cast<float>(x);
  out[1] = static_cast<float>(y);
  out[2] = static_cast<float>(z);
}

double clampunit(double v) { return v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v); }

// conj(q) * v * q
void rotate(const WTp3 v, const Qd &q, double out[3]) {
  Qd r = mul(mul(conj(q), pure(v)), q);
  out[0] = r.x;
  out[1] = r.y;
  out[2] = r.z;
}

void q2m(const Qd &q, double m[3][3]) {
  double x = q.x, y = q.y, z = q.z, w = q.w;
  m[0][0] = 1 - 2 * y * y - 2 * z * z;
  m[0][1] = 2 * x * y - 2 * w * z;
  m[0][2] = 2 * x * z + 2 * w * y;
  m[1][0] = 2 * x * y + 2 * w * z;
  m[1][1] = 1 - 2 * x * x - 2 * z * z;
  m[1][2] = 2 * y * z - 2 * w * x;
  m[2][0] = 2 * x * z - 2 * w * y;
  m[2][1] = 2 * y * z + 2 * w * x;
  m[2][2] = 1 - 2 * x * x - 2 * y * y;
}

void storem3(const double m[3][3], WTm3 out) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = static_cast<float>(m[i][j]);
}

// Quaternion of an orthonormal matrix, negated vector part so that it turns points as p * m.
Qd m2q(const double m[3][3]) {
  double q[4] = {0, 0, 0, 1};
  double t = m[0][0] + m[1][1] + m[2][2];
  if (t > 0) {
    double s = sqrt(t + 1);
    q[3] = s / 2;
    s = 0.5 / s;
    q[0] = (m[1][2] - m[2][1]) * s;
    q[1] = (m[2][0] - m[0][2]) * s;
    q[2] = (m[0][1] - m[1][0]) * s;
  } else {
    static const int next[3] = {1, 2, 0};
    int i = 0;
    if (m[1][1] > m[0][0]) i = 1;
    if (m[2][2] > m[i][i]) i = 2;
    int j = next[i], k = next[j];
    double s = sqrt(m[i][i] - (m[j][j] + m[k][k]) + 1);
    q[i] = s / 2;
    if (s != 0) s = 0.5 / s;
    q[3] = (m[j][k] - m[k][j]) * s;
    q[j] = (m[i][j] + m[j][i]) * s;
    q[k] = (m[k][i] + m[i][k]) * s;
  }
  return Qd{-q[0], -q[1], -q[2], q[3]};
}

double length3(const double v[3]) { return sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Rows r0, r1 made orthonormal and r2 = r0 x r1; false when r0 or r1 is too short, in which
// case the rows hold what was done so far.
bool orthonormalise(double r[3][3]) {
  double l0 = length3(r[0]);
  if (l0 < 0.004) return false;
  for (int k = 0; k < 3; k++) r[0][k] /= l0;
  double d = r[0][0] * r[1][0] + r[0][1] * r[1][1] + r[0][2] * r[1][2];
  for (int k = 0; k < 3; k++) r[1][k] -= d * r[0][k];
  double l1 = length3(r[1]);
  if (l1 < 0.004) return false;
  for (int k = 0; k < 3; k++) r[1][k] /= l1;
  r[2][0] = r[0][1] * r[1][2] - r[0][2] * r[1][1];
  r[2][1] = r[0][2] * r[1][0] - r[0][0] * r[1][2];
  r[2][2] = r[0][0] * r[1][1] - r[0][1] * r[1][0];
  return true;
}

void slerp(const WTq q0, const WTq q1, float t, WTq out, bool shorter) {
  bool near = true, nearopposite = true;
  for (int i = 0; i < 4; i++) {
    if (fabs(static_cast<double>(q0[i]) - q1[i]) > 0.004) near = false;
    if (fabs(static_cast<double>(q0[i]) + q1[i]) > 0.004) nearopposite = false;
  }
  if (near || nearopposite) {
    memcpy(out, q0, sizeof(WTq));
    return;
  }
  Qd a = load(q0), b = load(q1);
  double dot = clampunit(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w);
  double angle = acos(dot);
  if (shorter) {
    double opposite = acos(-dot);
    if (angle > opposite) {
      b = Qd{-b.x, -b.y, -b.z, -b.w};
      angle = opposite;
    }
  }
  double s = sin(angle);
  double f0 = sin((1 - t) * angle) / s, f1 = sin(t * angle) / s;
  store(Qd{a.x * f0 + b.x * f1, a.y * f0 + b.y * f1, a.z * f0 + b.z * f1, a.w * f0 + b.w * f1}, out);
}

// Both Euler sets of a rotation matrix.
void euler(const double m[3][3], WTp3 first, WTp3 second) {
  const double pi = WTPI, halfpi = WTPI_2;
  double b = -atan2(-m[2][0], sqrt(m[0][0] * m[0][0] + m[1][0] * m[1][0]));
  double a, c;
  if (fabs(fabs(b) - halfpi) < 1e-6) {
    c = -atan2(-m[0][1], m[1][1]);
    a = 0;
  } else {
    c = -atan2(m[1][0], m[0][0]);
    a = -atan2(m[2][1], m[2][2]);
  }
  if (first) storevec(a, b, c, first);
  if (second)
    storevec(a >= 0 ? a - pi : a + pi, b >= 0 ? pi - b : -pi - b, c >= 0 ? c - pi : c + pi, second);
}

void eulernear(const double m[3][3], const WTp3 reference, WTp3 out) {
  WTp3 sets[2];
  euler(m, sets[0], sets[1]);
  double distance[2] = {0, 0};
  for (int s = 0; s < 2; s++)
    for (int k = 0; k < 3; k++) {
      double d = fabs(static_cast<double>(sets[s][k]) - reference[k]);
      if (d > WTPI) d = WT2PI - d;
      distance[s] += d;
    }
  memcpy(out, sets[distance[1] < distance[0] ? 1 : 0], sizeof(WTp3));
}

void loadm3(const WTm3 m, double out[3][3]) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = m[i][j];
}

}  // namespace

extern "C" {

void _WTp3_print(const WTp3 v) { _WTmsg_info(" %8.4f %8.4f %8.4f\n", v[0], v[1], v[2]); }

void _WTq_print(const WTq q) { _WTmsg_info(" %8.4f %8.4f %8.4f %8.4f\n", q[0], q[1], q[2], q[3]); }

void _WTpq_print(const WTpq *pose) {
  _WTmsg_info(" p: %8.4f %8.4f %8.4f, q: %8.4f %8.4f %8.4f %8.4f\n", pose->p[0], pose->p[1],
              pose->p[2], pose->q[0], pose->q[1], pose->q[2], pose->q[3]);
}

void _WTp3_cross(const WTp3 a, const WTp3 b, WTp3 out) {
  double ax = a[0], ay = a[1], az = a[2], bx = b[0], by = b[1], bz = b[2];
  storevec(ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx, out);
}

float _WTp3_distance(const WTp3 a, const WTp3 b) {
  double d[3] = {static_cast<double>(a[0]) - b[0], static_cast<double>(a[1]) - b[1],
                 static_cast<double>(a[2]) - b[2]};
  return static_cast<float>(length3(d));
}

float _WTp3_linedistance(const WTp3 p, const WTp3 a, const WTp3 d) {
  double v[3], along = 0;
  for (int k = 0; k < 3; k++) {
    v[k] = static_cast<double>(p[k]) - a[k];
    along += v[k] * d[k];
  }
  for (int k = 0; k < 3; k++) v[k] -= along * d[k];
  return static_cast<float>(length3(v));
}

float _WTp3_approxlengthraw(const WTp3 v) {
  double x = fabs(v[0]), y = fabs(v[1]), z = fabs(v[2]);
  double m = x > y ? (x > z ? x : z) : (y > z ? y : z);
  return static_cast<float>(x + y + z + 1.4142135 * m);
}

float _WTp3_approxlength(const WTp3 v) {
  return static_cast<float>(_WTp3_approxlengthraw(v) * 0.41421357);
}

float _WTp2_approxlength(const WTp2 v) {
  double x = fabs(v[0]), y = fabs(v[1]);
  return static_cast<float>((x + y + 2 * (x > y ? x : y)) / 3);
}

float _WTp3_angletoyaxis(const WTp3 v) { return static_cast<float>(acos(fabs(v[1]))); }

float _WTmath_fabs(float value) { return fabsf(value); }

void _WTq_multiply(const WTq a, const WTq b, WTq out) { storenormalised(mul(load(a), load(b)), out); }

void _WTq_conjmultiply(const WTq a, const WTq b, WTq out) {
  storenormalised(mul(conj(load(a)), load(b)), out);
}

void _WTq_rotatepoint(const WTp3 p, const WTq q, WTp3 out) {
  double r[3];
  rotate(p, load(q), r);
  storevec(r[0], r[1], r[2], out);
}

float _WTq_rotatecoord(const WTp3 p, const WTq q, int index) {
  if (index < 0 || index > 2) return 0;
  double r[3];
  rotate(p, load(q), r);
  return static_cast<float>(r[index]);
}

void _WTq_rotatepointabout(const WTp3 p, const WTq q, WTp3 out, const WTp3 centre) {
  WTp3 local = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
  double r[3];
  rotate(local, load(q), r);
  storevec(r[0] + centre[0], r[1] + centre[1], r[2] + centre[2], out);
}

void _WTpq_invxformpoint(const WTp3 p, const WTpq *pose, WTp3 out) {
  WTp3 local = {p[0] - pose->p[0], p[1] - pose->p[1], p[2] - pose->p[2]};
  Qd q = load(pose->q);
  Qd r = mul(mul(q, pure(local)), conj(q));
  storevec(r.x, r.y, r.z, out);
}

void _WTq_2dir(const WTq q, WTp3 out) {
  double x = q[0], y = q[1], z = q[2], w = q[3];
  storevec(2 * x * z - 2 * y * w, 2 * y * z + 2 * x * w, w * w + z * z - x * x - y * y, out);
}

float _WTq_angle(const WTq q) { return static_cast<float>(2 * acos(clampunit(q[3]))); }

void _WTq_axis(const WTq q, WTp3 out) {
  double s = sin(acos(clampunit(q[3])));
  storevec(q[0] / s, q[1] / s, q[2] / s, out);
}

void _WTaxisangle_2q(WTp3 axis, float angle, WTq out) {
  double a[3] = {axis[0], axis[1], axis[2]};
  double len = length3(a);
  if (len != 0) storevec(a[0] / len, a[1] / len, a[2] / len, axis);
  double s = sin(angle / 2.0);
  store(Qd{axis[0] * s, axis[1] * s, axis[2] * s, cos(angle / 2.0)}, out);
}

void _WTq_scaleangle(const WTq q, WTq out, float t) {
  double a = 2 * acos(clampunit(q[3]));
  if (a == 0) {
    memmove(out, q, sizeof(WTq));
    return;
  }
  double s = sin(a * t / 2) / sin(a / 2);
  store(Qd{q[0] * s, q[1] * s, q[2] * s, cos(a * t / 2)}, out);
}

float *WTq_2m3(const WTq q, WTm3 out) {
  double m[3][3];
  q2m(load(q), m);
  storem3(m, out);
  return &out[0][0];
}

void _WTq_2m4(const WTq q, WTm4 out) {
  double m[3][3];
  q2m(load(q), m);
  memset(out, 0, sizeof(WTm4));
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = static_cast<float>(m[i][j]);
  out[3][3] = 1;
}

void _WTpq_2m4(const WTpq *pose, WTm4 out) {
  WTpq p = *pose;
  _WTq_2m4(p.q, out);
  out[3][0] = p.p[0];
  out[3][1] = p.p[1];
  out[3][2] = p.p[2];
}

void _WTeuler_2q(float a, float b, float c, WTq out) {
  double hx = -a / 2.0, hy = -b / 2.0, hz = -c / 2.0;
  double sx = sin(hx), cx = cos(hx), sy = sin(hy), cy = cos(hy), sz = sin(hz), cz = cos(hz);
  store(Qd{sx * cy * cz - cx * sy * sz, cx * sy * cz + sx * cy * sz, cx * cy * sz - sx * sy * cz,
           cx * cy * cz + sx * sy * sz},
        out);
}

void _WTeuler_2m3(float a, float b, float c, WTm3 out) {
  // Rz(-c) * Ry(-b) * Rx(-a) for column vectors, stored row-major.
  double sa = sin(-a), ca = cos(-a), sb = sin(-b), cb = cos(-b), sc = sin(-c), cc = cos(-c);
  double m[3][3] = {{cc * cb, cc * sb * sa - sc * ca, cc * sb * ca + sc * sa},
                    {sc * cb, sc * sb * sa + cc * ca, sc * sb * ca - cc * sa},
                    {-sb, cb * sa, cb * ca}};
  storem3(m, out);
}

void _WTm3_transpose(const WTm3 m, WTm3 out) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = m[j][i];
}

void _WTm4_transpose(const WTm4 m, WTm4 out) {
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) out[i][j] = m[j][i];
}

void _WTm3_multiply(const WTm3 a, const WTm3 b, WTm3 out) {
  double r[3][3];
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) {
      double s = 0;
      for (int k = 0; k < 3; k++) s += static_cast<double>(a[i][k]) * b[k][j];
      r[i][j] = s;
    }
  storem3(r, out);
}

void _WTm4_multiply(const WTm4 a, const WTm4 b, WTm4 out) {
  double r[4][4];
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) {
      double s = 0;
      for (int k = 0; k < 4; k++) s += static_cast<double>(a[i][k]) * b[k][j];
      r[i][j] = s;
    }
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) out[i][j] = static_cast<float>(r[i][j]);
}

void _WTp3_xformm3(const WTp3 p, const WTm3 m, WTp3 out) {
  double x = p[0], y = p[1], z = p[2];
  storevec(x * m[0][0] + y * m[1][0] + z * m[2][0], x * m[0][1] + y * m[1][1] + z * m[2][1],
           x * m[0][2] + y * m[1][2] + z * m[2][2], out);
}

void _WTp3_xformm4(const WTp3 p, const WTm4 m, WTp3 out) {
  double x = p[0], y = p[1], z = p[2];
  storevec(x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0],
           x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1],
           x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2], out);
}

void _WTp3_rotatem4(const WTp3 p, const WTm4 m, WTp3 out) {
  double x = p[0], y = p[1], z = p[2];
  storevec(x * m[0][0] + y * m[1][0] + z * m[2][0], x * m[0][1] + y * m[1][1] + z * m[2][1],
           x * m[0][2] + y * m[1][2] + z * m[2][2], out);
}

void _WTp3_xformm4_2(const WTm4 m, const WTp3 p, WTp3 out) { _WTp3_xformm4(p, m, out); }

void _WTp3_rotatem4_2(const WTm4 m, const WTp3 p, WTp3 out) { _WTp3_rotatem4(p, m, out); }

void _WTm3_orthonormalize(WTm3 m) {
  double r[3][3];
  loadm3(m, r);
  double l0 = length3(r[0]);
  if (l0 < 0.004) return;
  orthonormalise(r);
  storem3(r, m);
}

float *WTm3_2q(WTm3 m, WTq q) {
  _WTm3_orthonormalize(m);
  double r[3][3];
  loadm3(m, r);
  store(m2q(r), q);
  return q;
}

void WTm4_2pq(const WTm4 m, WTpq *pose) {
  double r[3][3];
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) r[i][j] = m[i][j];
  Qd q{0, 0, 0, 1};
  if (orthonormalise(r)) q = m2q(r);
  pose->p[0] = m[3][0];
  pose->p[1] = m[3][1];
  pose->p[2] = m[3][2];
  store(q, pose->q);
}

void _WTq_slerp(const WTq q0, const WTq q1, float t, WTq out) { slerp(q0, q1, t, out, true); }

void _WTq_slerplong(const WTq q0, const WTq q1, float t, WTq out) { slerp(q0, q1, t, out, false); }

void _WTq_2euler(const WTq q, WTp3 first, WTp3 second) {
  double m[3][3];
  q2m(load(q), m);
  euler(m, first, second);
}

void _WTm3_2euler(const WTm3 m, WTp3 first, WTp3 second) {
  double r[3][3];
  loadm3(m, r);
  euler(r, first, second);
}

void _WTq_2eulernear(const WTq q, const WTp3 reference, WTp3 out) {
  double m[3][3];
  q2m(load(q), m);
  eulernear(m, reference, out);
}

void _WTm3_2eulernear(const WTm3 m, const WTp3 reference, WTp3 out) {
  double r[3][3];
  loadm3(m, r);
  eulernear(r, reference, out);
}

float _WTmath_atan2(float a, float b) {
  float t;
  if (fabsf(b) >= 0.004f)
    t = static_cast<float>(atan(fabs(static_cast<double>(a) / b)));
  else if (fabsf(a) < 0.004f)
    return 0;
  else
    t = WTPI_2;
  if (a < 0) return b < 0 ? WTPI - t : t;
  return b < 0 ? t + WTPI : -t;
}

void _WTdir_2q(const WTp3 dir, WTq q) {
  double dx = dir[0], dz = dir[2];
  float yaw = _WTmath_atan2(dir[0], dir[2]);
  WTq turned;
  _WTeuler_2q(0, -yaw, 0, turned);
  float pitch = _WTmath_atan2(dir[1], static_cast<float>(sqrt(dx * dx + dz * dz)));
  WTq tilt;
  _WTeuler_2q(pitch, 0, 0, tilt);
  _WTq_multiply(tilt, turned, q);
}

void _WTdirroll_2q(const WTp3 dir, float roll, WTq q) {
  double d[3] = {dir[0], dir[1], dir[2]};
  double len = length3(d);
  WTp3 unit;
  if (len != 0)
    storevec(d[0] / len, d[1] / len, d[2] / len, unit);
  else
    memcpy(unit, dir, sizeof(WTp3));
  WTq base, turn;
  _WTdir_2q(unit, base);
  _WTeuler_2q(0, 0, roll, turn);
  _WTq_multiply(turn, base, q);
}

void _WTq_2dirroll(const WTq q, WTp3 dir, float *roll) {
  WTq own;
  memcpy(own, q, sizeof(WTq));
  _WTq_2dir(own, dir);
  WTq base, r;
  _WTdir_2q(dir, base);
  _WTq_conjmultiply(base, own, r);
  Qd o = load(own);
  Qd mapped = mul(mul(o, Qd{r[0], r[1], r[2], 0}), conj(o));
  int sign = mapped.z > 0 ? 1 : (mapped.z < 0 ? -1 : 0);
  if (roll) *roll = sign ? static_cast<float>(sign * 2 * acos(clampunit(r[3]))) : 0.0f;
}
}
