// Material records and their texture-map slots.
#include "ftk3ds/internal.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace ftk3ds;

namespace {

// Map slots in written order, with their map chunk and parameter block chunk.
struct Slot {
  MapInfo3ds Material3ds::*map;
  uint32_t mapTag;
  uint32_t blockTag;  // 0 = none
};

const Slot kSlots[] = {
    {&Material3ds::texture, 0xA200, 0xA320},       {&Material3ds::textureMask, 0xA33E, 0xA32A},
    {&Material3ds::texture2, 0xA33A, 0xA321},      {&Material3ds::texture2Mask, 0xA340, 0xA32C},
    {&Material3ds::opacity, 0xA210, 0xA322},       {&Material3ds::opacityMask, 0xA342, 0xA32E},
    {&Material3ds::bump, 0xA230, 0xA324},          {&Material3ds::bumpMask, 0xA344, 0xA330},
    {&Material3ds::specularMap, 0xA204, 0xA325},   {&Material3ds::specularMask, 0xA348, 0xA332},
    {&Material3ds::shininessMap, 0xA33C, 0xA326},  {&Material3ds::shininessMask, 0xA346, 0xA334},
    {&Material3ds::selfIllumMap, 0xA33D, 0xA328},  {&Material3ds::selfIllumMask, 0xA34A, 0xA336},
    {&Material3ds::reflect, 0xA220, 0},            {&Material3ds::reflectMask, 0xA34C, 0xA338},
};

const Slot *SlotByMap(uint32_t tag) {
  for (const Slot &s : kSlots)
    if (s.mapTag == tag) return &s;
  return nullptr;
}

const Slot *SlotByBlock(uint32_t tag) {
  for (const Slot &s : kSlots)
    if (s.blockTag && s.blockTag == tag) return &s;
  return nullptr;
}

void FreeMaps(Material3ds *mat) {
  for (const Slot &s : kSlots) {
    MapInfo3ds &map = mat->*s.map;
    free(map.data);
    map.data = nullptr;
    map.dataSize = 0;
  }
}

void SetDefaults(Material3ds *mat) {
  memset(mat, 0, sizeof *mat);
  mat->wireSize = 1.0f;
  mat->shading = 3;
  mat->autoReflectSize = 100;
  mat->autoReflectStep = 1;
  for (const Slot &s : kSlots) InitMapInfo3ds(&(mat->*s.map));
}

// Fractions are written as whole percentages and colours as bytes, truncated; the small
// allowance keeps a value read from a file (n / 100, n / 255) at n when written back.
uint16_t Percent(float fraction) {
  double v = static_cast<double>(fraction) * 100.0 + 1e-3;
  return v <= 0.0 ? 0 : v >= 65535.0 ? 65535 : static_cast<uint16_t>(v);
}

uint8_t ColorByte(float component) {
  double v = static_cast<double>(component) * 255.0 + 1e-3;
  return v <= 0.0 ? 0 : v >= 255.0 ? 255 : static_cast<uint8_t>(v);
}

Color3ds ColorFromBytes(const uint8_t *v) {
  return {static_cast<float>(v[0] / 255.0), static_cast<float>(v[1] / 255.0),
          static_cast<float>(v[2] / 255.0)};
}

void *DataOf(Chunk3ds *parent, uint32_t tag) {
  Chunk3ds *c = FirstChild(parent, tag);
  return c ? ReadChunkData3ds(c) : nullptr;
}

bool ReadColor(Chunk3ds *chunk, Color3ds *color) {
  Chunk3ds *bytes = FirstChild(chunk, kColor24);
  if (!bytes) return !Fail(ERR_UNFOUND_CHUNK);
  if (auto *v = static_cast<uint8_t *>(ReadChunkData3ds(bytes))) *color = ColorFromBytes(v);
  if (auto *v = static_cast<uint8_t *>(DataOf(chunk, kLinColor24))) *color = ColorFromBytes(v);
  return true;
}

void ReadMap(Chunk3ds *chunk, MapInfo3ds *map) {
  map->percent = ReadPercentage3ds(chunk);
  if (auto *name = static_cast<char *>(DataOf(chunk, kMatMapName))) CopyName(map->name, sizeof map->name, name);
  if (auto *v = static_cast<uint16_t *>(DataOf(chunk, kMatMapTiling))) {
    uint16_t flags = *v;
    map->tiling = (flags & 0x0011) == 0x0011 ? 2 : (flags & 0x0001) ? 3 : 1;
    map->ignoreAlpha = (flags & 0x0100) ? 1 : 0;
    map->filter = (flags & 0x0020) ? 1 : 0;
    map->mirror = (flags & 0x0002) ? 1 : 0;
    map->negative = (flags & 0x0008) ? 1 : 0;
    map->tint = (flags & 0x0200)            ? 4
                : (flags & 0x00C0) == 0x00C0 ? 3
                : (flags & 0x0080)           ? 2
                : (flags & 0x0040)           ? 1
                                             : 0;
  }
  struct {
    uint32_t tag;
    float *to;
  } floats[] = {{kMatMapUScale, &map->uScale},   {kMatMapVScale, &map->vScale},
                {kMatMapUOffset, &map->uOffset}, {kMatMapVOffset, &map->vOffset},
                {kMatMapRotation, &map->rotation}, {kMatMapBlur, &map->blur}};
  for (auto &f : floats)
    if (auto *v = static_cast<float *>(DataOf(chunk, f.tag))) *f.to = *v;
  struct {
    uint32_t tag;
    Color3ds *to;
  } tints[] = {{kMatMapTint1, &map->tint1},
               {kMatMapTint2, &map->tint2},
               {kMatMapRedTint, &map->redTint},
               {kMatMapGreenTint, &map->greenTint},
               {kMatMapBlueTint, &map->blueTint}};
  for (auto &t : tints)
    if (auto *v = static_cast<uint8_t *>(DataOf(chunk, t.tag))) *t.to = ColorFromBytes(v);
}

// The map's own copy of a parameter block read from the database.
void CopyBlock(const RawData &raw, MapInfo3ds *map) {
  auto *bytes = static_cast<uint8_t *>(AllocFilled(raw.size, 1));
  if (raw.size && !bytes) return;
  if (bytes) memcpy(bytes, raw.bytes, raw.size);
  free(map->data);
  map->data = bytes;
  map->dataSize = raw.size;
}

// ---- Writing ----

bool AddPercent(Chunk3ds *parent, uint16_t value) {
  Chunk3ds *c = AddDataChild(parent, kIntPercentage);
  if (!c) return false;
  *static_cast<uint16_t *>(c->data) = value;
  return true;
}

bool AddPercentChunk(Chunk3ds *entry, uint32_t tag, uint16_t value) {
  Chunk3ds *c = AddDataChild(entry, tag);
  return c && AddPercent(c, value);
}

bool AddFloat(Chunk3ds *parent, uint32_t tag, float value) {
  Chunk3ds *c = AddDataChild(parent, tag);
  if (!c) return false;
  *static_cast<float *>(c->data) = value;
  return true;
}

bool AddShort(Chunk3ds *parent, uint32_t tag, uint16_t value) {
  Chunk3ds *c = AddDataChild(parent, tag);
  if (!c) return false;
  *static_cast<uint16_t *>(c->data) = value;
  return true;
}

bool AddColorBytes(Chunk3ds *parent, uint32_t tag, const Color3ds &color) {
  Chunk3ds *c = AddDataChild(parent, tag);
  if (!c) return false;
  uint8_t *v = static_cast<uint8_t *>(c->data);
  v[0] = ColorByte(color.r);
  v[1] = ColorByte(color.g);
  v[2] = ColorByte(color.b);
  return true;
}

bool AddString(Chunk3ds *parent, uint32_t tag, const char *text, size_t max) {
  Chunk3ds *c = AddDataChild(parent, tag);
  if (!c) return false;
  GiveRecordMemory(c->data);
  c->data = CopyRecordString(text, max);
  return c->data != nullptr;
}

bool AddFlag(Chunk3ds *entry, uint32_t tag, uint8_t set) {
  return !set || AddDataChild(entry, tag) != nullptr;
}

uint16_t TilingFlags(const MapInfo3ds &map) {
  uint16_t flags = map.tiling == 2 ? 0x0011 : map.tiling == 3 ? 0x0001 : 0;
  if (map.ignoreAlpha) flags |= 0x0100;
  if (map.filter == 1) flags |= 0x0020;
  if (map.mirror) flags |= 0x0002;
  if (map.negative) flags |= 0x0008;
  switch (map.tint) {
    case 1: flags |= 0x0040; break;
    case 2: flags |= 0x0080; break;
    case 3: flags |= 0x00C0; break;
    case 4: flags |= 0x0200; break;
    default: break;
  }
  return flags;
}

bool WriteMapInfo3ds(Chunk3ds *chunk, const MapInfo3ds &map) {
  if (!AddPercent(chunk, Percent(map.percent))) return false;
  if (!AddString(chunk, kMatMapName, map.name, sizeof map.name - 1)) return false;
  if (!AddShort(chunk, kMatMapTiling, TilingFlags(map))) return false;
  if ((map.uScale != 1.0f || map.vScale != 1.0f) &&
      !(AddFloat(chunk, kMatMapUScale, map.uScale) && AddFloat(chunk, kMatMapVScale, map.vScale)))
    return false;
  if ((map.uOffset != 0.0f || map.vOffset != 0.0f) &&
      !(AddFloat(chunk, kMatMapUOffset, map.uOffset) && AddFloat(chunk, kMatMapVOffset, map.vOffset)))
    return false;
  if (map.rotation != 0.0f && !AddFloat(chunk, kMatMapRotation, map.rotation)) return false;
  if (map.blur != 0.0f && !AddFloat(chunk, kMatMapBlur, map.blur)) return false;
  if ((map.tint == 2 || map.tint == 3) &&
      !(AddColorBytes(chunk, kMatMapTint1, map.tint1) && AddColorBytes(chunk, kMatMapTint2, map.tint2)))
    return false;
  if (map.tint == 4 &&
      !(AddColorBytes(chunk, kMatMapRedTint, map.redTint) &&
        AddColorBytes(chunk, kMatMapGreenTint, map.greenTint) &&
        AddColorBytes(chunk, kMatMapBlueTint, map.blueTint)))
    return false;
  return true;
}

bool WriteBlock(Chunk3ds *entry, uint32_t tag, const MapInfo3ds &map) {
  if (map.dataSize == 0 || !map.data) return true;
  Chunk3ds *c = AddDataChild(entry, tag);
  if (!c) return false;
  auto *raw = static_cast<RawData *>(c->data);
  FreeBulk(raw->bytes, raw->size, 1);
  raw->size = 0;
  raw->bytes = static_cast<uint8_t *>(AllocBulk(map.dataSize, 1));
  if (!raw->bytes) return false;
  memcpy(raw->bytes, map.data, map.dataSize);
  raw->size = map.dataSize;
  return true;
}

// An unused slot (no file name) is not written, its parameter block neither.
bool WriteSlot(Chunk3ds *entry, const Slot &slot, const MapInfo3ds &map, float bumpPercent) {
  if (!map.name[0]) return true;
  Chunk3ds *c = AddDataChild(entry, slot.mapTag);
  if (!c || !WriteMapInfo3ds(c, map)) return false;
  if (slot.mapTag == kMatBumpMap && !AddShort(c, kMatBumpPercent, Percent(bumpPercent))) return false;
  return !slot.blockTag || WriteBlock(entry, slot.blockTag, map);
}

bool BuildMaterial(Chunk3ds *entry, const Material3ds *mat) {
  if (!AddString(entry, kMatName, mat->name, sizeof mat->name - 1)) return false;
  const struct {
    uint32_t tag;
    const Color3ds *color;
  } colors[] = {{kMatAmbient, &mat->ambient}, {kMatDiffuse, &mat->diffuse}, {kMatSpecular, &mat->specular}};
  for (const auto &c : colors) {
    Chunk3ds *chunk = AddDataChild(entry, c.tag);
    if (!chunk || !AddColorBytes(chunk, kColor24, *c.color) || !AddColorBytes(chunk, kLinColor24, *c.color))
      return false;
  }
  double falloffPercent = std::fabs(static_cast<double>(mat->transFalloff)) * 100.0;
  uint16_t falloff = falloffPercent >= 65535.0 ? 65535 : static_cast<uint16_t>(std::lround(falloffPercent));
  if (!AddPercentChunk(entry, kMatShininess, Percent(mat->shininess)) ||
      !AddPercentChunk(entry, kMatShinStrength, Percent(mat->shinStrength)) ||
      !AddPercentChunk(entry, kMatTransparency, Percent(mat->transparency)) ||
      !AddPercentChunk(entry, kMatTransFalloff, falloff) ||
      (mat->transFalloff < 0.0f && !AddFlag(entry, kMatFalloffIn, 1)) ||
      !AddPercentChunk(entry, kMatReflectBlur, Percent(mat->reflectBlur)) ||
      !AddShort(entry, kMatShading, static_cast<uint16_t>(mat->shading)) ||
      !AddPercentChunk(entry, kMatSelfIllum, Percent(mat->selfIllum)))
    return false;
  if (!AddFlag(entry, kMatTwoSided, mat->twoSided) || !AddFloat(entry, kMatWireSize, mat->wireSize) ||
      !AddFlag(entry, kMatUseBlur, mat->useBlur) || !AddFlag(entry, kMatUseFalloff, mat->useFalloff) ||
      !AddFlag(entry, kMatSelfIllumFlag, mat->selfIllumFlag) ||
      !AddFlag(entry, kMatAdditive, mat->additive) || !AddFlag(entry, kMatWire, mat->wire) ||
      !AddFlag(entry, kMatWireAbs, mat->wireAbs) || !AddFlag(entry, kMatFaceMap, mat->faceMap) ||
      !AddFlag(entry, kMatSoften, mat->soften))
    return false;
  for (const Slot &slot : kSlots) {
    if (slot.mapTag == kMatReflMap) break;
    if (!WriteSlot(entry, slot, mat->*slot.map, mat->bump.percent)) return false;
  }
  // The reflection map is written from its own slot like the others; with automatic
  // reflection and no map name it holds the percentage and an empty name.
  if (mat->reflect.name[0]) {
    Chunk3ds *c = AddDataChild(entry, kMatReflMap);
    if (!c || !WriteMapInfo3ds(c, mat->reflect)) return false;
  } else if (mat->useAutoReflect) {
    Chunk3ds *c = AddDataChild(entry, kMatReflMap);
    if (!c || !AddPercent(c, Percent(mat->reflect.percent)) || !AddString(c, kMatMapName, "", 0)) return false;
  }
  if (!WriteSlot(entry, kSlots[15], mat->reflectMask, 0.0f)) return false;
  if (mat->useAutoReflect) {
    Chunk3ds *c = AddDataChild(entry, kMatAutoReflect);
    if (!c) return false;
    auto *d = static_cast<AutoReflectData *>(c->data);
    d->flags = 1;
    if (mat->autoReflectFirstFrame) d->flags |= 0x0009;
    if (mat->autoReflectFlat) d->flags |= 0x0011;
    d->size = mat->autoReflectSize;
    d->frameStep = mat->autoReflectStep;
  }
  return true;
}

}  // namespace

