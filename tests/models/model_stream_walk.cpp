#include "model_stream_walk.h"

#include <algorithm>
#include <cstring>

#include "models/relink.h"

namespace {

// The relink arrays of the object stream, by the class whose records they hold.
constexpr int kSceneGroups = RelinkTable::kSceneGroups;
constexpr int kAncestry = RelinkTable::kAncestryObjects;
constexpr int kRooms = RelinkTable::kRooms;
constexpr int kCells = RelinkTable::kWallFaceCells;
constexpr int kWalls = RelinkTable::kWalls;
constexpr int kPoles = RelinkTable::kWallPoles;

const char kHeader[] = "TAVO Vedra Archive Document...";

using S = StreamItem;

}  // namespace

void ModelStreamWalk::Fail(const std::string& why) {
  error = why + " at byte " + std::to_string(m_pos);
  throw Failure{};
}

size_t ModelStreamWalk::Take(size_t n, StreamItem::Kind kind, int array) {
  if (m_bytes->size() - m_pos < n) Fail("the file ends");
  items.push_back({kind, m_pos, n, array});
  m_pos += n;
  return m_pos - n;
}

uint32_t ModelStreamWalk::U32(StreamItem::Kind kind, int array) {
  const size_t at = Take(4, kind, array);
  uint32_t v;
  std::memcpy(&v, m_bytes->data() + at, 4);
  return v;
}

uint16_t ModelStreamWalk::U16(StreamItem::Kind kind) {
  const size_t at = Take(2, kind);
  uint16_t v;
  std::memcpy(&v, m_bytes->data() + at, 2);
  return v;
}

uint32_t ModelStreamWalk::Word(const StreamItem& item) const {
  uint32_t v = 0;
  std::memcpy(&v, m_bytes->data() + item.offset, std::min<size_t>(item.size, 4));
  return v;
}

void ModelStreamWalk::String() {
  const size_t at = Take(1, S::kData);
  size_t n = (*m_bytes)[at];
  if (n == 0xFF) {
    n = U16();
    if (n == 0xFFFF) n = U32();
  }
  Bytes(n);
}

std::string ModelStreamWalk::Reference(const std::vector<std::string>& allowed) {
  const uint16_t tag = U16();
  std::string cls;
  if (tag == 0xFFFF) {
    const uint16_t schema = U16(S::kSchema);
    const uint16_t length = U16();
    const size_t at = Take(length, S::kData);
    cls.assign(reinterpret_cast<const char*>(m_bytes->data() + at), length);
    m_classes.push_back(cls);
    if (cls == "Model") m_modelSchema = schema;
  } else if (tag & 0x8000 || tag == 0x7FFF) {
    uint32_t index = tag & 0x7FFF;
    if (tag == 0x7FFF) {
      index = U32();
      if (!(index & 0x80000000u)) return "";  // an object stored before, by a large index
      index &= 0x7FFFFFFFu;
    }
    if (index == 0 || index > m_classes.size() || m_classes[index - 1].empty()) Fail("no such class");
    cls = m_classes[index - 1];
  } else {
    if (tag > m_classes.size() || (tag != 0 && !m_classes[tag - 1].empty())) Fail("no such object");
    return "";  // null, or an object stored before
  }
  if (std::find(allowed.begin(), allowed.end(), cls) == allowed.end()) Fail("an object of class " + cls);
  m_classes.push_back("");  // the object takes the next index
  Record(cls);
  return cls;
}

void ModelStreamWalk::Collection(const std::vector<std::string>& allowed) {
  uint32_t n = U16();
  if (n == 0xFFFF) n = U32();
  for (uint32_t i = 0; i < n; ++i) Reference(allowed);
}

bool ModelStreamWalk::Walk(const std::vector<BYTE>& bytes) {
  m_bytes = &bytes;
  m_pos = 0;
  m_classes.clear();
  items.clear();
  error.clear();
  try {
    const size_t at = Take(1, S::kData);
    if (bytes[at] != std::strlen(kHeader)) Fail("not the header");
    Bytes(std::strlen(kHeader));
    if (std::memcmp(bytes.data() + 1, kHeader, std::strlen(kHeader)) != 0) Fail("not the header");
    if (Reference({"Model"}).empty()) Fail("no model");
    if (m_pos != bytes.size()) Fail("bytes after the model");
  } catch (const Failure&) {
    return false;
  }
  return true;
}

// ---- The records (after the object's tag) ----

