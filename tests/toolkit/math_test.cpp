// Vector, quaternion and matrix operations against hand-worked values.
#include <math.h>
#include <string.h>

#include <initializer_list>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "support.h"

namespace {

const float kEps = 1e-5f;
const double kPi = 3.14159265358979323846;

void expectnear(const float *got, std::initializer_list<double> want, float eps = kEps) {
  int i = 0;
  for (double w : want) {
    EXPECT_NEAR(got[i], w, eps) << "component " << i;
    i++;
  }
}

void expectsamem3(const WTm3 a, const WTm3 b, float eps = kEps) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) EXPECT_NEAR(a[i][j], b[i][j], eps) << i << "," << j;
}

// Rotation of angle t about a unit axis, in the toolkit's convention (p * WTq_2m3 of it).
void axisq(double x, double y, double z, double t, WTq q) {
  WTp3 axis = {float(x), float(y), float(z)};
  _WTaxisangle_2q(axis, float(t), q);
}

TEST(Math, QuaternionProductIsHamiltonAndNormalised) {
  const struct {
    WTq a, b;
    std::initializer_list<double> product;
  } cases[] = {
      {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}},  // i j = k
      {{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, -1, 0}}, // j i = -k
      {{0, 0, 0, 2}, {0, 0, 0, 3}, {0, 0, 0, 1}},  // scaled identities
      {{1, 0, 0, 1}, {0, 1, 0, 1}, {0.5, 0.5, 0.5, 0.5}},
  };
  for (const auto &c : cases) {
    WTq out;
    _WTq_multiply(c.a, c.b, out);
    expectnear(out, c.product);
  }
  WTq q, r;
  axisq(0, 1, 0, 0.7, q);
  _WTq_conjmultiply(q, q, r);
  expectnear(r, {0, 0, 0, 1});
  memcpy(r, q, sizeof r);
  _WTq_multiply(r, r, r); // output may be an input
  WTq twice;
  axisq(0, 1, 0, 1.4, twice);
  expectnear(r, {twice[0], twice[1], twice[2], twice[3]});
}

