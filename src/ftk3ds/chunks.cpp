// Chunk tree, databases and their name lists.
#include "ftk3ds/internal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace ftk3ds;

namespace ftk3ds {

char *CopyString(const char *text, size_t max) { return CopyStringWith(malloc, text, max); }

char *CopyStringWith(void *(*take)(size_t), const char *text, size_t max) {
  if (!text) text = "";
  size_t length = strnlen(text, max);
  char *copy = static_cast<char *>(take(length + 1));
  if (!copy) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

void CopyName(char *to, size_t size, const char *from) {
  if (size == 0) return;
  size_t length = from ? strnlen(from, size - 1) : 0;
  if (length) memcpy(to, from, length);
  to[length] = '\0';
}

void *AllocArray(size_t count, size_t size) {
  if (count == 0 || size == 0) return nullptr;
  void *block = calloc(count, size);
  if (!block) PushErrList3ds(ERR_NO_MEM);
  return block;
}

void *AllocFilled(size_t count, size_t size) {
  if (count == 0 || size == 0) return nullptr;
  void *block = count <= SIZE_MAX / size ? malloc(count * size) : nullptr;
  if (!block) PushErrList3ds(ERR_NO_MEM);
  return block;
}

Chunk3ds *FirstChild(Chunk3ds *parent, uint32_t tag) {
  if (!parent) return nullptr;
  for (Chunk3ds *c = parent->children; c; c = c->next)
    if (c->tag == tag) return c;
  return nullptr;
}

void FirstChildren(Chunk3ds *parent, const uint32_t *tags, size_t count, Chunk3ds **found) {
  for (size_t i = 0; i < count; ++i) found[i] = nullptr;
  for (Chunk3ds *c = parent ? parent->children : nullptr; c; c = c->next)
    for (size_t i = 0; i < count; ++i)
      if (c->tag == tags[i] && !found[i]) found[i] = c;
}

Chunk3ds *AddDataChild(Chunk3ds *parent, uint32_t tag) {
  Chunk3ds *chunk = nullptr;
  uint32_t serial = ErrorSerial();
  InitChunkAs3ds(&chunk, tag);
  if (chunk) InitChunkData3ds(chunk);
  if (!chunk || ErrorSerial() != serial) {
    ReleaseChunk3ds(&chunk);
    PushErrList3ds(kErrMakingChunk);
    return nullptr;
  }
  AddChildChunk3ds(parent, chunk);
  return chunk;
}

bool IsNodeTag(uint32_t tag) { return tag >= kObjectNode && tag <= kSpotlightNode; }

bool CheckMeshDatabase(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return false;
  }
  if (!db->topChunk) {
    PushErrList3ds(ERR_INVALID_DATABASE);
    return false;
  }
  uint32_t kind = GetDatabaseType3ds(db);
  if (kind != MeshFile3ds && kind != ProjectFile3ds) return !Fail(ERR_WRONG_DATABASE);
  return true;
}

Chunk3ds *FindKfSection(Chunk3ds *top) {
  Chunk3ds *kf = FirstChild(top, kKfSection);
  if (!kf && top) FindChunk3ds(top, kKfSection, &kf);
  return kf;
}

Chunk3ds *GetMeshSection(Database3ds *db) {
  Chunk3ds *section = nullptr;
  FindChunk3ds(db->topChunk, kMeshSection, &section);
  if (section) return section;
  InitChunkAs3ds(&section, kMeshSection);
  if (!section) {
    PushErrList3ds(kErrMakingChunk);
    return nullptr;
  }
  AddChildChunk3ds(db->topChunk, section);
  return section;
}

uint32_t ChildOrder(uint32_t tag) {
  switch (tag) {
    case 0x0000: return 35;
    case 0x2D2D: return 34;
    case 0x2D3D: return 33;
    case 0x4D4D: return 32;
    case 0x0002: return 31;
    case 0x3D3D: return 30;
    case 0xB000: return 29;
    case 0x0011: return 28;
    case 0x0012: return 27;
    case 0x3D3E: return 26;
    case 0xAFFF: return 25;
    case 0xB00A: return 24;
    case 0x0100: return 23;
    case 0x7001: return 22;
    case 0x1400: return 21;
    case 0x1420: case 0x1430: return 20;
    case 0x1450: return 19;
    case 0x1460: return 18;
    case 0x1500: return 17;
    case 0x2100: return 16;
    case 0x1200: return 15;
    case 0x1100: return 14;
    case 0x1300: return 13;
    case 0x1101: case 0x1201: case 0x1301: return 12;
    case 0x2200: return 11;
    case 0x2302: return 10;
    case 0x2300: return 9;
    case 0x3000: return 8;
    case 0x4000: return 7;
    case 0xB008: return 6;
    case 0xB009: return 5;
    case 0xB002: case 0xB003: case 0xB004: case 0xB006: case 0xB007: return 4;
    case 0xB001: return 3;
    case 0x4100: case 0x4600: case 0x4700: return 2;
    case 0x4010: return 1;
    default: return 0;
  }
}

}  // namespace ftk3ds

