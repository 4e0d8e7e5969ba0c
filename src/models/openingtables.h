// The plan editor's view of the door and window tables built at start-up (holekinds.h): the plan
// symbol and the template opening of a kind id, and the release of an opening the editor held.
#pragma once
#include <cstdint>

class Hole;
class HoleInstance;

// The plan symbol of a door (kind 10, ids 1000-1009) or window (kind 11, ids 1100-1107); null
// for anything else or before the tables are built.
Hole* PlanSymbolByKind(int32_t kind, int32_t kindId);
// The template opening of the kind id, shared by every view and never deleted by the editor;
// null for anything else.
HoleInstance* OpeningTemplateByKind(int32_t kind, int32_t kindId);
// True when the opening is one of the tables' templates.
bool IsOpeningTemplate(const HoleInstance* opening);
// Deletes an opening the editor owns (a picked-up copy) and returns 1; 0 for null or a template,
// which stays. The pointer is left as it was: callers overwrite it.
int ReleaseOpeningInstance(HoleInstance* opening);
