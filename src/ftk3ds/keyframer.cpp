// Keyframer records: object motions, keyframer settings, node ids and parent links.
#include "ftk3ds/internal.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

using namespace ftk3ds;

namespace {

const char kDummyName[] = "$$$DUMMY";

// Node tags that get ids, in the order in which parents are linked after reading.
const uint32_t kNodeTags[] = {kTargetNode, kObjectNode, kCameraNode, kLightNode, kLightTargetNode,
                              kSpotlightNode};

struct NodeEntry {
  Chunk3ds *node;
  uint16_t id;
  std::string name;
  std::string instance;
  uint16_t parent;
  Chunk3ds *header;  // null when the node has none
};

bool ReadString(Chunk3ds *chunk, std::string *text) {
  if (!chunk) return true;
  uint32_t serial = ErrorSerial();
  const char *data = static_cast<const char *>(ReadChunkData3ds(chunk));
  if (ErrorSerial() != serial) return false;
  *text = data ? data : "";
  return true;
}

// Sets a node's id chunk 0xB030, made when missing.
bool SetNodeId(Chunk3ds *node, uint16_t id) {
  Chunk3ds *chunk = FirstChild(node, kNodeId);
  if (!chunk && !(chunk = AddDataChild(node, kNodeId))) return false;
  uint32_t serial = ErrorSerial();
  if (!chunk->data) InitChunkData3ds(chunk);
  if (!chunk->data || ErrorSerial() != serial) return false;
  *static_cast<uint16_t *>(chunk->data) = id;
  TouchChunk(chunk);
  return true;
}

// Collects the nodes below the keyframer section with the ids they hold.
bool CollectNodes(Chunk3ds *kf, std::vector<NodeEntry> *nodes) {
  uint32_t serial = ErrorSerial();
  for (Chunk3ds *c = kf->children; c; c = c->next) {
    if (!IsNodeTag(c->tag)) continue;
    NodeEntry entry{c, 0xFFFF, std::string(), std::string(), 0xFFFF, nullptr};
    Chunk3ds *header = FirstChild(c, kNodeHeader);
    if (header) {
      auto *data = static_cast<NodeHeaderData *>(ReadChunkData3ds(header));
      if (ErrorSerial() != serial) return false;
      if (data) {
        entry.name = data->name ? data->name : "";
        entry.parent = data->parent;
      }
    }
    if (c->tag == kObjectNode && !ReadString(FirstChild(c, kInstanceName), &entry.instance))
      return false;
    if (Chunk3ds *idChunk = FirstChild(c, kNodeId)) {
      auto *id = static_cast<uint16_t *>(ReadChunkData3ds(idChunk));
      if (ErrorSerial() != serial) return false;
      if (id) entry.id = *id;
    }
    nodes->push_back(entry);
  }
  return true;
}

// Gives the nodes below the keyframer section their ids in order (an ambient node that has an
// id chunk gets 0xFFFF) and collects them with their headers read, in one pass.
bool NumberNodes(Chunk3ds *kf, std::vector<NodeEntry> *nodes) {
  uint32_t serial = ErrorSerial();
  uint16_t next = 0;
  for (Chunk3ds *c = kf->children; c; c = c->next) {
    PrefetchLinks(c);
    if (c->tag == kAmbientNode) {
      if (FirstChild(c, kNodeId) && !SetNodeId(c, 0xFFFF)) return false;
      continue;
    }
    if (!IsNodeTag(c->tag)) continue;
    NodeEntry entry{c, next, std::string(), std::string(), 0xFFFF, nullptr};
    if (!SetNodeId(c, next++)) return false;
    if ((entry.header = FirstChild(c, kNodeHeader))) {
      auto *data = static_cast<NodeHeaderData *>(ReadChunkData3ds(entry.header));
      if (ErrorSerial() != serial) return false;
      if (data) entry.name = data->name ? data->name : "";
    }
    if (c->tag == kObjectNode && !ReadString(FirstChild(c, kInstanceName), &entry.instance))
      return false;
    nodes->push_back(entry);
  }
  return true;
}

// Stores the parent name in the 0x80F0 child of a node header.
bool StoreParentName(Chunk3ds *header, const std::string &name) {
  Chunk3ds *chunk = FirstChild(header, kParentName);
  if (!chunk) {
    chunk = nullptr;
    InitChunkAs3ds(&chunk, kParentName);
    if (!chunk) return false;
    AddChildChunk3ds(header, chunk);
  }
  char *text = CopyRecordString(name.c_str(), name.size());
  if (!text) return false;
  FreeChunkData3ds(chunk);
  chunk->data = text;
  TouchChunk(chunk);
  return true;
}

// Keeps a copy of the extra data (0x8000) of a record chunk that is about to be cleared.
Chunk3ds *KeepExtraData(Chunk3ds *chunk) {
  Chunk3ds *extra = nullptr;
  FindChunk3ds(chunk, kXDataSection, &extra);
  Chunk3ds *copy = nullptr;
  if (extra) CopyChunk3ds(extra, &copy);
  if (copy) copy->next = nullptr;
  return copy;
}

void FreeTracks(ObjectMotion3ds *m) {
  free(m->posKeys);
  free(m->pos);
  free(m->rotKeys);
  free(m->rot);
  free(m->scaleKeys);
  free(m->scale);
  free(m->morphKeys);
  free(m->morph);
  free(m->hideKeys);
}

void ResetMotion(ObjectMotion3ds *m) {
  FreeTracks(m);
  memset(m, 0, sizeof *m);
  m->morphSmooth = 24.0f;
}

// Own copies of the arrays of a track read from the database (ERR_NO_MEM pushed when memory
// runs out).
template <typename T>
void CopyTrack(Chunk3ds *chunk, uint32_t *count, uint16_t *flags, KeyHeader3ds **keys, T **values) {
  auto *data = static_cast<const TrackData *>(chunk->data);
  size_t valueSize = TrackValueSize(chunk->tag);
  auto *newKeys = static_cast<KeyHeader3ds *>(AllocFilled(data->count, sizeof(KeyHeader3ds)));
  void *newValues = values ? AllocFilled(data->count, valueSize) : nullptr;
  if (data->count && (!newKeys || (values && valueSize && !newValues))) {
    free(newKeys);
    free(newValues);
    return;
  }
  if (newKeys) memcpy(newKeys, data->keys, data->count * sizeof(KeyHeader3ds));
  if (newValues) memcpy(newValues, data->values, data->count * valueSize);
  free(*keys);
  *keys = newKeys;
  if (values) {
    free(*values);
    *values = static_cast<T *>(newValues);
  }
  *count = data->count;
  *flags = data->flags;
}

template <typename T>
bool PutTrack(Chunk3ds *node, uint32_t tag, uint32_t count, uint16_t flags, const KeyHeader3ds *keys,
              const T *values) {
  uint32_t valueSize = TrackValueSize(tag);
  if (count == 0 || !keys || (valueSize && !values)) return true;
  Chunk3ds *chunk = AddDataChild(node, tag);
  if (!chunk) return false;
  auto *data = static_cast<TrackData *>(chunk->data);
  data->flags = flags;
  data->keys = static_cast<KeyHeader3ds *>(AllocRecordFilled(count, sizeof(KeyHeader3ds)));
  if (!data->keys) return false;
  memcpy(data->keys, keys, count * sizeof(KeyHeader3ds));
  if (valueSize) {
    data->values = AllocRecordFilled(count, valueSize);
    if (!data->values) return false;
    memcpy(data->values, values, static_cast<size_t>(count) * valueSize);
  }
  data->count = count;
  return true;
}

std::string ListName(const char *name, const char *instance) {
  std::string text(name, strnlen(name, 10));
  if (instance[0]) {
    text += '.';
    text.append(instance, strnlen(instance, 10));
  }
  return text;
}

}  // namespace

