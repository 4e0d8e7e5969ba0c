// The chunk catalogue: for every tag, the layout of its own data in the file, how far the
// reader skips to reach its children, and its in-memory record.
//
// Data read from a file never leaves the chunk: every read is checked against the bytes the
// chunk holds, and every array is sized by a count that has been checked against them.
#include "ftk3ds/internal.h"

#include <cstdlib>
#include <cstring>

using namespace ftk3ds;

namespace {

enum Kind : uint8_t {
  kContainer,   // no data of its own
  kFloats,      // n floats
  kBytes,       // n bytes
  kShorts,      // n u16
  kLongs,       // n i32
  kFog,         // 0x2302
  kSpotSetting, // 0x4641
  kAutoReflect, // 0xA310
  kString,      // string of at most n characters
  kChunkString, // string bounded by the chunk
  kPoints,
  kVertexFlags,
  kFaces,
  kMatGroup,
  kTexVerts,
  kSmooth,
  kMapping,
  kBoxMap,
  kViewport,
  kKfHeader,
  kNodeHeader,
  kTrack,
  kRaw,  // bytes kept unchanged
};

enum Skip : uint8_t {
  kSkipNone,
  kSkipFixed,   // arg bytes
  kSkipRest,    // to the end of the chunk
  kSkipString,  // a string read with a bound of arg bytes
  kSkipFaces,   // u16 n, then 8n bytes
  kSkipKfHeader,
  kSkipNodeHeader,
};

struct TagInfo {
  Kind kind;
  uint16_t n;
  Skip skip;
  uint16_t arg;
};

TagInfo Lookup(uint32_t tag) {
  switch (tag) {
    case 0x1200: case 0x2100: case 0x2D2D: case 0x2D3D: case 0x3000: case 0x3D3D: case 0x3DAA:
    case 0x3DFF: case 0x4100: case 0x4D4D: case 0x8000: case 0x8001: case 0x8009:
    case 0xA010: case 0xA020: case 0xA030: case 0xA040: case 0xA041: case 0xA042: case 0xA050:
    case 0xA052: case 0xA053: case 0xA084: case 0xA200: case 0xA204: case 0xA210: case 0xA220:
    case 0xA230: case 0xA33A: case 0xA33C: case 0xA33D: case 0xA33E: case 0xA340: case 0xA342:
    case 0xA344: case 0xA346: case 0xA348: case 0xA34A: case 0xA34C: case 0xAFFF:
    case 0xB000: case 0xB001: case 0xB002: case 0xB003: case 0xB004: case 0xB005: case 0xB006:
    case 0xB007: case 0xC23D:
      return {kContainer, 0, kSkipNone, 0};
    case 0x0002: case 0x3D3E: case 0xB009:
      return {kLongs, 1, kSkipFixed, 4};
    case 0x0010: case 0x1500: case 0x4600: case 0xB013:
      return {kFloats, 3, kSkipFixed, 12};
    case 0x0011:
      return {kBytes, 3, kSkipFixed, 3};
    case 0x0012:
    case 0xA360: case 0xA362: case 0xA364: case 0xA366: case 0xA368:
      return {kBytes, 3, kSkipRest, 0};
    case 0x0013:
      return {kFloats, 3, kSkipRest, 0};
    case 0x0030: case 0x1420: case 0x1430: case 0xB030:
      return {kShorts, 1, kSkipFixed, 2};
    case 0x0031: case 0x0100: case 0x1300: case 0x1400: case 0x1410: case 0xB015:
      return {kFloats, 1, kSkipFixed, 4};
    case 0x1100: case 0x4181:
      return {kString, 12, kSkipString, 13};
    case 0x1440:
      return {kLongs, 1, kSkipRest, 0};
    case 0x1450: case 0x1460: case 0x4656: case 0x4657: case 0x4658: case 0x4659: case 0x465A:
    case 0x465B: case 0xA087: case 0xA353: case 0xA354: case 0xA356: case 0xA358: case 0xA35A:
    case 0xA35C:
      return {kFloats, 1, kSkipRest, 0};
    case 0x2200: case 0x2300: case 0x3010: case 0x3020: case 0x3030: case 0x3040: case 0x3050:
    case 0x3060:
      return {kFloats, 4, kSkipFixed, 16};
    case 0x2302:
      return {kFog, 0, kSkipFixed, 16};
    case 0x3070:
      return {kFloats, 7, kSkipFixed, 28};
    case 0x3080: case 0x4000: case 0xB011:
      return {kString, 10, kSkipString, 11};
    case 0x4110:
      return {kPoints, 0, kSkipRest, 0};
    case 0x4111:
      return {kVertexFlags, 0, kSkipRest, 0};
    case 0x4120:
      return {kFaces, 0, kSkipFaces, 0};
    case 0x4130:
      return {kMatGroup, 16, kSkipRest, 0};
    case 0x4140:
      return {kTexVerts, 0, kSkipRest, 0};
    case 0x4150:
      return {kSmooth, 0, kSkipRest, 0};
    case 0x4160:
      return {kFloats, 12, kSkipFixed, 48};
    case 0x4165:
      return {kBytes, 1, kSkipRest, 0};
    case 0x4170:
      return {kMapping, 0, kSkipRest, 0};
    case 0x4190:
      return {kBoxMap, 16, kSkipRest, 0};
    case 0x4610:
      return {kFloats, 5, kSkipFixed, 20};
    case 0x4641:
      return {kSpotSetting, 0, kSkipFixed, 10};
    case 0x4653:
      return {kString, 12, kSkipRest, 0};
    case 0x4654:
      return {kString, 10, kSkipRest, 0};
    case 0x4700:
      return {kFloats, 8, kSkipFixed, 32};
    case 0x4720:
      return {kFloats, 2, kSkipRest, 0};
    case 0x7001:
      return {kShorts, 7, kSkipFixed, 14};
    case 0x7011: case 0x7012:
      return {kViewport, 0, kSkipRest, 0};
    case 0x7020:
      return {kShorts, 4, kSkipRest, 0};
    case 0x8002: case 0x8003: case 0x80F0:
      return {kChunkString, 0, kSkipRest, 0};
    case 0xA000:
      return {kString, 16, kSkipString, 17};
    case 0xA100: case 0xA252: case 0xA351:
      return {kShorts, 1, kSkipRest, 0};
    case 0xA300:
      // The data holds up to 16 characters, but the skip bound stays at 13 bytes as files
      // have always been read: map names are 8.3 names.
      return {kString, 16, kSkipString, 13};
    case 0xA310:
      return {kAutoReflect, 0, kSkipFixed, 12};
    case 0xB008:
      return {kLongs, 2, kSkipFixed, 8};
    case 0xB00A:
      return {kKfHeader, 0, kSkipKfHeader, 0};
    case 0xB010:
      return {kNodeHeader, 0, kSkipNodeHeader, 0};
    case 0xB014:
      return {kFloats, 6, kSkipFixed, 24};
    case 0xB020: case 0xB021: case 0xB022: case 0xB023: case 0xB024: case 0xB025: case 0xB026:
    case 0xB027: case 0xB028: case 0xB029:
      return {kTrack, 0, kSkipRest, 0};
    case 0xD000:
      return {kRaw, 0, kSkipFixed, 4};
    default:
      return {kRaw, 0, kSkipRest, 0};
  }
}

// Bounded reading of one chunk's data from the current file.
class In {
 public:
  explicit In(uint32_t left) : left_(left), serial_(ErrorSerial()) {}

