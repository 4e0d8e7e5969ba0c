#include "models/instance.h"
#include "models/mesh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MeshVertex, RoundsToWholeMillimetres) {
  const struct {
    double in, out;
  } cases[] = {{-0.5, 0.0}, {2.5, 3.0}, {0.4, 0.0}, {-0.6, -1.0}, {1234.49, 1234.0}};
  for (const auto& c : cases) {
    EXPECT_EQ(MeshVertex(c.in, 0, 0).x, c.out) << c.in;
    const double xyz[3] = {0, 0, c.in};
    EXPECT_EQ(MeshVertex(xyz).z, c.out) << c.in;
  }
}

TEST(Mesh, DropsDegenerateFaces) {
  Mesh mesh;
  mesh.AddVertex(new MeshVertex(0, 0, 0));
  mesh.AddVertex(new MeshVertex(1000, 0, 0));
  mesh.AddVertex(new MeshVertex(2000, 0, 0));   // on the line through the first two
  mesh.AddVertex(new MeshVertex(0.4, 0, 1000));
  mesh.AddVertex(new MeshVertex(0, 0.4, 1000));  // the same point as the one before, rounded
  mesh.AddVertex(new MeshVertex(0, 1000, 0));
  EXPECT_EQ(mesh.AddFace(new MeshFace(0, 1, 2)), -1);
  EXPECT_EQ(mesh.AddFace(new MeshFace(3, 4, 0)), -1);
  EXPECT_EQ(mesh.AddFace(new MeshFace(0, 1, 6)), -1);  // index out of range
  EXPECT_EQ(mesh.AddFace(new MeshFace(0, 1, 5)), 0);
  EXPECT_EQ(mesh.GetFaceCount(), 1);
}

TEST(Mesh, AppendCopiesAndFlips) {
  Mesh source;
  source.AddVertex(new MeshVertex(0, 0, 0));
  source.AddVertex(new MeshVertex(1000, 0, 0));
  source.AddVertex(new MeshVertex(0, 1000, 0));
  source.AddFace(new MeshFace(0, 1, 2));

  Mesh mesh;
  mesh.AddVertex(new MeshVertex(5, 5, 5));
  Mesh empty;
  mesh.Append(empty, true);
  EXPECT_EQ(mesh.GetVertexCount(), 1);
  EXPECT_EQ(mesh.GetFaceCount(), 0);

  mesh.Append(source, true);
  ASSERT_EQ(mesh.GetVertexCount(), 4);
  ASSERT_EQ(mesh.GetFaceCount(), 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(mesh.GetVertex(i + 1)->x, source.GetVertex(i)->x);
    EXPECT_EQ(mesh.GetVertex(i + 1)->y, source.GetVertex(i)->y);
  }
  const MeshFace& f = *mesh.GetFace(0);
  EXPECT_EQ(f.a, 1u);
  EXPECT_EQ(f.b, 3u);
  EXPECT_EQ(f.c, 2u);

  mesh.Clear();
  EXPECT_EQ(mesh.GetVertexCount(), 0);
  EXPECT_EQ(mesh.GetFaceCount(), 0);
}

HoleInstance* Opening(float position, float width) {
  HoleInstance* h = new HoleInstance;
  h->m_kind = HOLE_DOOR;
  h->m_kindId = 1000;
  h->m_posture.position[0] = position;
  h->m_posture.size[0] = width;
  h->m_posture.size[2] = 2000;
  return h;
}

TEST(WallHoleInstancesBag, RefusesOverlapsAndKeepsOrder) {
  WallHoleInstancesBag bag;
  HoleInstance* first = Opening(1000, 900);
  ASSERT_NE(bag.Add(first, true, 0.0), nullptr);
  delete first;
  const auto [low, high] = bag.GetHole(0)->GetInterval(0);
  EXPECT_DOUBLE_EQ(low, 550.0);
  EXPECT_DOUBLE_EQ(high, 1450.0);

  HoleInstance* touching = Opening(1900, 900);
  EXPECT_EQ(bag.Add(touching, true, 0.0), nullptr);
  EXPECT_EQ(bag.Add(touching, false, 0.0), nullptr);
  HoleInstance* clear = Opening(1901, 900);
  EXPECT_EQ(bag.Add(clear, false, 0.0), clear);  // a check only: nothing added
  EXPECT_EQ(bag.GetCount(), 1);
  EXPECT_NE(bag.Add(clear, true, 0.0), nullptr);
  EXPECT_EQ(bag.GetCount(), 2);
  delete touching;
  delete clear;

  WallHoleInstancesBag ordered;
  for (float p : {3000.0f, 1000.0f, 2000.0f}) {
    HoleInstance* h = Opening(p, 500);
    ordered.Add(h, true, 0.0);
    delete h;
  }
  ASSERT_EQ(ordered.GetCount(), 3);
  EXPECT_EQ(ordered.GetHole(0)->m_posture.position[0], 1000.0f);
  EXPECT_EQ(ordered.GetHole(1)->m_posture.position[0], 2000.0f);
  EXPECT_EQ(ordered.GetHole(2)->m_posture.position[0], 3000.0f);

  // An offset moves the copy along the wall.
  HoleInstance* moved = Opening(100, 500);
  HoleInstance* added = ordered.Add(moved, true, 5000.0);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->m_posture.position[0], 5100.0f);
  EXPECT_EQ(ordered.GetHole(3), added);
  delete moved;

  EXPECT_TRUE(ordered.Remove(added));
  EXPECT_FALSE(ordered.Remove(added));
  delete added;
}

TEST(HoleInstance, NarrowOpeningHasAFiniteInterval) {
  HoleInstance* h = Opening(700, 1);
  const auto [low, high] = h->GetInterval(0);
  EXPECT_FALSE(std::isnan(low));
  EXPECT_DOUBLE_EQ(low, 700.0);
  EXPECT_DOUBLE_EQ(high, 700.0);
  EXPECT_EQ(h->GetExtent(3), std::make_pair(0, 0));
  delete h;
}

}  // namespace