namespace ftk3ds {

void LinkNodesAfterRead(Database3ds *db) {
  Chunk3ds *kf = FindKfSection(db->topChunk);
  if (!kf) return;
  std::vector<NodeEntry> nodes;
  if (!CollectNodes(kf, &nodes)) return;
  bool renumber = false;
  for (const NodeEntry &e : nodes) renumber = renumber || e.id == 0xFFFF;
  if (renumber)
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i].id = static_cast<uint16_t>(i);
  std::unordered_map<uint16_t, const NodeEntry *> byId;
  for (const NodeEntry &e : nodes) byId.emplace(e.id, &e);
  for (uint32_t tag : kNodeTags) {
    for (const NodeEntry &e : nodes) {
      if (e.node->tag != tag || e.parent == 0xFFFF) continue;
      auto found = byId.find(e.parent);
      const NodeEntry *parent = found == byId.end() ? nullptr : found->second;
      Chunk3ds *header = FirstChild(e.node, kNodeHeader);
      if (!parent || !header) continue;
      std::string name = parent->instance.empty() ? parent->name : parent->name + "." + parent->instance;
      if (!StoreParentName(header, name)) return;
    }
  }
}

void NumberNodesForWrite(Database3ds *db) {
  Chunk3ds *kf = FindKfSection(db->topChunk);
  if (!kf) return;
  std::vector<NodeEntry> nodes;
  if (!NumberNodes(kf, &nodes)) return;
  std::unordered_map<std::string, uint16_t> byName;
  byName.reserve(nodes.size());
  for (const NodeEntry &e : nodes) byName.emplace(e.name + '\0' + e.instance, e.id);
  for (const NodeEntry &e : nodes) {
    if (!e.header) continue;
    auto *data = static_cast<NodeHeaderData *>(e.header->data);
    if (!data) return;
    std::string parentName;
    if (!ReadString(FirstChild(e.header, kParentName), &parentName)) return;
    uint16_t parent = 0xFFFF;
    if (!parentName.empty()) {
      size_t dot = parentName.find('.');
      std::string name = parentName.substr(0, dot);
      std::string instance = dot == std::string::npos ? std::string() : parentName.substr(dot + 1);
      auto found = byName.find(name + '\0' + instance);
      if (found != byName.end()) parent = found->second;
    }
    data->parent = parent;
    TouchChunk(e.header);
  }
}

}  // namespace ftk3ds

