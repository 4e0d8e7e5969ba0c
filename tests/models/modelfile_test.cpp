// Model files: a plan saved and opened again, the stored bytes of an empty model, and files that
// are truncated, damaged or foreign, which must fail cleanly and leave the open model alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model_stream_walk.h"
#include "models/modelfile.h"
#include "models/wallface.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

using Bytes = std::vector<BYTE>;

// Opens the bytes into the document; the line of the MyCodeException, or 0 when it opened.
int Open(ModelDocument& doc, const Bytes& bytes) {
  Bytes copy = bytes;  // a file over an empty buffer needs somewhere to point
  copy.push_back(0);
  CMemFile file(copy.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  try {
    doc.Serialize(ar);
  } catch (const MyCodeException& e) {
    EXPECT_STREQ(e.source, "Common\\VedraDoc(Serialize)");
    EXPECT_EQ(e.code, 1);
    return e.line;
  }
  return 0;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}
Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes Word(uint16_t v) { return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8)}; }
Bytes Dword(uint32_t v) {
  return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
          static_cast<BYTE>(v >> 24)};
}
Bytes Float(float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  return Dword(v);
}
Bytes Header() { return Concat({{0x1E}, Text("TAVO Vedra Archive Document...")}); }
Bytes ModelTag(uint16_t schema) { return Concat({Word(0xFFFF), Word(schema), Word(5), Text("Model")}); }

size_t Find(const Bytes& bytes, const char* text) {
  const Bytes t = Text(text);
  auto it = std::search(bytes.begin(), bytes.end(), t.begin(), t.end());
  return it == bytes.end() ? std::string::npos : static_cast<size_t>(it - bytes.begin());
}

// ---- A plan written out as lines that name objects by their place, to compare two plans ----

class PlanText {
public:
  // Without the alternate corners, which the wall mesh generation keeps as its working state.
  explicit PlanText(const Frame& frame, bool alternateCorners = true) : m_alternate(alternateCorners) {
    for (int i = 0; i < frame.GetWallCount(); ++i) NameWall(frame.GetWall(i), "W" + std::to_string(i));
    for (int i = 0; i < frame.GetChainCount(); ++i) NameWall(frame.GetChainWall(i), "C" + std::to_string(i));
    for (int i = 0; i < frame.GetRoomCount(); ++i) m_names[frame.RoomAt(i)] = "R" + std::to_string(i);
    if (frame.m_pDummyRoom) m_names[frame.m_pDummyRoom] = "D";
    Line() << "origin " << frame.m_originX << " " << frame.m_originY;
    for (int i = 0; i < frame.GetWallCount(); ++i) AddWall(*frame.GetWall(i));
    for (int i = 0; i < frame.GetChainCount(); ++i) AddWall(*frame.GetChainWall(i));
    for (int i = 0; i < frame.GetRoomCount(); ++i) AddRoom(*frame.RoomAt(i));
    if (frame.m_pDummyRoom) AddRoom(*frame.m_pDummyRoom);
  }
  std::vector<std::string> lines;

private:
  // One line, added to the text when it goes out of scope.
  class LineOut {
  public:
    explicit LineOut(PlanText* text) : m_text(text) { m_out.precision(17); }
    LineOut(const LineOut&) = delete;
    LineOut& operator=(const LineOut&) = delete;
    ~LineOut() { m_text->lines.push_back(m_out.str()); }
    template <class T>
    LineOut& operator<<(const T& v) {
      m_out << v;
      return *this;
    }