extern "C" {

void InitMapInfo3ds(MapInfo3ds *map) {
  if (!map) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  memset(map, 0, sizeof *map);
  map->tiling = 1;
  map->uScale = 1.0f;
  map->vScale = 1.0f;
  map->tint2 = {1.0f, 1.0f, 1.0f};
  map->redTint = {1.0f, 0.0f, 0.0f};
  map->greenTint = {0.0f, 1.0f, 0.0f};
  map->blueTint = {0.0f, 0.0f, 1.0f};
}

void InitMaterial3ds(Material3ds **mat) {
  if (!mat) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*mat) {
    *mat = static_cast<Material3ds *>(calloc(1, sizeof(Material3ds)));
    if (!*mat) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
  } else {
    FreeMaps(*mat);
  }
  SetDefaults(*mat);
}

void ReleaseMaterial3ds(Material3ds **mat) {
  if (!mat || !*mat) return;
  FreeMaps(*mat);
  free(*mat);
  *mat = nullptr;
}

uint32_t GetMaterialCount3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return 0;
  }
  UpdateMaterialList3ds(db);
  return db->materials ? db->materials->count : 0;
}

void GetMaterialByIndex3ds(Database3ds *db, uint32_t index, Material3ds **mat) {
  if (!mat) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  uint32_t serial = ErrorSerial();
  Chunk3ds *entry = GetMaterialChunkByIndex3ds(db, index);
  if (entry && ErrorSerial() == serial) ReadMaterialEntry3ds(entry, mat);
}