void ModelStreamWalk::Record(const std::string& cls) {
  if (cls == "Model") {
    Model();
  } else if (cls == "Room") {                       // plan records
    AncestryObject();
    for (int i = 0; i < 3; ++i) Mesh();
    Board(true);
    Board(true);
    Collection({"WallFace"});
    U32(S::kSelfId, kRooms);
    U32();                                          // room word
    U32(S::kMasked);                                // state: its high half
  } else if (cls == "Wall") {
    Collection({"WallFaceCell"});
    Collection({"WallFaceCell"});
    Bag(2);
    U32(S::kSelfId, kWalls);
    Reference({"WallPole"});
    Reference({"WallPole"});
    U32(S::kLink, kRooms);
    U32(S::kLink, kRooms);
    if (U32(S::kFlag)) Reference({"HoleInstance"});
    U32();                                          // wall word
    U32(S::kMasked);                                // flags: their high half
  } else if (cls == "WallPole") {
    Collection({"WallPoleJoinInfo"});
    U32(S::kSelfId, kPoles);
    U32(S::kLink, kPoles);
    U32(S::kLink, kPoles);
    U32();                                          // pole word
    Bytes(10 * 8);                                  // position and corners
    U32();                                          // side flags
    U32();                                          // state
  } else if (cls == "WallPoleJoinInfo") {
    U32(S::kDropped);
    U32(S::kLink, kWalls);
    U32(S::kLink, kPoles);
  } else if (cls == "WallFace") {
    Collection({"Mesh", "AncestryMesh", "WallFaceCell", "RoomBoard", "RoomFloor", "RoomCeiling"});
    Collection({"Mesh", "AncestryMesh", "WallFaceCell", "RoomBoard", "RoomFloor", "RoomCeiling"});
    U32(S::kDropped);
    U32(S::kLink, kWalls);
    U32(S::kLink, kPoles);
    if (U32(S::kFlag)) Reference({"AncestryMesh"});
    if (U32(S::kFlag)) Reference({"AncestryMesh"});
    U32();                                          // direction
  } else if (cls == "LibInstance" || cls == "HoleInstance") {
    AncestryObject();
    Posture();
    U32(S::kDropped);
    if (cls == "HoleInstance") {
      U32(S::kDropped);
      U32();                                        // kind
      U32();                                        // kind id
    }
  } else if (cls == "Mesh") {                       // mesh records
    Mesh();
  } else if (cls == "MeshVertex") {
    U32(S::kDropped);
    Bytes(3 * 8);
  } else if (cls == "MeshFace") {
    U32(S::kDropped);
    Bytes(3 * 4);
  } else if (cls == "AncestryMesh") {
    Mesh();
    AncestryObject();
    U32(S::kDropped);
  } else if (cls == "WallFaceCell") {
    Mesh();
    U32(S::kSelfId, kCells);
    U32(S::kLink, kCells);
    U32();                                          // level
    U32();                                          // band
  } else if (cls == "RoomBoard" || cls == "RoomFloor" || cls == "RoomCeiling") {
    Board(cls != "RoomBoard");
  } else {
    Fail("a class the walk does not know: " + cls);
  }
}

void ModelStreamWalk::Model() {                     // model record
  Frame();
  Scene();
  U32(S::kDropped);
  U32();                                            // version
  U32();                                            // kind
  for (int i = 0; i < 6; ++i) String();
  U32();                                            // last word
}

void ModelStreamWalk::Frame() {
  Collection({"Room"});
  Collection({"Wall"});
  Collection({"Wall"});
  U32(S::kDropped);
  Bytes(8);                                         // the two plan words
  if (U32(S::kFlag)) Reference({"Room"});
}

void ModelStreamWalk::Scene() {                     // a scene without objects
  Collection({});
  U32(S::kDropped);
  Bytes(7 * 4);                                     // start view
  if (m_modelSchema < 3) return;
  Collection({});
  Collection({});
  U32();                                            // background
  String();
  U32();
  U32();
  if (m_modelSchema < 4) return;
  Collection({});
}

void ModelStreamWalk::AncestryObject() {
  U32(S::kSelfId, kAncestry);
  U32(S::kLink, kSceneGroups);
}

void ModelStreamWalk::Mesh() {
  Collection({"MeshVertex"});
  Collection({"MeshFace"});
  U32(S::kDropped);
}

void ModelStreamWalk::Board(bool withOwnId) {
  Mesh();
  Bag(0);
  U32(S::kDropped);
  U32();                                            // level
  if (withOwnId) U32(S::kDropped);
}

void ModelStreamWalk::Bag(int level) {
  Collection(level == 0 ? std::vector<std::string>{"LibInstance", "HoleInstance"}
                        : std::vector<std::string>{"HoleInstance"});
  U32(S::kDropped);
  if (level >= 1) U32(S::kDropped);
  if (level >= 2) {
    U32(S::kDropped);
    U32();                                          // bag word
  }
}

void ModelStreamWalk::Posture() {
  U32(S::kDropped);
  Bytes(10 * 4);
}
