// Stored form of the placed models and openings: postures, instances and their bags.
#include "models/instance.h"
#include "models/relink.h"

Hole* g_doorSymbols[10] = {};
Hole* g_windowSymbols[8] = {};

Hole* FindHoleSymbol(int32_t kind, int32_t kindId) {
  if (kind == HOLE_DOOR && kindId >= 1000 && kindId <= 1009) return g_doorSymbols[kindId - 1000];
  if (kind == HOLE_WINDOW && kindId >= 1100 && kindId <= 1107)
    return g_windowSymbols[kindId - 1100];
  return nullptr;
}

void Posture::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteId(ar, this);
    for (float v : position) ar << v;
    for (float v : rotation) ar << v;
    for (float v : size) ar << v;
    WriteWord(ar, mirror);
  } else {
    ReadWord(ar);
    for (float& v : position) ar >> v;
    for (float& v : rotation) ar >> v;
    for (float& v : size) ar >> v;
    mirror = ReadWord(ar);
  }
}

void LibInstance::Serialize(CArchive& ar) {
  AncestryObject::Serialize(ar);
  m_posture.Serialize(ar);
  if (ar.IsStoring())
    WriteId(ar, this);
  else
    ReadWord(ar);
}

void LibInstance::Relink(RelinkTable& table) {
  AncestryObject::Relink(table);  // the posture links to nothing
}

void HoleInstance::Serialize(CArchive& ar) {
  LibInstance::Serialize(ar);
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteInt(ar, m_kind);
    WriteInt(ar, m_kindId);
  } else {
    ReadWord(ar);
    m_kind = ReadInt(ar);
    m_kindId = ReadInt(ar);
    m_symbol = FindHoleSymbol(m_kind, m_kindId);
  }
}

void LibInstancesBag::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteCollection(ar, m_instances);
    WriteId(ar, this);
    return;
  }
  // The openings of a wall are read back as openings: the plan takes them as such.
  const CRuntimeClass* cls = IsKindOf(RUNTIME_CLASS(HoleInstancesBag)) ? RUNTIME_CLASS(HoleInstance)
                                                                        : RUNTIME_CLASS(LibInstance);
  ReadOwnedCollection(ar, m_instances, cls);
  ReadWord(ar);
}

void LibInstancesBag::Relink(RelinkTable& table) {
  for (int i = GetCount() - 1; i >= 0; --i) GetAt(i)->Relink(table);
}

void HoleInstancesBag::Serialize(CArchive& ar) {
  LibInstancesBag::Serialize(ar);
  if (ar.IsStoring())
    WriteId(ar, this);
  else
    ReadWord(ar);
}

void WallHoleInstancesBag::Serialize(CArchive& ar) {
  HoleInstancesBag::Serialize(ar);
  if (ar.IsStoring()) {
    WriteId(ar, this);
    WriteWord(ar, m_word);
  } else {
    ReadWord(ar);
    m_word = ReadWord(ar);
  }
}
