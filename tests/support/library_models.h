// Library models of our own for the tests, benchmarks and fuzz seeds: .3ds files written by the
// 3DS file toolkit from a short description: box meshes with a material each, keyframe tracks
// (positions, rotations, parents, dummies) and materials with texture map slots.
#pragma once
#include <array>
#include <string>
#include <vector>

struct BoxMesh {
  std::string name;
  std::array<float, 3> low;
  std::array<float, 3> high;
  std::string material;  // empty: none
};

struct KeyTrack {
  std::string name;      // a mesh, or "$$$DUMMY" with an instance name
  std::string instance;  // a dummy's own name
  std::string parent;    // a mesh's name, or "$$$DUMMY.<instance>"
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 4>> rotations;  // angle (radians), axis x, y, z
};

struct MaterialSpec {
  std::string name;
  std::array<float, 3> diffuse = {0.5f, 0.5f, 0.5f};
  int mapSlot = -1;  // 0..7 in the toolkit's order of texture maps; -1 for none
  std::string map;
};

struct LibraryModel {
  float masterScale = 1.0f;
  std::vector<BoxMesh> meshes;
  std::vector<KeyTrack> tracks;
  std::vector<MaterialSpec> materials;
};

// Writes the model; false when the file cannot be written.
bool WriteLibraryModel(const std::string& path, const LibraryModel& model);
// The bytes of the model's file, written at the path for the moment (a file of the caller's own
// folder).
std::string LibraryModelBytes(const std::string& path, const LibraryModel& model);

// The test library's models.
LibraryModel CabinetModel();  // one box 600 x 800 x 400 (x, y, z of the file)
// A door frame with a swinging leaf ("leaf", two rotation keys about the file's z) and its
// handle ("HANDLE01", a child of the leaf in the keyframes).
LibraryModel DoorModel();