void GetMaterialByName3ds(Database3ds *db, const char *name, Material3ds **mat) {
  if (!db || !name || !mat) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds *entry = nullptr;
  FindMaterialByName3ds(db, name, &entry);
  if (entry) ReadMaterialEntry3ds(entry, mat);
}

float ReadPercentage3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return 0.0f;
  }
  Chunk3ds *c = nullptr;
  FindChunk3ds(chunk, kIntPercentage, &c);
  if (c) {
    auto *v = static_cast<uint16_t *>(ReadChunkData3ds(c));
    return v ? static_cast<float>(*v / 100.0) : 0.0f;
  }
  FindChunk3ds(chunk, kFloatPercentage, &c);
  if (c) {
    auto *v = static_cast<float *>(ReadChunkData3ds(c));
    return v ? *v : 0.0f;
  }
  return 0.0f;
}

void ReadMaterialEntry3ds(Chunk3ds *entry, Material3ds **mat) {
  if (!entry || !mat) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (entry->tag != kMatEntry) {
    PushErrList3ds(ERR_INVALID_CHUNK);
    return;
  }
  uint32_t serial = ErrorSerial();
  InitMaterial3ds(mat);
  if (!*mat) return;
  Material3ds *m = *mat;
  bool falloffIn = false;
  for (Chunk3ds *child = entry->children; child && ErrorSerial() == serial; child = child->next) {
    if ((child->tag & 0xFF00) == 0x8000) continue;
    Chunk3ds *c = child;
    switch (c->tag) {
      case kMatName: {
        auto *name = static_cast<char *>(ReadChunkData3ds(c));
        CopyName(m->name, sizeof m->name, name);
        break;
      }
      case kMatAmbient: ReadColor(c, &m->ambient); break;
      case kMatDiffuse: ReadColor(c, &m->diffuse); break;
      case kMatSpecular: ReadColor(c, &m->specular); break;
      case kMatShininess: m->shininess = ReadPercentage3ds(c); break;
      case kMatShinStrength: m->shinStrength = ReadPercentage3ds(c); break;
      case kMatTransparency: m->transparency = ReadPercentage3ds(c); break;
      case kMatTransFalloff: m->transFalloff = ReadPercentage3ds(c); break;
      case kMatReflectBlur: m->reflectBlur = ReadPercentage3ds(c); break;
      case kMatSelfIllum: m->selfIllum = ReadPercentage3ds(c); break;
      case kMatFalloffIn: falloffIn = true; break;
      case kMatShading:
        if (auto *v = static_cast<uint16_t *>(ReadChunkData3ds(c))) m->shading = *v;
        break;
      case kMatWireSize:
        if (auto *v = static_cast<float *>(ReadChunkData3ds(c))) m->wireSize = *v;
        break;
      case kMatWire: m->shading = 0; break;
      case kMatUseBlur: m->useBlur = 1; break;
      case kMatUseFalloff: m->useFalloff = 1; break;
      case kMatTwoSided: m->twoSided = 1; break;
      case kMatSelfIllumFlag: m->selfIllumFlag = 1; break;
      case kMatAdditive: m->additive = 1; break;
      case kMatWireAbs: m->wireAbs = 1; break;
      case kMatFaceMap: m->faceMap = 1; break;
      case kMatSoften: m->soften = 1; break;
      case kMatAutoReflect:
        if (auto *d = static_cast<AutoReflectData *>(ReadChunkData3ds(c))) {
          m->useAutoReflect = 1;
          m->autoReflectFirstFrame = (d->flags & 0x0009) == 0x0009;
          m->autoReflectFlat = (d->flags & 0x0011) == 0x0011;
          m->autoReflectSize = d->size;
          m->autoReflectStep = d->frameStep;
        }
        break;
      default:
        if (const Slot *slot = SlotByMap(c->tag)) {
          ReadMap(c, &(m->*slot->map));
        } else if (const Slot *block = SlotByBlock(c->tag)) {
          if (auto *raw = static_cast<RawData *>(ReadChunkData3ds(c))) {
            CopyBlock(*raw, &(m->*block->map));
          }
        }
        break;
    }
  }
  if (falloffIn) m->transFalloff = -std::fabs(m->transFalloff);
}