  bool ok() const { return ok_ && ErrorSerial() == serial_; }
  uint32_t left() const { return left_; }

  bool Take(uint32_t n) {
    if (!ok_) return false;
    if (n > left_) {
      ok_ = false;
      PushErrList3ds(ERR_INVALID_CHUNK);
      return false;
    }
    left_ -= n;
    return true;
  }

  uint8_t U8() { return Take(1) ? ReadUByte3ds() : 0; }
  uint16_t U16() { return Take(2) ? ReadUShort3ds() : 0; }
  uint32_t U32() { return Take(4) ? ReadULong3ds() : 0; }
  float F32() { return Take(4) ? ReadFloat3ds() : 0.0f; }
  void Floats(float *to, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) to[i] = F32();
  }
  void Point(Point3ds *p) {
    p->x = F32();
    p->y = F32();
    p->z = F32();
  }
  void Bytes(void *to, uint32_t n) {
    if (n > 0 && Take(n)) ReadVoid3ds(n, to);
  }

  // A string of at most max characters and its NUL, within the chunk; null on failure.
  char *String(uint32_t max) {
    if (!ok_) return nullptr;
    uint32_t bound = max + 1 < left_ ? max + 1 : left_;
    char buffer[520];
    if (bound > sizeof buffer) bound = sizeof buffer;
    for (uint32_t i = 0; i < bound; ++i) {
      buffer[i] = static_cast<char>(U8());
      if (!ok()) return nullptr;
      if (buffer[i] == '\0') return CopyRecordString(buffer, i);
    }
    ok_ = false;
    PushErrList3ds(ERR_READING_FILE);
    return nullptr;
  }

  // A string that may fill the rest of the chunk.
  char *RestString() {
    if (!ok_) return nullptr;
    if (left_ == 0) {
      ok_ = false;
      PushErrList3ds(ERR_READING_FILE);
      return nullptr;
    }
    char *text = static_cast<char *>(TakeRecordMemory(left_));
    if (!text) {
      ok_ = false;
      PushErrList3ds(ERR_NO_MEM);
      return nullptr;
    }
    uint32_t n = left_;
    Bytes(text, n);
    if (!ok() || !memchr(text, 0, n)) {
      if (ok()) PushErrList3ds(ERR_READING_FILE);
      ok_ = false;
      GiveRecordMemory(text);
      return nullptr;
    }
    return text;
  }