namespace {

// ---- Where the next child goes ----
//
// A child goes in front of the first child of lower order. Writers add many children of one
// order to one parent in a row (objects, materials, nodes), so where a search for a place
// went far, the child added there is remembered with its parent and order: every child before
// it has an order at least its own, and the search for the next child of that order starts
// there. Freeing any chunk forgets all places, as the remembered chunks may be gone.

struct Place {
  Chunk3ds *parent;
  Chunk3ds *last;
  uint32_t order;
  uint64_t used;
};

const int kPlaces = 8;
const int kFar = 16;  // children passed before a place is worth remembering
Place places[kPlaces];
uint64_t placeClock = 0;

void ForgetPlaces() {
  for (Place &place : places) place.parent = nullptr;
}

Place *FindPlace(Chunk3ds *parent, uint32_t order) {
  for (Place &place : places)
    if (place.parent == parent && place.order == order) return &place;
  return nullptr;
}

// Links a child in front of the first child of lower order.
void InsertInOrder(Chunk3ds *parent, Chunk3ds *child) {
  uint32_t order = ChildOrder(child->tag);
  Place *place = FindPlace(parent, order);
  Chunk3ds **link = place ? &place->last->next : &parent->children;
  int passed = 0;
  for (; *link && ChildOrder((*link)->tag) >= order; link = &(*link)->next) ++passed;
  child->next = *link;
  *link = child;
  if (!place && passed >= kFar) {
    place = &places[0];
    for (Place &p : places)
      if (p.used < place->used) place = &p;
  }
  if (place) *place = {parent, child, order, ++placeClock};
}

// The links of each chunk are asked for one chunk ahead, and so its next sibling two ahead.
void FreeChain(Chunk3ds *c) {
  if (c) PrefetchLinks(c);
  while (c) {
    Chunk3ds *next = c->next;
    if (next) PrefetchLinks(next);
    FreeChunkData3ds(c);
    FreeChain(c->children);
    FreeChunkNode(c);
    c = next;
  }
}

Chunk3ds *NewChunk(uint32_t tag) {
  Chunk3ds *chunk = AllocChunkNode(tag);
  if (!chunk) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  chunk->tag = tag;
  chunk->readIndex = NO_FILE_INDEX3DS;
  chunk->writeIndex = NO_FILE_INDEX3DS;
  return chunk;
}

Chunk3ds *FindInTree(Chunk3ds *start, uint32_t tag) {
  if (start->tag == tag) return start;
  for (Chunk3ds *c = start->children; c; c = c->next)
    if (Chunk3ds *found = FindInTree(c, tag)) return found;
  return nullptr;
}

Chunk3ds *CopyTree(Chunk3ds *source) {
  Chunk3ds *copy = NewChunk(source->tag);
  if (!copy) return nullptr;
  copy->size = source->size;
  copy->position = source->position;
  copy->readIndex = source->readIndex;
  copy->writeIndex = source->writeIndex;
  if (source->data) {
    if (source->readIndex != NO_FILE_INDEX3DS && FileIsOpen3ds(source->readIndex)) {
      // The source reads its data again from the file when it needs them.
      copy->data = source->data;
      source->data = nullptr;
    } else {
      uint32_t serial = ErrorSerial();
      CopyChunkData3ds(source, copy);
      if (ErrorSerial() != serial) {
        ReleaseChunk3ds(&copy);
        return nullptr;
      }
    }
  }
  Chunk3ds **tail = &copy->children;
  for (Chunk3ds *c = source->children; c; c = c->next) {
    *tail = CopyTree(c);
    if (!*tail) {
      ReleaseChunk3ds(&copy);
      return nullptr;
    }
    tail = &(*tail)->next;
  }
  return copy;
}

// Reads the headers below a chunk read from a file. Below an extra-data entry (0x8001) only
// tags 0x8002 to 0x800F are kept: the first other tag ends the entry.
bool ReadTree(Chunk3ds *parent, int depth, bool extra) {
  if (!FileIsOpen3ds(parent->readIndex)) {
    PushErrList3ds(ERR_READING_FILE);
    return false;
  }
  SetContextByIndex3ds(parent->readIndex);
  uint32_t serial = ErrorSerial();
  FileSeek3ds(parent->position + 6);
  uint32_t skip = 0;
  if (ErrorSerial() != serial || !ChunkOwnDataSize(parent, &skip)) return false;
  uint64_t end = static_cast<uint64_t>(parent->position) + parent->size;
  uint64_t at = static_cast<uint64_t>(parent->position) + 6 + skip;
  Chunk3ds *last = nullptr;
  while (at < end) {
    if (end - at < 6) {
      if (extra) break;
      PushErrList3ds(ERR_INVALID_CHUNK);
      return false;
    }
    SetContextByIndex3ds(parent->readIndex);
    FileSeek3ds(static_cast<uint32_t>(at));
    uint32_t tag = 0, length = 0;
    ReadHeader3ds(&tag, &length);
    if (ErrorSerial() != serial) return false;
    if (length < 6 || length > end - at) {
      if (extra) break;
      PushErrList3ds(ERR_INVALID_CHUNK);
      return false;
    }
    if (extra && (tag < 0x8002 || tag > 0x800F)) break;
    if (depth >= kMaxDepth) {
      PushErrList3ds(ERR_INVALID_CHUNK);
      return false;
    }
    Chunk3ds *child = NewChunk(tag);
    if (!child) return false;
    child->size = length;
    child->position = static_cast<uint32_t>(at);
    child->readIndex = parent->readIndex;
    if (last)
      last->next = child;
    else
      AppendChildChunk3ds(parent, child);
    last = child;
    if (!ReadTree(child, depth + 1, extra || tag == kXDataEntry)) return false;
    at += length;
  }
  return true;
}

bool WriteTree(Chunk3ds *chunk, uint8_t slot) {
  if (chunk->tag == 0 || chunk->tag == kParentName) return true;
  SetContextByIndex3ds(slot);
  File3ds *out = GetContext3ds();
  if (!out || out->index != slot) {
    PushErrList3ds(ERR_WRITING_FILE);
    return false;
  }
  uint32_t serial = ErrorSerial();
  chunk->writeIndex = slot;
  uint32_t start = FileTell3ds();
  if (!chunk->data) {
    ReadChunkData3ds(chunk);
    SetContext3ds(out);
    FileSeek3ds(start);
  }
  if (ErrorSerial() != serial) return false;
  WriteHeader3ds(chunk->tag, chunk->size);
  WriteChunkData3ds(chunk);
  if (ErrorSerial() != serial) return false;
  if (chunk->children) PrefetchLinks(chunk->children);
  for (Chunk3ds *c = chunk->children; c; c = c->next) {
    if (c->next) PrefetchLinks(c->next);  // asked for one child ahead, as in FreeChain
    if (!WriteTree(c, slot)) return false;
  }
  SetContext3ds(out);
  uint32_t end = FileTell3ds();
  if (end - start != chunk->size) {
    FinishHeader3ds(start, end);
    chunk->size = end - start;
  }
  if (out->mode == 3) {
    chunk->readIndex = slot;
    chunk->position = start;
  }
  FreeFileChunkData3ds(chunk);
  return ErrorSerial() == serial;
}

uint32_t FileLength(FILE *f) {
  if (!f || fseek(f, 0, SEEK_END) != 0) return 0;
  long length = ftell(f);
  return length > 0 && static_cast<unsigned long>(length) <= 0xFFFFFFFFul
             ? static_cast<uint32_t>(length)
             : 0;
}

bool KnownTop(uint32_t tag) {
  return tag == kMeshFile || tag == kProjectFile || tag == kMaterialLibrary;
}

void ReleaseLists(Database3ds *db) {
  ReleaseNameList3ds(&db->objects);
  ReleaseNameList3ds(&db->materials);
  ReleaseNameList3ds(&db->nodes);
  db->objectsDirty = db->materialsDirty = db->nodesDirty = 1;
}

}  // namespace

