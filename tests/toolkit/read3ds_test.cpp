// The 3D Studio chunk reader: files written by the 3DS file toolkit read into the scene record,
// and damaged or hostile files refused whole.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/fuzz_seeds.h"
#include "files3ds.h"
#include "support.h"
#include "toolkit/loaders/read3ds.h"

namespace {

using namespace t3ds;

// ---- Reading ---------------------------------------------------------------------------------

using Scene = std::unique_ptr<_WT3dsData, decltype(&_WT3ds_free)>;

// Reads the bytes as a file; the result code in *result.
Scene read(const std::string &bytes, int *result = nullptr) {
  FILE *f = tmpfile();
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  _WT3dsData *data = nullptr;
  int r = _WT3ds_read(f, &data);
  fclose(f);
  if (result) *result = r;
  return Scene(data, _WT3ds_free);
}

// The scene of bytes that must read, or null with the test failed.
Scene good(const std::string &bytes) {
  int r = -1;
  Scene s = read(bytes, &r);
  EXPECT_EQ(r, WT3DS_OK);
  return r == WT3DS_OK ? std::move(s) : Scene(nullptr, _WT3ds_free);
}

template <typename T>
std::vector<T *> list(T *head) {
  std::vector<T *> all;
  for (T *t = head; t; t = t->next) all.push_back(t);
  return all;
}

// What a sound scene promises its users: corners inside the vertex list, per-face materials
// from the material list, texture coordinates only along vertices.
void expectsound(const _WT3dsData *d) {
  std::vector<_WT3dsMaterial *> mats = list(d->materials);
  ASSERT_FALSE(mats.empty());
  EXPECT_EQ(mats.back()->index, 0u);
  for (const _WT3dsTriObject *m : list(d->meshes)) {
    ASSERT_TRUE(m->nfaces == 0 || m->faces);
    for (uint32_t i = 0; i < m->nfaces; i++)
      for (uint32_t c : m->faces[i]) ASSERT_LT(c, m->nverts);
    for (uint32_t i = 0; m->facemats && i < m->nfaces; i++)
      ASSERT_NE(std::find(mats.begin(), mats.end(), m->facemats[i]), mats.end());
    ASSERT_TRUE(!m->uv || m->verts);
    ASSERT_TRUE(!(m->smoothing || m->facemats) || m->faces);
  }
}

TEST(Read3ds, ToolkitFileMeshes) {
  Scene s = good(cubefile());
  ASSERT_TRUE(s);
  expectsound(s.get());
  std::vector<_WT3dsTriObject *> meshes = list(s->meshes);
  ASSERT_EQ(meshes.size(), 2u);
  EXPECT_STREQ(meshes[0]->name, "tri");  // newest first
  EXPECT_EQ(meshes[0]->facemats, nullptr);
  EXPECT_EQ(meshes[0]->smoothing, nullptr);
  EXPECT_EQ(meshes[0]->uv, nullptr);
  EXPECT_EQ(meshes[0]->verts[1][2], 3.0f);
  EXPECT_EQ(meshes[0]->faces[0][0], 2u);

  const _WT3dsTriObject *cube = meshes[1];
  EXPECT_STREQ(cube->name, "cube");
  ASSERT_EQ(cube->nverts, 8u);
  ASSERT_EQ(cube->nfaces, 12u);
  EXPECT_EQ(cube->verts[5][0], 1.0f);
  EXPECT_EQ(cube->verts[5][2], 1.0f);
  EXPECT_EQ(cube->uv[3][1], 1.0f - 0.375f);
  EXPECT_EQ(cube->faces[3][2], 5u);
  EXPECT_EQ(cube->faceflags[0], 7u);
  EXPECT_EQ(cube->faceflags[1], 3u);
  EXPECT_EQ(cube->smoothing[11], 32u);
  // File row i is column i; the bottom row is 0 0 0 1.
  const float axes[4][4] = {{1, 4, 7, 10}, {2, 5, 8, 11}, {3, 6, 9, 12}, {0, 0, 0, 1}};
  EXPECT_EQ(memcmp(cube->axes, axes, sizeof axes), 0);
  // RED on 0..5, BLUE on 4..7 (the later group wins), an unknown name and no group: default.
  const char *expected[12] = {"RED", "RED", "RED", "RED", "BLUE", "BLUE", "BLUE", "BLUE", "", "", "", ""};
  for (int f = 0; f < 12; f++) EXPECT_STREQ(cube->facemats[f]->name, expected[f]) << f;
}

TEST(Read3ds, ToolkitFileMaterials) {
  Scene s = good(cubefile());
  ASSERT_TRUE(s);
  std::vector<_WT3dsMaterial *> mats = list(s->materials);
  ASSERT_EQ(mats.size(), 3u);
  const _WT3dsMaterial *blue = mats[0], *red = mats[1], *fallback = mats[2];
  EXPECT_STREQ(blue->name, "BLUE");
  EXPECT_EQ(blue->index, 2u);
  EXPECT_EQ(blue->diffuse[2], 1.0f);
  EXPECT_EQ(blue->twosided, 0u);
  EXPECT_STREQ(red->name, "RED");
  EXPECT_EQ(red->index, 1u);
  EXPECT_EQ(red->diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(red->shininess, 64.0f);
  EXPECT_FLOAT_EQ(red->strength, 0.25f);
  EXPECT_FLOAT_EQ(red->transparency, 0.75f);
  EXPECT_EQ(red->twosided, 1u);
  EXPECT_STREQ(red->maps[WT3DS_TEXTUREMAP].name, "WOOD.GIF");
  EXPECT_FLOAT_EQ(red->maps[WT3DS_TEXTUREMAP].strength, 0.4f);
  EXPECT_STREQ(red->maps[WT3DS_OPACITYMAP].name, "");
  // The default material.
  EXPECT_STREQ(fallback->name, "");
  EXPECT_EQ(fallback->index, 0u);
  EXPECT_FLOAT_EQ(fallback->diffuse[1], 0.6f);
  EXPECT_EQ(fallback->shininess, 10.0f);
  EXPECT_EQ(fallback->strength, 0.0f);
  EXPECT_EQ(fallback->shading, 2u);
}

TEST(Read3ds, WritesFuzzSeeds) {
  const std::string &bytes = cubefile();
  ASSERT_FALSE(bytes.empty());
  EXPECT_TRUE(WriteFuzzSeed("toolkit", "cube.3ds", bytes.data(), bytes.size()));
}

// ---- Chunks read into the record ---------------------------------------------------------------

TEST(Read3ds, FirstChunk) {
  const struct {
    std::string bytes;
    int result;
  } cases[] = {
      {chunk(0x4D4D, ""), WT3DS_OK},
      {chunk(0x3D3D, "", {object("a", {points(3)})}), WT3DS_OK},  // mesh data alone
      {chunk(0x3D3E, "", {chunk(0x4D4D, "")}), WT3DS_UNREADABLE},   // skipped whole
      {"", WT3DS_UNREADABLE},
      {chunk(0x4D4D, "") + "trailing bytes", WT3DS_OK},
  };
  for (const auto &c : cases) {
    int r = -1;
    Scene s = read(c.bytes, &r);
    EXPECT_EQ(r, c.result) << c.bytes.size();
    ASSERT_TRUE(s);  // handed out also when the read fails
    EXPECT_EQ(s->viewkind, 8u);
    EXPECT_EQ(s->mapsize, 256u);
  }
  // Nobody to hand the record to: it is freed.
  FILE *f = tmpfile();
  const std::string bytes = chunk(0x4D4D, "");
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  EXPECT_EQ(_WT3ds_read(f, nullptr), WT3DS_OK);
  fclose(f);
}

TEST(Read3ds, NamesAreCut) {
  Scene s = good(file({
      material({chunk(0xA000, str("ABCDEFGHIJKLMNOPQRSTUVWXYZ")),
                chunk(0xA200, "", {chunk(0x0031, f32(0.5f)), chunk(0xA300, str("0123456789ABCDEFGH.TGA"))})}),
      object("abcdefghijklmnop", {points(3), faces({0, 1, 2}, {group("0123456789ABCDEFGH", {0})})}),
  }));
  ASSERT_TRUE(s);
  EXPECT_STREQ(s->materials->name, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_STREQ(s->materials->maps[WT3DS_TEXTUREMAP].name, "0123456789ABCDE");
  EXPECT_EQ(s->materials->maps[WT3DS_TEXTUREMAP].strength, 0.5f);
  EXPECT_STREQ(s->meshes->name, "abcdefghijk");
  EXPECT_STREQ(s->meshes->facemats[0]->name, "");  // the cut group name names no material
}

TEST(Read3ds, ClampsWarn) {
  const struct {
    unsigned id, percent;
    float _WT3dsMaterial::*field;
    float value;
    const char *warning;
  } cases[] = {
      {0xA040, 100, &_WT3dsMaterial::shininess, 128.0f, nullptr},
      {0xA040, 150, &_WT3dsMaterial::shininess, 128.0f, "shininess clamped at 128.0"},
      {0xA041, 100, &_WT3dsMaterial::strength, 1.0f, nullptr},
      {0xA041, 250, &_WT3dsMaterial::strength, 1.0f, "shininess strength clamped at 1.0"},
      {0xA050, 30, &_WT3dsMaterial::transparency, 0.3f, nullptr},
      {0xA050, 101, &_WT3dsMaterial::transparency, 1.0f, "transparency clamped at 1.0"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    Scene s = good(file({material({percent(c.id, c.percent)})}));
    ASSERT_TRUE(s);
    EXPECT_FLOAT_EQ(s->materials->*c.field, c.value) << std::hex << c.id << std::dec << " " << c.percent;
    if (c.warning)
      EXPECT_NE(messages.all().find(c.warning), std::string::npos) << messages.all();
    else
      EXPECT_EQ(messages.all(), "");
  }
}

TEST(Read3ds, TextureCoordinatesOutOfRangeBecomeZero) {
  const float in[] = {0.25f, -2.0e8f, 2.0e8f, NAN, 1.0e8f, -99999.0f};
  std::string body = u16(3);
  for (float v : in) body += f32(v);
  Scene s = good(file({object("m", {points(3), chunk(0x4140, body)})}));
  ASSERT_TRUE(s);
  const float expected[] = {0.25f, 0, 0, 0, 0, -99999.0f};
  for (int i = 0; i < 6; i++) EXPECT_EQ((&s->meshes->uv[0][0])[i], expected[i]) << i;
}

TEST(Read3ds, BoxMaterialWarningOncePerFile) {
  tk::Captured messages;
  Scene s = good(file({object("m", {points(3), faces({0, 1, 2}, {group("", {}), group("", {})})}),
                       object("n", {points(3), faces({0, 1, 2}, {group("", {})})})}));
  ASSERT_TRUE(s);
  const std::string warning = "3D Studio box-assigned materials are not supported.";
  size_t first = messages.all().find(warning);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(messages.all().find(warning, first + 1), std::string::npos);
}

// Lights and cameras go into the record; the flag chunks under an object are passed over.
TEST(Read3ds, LightsAndCameras) {
  Scene s = good(file({
      chunk(0x4000, str("lamp"), {chunk(0x4600, f32(1) + f32(2) + f32(3),
                                        {chunk(0x0011, std::string("\xff\x80\x00", 3)),
                                         chunk(0x4610, f32(4) + f32(5) + f32(6) + f32(30) + f32(45)),
                                         chunk(0x4620, "")}),
                                  chunk(0x4010, ""), chunk(0x4012, "")}),
      chunk(0x4000, str("eye"), {chunk(0x4700, f32(1) + f32(0) + f32(0) + f32(0) + f32(0) + f32(0) + f32(5) + f32(35))}),
  }));
  ASSERT_TRUE(s);
  ASSERT_TRUE(s->lights);
  EXPECT_STREQ(s->lights->name, "lamp");
  EXPECT_EQ(s->lights->position[2], 3.0f);
  EXPECT_FLOAT_EQ(s->lights->colour[1], 128 / 255.0f);
  EXPECT_EQ(s->lights->spot, 1u);
  EXPECT_EQ(s->lights->falloff, 45.0f);
  EXPECT_EQ(s->lights->off, 1u);
  ASSERT_TRUE(s->cameras);
  EXPECT_STREQ(s->cameras->name, "eye");
  EXPECT_EQ(s->cameras->lens, 35.0f);
  EXPECT_EQ(s->meshes, nullptr);
}

// ---- Damaged and hostile files ---------------------------------------------------------------

// Default-view containers nested n deep.
std::string nest(int n) {
  std::string deep;
  for (int i = 0; i < n; i++) deep = i ? chunk(0x3000, "", {deep}) : chunk(0x3000, "");
  return deep;
}

// Each of these must give 33 and, through the scene reader, the warning and no scene.
TEST(Read3ds, DamagedFilesFail) {
  const std::string tri = points(3);
  const struct {
    const char *what;
    std::string bytes;
  } cases[] = {
      {"top length 0", u16(0x4D4D) + u32(0)},
      {"top length 5", u16(0x4D4D) + u32(5) + zeros(8)},
      {"top length huge", u16(0x4D4D) + u32(0xFFFFFFFFu) + chunk(0x3D3D, "")},
      {"child length 0", file({u16(0x1234) + u32(0)})},
      {"child length huge", file({u16(0x1234) + u32(0xFFFFFFF0u)})},
      // Each of these would read on into bytes that make a sound file of the rest.
      {"child past its parent", file({material({u16(0xA020) + u32(12) + u16(0x3D3D) + u32(12), chunk(0x3000, "")})})},
      {"field past its chunk", file({chunk(0x2100, "", {chunk(0x0010, f32(1))}) + zeros(8)})},
      {"string past its chunk", file({chunk(0x2100, "", {chunk(0x3080, "ab")}) + std::string("c\0", 2)})},
      {"65 levels", chunk(0x4D4D, "", {nest(64)})},
      {"vertex count beyond its chunk", file({object("m", {chunk(0x4110, u16(65535) + zeros(12))})})},
      {"face count beyond its chunk", file({object("m", {tri, chunk(0x4120, u16(65535) + zeros(8))})})},
      {"corner out of range", file({object("m", {tri, faces({0, 1, 3})})})},
      {"faces before vertices", file({object("m", {faces({0, 0, 0}), tri})})},
      {"second vertex list", file({object("m", {tri, faces({0, 1, 2}), points(4)})})},
      {"second face list", file({object("m", {tri, faces({0, 1, 2}), faces({0, 1, 2}, {group("", {1})})})})},
      {"group face out of range", file({object("m", {tri, faces({0, 1, 2}, {group("", {1})})})})},
      {"group count beyond its chunk", file({object("m", {tri, faces({0, 1, 2}, {chunk(0x4130, str("") + u16(65535))})})})},
      {"group before faces", file({object("m", {tri, group("", {})})})},
      {"group without a mesh", file({group("", {})})},
      {"smoothing before faces", file({object("m", {tri, chunk(0x4150, "")})})},
      {"smoothing short", file({object("m", {tri, faces({0, 1, 2, 0, 1, 2}, {chunk(0x4150, u32(1))})})})},
      {"uv count other than vertices", file({object("m", {tri, chunk(0x4140, u16(2) + zeros(16))})})},
      {"uv before vertices", file({object("m", {chunk(0x4140, u16(0)), tri})})},
      {"uv count beyond its chunk", file({object("m", {tri, chunk(0x4140, u16(3) + zeros(8))})})},
      {"axes without a mesh", file({chunk(0x4160, zeros(48))})},
      {"spotlight without a light", file({chunk(0x4610, zeros(20))})},
      {"gradient short of colours", file({chunk(0x1300, f32(0.5f), {chunk(0x0010, zeros(12))})})},
      {"no magic", chunk(0x3D3E, "")},
  };
  for (const auto &c : cases) {
    int r = -1;
    Scene s = read(c.bytes, &r);
    EXPECT_EQ(r, WT3DS_UNREADABLE) << c.what;
    tk::Captured messages;
    FILE *f = tmpfile();
    fwrite(c.bytes.data(), 1, c.bytes.size(), f);
    rewind(f);
    EXPECT_EQ(_WT3ds_readscene(f, "bad.3ds"), nullptr) << c.what;
    fclose(f);
    EXPECT_NE(messages.all().find("Unable to parse 3D Studio file 'bad.3ds'"), std::string::npos) << c.what;
  }
  // One level less is still read.
  EXPECT_TRUE(good(chunk(0x4D4D, "", {nest(63)})));
}

// Every prefix of a sound file fails; every flipped byte gives a failure or a sound scene.
TEST(Read3ds, EveryPrefixAndFlippedByte) {
  const std::string &bytes = cubefile();
  ASSERT_GT(bytes.size(), 200u);
  for (size_t n = 0; n < bytes.size(); n++) {
    int r = -1;
    Scene s = read(bytes.substr(0, n), &r);
    ASSERT_EQ(r, WT3DS_UNREADABLE) << n;
  }
  for (size_t i = 0; i < bytes.size(); i++) {
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::string damaged = bytes;
      damaged[i] = static_cast<char>(damaged[i] ^ flip);
      int r = -1;
      Scene s = read(damaged, &r);
      ASSERT_TRUE(r == WT3DS_OK || r == WT3DS_UNREADABLE) << i;
      if (r == WT3DS_OK) {
        expectsound(s.get());
        if (HasFatalFailure()) FAIL() << "byte " << i << " flipped with " << unsigned(flip);
      }
    }
  }
}

}  // namespace