  // Room for count items of at least minSize bytes each.
  bool Fits(uint64_t count, uint32_t minSize) {
    if (!ok_) return false;
    if (count * minSize > left_) {
      ok_ = false;
      PushErrList3ds(ERR_INVALID_CHUNK);
      return false;
    }
    return true;
  }

  void NoMem() {
    ok_ = false;
    PushErrList3ds(ERR_NO_MEM);
  }

 private:
  uint32_t left_;
  uint32_t serial_;
  bool ok_ = true;
};

uint32_t ItemSize(Kind kind) {
  switch (kind) {
    case kFloats: return sizeof(float);
    case kBytes: return 1;
    case kShorts: return 2;
    case kLongs: return 4;
    default: return 0;
  }
}

size_t RecordSize(Kind kind, uint16_t n) {
  switch (kind) {
    case kFloats: case kBytes: case kShorts: case kLongs: return ItemSize(kind) * n;
    case kFog: return sizeof(LayeredFogData);
    case kSpotSetting: return sizeof(SpotSettingData);
    case kAutoReflect: return sizeof(AutoReflectData);
    case kPoints: return sizeof(PointArrayData);
    case kVertexFlags: return sizeof(VertexFlagData);
    case kFaces: return sizeof(FaceArrayData);
    case kMatGroup: return sizeof(MatGroupData);
    case kTexVerts: return sizeof(TexVertData);
    case kSmooth: return sizeof(SmoothData);
    case kMapping: return sizeof(MappingData);
    case kBoxMap: return sizeof(BoxMapData);
    case kViewport: return sizeof(ViewportData);
    case kKfHeader: return sizeof(KfHeaderData);
    case kNodeHeader: return sizeof(NodeHeaderData);
    case kTrack: return sizeof(TrackData);
    case kRaw: return sizeof(RawData);
    default: return 0;
  }
}

// Frees what a record owns (not the record).
void FreeOwned(Kind kind, void *data) {
  switch (kind) {
    case kPoints: {
      auto *d = static_cast<PointArrayData *>(data);
      FreeBulk(d->points, d->count, sizeof(Point3ds));
      break;
    }
    case kVertexFlags: {
      auto *d = static_cast<VertexFlagData *>(data);
      FreeBulk(d->flags, d->count, 2);
      break;
    }
    case kFaces: {
      auto *d = static_cast<FaceArrayData *>(data);
      FreeBulk(d->faces, d->count, sizeof(Face3ds));
      break;
    }
    case kMatGroup: {
      auto *d = static_cast<MatGroupData *>(data);
      GiveRecordMemory(d->name);
      FreeBulk(d->faces, d->count, 2);
      break;
    }
    case kTexVerts: {
      auto *d = static_cast<TexVertData *>(data);
      FreeBulk(d->uv, d->count, sizeof(TexVert3ds));
      break;
    }
    case kSmooth: {
      auto *d = static_cast<SmoothData *>(data);
      FreeBulk(d->groups, d->count, 4);
      break;
    }
    case kBoxMap:
      for (char *name : static_cast<BoxMapData *>(data)->names) GiveRecordMemory(name);
      break;
    case kViewport: GiveRecordMemory(static_cast<ViewportData *>(data)->name); break;
    case kKfHeader: GiveRecordMemory(static_cast<KfHeaderData *>(data)->fileName); break;
    case kNodeHeader: GiveRecordMemory(static_cast<NodeHeaderData *>(data)->name); break;
    case kTrack:
      GiveRecordMemory(static_cast<TrackData *>(data)->keys);
      GiveRecordMemory(static_cast<TrackData *>(data)->values);
      break;
    case kRaw: {
      auto *d = static_cast<RawData *>(data);
      FreeBulk(d->bytes, d->size, 1);
      break;
    }
    default: break;
  }
}

void *NewRecord(const TagInfo &info) {
  if (info.kind == kContainer) return nullptr;
  if (info.kind == kString || info.kind == kChunkString) {
    return AllocRecord(1);
  }
  void *record = AllocRecord(RecordSize(info.kind, info.n));
  if (!record) return nullptr;
  if (info.kind == kKfHeader || info.kind == kNodeHeader || info.kind == kViewport) {
    char **name = info.kind == kKfHeader ? &static_cast<KfHeaderData *>(record)->fileName
                  : info.kind == kNodeHeader ? &static_cast<NodeHeaderData *>(record)->name
                                             : &static_cast<ViewportData *>(record)->name;
    *name = static_cast<char *>(AllocRecord(1));
    if (!*name) {
      GiveRecordMemory(record);
      return nullptr;
    }
  }
  return record;
}

