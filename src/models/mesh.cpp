#include "models/mesh.h"

#include <cstdio>

IMPLEMENT_SERIAL(MeshVertex, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(MeshFace, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(Mesh, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(AncestryObject, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(AncestryMesh, Mesh, VERSIONABLE_SCHEMA | 5)

MeshVertex::MeshVertex() : CObject() {}

MeshVertex::MeshVertex(double x, double y, double z)
    : CObject(), x(RoundMesh(x)), y(RoundMesh(y)), z(RoundMesh(z)) {}

MeshVertex::MeshVertex(const MeshVertex& other)
    : CObject(), x(RoundMesh(other.x)), y(RoundMesh(other.y)), z(RoundMesh(other.z)) {}

MeshVertex::MeshVertex(const double xyz[3])
    : CObject(), x(RoundMesh(xyz[0])), y(RoundMesh(xyz[1])), z(RoundMesh(xyz[2])) {}

MeshVertex& MeshVertex::operator=(const MeshVertex& other) {
  x = RoundMesh(other.x);
  y = RoundMesh(other.y);
  z = RoundMesh(other.z);
  return *this;
}

MeshVertex MeshVertex::Cross(const MeshVertex& u, const MeshVertex& v) {
  return MeshVertex(u.y * v.z - v.y * u.z, v.x * u.z - u.x * v.z, u.x * v.y - u.y * v.x);
}

Mesh::Mesh() = default;

Mesh::~Mesh() {
  Clear();
}

void Mesh::Clear() {
  for (INT_PTR i = m_faces.GetSize() - 1; i >= 0; --i)
    delete m_faces.GetAt(i);
  m_faces.RemoveAll();
  for (INT_PTR i = m_vertices.GetSize() - 1; i >= 0; --i)
    delete m_vertices.GetAt(i);
  m_vertices.RemoveAll();
}

int Mesh::AddVertex(MeshVertex* vertex) {
  return static_cast<int>(m_vertices.Add(vertex));
}

int Mesh::AddFace(MeshFace* face, bool flip) {
  if (flip) {
    const uint32_t b = face->b;
    face->b = face->c;
    face->c = b;
  }
  if (!IsFaceValid(*face)) {
    delete face;
    return -1;
  }
  return static_cast<int>(m_faces.Add(face));
}

bool Mesh::IsFaceValid(const MeshFace& face) const {
  const uint32_t count = static_cast<uint32_t>(GetVertexCount());
  if (face.a >= count || face.b >= count || face.c >= count)
    return false;
  const MeshVertex& a = *GetVertex(static_cast<int>(face.a));
  const MeshVertex& b = *GetVertex(static_cast<int>(face.b));
  const MeshVertex& c = *GetVertex(static_cast<int>(face.c));
  const MeshVertex e1(a.x - b.x, a.y - b.y, a.z - b.z);
  const MeshVertex e2(a.x - c.x, a.y - c.y, a.z - c.z);
  const MeshVertex n = MeshVertex::Cross(e1, e2);
  return std::fabs(n.x) >= 0.001 || std::fabs(n.y) >= 0.001 || std::fabs(n.z) >= 0.001;
}

void Mesh::Append(const Mesh& other, bool flip) {
  const uint32_t base = static_cast<uint32_t>(GetVertexCount());
  const int vertices = other.GetVertexCount();
  const int faces = other.GetFaceCount();
  for (int i = 0; i < vertices; ++i)
    AddVertex(new MeshVertex(*other.GetVertex(i)));
  for (int i = 0; i < faces; ++i) {
    const MeshFace& f = *other.GetFace(i);
    AddFace(new MeshFace(f.a + base, f.b + base, f.c + base), flip);
  }
}

CString AncestryObject::FormatId() const {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(GetObjectId()));
  return CString(text);
}
