#include "toolkit/devices/vtrotation.h"

#include <ctype.h>
#include <math.h>

namespace {

const double kRadians = 3.14159265358979323846 / 180.0;

}  // namespace

VtMatrix vt_identity_matrix() { return VtMatrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

void vt_turn_matrix(VtMatrix *m, char axis, double degrees) {
  double c = cos(degrees * kRadians), s = sin(degrees * kRadians);
  VtMatrix r = vt_identity_matrix();
  switch (tolower(static_cast<unsigned char>(axis))) {
    case 'x':
      r = VtMatrix{{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
      break;
    case 'y':
      r = VtMatrix{{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}};
      break;
    case 'z':
      r = VtMatrix{{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
      break;
    default:
      return;
  }
  VtMatrix out;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out.m[i][j] = r.m[i][0] * m->m[0][j] + r.m[i][1] * m->m[1][j] + r.m[i][2] * m->m[2][j];
  *m = out;
}

void vt_matrix_angles(const VtMatrix &m, double angles[3]) {
  double el = atan2(-m.m[0][2], sqrt(m.m[0][0] * m.m[0][0] + m.m[0][1] * m.m[0][1]));
  double c = cos(el);
  angles[0] = atan2(m.m[0][1] / c, m.m[0][0] / c);
  angles[1] = el;
  angles[2] = atan2(m.m[1][2] / c, m.m[2][2] / c);
}

int vt_rotation_steps(const VtRotation *r) {
  int n = 0;
  while (n < 6 && r->axes[n]) n++;
  return n;
}