TEST(Math, QuaternionToMatrixAndRotation) {
  WTm3 m;
  WTq identity = {0, 0, 0, 1};
  WTq_2m3(identity, m);
  expectnear(&m[0][0], {1, 0, 0, 0, 1, 0, 0, 0, 1});
  WTp3 p = {1, 2, 3}, out;
  _WTq_rotatepoint(p, identity, out);
  expectnear(out, {1, 2, 3});

  // Quarter turn about z: conj(q) v q is the row vector times WTq_2m3(q).
  WTq q = {0, 0, float(sqrt(0.5)), float(sqrt(0.5))};
  EXPECT_EQ(WTq_2m3(q, m), &m[0][0]);
  expectnear(&m[0][0], {0, -1, 0, 1, 0, 0, 0, 0, 1});
  WTp3 x = {1, 0, 0};
  _WTq_rotatepoint(x, q, out);
  expectnear(out, {0, -1, 0});
  _WTp3_xformm3(x, m, out);
  expectnear(out, {0, -1, 0});
  EXPECT_NEAR(_WTq_rotatecoord(x, q, 1), -1, kEps);
  EXPECT_EQ(_WTq_rotatecoord(x, q, 3), 0);
  WTp3 centre = {1, 1, 0};
  _WTq_rotatepointabout(x, q, out, centre);
  expectnear(out, {0, 1, 0});

  // A pose maps its own frame out and the world back in.
  WTpq pose = {{5, -2, 1}, {0, 0, 0, 1}};
  axisq(1, 2, 2.0 / 3, 1.1, pose.q);
  WTp3 v = {0.3f, -4, 2}, world, back;
  _WTq_rotatepoint(v, pose.q, world);
  for (int k = 0; k < 3; k++) world[k] += pose.p[k];
  _WTpq_invxformpoint(world, &pose, back);
  expectnear(back, {0.3, -4, 2});
  WTm4 pm;
  _WTpq_2m4(&pose, pm);
  _WTp3_xformm4(v, pm, out);
  expectnear(out, {world[0], world[1], world[2]});

  WTq_2m3(q, m);
  WTm4 m4;
  _WTq_2m4(q, m4);
  expectnear(&m4[0][0], {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  _WTq_2dir(identity, out);
  expectnear(out, {0, 0, 1});
}

TEST(Math, AxisAngleAndScaling) {
  WTp3 axis = {0, 0, 2};
  WTq q;
  _WTaxisangle_2q(axis, float(kPi / 2), q);
  expectnear(axis, {0, 0, 1}); // normalised in place
  expectnear(q, {0, 0, sqrt(0.5), sqrt(0.5)});
  EXPECT_NEAR(_WTq_angle(q), kPi / 2, kEps);
  WTp3 back;
  _WTq_axis(q, back);
  expectnear(back, {0, 0, 1});
  WTq half;
  _WTq_scaleangle(q, half, 0.5f);
  EXPECT_NEAR(_WTq_angle(half), kPi / 4, kEps);
  WTq identity = {0, 0, 0, 1};
  _WTq_scaleangle(identity, half, 0.3f);
  expectnear(half, {0, 0, 0, 1});
}

TEST(Math, EulerAnglesBuildQuaternionsAndMatrices) {
  const double c = 0.6;
  WTq q;
  _WTeuler_2q(0, 0, float(c), q);
  WTp3 x = {1, 0, 0}, out;
  _WTq_rotatepoint(x, q, out);
  expectnear(out, {cos(c), sin(c), 0});

  const float angles[][3] = {{0.3f, -0.4f, 1.2f}, {-2.5f, 0.1f, 0.2f}, {1, 1.5f, -3}, {0, 0, 0}};
  for (const auto &a : angles) {
    WTm3 fromq, direct;
    _WTeuler_2q(a[0], a[1], a[2], q);
    WTq_2m3(q, fromq);
    _WTeuler_2m3(a[0], a[1], a[2], direct);
    expectsamem3(fromq, direct);
  }
}

TEST(Math, MatrixProductsAndTransforms) {
  WTm3 a = {{1, 2, 0}, {0, 1, 0}, {0, 0, 2}}, b = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, ab, t;
  _WTm3_multiply(a, b, ab);
  expectnear(&ab[0][0], {2, 1, 0, 1, 0, 0, 0, 0, 2});
  _WTm3_multiply(a, b, a); // output may be an input
  expectnear(&a[0][0], {2, 1, 0, 1, 0, 0, 0, 0, 2});
  _WTm3_transpose(ab, t);
  expectnear(&t[0][0], {2, 1, 0, 1, 0, 0, 0, 0, 2});

  // Row vectors: A * B applies A first.
  WTm4 scale = {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}};
  WTm4 move = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}};
  WTm4 both;
  _WTm4_multiply(scale, move, both);
  WTp3 p = {1, 1, 1}, out;
  _WTp3_xformm4(p, both, out);
  expectnear(out, {3, 4, 5});
  _WTp3_xformm4_2(both, p, out);
  expectnear(out, {3, 4, 5});
  _WTp3_rotatem4(p, both, out);
  expectnear(out, {2, 2, 2});
  _WTp3_rotatem4_2(both, p, out);
  expectnear(out, {2, 2, 2});
  WTm4 tr;
  _WTm4_transpose(move, tr);
  EXPECT_EQ(tr[0][3], 1);
  EXPECT_EQ(tr[2][3], 3);
}

TEST(Math, VectorMeasures) {
  WTp3 a = {1, 0, 0}, b = {0, 1, 0}, out;
  _WTp3_cross(a, b, out);
  expectnear(out, {0, 0, 1});
  _WTp3_cross(a, b, a);
  expectnear(a, {0, 0, 1});
  WTp3 p = {3, 4, 0}, origin = {0, 0, 0}, zaxis = {0, 0, 1};
  EXPECT_NEAR(_WTp3_distance(p, origin), 5, kEps);
  WTp3 above = {3, 4, 7};
  EXPECT_NEAR(_WTp3_linedistance(above, origin, zaxis), 5, kEps);
  EXPECT_NEAR(_WTp3_approxlength(p), (7 + 1.4142135 * 4) * 0.41421357, kEps);
  EXPECT_NEAR(_WTp3_approxlengthraw(p), 7 + 1.4142135 * 4, kEps);
  WTp2 p2 = {-3, 4};
  EXPECT_NEAR(_WTp2_approxlength(p2), (7 + 8) / 3.0, kEps);
  WTp3 tilted = {0, -0.5f, 0};
  EXPECT_NEAR(_WTp3_angletoyaxis(tilted), acos(0.5), kEps);
  EXPECT_EQ(_WTmath_fabs(-2.5f), 2.5f);
}

