// The door and window kinds: their plan symbols, names and library categories, and the tables
// built from them once at start-up.
#pragma once
#include <cstdint>

#include "afx/afx.h"

class Hole;

// Library categories of the kinds.
constexpr uint32_t kWindowCategory = 101;
constexpr uint32_t kDoorCategory = 102;
constexpr int kDoorKindCount = 10;    // ids 1000 to 1009
constexpr int kWindowKindCount = 8;   // ids 1100 to 1107

// The Korean name of a kind id of a kind (HOLE_DOOR, HOLE_WINDOW); null for any other.
const char* GetHoleKindName(int32_t kind, int32_t kindId);

// Builds both kind tables (the Hole of each kind, its drawings read from the library's symbol
// folder) and both prototype lists; replaces tables built before. Returns 1.
int BuildSymbolTables();
// Deletes the tables and lists (the program's end).
void ReleaseSymbolTables();
// The program's end: the tables and lists deleted, doors first; returns 1.
int FreeSymbolTables();

// One prototype opening per kind (kind, kind id and plan symbol set), for the editor's choice.
extern CObArray g_doorPrototypes;
extern CObArray g_windowPrototypes;
