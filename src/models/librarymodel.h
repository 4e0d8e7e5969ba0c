// Library models as the 3D view uses them: the file that a scene object's model is read from, the
// private copy of a library model in the temporary folder, and the size of a library model before
// it is placed. Messages go through the plan host with the program's caption.
#pragma once
#include <cstdint>

#include "afx/afx.h"

class SceneGroup;

// The file an object's model is read from: for a room (kind 21) the model file in the library
// folder, where the plan's export wrote it; for any other object the temporary folder, the
// object's name and the model file's last three characters ("temp/chair01.3ds").
CString MakeLibraryFilePath(const char* objectName, uint32_t kind, const char* modelFile);
CString MakeLibraryFilePath(const SceneGroup& object, const char* modelFile);

// Writes the library model into the object's model file (outPath always gets that path). A room
// whose file exists is used where it is. 1 on success; 0 after a message when the copy cannot be
// made, or after the reader's own errors when the model cannot be read or written (no partial
// copy is left).
int CopyLibraryModel(const char* objectName, uint32_t kind, const char* modelFile, CString& outPath);

// The size (x, y, z extent in millimetres: the vertices' box times the master scale and 25.4) of
// a library model given relative to the library folder. Only names ending in "3ds" (any case)
// are read; others and files that cannot be read leave the size as it was. A model without
// vertices measures (0, 0, 0).
void ReadLibraryFile(const char* modelFile, float size[3]);
// The reader behind ReadLibraryFile, for a .3ds file of any name; false when it cannot be read
// (after the message when it does not open).
bool ReadLibraryModelSize(const char* modelFile, float size[3]);
// The same for a .3ds file at a full path, without a message.
bool ReadModelSize3ds(const char* path, float size[3]);
