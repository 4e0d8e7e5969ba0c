// Writing rooms as 3DS mesh files into the temporary folder and loading them into the scene.
#pragma once
#include "afx/afx.h"

struct Database3ds;
class Frame;

// Master scale of every room file: one millimetre in inches.
constexpr float kRoomFileMasterScale = 0.03937008f;

// The mesh settings and keyframe header of a room file.
void PutExportSettings3ds(Database3ds* db, float masterScale);

// With a list: RegenerateRooms on it. Otherwise every room of the plan, the last first, with its
// materials collected from its scene object first.
void ExportRoomsTo3ds(Frame& frame, const CPtrArray* rooms);
