// Eigen-decomposition of symmetric 3x3 matrices and 4x4 inversion.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"

namespace {

void rotate(float m[3][3], int i, int j, int k, int l, float s, float tau) {
  float g = m[i][j], h = m[k][l];
  m[i][j] = g - s * (h + g * tau);
  m[k][l] = h + s * (g - h * tau);
}

// Determinant of the 3x3 minor of m without row r and column c.
double minor(const WTm4 m, int r, int c) {
  double a[3][3];
  for (int i = 0, ii = 0; i < 4; i++) {
    if (i == r) continue;
    for (int j = 0, jj = 0; j < 4; j++) {
      if (j == c) continue;
      a[ii][jj++] = m[i][j];
    }
    ii++;
  }
  return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
         a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

void identity(WTm4 out) {
  memset(out, 0, sizeof(WTm4));
  for (int i = 0; i < 4; i++) out[i][i] = 1;
}

}  // namespace

extern "C" {

// Cyclic Jacobi method in single precision; the part of a above the diagonal is destroyed.
void _WTjacobi(WTm3 a, WTp3 d, WTm3 v) {
  float b[3], z[3];
  for (int i = 0; i < 3; i++) {
    for (int j = 0; j < 3; j++) v[i][j] = i == j ? 1.0f : 0.0f;
    b[i] = d[i] = a[i][i];
    z[i] = 0;
  }
  for (int sweep = 1; sweep <= 50; sweep++) {
    float sm = fabsf(a[0][1]) + fabsf(a[0][2]) + fabsf(a[1][2]);
    if (sm < 0.004f) return;
    float threshold = sweep < 4 ? 0.2f * sm / 9.0f : 0.0f;
    for (int p = 0; p < 2; p++) {
      for (int q = p + 1; q < 3; q++) {
        float g = 100.0f * fabsf(a[p][q]);
        if (sweep > 4 && fabsf(d[p]) + g == fabsf(d[p]) && fabsf(d[q]) + g == fabsf(d[q])) {
          a[p][q] = 0;
        } else if (fabsf(a[p][q]) > threshold) {
          float h = d[q] - d[p], t;
          if (fabsf(h) + g == fabsf(h)) {
            t = a[p][q] / h;
          } else {
            float theta = 0.5f * h / a[p][q];
            t = 1.0f / (fabsf(theta) + sqrtf(1.0f + theta * theta));
            if (theta < 0) t = -t;
          }
          float c = 1.0f / sqrtf(t * t + 1.0f), s = t * c, tau = s / (1.0f + c);
          h = t * a[p][q];
          z[p] -= h;
          z[q] += h;
          d[p] -= h;
          d[q] += h;
          a[p][q] = 0;
          for (int j = 0; j < p; j++) rotate(a, j, p, j, q, s, tau);
          for (int j = p + 1; j < q; j++) rotate(a, p, j, j, q, s, tau);
          for (int j = q + 1; j < 3; j++) rotate(a, p, j, q, j, s, tau);
          for (int j = 0; j < 3; j++) rotate(v, j, p, j, q, s, tau);
        }
      }
    }
    for (int i = 0; i < 3; i++) {
      b[i] += z[i];
      d[i] = b[i];
      z[i] = 0;
    }
  }
  _WTmsg_fatal("_WTjacobi diagonalization didn't converge");
}

int WTm4_invert(const WTm4 m, WTm4 out) {
  double cof[4][4];
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) cof[i][j] = ((i + j) % 2 ? -1.0 : 1.0) * minor(m, i, j);
  double det = 0;
  for (int k = 0; k < 4; k++) det += m[0][k] * cof[0][k];
  if (det == 0) {
    identity(out);
    _WTmsg_warning("zero matrix determinant in WTm4_invert\n");
    return 0;
  }
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) out[i][j] = static_cast<float>(cof[j][i] / det);
  return 1;
}

void _WTm4_invertaffine(const WTm4 m, WTm4 out) {
  double r[3][3], t[3], len[3];
  for (int i = 0; i < 3; i++) {
    len[i] = 0;
    t[i] = m[3][i];
    for (int j = 0; j < 3; j++) {
      r[i][j] = m[i][j];
      len[i] += r[i][j] * r[i][j];
    }
  }
  identity(out);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = static_cast<float>(r[j][i] / len[j]);
  for (int j = 0; j < 3; j++)
    out[3][j] = static_cast<float>(-(t[0] * r[j][0] + t[1] * r[j][1] + t[2] * r[j][2]) / len[j]);
}
}
