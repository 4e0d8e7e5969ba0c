// The sides of walls as rooms see them: a room's wall faces and the horizontal bands (cells)
// of each wall side.
#pragma once
#include <cstdint>

#include "models/mesh.h"

class Wall;
class WallPole;

// Band kinds of a cell.
enum : uint32_t {
  BAND_PLAIN = 0,
  BAND_FLOOR_MOULDING = 103,
  BAND_WALL = 104,
  BAND_BAND_MOULDING = 105,
  BAND_CEILING_MOULDING = 106,
};

// One horizontal band of a wall side, bottom first; its mesh is built with the room.
class WallFaceCell : public Mesh {
  DECLARE_SERIAL(WallFaceCell)
public:
  WallFaceCell() = default;
  WallFaceCell(uint32_t band, int32_t top, WallFaceCell* below)
      : m_band(band), m_top(top), m_pBelow(below) {}
  ~WallFaceCell() override = default;

  // Stored form (mesh_store.cpp): the mesh, self id (recorded as "WallFaceCell"), id of the
  // band below, top level, band kind.
  void Serialize(CArchive& ar) override;
  void Relink(RelinkTable& table) override;

  uint32_t m_band = 0;               // band kind
  int32_t m_top = 0;                 // top level, millimetres
  WallFaceCell* m_pBelow = nullptr;  // the band below, null for the bottom band
};

// One entry of a room's wall sides: a wall, the pole from which the room was traced along it,
// and the side of the wall that faces the room.
class WallFace : public CObject {
  DECLARE_SERIAL(WallFace)
public:
  WallFace() = default;
  WallFace(Wall* wall, WallPole* pole, int32_t direction)
      : m_pWall(wall), m_pPole(pole), m_direction(direction) {}
  ~WallFace() override;
  WallFace(const WallFace&) = delete;
  WallFace& operator=(const WallFace&) = delete;

  // Stored form (plan_store.cpp): the two arrays, self id, ids of the wall and the pole, each
  // moulding mesh behind a presence flag, the direction.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable& table);

  // 0 when the room lies on the wall's side 0, 1 on side 1.
  int GetSide() const { return m_direction == -1 ? 0 : 1; }

  Wall* m_pWall = nullptr;
  WallPole* m_pPole = nullptr;
  AncestryMesh* m_pMoulding[2] = {nullptr, nullptr};  // owned, null until built
  int32_t m_direction = 1;  // -1: the room is on the wall's side 0; +1: on side 1
  ObjectArray m_items[2];
};