  private:
    PlanText* m_text;
    std::ostringstream m_out;
  };
  LineOut Line() { return LineOut(this); }
  std::string Name(const CObject* o) const {
    if (!o) return "-";
    auto it = m_names.find(o);
    return it == m_names.end() ? "?" : it->second;
  }
  void NameWall(const Wall* w, const std::string& name) {
    m_names[w] = name;
    m_names[w->m_pStart] = name + "s";
    m_names[w->m_pEnd] = name + "e";
    for (int side = 0; side < 2; ++side)
      for (int k = 0; k < w->GetCellCount(side); ++k)
        m_names[w->GetCell(side, k)] = name + "/" + std::to_string(side) + "/" + std::to_string(k);
  }
  void AddMesh(const std::string& what, const Mesh& m) {
    Line() << what << " mesh " << m.GetVertexCount() << " " << m.GetFaceCount();
    for (int i = 0; i < m.GetVertexCount(); ++i)
      Line() << "  v " << m.GetVertex(i)->x << " " << m.GetVertex(i)->y << " " << m.GetVertex(i)->z;
    for (int i = 0; i < m.GetFaceCount(); ++i)
      Line() << "  f " << m.GetFace(i)->a << " " << m.GetFace(i)->b << " " << m.GetFace(i)->c;
  }
  void AddInstance(const std::string& what, const LibInstance& in) {
    const Posture& p = in.m_posture;
    auto line = Line();
    line << what << " owner " << Name(in.m_pOwner);
    for (int i = 0; i < 3; ++i) line << " " << p.position[i] << " " << p.rotation[i] << " " << p.size[i];
    line << " mirror " << p.mirror;
    if (const auto* hole = dynamic_cast<const HoleInstance*>(&in))
      line << " kind " << hole->m_kind << " id " << hole->m_kindId;
  }
  void AddPole(const WallPole& p) {
    auto line = Line();
    line << " pole " << Name(&p) << " at " << p.m_x << " " << p.m_y << " h " << p.m_height;
    for (double c : p.m_corner) line << " " << c;
    if (m_alternate)
      for (double c : p.m_altCorner) line << " " << c;
    line << " flags " << p.m_sideFlags << " " << p.m_state << " ccw " << Name(p.m_pCounterClockwise)
         << " cw " << Name(p.m_pClockwise) << " joins";
    for (int i = 0; i < p.GetDegree(); ++i) line << " " << Name(p.GetJoinWall(i)) << ":" << Name(p.GetJoinPole(i));
  }
  void AddWall(const Wall& w) {
    Line() << "wall " << Name(&w) << " t " << w.m_thickness << " flags " << (w.m_flags & 0xFFFF0000u) << " rooms "
           << Name(w.GetRoom(0)) << " " << Name(w.GetRoom(1)) << " origin " << (w.m_pOrigin == &w);
    AddPole(*w.m_pStart);
    AddPole(*w.m_pEnd);
    for (int side = 0; side < 2; ++side) {
      for (int k = 0; k < w.GetCellCount(side); ++k) {
        const WallFaceCell& c = *w.GetCell(side, k);
        Line() << " cell " << Name(&c) << " band " << c.m_band << " top " << c.m_top << " below " << Name(c.m_pBelow);
        AddMesh(" cell", c);
      }
    }
    Line() << " bag word " << w.m_openings.m_word;
    for (int i = 0; i < w.m_openings.GetCount(); ++i) AddInstance(" opening", *w.m_openings.GetAt(i));
    if (w.m_pPendingOpening) AddInstance(" pending", *w.m_pPendingOpening);
  }
  void AddRoom(const Room& r) {
    Line() << "room " << Name(&r) << " owner " << Name(r.m_pOwner) << " interior " << r.m_interior
           << " state " << (r.m_state & 0xFFFF0000u) << " levels " << r.GetFloorLevel() << " " << r.GetCeilingLevel();
    for (const Mesh& m : r.m_meshes) AddMesh(" room", m);
    for (const RoomBoard* b : {static_cast<const RoomBoard*>(&r.m_floor), static_cast<const RoomBoard*>(&r.m_ceiling)}) {
      AddMesh(" board", *b);
      for (int i = 0; i < b->m_objects.GetCount(); ++i) AddInstance(" placed", *b->m_objects.GetAt(i));
    }
    for (int i = 0; i < r.GetWallFaceCount(); ++i) {
      const WallFace& f = *r.GetWallFace(i);
      Line() << " side " << Name(f.m_pWall) << " from " << Name(f.m_pPole) << " dir " << f.m_direction
             << " mouldings " << (f.m_pMoulding[0] != nullptr) << (f.m_pMoulding[1] != nullptr);
      for (const AncestryMesh* m : f.m_pMoulding)
        if (m) AddMesh(" moulding", *m);
    }
  }

