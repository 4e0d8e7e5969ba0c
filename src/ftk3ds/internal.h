// Shared inside the 3DS file toolkit: error helpers, the chunk catalogue and the in-memory
// data records of the chunks.
#pragma once

#include "ftk3ds/ftk3ds.h"

#include <cstddef>
#include <cstdint>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the 3DS toolkit reads and writes arrays in machine order, which must be little-endian"
#endif

namespace ftk3ds {

// Pushed when making a chunk or its data fails inside a record writer.
constexpr ErrorCode3ds kErrMakingChunk = 21;

// Deepest chunk nesting accepted from a file (real files nest about six deep).
constexpr int kMaxDepth = 64;

// Hands the output the current file holds in its own buffer to its stream; false (with
// ERR_WRITING_FILE pushed) when that fails.
bool FlushCurrentFile();

// Pushes a code; true when the caller must stop (errors are not ignored).
inline bool Fail(ErrorCode3ds code) {
  PushErrList3ds(code);
  return !ignoreftkerr3ds;
}

// True when an earlier step failed and errors are not ignored.
inline bool Failed() { return ftkerr3ds && !ignoreftkerr3ds; }

// Counts every push, so that a caller can tell whether an inner step pushed anything.
uint32_t ErrorSerial();

// Chunk tags used by name in the toolkit.
enum : uint32_t {
  kM3dVersion = 0x0002,
  kColorF = 0x0010,
  kColor24 = 0x0011,
  kLinColor24 = 0x0012,
  kLinColorF = 0x0013,
  kIntPercentage = 0x0030,
  kFloatPercentage = 0x0031,
  kMasterScale = 0x0100,
  kShadowBias = 0x1400,
  kShadowMapSize = 0x1420,
  kShadowType = 0x1430,
  kShadowFilter = 0x1450,
  kRayBias = 0x1460,
  kConstructionPoint = 0x1500,
  kAmbientLight = 0x2100,
  kMeshSection = 0x3D3D,
  kMeshVersion = 0x3D3E,
  kMaterialLibrary = 0x3DAA,
  kNamedObject = 0x4000,
  kObjHidden = 0x4010,
  kObjLofterVisible = 0x4011,
  kObjNoCast = 0x4012,
  kObjMatte = 0x4013,
  kObjFast = 0x4014,
  kObjProcedural = 0x4015,
  kObjFrozen = 0x4016,
  kObjNoReceive = 0x4017,
  kTriMesh = 0x4100,
  kPointArray = 0x4110,
  kPointFlags = 0x4111,
  kFaceArray = 0x4120,
  kMeshMatGroup = 0x4130,
  kTexVerts = 0x4140,
  kSmoothGroup = 0x4150,
  kMeshMatrix = 0x4160,
  kMeshColor = 0x4165,
  kMeshTextureInfo = 0x4170,
  kProcName = 0x4181,
  kProcData = 0x4182,
  kBoxMap = 0x4190,
  kMeshFile = 0x4D4D,
  kXDataSection = 0x8000,
  kXDataEntry = 0x8001,
  kParentName = 0x80F0,
  kMatName = 0xA000,
  kMatAmbient = 0xA010,
  kMatDiffuse = 0xA020,
  kMatSpecular = 0xA030,
  kMatShininess = 0xA040,
  kMatShinStrength = 0xA041,
  kMatTransparency = 0xA050,
  kMatTransFalloff = 0xA052,
  kMatReflectBlur = 0xA053,
  kMatSelfIllumFlag = 0xA080,
  kMatTwoSided = 0xA081,
  kMatAdditive = 0xA083,
  kMatSelfIllum = 0xA084,
  kMatWire = 0xA085,
  kMatWireSize = 0xA087,
  kMatFaceMap = 0xA088,
  kMatFalloffIn = 0xA08A,
  kMatSoften = 0xA08C,
  kMatWireAbs = 0xA08E,
  kMatShading = 0xA100,
  kMatTexMap = 0xA200,
  kMatSpecMap = 0xA204,
  kMatOpacMap = 0xA210,
  kMatReflMap = 0xA220,
  kMatBumpMap = 0xA230,
  kMatUseFalloff = 0xA240,
  kMatUseBlur = 0xA250,
  kMatBumpPercent = 0xA252,
  kMatMapName = 0xA300,
  kMatAutoReflect = 0xA310,
  kMatMapTiling = 0xA351,
  kMatMapBlur = 0xA353,
  kMatMapUScale = 0xA354,
  kMatMapVScale = 0xA356,
  kMatMapUOffset = 0xA358,
  kMatMapVOffset = 0xA35A,
  kMatMapRotation = 0xA35C,
  kMatMapTint1 = 0xA360,
  kMatMapTint2 = 0xA362,
  kMatMapRedTint = 0xA364,
  kMatMapGreenTint = 0xA366,
  kMatMapBlueTint = 0xA368,
  kMatEntry = 0xAFFF,
  kKfSection = 0xB000,
  kAmbientNode = 0xB001,
  kObjectNode = 0xB002,
  kCameraNode = 0xB003,
  kTargetNode = 0xB004,
  kLightNode = 0xB005,
  kLightTargetNode = 0xB006,
  kSpotlightNode = 0xB007,
  kKfSegment = 0xB008,
  kKfCurrentFrame = 0xB009,
  kKfHeader = 0xB00A,
  kNodeHeader = 0xB010,
  kInstanceName = 0xB011,
  kPivot = 0xB013,
  kBoundBox = 0xB014,
  kMorphSmooth = 0xB015,
  kPosTrack = 0xB020,
  kRotTrack = 0xB021,
  kScaleTrack = 0xB022,
  kFovTrack = 0xB023,
  kRollTrack = 0xB024,
  kColorTrack = 0xB025,
  kMorphTrack = 0xB026,
  kHotspotTrack = 0xB027,
  kFalloffTrack = 0xB028,
  kHideTrack = 0xB029,
  kNodeId = 0xB030,
  kProjectFile = 0xC23D,
};

// ---- Data records (one per chunk kind) ----
// Records that hold a single run of numbers are plain arrays: float[n], uint8_t[n],
// uint16_t[n] or int32_t[n]. Strings are a NUL-terminated char array. Every record, and the
// strings and key arrays it owns, is record memory (below), never malloc'd or freed directly.
// The bulk arrays (points, vertex flags, faces, a material group's faces, texture vertices,
// smoothing groups and raw bytes) are taken and given back as bulk arrays (below), always of
// exactly count items of the record that holds them.

struct LayeredFogData {
  float nearY, farY, density;
  uint32_t flags;
};

struct SpotSettingData {
  float a, b;
  uint16_t c;
};

struct AutoReflectData {
  uint8_t a, b;
  uint16_t flags;
  uint32_t size;
  uint32_t frameStep;
};

struct PointArrayData {
  uint16_t count;
  Point3ds *points;
};

struct VertexFlagData {
  uint16_t count;
  uint16_t *flags;
};

struct FaceArrayData {
  uint16_t count;
  Face3ds *faces;
};

struct MatGroupData {
  char *name;
  uint16_t count;
  uint16_t *faces;
};

struct TexVertData {
  uint16_t count;
  TexVert3ds *uv;
};

struct SmoothData {
  uint32_t count;
  uint32_t *groups;
};

struct MappingData {
  uint16_t mapType;
  float tileU, tileV;
  Point3ds iconPosition;
  float iconScaling;
  float iconMatrix[12];
  float planarWidth, planarHeight, cylinderHeight;
};

struct BoxMapData {
  char *names[6];
};

struct ViewportData {
  uint16_t values[7];
  float a;
  Point3ds point;
  float b, c;
  char *name;
};

struct KfHeaderData {
  uint16_t revision;
  char *fileName;
  int32_t animLength;
};

struct NodeHeaderData {
  char *name;
  uint16_t flags1, flags2;
  uint16_t parent;
};

// Track values per key: 12 bytes for position, scale and colour, 16 for rotation, 4 for
// the float tracks, 13 for morph names, none for hide.
struct TrackData {
  uint16_t flags;
  uint32_t reserved1, reserved2;
  uint32_t count;
  KeyHeader3ds *keys;
  void *values;
};

struct RawData {
  uint32_t size;
  uint8_t *bytes;
};

// Size of one key value in a track of the given tag (0 for hide).
uint32_t TrackValueSize(uint32_t tag);

// Length of a chunk's own data (before its children), measured from the file at
// position + 6; false with a code pushed when it does not fit in the chunk.
bool ChunkOwnDataSize(Chunk3ds *chunk, uint32_t *size);

// Child order value of a tag.
uint32_t ChildOrder(uint32_t tag);

// ---- Helpers shared by the record modules ----

// Owned copy of at most max characters of text; null (and ERR_NO_MEM) on failure.
char *CopyString(const char *text, size_t max);
// The same in memory from take(bytes), which gives null when there is none.
char *CopyStringWith(void *(*take)(size_t), const char *text, size_t max);

// Copies at most size - 1 characters and terminates.
void CopyName(char *to, size_t size, const char *from);

// malloc-backed zeroed array; a count of 0 gives null without error.
void *AllocArray(size_t count, size_t size);

// The same without zeroing, for an array that is filled at once.
void *AllocFilled(size_t count, size_t size);

// Zeroed chunk nodes (null when memory runs out), and freeing one; only for the chunk tree.
// The node of a chunk of the given tag lies beside those of its kind (materials, objects,
// keyframe nodes), where walks of the tree section by section find them in a row.
Chunk3ds *AllocChunkNode(uint32_t tag);
void FreeChunkNode(Chunk3ds *chunk);
// Record memory taken next lies beside the nodes of the given tag's kind (AllocChunkNode sets it
// for the chunk it makes).
void PlaceRecordsWith(uint32_t tag);

// Record memory: chunk data records and the strings and arrays they own, taken from pools.
// TakeRecordMemory gives size bytes, not zeroed, or null (nothing pushed); GiveRecordMemory
// takes back what it gave (null is allowed).
void *TakeRecordMemory(size_t size);
void GiveRecordMemory(void *memory);
// A zeroed record of size bytes (at least one); null and ERR_NO_MEM on failure.
void *AllocRecord(size_t size);
// CopyString, AllocArray and AllocFilled in record memory.
char *CopyRecordString(const char *text, size_t max);
void *AllocRecordArray(size_t count, size_t size);
void *AllocRecordFilled(size_t count, size_t size);

// Bulk arrays: small ones are record memory, large ones come from malloc, so that the mesh
// reader can hand a large array over to the caller's record as it is. AllocBulk is not zeroed
// (null for a count of 0; null and ERR_NO_MEM on failure). HandOverBulk takes the array from
// its record and gives an array from malloc with the same items (null and ERR_NO_MEM when
// memory runs out, the array freed all the same).
void *AllocBulk(size_t count, size_t size);
void FreeBulk(void *array, size_t count, size_t size);
void *HandOverBulk(void *array, size_t count, size_t size);

// Makes a chunk with its data record and adds it in order below parent; null on failure
// (code 21 pushed).
Chunk3ds *AddDataChild(Chunk3ds *parent, uint32_t tag);

// The first direct child with the tag, or null.
Chunk3ds *FirstChild(Chunk3ds *parent, uint32_t tag);

// FirstChild for count tags in one pass over the children: found[i] for tags[i].
void FirstChildren(Chunk3ds *parent, const uint32_t *tags, size_t count, Chunk3ds **found);

// Asks for the memory a walk of the tree reads next at a chunk: its next sibling, first child
// and data. A database of thousands of objects lies far outside the cache, and a walk that
// waits for each node in turn spends most of its time waiting.
inline void PrefetchLinks(const Chunk3ds *chunk) {
  if (chunk->next) __builtin_prefetch(chunk->next);
  if (chunk->children) __builtin_prefetch(chunk->children);
  if (chunk->data) __builtin_prefetch(chunk->data);
}

// Marks a chunk's data as changed in memory: it is no longer tied to its source file.
inline void TouchChunk(Chunk3ds *chunk) { chunk->readIndex = NO_FILE_INDEX3DS; }

// Keyframe node tags that get ids (0xB002 to 0xB007).
bool IsNodeTag(uint32_t tag);

// Checks a database for the record operations: ERR_INVALID_ARG, ERR_INVALID_DATABASE,
// ERR_WRONG_DATABASE (kinds other than mesh file or project; passed when errors are
// ignored). True when usable.
bool CheckMeshDatabase(Database3ds *db);

// The keyframer section 0xB000: the top chunk's own, else the first anywhere below it (a search
// through the whole tree only for files that keep it elsewhere).
Chunk3ds *FindKfSection(Chunk3ds *top);

// Finds the mesh section 0x3D3D, or makes it and adds it to the top chunk.
Chunk3ds *GetMeshSection(Database3ds *db);

// Name lists: a record writer tells the list of the chunk it added below the list's parent
// (the chunk complete), or of an object it replaced in place.
void NoteObjectAdded(Database3ds *db, Chunk3ds *section, Chunk3ds *object);
void NoteMaterialAdded(Database3ds *db, Chunk3ds *section, Chunk3ds *entry);
void NoteNodeAdded(Database3ds *db, Chunk3ds *kf, Chunk3ds *node);
void NoteObjectReplaced(Database3ds *db);

// The named objects that hold a mesh, in list order.
uint32_t MeshObjectCount(Database3ds *db);
Chunk3ds *MeshObjectAt(Database3ds *db, uint32_t index);

// Node id numbering and parent links.
void LinkNodesAfterRead(Database3ds *db);
void NumberNodesForWrite(Database3ds *db);

}  // namespace ftk3ds
