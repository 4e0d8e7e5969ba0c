// Floor and ceiling boards of a room: a walk around the room's side of its walls gives the
// outline, which is triangulated; the ceiling leaves a hole for every object placed on it.
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "models/room.h"
#include "models/triangulate.h"
#include "models/wall.h"
#include "models/wallpole.h"

namespace {

// Signed area (doubled) of points[first .. first + count - 1].
double TwiceArea(const double (*points)[2], int first, int count) {
  double sum = 0.0;
  for (int i = 0; i < count; ++i) {
    const double* p = points[first + i];
    const double* q = points[first + (i + 1) % count];
    sum += p[0] * q[1] - q[0] * p[1];
  }
  return sum;
}

// Triangulates the contours held in points[1..] and adds the faces to the board, whose
// vertices 0 to total - 1 stand for those points. The walk around a room may run either way,
// while the triangulation takes the outline counter-clockwise and the holes clockwise: a
// contour the other way round is handed over reversed.
void AddTriangulatedFaces(RoomBoard& board, int contourCount, const int* sizes,
                          const double (*points)[2], int total, bool flip) {
  std::vector<int> index(total + 1);
  for (int i = 0; i <= total; ++i)
    index[i] = i;
  int first = 1;
  for (int c = 0; c < contourCount; ++c) {
    const double area = TwiceArea(points, first, sizes[c]);
    if (c == 0 ? area < 0.0 : area > 0.0)
      std::reverse(index.begin() + first, index.begin() + first + sizes[c]);
    first += sizes[c];
  }
  std::vector<double> ordered(2 * (static_cast<size_t>(total) + 1), 0.0);
  for (int i = 1; i <= total; ++i) {
    ordered[2 * i] = points[index[i]][0];
    ordered[2 * i + 1] = points[index[i]][1];
  }
  const int capacity = 2 * total + 1;
  std::vector<int> triangles(3 * static_cast<size_t>(capacity));
  const int count = TriangulatePolygon(contourCount, sizes,
                                       reinterpret_cast<const double(*)[2]>(ordered.data()),
                                       reinterpret_cast<int(*)[3]>(triangles.data()), capacity);
  for (int t = 0; t < count; ++t) {
    const int* v = &triangles[3 * static_cast<size_t>(t)];
    board.AddFace(new MeshFace(static_cast<uint32_t>(index[v[0]] - 1),
                               static_cast<uint32_t>(index[v[1]] - 1),
                               static_cast<uint32_t>(index[v[2]] - 1)),
                  flip);
  }
}

}  // namespace

void RoomBoard::BuildMesh(int, int, const double (*)[2]) {}

// The floor faces up, into the room.
void RoomFloor::BuildMesh(int n, int, const double (*points)[2]) {
  if (n < 3)
    return;
  const int sizes[1] = {n};
  AddTriangulatedFaces(*this, 1, sizes, points, n, false);
}

// The ceiling faces down, into the room; every placed object cuts a rectangle out of it.
void RoomCeiling::BuildMesh(int n, int, const double (*points)[2]) {
  if (n < 3)
    return;
  const int objects = m_objects.GetCount();
  const int total = n + 4 * objects;
  std::vector<double> all(2 * (static_cast<size_t>(total) + 1), 0.0);
  for (int i = 1; i <= n; ++i) {
    all[2 * i] = points[i][0];
    all[2 * i + 1] = points[i][1];
  }
  std::vector<int> sizes{n};
  int at = n + 1;
  const double pi = 3.1415927f;
  for (int o = objects - 1; o >= 0; --o) {
    const Posture& p = m_objects.GetAt(o)->m_posture;
    const double a = -p.rotation[2] * pi / 180.0;
    const double w = p.size[0], d = p.size[1];
    const double corners[4][2] = {{-w / 2, -d / 2}, {-w / 2, d / 2}, {w / 2, d / 2}, {w / 2, -d / 2}};
    for (const auto& c : corners) {
      const double x = p.position[0] + c[0] * std::cos(a) - c[1] * std::sin(a);
      const double y = p.position[1] + c[0] * std::sin(a) + c[1] * std::cos(a);
      all[2 * at] = x;
      all[2 * at + 1] = y;
      AddVertex(new MeshVertex(x, y, m_level));
      ++at;
    }
    sizes.push_back(4);
  }
  AddTriangulatedFaces(*this, static_cast<int>(sizes.size()), sizes.data(),
                       reinterpret_cast<const double(*)[2]>(all.data()), total, true);
}

void Room::BuildBoards() {
  if (GetWallFaceCount() == 0)
    return;
  // The outline: entry 0 stays unused, as the triangulation counts vertices from 1. The walk
  // follows the pole links, so the array grows with what it finds.
  std::vector<double> points(2, 0.0);
  const WallFace* first = GetWallFace(0);
  int side = first->m_direction == 1 ? 1 : 0;
  WallPole* start = (side == (m_interior == 0 ? 1 : 0)) ? first->m_pWall->GetEndPole()
                                                        : first->m_pWall->GetStartPole();
  auto record = [&](double x, double y) {
    points.push_back(x);
    points.push_back(y);
    m_floor.AddVertex(new MeshVertex(x, y, m_floor.m_level));
    m_ceiling.AddVertex(new MeshVertex(x, y, m_ceiling.m_level));
  };
  std::set<std::pair<const WallPole*, int>> seen;
  WallPole* p = start;
  bool closed = false;
  while (p) {
    // A walk that comes back to a place other than its start would go round for ever.
    if (!seen.insert({p, side}).second)
      break;
    p->UpdateCorners(side == 0, side == 1);
    double x, y;
    p->GetSideCorner(side, &x, &y);
    record(x, y);
    WallPole* o = p->OtherEnd();
    if (!o)
      break;
    WallPole* q = o->GetNeighbour(side);
    if (q) {
      if (p->IsEndPole() != q->IsEndPole())
        side = 1 - side;
      p = q;
    } else {
      // A free wall end: the walk goes round it.
      o->GetSideCorner(side, &x, &y);
      record(x, y);
      side = 1 - side;
      p = o;
    }
    if (p == start) {
      closed = true;
      break;
    }
  }
  const int n = static_cast<int>(points.size() / 2) - 1;
  if (!closed || m_interior == 0)
    return;
  const auto* outline = reinterpret_cast<const double(*)[2]>(points.data());
  const int m = n + 1;
  m_floor.BuildMesh(n, m, outline);
  if (m_floor.m_level < m_ceiling.m_level)
    m_ceiling.BuildMesh(n, m, outline);
}