  bool m_alternate;
  std::map<const CObject*, std::string> m_names;
};

void ExpectSamePlan(const Frame& expected, const Frame& actual, bool alternateCorners = true) {
  const PlanText a(expected, alternateCorners), b(actual, alternateCorners);
  const size_t n = std::min(a.lines.size(), b.lines.size());
  for (size_t i = 0; i < n; ++i) {
    ASSERT_EQ(a.lines[i], b.lines[i]) << "line " << i;
  }
  ASSERT_EQ(a.lines.size(), b.lines.size());
}

// ---- Plans ----

class ModelFile : public ::testing::Test {
protected:
  void SetUp() override { RegisterModelClasses(); }

  static void AddOpening(Wall* wall, int32_t kind, int32_t id, float at, float bottom, float width,
                         float height) {
    ASSERT_TRUE(wall);
    HoleInstance hole;
    hole.m_kind = kind;
    hole.m_kindId = id;
    hole.m_posture.position[0] = at;
    hole.m_posture.position[2] = bottom;
    hole.m_posture.size[0] = width;
    hole.m_posture.size[1] = 150;
    hole.m_posture.size[2] = height;
    ASSERT_TRUE(wall->m_openings.Add(&hole, true, 0.0));
  }
  // Two rooms with a dividing wall, a door in it and a window in the left room's outer wall,
  // with all their meshes built.
  Model* NewHouse() {
    Model* model = new Model;
    Frame& frame = model->m_frame;
    DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
    DrawChain(frame, {{3000, 0}, {3000, 4000}});
    host.controls[IDC_PLAN_ROOM_NAME] = "거실";
    Room* left = frame.PlaceRoomAt(CPoint(1500, 2000), 2400, 0, false);
    host.controls[IDC_PLAN_ROOM_NAME] = "침실";
    Room* right = frame.PlaceRoomAt(CPoint(4500, 2000), 2400, 0, false);
    EXPECT_TRUE(left && right);
    AddOpening(WallFromTo(frame, 3000, 0, 3000, 4000), HOLE_DOOR, 1000, 2000, 0, 900, 2100);
    AddOpening(WallFromTo(frame, 0, 0, 3000, 0), HOLE_WINDOW, 1100, 1500, 900, 1200, 1200);
    BuildRoomMeshes(frame, left);
    BuildRoomMeshes(frame, right);
    ForgetSceneObjects(frame);
    return model;
  }
  // One room with a door, its floor and ceiling built.
  Model* NewSmallRoom() {
    Model* model = new Model;
    Frame& frame = model->m_frame;
    DrawChain(frame, {{0, 0}, {3000, 0}, {3000, 2000}, {0, 2000}, {0, 0}});
    host.controls[IDC_PLAN_ROOM_NAME] = "방";
    Room* room = frame.PlaceRoomAt(CPoint(1500, 1000), 2400, 0, false);
    EXPECT_TRUE(room);
    AddOpening(WallFromTo(frame, 0, 0, 3000, 0), HOLE_DOOR, 1001, 1500, 0, 900, 2100);
    room->BuildBoards();
    ForgetSceneObjects(frame);
    return model;
  }
  // The stand-in scene of the test host is not part of the model: the rooms let go of it.
  static void ForgetSceneObjects(Frame& frame) {
    for (int i = 0; i < frame.GetRoomCount(); ++i) frame.RoomAt(i)->m_pOwner = nullptr;
  }

  RecordingPlanHost host;
};

