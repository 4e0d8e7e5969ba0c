// Stored form of the plan classes: the frame, walls, poles and their join records, rooms and
// their wall sides; their relink walks and after-load steps.
#include <cstring>
#include <vector>

#include "models/frame.h"
#include "models/relink.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallface.h"
#include "models/wallpole.h"

namespace {

// A 32-bit presence flag; any value but 0 counts as present.
bool ReadFlag(CArchive& ar) { return ReadWord(ar) != 0; }

// Relinks each element of an array of the given class, from the last to the first.
template <class T>
void RelinkEach(const ObjectArray& array, RelinkTable& table) {
  for (INT_PTR i = array.GetSize() - 1; i >= 0; --i) static_cast<T*>(array.GetAt(i))->Relink(table);
}

// Only the high half of a flag word is stored: the low half holds run-time marks.
constexpr uint32_t kStoredFlags = 0xFFFF0000u;

}  // namespace

// ---- Frame ----

void Frame::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteCollection(ar, m_rooms);
    WriteCollection(ar, m_walls);
    WriteCollection(ar, m_chain);
    WriteId(ar, this);
    BYTE origin[8];
    std::memcpy(origin, &m_originX, 4);
    std::memcpy(origin + 4, &m_originY, 4);
    ar.Write(origin, sizeof origin);
    WriteWord(ar, m_pDummyRoom ? 1u : 0u);
    if (m_pDummyRoom) ar.WriteObject(m_pDummyRoom);
    return;
  }
  ReadOwnedCollection(ar, m_rooms, RUNTIME_CLASS(Room));
  ReadOwnedCollection(ar, m_walls, RUNTIME_CLASS(Wall));
  ReadOwnedCollection(ar, m_chain, RUNTIME_CLASS(Wall));
  ReadWord(ar);
  BYTE origin[8];
  if (ar.Read(origin, sizeof origin) != sizeof origin)
    AfxThrowArchiveException(CArchiveException::endOfFile);
  std::memcpy(&m_originX, origin, 4);
  std::memcpy(&m_originY, origin + 4, 4);
  m_pDummyRoom = nullptr;
  if (ReadFlag(ar)) m_pDummyRoom = ReadOwned<Room>(ar, RUNTIME_CLASS(Room));
}

void Frame::Relink(RelinkTable& table) {
  if (m_pDummyRoom) m_pDummyRoom->m_pPlan = this;
  for (int i = 0; i < GetRoomCount(); ++i) RoomAt(i)->m_pPlan = this;
  if (m_pDummyRoom) m_pDummyRoom->Relink(table);
  RelinkEach<Room>(m_rooms, table);
  RelinkEach<Wall>(m_walls, table);
  RelinkEach<Wall>(m_chain, table);
}

void Frame::AfterLoad() {
  for (int i = GetWallCount() - 1; i >= 0; --i) GetWall(i)->AfterLoad();
  for (int i = GetChainCount() - 1; i >= 0; --i) GetChainWall(i)->AfterLoad();
}

// ---- Wall ----

void Wall::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteCollection(ar, m_cells[0]);
    WriteCollection(ar, m_cells[1]);
    m_openings.Serialize(ar);
    WriteId(ar, this);
    ar.WriteObject(m_pStart);
    ar.WriteObject(m_pEnd);
    WriteId(ar, m_pRoom[0]);
    WriteId(ar, m_pRoom[1]);
    WriteWord(ar, m_pPendingOpening ? 1u : 0u);
    if (m_pPendingOpening) ar.WriteObject(m_pPendingOpening);
    WriteWord(ar, m_thickness);
    WriteWord(ar, m_flags & kStoredFlags);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  ReadOwnedCollection(ar, m_cells[0], RUNTIME_CLASS(WallFaceCell));
  ReadOwnedCollection(ar, m_cells[1], RUNTIME_CLASS(WallFaceCell));
  m_openings.Serialize(ar);
  table.AddRecord(RelinkTable::kWalls, "Wall", ReadWord(ar), this);
  m_pStart = ReadOwned<WallPole>(ar, RUNTIME_CLASS(WallPole));
  m_pEnd = ReadOwned<WallPole>(ar, RUNTIME_CLASS(WallPole));
  table.DeferLink(m_pRoom[0], ReadWord(ar));
  table.DeferLink(m_pRoom[1], ReadWord(ar));
  m_pPendingOpening = nullptr;
  if (ReadFlag(ar)) m_pPendingOpening = ReadOwned<HoleInstance>(ar, RUNTIME_CLASS(HoleInstance));
  m_thickness = ReadWord(ar);
  const uint32_t flags = ReadWord(ar) & kStoredFlags;
  // Scratch copies live only while a change is tried; the plan never holds one.
  if (flags & PLAN_SCRATCH) ThrowDamaged(ar);
  m_flags = flags;
  m_pOrigin = this;
}

void Wall::Relink(RelinkTable& table) {
  if (m_pStart) m_pStart->Relink(table);
  if (m_pEnd) m_pEnd->Relink(table);
  m_openings.Relink(table);
  if (m_pPendingOpening) m_pPendingOpening->Relink(table);
  table.RelinkField(m_pRoom[0], RelinkTable::kRooms);
  table.RelinkField(m_pRoom[1], RelinkTable::kRooms);
  RelinkEach<WallFaceCell>(m_cells[0], table);
  RelinkEach<WallFaceCell>(m_cells[1], table);
}