extern "C" {

// ---- Chunks ----

void InitChunk3ds(Chunk3ds **chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *chunk = NewChunk(0);
}

void InitChunkAs3ds(Chunk3ds **chunk, uint32_t tag) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *chunk = NewChunk(tag);
}

void *InitChunkAndData3ds(Chunk3ds **chunk, uint32_t tag) {
  InitChunkAs3ds(chunk, tag);
  if (!chunk || !*chunk) return nullptr;
  return InitChunkData3ds(*chunk);
}

void ReleaseChunk3ds(Chunk3ds **chunk) {
  if (!chunk) return;
  if (*chunk) ForgetPlaces();
  FreeChain(*chunk);
  *chunk = nullptr;
}

void ClearChunk3ds(Chunk3ds *chunk) {
  if (!chunk) return;
  ForgetPlaces();  // the tag changes
  ReleaseChunk3ds(&chunk->children);
  FreeChunkData3ds(chunk);
  chunk->tag = 0;
  chunk->size = 0;
  chunk->position = 0;
  chunk->readIndex = NO_FILE_INDEX3DS;
  chunk->writeIndex = NO_FILE_INDEX3DS;
}

void FindChunk3ds(Chunk3ds *start, uint32_t tag, Chunk3ds **found) {
  if (!found) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *found = start ? FindInTree(start, tag) : nullptr;
}

