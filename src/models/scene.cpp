#include "models/scene.h"

#include "models/relink.h"

IMPLEMENT_SERIAL(Scene, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

void DeleteAll(CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

void WriteList(CArchive& ar, const CObList& list) {
  ar.WriteCount(static_cast<DWORD>(list.GetCount()));
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;) ar.WriteObject(list.GetNext(pos));
}

// No class of scene object is known yet: any element makes the file one that cannot be read.
void ReadEmptyList(CArchive& ar) {
  if (ar.ReadCount() != 0) AfxThrowArchiveException(CArchiveException::badClass);
}

}  // namespace

Scene::~Scene() {
  DeleteAll(m_objects);
  DeleteAll(m_paths);
  DeleteAll(m_materials);
  DeleteAll(m_lights);
}

void Scene::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteList(ar, m_objects);
    WriteId(ar, this);
    for (float v : m_startView) ar << v;
    WriteList(ar, m_paths);
    WriteList(ar, m_materials);
    WriteWord(ar, m_background);
    ar << m_text;
    WriteWord(ar, m_words[0]);
    WriteWord(ar, m_words[1]);
    WriteList(ar, m_lights);
    return;
  }
  ReadEmptyList(ar);
  const UINT schema = ar.GetObjectSchema();
  ReadWord(ar);
  for (float& v : m_startView) ar >> v;
  if (schema < 3) return;
  ReadEmptyList(ar);
  ReadEmptyList(ar);
  m_background = ReadWord(ar);
  ar >> m_text;
  m_words[0] = ReadWord(ar);
  m_words[1] = ReadWord(ar);
  if (schema < 4) return;
  ReadEmptyList(ar);
}

void Scene::Relink(RelinkTable&) {}

void Scene::AfterLoad() {}