TEST(Math, MatrixToQuaternionRoundTrips) {
  WTm3 identity = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  WTq q;
  EXPECT_EQ(WTm3_2q(identity, q), q);
  expectnear(q, {0, 0, 0, 1});
  EXPECT_TRUE(signbit(q[0]) && signbit(q[1]) && signbit(q[2])); // negated zeros

  // Trace above 0, exactly 0 (a third of a turn about the diagonal) and below 0 (half turns).
  const double third = 2 * kPi / 3, d = 1 / sqrt(3.0);
  const struct {
    double x, y, z, angle;
  } rotations[] = {{0, 0, 1, 0.5}, {1, 2, 2, -2}, {d, d, d, third}, {1, 0, 0, kPi},
                   {0, 1, 0, kPi}, {0, 0, 1, kPi}, {0.6, 0, 0.8, 3}};
  for (const auto &r : rotations) {
    double len = sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    WTq original, back;
    axisq(r.x / len, r.y / len, r.z / len, r.angle, original);
    WTm3 m, again;
    WTq_2m3(original, m);
    WTm3_2q(m, back);
    WTq_2m3(back, again);
    expectsamem3(m, again);
    double dot = 0;
    for (int k = 0; k < 4; k++) dot += original[k] * back[k];
    EXPECT_NEAR(fabs(dot), 1, kEps) << r.angle;
  }

  // The matrix is orthonormalised in place first.
  WTm3 scaled = {{2, 0, 0}, {0, 3, 0}, {0, 0, 5}};
  WTm3_2q(scaled, q);
  expectnear(&scaled[0][0], {1, 0, 0, 0, 1, 0, 0, 0, 1});
}

TEST(Math, MatrixToPose) {
  WTm4 m;
  WTq q;
  axisq(0, 1, 0, 0.8, q);
  WTpq pose = {{1, 2, 3}, {q[0], q[1], q[2], q[3]}}, back;
  _WTpq_2m4(&pose, m);
  WTm4_2pq(m, &back);
  expectnear(back.p, {1, 2, 3});
  expectnear(back.q, {q[0], q[1], q[2], q[3]});

  WTm4 degenerate = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {4, 5, 6, 1}};
  WTm4_2pq(degenerate, &back);
  expectnear(back.p, {4, 5, 6});
  expectnear(back.q, {0, 0, 0, 1});
}

TEST(Math, SlerpTakesTheShorterArc) {
  WTq identity = {0, 0, 0, 1}, quarter, out;
  axisq(0, 0, 1, kPi / 2, quarter);
  WTq negated = {-quarter[0], -quarter[1], -quarter[2], -quarter[3]};
  WTq eighth;
  axisq(0, 0, 1, kPi / 4, eighth);

  _WTq_slerp(identity, quarter, 0, out);
  expectnear(out, {0, 0, 0, 1});
  _WTq_slerp(identity, quarter, 0.5f, out);
  expectnear(out, {eighth[0], eighth[1], eighth[2], eighth[3]});
  _WTq_slerp(identity, negated, 0.5f, out); // -quarter is the same turn
  expectnear(out, {eighth[0], eighth[1], eighth[2], eighth[3]});
  _WTq_slerp(identity, negated, 1, out);
  expectnear(out, {quarter[0], quarter[1], quarter[2], quarter[3]});
  _WTq_slerp(quarter, negated, 0.5f, out); // q and -q give q
  expectnear(out, {quarter[0], quarter[1], quarter[2], quarter[3]});
  _WTq_slerplong(identity, negated, 1, out);
  expectnear(out, {negated[0], negated[1], negated[2], negated[3]});
}

