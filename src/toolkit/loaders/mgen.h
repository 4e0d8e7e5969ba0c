// Inside the OpenFlight reader: the record walk (faces, vertices, palettes) and the conversion of
// the record tree into nodes share the file records and the polygon descriptor declared here.
// Every field is big-endian in the file and read through the bounded readers below; positions
// are byte offsets into the current file's buffer, and a record that runs past its end ends
// the walk.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/wt.h"

// Palette kinds of the palette-source record.
enum { MGEN_COLOUR = 0, MGEN_MATERIAL = 1, MGEN_TEXTURE = 2 };
// Override flags of an external reference: bit 31 colour, 30 material, 29 texture.
constexpr uint32_t kMgenOverride[3] = {0x80000000u, 0x40000000u, 0x20000000u};
// The first revision with the newer colour, light-mode and vertex-flag layout.
constexpr uint32_t kMgenNewRevision = 1420;
constexpr size_t kMgenNone = static_cast<size_t>(-1);
constexpr int kMgenTableSize = 2048;

struct MgenMaterial {
  float ambient[3], diffuse[3], specular[3], emission[3];
  float shininess, alpha;
};

struct MgenTexture {
  int number;   // 0, 1, 2 ... in the order met
  int pattern;  // the palette's pattern index
  std::string name;
};

struct MgenReplicate {
  WTnode *group, *outer;
  WTm4 matrix;
  int count;
};

// One OpenFlight file of a load: the loaded file and each external reference.
struct MgenFile {
  std::string name;
  std::vector<uint8_t> buffer;  // the file while it is converted
  double units = 1.0;
  int storage = 0;
  uint32_t revision = 0;
  size_t vertexpalette = kMgenNone;
  size_t vertexpaletteend = 0;
  WTnode *root = nullptr;
  std::shared_ptr<std::vector<float>> colours;          // 65,536 x RGB, 0-1; null = none
  std::shared_ptr<std::vector<MgenMaterial>> materials;  // 64 entries; null = none
  int materialbase = -1;                                 // table id of entry 0
  std::vector<MgenTexture> textures;                     // newest first
  int highestdef = -1, defdepth = -2;
  std::vector<WTnode *> defnodes;  // by definition number
  std::vector<int> defnumbers;
  struct InstanceRef {
    WTnode *definition, *parent;
  };
  std::vector<InstanceRef> instancerefs;
  std::vector<MgenReplicate> replicates;
  uint32_t overrides = 0;              // the naming reference's override flags
  MgenFile *sources[3] = {};           // whose palettes apply; null = the file's own
  MgenFile *referrer = nullptr;        // the file whose reference named this one
};

// The polygon descriptor that the record walk fills for one face.
struct MgenPoly {
  explicit MgenPoly(int capacity);
  int texturewhite = 0;
  int normalmode = 0;  // 0 none, 3 per vertex
  int colourmode = 2;  // 2 face colour, 3 per-vertex colours
  int texturemode = 0; // 0 none, 3 textured
  int material = -1;
  std::string texture;
  int textureformat = -1;
  int texturealpha = 0;
  int owncolours = 0;
  int drawtype = 0;
  int valid = 0;
  int count = 0;
  int primitive = 3;  // 3 filled polygon, 2 line loop, 0 points
  int replicated = 0, replicates = 0;
  const float *replicatematrix = nullptr;
  int capacity;
  std::vector<float> positions, normals, colours, texcoords;  // 3, 3, 4 and 2 floats a vertex
  float alpha = 1.0f;
  MgenMaterial look{};  // the material as the face shows it
};

// The load's process-wide state, set by the conversion and read by the record walk.
struct MgenLoad {
  MgenFile *current = nullptr;
  MgenFile *main = nullptr;
  WTmtable *table = nullptr;
  int flatshaded = 0;
};
MgenLoad &_WTmgen_load();

// ---- Bounded big-endian reads of the current file ------------------------------------------

size_t _WTmgen_size();
uint16_t _WTmgen_u16(size_t at);
int16_t _WTmgen_i16(size_t at);
uint32_t _WTmgen_u32(size_t at);
int32_t _WTmgen_i32(size_t at);
float _WTmgen_f32(size_t at);
double _WTmgen_f64(size_t at);
void _WTmgen_put32(size_t at, uint32_t value);
// Text of at most `limit` bytes from `at`, cut at its end and at the buffer's.
std::string _WTmgen_text(size_t at, size_t limit);
// The record at `at`: its opcode and length; false when it does not fit in the buffer.
bool _WTmgen_record(size_t at, int *opcode, size_t *length);
// The name of an opcode for messages: "unknown" outside the table.
const char *_WTmgen_opname(int opcode);

// ---- The record walk -----------------------------------------------------------------------

// The face at `face` and its vertex records into the descriptor; the position after them.
size_t addPolygon(size_t face, MgenPoly *poly);
size_t addLightPoint(size_t face);
int _WTmgen_colorpalette(size_t record, int grey);
int _WTmgen_materialpalette(size_t record, int grey);
// The texture palette entry of that pattern index, found in the file that supplies textures.
const char *_WTmgen_texturename(MgenFile *file, int pattern);
// The attribute file of a texture (up to 1536 bytes); empty when none opens.
std::vector<uint8_t> _WTmgen_readattr(const std::string &name);
std::string _WTmgen_basename(const std::string &path);
// The palette sources of a file from its override flags and its referrers.
void _WTmgen_findsources(MgenFile *file, MgenFile *sources[3]);

extern "C" {
// The file read into a tree under a new root separator, not yet attached; null when it cannot.
WTAPI WTnode *_WTnode_loadmgen(const char *name);
WTAPI int _WTmgen_setmode(int number, int value);
WTAPI int _WTmgen_getmode(int number);
}
