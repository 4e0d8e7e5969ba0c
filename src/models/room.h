// Rooms of the plan, traced around loops of walls, with their floor and ceiling boards.
#pragma once
#include <cstdint>

#include "models/instance.h"
#include "models/mesh.h"
#include "models/wallface.h"

struct Database3ds;
class CProgressWnd;
class Frame;
class Wall;
class WallPole;

// A flat board of a room at its floor or ceiling level, with the library models set on it.
class RoomBoard : public Mesh {
  DECLARE_SERIAL(RoomBoard)
public:
  RoomBoard() = default;
  ~RoomBoard() override = default;

  // Stored form (mesh_store.cpp): the mesh, the placed models, self id, level.
  void Serialize(CArchive& ar) override;
  void Relink(RelinkTable& table) override;

  // Mesh building (roomboard_mesh.cpp): faces over the outline held in points[1..n] (two
  // doubles each, entry 0 unused; room for m entries). The plain board builds nothing.
  virtual void BuildMesh(int n, int m, const double (*points)[2]);

  int32_t m_level = 0;        // millimetres above the plan's zero level
  LibInstancesBag m_objects;  // placed library models, owned
};

class RoomFloor : public RoomBoard {
  DECLARE_SERIAL(RoomFloor)
public:
  RoomFloor() = default;
  ~RoomFloor() override = default;
  // The board's record, then self id.
  void Serialize(CArchive& ar) override;
  void BuildMesh(int n, int m, const double (*points)[2]) override;
};

class RoomCeiling : public RoomBoard {
  DECLARE_SERIAL(RoomCeiling)
public:
  RoomCeiling() = default;
  ~RoomCeiling() override = default;
  // The board's record, then self id.
  void Serialize(CArchive& ar) override;
  void BuildMesh(int n, int m, const double (*points)[2]) override;
};

// Room state flags.
enum : uint32_t {
  ROOM_SELECTED = 0x4,
  ROOM_EXPORTED = 0x10,
};

class Room : public AncestryObject {
  DECLARE_SERIAL(Room)
public:
  Room() = default;
  Room(int32_t ceiling, int32_t floor);
  // Empties its meshes and gives up its wall sides.
  ~Room() override;

  // Stored form (plan_store.cpp): the owner part, the three meshes, floor, ceiling, the wall
  // sides, self id (recorded as "Room"), the interior flag, the high half of the state.
  void Serialize(CArchive& ar) override;
  void Relink(RelinkTable& table) override;

  int32_t GetFloorLevel() const { return m_floor.m_level; }
  int32_t GetCeilingLevel() const { return m_ceiling.m_level; }
  Mesh& GetBareWallMesh() { return m_meshes[0]; }
  int GetWallFaceCount() const { return static_cast<int>(m_wallFaces.GetSize()); }
  WallFace* GetWallFace(int i) const { return static_cast<WallFace*>(m_wallFaces.GetAt(i)); }

  // The room takes over a side of a wall (direction -1: side 0, +1: side 1).
  void AddWallFace(Wall* wall, WallPole* pole, int32_t direction);
  // Adds a face for the wall with the direction of the reference wall's last face.
  void AddWallFaceLike(Wall* wall, WallPole* pole, Wall* reference);
  // Gives up a side of a wall (0 or 1); false when the room has no such face.
  bool RemoveWallFace(Wall* wall, int side);
  // The last face of the wall on a side (0 or 1; -1 for either), or null.
  WallFace* FindWallFace(const Wall* wall, int side) const;

  // The key text: the name of the scene object that shows the room, else its id as "%08x".
  CString GetKeyString() const;
  // The room's name: the part of its key text between the first "+" and the next "=".
  CString GetDisplayName() const;

  // Export (room_export.cpp). Writes the room's 3D file into the temporary folder and, with
  // the load flag, loads it into the scene in place of its previous object. A null name takes
  // the one in its scene object's key; extra meshes (a pair) mark the enclosing room. Without a
  // neighbour guard the rooms beside it are exported again.
  void ExportTo3ds(Room* neighbourGuard, const char* name, Mesh* extraMeshes, int sceneFlag,
                   int loadFlag, int meshFlag, CProgressWnd* progress, int keepFile);
  // Empties its meshes, boards and the cells of every wall side facing it.
  void ClearMeshes();
  // Replaces its scene object by one loaded from the file (relative to the library folder),
  // named by the key.
  void LoadIntoScene(const char* fileName, const char* key, Mesh* extraMeshes, int sceneFlag);
  // The id, then "+Dummy=" for the enclosing room or "+name=" for a named one.
  CString ExportKey(const char* name, bool enclosing) const;

  // Mesh building (roomboard_mesh.cpp, wallside_mesh.cpp).
  // Fills the floor and ceiling boards from a walk around the room's side of its walls.
  void BuildBoards();
  // Fills the cells of one side (0 or 1) of a wall that faces this room, adds the pieces above
  // the bands to the bare-wall mesh and moves the opening models.
  void BuildWallSide(const Frame& frame, Wall* wall, int side);
  // Which of the two rooms of a wall side builds the pieces that both sides share (0 or 1).
  static int IsWallSideOwner(const Frame& frame, const Wall* wall, int side);

  uint32_t m_interior = 1;  // 0 when the traced loop encloses the outside of the walls
  Mesh m_meshes[3];         // the first is the bare-wall mesh
  RoomFloor m_floor;
  RoomCeiling m_ceiling;
  ObjectArray m_wallFaces;  // WallFace, owned
  uint32_t m_state = 0;
  Frame* m_pPlan = nullptr;  // the plan that holds the room (not stored; set by the plan)
  int m_lastSuffix = -1;     // the random suffix of its last file

private:
  void WriteMeshes(Database3ds* db, Mesh* extraMeshes, CProgressWnd* progress);
  // True when the whole file was written; a file left partial is deleted.
  bool WriteFile3ds(const char* path, Mesh* extraMeshes, int meshFlag, CProgressWnd* progress);
  void ExportNeighbours();
};

// The text between the first "+" and the first "=" after it; empty when either is missing.
CString ExtractRoomName(const char* key);
