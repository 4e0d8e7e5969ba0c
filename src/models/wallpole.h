// Wall poles: the two ends of every wall. Poles that stand at one point form a group in which
// every pole lists every other; the corner geometry of the walls is held in the poles.
#pragma once
#include <cstdint>

#include "models/mesh.h"
#include "models/plangeom.h"

class Frame;
class RelinkTable;
class Wall;
class WallPole;

// One member of a pole group: a wall and its start or end pole.
class WallPoleJoinInfo : public CObject {
  DECLARE_SERIAL(WallPoleJoinInfo)
public:
  WallPoleJoinInfo() = default;
  WallPoleJoinInfo(Wall* wall, WallPole* pole) : m_pWall(wall), m_pPole(pole) {}

  // Stored form (plan_store.cpp): self id, ids of the wall and the pole.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable& table);

  Wall* m_pWall = nullptr;
  WallPole* m_pPole = nullptr;
};

// Side flags of a pole.
enum : uint32_t {
  POLE_STRAIGHT_CW = 0x1,         // the clockwise neighbour continues the wall straight
  POLE_STRAIGHT_CW_OFF = 0x2,     // cleared whenever 0x1 is decided
  POLE_STRAIGHT_CCW_OFF = 0x4,    // cleared whenever 0x8 is decided
  POLE_STRAIGHT_CCW = 0x8,        // the counter-clockwise neighbour continues the wall straight
  POLE_FREE_END = 0xF,            // all four: the pole is alone and its end cap is drawn
  POLE_SIDE1_ALT = 0x100,         // side 1 of this end uses the alternate corners
  POLE_SIDE1_ALT2 = 0x200,        // with 0x100, from a stored plan: side 1 shares the pole top
  POLE_SIDE1_MARKS = 0x400 | 0x800,  // stale; cleared whenever side 1's flags are set
  POLE_SIDE0_ALT = 0x1000,        // side 0 of this end uses the alternate corners
  POLE_SIDE0_ALT2 = 0x2000,       // with 0x1000, from a stored plan: side 0 shares the pole top
  POLE_SIDE0_MARKS = 0x4000 | 0x8000,  // stale; cleared whenever side 0's flags are set
};

// Bit of a pole's state: the pole belongs to a selected wall.
constexpr uint32_t POLE_TOUCHED = 0x1;

// A level that no corner operation has set.
constexpr int32_t LEVEL_UNSET = INT32_MIN;

// Where the face of one side of a wall ends at one of the wall's poles.
struct FaceEnd {
  double point[2][2] = {};  // [0] the reach point, [1] the corner point; x, y each
  int use = 0;              // which of the two the face ends at
  const double* Chosen() const { return point[use ? 1 : 0]; }
};

// The end cap of a side: where its face stops short of a higher neighbour, a strip from the
// reach point to the corner point closes the wall's end between two levels.
struct EndCap {
  int set = 0;
  WallPole* pole = nullptr;  // the pole whose group the cap closes
  double lower = 0.0, upper = 0.0;
};

// The end step: the end of a wall higher than its neighbour, closed from a level up to the
// pole's height.
struct EndStep {
  int set = 0;
  int32_t level = LEVEL_UNSET;
};

// What the room's own side builds over a pole: the pole-top and gap pieces (z = 0), and the
// end centre through which the piece closing the wall's end runs.
struct PoleTop {
  Mesh pieces;
  int midpoint = 1;  // the centre is still to be taken midway between the sides' chosen points
  double centre[2] = {0.0, 0.0};
};

// Bit 31 of a wall's flags and of a pole's state: a scratch copy.
constexpr uint32_t PLAN_SCRATCH = 0x80000000u;

// Corner indices: x of side 0, x of side 1, y of side 0, y of side 1.
enum { CORNER_X0 = 0, CORNER_X1 = 1, CORNER_Y0 = 2, CORNER_Y1 = 3 };

class WallPole : public CObject {
  DECLARE_SERIAL(WallPole)
public:
  WallPole() = default;
  ~WallPole() override;
  WallPole(const WallPole&) = delete;
  WallPole& operator=(const WallPole&) = delete;

  // Stored form (plan_store.cpp): the join records, self id (recorded as "WallPole"), ids of
  // both neighbours, height, position and both corner sets, side flags, state. The join list
  // reaches the pole in the relink walk.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable& table);

