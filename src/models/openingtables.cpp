#include "models/openingtables.h"

#include "models/holekinds.h"
#include "models/instance.h"

Hole* PlanSymbolByKind(int32_t kind, int32_t kindId) { return FindHoleSymbol(kind, kindId); }

HoleInstance* OpeningTemplateByKind(int32_t kind, int32_t kindId) {
  const CObArray* table = nullptr;
  int32_t index = -1;
  if (kind == HOLE_DOOR) {
    table = &g_doorPrototypes;
    index = kindId - 1000;
  } else if (kind == HOLE_WINDOW) {
    table = &g_windowPrototypes;
    index = kindId - 1100;
  }
  if (!table || index < 0 || index >= table->GetSize()) return nullptr;
  return static_cast<HoleInstance*>(table->GetAt(index));
}

bool IsOpeningTemplate(const HoleInstance* opening) {
  if (!opening) return false;
  for (const CObArray* table : {&g_doorPrototypes, &g_windowPrototypes})
    for (INT_PTR i = 0; i < table->GetSize(); ++i)
      if (table->GetAt(i) == opening) return true;
  return false;
}

int ReleaseOpeningInstance(HoleInstance* opening) {
  if (!opening || IsOpeningTemplate(opening)) return 0;
  delete opening;
  return 1;
}
