// The name lists of a database: named objects, material entries and keyframe nodes, each a
// cache over the chunk tree, with an index for lookups by name, by node tag and of the objects
// that hold a mesh. The record writers add their new entries to a list that is up to date, so
// that putting many records does not rebuild the list for each one.
#include "ftk3ds/internal.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

using namespace ftk3ds;

namespace {

const uint32_t kNone = 0xFFFFFFFFu;

// The entries of each name, as the first and last of a run chained by the index's nextSame.
struct NameRun {
  uint32_t first, last;
};

// Names to runs by open addressing over the names' hashes: a lookup in a list of thousands
// touches one place in one array, and reads an entry's name only when the hashes match.
class NameTable {
 public:
  // The run of a name, null when the list has none.
  NameRun *Find(const char *name, const NameListEntry3ds *entries) {
    if (slots_.empty()) return nullptr;
    uint64_t hash = Hash(name);
    for (size_t i = hash & Mask();; i = (i + 1) & Mask()) {
      Slot &slot = slots_[i];
      if (slot.run.first == kNone) return nullptr;
      if (slot.hash == hash && strcmp(entries[slot.run.first].name, name) == 0) return &slot.run;
    }
  }

  // Adds the entry at position: a new name, or the last of its name's run.
  void Add(const NameListEntry3ds *entries, uint32_t position, std::vector<uint32_t> *nextSame) {
    const char *name = entries[position].name;
    if (NameRun *run = Find(name, entries)) {
      (*nextSame)[run->last] = position;
      run->last = position;
      return;
    }
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    Place(Slot{Hash(name), {position, position}});
    ++used_;
  }

 private:
  struct Slot {
    uint64_t hash;
    NameRun run;  // first is kNone in an empty slot
  };

  static uint64_t Hash(const char *name) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(name); *c; ++c)
      hash = (hash ^ *c) * 1099511628211ull;
    return hash ^ (hash >> 29);
  }

  size_t Mask() const { return slots_.size() - 1; }

  void Place(const Slot &slot) {
    size_t i = slot.hash & Mask();
    while (slots_[i].run.first != kNone) i = (i + 1) & Mask();
    slots_[i] = slot;
  }

  void Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{0, {kNone, kNone}});
    for (const Slot &slot : old)
      if (slot.run.first != kNone) Place(slot);
  }

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  size_t used_ = 0;
};

}  // namespace

// Built over one array of entries: when the list no longer holds that array and count (it was
// changed from outside), the index is built again and knows no parent.
struct NameIndex3ds {
  Chunk3ds *parent = nullptr;  // the chunk whose children the list holds, null = not known
  const NameListEntry3ds *entries = nullptr;
  uint32_t count = 0;
  bool named = false;
  NameTable byName;  // entries of one name, chained by nextSame
  std::vector<uint32_t> nextSame;
  std::unordered_map<uint32_t, std::vector<uint32_t>> byTag;
  bool meshesKnown = false;
  std::vector<uint32_t> meshes;
};

