#include "files3ds.h"

#include <stdio.h>

#include <gtest/gtest.h>

#include "files.h"
#include "toolkit/wt.h"

namespace t3ds {

Material3ds *newmaterial(const char *name, Color3ds diffuse) {
  Material3ds *mat = nullptr;
  InitMaterial3ds(&mat);
  strcpy(mat->name, name);
  mat->diffuse = diffuse;
  return mat;
}

Database3ds *cubedatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  Material3ds *red = newmaterial("RED", {1, 0, 0});
  red->shininess = 0.5f;
  red->shinStrength = 0.25f;
  red->transparency = 0.75f;
  red->twoSided = 1;
  strcpy(red->texture.name, "WOOD.GIF");
  red->texture.percent = 0.4f;
  PutMaterial3ds(db, red);
  ReleaseMaterial3ds(&red);
  Material3ds *blue = newmaterial("BLUE", {0, 0, 1});
  PutMaterial3ds(db, blue);
  ReleaseMaterial3ds(&blue);

  MeshObj3ds *cube = nullptr;
  InitMeshObj3ds(&cube, 8, 12, MeshTexVertArray3ds | MeshSmoothArray3ds);
  strcpy(cube->name, "cube");
  for (uint16_t i = 0; i < 8; i++) {
    cube->vertices[i] = {static_cast<float>(i & 1), static_cast<float>(i >> 1 & 1), static_cast<float>(i >> 2)};
    cube->texVertices[i] = {0.125f * i, 1.0f - 0.125f * i};
  }
  const uint16_t sides[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (int s = 0; s < 6; s++) {
    const uint16_t *q = sides[s];
    cube->faces[2 * s] = {q[0], q[1], q[2], 0x0F};
    cube->faces[2 * s + 1] = {q[0], q[2], q[3], 0x03};
    cube->smoothing[2 * s] = cube->smoothing[2 * s + 1] = 1u << s;
  }
  for (int i = 0; i < 12; i++) cube->matrix[i] = static_cast<float>(i + 1);
  cube->matGroupCount = 3;
  AllocMeshArrays3ds(cube, MeshMatGroupArray3ds);
  const struct {
    const char *name;
    uint16_t first, count;
  } groups[] = {{"RED", 0, 6}, {"BLUE", 4, 4}, {"NONE", 8, 2}};
  for (uint16_t g = 0; g < 3; g++) {
    strcpy(cube->matGroups[g].name, groups[g].name);
    AllocMatGroupFaces3ds(cube, g, groups[g].count);
    for (uint16_t f = 0; f < groups[g].count; f++) cube->matGroups[g].faces[f] = groups[g].first + f;
  }
  PutMesh3ds(db, cube);
  ReleaseMeshObj3ds(&cube);

  MeshObj3ds *tri = nullptr;
  InitMeshObj3ds(&tri, 3, 1, 0);
  strcpy(tri->name, "tri");
  tri->vertices[1] = {1, 2, 3};
  tri->vertices[2] = {0, 1, 0};
  tri->faces[0] = {2, 1, 0, 0};
  PutMesh3ds(db, tri);
  ReleaseMeshObj3ds(&tri);
  return db;
}

std::string bytesof(Database3ds *db) {
  tk::TempFolder dir;
  const std::string path = dir / "file.3ds";
  File3ds *f = OpenFile3ds(path.c_str(), "w");
  EXPECT_NE(f, nullptr);
  WriteDatabase3ds(f, db);
  CloseAllFiles3ds();
  ReleaseDatabase3ds(&db);
  std::string out;
  if (FILE *in = _WTfile_open(path.c_str(), "rb")) {
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, in)) out.append(buf, n);
    fclose(in);
  }
  return out;
}

const std::string &cubefile() {
  static const std::string bytes = bytesof(cubedatabase());
  return bytes;
}

}  // namespace t3ds
