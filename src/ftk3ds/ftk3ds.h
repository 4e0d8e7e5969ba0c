/* 3DS file toolkit: holds a .3ds mesh file, project file or material library as a tree of
 * chunks and reads and writes its meshes, materials and keyframer records.
 *
 * Every operation reports failure by pushing a code on the error stack (which sets
 * ftkerr3ds) and returns at once unless ignoreftkerr3ds is set; missing arguments and
 * damaged file data stop an operation either way. Nothing throws. Release operations take
 * the address of the pointer and set it to null. The toolkit keeps process-wide state
 * (file table, current file, error stack) and is not thread-safe.
 *
 * Chunk data is read from the still-open source file when first needed: a database read
 * from a file can fetch its records only while that file stays open. */
#ifndef VEDRA_FTK3DS_FTK3DS_H
#define VEDRA_FTK3DS_FTK3DS_H

#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Error stack ------------------------------------------------------------------ */

typedef int32_t ErrorCode3ds;
enum {
  NO_FTK_ERRORS = 0,
  ERR_NO_MEM = 1,
  ERR_INVALID_ARG = 2,
  ERR_INVALID_DATA = 3,
  ERR_INVALID_CHUNK = 4,
  ERR_INVALID_DATABASE = 5,
  ERR_WRONG_DATABASE = 6,
  ERR_UNFOUND_CHUNK = 7,
  ERR_WRONG_OBJECT = 8,
  ERR_NO_SUCH_FILE = 9,
  ERR_INIT_FAILED = 10,
  ERR_OPENING_FILE = 11,
  ERR_CLOSING_FILE = 12,
  ERR_READING_FILE = 13,
  ERR_CREATING_DATABASE = 14,
  ERR_READING_DATABASE = 15,
  ERR_WRITING_DATABASE = 16,
  ERR_WRITING_FILE = 17,
  ERR_STRING_TOO_LONG = 18,
  ERR_TOO_MANY_FILES = 19,
  N_ERRORS = 22
};

typedef struct ErrRec3ds {
  ErrorCode3ds code;   /* 0 = empty entry */
  const char *message; /* static text */
} ErrRec3ds;

/* Entries of the list that GetErrList3ds returns: 19 entries, a terminator whose code
 * stays 0, then the overflow entry that takes the 20th and later errors. */
#define ERR_STACK_ENTRIES3DS 19
#define ERR_LIST_SIZE3DS 20
#define ERR_OVERFLOW_INDEX3DS 20

extern uint8_t ftkerr3ds;       /* error flag: set by every push, cleared by ClearErrList3ds */
extern uint8_t ignoreftkerr3ds; /* when set, operations go on after pushing an error */

const char *PushErrList3ds(ErrorCode3ds code);
void ClearErrList3ds(void);
const ErrRec3ds *GetErrList3ds(void);
const char *ErrCodeToString3ds(ErrorCode3ds code);

/* ---- File table and binary I/O -------------------------------------------------- */

#define FILE_TABLE_SIZE3DS 252
#define NO_FILE_INDEX3DS 255

typedef struct File3ds {
  FILE *stream;          /* null until opened */
  char *name;            /* path opened (after a move aside, the temporary path) */
  uint32_t mode;         /* 1 reading, 2 writing, 3 treated as reading */
  uint8_t index;         /* slot in the table, 255 = none */
  uint8_t *buffer;       /* stream buffer, or null */
  uint32_t bufferSize;
  uint8_t removeOnClose; /* delete the file from disk when closed */
  struct FileView3ds *view; /* the toolkit's own buffer of the file and its position, or null */
} File3ds;

File3ds *InitFile3ds(void);
void InitFileTable3ds(void);
void ReleaseFileTable3ds(void);
void AddFileToTable3ds(File3ds *file);
void RemoveFileFromTable3ds(File3ds *file);
File3ds *GetFileByIndex3ds(uint32_t index);
File3ds *FindFileByName3ds(const char *name);
uint8_t FileIsOpen3ds(uint32_t index);
void SetContext3ds(File3ds *file);
void SetContextByIndex3ds(uint32_t index);
File3ds *GetContext3ds(void);
FILE *GetCurrentStream3ds(void);
uint8_t GetFileIndex3ds(void);
uint32_t FileTell3ds(void);
void FileSeek3ds(uint32_t position);