extern "C" {

void InitObjectMotion3ds(ObjectMotion3ds **motion, uint32_t nPos, uint32_t nRot, uint32_t nScale,
                         uint32_t nMorph, uint32_t nHide) {
  if (!motion) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*motion) {
    *motion = static_cast<ObjectMotion3ds *>(calloc(1, sizeof(ObjectMotion3ds)));
    if (!*motion) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
    (*motion)->morphSmooth = 24.0f;
  }
  ObjectMotion3ds *m = *motion;
  auto track = [](uint32_t n, uint32_t *count, uint16_t *flags, KeyHeader3ds **keys, void **values,
                  size_t valueSize) {
    if (n == 0) return;
    free(*keys);
    *keys = static_cast<KeyHeader3ds *>(AllocArray(n, sizeof(KeyHeader3ds)));
    if (values) {
      free(*values);
      *values = AllocArray(n, valueSize);
    }
    *count = *keys && (!values || *values) ? n : 0;
    *flags = 0;
  };
  void *values = m->pos;
  track(nPos, &m->posKeyCount, &m->posFlags, &m->posKeys, &values, sizeof(Point3ds));
  m->pos = static_cast<Point3ds *>(values);
  values = m->rot;
  track(nRot, &m->rotKeyCount, &m->rotFlags, &m->rotKeys, &values, sizeof(Rotation3ds));
  m->rot = static_cast<Rotation3ds *>(values);
  values = m->scale;
  track(nScale, &m->scaleKeyCount, &m->scaleFlags, &m->scaleKeys, &values, sizeof(Point3ds));
  m->scale = static_cast<Point3ds *>(values);
  values = m->morph;
  track(nMorph, &m->morphKeyCount, &m->morphFlags, &m->morphKeys, &values, sizeof(MorphName3ds));
  m->morph = static_cast<MorphName3ds *>(values);
  track(nHide, &m->hideKeyCount, &m->hideFlags, &m->hideKeys, nullptr, 0);
}

