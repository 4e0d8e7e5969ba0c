#include "models/holekinds.h"

#include "models/holesymbol.h"
#include "models/instance.h"
#include "models/library.h"
#include "models/planhost.h"

CObArray g_doorPrototypes;
CObArray g_windowPrototypes;

namespace {

struct KindInfo {
  const char* name;
  const char* plain;    // drawing scaled in x and y apart
  const char* regular;  // drawing scaled alike, or null
  bool options;         // the kind's Hole gets both option bits
};

const KindInfo kDoorKinds[kDoorKindCount] = {
    {"외여닫이문", "SymbolDoorSinglePushing(F)", "SymbolDoorSinglePushing(D)", true},
    {"양여닫이문", "SymbolDoorDoublePushing(F)", "SymbolDoorDoublePushing(D)", false},
    {"2짝미서기문", "SymbolDoor2PieceSlidingX1(F)", nullptr, false},
    {"3짝미서기문", "SymbolDoor3PieceSlidingX1(F)", nullptr, false},
    {"4짝미서기문", "SymbolDoor4PieceSlidingX1(F)", nullptr, false},
    {"복합문", "SymbolDoorComplex(F)", "SymbolDoorComplex(D)", true},
    {"2짝스윙문", "SymbolDoor2PieceSwing(F)", "SymbolDoor2PieceSwing(D)", true},
    {"4짝스윙문", "SymbolDoor4PieceSwing(F)", "SymbolDoor4PieceSwing(D)", false},
    {"아치&공틀", "SymbolDoorHollow(F)", nullptr, false},
    {"기타", "SymbolDoorEtc(F)", nullptr, false},
};

const KindInfo kWindowKinds[kWindowKindCount] = {
    {"공틀창", "SymbolWindowHollow(F)", nullptr, false},
    {"고정창", "SymbolWindowFix(F)", nullptr, false},
    {"외여닫이창", "SymbolWindowSinglePushing(F)", "SymbolWindowSinglePushing(W)", true},
    {"양여닫이창", "SymbolWindowDoublePushing(F)", "SymbolWindowDoublePushing(W)", false},
    {"2짝미서기", "SymbolWindow2PieceSlidingX1(F)", nullptr, false},
    {"3짝미서기", "SymbolWindow3PieceSlidingX1(F)", nullptr, false},
    {"4짝미서기", "SymbolWindow4PieceSlidingX1(F)", nullptr, false},
    {"기타", "SymbolWindowEtc(F)", nullptr, false},
};

const KindInfo* FindKind(int32_t kind, int32_t kindId) {
  if (kind == HOLE_DOOR && kindId >= 1000 && kindId < 1000 + kDoorKindCount)
    return &kDoorKinds[kindId - 1000];
  if (kind == HOLE_WINDOW && kindId >= 1100 && kindId < 1100 + kWindowKindCount)
    return &kWindowKinds[kindId - 1100];
  return nullptr;
}

void BuildTable(int32_t kind, int32_t firstId, const KindInfo* kinds, int count, Hole** table,
                CObArray& prototypes) {
  for (int i = 0; i < count; ++i) {
    Hole* hole = new Hole;
    table[i] = hole;
    hole->AddSymbol(kinds[i].plain, false);
    hole->AddSymbol(kinds[i].regular, true);
    HoleInstance* prototype = new HoleInstance;
    prototype->m_kind = kind;
    prototype->m_kindId = firstId + i;
    prototype->m_symbol = hole;
    prototypes.Add(prototype);
  }
  for (int i = 0; i < count; ++i)
    if (kinds[i].options) table[i]->m_options |= HOLE_OPTION_1 | HOLE_OPTION_2;
}

void ReleaseTable(Hole** table, int count, CObArray& prototypes) {
  for (INT_PTR i = prototypes.GetSize() - 1; i >= 0; --i) delete prototypes.GetAt(i);
  prototypes.RemoveAll();
  for (int i = 0; i < count; ++i) {
    delete table[i];
    table[i] = nullptr;
  }
}

}  // namespace

const char* GetHoleKindName(int32_t kind, int32_t kindId) {
  const KindInfo* info = FindKind(kind, kindId);
  return info ? info->name : nullptr;
}

int BuildSymbolTables() {
  ReleaseSymbolTables();
  BuildTable(HOLE_DOOR, 1000, kDoorKinds, kDoorKindCount, g_doorSymbols, g_doorPrototypes);
  BuildTable(HOLE_WINDOW, 1100, kWindowKinds, kWindowKindCount, g_windowSymbols, g_windowPrototypes);
  return 1;
}

void ReleaseSymbolTables() {
  ReleaseTable(g_doorSymbols, kDoorKindCount, g_doorPrototypes);
  ReleaseTable(g_windowSymbols, kWindowKindCount, g_windowPrototypes);
}

int FreeSymbolTables() {
  ReleaseSymbolTables();
  return 1;
}

CString HoleInstance::GetLibraryFileName(bool mirrored) const {
  const uint32_t number = m_kind == HOLE_DOOR ? kDoorCategory : m_kind == HOLE_WINDOW ? kWindowCategory : 0;
  if (number == 0) return CString();
  const LibraryDatabaseList* list = GetPlanHost().GetLibraryList();
  const LibraryDatabase* category = list ? list->FindCategory(number) : nullptr;
  const char* name = GetHoleKindName(m_kind, m_kindId);
  if (!category || !name) return CString();
  LibraryDatabase selected;
  if (category->CopyMatching(selected, name) == 0) return CString();
  const Library* first = selected.GetEntry(selected.m_entries.GetHeadPosition());
  return mirrored ? first->GetInverseFileName() : first->GetFileName();
}
