#include "mesh_checks.h"

#include <gtest/gtest.h>

#include <cmath>

Vec At(const Mesh& m, uint32_t i) {
  const MeshVertex& v = *m.GetVertex(static_cast<int>(i));
  return {v.x, v.y, v.z};
}

Vec Normal(const Mesh& m, int f) {
  const MeshFace& face = *m.GetFace(f);
  const Vec a = At(m, face.a), b = At(m, face.b), c = At(m, face.c);
  const Vec u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

double Dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

void ExpectSound(const Mesh& m, const std::string& what) {
  for (int f = 0; f < m.GetFaceCount(); ++f) {
    const MeshFace& face = *m.GetFace(f);
    ASSERT_LT(face.a, static_cast<uint32_t>(m.GetVertexCount())) << what;
    ASSERT_LT(face.b, static_cast<uint32_t>(m.GetVertexCount())) << what;
    ASSERT_LT(face.c, static_cast<uint32_t>(m.GetVertexCount())) << what;
    const Vec n = Normal(m, f);
    EXPECT_GT(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 0.0) << what;
  }
}

Vec TowardRoom(const Wall* w, int side) {
  double v[4];
  w->GetOffsetVectors(1.0, v);
  return {v[side ? 2 : 0], v[side ? 3 : 1], 0.0};
}