File3ds *OpenFile3ds(const char *name, const char *mode);
void CloseFile3ds(File3ds *file);
void CloseAllFiles3ds(void);

/* Primitives on the current file, little-endian. They go through the file's own buffer:
 * seeks within it cost nothing, and output reaches the stream when the buffer is flushed
 * (at the latest when the file is closed). A caller that uses the stream of
 * GetCurrentStream3ds directly gets it flushed and at the toolkit's position. */
uint8_t ReadUByte3ds(void);
int8_t ReadByte3ds(void);
uint16_t ReadUShort3ds(void);
int16_t ReadShort3ds(void);
uint32_t ReadULong3ds(void);
int32_t ReadLong3ds(void);
float ReadFloat3ds(void);
void WriteUByte3ds(uint8_t value);
void WriteByte3ds(int8_t value);
void WriteUShort3ds(uint16_t value);
void WriteShort3ds(int16_t value);
void WriteULong3ds(uint32_t value);
void WriteLong3ds(int32_t value);
void WriteFloat3ds(float value);

typedef struct Point3ds { float x, y, z; } Point3ds;
typedef struct TexVert3ds { float u, v; } TexVert3ds;
typedef struct Face3ds { uint16_t v1, v2, v3, flag; } Face3ds;
typedef struct Color3ds { float r, g, b; } Color3ds;

/* Key header: frame, spline flags, and the five spline values (tension bit 0,
 * continuity bit 1, bias bit 2, ease to bit 3, ease from bit 4). */
typedef struct KeyHeader3ds {
  uint32_t frame;
  uint16_t splineFlags;
  float tension, continuity, bias, easeTo, easeFrom;
} KeyHeader3ds;

void ReadPoint3ds(Point3ds *point);
void WritePoint3ds(const Point3ds *point);
void ReadTexVert3ds(TexVert3ds *uv);
void WriteTexVert3ds(const TexVert3ds *uv);
void ReadFace3ds(Face3ds *face);
void WriteFace3ds(const Face3ds *face);
void ReadTrackHeader3ds(uint16_t *flags, uint32_t *reserved1, uint32_t *reserved2, uint32_t *keyCount);
void WriteTrackHeader3ds(uint16_t flags, uint32_t reserved1, uint32_t reserved2, uint32_t keyCount);
void ReadKeyHeader3ds(KeyHeader3ds *key);
void WriteKeyHeader3ds(const KeyHeader3ds *key);
void ReadString3ds(char *buffer, uint32_t max);
char *ReadStringAlloc3ds(uint32_t max);
void ReadFixedString3ds(char *buffer, uint32_t n);
void WriteString3ds(const char *text);
void WriteFixedString3ds(const char *text, uint32_t n);
void ReadVoid3ds(uint32_t size, void *buffer);
void WriteVoid3ds(uint32_t size, const void *buffer);
void ReadHeader3ds(uint32_t *tag, uint32_t *length);
void WriteHeader3ds(uint32_t tag, uint32_t length);
void FinishHeader3ds(uint32_t start, uint32_t end);
void ByteOrderLong3ds(void *to, const void *from);
void ByteOrderShort3ds(void *to, const void *from);
void ByteOrderFloat3ds(void *to, const void *from);

/* ---- Chunk tree and database ----------------------------------------------------- */

typedef struct Chunk3ds {
  uint32_t tag;      /* 16-bit chunk id, 0 = cleared (never written) */
  uint32_t size;     /* length in the file, 6-byte header included */
  uint32_t position; /* file offset of the header */
  void *data;        /* the tag's data record, null = not read or none */
  struct Chunk3ds *next;
  struct Chunk3ds *children;
  uint8_t readIndex;  /* file slot the chunk was read from, 255 = made in memory */
  uint8_t writeIndex; /* file slot the chunk was last written to, 255 = none */
} Chunk3ds;

typedef struct NameListEntry3ds {
  char *name;
  Chunk3ds *chunk; /* not owned */
} NameListEntry3ds;

typedef struct NameList3ds {
  uint32_t count;
  NameListEntry3ds *list;
  struct NameIndex3ds *index; /* lookups by name, by tag and of meshes; kept by the toolkit */
} NameList3ds;