void ReadKey(In &in, KeyHeader3ds *key) {
  key->frame = in.U32();
  key->splineFlags = in.U16();
  float *values[5] = {&key->tension, &key->continuity, &key->bias, &key->easeTo, &key->easeFrom};
  for (int bit = 0; bit < 5; ++bit) *values[bit] = (key->splineFlags >> bit & 1) ? in.F32() : 0.0f;
}

// Reads the record of a chunk; the file is at position + 6. Null on failure.
void *ReadRecord(uint32_t tag, const TagInfo &info, In &in) {
  void *record = NewRecord(info);
  if (!record) return nullptr;
  bool ok = true;
  switch (info.kind) {
    case kFloats: in.Floats(static_cast<float *>(record), info.n); break;
    case kBytes: in.Bytes(record, info.n); break;
    case kShorts: {
      uint16_t *v = static_cast<uint16_t *>(record);
      for (uint16_t i = 0; i < info.n; ++i) v[i] = in.U16();
      break;
    }
    case kLongs: {
      int32_t *v = static_cast<int32_t *>(record);
      for (uint16_t i = 0; i < info.n; ++i) v[i] = static_cast<int32_t>(in.U32());
      break;
    }
    case kFog: {
      LayeredFogData *d = static_cast<LayeredFogData *>(record);
      d->nearY = in.F32();
      d->farY = in.F32();
      d->density = in.F32();
      d->flags = in.U32();
      break;
    }
    case kSpotSetting: {
      SpotSettingData *d = static_cast<SpotSettingData *>(record);
      d->a = in.F32();
      d->b = in.F32();
      d->c = in.U16();
      break;
    }
    case kAutoReflect: {
      AutoReflectData *d = static_cast<AutoReflectData *>(record);
      d->a = in.U8();
      d->b = in.U8();
      d->flags = in.U16();
      d->size = in.U32();
      d->frameStep = in.U32();
      break;
    }
    case kString: case kChunkString: {
      char *text = info.kind == kString ? in.String(info.n) : in.RestString();
      GiveRecordMemory(record);
      record = text;
      ok = text != nullptr;
      break;
    }
    case kPoints: {
      PointArrayData *d = static_cast<PointArrayData *>(record);
      uint16_t count = in.U16();
      if (!in.Fits(count, sizeof(Point3ds))) break;
      d->points = static_cast<Point3ds *>(AllocBulk(count, sizeof(Point3ds)));
      if (count && !d->points) break;
      d->count = count;
      in.Bytes(d->points, count * static_cast<uint32_t>(sizeof(Point3ds)));
      break;
    }
    case kVertexFlags: {
      VertexFlagData *d = static_cast<VertexFlagData *>(record);
      uint16_t count = in.U16();
      if (!in.Fits(count, 2)) break;
      d->flags = static_cast<uint16_t *>(AllocBulk(count, 2));
      if (count && !d->flags) break;
      d->count = count;
      in.Bytes(d->flags, count * 2u);
      break;
    }
    case kFaces: {
      FaceArrayData *d = static_cast<FaceArrayData *>(record);
      uint16_t count = in.U16();
      if (!in.Fits(count, sizeof(Face3ds))) break;
      d->faces = static_cast<Face3ds *>(AllocBulk(count, sizeof(Face3ds)));
      if (count && !d->faces) break;
      d->count = count;
      in.Bytes(d->faces, count * static_cast<uint32_t>(sizeof(Face3ds)));
      break;
    }
    case kMatGroup: {
      MatGroupData *d = static_cast<MatGroupData *>(record);
      d->name = in.String(info.n);
      uint16_t count = in.U16();
      if (!in.Fits(count, 2)) break;
      d->faces = static_cast<uint16_t *>(AllocBulk(count, 2));
      if (count && !d->faces) break;
      d->count = count;
      in.Bytes(d->faces, count * 2u);
      break;
    }
    case kTexVerts: {
      TexVertData *d = static_cast<TexVertData *>(record);
      uint16_t count = in.U16();
      if (!in.Fits(count, sizeof(TexVert3ds))) break;
      d->uv = static_cast<TexVert3ds *>(AllocBulk(count, sizeof(TexVert3ds)));
      if (count && !d->uv) break;
      d->count = count;
      in.Bytes(d->uv, count * static_cast<uint32_t>(sizeof(TexVert3ds)));
      break;
    }
    case kSmooth: {
      SmoothData *d = static_cast<SmoothData *>(record);
      uint32_t count = in.left() / 4;
      d->groups = static_cast<uint32_t *>(AllocBulk(count, 4));
      if (count && !d->groups) break;
      d->count = count;
      in.Bytes(d->groups, count * 4u);
      break;
    }
    case kMapping: {
      MappingData *d = static_cast<MappingData *>(record);
      d->mapType = in.U16();
      d->tileU = in.F32();
      d->tileV = in.F32();
      in.Point(&d->iconPosition);
      d->iconScaling = in.F32();
      in.Floats(d->iconMatrix, 12);
      d->planarWidth = in.F32();
      d->planarHeight = in.F32();
      d->cylinderHeight = in.F32();
      break;
    }
    case kBoxMap: {
      BoxMapData *d = static_cast<BoxMapData *>(record);
      for (char *&name : d->names) name = in.String(info.n);
      break;
    }
    case kViewport: {
      ViewportData *d = static_cast<ViewportData *>(record);
      for (uint16_t &v : d->values) v = in.U16();
      d->a = in.F32();
      in.Point(&d->point);
      d->b = in.F32();
      d->c = in.F32();
      char name[11];
      in.Bytes(name, sizeof name);
      if (!in.ok()) break;
      if (!memchr(name, 0, sizeof name)) {
        PushErrList3ds(ERR_READING_FILE);
        break;
      }
      GiveRecordMemory(d->name);
      d->name = CopyRecordString(name, 10);
      break;
    }
    case kKfHeader: {
      KfHeaderData *d = static_cast<KfHeaderData *>(record);
      d->revision = in.U16();
      GiveRecordMemory(d->fileName);
      d->fileName = in.String(512);
      d->animLength = static_cast<int32_t>(in.U32());
      break;
    }
    case kNodeHeader: {
      NodeHeaderData *d = static_cast<NodeHeaderData *>(record);
      GiveRecordMemory(d->name);
      d->name = in.String(10);
      d->flags1 = in.U16();
      d->flags2 = in.U16();
      d->parent = in.U16();
      break;
    }
    case kTrack: {
      TrackData *d = static_cast<TrackData *>(record);
      d->flags = in.U16();
      d->reserved1 = in.U32();
      d->reserved2 = in.U32();
      uint32_t count = in.U32();
      uint32_t valueSize = TrackValueSize(tag);
      uint32_t fileValue = tag == kMorphTrack ? 1 : valueSize;  // a morph name is at least its NUL
      if (!in.Fits(count, 6 + fileValue)) break;
      d->keys = static_cast<KeyHeader3ds *>(AllocRecordArray(count, sizeof(KeyHeader3ds)));
      d->values = AllocRecordArray(count, valueSize);
      if (count && (!d->keys || (valueSize && !d->values))) break;
      d->count = count;
      for (uint32_t i = 0; i < count && in.ok(); ++i) {
        ReadKey(in, &d->keys[i]);
        if (tag == kMorphTrack) {
          char *name = in.String(9);
          if (name) {
            CopyName(static_cast<MorphName3ds *>(d->values)[i].name, sizeof(MorphName3ds), name);
            GiveRecordMemory(name);
          }
        } else if (valueSize) {
          in.Floats(static_cast<float *>(d->values) + static_cast<size_t>(i) * (valueSize / 4),
                    valueSize / 4);
        }
      }
      break;
    }
    case kRaw: {
      RawData *d = static_cast<RawData *>(record);
      uint32_t size = info.skip == kSkipFixed ? info.arg : in.left();
      if (!in.Fits(size, 1)) break;
      d->bytes = static_cast<uint8_t *>(AllocBulk(size, 1));
      if (size && !d->bytes) break;
      d->size = size;
      in.Bytes(d->bytes, size);
      break;
    }
    case kContainer:
      break;
  }
  if (!ok || !in.ok()) {
    if (record && info.kind != kString && info.kind != kChunkString)
      FreeOwned(info.kind, record);
    GiveRecordMemory(record);
    return nullptr;
  }
  return record;
}