  // The group.
  int GetDegree() const { return static_cast<int>(m_joins.GetSize()); }
  bool IsAlone() const { return GetDegree() <= 1; }
  WallPoleJoinInfo* GetJoin(int i) const { return static_cast<WallPoleJoinInfo*>(m_joins.GetAt(i)); }
  Wall* GetJoinWall(int i) const { return GetJoin(i)->m_pWall; }
  WallPole* GetJoinPole(int i) const { return GetJoin(i)->m_pPole; }
  // The wall of join entry 0: the pole's own wall (the origin wall for a scratch copy's pole).
  Wall* FirstJoinedWall() const;
  // True when the pole is the end pole of its own wall.
  bool IsEndPole() const;
  // The other pole of the pole's own wall.
  WallPole* OtherEnd() const;
  bool IsScratch() const { return (m_state & PLAN_SCRATCH) != 0; }

  int AddJoin(Wall* wall, WallPole* pole);
  bool RemoveJoin(WallPole* other);
  int FindJoin(const Wall* wall) const;
  int MergeGroups(WallPole* other);
  void Detach();
  void UpdateGroup(CRect& rect);
  void UpdateCorners(bool side0, bool side1);
  // The nearest counter-clockwise and clockwise records around the group for a wall that ends
  // here; false when the pole is alone.
  bool FindNeighbourJoins(const Wall* wall, WallPoleJoinInfo** ccw, WallPoleJoinInfo** cw) const;
  // The same for a wall whose end at this point is of the given kind (true: its end pole).
  bool FindNeighbourJoins(const Wall* wall, bool wallEnds, WallPoleJoinInfo** ccw,
                          WallPoleJoinInfo** cw) const;
  WallPole* GetNeighbour(int side) const { return side ? m_pClockwise : m_pCounterClockwise; }

  // Geometry.
  double DistanceTo(double x, double y) const;
  bool Coincides(const WallPole& other) const;
  bool IsNearPoint(double x, double y) const;
  double AngleToNeighbour(const WallPole* neighbour, bool clockwise) const;
  int CountSideJoins(int side) const;
  void SetPosition(double x, double y);  // on the 0.001 grid
  // Copies position, both corner sets and the height of another pole.
  void CopyPlace(const WallPole& other);

  // The join-angle check: true when the wall may end at this pole.
  bool CheckJoinAngles(const Wall* wall) const;

  // Levels (the rooms of the pole's own wall).
  int32_t GetBaseLevel() const;
  int32_t GetTopLevel() const;
  // Walks around the group for the wall mesh generation.
  WallPole* FindLevelAround(int direction, int32_t level, int* side, bool strict, bool top);
  WallPole* FindTopAround(int direction, int* side, bool top);
  WallPole* FindOpposite(int side, bool check);

  // Corner accessors.
  void GetSideCorner(int side, double* x, double* y) const;
  void GetEffectiveCorner(int side, double* x, double* y) const;
  void SetSideCorners(int side, double x0, double y0, double x1, double y1);
  void SetSide0Flags(bool use, bool second);
  void SetSide1Flags(bool use, bool second);
  bool TestSide0Flag(int which) const;
  bool TestSide1Flag(int which) const;
  bool TestSideFlag(int side, int which) const {
    return side ? TestSide1Flag(which) : TestSide0Flag(which);
  }

  // Wall end corners for the meshes (wallcorner.cpp), for side s at this pole, walking the
  // group at the given level (top: by the walls' top levels). The caller sets the reach point
  // of `end` to this pole's corner of side s.
  // Moves the two points of `end` and sets which of them the face ends at; answers the same (0
  // or 1), with -1 in place of 1 where the face ends on an opposite wall's line and the walk is
  // not by the tops. Where the face stops short there and `cap` is given, the cap is set.
  int ComputeFaceCorner(const Frame& frame, int s, int32_t level, bool top, FaceEnd& end,
                        EndCap* cap);
  // With the face's end as ComputeFaceCorner left it: builds the pole-top and gap pieces when
  // `poleTop` is given, settles the end cap and the end step, and stores this pole's corners
  // and side flags of side s. The owner builds the shared pieces; for the other room the step
  // is dropped.
  void ComputeSolidCorner(const Frame& frame, int owner, int s, int32_t level, bool top,
                          FaceEnd& end, EndCap& cap, EndStep& step, PoleTop* poleTop);

  WallPole* m_pCounterClockwise = nullptr;  // nearest wall end counter-clockwise in the group
  WallPole* m_pClockwise = nullptr;         // nearest wall end clockwise in the group
  ObjectArray m_joins;                      // WallPoleJoinInfo; entry 0 is the pole's own
  int32_t m_height = 0;
  double m_x = 0.0;
  double m_y = 0.0;
  double m_corner[4] = {0.0, 0.0, 0.0, 0.0};     // current corners
  double m_altCorner[4] = {0.0, 0.0, 0.0, 0.0};  // alternate corners
  uint32_t m_sideFlags = POLE_FREE_END;
  uint32_t m_state = 0;

private:
  int32_t LevelAround(bool top) const;
};

// Puts a pole on the 0.001 grid at (x, y).
void QuantizePoint(WallPole* pole, double x, double y);