TEST(Math, EulerExtraction) {
  const float sets[][3] = {{0.3f, -0.4f, 1.2f}, {-2.5f, 0.1f, 0.2f}, {1, -1.2f, -3}};
  for (const auto &e : sets) {
    WTq q;
    WTp3 first, second;
    _WTeuler_2q(e[0], e[1], e[2], q);
    _WTq_2euler(q, first, second);
    expectnear(first, {e[0], e[1], e[2]}, 1e-4f);
    // The second set is the same rotation.
    WTm3 m, m2;
    _WTeuler_2m3(e[0], e[1], e[2], m);
    _WTeuler_2m3(second[0], second[1], second[2], m2);
    expectsamem3(m, m2, 1e-4f);
    WTp3 near;
    _WTm3_2eulernear(m, second, near);
    expectnear(near, {second[0], second[1], second[2]});
    _WTq_2eulernear(q, e, near);
    expectnear(near, {e[0], e[1], e[2]}, 1e-4f);
  }

  // Gimbal lock: with b at a quarter turn the x angle is folded into z.
  for (float b : {WTPI_2, -WTPI_2}) {
    WTm3 m, m2;
    _WTeuler_2m3(0.4f, b, 0.9f, m);
    WTp3 first, second;
    _WTm3_2euler(m, first, second);
    EXPECT_EQ(first[0], 0);
    EXPECT_NEAR(fabs(first[1]), kPi / 2, 1e-5);
    _WTeuler_2m3(first[0], first[1], first[2], m2);
    expectsamem3(m, m2, 1e-4f);
  }
}

TEST(Math, AngleFunction) {
  const struct {
    float a, b;
    double angle;
  } cases[] = {{0.001f, 0.001f, 0},          {0, 1, 0},
               {1, 0, -kPi / 2},             {-1, 0, kPi / 2},
               {1, 1, -kPi / 4},             {-1, 1, kPi / 4},
               {1, -1, kPi / 4 + kPi},       {-1, -1, kPi - kPi / 4},
               {0, -2, kPi}};
  for (const auto &c : cases) EXPECT_NEAR(_WTmath_atan2(c.a, c.b), c.angle, kEps) << c.a << "," << c.b;
}

TEST(Math, DirectionsAndRoll) {
  const float dirs[][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {-3, 2, -1}, {0.2f, -0.5f, 4}};
  for (const auto &d : dirs) {
    double len = sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    WTq q;
    WTp3 view;
    _WTdir_2q(d, q);
    _WTq_2dir(q, view);
    expectnear(view, {d[0] / len, d[1] / len, d[2] / len});
    for (float roll : {0.0f, 0.5f, -1.2f}) {
      WTq withroll;
      WTp3 back;
      float r;
      _WTdirroll_2q(d, roll, withroll);
      _WTq_2dirroll(withroll, back, &r);
      expectnear(back, {d[0] / len, d[1] / len, d[2] / len}, 1e-4f);
      EXPECT_NEAR(fabs(r), fabs(roll), 1e-3);
      // Building the orientation back from what was read gives the same orientation.
      WTq again;
      _WTdirroll_2q(back, -r, again);
      WTm3 m1, m2;
      WTq_2m3(withroll, m1);
      WTq_2m3(again, m2);
      expectsamem3(m1, m2, 1e-3f);
    }
  }
  WTq identity = {0, 0, 0, 1};
  WTp3 d;
  float roll = 7;
  _WTq_2dirroll(identity, d, &roll);
  EXPECT_EQ(roll, 0);
}