char *Dup(const char *text) { return CopyRecordString(text ? text : "", text ? strlen(text) : 0); }

// Copies of a record's arrays: key arrays and bulk arrays.
template <typename T>
T *DupIn(void *(*alloc)(size_t, size_t), const T *from, size_t count, bool *ok) {
  if (!from || count == 0) return nullptr;
  T *to = static_cast<T *>(alloc(count, sizeof(T)));
  if (!to) {
    *ok = false;
    return nullptr;
  }
  memcpy(to, from, count * sizeof(T));
  return to;
}

template <typename T>
T *DupArray(const T *from, size_t count, bool *ok) {
  return DupIn(AllocRecordFilled, from, count, ok);
}

template <typename T>
T *DupBulk(const T *from, size_t count, bool *ok) {
  return DupIn(AllocBulk, from, count, ok);
}

void *CopyRecord(uint32_t tag, const TagInfo &info, const void *from) {
  if (!from || info.kind == kContainer) return nullptr;
  if (info.kind == kString || info.kind == kChunkString) return Dup(static_cast<const char *>(from));
  size_t size = RecordSize(info.kind, info.n);
  void *to = TakeRecordMemory(size ? size : 1);
  if (!to) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  memcpy(to, from, size);
  bool ok = true;
  switch (info.kind) {
    case kPoints: {
      auto *d = static_cast<PointArrayData *>(to);
      d->points = DupBulk(d->points, d->count, &ok);
      break;
    }
    case kVertexFlags: {
      auto *d = static_cast<VertexFlagData *>(to);
      d->flags = DupBulk(d->flags, d->count, &ok);
      break;
    }
    case kFaces: {
      auto *d = static_cast<FaceArrayData *>(to);
      d->faces = DupBulk(d->faces, d->count, &ok);
      break;
    }
    case kMatGroup: {
      auto *d = static_cast<MatGroupData *>(to);
      d->faces = DupBulk(d->faces, d->count, &ok);
      d->name = d->name ? Dup(d->name) : nullptr;
      ok = ok && (d->name || !static_cast<const MatGroupData *>(from)->name);
      break;
    }
    case kTexVerts: {
      auto *d = static_cast<TexVertData *>(to);
      d->uv = DupBulk(d->uv, d->count, &ok);
      break;
    }
    case kSmooth: {
      auto *d = static_cast<SmoothData *>(to);
      d->groups = DupBulk(d->groups, d->count, &ok);
      break;
    }
    case kBoxMap: {
      auto *d = static_cast<BoxMapData *>(to);
      for (char *&name : d->names) {
        if (name && !(name = Dup(name))) ok = false;
      }
      break;
    }
    case kViewport: {
      auto *d = static_cast<ViewportData *>(to);
      if (d->name && !(d->name = Dup(d->name))) ok = false;
      break;
    }
    case kKfHeader: {
      auto *d = static_cast<KfHeaderData *>(to);
      if (d->fileName && !(d->fileName = Dup(d->fileName))) ok = false;
      break;
    }
    case kNodeHeader: {
      auto *d = static_cast<NodeHeaderData *>(to);
      if (d->name && !(d->name = Dup(d->name))) ok = false;
      break;
    }
    case kTrack: {
      auto *d = static_cast<TrackData *>(to);
      d->keys = DupArray(d->keys, d->count, &ok);
      uint32_t valueSize = TrackValueSize(tag);
      void *values = d->values;
      d->values = nullptr;
      if (values && valueSize && d->count) {
        d->values = AllocRecordArray(d->count, valueSize);
        if (d->values)
          memcpy(d->values, values, static_cast<size_t>(d->count) * valueSize);
        else
          ok = false;
      }
      break;
    }
    case kRaw: {
      auto *d = static_cast<RawData *>(to);
      d->bytes = DupBulk(d->bytes, d->size, &ok);
      break;
    }
    default:
      break;
  }
  if (!ok) {
    FreeOwned(info.kind, to);
    GiveRecordMemory(to);
    return nullptr;
  }
  return to;
}