typedef struct Database3ds {
  Chunk3ds *topChunk; /* 0x4D4D mesh file, 0xC23D project, 0x3DAA material library */
  uint8_t objectsDirty, materialsDirty, nodesDirty;
  NameList3ds *objects;   /* named objects 0x4000 */
  NameList3ds *materials; /* material entries 0xAFFF */
  NameList3ds *nodes;     /* keyframe nodes 0xB001-0xB007 */
} Database3ds;

/* Database kinds. */
enum { NoDatabase3ds = 0, MeshFile3ds = 1, ProjectFile3ds = 2, MaterialFile3ds = 3 };

void InitChunk3ds(Chunk3ds **chunk);
void InitChunkAs3ds(Chunk3ds **chunk, uint32_t tag);
void *InitChunkAndData3ds(Chunk3ds **chunk, uint32_t tag);
void ReleaseChunk3ds(Chunk3ds **chunk);
void ClearChunk3ds(Chunk3ds *chunk);
void FindChunk3ds(Chunk3ds *start, uint32_t tag, Chunk3ds **found);
void FindNextChunk3ds(Chunk3ds *start, uint32_t tag, Chunk3ds **found);
void AppendChildChunk3ds(Chunk3ds *parent, Chunk3ds *child);
void AddChildChunk3ds(Chunk3ds *parent, Chunk3ds *child);
void SetChildChunk3ds(Chunk3ds *parent, uint32_t tag, Chunk3ds **child);
void CopyChunk3ds(Chunk3ds *source, Chunk3ds **copy);

void *InitChunkData3ds(Chunk3ds *chunk);
void *ReadChunkData3ds(Chunk3ds *chunk);
void WriteChunkData3ds(Chunk3ds *chunk);
void CopyChunkData3ds(Chunk3ds *source, Chunk3ds *copy);
void FreeChunkData3ds(Chunk3ds *chunk);
void FreeFileChunkData3ds(Chunk3ds *chunk);
void SkipChunk3ds(Chunk3ds *chunk);
void ReadChildren3ds(Chunk3ds *chunk);
void WriteChunk3ds(Chunk3ds *chunk, uint8_t slot);

void InitDatabase3ds(Database3ds **db);
void ReleaseDatabase3ds(Database3ds **db);
void CreateNewDatabase3ds(Database3ds *db, uint32_t kind);
uint32_t GetDatabaseType3ds(const Database3ds *db);
void ReadDatabase3ds(File3ds *file, Database3ds *db);
void WriteDatabase3ds(File3ds *file, Database3ds *db);
void SetDatabaseRelease3ds(Database3ds *db, uint32_t release);

void InitNameList3ds(NameList3ds **list, uint32_t count);
void ReleaseNameList3ds(NameList3ds **list);
void UpdateNamedObjectList3ds(Database3ds *db);
void UpdateMaterialList3ds(Database3ds *db);
void UpdateNodeList3ds(Database3ds *db);
void MarkObjectListDirty3ds(Database3ds *db);
void MarkMaterialListDirty3ds(Database3ds *db);
void MarkNodeListDirty3ds(Database3ds *db);
void FindNamedObject3ds(Database3ds *db, const char *name, Chunk3ds **chunk);
void FindMaterialByName3ds(Database3ds *db, const char *name, Chunk3ds **chunk);
Chunk3ds *GetMaterialChunkByIndex3ds(Database3ds *db, uint32_t index);
Chunk3ds *FindNodeByName3ds(Database3ds *db, const char *name, uint32_t tag);
Chunk3ds *FindNodeByIndex3ds(Database3ds *db, uint32_t index, uint32_t tag);
uint32_t GetNodeCountByType3ds(Database3ds *db, uint32_t tag);

/* ---- Meshes and mesh settings ---------------------------------------------------- */

typedef struct MatGroup3ds {
  char name[17];
  uint16_t faceCount;
  uint16_t *faces; /* face indexes */
} MatGroup3ds;