void PutMaterial3ds(Database3ds *db, const Material3ds *mat) {
  if (!db || !mat) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!CheckMeshDatabase(db)) return;
  uint32_t serial = ErrorSerial();
  Chunk3ds *section = GetMeshSection(db);
  if (!section) return;
  char name[sizeof mat->name];
  CopyName(name, sizeof name, mat->name);
  Chunk3ds *entry = nullptr;
  FindMaterialByName3ds(db, name, &entry);
  if (ErrorSerial() != serial) return;
  Chunk3ds *extra = nullptr;
  bool replaced = entry != nullptr;
  if (replaced) {
    Chunk3ds *found = nullptr;
    FindChunk3ds(entry, kXDataSection, &found);
    if (found) CopyChunk3ds(found, &extra);
    ClearChunk3ds(entry);
    entry->tag = kMatEntry;
  } else {
    InitChunkAs3ds(&entry, kMatEntry);
    if (!entry) {
      PushErrList3ds(kErrMakingChunk);
      return;
    }
    AddChildChunk3ds(section, entry);
  }
  bool built = BuildMaterial(entry, mat);
  if (built && extra) {
    AddChildChunk3ds(entry, extra);
    extra = nullptr;
  }
  ReleaseChunk3ds(&extra);
  // The list keeps an entry replaced under its own name; a new one joins it.
  if (!built)
    MarkMaterialListDirty3ds(db);
  else if (!replaced)
    NoteMaterialAdded(db, section, entry);
}

}  // extern "C"