void WriteString(const char *text) { WriteString3ds(text ? text : ""); }

void WriteRecord(uint32_t tag, const TagInfo &info, const void *data) {
  switch (info.kind) {
    case kFloats: {
      const float *v = static_cast<const float *>(data);
      for (uint16_t i = 0; i < info.n; ++i) WriteFloat3ds(v[i]);
      break;
    }
    case kBytes: WriteVoid3ds(info.n, data); break;
    case kShorts: {
      const uint16_t *v = static_cast<const uint16_t *>(data);
      for (uint16_t i = 0; i < info.n; ++i) WriteUShort3ds(v[i]);
      break;
    }
    case kLongs: {
      const int32_t *v = static_cast<const int32_t *>(data);
      for (uint16_t i = 0; i < info.n; ++i) WriteLong3ds(v[i]);
      break;
    }
    case kFog: {
      const auto *d = static_cast<const LayeredFogData *>(data);
      WriteFloat3ds(d->nearY);
      WriteFloat3ds(d->farY);
      WriteFloat3ds(d->density);
      WriteULong3ds(d->flags);
      break;
    }
    case kSpotSetting: {
      const auto *d = static_cast<const SpotSettingData *>(data);
      WriteFloat3ds(d->a);
      WriteFloat3ds(d->b);
      WriteUShort3ds(d->c);
      break;
    }
    case kAutoReflect: {
      const auto *d = static_cast<const AutoReflectData *>(data);
      WriteUByte3ds(d->a);
      WriteUByte3ds(d->b);
      WriteUShort3ds(d->flags);
      WriteULong3ds(d->size);
      WriteULong3ds(d->frameStep);
      break;
    }
    case kString: case kChunkString: WriteString(static_cast<const char *>(data)); break;
    case kPoints: {
      const auto *d = static_cast<const PointArrayData *>(data);
      uint16_t count = d->points ? d->count : 0;
      WriteUShort3ds(count);
      WriteVoid3ds(count * static_cast<uint32_t>(sizeof(Point3ds)), d->points);
      break;
    }
    case kVertexFlags: {
      const auto *d = static_cast<const VertexFlagData *>(data);
      uint16_t count = d->flags ? d->count : 0;
      WriteUShort3ds(count);
      WriteVoid3ds(count * 2u, d->flags);
      break;
    }
    case kFaces: {
      const auto *d = static_cast<const FaceArrayData *>(data);
      uint16_t count = d->faces ? d->count : 0;
      WriteUShort3ds(count);
      WriteVoid3ds(count * static_cast<uint32_t>(sizeof(Face3ds)), d->faces);
      break;
    }
    case kMatGroup: {
      const auto *d = static_cast<const MatGroupData *>(data);
      uint16_t count = d->faces ? d->count : 0;
      WriteString(d->name);
      WriteUShort3ds(count);
      WriteVoid3ds(count * 2u, d->faces);
      break;
    }
    case kTexVerts: {
      const auto *d = static_cast<const TexVertData *>(data);
      uint16_t count = d->uv ? d->count : 0;
      WriteUShort3ds(count);
      WriteVoid3ds(count * static_cast<uint32_t>(sizeof(TexVert3ds)), d->uv);
      break;
    }
    case kSmooth: {
      const auto *d = static_cast<const SmoothData *>(data);
      if (d->groups) WriteVoid3ds(d->count * 4u, d->groups);
      break;
    }
    case kMapping: {
      const auto *d = static_cast<const MappingData *>(data);
      WriteUShort3ds(d->mapType);
      WriteFloat3ds(d->tileU);
      WriteFloat3ds(d->tileV);
      WritePoint3ds(&d->iconPosition);
      WriteFloat3ds(d->iconScaling);
      for (float v : d->iconMatrix) WriteFloat3ds(v);
      WriteFloat3ds(d->planarWidth);
      WriteFloat3ds(d->planarHeight);
      WriteFloat3ds(d->cylinderHeight);
      break;
    }
    case kBoxMap: {
      const auto *d = static_cast<const BoxMapData *>(data);
      for (const char *name : d->names) WriteString(name);
      break;
    }
    case kViewport: {
      const auto *d = static_cast<const ViewportData *>(data);
      for (uint16_t v : d->values) WriteUShort3ds(v);
      WriteFloat3ds(d->a);
      WritePoint3ds(&d->point);
      WriteFloat3ds(d->b);
      WriteFloat3ds(d->c);
      // The name field holds ten characters and a terminator: a longer name is cut, as
      // readers refuse a field without its terminator.
      char name[11];
      CopyName(name, sizeof name, d->name);
      WriteFixedString3ds(name, sizeof name);
      break;
    }
    case kKfHeader: {
      const auto *d = static_cast<const KfHeaderData *>(data);
      WriteUShort3ds(d->revision);
      WriteString(d->fileName);
      WriteLong3ds(d->animLength);
      break;
    }
    case kNodeHeader: {
      const auto *d = static_cast<const NodeHeaderData *>(data);
      WriteString(d->name);
      WriteUShort3ds(d->flags1);
      WriteUShort3ds(d->flags2);
      WriteUShort3ds(d->parent);
      break;
    }
    case kTrack: {
      const auto *d = static_cast<const TrackData *>(data);
      uint32_t valueSize = TrackValueSize(tag);
      bool present = d->keys && (valueSize == 0 || d->values);
      uint32_t count = present ? d->count : 0;
      WriteTrackHeader3ds(d->flags, d->reserved1, d->reserved2, count);
      uint32_t serial = ErrorSerial();
      for (uint32_t i = 0; i < count && ErrorSerial() == serial; ++i) {
        WriteKeyHeader3ds(&d->keys[i]);
        if (tag == kMorphTrack) {
          // Readers take at most 9 characters of a morph target's name: a longer one would make
          // the whole file unreadable, so it is cut.
          char name[10];
          CopyName(name, sizeof name, static_cast<const MorphName3ds *>(d->values)[i].name);
          WriteString3ds(name);
        } else if (valueSize) {
          const float *v = static_cast<const float *>(d->values) + static_cast<size_t>(i) * (valueSize / 4);
          for (uint32_t k = 0; k < valueSize / 4; ++k) WriteFloat3ds(v[k]);
        }
      }
      break;
    }
    case kRaw: {
      const auto *d = static_cast<const RawData *>(data);
      if (d->bytes) WriteVoid3ds(d->size, d->bytes);
      break;
    }
    case kContainer:
      break;
  }
}

