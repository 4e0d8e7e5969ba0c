// Placing doors and windows in a wall: the fit along the wall and under the ceiling, the library
// model of the kind, and the model loaded into the scene at the opening.
#include <algorithm>
#include <cmath>

#include "models/planhost.h"
#include "models/room.h"
#include "models/wall.h"

namespace {

constexpr float kDegreeF = 0.017453293f;
constexpr double kEndClearance = 5.0;  // mm kept free at each end of the wall
constexpr double kMinOpeningSize = 100.0;
constexpr const char kNoLibraryModel[] = "적합한 크기의 라이브러리가 존재하지 않습니다.";

// The extent of an opening along the wall as distances toward the start and the end.
struct AlongWall {
  double towardStart = 0.0;
  double towardEnd = 0.0;
  bool exchanged = false;
};

// The room left free between the foot and each end of the wall.
struct ClearRoom {
  double start = 0.0;
  double end = 0.0;
};

double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

// Where the library model of an opening is loaded: its scene kind and library category.
struct ModelKind {
  int scene;
  int category;
};

ModelKind KindOfModel(const HoleInstance& h) {
  if (h.m_kind == HOLE_WINDOW) return {102, 101};
  if (h.m_kindId == 1006 || h.m_kindId == 1007) return {103, 102};
  if (h.m_kindId == 1008) return {315, 315};
  return {101, 102};
}

}  // namespace

void Wall::OpeningCorner(double distance, int side, double* x, double* y) const {
  const float a = static_cast<float>(AngleDegrees(false)) * kDegreeF;
  double px = m_pStart->m_x + distance * std::cos(a);
  double py = m_pStart->m_y + distance * std::sin(a);
  if (side == 0 || side == 1) {
    const float n = a + (side == 0 ? 90.0f : -90.0f) * kDegreeF;
    px += m_thickness * 0.5 * std::cos(n);
    py += m_thickness * 0.5 * std::sin(n);
  }
  *x = px;
  *y = py;
}

static ClearRoom ClearRoomAt(const Wall& w, double fx, double fy) {
  ClearRoom room{Distance(fx, fy, w.m_pStart->m_x, w.m_pStart->m_y),
                 Distance(fx, fy, w.m_pEnd->m_x, w.m_pEnd->m_y)};
  const bool startNearer = room.start < room.end;
  const WallPole* pole = startNearer ? w.m_pStart : w.m_pEnd;
  double& nearer = startNearer ? room.start : room.end;
  const PlanLine centre = w.CentreLine();
  for (int side = 0; side < 2; ++side) {
    double cx, cy, px, py;
    pole->GetSideCorner(side, &cx, &cy);
    centre.Perpendicular(cx, cy).Intersect(centre, &px, &py);
    nearer = std::min(nearer, Distance(fx, fy, px, py));
  }
  room.start -= kEndClearance;
  room.end -= kEndClearance;
  return room;
}

static bool FitsAlong(const Wall& w, const AlongWall& e, const ClearRoom& room) {
  if (e.towardStart > room.start || e.towardEnd > room.end) return false;
  const double p = e.towardStart + room.start;
  const double q = e.towardEnd + room.end;
  const double length = w.Length();
  return e.exchanged ? p <= length && q >= 0.0 : p >= 0.0 && q <= length;
}

static bool FitsUnder(const Wall& w, const HoleInstance& h) {
  const double top = static_cast<double>(h.m_posture.position[2]) + h.m_posture.size[2];
  if (top > (w.m_pStart->m_height + w.m_pEnd->m_height) * 0.5) return false;
  for (int side = 0; side < 2; ++side)
    if (const Room* room = w.GetRoom(side); room && top > room->GetCeilingLevel()) return false;
  return true;
}

// The height of the opening's centre above the plan's zero level.
static double OpeningElevation(const Wall& w, const HoleInstance& h) {
  const double offset = h.m_posture.position[2];
  const double height = h.m_posture.size[2];
  const double lowPole = std::min(w.m_pStart->m_height, w.m_pEnd->m_height);
  if (h.m_kind == HOLE_DOOR) {
    double floor = 0.0;
    bool any = false;
    for (int side = 0; side < 2; ++side) {
      const Room* room = w.GetRoom(side);
      if (!room || room->m_interior == 0) continue;
      floor = any ? std::max<double>(floor, room->GetFloorLevel()) : room->GetFloorLevel();
      any = true;
    }
    return height * 0.5 + offset + floor;
  }
  double top = lowPole + 10.0;
  bool any = false;
  for (int side = 0; side < 2; ++side) {
    if (const Room* room = w.GetRoom(side)) {
      top = any ? std::min<double>(top, room->GetCeilingLevel()) : room->GetCeilingLevel();
      any = true;
    }
  }
  return std::min(top, lowPole) - offset - height * 0.5;
}

static void ExportSideRooms(Wall& w) {
  for (int side = 0; side < 2; ++side) {
    Room* room = w.GetRoom(side);
    if (!room) continue;
    CollectRoomMaterials(room->m_pOwner);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  }
}

// Loads the opening's library model into the scene and links it to the opening.
static void LoadOpeningModel(const Wall& w, HoleInstance* h, const CString& file, double wallAngle,
                             int sideBit) {
  PlanHost& host = GetPlanHost();
  const CString tempDir = GetTempDir();
  if (!tempDir.IsEmpty()) host.DeleteFolderTree(tempDir + "*" + h->FormatId() + "*");
  ScenePlacement placement;
  w.OpeningCorner(h->m_posture.position[0], -1, &placement.x, &placement.y);
  placement.elevation = OpeningElevation(w, *h);
  placement.angle = -(h->m_posture.rotation[2] + wallAngle);
  placement.side = sideBit;
  const ModelKind kind = KindOfModel(*h);
  CObject* shown = host.LoadObjectFile(file, kind.scene, kind.category, placement);
  if (!shown) return;
  h->m_pOwner = shown;
  host.LinkSceneObject(shown, h, nullptr);
}

HoleInstance* Wall::InsertOpeningFromLibrary(double x, double y, HoleInstance* h, int flags,
                                             int insert) {
  if (m_thickness <= 10) return nullptr;
  const double angle = AngleDegrees(false);
  int sideBit = (flags >> 1) & 1;
  if (angle > 179.999) sideBit ^= 1;
  if (h->m_posture.size[0] < kMinOpeningSize || h->m_posture.size[2] < kMinOpeningSize) return nullptr;

  const auto [low, high] = h->GetExtent(0);
  AlongWall along{-static_cast<double>(low), static_cast<double>(high), sideBit != (flags & 1)};
  if (along.exchanged) std::swap(along.towardStart, along.towardEnd);
  double fx = x, fy = y;
  IsNearPoint(x, y, &fx, &fy);
  if (!FitsAlong(*this, along, ClearRoomAt(*this, fx, fy)) || !FitsUnder(*this, *h)) return nullptr;
  h->m_posture.position[0] = static_cast<float>(Distance(m_pStart->m_x, m_pStart->m_y, fx, fy));

  CString file;
  if (insert) {
    if (sideBit) h->m_posture.rotation[2] = 180.0f;
    file = h->GetLibraryFileName(h->m_posture.mirror != 0);
    if (file.IsEmpty()) {
      GetPlanHost().ShowMessage(kNoLibraryModel, kPlanCaption, kPlanRefusalStyle);
      return nullptr;
    }
  }
  HoleInstance* added = m_openings.Add(h, insert != 0, 0.0);
  if (!insert || !added) return added;
  ExportSideRooms(*this);
  LoadOpeningModel(*this, added, file, angle, sideBit);
  return added;
}