namespace {

// The index of a list, made or made again when it does not match the list.
NameIndex3ds *Index(NameList3ds *list) {
  NameIndex3ds *index = list->index;
  if (index && index->entries == list->list && index->count == list->count) return index;
  delete index;
  index = new NameIndex3ds;
  index->entries = list->list;
  index->count = list->count;
  list->index = index;
  return index;
}

void AddName(NameIndex3ds *index, const NameListEntry3ds *entries, uint32_t position) {
  index->nextSame.push_back(kNone);
  if (entries[position].name) index->byName.Add(entries, position, &index->nextSame);
}

// The first entry of a name (kNone when there is none); the next ones follow nextSame.
uint32_t Named(NameList3ds *list, const char *name) {
  NameIndex3ds *index = Index(list);
  if (!index->named) {
    index->nextSame.reserve(list->count);
    for (uint32_t i = 0; i < list->count; ++i) AddName(index, list->list, i);
    index->named = true;
  }
  NameRun *run = index->byName.Find(name, list->list);
  return run ? run->first : kNone;
}

const std::vector<uint32_t> &Tagged(NameList3ds *list, uint32_t tag) {
  NameIndex3ds *index = Index(list);
  auto found = index->byTag.find(tag);
  if (found != index->byTag.end()) return found->second;
  std::vector<uint32_t> &positions = index->byTag[tag];
  for (uint32_t i = 0; i < list->count; ++i)
    if (list->list[i].chunk->tag == tag) positions.push_back(i);
  return positions;
}

bool HoldsMesh(Chunk3ds *object) {
  Chunk3ds *mesh = nullptr;
  FindChunk3ds(object, kTriMesh, &mesh);
  return mesh != nullptr;
}

const std::vector<uint32_t> &Meshes(NameList3ds *list) {
  NameIndex3ds *index = Index(list);
  if (!index->meshesKnown) {
    index->meshes.clear();
    for (uint32_t i = 0; i < list->count; ++i)
      if (HoldsMesh(list->list[i].chunk)) index->meshes.push_back(i);
    index->meshesKnown = true;
  }
  return index->meshes;
}

NameListEntry3ds *FindEntry(NameList3ds *list, const char *name) {
  if (!list || !name) return nullptr;
  uint32_t first = Named(list, name);
  return first == kNone ? nullptr : &list->list[first];
}

// ---- What each list holds ----

// The name a chunk's string data holds ("" when it has none).
const char *ChunkString(Chunk3ds *chunk, bool *ok) {
  if (!chunk) return "";
  uint32_t serial = ErrorSerial();
  const char *text = static_cast<const char *>(ReadChunkData3ds(chunk));
  if (ErrorSerial() != serial) *ok = false;
  return text ? text : "";
}

struct ListKind {
  bool (*select)(const Chunk3ds *chunk);
  // The entry's name; false for an entry without one. Clears *ok when reading fails.
  bool (*name)(Chunk3ds *chunk, std::string *name, bool *ok);
};

bool IsObject(const Chunk3ds *c) { return c->tag == kNamedObject; }
bool IsMaterial(const Chunk3ds *c) { return c->tag == kMatEntry; }
bool IsNode(const Chunk3ds *c) { return c->tag >= kAmbientNode && c->tag <= kSpotlightNode; }

bool ObjectName(Chunk3ds *c, std::string *name, bool *ok) {
  *name = ChunkString(c, ok);
  return true;
}

bool MaterialName(Chunk3ds *c, std::string *name, bool *ok) {
  *name = ChunkString(FirstChild(c, kMatName), ok);
  return true;
}

// A node is named by its header; an object node with an instance name by both, joined by ".".
bool NodeName(Chunk3ds *c, std::string *name, bool *ok) {
  Chunk3ds *header = FirstChild(c, kNodeHeader);
  if (!header) return false;
  uint32_t serial = ErrorSerial();
  auto *data = static_cast<NodeHeaderData *>(ReadChunkData3ds(header));
  if (!data || ErrorSerial() != serial) {
    *ok = false;
    return false;
  }
  *name = data->name ? data->name : "";
  Chunk3ds *instance = c->tag == kObjectNode ? FirstChild(c, kInstanceName) : nullptr;
  if (instance) {
    *name += '.';
    *name += ChunkString(instance, ok);
  }
  return true;
}

const ListKind kObjects = {IsObject, ObjectName};
const ListKind kMaterials = {IsMaterial, MaterialName};
const ListKind kNodes = {IsNode, NodeName};

// Fills an entry for a chunk; false when its name cannot be read or copied.
bool FillEntry(const ListKind &kind, Chunk3ds *chunk, NameListEntry3ds *entry) {
  entry->chunk = chunk;
  entry->name = nullptr;
  bool ok = true;
  std::string text;
  bool hasName = kind.name(chunk, &text, &ok);
  if (ok && hasName && !(entry->name = CopyString(text.c_str(), text.size()))) ok = false;
  return ok;
}

// Builds a list from the children of parent that the kind selects.
bool BuildList(NameList3ds **list, Chunk3ds *parent, const ListKind &kind) {
  ReleaseNameList3ds(list);
  uint32_t count = 0;
  if (parent)
    for (Chunk3ds *c = parent->children; c; c = c->next)
      if (kind.select(c)) ++count;
  uint32_t serial = ErrorSerial();
  InitNameList3ds(list, count);
  if (ErrorSerial() != serial) return false;
  uint32_t i = 0;
  if (parent) {
    for (Chunk3ds *c = parent->children; c; c = c->next) {
      if (!kind.select(c)) continue;
      if (!FillEntry(kind, c, &(*list)->list[i++])) {
        (*list)->count = i;  // keep only the entries that were filled
        return false;
      }
    }
  }
  Index(*list)->parent = parent;
  return true;
}

// Room for one more entry: the array grows to the next power of two.
bool Grow(NameList3ds *list) {
  uint32_t room = 1;
  while (room < list->count + 1) room *= 2;
  void *grown = realloc(list->list, static_cast<size_t>(room) * sizeof(NameListEntry3ds));
  if (!grown) return false;
  NameIndex3ds *index = Index(list);
  list->list = static_cast<NameListEntry3ds *>(grown);
  index->entries = list->list;
  return true;
}

// True when a chunk follows the last chunk a list holds among their siblings, so that it
// belongs at the end of the list.
bool FollowsList(const NameList3ds *list, const Chunk3ds *chunk) {
  if (list->count == 0) return true;
  for (const Chunk3ds *c = list->list[list->count - 1].chunk->next; c; c = c->next)
    if (c == chunk) return true;
  return false;
}

// Adds the entry of a chunk just added below the list's parent. False when the list must be
// built again instead: it is out of date, from another parent, or the chunk is not its last.
bool AppendEntry(NameList3ds *list, bool dirty, const ListKind &kind, Chunk3ds *parent, Chunk3ds *chunk) {
  if (dirty || !list || !list->index || Index(list)->parent != parent || !parent) return false;
  if (!kind.select(chunk) || !FollowsList(list, chunk)) return false;
  NameListEntry3ds entry;
  if (!Grow(list) || !FillEntry(kind, chunk, &entry)) return false;
  NameIndex3ds *index = Index(list);
  uint32_t position = list->count++;
  list->list[position] = entry;
  index->count = list->count;
  if (index->named) AddName(index, list->list, position);
  auto tagged = index->byTag.find(chunk->tag);
  if (tagged != index->byTag.end()) tagged->second.push_back(position);
  if (index->meshesKnown && HoldsMesh(chunk)) index->meshes.push_back(position);
  return true;
}

}  // namespace

