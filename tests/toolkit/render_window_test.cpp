// Drawing into a real window taken over by WTwindow_newuser, read back with glReadPixels.
#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "files3ds.h"
#include "support.h"
#include "textures.h"
#include "toolkit/render/context.h"
#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

namespace {

struct Rgb {
  int r, g, b;
  int sum() const { return r + g + b; }
};

class RenderWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VedraTestView";
    RegisterClassA(&c);
    hwnd = CreateWindowExA(0, "VedraTestView", "view", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                           nullptr, nullptr, c.hInstance, nullptr);
    ASSERT_TRUE(hwnd);
    window = WTwindow_newuser(hwnd, 0);
    ASSERT_TRUE(window);
    root = WTwindow_getrootnode(window);
    WTwindow_setbgrgb(window, 0, 0, 255);
    viewpoint = WTwindow_getviewpoint(window);
    WTp3 at = {0, 0, -6};
    WTviewpoint_setposition(viewpoint, at);
    light = WTlightnode_newdirected(root);
    WTp3 down = {0, 0, 1};
    WTlightnode_setdirection(light, down);
    WTnode *material = WTmaterialnode_new(root);
    float white[3] = {1, 1, 1};
    WTmaterialnode_setfield(material, WTMAT_DIFFUSE, white);
  }
  void TearDown() override {
    if (WTwindow_getidx(window)) WTwindow_delete(window);
    DestroyWindow(hwnd);
  }

  void frame() { WTuniverse_go1(); }

  Rgb pixel(int x, int y) {
    unsigned char p[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }

  tk::TextureImages images;
  HWND hwnd = nullptr;
  WTwindow *window = nullptr;
  WTnode *root = nullptr;
  WTnode *light = nullptr;
  WTviewpoint *viewpoint = nullptr;
};

TEST_F(RenderWindow, BackgroundAtTheCornersLitBlockAtTheCentre) {
  WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));
  frame();
  Rgb corner = pixel(2, 2), centre = pixel(100, 100);
  EXPECT_EQ(corner.r, 0);
  EXPECT_EQ(corner.b, 255);
  EXPECT_GT(centre.r, 100) << centre.g << " " << centre.b;
  EXPECT_GT(WTwindow_numpolys(window), 0);
  WTlightnode_setintensity(light, 0.0f);
  frame();
  EXPECT_LT(pixel(100, 100).sum(), centre.sum());
}

TEST_F(RenderWindow, TargaTextureOnAQuad) {
  WTgeometry *g = WTgeometry_newrectangle(2, 2, 0);
  ASSERT_TRUE(g);
  WTnode *n = WTgeometrynode_new(root, g);
  ASSERT_TRUE(n);
  WTpoly *p = WTgeometry_getpolys(g);
  // Face the viewpoint whichever way the rectangle was built.
  WTp3 normal;
  WTpoly_getnormal(p, normal);
  if (normal[2] > 0) p->flags |= WTP_TWOSIDED;
  // Each corner of the quad at a corner of the image, texels not blended.
  std::vector<float> u, v;
  for (WTvertexlink *l = p->links; l; l = l->next)
    u.push_back(l->vertex->position[0] > 0 ? 1.0f : 0.0f), v.push_back(l->vertex->position[1] > 0 ? 1.0f : 0.0f);
  ASSERT_TRUE(WTpoly_settextureuv(p, "wood", u.data(), v.data(), 0, 0));
  ASSERT_TRUE(_WTtexture_setfilter("wood", 0, 0));
  frame();
  // The four texels of the 2 x 2 image: red and green below, blue and white above, seen in
  // some orientation: the quad's quarters show four different colours.
  Rgb q[4] = {pixel(92, 92), pixel(108, 92), pixel(92, 108), pixel(108, 108)};
  int distinct = 0;
  for (int i = 0; i < 4; i++) {
    bool seen = false;
    for (int j = 0; j < i; j++)
      seen |= q[i].r == q[j].r && q[i].g == q[j].g && q[i].b == q[j].b;
    distinct += !seen;
    EXPECT_TRUE(q[i].r > 200 || q[i].g > 200 || q[i].b > 200) << i;
  }
  EXPECT_EQ(distinct, 4);
}

// A 2 x 2 quad at (x, 0, 0) facing the viewpoint, textured with the four texels of "wood".
WTgeometry *woodquad(WTnode *root, float x) {
  WTgeometry *g = WTgeometry_newrectangle(2, 2, 0);
  WTp3 offset = {x, 0, 0};
  WTgeometry_translate(g, offset);
  WTgeometrynode_new(root, g);
  WTpoly *p = WTgeometry_getpolys(g);
  WTp3 normal;
  WTpoly_getnormal(p, normal);
  if (normal[2] > 0) p->flags |= WTP_TWOSIDED;
  std::vector<float> u, v;
  for (WTvertexlink *l = p->links; l; l = l->next)
    u.push_back(l->vertex->position[0] > x ? 1.0f : 0.0f), v.push_back(l->vertex->position[1] > 0 ? 1.0f : 0.0f);
  WTpoly_settextureuv(p, "wood", u.data(), v.data(), 0, 0);
  return g;
}