TEST_F(ModelFile, SavedHouseOpensAsTheSamePlan) {
  ModelDocument saved;
  saved.SetModel(NewHouse());
  Frame& plan = saved.GetModel()->m_frame;
  saved.GetModel()->m_modelKind = MODEL_EXTERIOR;
  saved.GetModel()->m_strings[2] = "설명";
  // Run-time marks are not stored; the high halves of the words are.
  Room* left = plan.RoomAt(0);
  left->m_state = 0x00120000u | ROOM_SELECTED | ROOM_EXPORTED;
  Wall* divider = WallFromTo(plan, 3000, 0, 3000, 4000);
  divider->m_flags = WALL_SELECTED | WALL_SIDE0_SELECTED | WALL_MARKED;
  const Bytes bytes = SaveToBytes(saved);

  const Bytes start = Concat({Header(), ModelTag(5)});
  ASSERT_GE(bytes.size(), start.size());
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(start.size())), start);

  Hole* doorSymbol = reinterpret_cast<Hole*>(&host);  // any address will do as a kind's symbol
  g_doorSymbols[0] = doorSymbol;
  ModelDocument opened;
  ASSERT_EQ(Open(opened, bytes), 0);
  g_doorSymbols[0] = nullptr;
  Model* model = opened.GetModel();
  ASSERT_TRUE(model);
  EXPECT_EQ(model->m_modelKind, MODEL_EXTERIOR);
  EXPECT_EQ(model->m_strings[2], "설명");
  EXPECT_EQ(model->m_frame.m_pOwner, model);
  EXPECT_EQ(opened.GetRelinkTable().GetRecordCount(RelinkTable::kWalls), 0);

  Frame& loaded = model->m_frame;
  ASSERT_EQ(loaded.GetRoomCount(), 2);
  EXPECT_EQ(loaded.RoomAt(0)->m_state, 0x00120000u);
  Wall* loadedDivider = WallFromTo(loaded, 3000, 0, 3000, 4000);
  ASSERT_TRUE(loadedDivider);
  EXPECT_EQ(loadedDivider->m_flags, 0u);
  EXPECT_EQ(loadedDivider->m_openings.GetHole(0)->m_symbol, doorSymbol);
  EXPECT_EQ(WallFromTo(loaded, 0, 0, 3000, 0)->m_openings.GetHole(0)->m_symbol, nullptr);
  ExpectSamePlan(plan, loaded);

  // The meshes built again from the opened plan are the meshes that were saved.
  for (int i = 0; i < loaded.GetRoomCount(); ++i) BuildRoomMeshes(loaded, loaded.RoomAt(i));
  ExpectSamePlan(plan, loaded, false);
}

TEST_F(ModelFile, EmptyModelStoresZeroCounts) {
  ModelDocument doc;
  doc.SetModel(new Model);
  const Model& m = *doc.GetModel();
  const Bytes bytes = SaveToBytes(doc);
  Bytes frame = Concat({Word(0), Word(0), Word(0), Dword(m.m_frame.GetObjectId()), Dword(0), Dword(0), Dword(0)});
  Bytes scene = Concat({Word(0), Dword(m.m_scene.GetObjectId()), Float(0), Float(0), Float(0), Float(0),
                        Float(0), Float(0), Float(1), Word(0), Word(0), Dword(0), {0}, Dword(0), Dword(0), Word(0)});
  Bytes tail = Concat({Dword(m.GetObjectId()), Dword(1), Dword(0xFF00), {0, 0, 0, 0, 0, 0}, Dword(0)});
  EXPECT_EQ(bytes, Concat({Header(), ModelTag(5), frame, scene, tail}));

  ModelDocument opened;
  ASSERT_EQ(Open(opened, bytes), 0);
  const Model& o = *opened.GetModel();
  EXPECT_EQ(o.m_frame.GetWallCount() + o.m_frame.GetRoomCount() + o.m_frame.GetChainCount(), 0);
  EXPECT_EQ(o.m_frame.m_pDummyRoom, nullptr);
  EXPECT_EQ(o.m_scene.m_startView[6], 1.0f);

  // A model of schema 2 has the scene's list and start view only.
  const Bytes old = Concat({Header(), ModelTag(2), frame, Bytes(scene.begin(), scene.begin() + 34), tail});
  ModelDocument older;
  ASSERT_EQ(Open(older, old), 0);
  EXPECT_EQ(older.GetModel()->m_modelKind, MODEL_INTERIOR);
}