void FindNextChunk3ds(Chunk3ds *start, uint32_t tag, Chunk3ds **found) {
  if (!found) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds *c = start;
  while (c && c->tag != tag) c = c->next;
  *found = c;
}

void AppendChildChunk3ds(Chunk3ds *parent, Chunk3ds *child) {
  if (!parent || !child) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds **tail = &parent->children;
  while (*tail) tail = &(*tail)->next;
  *tail = child;
}

void AddChildChunk3ds(Chunk3ds *parent, Chunk3ds *child) {
  if (!parent || !child) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  InsertInOrder(parent, child);
}

void SetChildChunk3ds(Chunk3ds *parent, uint32_t tag, Chunk3ds **child) {
  if (!parent || !child) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds *existing = FirstChild(parent, tag);
  if (existing) {
    ClearChunk3ds(existing);
    existing->tag = tag;
    *child = existing;
    return;
  }
  InitChunkAs3ds(child, tag);
  if (*child) AddChildChunk3ds(parent, *child);
}

void CopyChunk3ds(Chunk3ds *source, Chunk3ds **copy) {
  if (!source || !copy) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *copy = CopyTree(source);
}

void ReadChildren3ds(Chunk3ds *chunk) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!ReadTree(chunk, 0, chunk->tag == kXDataEntry)) PushErrList3ds(ERR_READING_DATABASE);
}

void WriteChunk3ds(Chunk3ds *chunk, uint8_t slot) {
  if (!chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteTree(chunk, slot);
}

// ---- Databases ----

void InitDatabase3ds(Database3ds **db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*db) {
    *db = static_cast<Database3ds *>(calloc(1, sizeof(Database3ds)));
    if (!*db) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
  }
  ReleaseChunk3ds(&(*db)->topChunk);
  ReleaseLists(*db);
}

void ReleaseDatabase3ds(Database3ds **db) {
  if (!db || !*db) return;
  ReleaseChunk3ds(&(*db)->topChunk);
  ReleaseLists(*db);
  free(*db);
  *db = nullptr;
}

void CreateNewDatabase3ds(Database3ds *db, uint32_t kind) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  uint32_t tag = 0;
  if (kind == MeshFile3ds) tag = kMeshFile;
  if (kind == ProjectFile3ds) tag = kProjectFile;
  if (kind == MaterialFile3ds) tag = kMaterialLibrary;
  if (!tag) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  ReleaseChunk3ds(&db->topChunk);
  ReleaseLists(db);
  InitChunkAs3ds(&db->topChunk, tag);
  if (!db->topChunk) {
    PushErrList3ds(ERR_CREATING_DATABASE);
    return;
  }
  SetDatabaseRelease3ds(db, 2);
}

uint32_t GetDatabaseType3ds(const Database3ds *db) {
  if (!db || !db->topChunk) return NoDatabase3ds;
  switch (db->topChunk->tag) {
    case kMeshFile: return MeshFile3ds;
    case kProjectFile: return ProjectFile3ds;
    case kMaterialLibrary: return MaterialFile3ds;
    default: return NoDatabase3ds;
  }
}

