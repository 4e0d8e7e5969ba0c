// The plan of one home model: its walls, its rooms, the chain of walls being drawn and the
// enclosing room built for the 3D view.
//
// Operations that change the plan hand back a repaint rectangle that they grow to cover what
// they touched; the plan editor invalidates it. Refused steps leave the plan as it was: changes
// are tried on scratch copies of walls first.
#pragma once
#include <cstdint>
#include <memory>

#include "models/plangeom.h"
#include "models/planmapping.h"
#include "models/room.h"
#include "models/wall.h"

class CProgressWnd;
class Model;

// Bit of the drawing flags: the wall may run at any angle (else horizontal or vertical).
constexpr int PLAN_FREE_ANGLE = 8;

// What a snap found: a wall, and one of its poles when the point landed on that pole.
struct WallHit {
  Wall* wall = nullptr;
  WallPole* pole = nullptr;
};

class Frame : public CObject {
  DECLARE_SERIAL(Frame)
public:
  Frame() = default;
  explicit Frame(Model* owner) : m_pOwner(owner) {}
  // Deletes every room, then every wall, then every wall of the chain.
  ~Frame() override;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // Stored form (plan_store.cpp): rooms, walls, walls of the chain, self id, the origin offset
  // as a raw 8-byte block, the enclosing room behind a presence flag.
  void Serialize(CArchive& ar) override;
  // The enclosing room, then each room, wall and wall of the chain.
  virtual void Relink(RelinkTable& table);
  // Each wall's after-load, the walls' array and then the chain, each from its last wall.
  virtual void AfterLoad();

  int GetWallCount() const { return static_cast<int>(m_walls.GetSize()); }
  Wall* GetWall(int i) const { return static_cast<Wall*>(m_walls.GetAt(i)); }
  int GetChainCount() const { return static_cast<int>(m_chain.GetSize()); }
  Wall* GetChainWall(int i) const { return static_cast<Wall*>(m_chain.GetAt(i)); }
  int GetRoomCount() const { return static_cast<int>(m_rooms.GetSize()); }
  Room* RoomAt(int i) const { return static_cast<Room*>(m_rooms.GetAt(i)); }
  bool IsDrawing() const { return GetChainCount() > 0; }

  // The chain of walls being drawn.
  Wall* GetLastDrawnWall() const;
  int AddDrawnWall(CPoint click, int flags, int32_t height, uint32_t thickness, CRect& rect);
  int TrackDrawnWall(CPoint& point, int flags, CRect& rect);
  int FinishDrawnWalls(CPoint point, int flags, CRect& rect);
  int RemoveLastDrawnWall(CRect& rect);
  int ClearDrawnWalls(CRect& rect);
  int SnapWallEnd(WallPole* aimed, WallPole* moving, double* x, double* y, WallHit* hit,
                  bool freeAngle);
  void FindNearestWall(double* x, double* y, WallHit* hit) const;
  int CollectCrossingWalls(const Wall& wall, CObArray& list, bool nearTest) const;

  // Upkeep of the wall arrays.
  int MergeWallsAtPole(WallPole* p, WallPole* q, CRect& rect, bool roomCheck);
  Wall* SplitWall(Wall* wall, WallPole* pole, double x, double y, CRect& rect, bool force = false);
  void InsertWallAfter(Wall* wall, Wall* existing);
  void RemoveWall(Wall* wall, CRect& rect, bool roomFlag);
  void RemoveWallAt(ObjectArray& array, int index, CRect& rect, bool roomFlag);
  static int IndexOfWall(const ObjectArray& array, const Wall* wall);

  // Rooms.
  Room* CreateRoom(Wall* wall, int side, int32_t ceiling, int32_t floor, bool enclosing);
  Room* PlaceRoomAt(CPoint point, int32_t ceiling, int32_t floor, bool noRegen);
  int RemoveRoom(Room* room, bool regenerate);
  int BuildDummyRoom(int exportFlag);
  void ExportAllRooms(CProgressWnd* progress, int value);
  Room* FindRoomByName(const char* name) const;
  int IndexOfRoom(const Room* room) const;
  int IsRoomAfter(const Room* a, const Room* b) const;
  int IsWallAfter(const Wall* a, const Wall* b) const;

  // Hit tests used while drawing.
  Wall* FindNearestObject(CPoint point) const;
  Wall* FindFarthestWall(CPoint point) const;
  CRect GetChainBounds() const;
  CRect GetBounds() const;

  // The plan editor's picking (plan_pick.cpp). While a chain is being drawn each first asks
  // whether to finish it; Cancel changes nothing and gives null (0).
  // The wall under a device point (converted in place to a logical point): the anchor holds the
  // logical point plus the origin offset; openings, when asked, receive the wall's openings
  // under it. Away from every wall the select rectangle becomes empty at the device point and
  // the result is null.
  Wall* PickWallAt(const PlanMapping& mapping, CPoint& point, std::unique_ptr<CPoint>& anchor,
                   std::unique_ptr<CRect>& selectRect, int flags, CRect& rect,
                   CObArray* openings);
  // Selects (through the host, keeping the others) every wall whose bounds the band (device;
  // converted in place to logical, normalised) covers by more than half in both directions; the
  // number selected.
  int PickWallsInRect(const PlanMapping& mapping, CRect& band, int flags, CRect& rect);
  // Deletes the selected walls (flag 0x4), with the unbranched runs they belonged to when the
  // setting trims open wall ends, and exports the rooms beside them again.
  void DeleteSelected(CRect& rect);
  // Draws every wall, then the chain, each from its last (Windows only, symbol_draw.cpp).
  void DrawWalls(CDC& out, CDC& mapping, const CRect& clip) const;

  Model* m_pOwner = nullptr;
  int32_t m_originX = 0;  // origin offset added to clicked points
  int32_t m_originY = 0;
  Room* m_pDummyRoom = nullptr;  // the enclosing room, owned
  ObjectArray m_rooms;           // Room, owned
  ObjectArray m_walls;           // Wall, owned
  ObjectArray m_chain;           // Wall of the chain being drawn, owned

private:
  void StraightenChainEnd(Wall* wall, double x, double y, CRect& rect);
  void UpdateRoomsAtJoint(WallPole* joint);
  void RemoveRoomAtPoint(CPoint point);
  void TrimOpenChainEnds(CRect& rect);
  int TraceLimit() const;
  bool OwnsPole(const WallPole* pole) const;
  bool HoldsWall(const Wall* wall) const;
  bool FinishChainFirst(int flags, CRect& rect);
  Wall* LastSelectedWall() const;
  void TrimRunFrom(Wall* wall, CPtrArray& rooms, CRect& rect);
};

// Exports each room of the list again (last first), skipping nulls and repeats.
void RegenerateRooms(const CPtrArray& rooms);