TEST_F(ModelFile, RecordLayouts) {
  // A mesh: vertices (28 bytes each after the tag), faces (16), its own id. A band writes its
  // own fields from the last to the first: band below, top level, band kind.
  WallFaceCell below(BAND_WALL, 1200, nullptr);
  WallFaceCell cell(BAND_BAND_MOULDING, 2400, &below);
  cell.AddVertex(new MeshVertex(1, 2, 3));
  cell.AddVertex(new MeshVertex(4, 5, 6));
  cell.AddVertex(new MeshVertex(7, 9, 8));
  cell.m_faces.Add(new MeshFace(0, 1, 2));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    cell.Serialize(ar);
    ar.Close();
  }
  const size_t vertices = 2 + (6 + 10 + 28) + 2 * (2 + 28);
  const size_t faces = 2 + (6 + 8 + 16);
  ASSERT_EQ(file.GetLength(), vertices + faces + 4 + 16);
  BYTE* data = file.Detach();
  const Bytes bytes(data, data + vertices + faces + 20);
  free(data);
  EXPECT_EQ(Bytes(bytes.end() - 16, bytes.end()),
            Concat({Dword(cell.GetObjectId()), Dword(below.GetObjectId()), Dword(2400), Dword(BAND_BAND_MOULDING)}));
}

TEST_F(ModelFile, RelinkKeepsOnlyObjectsOfRecords) {
  RelinkTable table;
  Wall first, second;
  table.AddRecord(RelinkTable::kWalls, "Wall", 7, &first);
  table.AddRecord(RelinkTable::kWalls, "Wall", 7, &second);  // the later record wins
  table.AddRecord(RelinkTable::kRooms, "Room", 8, &first);   // not a room
  Wall* found = nullptr;
  Wall* none = nullptr;
  Wall* zero = nullptr;
  Room* wrong = nullptr;
  table.DeferLink(found, 7);
  table.DeferLink(none, 9);
  table.DeferLink(zero, 0);
  table.DeferLink(wrong, 8);
  table.RelinkField(found, RelinkTable::kWalls);
  table.RelinkField(none, RelinkTable::kWalls);
  table.RelinkField(zero, RelinkTable::kWalls);
  table.RelinkField(wrong, RelinkTable::kRooms);
  EXPECT_EQ(found, &second);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(zero, nullptr);
  EXPECT_EQ(wrong, nullptr);
  EXPECT_EQ(table.GetUnresolvedCount(), 2);
  table.RelinkField(found, RelinkTable::kWalls);  // relinked before: stays
  EXPECT_EQ(found, &second);
}

// Whatever is wrong with a file, opening it fails with the document's exception (or, for a
// harmless change, succeeds with a sound plan) and the document keeps the model it had.
class DamagedModelFile : public ModelFile {
protected:
  void SetUp() override {
    ModelFile::SetUp();
    ModelDocument source;
    source.SetModel(NewSmallRoom());
    good = SaveToBytes(source);
    doc.SetModel(NewHouse());
    kept = doc.GetModel();
    keptWalls = kept->m_frame.GetWallCount();
  }
  // The open fails on the line given and the house is still there.
  void ExpectRefused(const Bytes& bytes, int line) {
    EXPECT_EQ(Open(doc, bytes), line);
    EXPECT_EQ(doc.GetModel(), kept);
    EXPECT_EQ(kept->m_frame.GetWallCount(), keptWalls);
  }

  Bytes good;
  ModelDocument doc;
  Model* kept = nullptr;
  int keptWalls = 0;
};