// Stands for drawing code that makes its own texture current: one black texel.
void blacktexture(WTnode *, void *) {
  const unsigned char black[4] = {0, 0, 0, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
}

// Geometries sharing a texture send it once; a callback between them may change the texture,
// so the one after it sends it again.
TEST_F(RenderWindow, SharedTextureSurvivesACallbackBetweenGeometries) {
  ASSERT_TRUE(woodquad(root, -1.2f));
  ASSERT_TRUE(_WTcallbacknode_new(root, blacktexture, 0));
  ASSERT_TRUE(woodquad(root, 1.2f));
  ASSERT_TRUE(_WTtexture_setfilter("wood", 0, 0));
  frame();
  // Every quarter of both quads shows a bright texel, none the callback's black.
  for (float x : {-1.7f, -0.7f, 0.7f, 1.7f})
    for (float y : {-0.5f, 0.5f}) {
      WTp3 at = {x, y, 0};
      float px[2];
      ASSERT_TRUE(WTwindow_projectpoint(window, 0, at, px));
      Rgb q = pixel(static_cast<int>(px[0]), static_cast<int>(px[1]));
      EXPECT_TRUE(q.r > 200 || q.g > 200 || q.b > 200) << x << "," << y;
    }
}

// Writes the window's picture as a binary PPM when VEDRA_RENDER_CAPTURE names a file.
void capture(int width, int height) {
  const char *path = getenv("VEDRA_RENDER_CAPTURE");
  if (!path) return;
  std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  FILE *f = fopen(path, "wb");
  if (!f) return;
  fprintf(f, "P6 %d %d 255\n", width, height);
  for (int y = height - 1; y >= 0; y--) fwrite(&rgb[size_t(y) * size_t(width) * 3], 1, size_t(width) * 3, f);
  fclose(f);
}

TEST_F(RenderWindow, LitTexturedBlock) {
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  WTgeometrynode_new(root, g);
  for (WTpoly *p = WTgeometry_getpolys(g); p; p = p->next) ASSERT_TRUE(WTpoly_settexture(p, "brick", 1, 0));
  frame();
  capture(200, 200);
  Rgb lit = pixel(100, 100);
  EXPECT_GT(lit.r, lit.b);  // the brick colour (200, 100, 50), lit
  WTlightnode_setintensity(light, 0.0f);
  frame();
  EXPECT_LT(pixel(100, 100).sum(), lit.sum());
}

// A square of two triangles standing in the 3D Studio file's x-z plane, so that it faces the
// viewpoint once read into the toolkit's axes; two-sided, in the named material.
void putsquare(Database3ds *db, const char *name, const char *material, float x, float z, float half) {
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 4, 2, 0);
  strcpy(mesh->name, name);
  for (uint16_t i = 0; i < 4; i++)
    mesh->vertices[i] = {x + ((i & 1) ? half : -half), 0.0f, z + ((i & 2) ? half : -half)};
  mesh->faces[0] = {0, 1, 3, 7};
  mesh->faces[1] = {0, 3, 2, 7};
  for (int i = 0; i < 12; i++) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.0f;
  mesh->matGroupCount = 1;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  strcpy(mesh->matGroups[0].name, material);
  AllocMatGroupFaces3ds(mesh, 0, 2);
  mesh->matGroups[0].faces[0] = 0;
  mesh->matGroups[0].faces[1] = 1;
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
}

void putcolour(Database3ds *db, const char *name, Color3ds diffuse) {
  Material3ds *mat = t3ds::newmaterial(name, diffuse);
  mat->twoSided = 1;
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
}

// A room part written by the 3DS file toolkit, loaded as a model and drawn: a green floor
// filling the middle of the view and a red piece of wall beside it.
TEST_F(RenderWindow, RoomPartFromA3dsFileShowsItsColours) {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  putcolour(db, "FLOOR", {0.2f, 0.8f, 0.2f});
  putcolour(db, "WALL", {0.9f, 0.1f, 0.1f});
  putsquare(db, "floor", "FLOOR", 0.0f, 0.0f, 1.5f);
  putsquare(db, "wall", "WALL", 2.2f, 0.0f, 0.5f);
  tk::TempFolder dir;
  const std::string path = dir.write("room.3ds", t3ds::bytesof(db));
  WTnode *last = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(last);
  frame();
  capture(200, 200);
  EXPECT_EQ(WTwindow_numpolys(window), 4);  // every face of both meshes is drawn
  Rgb floor = pixel(100, 100), corner = pixel(2, 2);
  EXPECT_GT(floor.g, 100);
  EXPECT_GT(floor.g, floor.r + 50);
  EXPECT_GT(floor.g, floor.b + 50);
  EXPECT_EQ(corner.b, 255);
  int wall = 0;
  for (int x = 0; x < 200; x++) {
    Rgb c = pixel(x, 100);
    wall += c.r > c.g + 50 && c.r > c.b + 50;
  }
  EXPECT_GT(wall, 0);
}