void ReadDatabase3ds(File3ds *file, Database3ds *db) {
  if (!file || !db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (file->mode != 1 && file->mode != 3) return;
  ReleaseChunk3ds(&db->topChunk);
  ReleaseLists(db);
  InitChunk3ds(&db->topChunk);
  if (!db->topChunk) {
    PushErrList3ds(ERR_CREATING_DATABASE);
    return;
  }
  Chunk3ds *top = db->topChunk;
  top->readIndex = file->index;
  SetContext3ds(file);
  uint32_t serial = ErrorSerial();
  uint32_t fileLength = FileLength(GetCurrentStream3ds());
  FileSeek3ds(0);
  uint32_t tag = 0, length = 0;
  ReadHeader3ds(&tag, &length);
  if (ErrorSerial() != serial) {
    PushErrList3ds(ERR_CREATING_DATABASE);
    return;
  }
  top->tag = tag;
  top->size = length;
  if (!KnownTop(tag)) {
    // Kept as it is, but a length that the file cannot hold is never read.
    if (length < 6 || length > fileLength) top->readIndex = NO_FILE_INDEX3DS;
    return;
  }
  if (length < 6 || length > fileLength) {
    PushErrList3ds(ERR_INVALID_CHUNK);
    PushErrList3ds(ERR_READING_DATABASE);
    PushErrList3ds(ERR_CREATING_DATABASE);
    return;
  }
  ReadChildren3ds(top);
  if (ErrorSerial() != serial) {
    PushErrList3ds(ERR_CREATING_DATABASE);
    return;
  }
  LinkNodesAfterRead(db);
  if (ErrorSerial() != serial) PushErrList3ds(ERR_CREATING_DATABASE);
}

void WriteDatabase3ds(File3ds *file, Database3ds *db) {
  if (!file || !db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  uint32_t serial = ErrorSerial();
  SetDatabaseRelease3ds(db, 2);
  if (ErrorSerial() != serial && !ignoreftkerr3ds) return;
  if (file->mode != 2 || !db->topChunk) return;
  NumberNodesForWrite(db);
  if (ErrorSerial() != serial) {
    PushErrList3ds(ERR_WRITING_DATABASE);
    if (!ignoreftkerr3ds) return;
  }
  SetContext3ds(file);
  FileSeek3ds(0);
  db->topChunk->writeIndex = file->index;
  WriteChunk3ds(db->topChunk, file->index);
  SetContext3ds(file);
  FlushCurrentFile();
  if (ErrorSerial() != serial) PushErrList3ds(ERR_WRITING_DATABASE);
}

void SetDatabaseRelease3ds(Database3ds *db, uint32_t release) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!db->topChunk) {
    PushErrList3ds(ERR_INVALID_DATA);
    return;
  }
  uint32_t kind = GetDatabaseType3ds(db);
  Chunk3ds *top = db->topChunk;
  uint32_t serial = ErrorSerial();
  if (kind == MeshFile3ds) {
    Chunk3ds *version = nullptr;
    SetChildChunk3ds(top, kM3dVersion, &version);
    int32_t *value = version ? static_cast<int32_t *>(InitChunkData3ds(version)) : nullptr;
    if (!value) {
      if (ErrorSerial() == serial) PushErrList3ds(kErrMakingChunk);
      return;
    }
    *value = static_cast<int32_t>(release + 1);
  }
  if (kind != MeshFile3ds && kind != ProjectFile3ds) return;
  Chunk3ds *section = GetMeshSection(db);
  if (!section) return;
  Chunk3ds *version = nullptr;
  SetChildChunk3ds(section, kMeshVersion, &version);
  int32_t *value = version ? static_cast<int32_t *>(InitChunkData3ds(version)) : nullptr;
  if (!value) {
    if (ErrorSerial() == serial) PushErrList3ds(kErrMakingChunk);
    return;
  }
  *value = static_cast<int32_t>(release + 1);

  Chunk3ds *kf = FindKfSection(top);
  if (!kf) {
    InitChunkAs3ds(&kf, kKfSection);
    if (!kf) return;
    AddChildChunk3ds(top, kf);
  }
  Chunk3ds *header = FirstChild(kf, kKfHeader);
  KfHeaderData *data = nullptr;
  if (header) {
    data = static_cast<KfHeaderData *>(ReadChunkData3ds(header));
  } else if ((header = AddDataChild(kf, kKfHeader))) {
    data = static_cast<KfHeaderData *>(header->data);
    data->animLength = 30;
  }
  if (!data) return;
  static const uint16_t kRevisions[4] = {1, 2, 5, 6};
  if (release < 4) {
    data->revision = kRevisions[release];
    TouchChunk(header);
  }
}

}  // extern "C"