TEST_F(DamagedModelFile, EveryPrefixIsRefused) {
  ModelDocument whole;
  ASSERT_EQ(Open(whole, good), 0);
  ASSERT_EQ(whole.GetModel()->m_frame.GetWallCount(), 4);
  for (size_t n = 0; n < good.size(); ++n) {
    ExpectRefused(Bytes(good.begin(), good.begin() + static_cast<long>(n)), n < 31 ? kBadHeaderLine : kBadModelLine);
    if (HasFailure()) FAIL() << "prefix of " << n << " bytes";
  }
}

// A model that opened holds what its file held: saved again, it gives the file's items back, as
// the stored layouts read them (ModelStreamWalk): every plain item byte for byte, the kept high
// half of the masked words, each presence flag as present or not, and each link naming the
// object that stood for the id it held; an object's own ids and the schema numbers are its own.
void ExpectOpenedAsTheFileHeld(const Bytes& file, ModelDocument& opened) {
  ModelStreamWalk held, saved;
  ASSERT_TRUE(held.Walk(file)) << "the file opened but does not follow the layout: " << held.error;
  const Bytes again = SaveToBytes(opened);
  ASSERT_TRUE(saved.Walk(again)) << saved.error;
  ASSERT_EQ(held.items.size(), saved.items.size());
  std::map<std::pair<int, uint32_t>, uint32_t> newIds;  // (array, id in the file) -> id now
  std::vector<size_t> links;
  for (size_t k = 0; k < held.items.size(); ++k) {
    const StreamItem& h = held.items[k];
    const StreamItem& n = saved.items[k];
    ASSERT_EQ(h.kind, n.kind) << "item " << k << " at byte " << h.offset;
    ASSERT_EQ(h.size, n.size) << "item " << k << " at byte " << h.offset;
    switch (h.kind) {
      case StreamItem::kData:
        EXPECT_TRUE(std::equal(file.begin() + static_cast<long>(h.offset),
                               file.begin() + static_cast<long>(h.offset + h.size),
                               again.begin() + static_cast<long>(n.offset)))
            << "byte " << h.offset << " (" << h.size << " bytes)";
        break;
      case StreamItem::kMasked:
        EXPECT_EQ(held.Word(h) & 0xFFFF0000u, saved.Word(n)) << "byte " << h.offset;
        break;
      case StreamItem::kFlag:
        EXPECT_EQ(held.Word(h) != 0 ? 1u : 0u, saved.Word(n)) << "byte " << h.offset;
        break;
      case StreamItem::kSelfId:
        newIds[{h.array, held.Word(h)}] = saved.Word(n);  // a later record wins
        break;
      case StreamItem::kLink:
        links.push_back(k);
        break;
      case StreamItem::kSchema:
      case StreamItem::kDropped:
        break;
    }
  }
  for (size_t k : links) {
    const uint32_t id = held.Word(held.items[k]);
    const auto it = newIds.find({held.items[k].array, id});
    const uint32_t expected = id == 0 ? 0u : it == newIds.end() ? 0xFFFFFFFFu : it->second;
    EXPECT_EQ(saved.Word(saved.items[k]), expected) << "link at byte " << held.items[k].offset;
  }
}

// Whole files, read by the stored layouts from the header to the last byte, and opened as they
// are: the small room and the house with all its meshes.
TEST_F(DamagedModelFile, FilesFollowTheLayout) {
  ModelDocument house;
  house.SetModel(NewHouse());
  for (const Bytes& file : {good, SaveToBytes(house)}) {
    ModelStreamWalk walk;
    ASSERT_TRUE(walk.Walk(file)) << walk.error;
    ModelDocument opened;
    ASSERT_EQ(Open(opened, file), 0);
    ExpectOpenedAsTheFileHeld(file, opened);
  }
}