TEST(Math, JacobiEigenvectors) {
  WTm3 diagonal = {{3, 0, 0}, {0, 1, 0}, {0, 0, 2}}, v;
  WTp3 d;
  _WTjacobi(diagonal, d, v);
  expectnear(d, {3, 1, 2});
  expectnear(&v[0][0], {1, 0, 0, 0, 1, 0, 0, 0, 1});

  const WTm3 original = {{4, 1, 2}, {1, 3, 0}, {2, 0, 5}};
  WTm3 a;
  memcpy(a, original, sizeof a);
  _WTjacobi(a, d, v);
  for (int k = 0; k < 3; k++) {
    // Column k of v is the eigenvector of d[k].
    for (int i = 0; i < 3; i++) {
      double av = 0;
      for (int j = 0; j < 3; j++) av += original[i][j] * v[j][k];
      EXPECT_NEAR(av, d[k] * v[i][k], 1e-2) << k;
    }
  }
  EXPECT_NEAR(d[0] + d[1] + d[2], 12, 1e-3);
}

TEST(Math, JacobiThatCannotConvergeIsFatal) {
  tk::resetcalls();
  float nan = std::numeric_limits<float>::quiet_NaN();
  WTm3 a = {{1, nan, 0}, {nan, 1, 0}, {0, 0, 1}}, v;
  WTp3 d;
  _WTjacobi(a, d, v);
  ASSERT_EQ(tk::calls().boxes.size(), 1u);
  EXPECT_EQ(tk::calls().boxes[0].text, "_WTjacobi diagonalization didn't converge");
  EXPECT_EQ(tk::calls().exits, std::vector<int>{-1});
  tk::resetcalls();
}

