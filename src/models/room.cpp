#include "models/room.h"

#include <cstring>

#include "models/planhost.h"
#include "models/wall.h"

IMPLEMENT_SERIAL(RoomBoard, Mesh, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(RoomFloor, RoomBoard, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(RoomCeiling, RoomBoard, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(Room, AncestryObject, VERSIONABLE_SCHEMA | 5)

Room::Room(int32_t ceiling, int32_t floor) {
  m_floor.m_level = floor;
  m_ceiling.m_level = ceiling;
}

Room::~Room() {
  for (Mesh& mesh : m_meshes) mesh.Clear();
  m_floor.Clear();
  m_ceiling.Clear();
  // The last face is always the one that RemoveWallFace finds first.
  while (GetWallFaceCount() > 0) {
    const int last = GetWallFaceCount() - 1;
    WallFace* face = GetWallFace(last);
    if (!face->m_pWall || !RemoveWallFace(face->m_pWall, face->GetSide())) {
      delete face;
      m_wallFaces.RemoveAt(last);
    }
  }
  m_wallFaces.RemoveAll();
}

void Room::AddWallFace(Wall* wall, WallPole* pole, int32_t direction) {
  const int side = direction == -1 ? 0 : 1;
  Room* holder = wall->m_pRoom[side];
  if (holder && holder != this) holder->RemoveWallFace(wall, side);
  wall->m_pRoom[side] = this;
  m_wallFaces.Add(new WallFace(wall, pole, direction == -1 ? -1 : 1));
}

void Room::AddWallFaceLike(Wall* wall, WallPole* pole, Wall* reference) {
  if (const WallFace* face = FindWallFace(reference, -1)) AddWallFace(wall, pole, face->m_direction);
}

bool Room::RemoveWallFace(Wall* wall, int side) {
  const int32_t direction = side ? 1 : -1;
  for (int i = GetWallFaceCount() - 1; i >= 0; --i) {
    WallFace* face = GetWallFace(i);
    if (face->m_pWall != wall || face->m_direction != direction) continue;
    if (wall->m_pRoom[side ? 1 : 0] == this) {
      wall->m_flags &= side ? ~WALL_SIDE1_SELECTED : ~WALL_SIDE0_SELECTED;
      wall->m_pRoom[side ? 1 : 0] = nullptr;
    }
    delete face;
    m_wallFaces.RemoveAt(i);
    return true;
  }
  return false;
}

WallFace* Room::FindWallFace(const Wall* wall, int side) const {
  for (int i = GetWallFaceCount() - 1; i >= 0; --i) {
    WallFace* face = GetWallFace(i);
    if (face->m_pWall == wall && (side < 0 || face->GetSide() == side)) return face;
  }
  return nullptr;
}

CString Room::GetKeyString() const {
  if (m_pOwner) return GetPlanHost().GetSceneObjectName(m_pOwner);
  return FormatId();
}

CString Room::GetDisplayName() const { return ExtractRoomName(GetKeyString()); }

CString ExtractRoomName(const char* key) {
  if (!key) return CString();
  const char* plus = std::strchr(key, '+');
  if (!plus) return CString();
  const char* equals = std::strchr(plus + 1, '=');
  if (!equals) return CString();
  return CString(plus + 1, static_cast<int>(equals - plus - 1));
}
