// Stored form of the plan symbols and their DXF entities: ids only. A symbol read back has no
// drawing until the kind tables supply one.
#include "models/holesymbol.h"
#include "models/relink.h"

namespace {

void SerializeId(CArchive& ar, const CObject* self) {
  if (ar.IsStoring())
    WriteId(ar, self);
  else
    ReadWord(ar);
}

}  // namespace

void Hole::Serialize(CArchive& ar) { SerializeId(ar, this); }

void HHole::Serialize(CArchive& ar) {
  Hole::Serialize(ar);
  SerializeId(ar, this);
}

void VHole::Serialize(CArchive& ar) {
  Hole::Serialize(ar);
  SerializeId(ar, this);
}

void HoleSymbol::Serialize(CArchive& ar) { SerializeId(ar, this); }

void HoleRegularSymbol::Serialize(CArchive& ar) {
  HoleSymbol::Serialize(ar);
  SerializeId(ar, this);
}

void DXFPoint::Serialize(CArchive& ar) { SerializeId(ar, this); }

void DXFLine::Serialize(CArchive& ar) { SerializeId(ar, this); }

void DXFCircle::Serialize(CArchive& ar) { SerializeId(ar, this); }

void DXFArc::Serialize(CArchive& ar) {
  DXFCircle::Serialize(ar);
  SerializeId(ar, this);
}