TEST(Math, Inversion) {
  WTq q;
  axisq(0.6, 0, 0.8, 1.3, q);
  WTpq pose = {{3, -1, 2}, {q[0], q[1], q[2], q[3]}};
  WTm4 rigid;
  _WTpq_2m4(&pose, rigid);
  WTm4 scaled = {{2, 0, 0, 0}, {0, 0.5f, 0, 0}, {0, 0, 4, 0}, {1, 2, 3, 1}};
  WTm4 general = {{2, 1, 0, 1}, {0, 3, 1, 0}, {1, 0, 1, 2}, {0, 1, 0, 1}};
  for (WTm4 *m : {&rigid, &scaled, &general}) {
    WTm4 inv, product;
    EXPECT_EQ(WTm4_invert(*m, inv), 1);
    _WTm4_multiply(*m, inv, product);
    expectnear(&product[0][0], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-4f);
    if (m != &general) {
      _WTm4_invertaffine(*m, inv);
      _WTm4_multiply(*m, inv, product);
      expectnear(&product[0][0], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-4f);
    }
  }
  WTm4 inplace;
  memcpy(inplace, scaled, sizeof inplace);
  WTm4_invert(inplace, inplace);
  expectnear(&inplace[0][0], {0.5, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0.25, 0, -0.5, -4, -0.75, 1});

  // Singular matrices give the identity and one warning.
  WTm4 zero = {}, tworows = {{1, 2, 3, 4}, {1, 2, 3, 4}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  for (WTm4 *m : {&zero, &tworows}) {
    tk::Captured captured;
    testing::internal::CaptureStdout();
    WTm4 inv;
    EXPECT_EQ(WTm4_invert(*m, inv), 0);
    testing::internal::GetCapturedStdout();
    expectnear(&inv[0][0], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(captured.all(), "VAV Warning: zero matrix determinant in WTm4_invert\n");
  }
}

TEST(Math, PolygonClassification) {
  WTp3 normal = {9, 9, 9};
  const WTp3 triangle[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  EXPECT_EQ(_WTpoly_classifypoints(triangle, 3, normal), 1);
  expectnear(normal, {0, 0, 1});
  EXPECT_EQ(_WTpoly_classifypoints(triangle, 2, normal), 1);

  const WTp3 square[] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
  EXPECT_EQ(_WTpoly_classifypoints(square, 4, normal), 1);
  expectnear(normal, {0, 0, -1});
  const WTp3 lshape[] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
  EXPECT_EQ(_WTpoly_classifypoints(lshape, 6, normal), 2);
  expectnear(normal, {0, 0, 1});
  // Corners are measured against the plane through their average: a quad away from the origin
  // is planar, one whose corner is lifted out of it by 0.02 is not.
  const WTp3 raised[] = {{10, 10, 5}, {11, 10, 5}, {11, 11, 5}, {10, 11, 5}};
  EXPECT_EQ(_WTpoly_classifypoints(raised, 4, normal), 1);
  const WTp3 lifted[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.02f}, {0, 1, 0}};
  EXPECT_EQ(_WTpoly_classifypoints(lifted, 4, normal), 0);
}

TEST(Math, Printing) {
  tk::Captured captured;
  testing::internal::CaptureStdout();
  WTp3 p = {1, -2.5f, 100};
  WTq q = {0, 0, 0, 1};
  WTpq pose = {{1, 2, 3}, {0, 0, 0, 1}};
  _WTp3_print(p);
  _WTq_print(q);
  _WTpq_print(&pose);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(captured.texts().size(), 3u);
  EXPECT_EQ(captured.texts()[0], "   1.0000  -2.5000 100.0000\n");
  EXPECT_EQ(captured.texts()[1], "   0.0000   0.0000   0.0000   1.0000\n");
  EXPECT_EQ(captured.texts()[2],
            " p:   1.0000   2.0000   3.0000, q:   0.0000   0.0000   0.0000   1.0000\n");
}

TEST(Math, MotionConstraints) {
  WTm4 in = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, -5, 0.5f, 1}}, out;
  memset(out, 0x7f, sizeof out);
  WTm4 untouched;
  memcpy(untouched, out, sizeof out);
  EXPECT_EQ(_WTm4_constrain(in, out, 0, nullptr), 2);
  EXPECT_EQ(memcmp(untouched, out, sizeof out), 0);

  const WTconstraint box[] = {{1, -1, 1}, {2, -2, 2}, {4, 0, 1}};
  EXPECT_EQ(_WTm4_constrain(in, out, 3, box), 3);
  expectnear(&out[3][0], {1, -2, 0.5, 1});
  expectnear(&out[0][0], {1, 0, 0, 0}, 1e-4f);

  unsigned char position[3], eulers[2];
  EXPECT_EQ(_WTm4_checkconstraints(in, position, eulers, 3, box), 1);
  EXPECT_EQ(position[0], 1);
  EXPECT_EQ(position[1], 1);
  EXPECT_EQ(position[2], 0);
  EXPECT_EQ(_WTm4_checkconstraints(out, position, eulers, 3, box), 0);

  // Roll limited to [-0.2, 0.2]: a roll of 0.5 about the view axis is brought back to the limit.
  WTq rolled;
  WTp3 forward = {0, 0, 1};
  _WTdirroll_2q(forward, 0.5f, rolled);
  WTpq pose = {{0, 0, 0}, {rolled[0], rolled[1], rolled[2], rolled[3]}};
  _WTpq_2m4(&pose, in);
  const WTconstraint roll[] = {{32, -0.2f, 0.2f}};
  EXPECT_EQ(_WTm4_constrain(in, out, 1, roll), 3);
  WTpq limited;
  WTm4_2pq(out, &limited);
  WTp3 d;
  float r;
  _WTq_2dirroll(limited.q, d, &r);
  EXPECT_NEAR(fabs(r), 0.2, 1e-3);
  expectnear(d, {0, 0, 1}, 1e-4f);

  WTp3 angles = {0.1f, 0.2f, 3}, clamped;
  const WTconstraint zonly[] = {{32, -1, 1}};
  _WTeuler_constrain(angles, clamped, 1, zonly);
  expectnear(clamped, {0.1, 0.2, 1});
}

TEST(Math, OptionalSums) {
  const struct {
    float a1, b1, a2, b2;
    int result;
  } cases[] = {{-1, -1, -1, -1, 0}, {2, 1, -1, -1, 1}, {1, -1, -1, -1, 0},
               {1, 2, 1, -1, 0},    {3, 1, 1, 2, 1},   {-1, 1, 4, -1, 1}};
  for (const auto &c : cases)
    EXPECT_EQ(_WTmath_compareoptional(c.a1, c.b1, c.a2, c.b2), c.result)
        << c.a1 << " " << c.b1 << " " << c.a2 << " " << c.b2;
}

}  // namespace
