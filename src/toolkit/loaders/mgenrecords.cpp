// The OpenFlight record walk: bounded big-endian reads, faces with their vertices, colours,
// normals, texture coordinates, textures and materials, light points, and the colour,
// material and texture palettes.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/mgen.h"

namespace {

constexpr int kPaletteSize = 65536;
constexpr int kGreyEntries = 14336;
constexpr int kOldColourLimit = 4152;
constexpr uint32_t kNoFaceColour = 0x40000000u;
constexpr uint16_t kNoVertexColour = 0x2000;
constexpr int kTexcoordBit = 0x1000;
constexpr int kMaterialEntries = 64;
constexpr size_t kMaterialSize = 184;
constexpr size_t kAttrSize = 1536;

MgenLoad load;

const std::vector<uint8_t> &buffer() {
  static const std::vector<uint8_t> none;
  return load.current ? load.current->buffer : none;
}

const char *const kNames[103] = {
    "unknown", "header", "group", "lod", "object", "poly", "unknown", "vert_abs", "vert_shad",
    "vert_norm", "push", "pop", "unknown", "unknown", "unknown", "unknown", "unknown", "unknown",
    "unknown", "push_sf", "pop_sf", "unknown", "unknown", "unknown", "unknown", "unknown",
    "unknown", "unknown", "unknown", "unknown", "unknown", "comment", "color_table", "unknown",
    "unknown", "unknown", "unknown", "unknown", "unknown", "unknown", "unknown_matrix",
    "unknown_matrix", "unknown_matrix", "unknown_matrix", "unknown_matrix", "unknown_matrix",
    "unknown_matrix", "unknown_matrix", "unknown_matrix", "matrix", "vector", "bbox", "unknown",
    "unknown", "unknown", "bsp", "unknown", "unknown", "unknown", "unknown", "replicate",
    "instance_ref", "instance_def", "external_ref", "texture_ref", "eyepoints", "material_table",
    "vertex_table", "dvert_abs", "dvert_norm", "dvert_norm_tex", "dvert_tex", "unknown", "dlod",
    "unknown", "unknown", "unknown_matrix", "unknown_matrix", "unknown_matrix", "unknown_matrix",
    "unknown_matrix", "unknown_matrix", "unknown_matrix", "unknown", "unknown", "unknown",
    "unknown", "road", "road_zone", "morph_vertices", "linkage", "sound", "road_path",
    "sound_table", "general_matrix", "text", "switch", "line_style", "clip_plane", "unknown",
    "extension", "light_source", "light_palette"};

// ---- Per-face state --------------------------------------------------------------------------

struct Face {
  size_t record = 0;
  std::string id;
  int firstkind = 0;  // label of the first vertex, 0 none
  bool mixed = false;
  size_t matrix = kMgenNone, replicate = kMgenNone;
  bool usescolour = true;
};

bool newcolours() { return load.current && load.current->revision >= kMgenNewRevision; }

const float *palettecolour(int index) {
  static const float white[3] = {1, 1, 1};
  MgenFile *f = load.current;
  const std::vector<float> *p = f && f->colours ? f->colours.get() : nullptr;
  int entry = f && f->revision == kMgenNewRevision ? index >> 7 : index;
  if (!p || entry < 0 || entry >= kPaletteSize) return white;
  return p->data() + 3 * entry;
}

void setcolour(MgenPoly *poly, int slot, const float *rgb, float alpha) {
  float *c = poly->colours.data() + 4 * slot;
  memcpy(c, rgb, sizeof(float) * 3);
  c[3] = alpha;
}

bool vertexowncolour(int index, uint16_t flags) {
  if (newcolours()) return !(flags & kNoVertexColour);
  return index > 0 && index < kOldColourLimit;
}

bool lightallowscolours(size_t face) {
  int mode = _WTmgen_u16(face + 48) >> 8;
  return newcolours() && (mode == 1 || mode == 3);
}

// Room for one more vertex; a face past the descriptor's room is made invalid with a warning.
bool room(MgenPoly *poly, Face &face) {
  if (poly->count < poly->capacity) return true;
  if (poly->count == poly->capacity)
    _WTmsg_warning("Multigen: polygon %s has more than %d vertices, ignored\n", face.id.c_str(),
                   poly->capacity);
  poly->count = poly->capacity + 1;
  return false;
}

void notekind(Face &face, int kind) {
  if (!face.firstkind) face.firstkind = kind;
  else if ((face.firstkind & ~kTexcoordBit) != (kind & ~kTexcoordBit)) face.mixed = true;
}

// One vertex at slot `i`: position (already scaled), and what else the record carries.
struct VertexData {
  double position[3];
  const float *normal = nullptr;
  float normalvalues[3];
  bool hasuv = false;
  float uv[2];
  bool owncolour = false;
  int colourindex = 0;
};

void storevertex(MgenPoly *poly, Face &face, const VertexData &v, int kind) {
  if (!room(poly, face)) return;
  int i = poly->count++;
  for (int k = 0; k < 3; k++) poly->positions[3 * i + k] = static_cast<float>(v.position[k]);
  if (v.normal) memcpy(&poly->normals[3 * i], v.normal, sizeof(float) * 3);
  if (v.hasuv) memcpy(&poly->texcoords[2 * i], v.uv, sizeof(float) * 2);
  if (v.owncolour) {
    setcolour(poly, i, palettecolour(v.colourindex), 1.0f);
    poly->owncolours = 1;
  }
  notekind(face, kind);
}

// Inline vertices 7, 8 and 9 of older files.
void inlinevertex(MgenPoly *poly, Face &face, size_t at, int opcode, size_t length) {
  VertexData v;
  double units = load.current->units;
  for (int k = 0; k < 3; k++) v.position[k] = _WTmgen_i32(at + 4 + 4 * k) * units;
  size_t uvat = opcode == 7 ? 16 : opcode == 8 ? 20 : 32;
  if (opcode == 8) {
    v.colourindex = _WTmgen_u16(at + 18);
    v.owncolour = vertexowncolour(v.colourindex, 0);
  }
  if (opcode == 9) {
    for (int k = 0; k < 3; k++) v.normalvalues[k] = static_cast<float>(_WTmgen_i32(at + 20 + 4 * k));
    v.normal = v.normalvalues;
  }
  if (length > uvat) {
    v.hasuv = true;
    v.uv[0] = _WTmgen_f32(at + uvat);
    v.uv[1] = _WTmgen_f32(at + uvat + 4);
  }
  storevertex(poly, face, v, v.hasuv ? opcode | kTexcoordBit : opcode);
}

// A vertex-palette entry at the offset into the palette.
void palettevertex(MgenPoly *poly, Face &face, uint32_t offset) {
  MgenFile *f = load.current;
  int opcode;
  size_t length;
  size_t at = f->vertexpalette == kMgenNone ? kMgenNone : f->vertexpalette + offset;
  if (at == kMgenNone || at >= f->vertexpaletteend || !_WTmgen_record(at, &opcode, &length) ||
      at + length > f->vertexpaletteend || length < 32 || opcode < 68 || opcode > 71) {
    _WTmsg_warning("Unknown Multigen vertex type %s\n", face.id.c_str());
    face.mixed = true;
    return;
  }
  VertexData v;
  for (int k = 0; k < 3; k++) v.position[k] = _WTmgen_f64(at + 8 + 8 * k) * f->units;
  v.colourindex = _WTmgen_u16(at + 4);
  v.owncolour = vertexowncolour(v.colourindex, _WTmgen_u16(at + 6));
  int kind = opcode == 68 ? (v.owncolour ? 8 : 7) : opcode == 69 ? 9 : opcode == 70 ? 4105 : (v.owncolour ? 4104 : 4103);
  if (opcode == 69 || opcode == 70) {
    int mode = _WTmgen_u16(face.record + 48) >> 8;
    if (f->revision < kMgenNewRevision || mode == 2 || mode == 3) {
      for (int k = 0; k < 3; k++) v.normalvalues[k] = _WTmgen_f32(at + 32 + 4 * k);
      v.normal = v.normalvalues;
    } else {
      face.mixed = true;
    }
    if (opcode == 69) v.owncolour = false;
  }
  if (opcode == 70 || opcode == 71) {
    size_t uvat = opcode == 70 ? 44 : 32;
    v.hasuv = true;
    v.uv[0] = _WTmgen_f32(at + uvat);
    v.uv[1] = _WTmgen_f32(at + uvat + 4);
  }
  storevertex(poly, face, v, kind);
}

void vertexlist(MgenPoly *poly, Face &face, size_t at, size_t length, size_t stride) {
  for (size_t p = at + 4; p + 4 <= at + length; p += stride) palettevertex(poly, face, _WTmgen_u32(p));
}

// ---- Modes, textures, materials --------------------------------------------------------------

void setmodes(MgenPoly *poly, const Face &face) {
  bool colours = lightallowscolours(face.record);
  int kind = face.firstkind & ~kTexcoordBit;
  bool mixed = face.mixed || (load.flatshaded && kind == 9);
  if (mixed) {
    poly->normalmode = 0;
    poly->colourmode = colours ? 3 : 2;
  } else if (kind == 7) {
    poly->normalmode = 0;
    poly->colourmode = 2;
  } else if (kind == 8) {
    poly->normalmode = 0;
    poly->colourmode = 3;
  } else if (kind == 9) {
    poly->normalmode = 3;
    poly->colourmode = colours ? 3 : 2;
  } else {
    _WTmsg_warning("Unknown Multigen vertex type %s\n", face.id.c_str());
  }
}

void settexture(MgenPoly *poly, const Face &face) {
  int pattern = _WTmgen_i16(face.record + 28);
  if (!(face.firstkind & kTexcoordBit) || pattern < 0) return;
  const char *name = _WTmgen_texturename(load.current, pattern);
  if (!name) {
    MgenFile *source = load.current->sources[MGEN_TEXTURE] ? load.current->sources[MGEN_TEXTURE] : load.current;
    _WTmsg_warning("Couldn't load texture (indexing missing MultiGen palette member)\n\tfile    : %s use-file: %s texture index %d\n",
                   load.current->name.c_str(), source->name.c_str(), pattern);
    _WTmsg_warning("Couldn't reference Multigen texture file %d\n", pattern);
    return;
  }
  std::string full = name;
  std::vector<uint8_t> attr = _WTmgen_readattr(full);
  if (attr.empty() && full[0] == '/') attr = _WTmgen_readattr(full.substr(1));
  if (!attr.empty()) {
    poly->textureformat = static_cast<int>(uint32_t(attr[24]) << 24 | uint32_t(attr[25]) << 16 |
                                           uint32_t(attr[26]) << 8 | attr[27]);
    poly->texturealpha = poly->textureformat == 3 || poly->textureformat == 5;
  } else {
    _WTmsg_warning("Couldn't locate file %s.attr, applying texture with defaults\n", full.c_str());
  }
  poly->texture = _WTmgen_basename(full);
  poly->texturemode = 3;
}

MgenMaterial defaultmaterial() {
  MgenMaterial m;
  for (int k = 0; k < 3; k++) {
    m.ambient[k] = 0.3f;
    m.diffuse[k] = 0.7f;
    m.specular[k] = 0.2f;
    m.emission[k] = 0.0f;
  }
  m.shininess = 0.0f;
  m.alpha = 1.0f;
  return m;
}

void setmaterial(MgenPoly *poly, const Face &face) {
  int index = _WTmgen_i16(face.record + 30);
  MgenFile *f = load.current;
  MgenFile *source = f->sources[MGEN_MATERIAL] ? f->sources[MGEN_MATERIAL] : f;
  MgenMaterial m = defaultmaterial();
  // Entries past the palette's 64 are no material.
  if (index >= kMaterialEntries) index = -1;
  if (source->materials && index >= 0) {
    m = (*source->materials)[static_cast<size_t>(index)];
    if (!_WTmgen_getmode(5))
      for (int k = 0; k < 3; k++) {
        m.ambient[k] *= poly->colours[static_cast<size_t>(k)];
        m.diffuse[k] *= poly->colours[static_cast<size_t>(k)];
      }
    if (m.emission[0] + m.emission[1] + m.emission[2] < 0.2f) m.emission[0] = m.emission[1] = m.emission[2] = 0;
  }
  int slots = poly->colourmode == 3 ? poly->count : 1;
  for (int i = 0; i < slots && i < poly->capacity + 1; i++) poly->colours[4 * static_cast<size_t>(i) + 3] = m.alpha;
  poly->material = index;
  poly->look = m;
}

void setprimitive(MgenPoly *poly, const Face &face) {
  int draw = static_cast<int8_t>(_WTmgen_u16(face.record + 18) >> 8);
  poly->drawtype = draw;
  poly->alpha = 1.0f - _WTmgen_u16(face.record + 40) / 65535.0f;
  poly->primitive = draw == 2 || draw == 3 ? 2 : 3;
  if (draw == 2 && poly->count >= 1 && poly->count <= poly->capacity) {
    int n = poly->count++;
    memcpy(&poly->positions[3 * static_cast<size_t>(n)], &poly->positions[0], sizeof(float) * 3);
    memcpy(&poly->normals[3 * static_cast<size_t>(n)], &poly->normals[0], sizeof(float) * 3);
    memcpy(&poly->colours[4 * static_cast<size_t>(n)], &poly->colours[0], sizeof(float) * 4);
    memcpy(&poly->texcoords[2 * static_cast<size_t>(n)], &poly->texcoords[0], sizeof(float) * 2);
  }
  if (poly->count < 2) poly->primitive = 0;
  else if (poly->count == 2 && (draw == 0 || draw == 1 || draw == 4)) poly->primitive = 2;
}

// The face's colour into slot 0 (white for inline vertices of a face without one).
void facecolour(MgenPoly *poly, Face &face) {
  uint32_t flags = _WTmgen_u32(face.record + 44);
  int index = _WTmgen_u16(face.record + 20);
  face.usescolour = newcolours() ? !(flags & kNoFaceColour) : index < kOldColourLimit;
  static const float white[3] = {1, 1, 1};
  if (poly->colourmode == 3 && poly->owncolours) return;
  if (face.usescolour) setcolour(poly, 0, palettecolour(index), 1.0f);
  else if (face.firstkind == 7 || face.firstkind == 8 || face.firstkind == 9) setcolour(poly, 0, white, 1.0f);
}

bool unexpected(MgenPoly *poly, const Face &face, int opcode, size_t at, size_t *stop) {
  if (opcode == 5) {
    _WTmsg_warning("Multigen: addPolygon() polygon found in polygon, id = %s, Possible vertex-less poly.",
                   face.id.c_str());
    poly->valid = 0;
    *stop = at;
    return true;
  }
  if (opcode == 19 || opcode == 20)
    _WTmsg_warning("Multigen: addPolygon() unexpected node %d \"%s\" found. Possible vertex-less %s of %s.",
                   opcode, _WTmgen_opname(opcode), opcode == 19 ? "superface" : "subface", face.id.c_str());
  else
    _WTmsg_warning("Multigen: addPolygon() unexpected node %d \"%s\" found.", opcode, _WTmgen_opname(opcode));
  return false;
}

// The records after the face; returns where the walk stopped and whether the face ended there.
size_t walkface(MgenPoly *poly, Face &face, bool *nested) {
  size_t at = face.record;
  int opcode;
  size_t length;
  if (!_WTmgen_record(at, &opcode, &length)) return buffer().size();
  at += length;
  for (int depth = 0; _WTmgen_record(at, &opcode, &length); at += length) {
    size_t stop;
    if (opcode == 10) depth++;
    else if (opcode == 11 && --depth < 1) return at + length;
    else if (opcode == 7 || opcode == 8 || opcode == 9) inlinevertex(poly, face, at, opcode, length);
    else if (opcode == 72) vertexlist(poly, face, at, length, 4);
    else if (opcode == 89) vertexlist(poly, face, at, length, 8);
    else if (opcode == 49) face.matrix = at;
    else if (opcode == 60) face.replicate = at;
    else if (opcode != 31 && opcode != 33 && opcode != 50 && unexpected(poly, face, opcode, at, &stop)) {
      *nested = true;
      return stop;
    }
  }
  return buffer().size();
}

}  // namespace