// The lowest bit of every byte in turn: counts, tags, back-references and ids one off, which
// mostly still parse and must be caught by the relink and the plan check. A file that opens
// anyway opened as what it held.
TEST_F(DamagedModelFile, FlippedBytesNeverBreakTheOpen) {
  int opened = 0;
  for (size_t i = 0; i < good.size(); ++i) {
    Bytes bytes = good;
    bytes[i] ^= 0x01;
    Model* before = doc.GetModel();
    if (Open(doc, bytes) != 0) {
      EXPECT_EQ(doc.GetModel(), before);
    } else {
      ++opened;
      ASSERT_NE(doc.GetModel(), before);
      ExpectOpenedAsTheFileHeld(bytes, doc);
    }
    if (HasFailure()) FAIL() << "byte " << i;
  }
  // Coordinates, levels, postures, ids that are dropped: most bytes hold numbers.
  EXPECT_GT(opened, static_cast<int>(good.size() / 2));
}

TEST_F(DamagedModelFile, ForeignClassesAndDanglingIdsAreRefused) {
  // A class name that no class has.
  Bytes unknown = good;
  const size_t at = Find(unknown, "WallPole");
  ASSERT_NE(at, std::string::npos);
  unknown[at + 5] = 'a';
  ExpectRefused(unknown, kBadModelLine);

  // A wall side that names a wall that is not in the file (rooms are stored before walls, so
  // the first place that names the wall is the room's side of it).
  {
    ModelDocument source;
    source.SetModel(NewSmallRoom());
    Bytes bytes = SaveToBytes(source);
    const Bytes id = Dword(source.GetModel()->m_frame.GetWall(0)->GetObjectId());
    auto it = std::search(bytes.begin(), bytes.end(), id.begin(), id.end());
    ASSERT_NE(it, bytes.end());
    *it ^= 0x5A;
    ExpectRefused(bytes, kBadModelLine);
  }

  // Not a model file at all.
  ExpectRefused(Text("PK\x03\x04 not a model"), kBadHeaderLine);
  Bytes wrongHeader = good;
  wrongHeader[30] = '!';
  ExpectRefused(wrongHeader, kBadHeaderLine);
}

// The scene's objects are not stored: a room shown in the scene is saved without its link, and
// the file opens.
TEST_F(ModelFile, RoomsShownInTheSceneOpenWithoutTheirLink) {
  ModelDocument source;
  source.SetModel(NewSmallRoom());
  Posture sceneObject;
  source.GetModel()->m_frame.RoomAt(0)->m_pOwner = &sceneObject;
  ModelDocument doc;
  ASSERT_EQ(Open(doc, SaveToBytes(source)), 0);
  ASSERT_EQ(doc.GetModel()->m_frame.GetRoomCount(), 1);
  EXPECT_EQ(doc.GetModel()->m_frame.RoomAt(0)->m_pOwner, nullptr);
}

TEST_F(ModelFile, DocumentSavesAndOpensFiles) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string path = (dir / "vedra_modelfile_test.tavo").string();
  const std::string foreign = (dir / "vedra_modelfile_test.txt").string();
  ModelDocument saved;
  saved.SetModel(NewSmallRoom());
  saved.SetModifiedFlag(TRUE);
  ASSERT_TRUE(saved.OnSaveDocument(path.c_str()));
  EXPECT_FALSE(saved.IsModified());

  ModelDocument opened;
  ASSERT_TRUE(opened.OnOpenDocument(path.c_str()));
  ASSERT_TRUE(opened.GetModel());
  ExpectSamePlan(saved.GetModel()->m_frame, opened.GetModel()->m_frame);

  FILE* f = std::fopen(foreign.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs("plain text", f);
  std::fclose(f);
  Model* kept = opened.GetModel();
  EXPECT_THROW(opened.OnOpenDocument(foreign.c_str()), MyCodeException);
  EXPECT_EQ(opened.GetModel(), kept);
  EXPECT_FALSE(opened.OnOpenDocument((dir / "vedra_no_such_model.tavo").string().c_str()));
  std::remove(path.c_str());
  std::remove(foreign.c_str());
}

}  // namespace