namespace ftk3ds {

void NoteObjectAdded(Database3ds *db, Chunk3ds *section, Chunk3ds *object) {
  if (!AppendEntry(db->objects, db->objectsDirty, kObjects, section, object)) db->objectsDirty = 1;
}

void NoteMaterialAdded(Database3ds *db, Chunk3ds *section, Chunk3ds *entry) {
  if (!AppendEntry(db->materials, db->materialsDirty, kMaterials, section, entry)) db->materialsDirty = 1;
}

void NoteNodeAdded(Database3ds *db, Chunk3ds *kf, Chunk3ds *node) {
  if (!AppendEntry(db->nodes, db->nodesDirty, kNodes, kf, node)) db->nodesDirty = 1;
}

void NoteObjectReplaced(Database3ds *db) {
  if (db->objects && db->objects->index) db->objects->index->meshesKnown = false;
}

uint32_t MeshObjectCount(Database3ds *db) {
  UpdateNamedObjectList3ds(db);
  return db->objects ? static_cast<uint32_t>(Meshes(db->objects).size()) : 0;
}

Chunk3ds *MeshObjectAt(Database3ds *db, uint32_t index) {
  UpdateNamedObjectList3ds(db);
  if (!db->objects) return nullptr;
  const std::vector<uint32_t> &meshes = Meshes(db->objects);
  return index < meshes.size() ? db->objects->list[meshes[index]].chunk : nullptr;
}

}  // namespace ftk3ds