MgenLoad &_WTmgen_load() { return load; }

MgenPoly::MgenPoly(int n) : capacity(n < 1 ? 32 : n) {
  size_t room = static_cast<size_t>(capacity) + 1;  // a closed line loop repeats its first vertex
  positions.assign(3 * room, 0.0f);
  normals.assign(3 * room, 0.0f);
  colours.assign(4 * room, 1.0f);
  texcoords.assign(2 * room, 0.0f);
}

// ---- Bounded reads -------------------------------------------------------------------------

size_t _WTmgen_size() { return buffer().size(); }

uint16_t _WTmgen_u16(size_t at) {
  const std::vector<uint8_t> &b = buffer();
  if (at > b.size() || b.size() - at < 2) return 0;
  return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}

int16_t _WTmgen_i16(size_t at) { return static_cast<int16_t>(_WTmgen_u16(at)); }

uint32_t _WTmgen_u32(size_t at) {
  const std::vector<uint8_t> &b = buffer();
  if (at > b.size() || b.size() - at < 4) return 0;
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

int32_t _WTmgen_i32(size_t at) { return static_cast<int32_t>(_WTmgen_u32(at)); }

float _WTmgen_f32(size_t at) {
  uint32_t bits = _WTmgen_u32(at);
  float f;
  memcpy(&f, &bits, sizeof f);
  return isfinite(f) ? f : 0.0f;
}

double _WTmgen_f64(size_t at) {
  uint64_t bits = uint64_t(_WTmgen_u32(at)) << 32 | _WTmgen_u32(at + 4);
  double d;
  memcpy(&d, &bits, sizeof d);
  return isfinite(d) ? d : 0.0;
}

void _WTmgen_put32(size_t at, uint32_t value) {
  if (!load.current) return;
  std::vector<uint8_t> &b = load.current->buffer;
  if (at > b.size() || b.size() - at < 4) return;
  for (int i = 0; i < 4; i++) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

std::string _WTmgen_text(size_t at, size_t limit) {
  const std::vector<uint8_t> &b = buffer();
  std::string s;
  for (size_t i = at; i < b.size() && i - at < limit && b[i]; i++) s += static_cast<char>(b[i]);
  return s;
}

bool _WTmgen_record(size_t at, int *opcode, size_t *length) {
  const std::vector<uint8_t> &b = buffer();
  if (at > b.size() || b.size() - at < 4) return false;
  *opcode = _WTmgen_u16(at);
  *length = _WTmgen_u16(at + 2);
  return *length >= 4 && *length <= b.size() - at;
}

const char *_WTmgen_opname(int opcode) {
  return opcode >= 0 && opcode <= 102 ? kNames[opcode] : "unknown";
}

// ---- Faces and light points ----------------------------------------------------------------

size_t addPolygon(size_t record, MgenPoly *poly) {
  Face face;
  face.record = record;
  face.id = _WTmgen_text(record + 4, 8);
  int draw = static_cast<int8_t>(_WTmgen_u16(record + 18) >> 8);
  if (draw == 8 || draw == 9 || draw == 10) {
    poly->valid = 0;
    return addLightPoint(record);
  }
  poly->count = 0;
  poly->valid = 0;
  poly->owncolours = 0;
  poly->texturemode = 0;
  poly->texture.clear();
  poly->replicated = 0;
  std::fill(poly->colours.begin(), poly->colours.end(), 1.0f);
  poly->texturewhite = static_cast<int8_t>(_WTmgen_u16(record + 18) & 0xFF);
  bool nested = false;
  size_t next = walkface(poly, face, &nested);
  if (nested) return next;
  if (poly->count > poly->capacity) return next;
  setmodes(poly, face);
  facecolour(poly, face);
  settexture(poly, face);
  setmaterial(poly, face);
  setprimitive(poly, face);
  if (face.replicate != kMgenNone) {
    poly->replicated = 1;
    poly->replicates = _WTmgen_i16(face.replicate + 4);
  }
  poly->valid = 1;
  return next;
}

size_t addLightPoint(size_t record) {
  std::string id = _WTmgen_text(record + 4, 8);
  int opcode;
  size_t length;
  size_t at = record;
  if (!_WTmgen_record(at, &opcode, &length)) return buffer().size();
  at += length;
  for (int depth = 0; _WTmgen_record(at, &opcode, &length); at += length) {
    if (opcode == 10) {
      depth++;
    } else if (opcode == 11) {
      if (--depth < 1) return at + length;
    } else if (opcode == 5) {
      _WTmsg_debug("  addLightPoint() poly found in poly. id = %s\n\tPossible vertex-less poly.\n", id.c_str());
      return at;
    } else if (opcode == 19 || opcode == 20) {
      _WTmsg_debug("  addLightPoint() unsupported bead %d \"%s\" found in poly. id = %s. \n\tPossible vertex-less %s.\n",
                   opcode, _WTmgen_opname(opcode), id.c_str(), opcode == 19 ? "superface" : "subface");
    } else if (opcode != 7 && opcode != 8 && opcode != 9 && opcode != 31 && opcode != 33 &&
               opcode != 49 && opcode != 50 && opcode != 60 && opcode != 72 && opcode != 89) {
      _WTmsg_debug("  addLightPoint() unsupported bead %d \"%s\" found in poly. id = %s. \n", opcode,
                   _WTmgen_opname(opcode), id.c_str());
    }
  }
  return buffer().size();
}

// ---- Palettes ------------------------------------------------------------------------------

namespace {

void greyen(float *rgb) {
  float g = 0.3f * rgb[0] + 0.59f * rgb[1] + 0.11f * rgb[2];
  rgb[0] = rgb[1] = rgb[2] = g;
}

void fillold(size_t record, std::vector<float> &p) {
  for (int c = 0; c < 28; c++)
    for (int i = 0; i < 128; i++)
      for (int k = 0; k < 3; k++) {
        int v = _WTmgen_u16(record + 4 + 6 * static_cast<size_t>(c) + 2 * static_cast<size_t>(k));
        p[3 * static_cast<size_t>(c * 128 + i) + static_cast<size_t>(k)] = ((v * (i + 1) + 1) / 128) / 255.0f;
      }
  for (int c = 0; c < 56; c++)
    for (int k = 0; k < 3; k++)
      p[3 * static_cast<size_t>(4096 + c) + static_cast<size_t>(k)] =
          _WTmgen_i16(record + 196 + 6 * static_cast<size_t>(c) + 2 * static_cast<size_t>(k)) / 255.0f;
}

void fillnew(size_t record, std::vector<float> &p) {
  for (int c = 0; c < 512; c++) {
    uint32_t packed = _WTmgen_u32(record + 132 + 4 * static_cast<size_t>(c));
    // Stored as bytes a, b, g, r in the file: red is the low byte.
    float rgb[3] = {float(packed & 0xFF), float(packed >> 8 & 0xFF), float(packed >> 16 & 0xFF)};
    for (int i = 0; i < 128; i++)
      for (int k = 0; k < 3; k++)
        p[3 * static_cast<size_t>(c * 128 + i) + static_cast<size_t>(k)] = rgb[k] / 255.0f * (i / 127.0f);
  }
}

bool samecolours(const std::vector<float> &a, const std::vector<float> &b) {
  auto near = [&](int entry) {
    for (int k = 0; k < 3; k++)
      if (fabsf(a[3 * static_cast<size_t>(entry) + static_cast<size_t>(k)] -
                b[3 * static_cast<size_t>(entry) + static_cast<size_t>(k)]) > 0.007843138f)
        return false;
    return true;
  };
  for (int e = 0; e <= 3456; e += 128)
    if (!near(e)) return false;
  for (int e = 4096; e <= 4151; e++)
    if (!near(e)) return false;
  return true;
}

// An external reference of an older revision whose palette matches the main file's shares it.
void shareifsame(MgenFile *f) {
  MgenFile *main = load.main;
  if (f == main || f->revision >= kMgenNewRevision || !main || !main->colours) return;
  if (samecolours(*f->colours, *main->colours)) {
    f->colours = main->colours;
    f->referrer = main;
    f->overrides &= ~kMgenOverride[MGEN_COLOUR];
    f->sources[MGEN_COLOUR] = main;
  } else {
    f->overrides |= kMgenOverride[MGEN_COLOUR];
    f->sources[MGEN_COLOUR] = f;
  }
}

void setvalue(WTmtable *t, int entry, const float *v, unsigned bit, const char *what) {
  if (!WTmtable_setvalue(t, entry, v, bit)) _WTmsg_warning("Multigen: Couldn't set %s value\n", what);
}

MgenMaterial readmaterial(size_t at) {
  MgenMaterial m;
  float *fields[4] = {m.ambient, m.diffuse, m.specular, m.emission};
  for (int c = 0; c < 4; c++)
    for (int k = 0; k < 3; k++) fields[c][k] = _WTmgen_f32(at + 12 * static_cast<size_t>(c) + 4 * static_cast<size_t>(k));
  m.shininess = _WTmgen_f32(at + 48);
  m.alpha = _WTmgen_f32(at + 52);
  return m;
}

}  // namespace

int _WTmgen_colorpalette(size_t record, int grey) {
  MgenFile *f = load.current;
  if (!f) return 1;
  MgenFile *source = f->sources[MGEN_COLOUR];
  if (f != load.main && source && source != f) {
    f->colours = source->colours;
    return 1;
  }
  auto p = std::make_shared<std::vector<float>>(3 * static_cast<size_t>(kPaletteSize), 0.0f);
  if (f->revision < kMgenNewRevision) fillold(record, *p);
  else fillnew(record, *p);
  if (grey)
    for (int e = 0; e < kGreyEntries; e++) greyen(p->data() + 3 * e);
  f->colours = p;
  shareifsame(f);
  return 1;
}

int _WTmgen_materialpalette(size_t record, int grey) {
  MgenFile *f = load.current;
  if (!f) return 1;
  MgenFile *source = f->sources[MGEN_MATERIAL];
  if (f != load.main && source && source != f) {
    f->materials = source->materials;
    f->materialbase = source->materialbase;
    return 1;
  }
  auto list = std::make_shared<std::vector<MgenMaterial>>();
  for (int e = 0; e < kMaterialEntries; e++) {
    MgenMaterial m = readmaterial(record + 4 + kMaterialSize * static_cast<size_t>(e));
    if (grey)
      for (float *c : {m.ambient, m.diffuse, m.specular, m.emission}) greyen(c);
    list->push_back(m);
    int entry = WTmtable_newentry(load.table);
    if (entry < 0) continue;
    if (e == 0) f->materialbase = entry;
    setvalue(load.table, entry, m.ambient, WTAMBIENT, "ambient");
    setvalue(load.table, entry, m.diffuse, WTDIFFUSE, "diffuse");
    setvalue(load.table, entry, m.specular, WTSPECULAR, "specular");
    setvalue(load.table, entry, m.emission, WTEMISSION, "emission");
    setvalue(load.table, entry, &m.shininess, WTSHININESS, "shininess");
    setvalue(load.table, entry, &m.alpha, WTOPACITY, "alpha");
  }
  f->materials = list;
  return 1;
}

const char *_WTmgen_texturename(MgenFile *file, int pattern) {
  if (!file) return nullptr;
  MgenFile *source = file->sources[MGEN_TEXTURE] ? file->sources[MGEN_TEXTURE] : file;
  for (const MgenTexture &t : source->textures)
    if (t.pattern == pattern) return t.name.c_str();
  return nullptr;
}

std::vector<uint8_t> _WTmgen_readattr(const std::string &name) {
  std::string base = _WTmgen_basename(name);
  FILE *f = _WTfile_open((name + ".attr").c_str(), "rb");
  if (!f) f = _WTfile_open((name + ".att").c_str(), "rb");
  for (const std::string &n : {name + ".attr", base + ".attr"}) {
    if (f) break;
    const char *found = _WTfile_findpath(n.c_str(), "WTIMAGES");
    if (found) f = _WTfile_open(found, "rb");
  }
  if (!f) return {};
  std::vector<uint8_t> bytes(kAttrSize, 0);
  size_t n = fread(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  (void)n;
  return bytes;
}

std::string _WTmgen_basename(const std::string &path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

void _WTmgen_findsources(MgenFile *file, MgenFile *sources[3]) {
  for (int kind = 0; kind < 3; kind++) {
    sources[kind] = nullptr;
    for (MgenFile *f = file; f; f = f->referrer)
      if (f->overrides & kMgenOverride[kind]) {
        sources[kind] = f;
        break;
      }
  }
}