TEST_F(RenderWindow, SplitStereoDrawsBothHalvesAndLeavesTheGap) {
  WTwindow_delete(window);
  window = WTwindow_newuser(hwnd, 0x4 | 0x200);
  ASSERT_TRUE(window);
  WTwindow_setbgrgb(window, 0, 0, 255);
  WTwindow_setviewpoint(window, viewpoint);
  WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));
  frame();
  float px[2];
  WTp3 centre = {0, 0, 0};
  ASSERT_TRUE(WTwindow_projectpoint(window, 0, centre, px));
  EXPECT_GT(px[1], 100);  // eye 0 in the upper half
  ASSERT_TRUE(WTwindow_projectpoint(window, 1, centre, px));
  EXPECT_LT(px[1], 100);
  EXPECT_GT(pixel(100, 50).r, 100);
  EXPECT_GT(pixel(100, 150).r, 100);
  Rgb gap = pixel(100, 100);
  EXPECT_EQ(gap.r, 0);
  EXPECT_EQ(gap.b, 255);
}

TEST_F(RenderWindow, FogTintsTheBlockTowardsItsColour) {
  WTnode *fog = WTfognode_new(root);
  WTfognode_setmode(fog, 0);
  WTfognode_setlinearstart(fog, 0.0f);
  WTfognode_setrange(fog, 5.5f);
  WTfognode_setcolor(fog, 1, 0, 0, 1);
  WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));
  frame();
  Rgb c = pixel(100, 100);
  EXPECT_GT(c.r, 200);
  EXPECT_LT(c.g, 100);
  EXPECT_EQ(pixel(2, 2).b, 255);  // the background is not fogged
}

TEST_F(RenderWindow, HalfOpaqueBlockBlendsWithTheBackground) {
  WTnode *m = WTmaterialnode_new(root);
  float half = 0.5f;
  WTmaterialnode_setfield(m, WTMAT_OPACITY, &half);
  WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));
  for (int sorted = 0; sorted < 2; sorted++) {
    WTuniverse_setoption(19, sorted);
    frame();
    Rgb c = pixel(100, 100);
    EXPECT_GT(c.r, 30) << sorted;
    EXPECT_LT(c.r, 220) << sorted;
    EXPECT_GT(c.b, c.r) << sorted;
  }
}

TEST_F(RenderWindow, OutlineStyleDrawsOnlyTheEdges) {
  WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));
  _WTuniverse_setrendering(13 | 128);
  frame();
  Rgb c = pixel(100, 100);
  EXPECT_EQ(c.b, 255);
  EXPECT_EQ(c.r, 0);
  int edge = 0;
  for (int x = 60; x < 100; x++) edge += pixel(x, 100).r != 0;
  EXPECT_GT(edge, 0);
}

TEST_F(RenderWindow, FromBehindOnlyTwoSidedPolygonsShow) {
  WTgeometry *g = WTgeometry_newrectangle(2, 2, 0);
  WTgeometrynode_new(root, g);
  WTpoly *p = WTgeometry_getpolys(g);
  WTp3 n;
  WTpoly_getnormal(p, n);
  // Look at the rectangle's back.
  WTp3 at = {0, 0, n[2] < 0 ? 6.0f : -6.0f};
  WTviewpoint_setposition(viewpoint, at);
  WTq back = {0, 1, 0, 0};
  if (n[2] < 0) WTviewpoint_setorientation(viewpoint, back);
  frame();
  EXPECT_EQ(pixel(100, 100).b, 255);
  p->flags |= WTP_TWOSIDED;
  frame();
  EXPECT_LT(pixel(100, 100).b, 255);
}

unsigned char veto(void *, const char *, double, int) { return 0; }

TEST_F(RenderWindow, WindowProcedureByRealMessages) {
  // A user resize that a handler vetoes still stores the new size, with a warning.
  _WTproperty_addprehandler(window, "Size", veto);
  tk::Captured messages;
  SetWindowPos(hwnd, nullptr, 0, 0, 160, 120, SWP_NOZORDER | SWP_NOACTIVATE);
  int w = 0, h = 0;
  WTwindow_getposition(window, nullptr, nullptr, &w, &h);
  EXPECT_EQ(w, 160);
  EXPECT_EQ(h, 120);
  EXPECT_NE(messages.all().find("Can't stop the window size"), std::string::npos);
  // Minimising clears the shown bit: nothing is drawn, not even the background.
  SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  WTwindow_getposition(window, nullptr, nullptr, &w, &h);
  EXPECT_EQ(w, 160);
  // Left, then right, then the left released: the mouse stays captured until the right goes.
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(GetCapture(), hwnd);
  SendMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_NE(GetCapture(), hwnd);
  // Deleting the window gives the caller's procedure back and leaves its window alive.
  WTwindow_delete(window);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), DefWindowProcA);
  EXPECT_TRUE(IsWindow(hwnd));
}

}  // namespace
#endif
