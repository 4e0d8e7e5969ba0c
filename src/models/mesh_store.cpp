// Stored form of the mesh classes: vertices, faces, meshes, the owner part of plan objects,
// wall face cells and room boards. Every record is written and read in one order.
#include <cmath>

#include "models/mesh.h"
#include "models/relink.h"
#include "models/room.h"
#include "models/wallface.h"

namespace {

// Mesh coordinates are plan millimetres; the 3D side takes them as floats.
bool WithinMeshRange(double v) { return std::isfinite(v) && std::fabs(v) <= 1e9; }

}  // namespace

// ---- MeshVertex, MeshFace, Mesh ----

void MeshVertex::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteId(ar, this);
    ar << x << y << z;
  } else {
    ReadWord(ar);
    ar >> x >> y >> z;
  }
}

void MeshFace::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteWord(ar, a);
    WriteWord(ar, b);
    WriteWord(ar, c);
  } else {
    ReadWord(ar);
    a = ReadWord(ar);
    b = ReadWord(ar);
    c = ReadWord(ar);
  }
}

void Mesh::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteCollection(ar, m_vertices);
    WriteCollection(ar, m_faces);
    WriteId(ar, this);
    return;
  }
  Clear();
  ReadOwnedCollection(ar, m_vertices, RUNTIME_CLASS(MeshVertex));
  ReadOwnedCollection(ar, m_faces, RUNTIME_CLASS(MeshFace));
  ReadWord(ar);
  for (int i = 0; i < GetVertexCount(); ++i) {
    const MeshVertex& v = *GetVertex(i);
    if (!WithinMeshRange(v.x) || !WithinMeshRange(v.y) || !WithinMeshRange(v.z)) ThrowDamaged(ar);
  }
  const uint32_t count = static_cast<uint32_t>(GetVertexCount());
  for (int i = 0; i < GetFaceCount(); ++i) {
    const MeshFace& f = *GetFace(i);
    if (f.a >= count || f.b >= count || f.c >= count) ThrowDamaged(ar);
  }
}

void Mesh::Relink(RelinkTable&) {}

// ---- AncestryObject, AncestryMesh ----

void AncestryObject::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteId(ar, this);
    // The scene's objects are not stored (scene.h), so neither is the link to one.
    WriteId(ar, nullptr);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  table.AddRecord(RelinkTable::kAncestryObjects, "AncestryObject", ReadWord(ar), this);
  table.DeferLink(m_pOwner, ReadWord(ar));
}

void AncestryObject::Relink(RelinkTable& table) {
  table.RelinkField(m_pOwner, RelinkTable::kSceneGroups);
}

void AncestryMesh::Serialize(CArchive& ar) {
  Mesh::Serialize(ar);
  m_ancestry.Serialize(ar);
  if (ar.IsStoring())
    WriteId(ar, this);
  else
    ReadWord(ar);
}

void AncestryMesh::Relink(RelinkTable& table) {
  Mesh::Relink(table);
  m_ancestry.Relink(table);
}

// ---- WallFaceCell ----

void WallFaceCell::Serialize(CArchive& ar) {
  Mesh::Serialize(ar);
  // The cell's own fields go from the last in memory to the first.
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteId(ar, m_pBelow);
    WriteInt(ar, m_top);
    WriteWord(ar, m_band);
    return;
  }
  RelinkTable& table = GetRelinkTable(ar);
  table.AddRecord(RelinkTable::kWallFaceCells, "WallFaceCell", ReadWord(ar), this);
  table.DeferLink(m_pBelow, ReadWord(ar));
  m_top = ReadInt(ar);
  m_band = ReadWord(ar);
}

void WallFaceCell::Relink(RelinkTable& table) {
  Mesh::Relink(table);
  table.RelinkField(m_pBelow, RelinkTable::kWallFaceCells);
}

// ---- Room boards ----

void RoomBoard::Serialize(CArchive& ar) {
  Mesh::Serialize(ar);
  m_objects.Serialize(ar);
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteInt(ar, m_level);
  } else {
    ReadWord(ar);
    m_level = ReadInt(ar);
  }
}

void RoomBoard::Relink(RelinkTable& table) {
  Mesh::Relink(table);
  m_objects.Relink(table);
}

void RoomFloor::Serialize(CArchive& ar) {
  RoomBoard::Serialize(ar);
  if (ar.IsStoring())
    WriteId(ar, this);
  else
    ReadWord(ar);
}

void RoomCeiling::Serialize(CArchive& ar) {
  RoomBoard::Serialize(ar);
  if (ar.IsStoring())
    WriteId(ar, this);
  else
    ReadWord(ar);
}