typedef struct MeshObj3ds {
  char name[11];
  uint8_t hidden;          /* 0x4010 */
  uint8_t lofterVisible;   /* 0x4011 */
  uint8_t matte;           /* 0x4013 */
  uint8_t noCastShadows;   /* 0x4012 */
  uint8_t fast;            /* 0x4014 */
  uint8_t noReceiveShadows;/* 0x4017 */
  uint8_t frozen;          /* 0x4016 */
  uint16_t vertexCount;
  Point3ds *vertices;
  uint16_t vertexFlagCount;
  uint16_t *vertexFlags;
  uint16_t texVertexCount;
  TexVert3ds *texVertices;
  uint8_t useMapping; /* mapping information present */
  uint16_t mapType;
  float tileU, tileV;
  Point3ds iconPosition;
  float iconScaling;
  float iconMatrix[12];
  float planarWidth, planarHeight, cylinderHeight;
  float matrix[12]; /* three axes, then the origin */
  uint16_t faceCount;
  Face3ds *faces;
  uint32_t *smoothing; /* one value per face, or null */
  uint8_t useBoxMap;
  char boxMap[6][17];
  uint8_t meshColor;
  uint16_t matGroupCount;
  MatGroup3ds *matGroups;
  uint8_t useProcedure; /* 0x4015 */
  uint32_t procedureSize;
  char procedureName[13];
  uint8_t *procedureData;
} MeshObj3ds;

/* Array selector bits. */
enum {
  MeshVertexArray3ds = 1,
  MeshTexVertArray3ds = 2,
  MeshFaceArray3ds = 4,
  MeshMatGroupArray3ds = 8,
  MeshSmoothArray3ds = 16,
  MeshProcArray3ds = 32,
  MeshVertFlagArray3ds = 64,
  MeshAllArrays3ds = 127
};

typedef struct MeshSettings3ds {
  float masterScale;      /* 0x0100 */
  float shadowBias;       /* 0x1400 */
  float rayBias;          /* 0x1460 */
  uint16_t shadowMapSize; /* 0x1420 */
  float shadowFilter;     /* 0x1450 */
  Color3ds ambient;       /* 0x2100 */
  Point3ds constructionPoint; /* 0x1500 */
  uint16_t shadowType;    /* 0x1430: 0 standard; written when not 0 or when the file had it */
} MeshSettings3ds;

void InitMeshObj3ds(MeshObj3ds **mesh, uint16_t vertexCount, uint16_t faceCount, uint32_t flags);
void AllocMeshArrays3ds(MeshObj3ds *mesh, uint32_t bits);
void ReleaseMeshArrays3ds(MeshObj3ds *mesh, uint32_t bits);
void AllocMatGroupFaces3ds(MeshObj3ds *mesh, uint16_t group, uint16_t count);
void ReleaseMeshObj3ds(MeshObj3ds **mesh);
uint32_t GetMeshCount3ds(Database3ds *db);
void GetMeshByIndex3ds(Database3ds *db, uint32_t index, MeshObj3ds **mesh);
void GetMeshByName3ds(Database3ds *db, const char *name, MeshObj3ds **mesh);
void ReadMeshEntry3ds(Chunk3ds *object, MeshObj3ds **mesh);
void PutMesh3ds(Database3ds *db, const MeshObj3ds *mesh);

void InitMeshSettings3ds(MeshSettings3ds **settings);
void ReleaseMeshSettings3ds(MeshSettings3ds **settings);
void GetMeshSettings3ds(Database3ds *db, MeshSettings3ds **settings);
void PutMeshSettings3ds(Database3ds *db, const MeshSettings3ds *settings);

/* ---- Materials ------------------------------------------------------------------- */

typedef struct MapInfo3ds {
  char name[13];      /* file name, "" = slot unused */
  float percent;      /* fraction */
  uint32_t tiling;    /* 2 decal, 3 decal and tile, else tile */
  uint8_t ignoreAlpha;
  uint32_t filter;    /* 1 = summed area */
  float blur;
  uint8_t mirror;
  uint8_t negative;
  float uScale, vScale;
  float uOffset, vOffset;
  float rotation;
  uint32_t tint;      /* 1 alpha source, 2 and 3 two-colour tint, 4 RGB tint */
  Color3ds tint1, tint2;
  Color3ds redTint, greenTint, blueTint;
  uint32_t dataSize;  /* parameter block */
  uint8_t *data;
} MapInfo3ds;