extern "C" {

void InitNameList3ds(NameList3ds **list, uint32_t count) {
  if (!list) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *list = static_cast<NameList3ds *>(calloc(1, sizeof(NameList3ds)));
  if (!*list) {
    PushErrList3ds(ERR_NO_MEM);
    return;
  }
  if (count > 0) {
    (*list)->list = static_cast<NameListEntry3ds *>(AllocArray(count, sizeof(NameListEntry3ds)));
    if (!(*list)->list) {
      free(*list);
      *list = nullptr;
      return;
    }
  }
  (*list)->count = count;
}

void ReleaseNameList3ds(NameList3ds **list) {
  if (!list || !*list) return;
  for (uint32_t i = 0; i < (*list)->count; ++i) free((*list)->list[i].name);
  free((*list)->list);
  delete (*list)->index;
  free(*list);
  *list = nullptr;
}

void UpdateNamedObjectList3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!db->objectsDirty && db->objects) return;
  Chunk3ds *section = nullptr;
  FindChunk3ds(db->topChunk, kMeshSection, &section);
  db->objectsDirty = BuildList(&db->objects, section, kObjects) ? 0 : 1;
}

void UpdateMaterialList3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!db->materialsDirty && db->materials) return;
  Chunk3ds *section = nullptr;
  FindChunk3ds(db->topChunk, kMeshSection, &section);
  if (!section) FindChunk3ds(db->topChunk, kMaterialLibrary, &section);
  db->materialsDirty = BuildList(&db->materials, section, kMaterials) ? 0 : 1;
}

void UpdateNodeList3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!db->nodesDirty && db->nodes) return;
  Chunk3ds *kf = FindKfSection(db->topChunk);
  db->nodesDirty = BuildList(&db->nodes, kf, kNodes) ? 0 : 1;
}

void MarkObjectListDirty3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  db->objectsDirty = 1;
}

void MarkMaterialListDirty3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  db->materialsDirty = 1;
}

void MarkNodeListDirty3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  db->nodesDirty = 1;
}

void FindNamedObject3ds(Database3ds *db, const char *name, Chunk3ds **chunk) {
  if (!db || !name || !chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *chunk = nullptr;
  UpdateNamedObjectList3ds(db);
  if (NameListEntry3ds *entry = FindEntry(db->objects, name)) *chunk = entry->chunk;
}

void FindMaterialByName3ds(Database3ds *db, const char *name, Chunk3ds **chunk) {
  if (!db || !name || !chunk) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *chunk = nullptr;
  UpdateMaterialList3ds(db);
  if (NameListEntry3ds *entry = FindEntry(db->materials, name)) *chunk = entry->chunk;
}

Chunk3ds *GetMaterialChunkByIndex3ds(Database3ds *db, uint32_t index) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  if (!db->topChunk) {
    PushErrList3ds(ERR_INVALID_DATABASE);
    return nullptr;
  }
  if (GetDatabaseType3ds(db) == NoDatabase3ds) {
    PushErrList3ds(ERR_WRONG_DATABASE);
    return nullptr;
  }
  UpdateMaterialList3ds(db);
  if (!db->materials || index >= db->materials->count) return nullptr;
  return db->materials->list[index].chunk;
}

Chunk3ds *FindNodeByName3ds(Database3ds *db, const char *name, uint32_t tag) {
  if (!db || !name) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  UpdateNodeList3ds(db);
  if (!db->nodes) return nullptr;
  for (uint32_t i = Named(db->nodes, name); i != kNone; i = db->nodes->index->nextSame[i])
    if (db->nodes->list[i].chunk->tag == tag) return db->nodes->list[i].chunk;
  return nullptr;
}

Chunk3ds *FindNodeByIndex3ds(Database3ds *db, uint32_t index, uint32_t tag) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  UpdateNodeList3ds(db);
  if (!db->nodes) return nullptr;
  const std::vector<uint32_t> &nodes = Tagged(db->nodes, tag);
  return index < nodes.size() ? db->nodes->list[nodes[index]].chunk : nullptr;
}

uint32_t GetNodeCountByType3ds(Database3ds *db, uint32_t tag) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return 0;
  }
  UpdateNodeList3ds(db);
  return db->nodes ? static_cast<uint32_t>(Tagged(db->nodes, tag).size()) : 0;
}

}  // extern "C"