void Wall::AfterLoad() {
  for (WallPole* pole : {m_pStart, m_pEnd}) {
    if (!pole || pole->GetDegree() == 0) continue;
    pole->GetJoin(0)->m_pWall = this;
    pole->GetJoin(0)->m_pPole = pole;
  }
}

// ---- WallPole, WallPoleJoinInfo ----

void WallPoleJoinInfo::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteId(ar, m_pWall);
    WriteId(ar, m_pPole);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  ReadWord(ar);
  table.DeferLink(m_pWall, ReadWord(ar));
  table.DeferLink(m_pPole, ReadWord(ar));
}

void WallPoleJoinInfo::Relink(RelinkTable& table) {
  table.RelinkField(m_pWall, RelinkTable::kWalls);
  table.RelinkField(m_pPole, RelinkTable::kWallPoles);
}

void WallPole::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    // The records of the other poles of the group are stored with the pole that reaches them
    // first and referred to afterwards.
    WriteCollection(ar, m_joins);
    WriteId(ar, this);
    WriteId(ar, m_pCounterClockwise);
    WriteId(ar, m_pClockwise);
    WriteInt(ar, m_height);
    ar << m_x << m_y;
    for (double v : m_corner) ar << v;
    for (double v : m_altCorner) ar << v;
    WriteWord(ar, m_sideFlags);
    WriteWord(ar, m_state);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  const DWORD count = ar.ReadCount();
  std::vector<WallPoleJoinInfo*> joins;
  for (DWORD i = 0; i < count; ++i) {
    BOOL isNew = FALSE;
    CObject* record = ar.ReadObject(RUNTIME_CLASS(WallPoleJoinInfo), &isNew);
    if (record == nullptr) ThrowDamaged(ar);
    if (isNew) table.AdoptJoinRecord(static_cast<WallPoleJoinInfo*>(record));
    joins.push_back(static_cast<WallPoleJoinInfo*>(record));
  }
  table.DeferJoins(this, std::move(joins));
  table.AddRecord(RelinkTable::kWallPoles, "WallPole", ReadWord(ar), this);
  table.DeferLink(m_pCounterClockwise, ReadWord(ar));
  table.DeferLink(m_pClockwise, ReadWord(ar));
  m_height = ReadInt(ar);
  ar >> m_x >> m_y;
  for (double& v : m_corner) ar >> v;
  for (double& v : m_altCorner) ar >> v;
  m_sideFlags = ReadWord(ar);
  m_state = ReadWord(ar);
}

void WallPole::Relink(RelinkTable& table) {
  table.RelinkField(m_pCounterClockwise, RelinkTable::kWallPoles);
  table.RelinkField(m_pClockwise, RelinkTable::kWallPoles);
  m_joins.RemoveAll();
  for (WallPoleJoinInfo* record : table.TakeJoins(this)) m_joins.Add(record);
  RelinkEach<WallPoleJoinInfo>(m_joins, table);
}

// ---- WallFace ----

void WallFace::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteCollection(ar, m_items[0]);
    WriteCollection(ar, m_items[1]);
    WriteId(ar, this);
    WriteId(ar, m_pWall);
    WriteId(ar, m_pPole);
    for (const AncestryMesh* moulding : m_pMoulding) {
      WriteWord(ar, moulding ? 1u : 0u);
      if (moulding) ar.WriteObject(moulding);
    }
    WriteInt(ar, m_direction);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  // The two arrays hold meshes of the wall side (the plan fills neither of them today).
  ReadOwnedCollection(ar, m_items[0], RUNTIME_CLASS(Mesh));
  ReadOwnedCollection(ar, m_items[1], RUNTIME_CLASS(Mesh));
  ReadWord(ar);
  table.DeferLink(m_pWall, ReadWord(ar));
  table.DeferLink(m_pPole, ReadWord(ar));
  for (AncestryMesh*& moulding : m_pMoulding) {
    moulding = nullptr;
    if (ReadFlag(ar)) moulding = ReadOwned<AncestryMesh>(ar, RUNTIME_CLASS(AncestryMesh));
  }
  m_direction = ReadInt(ar);
}

void WallFace::Relink(RelinkTable& table) {
  table.RelinkField(m_pWall, RelinkTable::kWalls);
  table.RelinkField(m_pPole, RelinkTable::kWallPoles);
  for (AncestryMesh* moulding : m_pMoulding)
    if (moulding) moulding->Relink(table);
  RelinkEach<Mesh>(m_items[0], table);
  RelinkEach<Mesh>(m_items[1], table);
}

// ---- Room ----

void Room::Serialize(CArchive& ar) {
  AncestryObject::Serialize(ar);
  for (Mesh& mesh : m_meshes) mesh.Serialize(ar);
  m_floor.Serialize(ar);
  m_ceiling.Serialize(ar);
  if (ar.IsStoring()) {
    WriteCollection(ar, m_wallFaces);
    WriteId(ar, this);
    WriteWord(ar, m_interior);
    WriteWord(ar, m_state & kStoredFlags);
    return;
  }
  ReadOwnedCollection(ar, m_wallFaces, RUNTIME_CLASS(WallFace));
  GetRelinkTable(ar).AddRecord(RelinkTable::kRooms, "Room", ReadWord(ar), this);
  m_interior = ReadWord(ar);
  m_state = ReadWord(ar) & kStoredFlags;
}

void Room::Relink(RelinkTable& table) {
  AncestryObject::Relink(table);
  for (Mesh& mesh : m_meshes) mesh.Relink(table);
  m_floor.Relink(table);
  m_ceiling.Relink(table);
  RelinkEach<WallFace>(m_wallFaces, table);
}