void ReleaseObjectMotion3ds(ObjectMotion3ds **motion) {
  if (!motion || !*motion) return;
  FreeTracks(*motion);
  free(*motion);
  *motion = nullptr;
}

uint32_t GetObjectMotionCount3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return 0;
  }
  return GetNodeCountByType3ds(db, kObjectNode);
}

void GetObjectMotionByIndex3ds(Database3ds *db, uint32_t index, ObjectMotion3ds **motion) {
  if (!motion || !CheckMeshDatabase(db)) {
    if (!motion) PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds *node = FindNodeByIndex3ds(db, index, kObjectNode);
  if (node) ReadObjectMotion3ds(node, motion);
}

void GetObjectMotionByName3ds(Database3ds *db, const char *name, ObjectMotion3ds **motion) {
  if (!motion || !name || !CheckMeshDatabase(db)) {
    if (!motion || !name) PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  Chunk3ds *node = FindNodeByName3ds(db, name, kObjectNode);
  if (node) ReadObjectMotion3ds(node, motion);
}

void ReadObjectMotion3ds(Chunk3ds *node, ObjectMotion3ds **motion) {
  if (!node || !motion) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (node->tag != kObjectNode) {
    PushErrList3ds(ERR_WRONG_OBJECT);
    return;
  }
  uint32_t serial = ErrorSerial();
  if (*motion)
    ResetMotion(*motion);
  else
    InitObjectMotion3ds(motion, 0, 0, 0, 0, 0);
  if (!*motion) return;
  ObjectMotion3ds *m = *motion;
  for (Chunk3ds *c = node->children; c && ErrorSerial() == serial; c = c->next) {
    bool wanted = c->tag == kNodeHeader || c->tag == kInstanceName || c->tag == kPivot ||
                  c->tag == kBoundBox || c->tag == kMorphSmooth || c->tag == kPosTrack ||
                  c->tag == kRotTrack || c->tag == kScaleTrack || c->tag == kMorphTrack ||
                  c->tag == kHideTrack;
    if (!wanted) continue;
    void *data = ReadChunkData3ds(c);
    if (ErrorSerial() != serial) break;
    if (!data) continue;
    switch (c->tag) {
      case kNodeHeader: {
        auto *h = static_cast<NodeHeaderData *>(data);
        CopyName(m->name, sizeof m->name, h->name);
        m->flags1 = h->flags1;
        m->flags2 = h->flags2;
        Chunk3ds *parent = FirstChild(c, kParentName);
        const char *text = parent ? static_cast<const char *>(ReadChunkData3ds(parent)) : nullptr;
        CopyName(m->parent, sizeof m->parent, text);
        break;
      }
      case kInstanceName: CopyName(m->instance, sizeof m->instance, static_cast<char *>(data)); break;
      case kPivot: memcpy(&m->pivot, data, sizeof(Point3ds)); break;
      case kBoundBox: {
        const float *v = static_cast<const float *>(data);
        m->boundMin = {v[0], v[1], v[2]};
        m->boundMax = {v[3], v[4], v[5]};
        break;
      }
      case kMorphSmooth: m->morphSmooth = *static_cast<float *>(data); break;
      case kPosTrack: CopyTrack(c, &m->posKeyCount, &m->posFlags, &m->posKeys, &m->pos); break;
      case kRotTrack: CopyTrack(c, &m->rotKeyCount, &m->rotFlags, &m->rotKeys, &m->rot); break;
      case kScaleTrack: CopyTrack(c, &m->scaleKeyCount, &m->scaleFlags, &m->scaleKeys, &m->scale); break;
      case kMorphTrack: CopyTrack(c, &m->morphKeyCount, &m->morphFlags, &m->morphKeys, &m->morph); break;
      case kHideTrack:
        CopyTrack<void>(c, &m->hideKeyCount, &m->hideFlags, &m->hideKeys, nullptr);
        break;
      default: break;
    }
  }
}

void PutObjectMotion3ds(Database3ds *db, const ObjectMotion3ds *motion) {
  if (!motion) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!CheckMeshDatabase(db)) return;
  uint32_t serial = ErrorSerial();
  Chunk3ds *kf = nullptr;
  GetKfSection3ds(db->topChunk, &kf);
  if (!kf) return;
  Chunk3ds *extra = nullptr;
  std::string listName = ListName(motion->name, motion->instance);
  Chunk3ds *old = FindNodeByName3ds(db, listName.c_str(), kObjectNode);
  if (old) {
    extra = KeepExtraData(old);
    ClearChunk3ds(old);
    MarkNodeListDirty3ds(db);  // the cleared node leaves the list
  }
  if (ErrorSerial() != serial) {
    ReleaseChunk3ds(&extra);
    return;
  }
  Chunk3ds *node = nullptr;
  InitChunkAs3ds(&node, kObjectNode);
  if (!node) {
    PushErrList3ds(kErrMakingChunk);
    ReleaseChunk3ds(&extra);
    return;
  }
  AddChildChunk3ds(kf, node);

  Chunk3ds *id = AddDataChild(node, kNodeId);
  Chunk3ds *header = id ? AddDataChild(node, kNodeHeader) : nullptr;
  if (!header) {
    ReleaseChunk3ds(&extra);
    MarkNodeListDirty3ds(db);
    return;
  }
  *static_cast<uint16_t *>(id->data) = 0xFFFF;
  auto *h = static_cast<NodeHeaderData *>(header->data);
  GiveRecordMemory(h->name);
  h->name = CopyRecordString(motion->name, 10);
  h->flags1 = motion->flags1;
  h->flags2 = motion->flags2;
  h->parent = 0xFFFF;
  bool ok = h->name != nullptr;
  size_t parentLength = strnlen(motion->parent, sizeof motion->parent - 1);
  if (ok && parentLength > 0)
    ok = StoreParentName(header, std::string(motion->parent, parentLength));
  if (ok && motion->instance[0]) {
    Chunk3ds *c = AddDataChild(node, kInstanceName);
    ok = c != nullptr;
    if (ok) {
      GiveRecordMemory(c->data);
      c->data = CopyRecordString(motion->instance, 10);
      ok = c->data != nullptr;
    }
  }
  if (ok && strncmp(motion->name, kDummyName, sizeof motion->name) == 0) {
    Chunk3ds *c = AddDataChild(node, kBoundBox);
    ok = c != nullptr;
    if (ok) {
      float *v = static_cast<float *>(c->data);
      const float box[6] = {motion->boundMin.x, motion->boundMin.y, motion->boundMin.z,
                            motion->boundMax.x, motion->boundMax.y, motion->boundMax.z};
      memcpy(v, box, sizeof box);
    }
  }
  if (ok && (motion->flags2 & 1)) {
    Chunk3ds *c = AddDataChild(node, kMorphSmooth);
    ok = c != nullptr;
    if (ok) *static_cast<float *>(c->data) = motion->morphSmooth;
  }
  if (ok) {
    Chunk3ds *c = AddDataChild(node, kPivot);
    ok = c != nullptr;
    if (ok) memcpy(c->data, &motion->pivot, sizeof(Point3ds));
  }
  ok = ok && PutTrack(node, kPosTrack, motion->posKeyCount, motion->posFlags, motion->posKeys, motion->pos);
  ok = ok && PutTrack(node, kRotTrack, motion->rotKeyCount, motion->rotFlags, motion->rotKeys, motion->rot);
  ok = ok && PutTrack(node, kScaleTrack, motion->scaleKeyCount, motion->scaleFlags, motion->scaleKeys,
                      motion->scale);
  ok = ok && PutTrack(node, kMorphTrack, motion->morphKeyCount, motion->morphFlags, motion->morphKeys,
                      motion->morph);
  ok = ok && PutTrack<void>(node, kHideTrack, motion->hideKeyCount, motion->hideFlags, motion->hideKeys,
                            nullptr);
  if (ok && extra) {
    AddChildChunk3ds(node, extra);
    extra = nullptr;
  }
  ReleaseChunk3ds(&extra);
  if (ok)
    NoteNodeAdded(db, kf, node);
  else
    MarkNodeListDirty3ds(db);
}

void InitKfSettings3ds(KfSettings3ds **kf) {
  if (!kf) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*kf) {
    *kf = static_cast<KfSettings3ds *>(calloc(1, sizeof(KfSettings3ds)));
    if (!*kf) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
  }
  **kf = KfSettings3ds{30, 0, 0, 0, 30};
}

