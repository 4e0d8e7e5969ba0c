#include "models/wallface.h"

IMPLEMENT_SERIAL(WallFaceCell, Mesh, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(WallFace, CObject, VERSIONABLE_SCHEMA | 5)

WallFace::~WallFace() {
  delete m_pMoulding[0];
  delete m_pMoulding[1];
  for (ObjectArray& items : m_items) {
    for (INT_PTR i = items.GetSize() - 1; i >= 0; --i) delete items.GetAt(i);
    items.RemoveAll();
  }
}