// Measures how far the chunk's own data reaches; the file is at position + 6 and moves
// inside the chunk while measuring. False (with a code pushed) when the data do not fit.
bool OwnDataSize(Chunk3ds *chunk, uint32_t *size) {
  TagInfo info = Lookup(chunk->tag);
  uint32_t body = chunk->size >= 6 ? chunk->size - 6 : 0;
  if (chunk->size < 6) {
    PushErrList3ds(ERR_INVALID_CHUNK);
    return false;
  }
  uint32_t serial = ErrorSerial();
  uint64_t skip = 0;
  switch (info.skip) {
    case kSkipNone: skip = 0; break;
    case kSkipFixed: skip = info.arg; break;
    case kSkipRest: skip = body; break;
    case kSkipString: {
      In in(body);
      char *text = in.String(info.arg - 1u);
      if (!text) return false;
      skip = strlen(text) + 1;
      GiveRecordMemory(text);
      break;
    }
    case kSkipFaces: {
      if (body < 2) break;
      skip = 2 + 8ull * ReadUShort3ds();
      break;
    }
    case kSkipKfHeader: {
      In in(body);
      in.U16();
      char *text = in.String(512);
      if (!text) return false;
      skip = 2 + strlen(text) + 1 + 4;
      GiveRecordMemory(text);
      break;
    }
    case kSkipNodeHeader: {
      In in(body);
      char *text = in.String(10);
      if (!text) return false;
      skip = strlen(text) + 1 + 6;
      GiveRecordMemory(text);
      break;
    }
  }
  if (ErrorSerial() != serial) return false;
  if (skip > body || (info.skip == kSkipFaces && body < 2)) {
    PushErrList3ds(ERR_INVALID_CHUNK);
    return false;
  }
  *size = static_cast<uint32_t>(skip);
  return true;
}

}  // namespace

