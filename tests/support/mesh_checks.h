// Geometry of the meshes for the home-model tests: vertices as vectors, face normals, the check
// that a mesh is sound and the direction from a wall into its room.
#pragma once
#include <cstdint>
#include <string>

#include "models/mesh.h"
#include "models/wall.h"

struct Vec {
  double x, y, z;
};

Vec At(const Mesh& m, uint32_t i);
// Twice the area vector of a face, along its front: (P[b] - P[a]) x (P[c] - P[a]).
Vec Normal(const Mesh& m, int f);
double Dot(Vec a, Vec b);

// Every face indexes existing vertices and is not degenerate.
void ExpectSound(const Mesh& m, const std::string& what);

// The unit vector from a wall toward the room on one of its sides.
Vec TowardRoom(const Wall* w, int side);
