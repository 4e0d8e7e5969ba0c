// Triangle meshes kept in the plan objects: wall bands, floor and ceiling boards, room meshes.
// Coordinates are plan millimetres; every vertex created is rounded to whole millimetres.
#pragma once
#include <cmath>
#include <cstdint>

#include "afx/afx.h"

// The array member of every plan class: an object array whose elements the holder owns.
#ifndef VEDRA_OBJECT_ARRAY_DEFINED
#define VEDRA_OBJECT_ARRAY_DEFINED
using ObjectArray = CObArray;
#endif

class RelinkTable;
struct Database3ds;

// Rounds a coordinate to a whole millimetre: floor(v + 0.5).
inline double RoundMesh(double v) { return std::floor(v + 0.5); }

class MeshVertex : public CObject {
  DECLARE_SERIAL(MeshVertex)
public:
  MeshVertex();
  MeshVertex(double x, double y, double z);
  MeshVertex(const MeshVertex& other);
  explicit MeshVertex(const double xyz[3]);
  MeshVertex& operator=(const MeshVertex& other);

  // Stored form (mesh_store.cpp): self id, x, y, z. The coordinates are stored as they are.
  void Serialize(CArchive& ar) override;

  // u × v with every component rounded.
  static MeshVertex Cross(const MeshVertex& u, const MeshVertex& v);

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// A triangle by three vertex indices; its front is the side from which a, b, c run
// counter-clockwise.
class MeshFace : public CObject {
  DECLARE_SERIAL(MeshFace)
public:
  MeshFace() = default;
  MeshFace(uint32_t a, uint32_t b, uint32_t c) : a(a), b(b), c(c) {}

  // Stored form (mesh_store.cpp): self id, a, b, c.
  void Serialize(CArchive& ar) override;

  uint32_t a = 0;
  uint32_t b = 0;
  uint32_t c = 0;
};

class Mesh : public CObject {
  DECLARE_SERIAL(Mesh)
public:
  Mesh();
  ~Mesh() override;
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  // Stored form (mesh_store.cpp): the vertices, the faces, self id. A vertex that is not finite
  // or lies beyond 10^9 mm, or a face that indexes past the vertices, makes the file damaged.
  void Serialize(CArchive& ar) override;
  // Vertices and faces link to nothing: the mesh's own relink does nothing.
  virtual void Relink(RelinkTable& table);

  // Deletes the faces and then the vertices, each list from its last element.
  void Clear();
  // Takes the vertex over and returns its index.
  int AddVertex(MeshVertex* vertex);
  // Takes the face over; with flip, b and c are exchanged first. A face that is not valid is
  // deleted. Returns the face's index, or -1 when it was dropped.
  int AddFace(MeshFace* face, bool flip = false);
  // A face is valid when its indices are in range and its rounded normal is not zero.
  bool IsFaceValid(const MeshFace& face) const;
  // Appends rounded copies of the other mesh's vertices and its valid faces (flipped on request).
  void Append(const Mesh& other, bool flip);
  // Writes a material, a mesh object and a keyframe node named by the name (room_export.cpp);
  // with dummyParent the node hangs below the "$$$DUMMY" node of the name's first seven
  // characters. A mesh without vertices or faces writes nothing.
  void WriteTo3ds(Database3ds* db, const char* name, bool dummyParent) const;

  int GetVertexCount() const { return static_cast<int>(m_vertices.GetSize()); }
  int GetFaceCount() const { return static_cast<int>(m_faces.GetSize()); }
  MeshVertex* GetVertex(int i) const { return static_cast<MeshVertex*>(m_vertices.GetAt(i)); }
  MeshFace* GetFace(int i) const { return static_cast<MeshFace*>(m_faces.GetAt(i)); }

  ObjectArray m_vertices;  // MeshVertex, owned
  ObjectArray m_faces;     // MeshFace, owned
};

// A plan object that can be shown in the 3D scene: it links to the scene object that shows it.
class AncestryObject : public CObject {
  DECLARE_SERIAL(AncestryObject)
public:
  AncestryObject() = default;
  ~AncestryObject() override = default;
  AncestryObject(const AncestryObject&) = delete;
  AncestryObject& operator=(const AncestryObject&) = delete;

  // Stored form (mesh_store.cpp): self id (recorded as "AncestryObject"), id of the owner.
  void Serialize(CArchive& ar) override;
  // The owner among the scene groups.
  virtual void Relink(RelinkTable& table);

  // The object's identity as eight lower-case hexadecimal digits.
  CString FormatId() const;

  CObject* m_pOwner = nullptr;  // the scene object that shows this object, not owned
};

// A mesh that belongs to a scene object.
class AncestryMesh : public Mesh {
  DECLARE_SERIAL(AncestryMesh)
public:
  AncestryMesh() = default;
  ~AncestryMesh() override = default;

  // Stored form (mesh_store.cpp): the mesh, the owner part's record, self id.
  void Serialize(CArchive& ar) override;
  void Relink(RelinkTable& table) override;

  AncestryObject m_ancestry;
};