namespace ftk3ds {

uint32_t TrackValueSize(uint32_t tag) {
  switch (tag) {
    case kPosTrack: case kScaleTrack: case kColorTrack: return 12;
    case kRotTrack: return 16;
    case kMorphTrack: return sizeof(MorphName3ds);
    case kHideTrack: return 0;
    default: return 4;
  }
}

bool ChunkOwnDataSize(Chunk3ds *chunk, uint32_t *size) { return OwnDataSize(chunk, size); }

}  // namespace ftk3ds

extern "C" {

void *InitChunkData3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  FreeChunkData3ds(chunk);
  PlaceRecordsWith(chunk->tag);
  TagInfo info = Lookup(chunk->tag);
  if (info.kind == kRaw) {
    RawData *raw = static_cast<RawData *>(AllocRecord(sizeof(RawData)));
    if (!raw) return nullptr;
    uint32_t size = chunk->size > 6 ? chunk->size - 6 : 0;
    if (info.skip == kSkipFixed && size > info.arg) size = info.arg;
    raw->bytes = static_cast<uint8_t *>(AllocBulk(size, 1));
    if (raw->bytes) memset(raw->bytes, 0, size);
    if (size && !raw->bytes) {
      GiveRecordMemory(raw);
      return nullptr;
    }
    raw->size = size;
    chunk->data = raw;
    return raw;
  }
  chunk->data = NewRecord(info);
  return chunk->data;
}

void *ReadChunkData3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  if (chunk->data) return chunk->data;
  TagInfo info = Lookup(chunk->tag);
  if (info.kind == kContainer || chunk->tag == 0 || chunk->readIndex == NO_FILE_INDEX3DS)
    return nullptr;
  if (!FileIsOpen3ds(chunk->readIndex) || chunk->size < 6) {
    PushErrList3ds(chunk->size < 6 ? ERR_INVALID_CHUNK : ERR_READING_FILE);
    return nullptr;
  }
  SetContextByIndex3ds(chunk->readIndex);
  uint32_t serial = ErrorSerial();
  FileSeek3ds(chunk->position + 6);
  if (ErrorSerial() != serial) return nullptr;
  In in(chunk->size - 6);
  PlaceRecordsWith(chunk->tag);
  chunk->data = ReadRecord(chunk->tag, info, in);
  return chunk->data;
}

void WriteChunkData3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!chunk->data || chunk->tag == 0 || chunk->tag == kParentName) return;
  TagInfo info = Lookup(chunk->tag);
  if (info.kind == kContainer) return;
  WriteRecord(chunk->tag, info, chunk->data);
}

void CopyChunkData3ds(Chunk3ds *source, Chunk3ds *copy) {
  if (!source || !copy) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!source->data) return;
  FreeChunkData3ds(copy);
  copy->data = CopyRecord(source->tag, Lookup(source->tag), source->data);
}

void FreeChunkData3ds(Chunk3ds *chunk) {
  if (!chunk || !chunk->data) return;
  TagInfo info = Lookup(chunk->tag);
  if (info.kind != kString && info.kind != kChunkString) FreeOwned(info.kind, chunk->data);
  GiveRecordMemory(chunk->data);
  chunk->data = nullptr;
}

void FreeFileChunkData3ds(Chunk3ds *chunk) {
  if (chunk && chunk->readIndex != NO_FILE_INDEX3DS && FileIsOpen3ds(chunk->readIndex))
    FreeChunkData3ds(chunk);
}

void SkipChunk3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  uint32_t skip = 0;
  if (OwnDataSize(chunk, &skip)) FileSeek3ds(chunk->position + 6 + skip);
}

}  // extern "C"
