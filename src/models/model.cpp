#include "models/model.h"

#include "models/holesymbol.h"
#include "models/library.h"
#include "models/relink.h"

IMPLEMENT_SERIAL(Model, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(ModelInformation, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(ModelDatabase, CObject, VERSIONABLE_SCHEMA | 5)

Model::Model() : m_frame(this), m_scene(this) {}

Model::~Model() = default;

void Model::Serialize(CArchive& ar) {
  m_frame.Serialize(ar);
  m_scene.Serialize(ar);
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteWord(ar, m_version);
    WriteWord(ar, m_modelKind);
    for (const CString& s : m_strings) ar << s;
    WriteWord(ar, m_lastWord);
  } else {
    ReadWord(ar);
    m_version = ReadWord(ar);
    m_modelKind = ReadWord(ar);
    for (CString& s : m_strings) ar >> s;
    m_lastWord = ReadWord(ar);
  }
}

void Model::Relink(RelinkTable& table) {
  m_scene.m_pOwner = this;
  m_scene.Relink(table);
  m_frame.m_pOwner = this;
  m_frame.Relink(table);
}

void Model::AfterLoad() {
  m_scene.AfterLoad();
  m_frame.AfterLoad();
}

CArchive& ReadModelObject(CArchive& ar, Model*& model) { return ar >> model; }

void ModelInformation::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteWord(ar, m_version);
    WriteWord(ar, m_modelKind);
    for (const CString& s : m_strings) ar << s;
    WriteWord(ar, m_lastWord);
  } else {
    m_version = ReadWord(ar);
    m_modelKind = ReadWord(ar);
    for (CString& s : m_strings) ar >> s;
    m_lastWord = ReadWord(ar);
  }
}

ModelDatabase::~ModelDatabase() {
  while (!m_list.IsEmpty()) delete m_list.RemoveHead();
}

void ModelDatabase::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(m_list.GetCount()));
    for (POSITION pos = m_list.GetHeadPosition(); pos != NULL;) ar.WriteObject(m_list.GetNext(pos));
    return;
  }
  const DWORD count = ar.ReadCount();
  for (DWORD i = 0; i < count; ++i) {
    CObject* info = ReadOwnedObject(ar, RUNTIME_CLASS(ModelInformation));
    if (info == nullptr) ThrowDamaged(ar);
    m_list.AddTail(info);
  }
}

void RegisterModelClasses() {
  CRuntimeClass* const classes[] = {
      RUNTIME_CLASS(Model),          RUNTIME_CLASS(ModelInformation),
      RUNTIME_CLASS(ModelDatabase),  RUNTIME_CLASS(Scene),
      RUNTIME_CLASS(Frame),          RUNTIME_CLASS(Wall),
      RUNTIME_CLASS(WallPole),       RUNTIME_CLASS(WallPoleJoinInfo),
      RUNTIME_CLASS(WallFace),       RUNTIME_CLASS(WallFaceCell),
      RUNTIME_CLASS(Room),           RUNTIME_CLASS(RoomBoard),
      RUNTIME_CLASS(RoomFloor),      RUNTIME_CLASS(RoomCeiling),
      RUNTIME_CLASS(Posture),        RUNTIME_CLASS(LibInstance),
      RUNTIME_CLASS(HoleInstance),   RUNTIME_CLASS(LibInstancesBag),
      RUNTIME_CLASS(HoleInstancesBag), RUNTIME_CLASS(WallHoleInstancesBag),
      RUNTIME_CLASS(Mesh),           RUNTIME_CLASS(MeshVertex),
      RUNTIME_CLASS(MeshFace),       RUNTIME_CLASS(AncestryObject),
      RUNTIME_CLASS(AncestryMesh),
      RUNTIME_CLASS(Hole),           RUNTIME_CLASS(HHole),
      RUNTIME_CLASS(VHole),          RUNTIME_CLASS(HoleSymbol),
      RUNTIME_CLASS(HoleRegularSymbol), RUNTIME_CLASS(DXFPoint),
      RUNTIME_CLASS(DXFLine),        RUNTIME_CLASS(DXFCircle),
      RUNTIME_CLASS(DXFArc),         RUNTIME_CLASS(Library),
      RUNTIME_CLASS(LibraryDatabase),
  };
  for (CRuntimeClass* cls : classes) AfxClassInit(cls);
}