void ReleaseKfSettings3ds(KfSettings3ds **kf) {
  if (!kf || !*kf) return;
  free(*kf);
  *kf = nullptr;
}

void GetKfSection3ds(Chunk3ds *top, Chunk3ds **section) {
  if (!top || !section) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *section = FirstChild(top, kKfSection);
  if (*section) return;
  InitChunkAs3ds(section, kKfSection);
  if (*section)
    AddChildChunk3ds(top, *section);
  else
    PushErrList3ds(kErrMakingChunk);
}

void PutKfSettings3ds(Database3ds *db, const KfSettings3ds *kf) {
  if (!kf) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!CheckMeshDatabase(db)) return;
  uint32_t serial = ErrorSerial();
  Chunk3ds *section = nullptr;
  GetKfSection3ds(db->topChunk, &section);
  if (!section) return;

  Chunk3ds *header = FirstChild(section, kKfHeader);
  KfHeaderData *h = nullptr;
  if (header) {
    h = static_cast<KfHeaderData *>(ReadChunkData3ds(header));
    if (!h && ErrorSerial() == serial) h = static_cast<KfHeaderData *>(InitChunkData3ds(header));
  } else if ((header = AddDataChild(section, kKfHeader))) {
    h = static_cast<KfHeaderData *>(header->data);
    h->revision = 5;
  }
  if (!h || ErrorSerial() != serial) return;
  h->animLength = static_cast<int32_t>(kf->animLength);
  TouchChunk(header);

  Chunk3ds *current = FirstChild(section, kKfCurrentFrame);
  if (current) {
    InitChunkData3ds(current);
    TouchChunk(current);
  } else {
    current = AddDataChild(section, kKfCurrentFrame);
  }
  if (!current || !current->data) {
    if (ErrorSerial() == serial) PushErrList3ds(kErrMakingChunk);
    return;
  }
  *static_cast<int32_t *>(current->data) = static_cast<int32_t>(kf->currentFrame);

  if (kf->segmentUsed) {
    Chunk3ds *segment = nullptr;
    SetChildChunk3ds(section, kKfSegment, &segment);
    int32_t *v = segment ? static_cast<int32_t *>(InitChunkData3ds(segment)) : nullptr;
    if (!v) {
      if (ErrorSerial() == serial) PushErrList3ds(kErrMakingChunk);
      return;
    }
    v[0] = static_cast<int32_t>(kf->segmentBegin);
    v[1] = static_cast<int32_t>(kf->segmentEnd);
  } else if (Chunk3ds *segment = FirstChild(section, kKfSegment)) {
    ClearChunk3ds(segment);
  }
}

}  // extern "C"
