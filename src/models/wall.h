// Walls of the plan: straight slabs between two poles, with their face cells per side and the
// doors and windows set into them.
#pragma once
#include <cstdint>
#include <vector>

#include "models/instance.h"
#include "models/plangeom.h"
#include "models/wallpole.h"

class CDC;
class Room;
class WallFaceCell;

// One piece of a wall between its openings: the corners of both sides and the centre, at the
// piece's start and at its end.
struct WallSegmentOutline {
  double side0Start[2] = {0.0, 0.0};
  double side1Start[2] = {0.0, 0.0};
  double centreStart[2] = {0.0, 0.0};
  double side0End[2] = {0.0, 0.0};
  double side1End[2] = {0.0, 0.0};
  double centreEnd[2] = {0.0, 0.0};
};

// How the plan draws a wall's lines against the rooms beside it (the GDI pen styles).
enum PlanLineStyle { PLAN_LINE_SOLID = 0, PLAN_LINE_DASH = 1, PLAN_LINE_DOT = 2 };

// Wall flags.
enum : uint32_t {
  WALL_SIDE0_SELECTED = 0x1,
  WALL_SIDE1_SELECTED = 0x2,
  WALL_SELECTED = 0x4,
  WALL_MARKED = 0x40,  // in the document's first selection list; shows its dimension
};

class Wall : public CObject {
  DECLARE_SERIAL(Wall)
public:
  Wall() = default;
  // Both poles stand at the start point (on the 0.001 grid); one cell per side.
  Wall(double x, double y, int32_t startHeight, int32_t endHeight, uint32_t thickness);
  ~Wall() override;
  Wall(const Wall&) = delete;
  Wall& operator=(const Wall&) = delete;

  // Stored form (plan_store.cpp): the cells of both sides, the openings, self id (recorded as
  // "Wall"), both poles, the ids of both rooms, the pending opening behind a presence flag, the
  // thickness, the high half of the flags. A loaded wall refers to itself as its origin; a
  // scratch copy in a file makes it damaged.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable& table);
  // After the relink: each pole's own join record names this wall and the pole.
  virtual void AfterLoad();

  // A scratch copy, used to try a change before the plan is touched. It copies the pole
  // positions, corners and heights, the thickness, the flags and, by value, the rooms and the
  // pole groups; its link names the real wall. Destroying it changes nothing outside itself.
  enum ScratchTag { Scratch };
  Wall(const Wall& source, ScratchTag);
  // Makes this scratch copy a copy of the source again.
  void CopyToScratch(const Wall& source);
  bool IsScratch() const { return (m_flags & PLAN_SCRATCH) != 0; }
  // Sets or clears the mark (flag 0x40).
  void SetMarked(bool on);

  WallPole* GetStartPole() const { return m_pStart; }
  WallPole* GetEndPole() const { return m_pEnd; }
  WallPole* GetPole(bool end) const { return end ? m_pEnd : m_pStart; }
  Room* GetRoom(int side) const { return m_pRoom[side ? 1 : 0]; }
  int GetCellCount(int side) const { return static_cast<int>(m_cells[side ? 1 : 0].GetSize()); }
  WallFaceCell* GetCell(int side, int i) const;

  void RecomputeEndCorners(bool start, bool end);
  // Side-0 offset (v[0], v[1]) and side-1 offset (v[2], v[3]) of length d.
  void GetOffsetVectors(double d, double v[4]) const;
  double Length() const;
  double SideLength(int side) const;
  double AngleDegrees(bool reverse) const;
  double AngleTo(const Wall& other, bool reverse) const;
  CRect GetBounds() const;
  CRect UniteBounds(const CRect& rect) const;
  // Replaces a side's cells by bands of the given heights above the floor of that side's room.
  void RebuildFaceCells(int side, const int32_t* heights, const uint32_t* values, int count);
  // The lower pole height, raised to the floor level of each room beside the wall.
  int32_t GetBaseLevel() const;

  // Geometric tests.
  PlanLine CentreLine() const;
  PlanLine SideLine(int side) const;
  void SideLines(PlanLine* side0, PlanLine* side1) const;
  double VisibleLength() const;
  // Distance from a point to the wall (centre line in mode 0, the nearer side line otherwise)
  // and the foot point; a foot beyond the wall becomes the nearer pole.
  double ProjectPoint(double x, double y, double* fx, double* fy, int mode) const;
  double DistanceToNearSide(double x, double y) const;
  int SideOfPoint(double x, double y) const;
  bool IsNearPoint(double x, double y, double* fx, double* fy) const;
  bool IsLongEnough() const;
  bool HasConsistentCorners() const;
  bool Intersects(const Wall& other, double* x, double* y) const;
  bool OverlapsCollinear(const Wall& other) const;
  // Splits the wall at a point where the wall of `crossing` lands on it; the new second piece
  // or null.
  Wall* SplitAt(WallPole* crossing, double x, double y, CRect& rect, bool force);
  // Appends the openings whose span along the wall holds the point.
  void OpeningsAt(double x, double y, CObArray& out) const;

  // Plan drawing (wall_outline.cpp; the drawing itself, Windows only, in wall_draw.cpp).
  // One outline per opening and one more: the pieces broken at the openings, in their order.
  std::vector<WallSegmentOutline> BuildSegmentOutlines() const;
  // Solid when the wall reaches the ceiling of the rooms beside it, dashed when it stands
  // between their floor and ceiling, dotted when it is no higher than the floor (or, without
  // rooms, when it has no height).
  PlanLineStyle GetPlanLineStyle() const;
  // Draws the wall on the output DC, converting plan points less the origin through the mapping
  // DC; nothing for a wall with body outside the clip rectangle (device pixels).
  void Draw(CDC& out, CDC& mapping, CPoint origin, const CRect& clip) const;

  // Openings (wall_opening.cpp).
  // The point a distance along the wall from its start pole, on side 0 or 1 or (-1) the centre.
  void OpeningCorner(double distance, int side, double* x, double* y) const;
  // Places a copy of the template at the point: checks that it fits, finds its library model,
  // adds it to the openings, exports the rooms on both sides again and loads the model into the
  // scene. Flags: bit 0 the facing bit, bit 1 the side bit. Without insert it only checks and
  // records the position in the template. The new opening, or null when refused.
  HoleInstance* InsertOpeningFromLibrary(double x, double y, HoleInstance* opening, int flags,
                                         int insert);

  uint32_t m_thickness = 0;
  WallPole* m_pStart = nullptr;  // owned
  WallPole* m_pEnd = nullptr;    // owned
  Wall* m_pOrigin = nullptr;     // this wall; for a scratch copy the wall it copies
  Room* m_pRoom[2] = {nullptr, nullptr};  // room on side 0 (left) and side 1 (right), not owned
  ObjectArray m_cells[2];                 // WallFaceCell per side, bottom first, owned
  uint32_t m_flags = 0;
  HoleInstance* m_pPendingOpening = nullptr;
  WallHoleInstancesBag m_openings;  // doors and windows, ordered along the wall

private:
  void Build(double x, double y, int32_t startHeight, int32_t endHeight, uint32_t thickness,
             bool cells);
  void ExtentOfCorners(double* xlo, double* xhi, double* ylo, double* yhi) const;
  double ProjectOnLine(const PlanLine& line, double xlo, double xhi, double ylo, double yhi,
                       double x, double y, double* fx, double* fy) const;
};