typedef struct Material3ds {
  char name[17];
  Color3ds ambient, diffuse, specular;
  float shininess;
  float shinStrength;
  float reflectBlur;
  float transparency;
  float transFalloff; /* sign gives the direction */
  float selfIllum;
  float wireSize;
  uint32_t shading;
  uint8_t useBlur;       /* 0xA250 */
  uint8_t useFalloff;    /* 0xA240 */
  uint8_t twoSided;      /* 0xA081 */
  uint8_t selfIllumFlag; /* 0xA080 */
  uint8_t additive;      /* 0xA083 */
  uint8_t wire;          /* 0xA085 */
  uint8_t wireAbs;       /* 0xA08E: wire size in units */
  uint8_t faceMap;       /* 0xA088 */
  uint8_t soften;        /* 0xA08C */
  MapInfo3ds texture, textureMask;
  MapInfo3ds texture2, texture2Mask;
  MapInfo3ds opacity, opacityMask;
  MapInfo3ds bump, bumpMask;
  MapInfo3ds specularMap, specularMask;
  MapInfo3ds shininessMap, shininessMask;
  MapInfo3ds selfIllumMap, selfIllumMask;
  MapInfo3ds reflect;
  uint8_t useAutoReflect;      /* 0xA310 present */
  uint8_t autoReflectFirstFrame; /* flag bits 0x0009 */
  uint8_t autoReflectFlat;       /* flag bits 0x0011 */
  uint32_t autoReflectSize;
  uint32_t autoReflectStep;
  MapInfo3ds reflectMask;
} Material3ds;

void InitMapInfo3ds(MapInfo3ds *map);
void InitMaterial3ds(Material3ds **mat);
void ReleaseMaterial3ds(Material3ds **mat);
uint32_t GetMaterialCount3ds(Database3ds *db);
void GetMaterialByIndex3ds(Database3ds *db, uint32_t index, Material3ds **mat);
void GetMaterialByName3ds(Database3ds *db, const char *name, Material3ds **mat);
void ReadMaterialEntry3ds(Chunk3ds *entry, Material3ds **mat);
void PutMaterial3ds(Database3ds *db, const Material3ds *mat);
float ReadPercentage3ds(Chunk3ds *chunk);

/* ---- Keyframer records ----------------------------------------------------------- */

typedef struct Rotation3ds { float angle, x, y, z; } Rotation3ds;
typedef struct MorphName3ds { char name[13]; } MorphName3ds;

typedef struct ObjectMotion3ds {
  char name[11];
  char parent[22]; /* parent's name, or its name, "." and its instance name */
  uint16_t flags1;
  uint16_t flags2; /* bit 0: morph smoothing present */
  Point3ds pivot;
  char instance[11];
  Point3ds boundMin, boundMax;
  uint32_t posKeyCount;
  uint16_t posFlags;
  KeyHeader3ds *posKeys;
  Point3ds *pos;
  uint32_t rotKeyCount;
  uint16_t rotFlags;
  KeyHeader3ds *rotKeys;
  Rotation3ds *rot;
  uint32_t scaleKeyCount;
  uint16_t scaleFlags;
  KeyHeader3ds *scaleKeys;
  Point3ds *scale;
  uint32_t morphKeyCount;
  uint16_t morphFlags;
  KeyHeader3ds *morphKeys;
  MorphName3ds *morph;
  uint32_t hideKeyCount;
  uint16_t hideFlags;
  KeyHeader3ds *hideKeys;
  float morphSmooth;
} ObjectMotion3ds;

typedef struct KfSettings3ds {
  uint32_t animLength;
  uint32_t currentFrame;
  uint32_t segmentUsed;
  uint32_t segmentBegin;
  uint32_t segmentEnd;
} KfSettings3ds;

void InitObjectMotion3ds(ObjectMotion3ds **motion, uint32_t nPos, uint32_t nRot, uint32_t nScale,
                         uint32_t nMorph, uint32_t nHide);
void ReleaseObjectMotion3ds(ObjectMotion3ds **motion);
uint32_t GetObjectMotionCount3ds(Database3ds *db);
void GetObjectMotionByIndex3ds(Database3ds *db, uint32_t index, ObjectMotion3ds **motion);
void GetObjectMotionByName3ds(Database3ds *db, const char *name, ObjectMotion3ds **motion);
void ReadObjectMotion3ds(Chunk3ds *node, ObjectMotion3ds **motion);
void PutObjectMotion3ds(Database3ds *db, const ObjectMotion3ds *motion);

void InitKfSettings3ds(KfSettings3ds **kf);
void ReleaseKfSettings3ds(KfSettings3ds **kf);
void GetKfSection3ds(Chunk3ds *top, Chunk3ds **section);
void PutKfSettings3ds(Database3ds *db, const KfSettings3ds *kf);

#ifdef __cplusplus
}
#endif

#endif
