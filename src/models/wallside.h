// Wall side meshes of a room: what the 3D side lends to them.
#pragma once
#include "afx/afx.h"

// Moves the 3D model of a door or window (its scene node) to the centre of its opening. The 3D
// view installs it; until then nothing is moved.
using OpeningModelMover = void (*)(CObject* sceneNode, float x, float y, float z);
void SetOpeningModelMover(OpeningModelMover mover);
