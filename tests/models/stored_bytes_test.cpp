// The stored record of every model class, byte for byte.
//
// A file that is saved and opened again proves only that the writer and the reader agree: two
// fields written and read in the same wrong order pass. So each class has one small fixture here
// whose expected bytes are spelled out from the stored layout, item by item, never taken from the
// code under test. The bytes that Serialize writes (through WriteObject, so with the object's
// tag) must be those; reading them back must give the fixture's values, append the relink
// records that the layout names, and leave the stored ids ready for the relink pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "models/modelfile.h"
#include "models/wallface.h"

namespace {

using Bytes = std::vector<BYTE>;

// The expected bytes, item by item (little-endian, no gaps).
class Spell {
public:
  Spell& U16(uint16_t v) { return Put(&v, 2); }
  Spell& U32(uint32_t v) { return Put(&v, 4); }
  Spell& I32(int32_t v) { return Put(&v, 4); }
  Spell& F32(float v) { return Put(&v, 4); }
  Spell& F64(double v) { return Put(&v, 8); }
  // A self id or the id of a linked object: its 32-bit object id, 0 for none.
  Spell& Id(const CObject* o) { return U32(o ? o->GetObjectId() : 0u); }
  // A string shorter than 255 bytes: its length in one byte, then its bytes.
  Spell& Str(const char* s) {
    const size_t n = std::strlen(s);
    EXPECT_LT(n, 255u);
    bytes.push_back(static_cast<BYTE>(n));
    return Put(s, n);
  }
  // Object tags: a class new to the stream (0xFFFF, schema 5, the name), a class stored before
  // (0x8000 | its index), a null reference. A collection's count is a u16.
  Spell& NewClass(const char* name) {
    U16(0xFFFF).U16(5).U16(static_cast<uint16_t>(std::strlen(name)));
    return Put(name, std::strlen(name));
  }
  Spell& OldClass(uint16_t index) { return U16(static_cast<uint16_t>(0x8000 | index)); }
  Spell& Count(uint16_t n) { return U16(n); }

  Bytes bytes;

private:
  Spell& Put(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    bytes.insert(bytes.end(), b, b + n);
    return *this;
  }
};

// Objects that the fixtures point to but that are not in the stream: they only lend their ids,
// and the relink records that a test adds for them.
struct Stubs {
  Wall wall;
  WallPole pole;
  WallPole otherPole;
  Room room;
  // Any object will do as the scene group that owns a plan object. The scene's objects are not
  // stored yet, so a plan object's link to one is written as 0 and comes back null.
  Posture sceneGroup;
};

// One class: the object written, the bytes it must write, and what reading them back must give.
struct Fixture {
  std::string name;
  CObject* object;
  Bytes expected;
  // Checks the loaded object; may relink it with records for the stubs.
  std::function<void(CObject* loaded, RelinkTable& table)> check;
};

// The one record of the array whose new object is the loaded object: its class-name text and
// its old id, the saved object's id.
void ExpectRecord(const RelinkTable& table, RelinkTable::Array array, const char* className, const CObject* saved,
                  const CObject* loaded) {
  int found = 0;
  for (int i = 0; i < table.GetRecordCount(array); ++i) {
    const RelinkTable::Record& r = table.GetRecord(array, i);
    if (r.newObject != loaded) continue;
    ++found;
    EXPECT_STREQ(r.className, className);
    EXPECT_EQ(r.oldId, saved->GetObjectId()) << className;
  }
  EXPECT_EQ(found, 1) << className;
}

// The records that the stubs stand for, then the relink pass over the loaded object.
template <class T>
void RelinkWithStubs(T* loaded, RelinkTable& table, Stubs& s) {
  table.AddRecord(RelinkTable::kWalls, "Wall", s.wall.GetObjectId(), &s.wall);
  table.AddRecord(RelinkTable::kWallPoles, "WallPole", s.pole.GetObjectId(), &s.pole);
  table.AddRecord(RelinkTable::kWallPoles, "WallPole", s.otherPole.GetObjectId(), &s.otherPole);
  table.AddRecord(RelinkTable::kRooms, "Room", s.room.GetObjectId(), &s.room);
  table.AddRecord(RelinkTable::kSceneGroups, "SceneGroup", s.sceneGroup.GetObjectId(), &s.sceneGroup);
  loaded->Relink(table);
  EXPECT_EQ(table.GetUnresolvedCount(), 0);
  table.ReleaseJoinRecords();  // the poles own their records now
}

void SetPosture(Posture& p, float base, uint32_t mirror) {
  for (int i = 0; i < 3; ++i) {
    p.position[i] = base + static_cast<float>(i);
    p.rotation[i] = base + 10.0f + static_cast<float>(i);
    p.size[i] = base + 20.5f + static_cast<float>(i);
  }
  p.mirror = mirror;
}
// Posture: self id, the nine floats in field order (position, rotation, size),
// then the further word.
void SpellPosture(Spell& s, const Posture& p, float base, uint32_t mirror) {
  s.Id(&p);
  for (int i = 0; i < 3; ++i) s.F32(base + static_cast<float>(i));
  for (int i = 0; i < 3; ++i) s.F32(base + 10.0f + static_cast<float>(i));
  for (int i = 0; i < 3; ++i) s.F32(base + 20.5f + static_cast<float>(i));
  s.U32(mirror);
}
void ExpectPosture(const Posture& p, float base, uint32_t mirror) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p.position[i], base + static_cast<float>(i));
    EXPECT_EQ(p.rotation[i], base + 10.0f + static_cast<float>(i));
    EXPECT_EQ(p.size[i], base + 20.5f + static_cast<float>(i));
  }
  EXPECT_EQ(p.mirror, mirror);
}

// The ten doubles of a pole (item 6 of the pole record, in the pole's field order: x, y, the four
// current corners, the four alternate corners), all different.
void SetPoleGeometry(WallPole* p, double base) {
  p->m_x = base;
  p->m_y = base + 0.25;
  for (int i = 0; i < 4; ++i) p->m_corner[i] = base + 1 + i;
  for (int i = 0; i < 4; ++i) p->m_altCorner[i] = base + 11.5 + i;
}
void SpellPoleGeometry(Spell& s, double base) {
  s.F64(base).F64(base + 0.25);
  for (int i = 0; i < 4; ++i) s.F64(base + 1 + i);
  for (int i = 0; i < 4; ++i) s.F64(base + 11.5 + i);
}
void ExpectPoleGeometry(const WallPole* p, double base) {
  EXPECT_EQ(p->m_x, base);
  EXPECT_EQ(p->m_y, base + 0.25);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(p->m_corner[i], base + 1 + i);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(p->m_altCorner[i], base + 11.5 + i);
}

// A wall with no cells, no openings and no rooms, its poles' numbers set from bases.
Wall* NewBareWall(double startBase, double endBase) {
  Wall* w = new Wall(0, 0, 2400, 2300, 150);
  for (ObjectArray& cells : w->m_cells) {
    for (INT_PTR i = 0; i < cells.GetSize(); ++i) delete cells.GetAt(i);
    cells.RemoveAll();
  }
  SetPoleGeometry(w->m_pStart, startBase);
  SetPoleGeometry(w->m_pEnd, endBase);
  w->m_pStart->m_sideFlags = POLE_FREE_END;
  w->m_pEnd->m_sideFlags = POLE_FREE_END;
  return w;
}
// Its record, after its tag: the classes WallPole and WallPoleJoinInfo are new
// to the stream and take the indices after wallIndex, the index of the wall object itself.
void SpellBareWall(Spell& s, const Wall* w, uint16_t wallIndex, double startBase, double endBase,
                   uint32_t storedFlags = 0) {
  const uint16_t pole = wallIndex + 1, join = wallIndex + 3;
  s.Count(0).Count(0);                                  // cells of side 0, of side 1
  s.Count(0).Id(&w->m_openings).Id(&w->m_openings);     // the openings bag: instances, ids
  s.Id(&w->m_openings).U32(0);                          //   ... and the bag word
  s.Id(w);                                              // self id
  s.NewClass("WallPole").Count(1);                      // start pole: its join records
  s.NewClass("WallPoleJoinInfo").Id(w->m_pStart->GetJoin(0)).Id(w).Id(w->m_pStart);
  s.Id(w->m_pStart).U32(0).U32(0).I32(2400);
  SpellPoleGeometry(s, startBase);
  s.U32(POLE_FREE_END).U32(0);
  s.OldClass(pole).Count(1);                            // end pole
  s.OldClass(join).Id(w->m_pEnd->GetJoin(0)).Id(w).Id(w->m_pEnd);
  s.Id(w->m_pEnd).U32(0).U32(0).I32(2300);
  SpellPoleGeometry(s, endBase);
  s.U32(POLE_FREE_END).U32(0);
  s.U32(0).U32(0);                                      // rooms of side 0 and side 1
  s.U32(0);                                             // no held opening
  s.U32(150).U32(storedFlags);                          // thickness, stored flags
}

// A room with nothing in it.
void SpellBareRoom(Spell& s, const Room* r) {
  s.Id(r).U32(0);                                       // AncestryObject: self id, owner
  for (const Mesh& m : r->m_meshes) s.Count(0).Count(0).Id(&m);
  for (const RoomBoard* b : {static_cast<const RoomBoard*>(&r->m_floor), static_cast<const RoomBoard*>(&r->m_ceiling)})
    s.Count(0).Count(0).Id(b).Count(0).Id(&b->m_objects).Id(b).I32(b->m_level).Id(b);
  s.Count(0).Id(r).U32(1).U32(0);                       // wall sides, self id, room word, state
}

class StoredBytes : public ::testing::Test {
protected:
  void SetUp() override { RegisterModelClasses(); }

  template <class T>
  T* Keep(T* object) {
    m_kept.emplace_back(object);
    return object;
  }

  std::vector<Fixture> Fixtures();

  Stubs s;

private:
  std::vector<std::unique_ptr<CObject>> m_kept;
};

std::vector<Fixture> StoredBytes::Fixtures() {
  std::vector<Fixture> table;
  Stubs& st = s;

  // ---- mesh classes ----
  {
    // A vertex: 28 bytes after its tag, the coordinates as they are.
    auto* v = Keep(new MeshVertex);
    v->x = 1.5;  // not on the millimetre grid of the mesh builders: stored as it is
    v->y = -2.25;
    v->z = 1e6;
    Spell e;
    e.NewClass("MeshVertex").Id(v).F64(1.5).F64(-2.25).F64(1e6);
    table.push_back({"MeshVertex", v, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<MeshVertex*>(o);
                       EXPECT_EQ(l->x, 1.5);
                       EXPECT_EQ(l->y, -2.25);
                       EXPECT_EQ(l->z, 1e6);
                     }});
  }
  {
    // A face: 16 bytes after its tag.
    auto* f = Keep(new MeshFace(2, 0, 1));
    Spell e;
    e.NewClass("MeshFace").Id(f).U32(2).U32(0).U32(1);
    table.push_back({"MeshFace", f, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<MeshFace*>(o);
                       EXPECT_EQ(l->a, 2u);
                       EXPECT_EQ(l->b, 0u);
                       EXPECT_EQ(l->c, 1u);
                     }});
  }
  {
    // A mesh: the vertices, the faces, self id. The second vertex refers to the class by index.
    auto* m = Keep(new Mesh);
    m->AddVertex(new MeshVertex(0, 0, 0));
    m->AddVertex(new MeshVertex(1000, 0, 0));
    m->AddVertex(new MeshVertex(0, 0, 2400));
    EXPECT_EQ(m->AddFace(new MeshFace(0, 1, 2)), 0);
    Spell e;
    e.NewClass("Mesh").Count(3);                                         // class 1, mesh 2
    e.NewClass("MeshVertex").Id(m->GetVertex(0)).F64(0).F64(0).F64(0);   // class 3, vertex 4
    e.OldClass(3).Id(m->GetVertex(1)).F64(1000).F64(0).F64(0);           // vertex 5
    e.OldClass(3).Id(m->GetVertex(2)).F64(0).F64(0).F64(2400);           // vertex 6
    e.Count(1).NewClass("MeshFace").Id(m->GetFace(0)).U32(0).U32(1).U32(2);
    e.Id(m);
    table.push_back({"Mesh", m, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<Mesh*>(o);
                       ASSERT_EQ(l->GetVertexCount(), 3);
                       EXPECT_EQ(l->GetVertex(1)->x, 1000);
                       EXPECT_EQ(l->GetVertex(2)->z, 2400);
                       ASSERT_EQ(l->GetFaceCount(), 1);
                       EXPECT_EQ(l->GetFace(0)->c, 2u);
                     }});
  }
  {
    // An empty mesh: two zero counts and its self id.
    auto* m = Keep(new Mesh);
    Spell e;
    e.NewClass("Mesh").Count(0).Count(0).Id(m);
    table.push_back({"Mesh, empty", m, e.bytes, [](CObject* o, RelinkTable&) {
                       EXPECT_EQ(static_cast<Mesh*>(o)->GetVertexCount(), 0);
                     }});
  }
  {
    // The mesh record, the owner part as an AncestryObject record (recorded with the owner part
    // as the new object), then the mesh's self id.
    auto* am = Keep(new AncestryMesh);
    am->m_ancestry.m_pOwner = &st.sceneGroup;
    Spell e;
    e.NewClass("AncestryMesh").Count(0).Count(0).Id(am).Id(&am->m_ancestry).U32(0).Id(am);
    table.push_back({"AncestryMesh", am, e.bytes, [am, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<AncestryMesh*>(o);
                       ExpectRecord(t, RelinkTable::kAncestryObjects, "AncestryObject", &am->m_ancestry, &l->m_ancestry);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_ancestry.m_pOwner, nullptr);
                     }});
  }
  {
    // A band: the mesh record, then self id and its three fields from the last in memory to the
    // first: the band below, the level, the band value.
    auto* below = Keep(new WallFaceCell(BAND_WALL, 1200, nullptr));
    auto* cell = Keep(new WallFaceCell(BAND_BAND_MOULDING, 2400, below));
    cell->AddVertex(new MeshVertex(0, 0, 2400));
    Spell e;
    e.NewClass("WallFaceCell").Count(1).NewClass("MeshVertex").Id(cell->GetVertex(0)).F64(0).F64(0).F64(2400);
    e.Count(0).Id(cell);
    e.Id(cell).Id(below).I32(2400).U32(BAND_BAND_MOULDING);
    table.push_back({"WallFaceCell", cell, e.bytes, [cell, below](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<WallFaceCell*>(o);
                       ExpectRecord(t, RelinkTable::kWallFaceCells, "WallFaceCell", cell, l);
                       EXPECT_EQ(l->m_pBelow, nullptr);  // until the relink
                       EXPECT_EQ(l->m_top, 2400);
                       EXPECT_EQ(l->m_band, static_cast<uint32_t>(BAND_BAND_MOULDING));
                       EXPECT_EQ(l->GetVertexCount(), 1);
                       t.AddRecord(RelinkTable::kWallFaceCells, "WallFaceCell", below->GetObjectId(), below);
                       l->Relink(t);
                       EXPECT_EQ(l->m_pBelow, below);
                     }});
  }
  {
    // Boards: the mesh record, the embedded bag of placed models, self id, level; a floor or a
    // ceiling adds its self id once more.
    auto* board = Keep(new RoomBoard);
    board->m_level = -150;
    auto* placed = new LibInstance;
    SetPosture(placed->m_posture, 100.0f, 1);
    board->m_objects.m_instances.Add(placed);
    Spell e;
    e.NewClass("RoomBoard").Count(0).Count(0).Id(board);
    e.Count(1).NewClass("LibInstance").Id(placed).U32(0);
    SpellPosture(e, placed->m_posture, 100.0f, 1);
    e.Id(placed).Id(&board->m_objects);
    e.Id(board).I32(-150);
    table.push_back({"RoomBoard", board, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<RoomBoard*>(o);
                       EXPECT_EQ(l->m_level, -150);
                       ASSERT_EQ(l->m_objects.GetCount(), 1);
                       ExpectPosture(l->m_objects.GetAt(0)->m_posture, 100.0f, 1);
                     }});
  }
  for (const bool floor : {true, false}) {
    RoomBoard* board = floor ? static_cast<RoomBoard*>(Keep(new RoomFloor)) : Keep(new RoomCeiling);
    board->m_level = floor ? 20 : 2600;
    Spell e;
    e.NewClass(floor ? "RoomFloor" : "RoomCeiling").Count(0).Count(0).Id(board);
    e.Count(0).Id(&board->m_objects).Id(board).I32(board->m_level).Id(board);
    table.push_back({floor ? "RoomFloor" : "RoomCeiling", board, e.bytes, [floor](CObject* o, RelinkTable&) {
                       EXPECT_EQ(static_cast<RoomBoard*>(o)->m_level, floor ? 20 : 2600);
                     }});
  }

  // ---- posture; instances and bags ----
  {
    auto* p = Keep(new Posture);
    SetPosture(*p, -3.5f, 1);
    Spell e;
    e.NewClass("Posture");
    SpellPosture(e, *p, -3.5f, 1);
    table.push_back({"Posture", p, e.bytes, [](CObject* o, RelinkTable&) {
                       ExpectPosture(*static_cast<Posture*>(o), -3.5f, 1);
                     }});
  }
  {
    auto* a = Keep(new AncestryObject);
    a->m_pOwner = &st.sceneGroup;
    Spell e;
    e.NewClass("AncestryObject").Id(a).U32(0);
    table.push_back({"AncestryObject", a, e.bytes, [a, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<AncestryObject*>(o);
                       ExpectRecord(t, RelinkTable::kAncestryObjects, "AncestryObject", a, l);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pOwner, nullptr);
                     }});
  }
  {
    // The AncestryObject record, the embedded posture, self id.
    auto* li = Keep(new LibInstance);
    li->m_pOwner = &st.sceneGroup;
    SetPosture(li->m_posture, 7.0f, 0);
    Spell e;
    e.NewClass("LibInstance").Id(li).U32(0);
    SpellPosture(e, li->m_posture, 7.0f, 0);
    e.Id(li);
    table.push_back({"LibInstance", li, e.bytes, [li, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<LibInstance*>(o);
                       ExpectRecord(t, RelinkTable::kAncestryObjects, "AncestryObject", li, l);
                       ExpectPosture(l->m_posture, 7.0f, 0);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pOwner, nullptr);
                     }});
  }
  {
    // The LibInstance record, self id, kind, kind id; the symbol is taken at once.
    auto* hi = Keep(new HoleInstance);
    SetPosture(hi->m_posture, 1500.0f, 1);
    hi->m_kind = HOLE_WINDOW;
    hi->m_kindId = 1102;
    Spell e;
    e.NewClass("HoleInstance").Id(hi).U32(0);
    SpellPosture(e, hi->m_posture, 1500.0f, 1);
    e.Id(hi).Id(hi).I32(11).I32(1102);
    table.push_back({"HoleInstance", hi, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<HoleInstance*>(o);
                       EXPECT_EQ(l->m_kind, HOLE_WINDOW);
                       EXPECT_EQ(l->m_kindId, 1102);
                       EXPECT_EQ(l->m_symbol, g_windowSymbols[2]);
                       EXPECT_NE(l->m_symbol, nullptr);
                       ExpectPosture(l->m_posture, 1500.0f, 1);
                     }});
  }
  {
    // The three bags: the instances and self id; each bag class adds its self id, the wall's
    // bag also its word.
    auto* bag = Keep(new LibInstancesBag);
    auto* a = new LibInstance;
    auto* b = new LibInstance;
    SetPosture(a->m_posture, 1.0f, 0);
    SetPosture(b->m_posture, 2.0f, 1);
    bag->m_instances.Add(a);
    bag->m_instances.Add(b);
    Spell e;
    e.NewClass("LibInstancesBag").Count(2);
    e.NewClass("LibInstance").Id(a).U32(0);  // class 3, instance 4
    SpellPosture(e, a->m_posture, 1.0f, 0);
    e.Id(a).OldClass(3).Id(b).U32(0);
    SpellPosture(e, b->m_posture, 2.0f, 1);
    e.Id(b).Id(bag);
    table.push_back({"LibInstancesBag", bag, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<LibInstancesBag*>(o);
                       ASSERT_EQ(l->GetCount(), 2);
                       ExpectPosture(l->GetAt(0)->m_posture, 1.0f, 0);
                       ExpectPosture(l->GetAt(1)->m_posture, 2.0f, 1);
                     }});
  }
  {
    auto* bag = Keep(new HoleInstancesBag);
    auto* h = new HoleInstance;
    h->m_kind = HOLE_DOOR;
    h->m_kindId = 1000;
    SetPosture(h->m_posture, 900.0f, 0);
    bag->Add(h, true);
    Spell e;
    e.NewClass("HoleInstancesBag").Count(1).NewClass("HoleInstance").Id(h).U32(0);
    SpellPosture(e, h->m_posture, 900.0f, 0);
    e.Id(h).Id(h).I32(10).I32(1000);
    e.Id(bag).Id(bag);
    table.push_back({"HoleInstancesBag", bag, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<HoleInstancesBag*>(o);
                       ASSERT_EQ(l->GetCount(), 1);
                       EXPECT_EQ(l->GetHole(0)->m_kindId, 1000);
                     }});
  }
  {
    auto* bag = Keep(new WallHoleInstancesBag);
    bag->m_word = 0x00010002u;
    Spell e;
    e.NewClass("WallHoleInstancesBag").Count(0).Id(bag).Id(bag).Id(bag).U32(0x00010002u);
    table.push_back({"WallHoleInstancesBag", bag, e.bytes, [](CObject* o, RelinkTable&) {
                       EXPECT_EQ(static_cast<WallHoleInstancesBag*>(o)->m_word, 0x00010002u);
                     }});
  }

  // ---- poles, walls, wall sides, rooms, the frame ----
  {
    auto* j = Keep(new WallPoleJoinInfo(&st.wall, &st.pole));
    Spell e;
    e.NewClass("WallPoleJoinInfo").Id(j).Id(&st.wall).Id(&st.pole);
    table.push_back({"WallPoleJoinInfo", j, e.bytes, [&st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<WallPoleJoinInfo*>(o);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pWall, &st.wall);
                       EXPECT_EQ(l->m_pPole, &st.pole);
                     }});
  }
  {
    // The join records, self id, both neighbours (counter-clockwise first), the pole word (the
    // height), the ten doubles, the side flags, the state.
    auto* p = Keep(new WallPole);
    p->AddJoin(&st.wall, p);
    p->m_pCounterClockwise = &st.otherPole;
    p->m_pClockwise = nullptr;
    p->m_height = 2350;
    SetPoleGeometry(p, 1000.5);
    p->m_sideFlags = POLE_SIDE0_ALT | POLE_STRAIGHT_CW;
    p->m_state = 3;
    Spell e;
    e.NewClass("WallPole").Count(1).NewClass("WallPoleJoinInfo").Id(p->GetJoin(0)).Id(&st.wall).Id(p);
    e.Id(p).Id(&st.otherPole).U32(0).I32(2350);
    SpellPoleGeometry(e, 1000.5);
    e.U32(0x1001).U32(3);
    table.push_back({"WallPole", p, e.bytes, [p, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<WallPole*>(o);
                       ExpectRecord(t, RelinkTable::kWallPoles, "WallPole", p, l);
                       EXPECT_EQ(l->m_height, 2350);
                       ExpectPoleGeometry(l, 1000.5);
                       EXPECT_EQ(l->m_sideFlags, 0x1001u);
                       EXPECT_EQ(l->m_state, 3u);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pCounterClockwise, &st.otherPole);
                       EXPECT_EQ(l->m_pClockwise, nullptr);
                       ASSERT_EQ(l->GetDegree(), 1);
                       EXPECT_EQ(l->GetJoinWall(0), &st.wall);
                       EXPECT_EQ(l->GetJoinPole(0), l);
                     }});
  }
  {
    // A wall: the cells of both sides, the openings bag, self id, both poles as objects, the
    // ids of both rooms, the held opening behind its flag, the thickness, the flags' high half.
    auto* w = Keep(new Wall(0, 0, 2400, 2300, 150));
    delete w->GetCell(1, 0);
    w->m_cells[1].RemoveAll();
    WallFaceCell* cell = w->GetCell(0, 0);
    cell->m_band = BAND_WALL;
    SetPoleGeometry(w->m_pStart, 100);
    SetPoleGeometry(w->m_pEnd, 200);
    w->m_pStart->m_sideFlags = 0x0F;
    w->m_pEnd->m_sideFlags = 0x2F;
    w->m_openings.m_word = 4;
    w->m_pRoom[0] = &st.room;
    auto* held = new HoleInstance;
    held->m_kind = HOLE_DOOR;
    held->m_kindId = 1009;
    SetPosture(held->m_posture, 50.0f, 0);
    w->m_pPendingOpening = held;
    w->m_flags = 0x00120000u | WALL_SIDE0_SELECTED | WALL_SELECTED | WALL_MARKED;
    Spell e;
    e.NewClass("Wall");                                               // class 1, wall 2
    e.Count(1).NewClass("WallFaceCell").Count(0).Count(0).Id(cell);  // class 3, cell 4
    e.Id(cell).U32(0).I32(2300).U32(BAND_WALL);
    e.Count(0);
    e.Count(0).Id(&w->m_openings).Id(&w->m_openings).Id(&w->m_openings).U32(4);
    e.Id(w);
    e.NewClass("WallPole").Count(1);                                  // class 5, pole 6
    e.NewClass("WallPoleJoinInfo").Id(w->m_pStart->GetJoin(0)).Id(w).Id(w->m_pStart);  // class 7, record 8
    e.Id(w->m_pStart).U32(0).U32(0).I32(2400);
    SpellPoleGeometry(e, 100);
    e.U32(0x0F).U32(0);
    e.OldClass(5).Count(1);                                           // pole 9
    e.OldClass(7).Id(w->m_pEnd->GetJoin(0)).Id(w).Id(w->m_pEnd);      // record 10
    e.Id(w->m_pEnd).U32(0).U32(0).I32(2300);
    SpellPoleGeometry(e, 200);
    e.U32(0x2F).U32(0);
    e.Id(&st.room).U32(0);
    e.U32(1).NewClass("HoleInstance").Id(held).U32(0);
    SpellPosture(e, held->m_posture, 50.0f, 0);
    e.Id(held).Id(held).I32(10).I32(1009);
    e.U32(150).U32(0x00120000u);
    table.push_back({"Wall", w, e.bytes, [w, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<Wall*>(o);
                       ExpectRecord(t, RelinkTable::kWalls, "Wall", w, l);
                       EXPECT_EQ(l->m_flags, 0x00120000u);
                       EXPECT_EQ(l->m_thickness, 150u);
                       EXPECT_EQ(l->m_openings.m_word, 4u);
                       ASSERT_EQ(l->GetCellCount(0), 1);
                       EXPECT_EQ(l->GetCellCount(1), 0);
                       EXPECT_EQ(l->GetCell(0, 0)->m_top, 2300);
                       ASSERT_TRUE(l->m_pPendingOpening);
                       EXPECT_EQ(l->m_pPendingOpening->m_kindId, 1009);
                       ASSERT_TRUE(l->m_pStart && l->m_pEnd);
                       ExpectPoleGeometry(l->m_pStart, 100);
                       ExpectPoleGeometry(l->m_pEnd, 200);
                       EXPECT_EQ(l->m_pEnd->m_sideFlags, 0x2Fu);
                       EXPECT_EQ(l->m_pEnd->m_height, 2300);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->GetRoom(0), &st.room);
                       EXPECT_EQ(l->GetRoom(1), nullptr);
                       EXPECT_EQ(l->m_pStart->GetJoinWall(0), l);
                       EXPECT_EQ(l->m_pEnd->GetJoinPole(0), l->m_pEnd);
                       l->m_pRoom[0] = nullptr;  // the stub room has no side of it
                     }});
  }
  {
    // Stored flags keep bit 31 and drop the low half (selection and marking bits).
    auto* w = Keep(NewBareWall(0, 10));
    w->m_flags = PLAN_SCRATCH | WALL_SIDE1_SELECTED | WALL_SELECTED | WALL_MARKED;
    Spell e;
    e.NewClass("Wall");
    SpellBareWall(e, w, 2, 0, 10, PLAN_SCRATCH);
    table.push_back({"Wall, flags with bit 31", w, e.bytes, nullptr});  // a scratch copy is never opened
  }
  {
    // A wall side: its two arrays, self id, the ids of the wall and the pole, each moulding
    // behind its flag, the direction.
    auto* face = Keep(new WallFace(&st.wall, &st.pole, -1));
    auto* item = new Mesh;
    face->m_items[1].Add(item);
    auto* moulding = new AncestryMesh;
    face->m_pMoulding[1] = moulding;
    Spell e;
    e.NewClass("WallFace").Count(0).Count(1).NewClass("Mesh").Count(0).Count(0).Id(item);
    e.Id(face).Id(&st.wall).Id(&st.pole);
    e.U32(0).U32(1).NewClass("AncestryMesh").Count(0).Count(0).Id(moulding).Id(&moulding->m_ancestry).U32(0).Id(moulding);
    e.I32(-1);
    table.push_back({"WallFace", face, e.bytes, [&st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<WallFace*>(o);
                       EXPECT_EQ(l->m_items[0].GetSize(), 0);
                       EXPECT_EQ(l->m_items[1].GetSize(), 1);
                       EXPECT_EQ(l->m_pMoulding[0], nullptr);
                       EXPECT_NE(l->m_pMoulding[1], nullptr);
                       EXPECT_EQ(l->m_direction, -1);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pWall, &st.wall);
                       EXPECT_EQ(l->m_pPole, &st.pole);
                     }});
  }
  {
    // A room: the AncestryObject record, the three meshes, the floor, the ceiling, the wall
    // sides, self id, the room word, the state's high half.
    auto* room = Keep(new Room(2400, -150));
    room->m_pOwner = &st.sceneGroup;
    room->m_meshes[1].AddVertex(new MeshVertex(5, 6, 7));
    auto* placed = new LibInstance;
    SetPosture(placed->m_posture, 30.0f, 1);
    room->m_floor.m_objects.m_instances.Add(placed);
    auto* side = new WallFace(&st.wall, &st.pole, 1);
    room->m_wallFaces.Add(side);
    room->m_interior = 0;
    room->m_state = 0x00120000u | ROOM_SELECTED | ROOM_EXPORTED;
    Spell e;
    e.NewClass("Room").Id(room).U32(0);                                // class 1, room 2
    e.Count(0).Count(0).Id(&room->m_meshes[0]);
    e.Count(1).NewClass("MeshVertex").Id(room->m_meshes[1].GetVertex(0)).F64(5).F64(6).F64(7);  // 3, 4
    e.Count(0).Id(&room->m_meshes[1]);
    e.Count(0).Count(0).Id(&room->m_meshes[2]);
    e.Count(0).Count(0).Id(&room->m_floor);
    e.Count(1).NewClass("LibInstance").Id(placed).U32(0);                          // 5, 6
    SpellPosture(e, placed->m_posture, 30.0f, 1);
    e.Id(placed).Id(&room->m_floor.m_objects);
    e.Id(&room->m_floor).I32(-150).Id(&room->m_floor);
    e.Count(0).Count(0).Id(&room->m_ceiling).Count(0).Id(&room->m_ceiling.m_objects);
    e.Id(&room->m_ceiling).I32(2400).Id(&room->m_ceiling);
    e.Count(1).NewClass("WallFace").Count(0).Count(0).Id(side).Id(&st.wall).Id(&st.pole).U32(0).U32(0).I32(1);
    e.Id(room).U32(0).U32(0x00120000u);
    table.push_back({"Room", room, e.bytes, [room, &st](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<Room*>(o);
                       ExpectRecord(t, RelinkTable::kAncestryObjects, "AncestryObject", room, l);
                       ExpectRecord(t, RelinkTable::kRooms, "Room", room, l);
                       EXPECT_EQ(l->m_interior, 0u);
                       EXPECT_EQ(l->m_state, 0x00120000u);
                       EXPECT_EQ(l->GetFloorLevel(), -150);
                       EXPECT_EQ(l->GetCeilingLevel(), 2400);
                       EXPECT_EQ(l->m_meshes[0].GetVertexCount(), 0);
                       ASSERT_EQ(l->m_meshes[1].GetVertexCount(), 1);
                       EXPECT_EQ(l->m_meshes[1].GetVertex(0)->z, 7);
                       ASSERT_EQ(l->m_floor.m_objects.GetCount(), 1);
                       EXPECT_EQ(l->m_ceiling.m_objects.GetCount(), 0);
                       ASSERT_EQ(l->GetWallFaceCount(), 1);
                       EXPECT_EQ(l->GetWallFace(0)->m_direction, 1);
                       RelinkWithStubs(l, t, st);
                       EXPECT_EQ(l->m_pOwner, nullptr);
                       EXPECT_EQ(l->GetWallFace(0)->m_pWall, &st.wall);
                     }});
  }
  {
    // A frame: rooms, walls, walls of the chain, self id, the two plan words as a raw block,
    // the enclosing room's flag (0: nothing follows).
    auto* frame = Keep(new Frame);
    frame->m_originX = -7;
    frame->m_originY = 300000;
    Wall* w = NewBareWall(1000, 2000);
    frame->m_walls.Add(w);
    Spell e;
    e.NewClass("Frame").Count(0).Count(1).NewClass("Wall");  // class 1, frame 2, class 3, wall 4
    SpellBareWall(e, w, 4, 1000, 2000);
    e.Count(0).Id(frame);
    e.U32(0xFFFFFFF9u).U32(300000);  // the raw block: -7, then 300000
    e.U32(0);
    table.push_back({"Frame", frame, e.bytes, [](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<Frame*>(o);
                       EXPECT_EQ(l->m_originX, -7);
                       EXPECT_EQ(l->m_originY, 300000);
                       EXPECT_EQ(l->m_pDummyRoom, nullptr);
                       EXPECT_EQ(l->GetRoomCount(), 0);
                       EXPECT_EQ(l->GetChainCount(), 0);
                       ASSERT_EQ(l->GetWallCount(), 1);
                       ExpectPoleGeometry(l->GetWall(0)->m_pEnd, 2000);
                       l->Relink(t);
                       t.ReleaseJoinRecords();
                       EXPECT_EQ(t.GetUnresolvedCount(), 0);
                     }});
  }
  {
    // With its enclosing room: flag 1, then the room as a typed reference; a wall of the chain.
    auto* frame = Keep(new Frame);
    frame->m_originX = 12;
    frame->m_originY = -34;
    Wall* w = NewBareWall(-500, -600);
    frame->m_chain.Add(w);
    frame->m_pDummyRoom = new Room(3000, -100);
    Spell e;
    e.NewClass("Frame").Count(0).Count(0).Count(1).NewClass("Wall");
    SpellBareWall(e, w, 4, -500, -600);
    e.Id(frame).I32(12).I32(-34).U32(1).NewClass("Room");
    SpellBareRoom(e, frame->m_pDummyRoom);
    table.push_back({"Frame with its enclosing room", frame, e.bytes, [](CObject* o, RelinkTable& t) {
                       auto* l = static_cast<Frame*>(o);
                       EXPECT_EQ(l->m_originX, 12);
                       EXPECT_EQ(l->m_originY, -34);
                       EXPECT_EQ(l->GetWallCount(), 0);
                       ASSERT_EQ(l->GetChainCount(), 1);
                       ASSERT_TRUE(l->m_pDummyRoom);
                       EXPECT_EQ(l->m_pDummyRoom->GetCeilingLevel(), 3000);
                       EXPECT_EQ(l->m_pDummyRoom->GetFloorLevel(), -100);
                       l->Relink(t);
                       t.ReleaseJoinRecords();
                     }});
  }

  // ---- the model, model information and database ----
  {
    // The frame and the scene embedded, self id, version, kind, six strings, last word.
    auto* model = Keep(new Model);
    model->m_frame.m_originX = 5;
    model->m_frame.m_originY = 6;
    Scene& sc = model->m_scene;
    for (int i = 0; i < 7; ++i) sc.m_startView[i] = 0.5f * static_cast<float>(i + 1);
    sc.m_background = 0x00FF8040u;
    sc.m_text = "s";
    sc.m_words[0] = 3;
    sc.m_words[1] = 4;
    model->m_modelKind = MODEL_RECOMMENDED;
    const char* strings[6] = {"a", "", "집", "", "bc", "end"};
    for (int i = 0; i < 6; ++i) model->m_strings[i] = strings[i];
    model->m_lastWord = 7;
    Spell e;
    e.NewClass("Model");
    e.Count(0).Count(0).Count(0).Id(&model->m_frame).I32(5).I32(6).U32(0);  // the frame
    e.Count(0).Id(&sc);                                                      // the scene
    for (int i = 0; i < 7; ++i) e.F32(0.5f * static_cast<float>(i + 1));
    e.Count(0).Count(0).U32(0x00FF8040u).Str("s").U32(3).U32(4).Count(0);
    e.Id(model).U32(1).U32(0xFF03);
    for (const char* str : strings) e.Str(str);
    e.U32(7);
    table.push_back({"Model", model, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<Model*>(o);
                       EXPECT_EQ(l->m_frame.m_originX, 5);
                       EXPECT_EQ(l->m_frame.m_originY, 6);
                       EXPECT_EQ(l->m_scene.m_startView[6], 3.5f);
                       EXPECT_EQ(l->m_scene.m_background, 0x00FF8040u);
                       EXPECT_EQ(l->m_scene.m_text, "s");
                       EXPECT_EQ(l->m_scene.m_words[1], 4u);
                       EXPECT_EQ(l->m_version, 1u);
                       EXPECT_EQ(l->m_modelKind, 0xFF03u);
                       EXPECT_EQ(l->m_strings[2], "집");
                       EXPECT_EQ(l->m_strings[5], "end");
                       EXPECT_EQ(l->m_lastWord, 7u);
                     }});
  }
  {
    // No self id: version, kind, seven strings, last word.
    auto* info = Keep(new ModelInformation);
    info->m_modelKind = MODEL_USER;
    const char* strings[7] = {"이름", "a.tavo", "", "x", "", "", "7"};
    for (int i = 0; i < 7; ++i) info->m_strings[i] = strings[i];
    info->m_lastWord = 9;
    Spell e;
    e.NewClass("ModelInformation").U32(1).U32(0xFF04);
    for (const char* str : strings) e.Str(str);
    e.U32(9);
    table.push_back({"ModelInformation", info, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<ModelInformation*>(o);
                       EXPECT_EQ(l->m_version, 1u);
                       EXPECT_EQ(l->m_modelKind, 0xFF04u);
                       EXPECT_EQ(l->m_strings[1], "a.tavo");
                       EXPECT_EQ(l->m_strings[6], "7");
                       EXPECT_EQ(l->m_lastWord, 9u);
                     }});
  }
  {
    // The list as a collection of ModelInformation objects.
    auto* db = Keep(new ModelDatabase);
    auto* first = new ModelInformation;
    auto* second = new ModelInformation;
    first->m_strings[0] = "1";
    second->m_strings[0] = "2";
    second->m_modelKind = MODEL_EXTERIOR;
    db->m_list.AddTail(first);
    db->m_list.AddTail(second);
    Spell e;
    e.NewClass("ModelDatabase").Count(2);
    e.NewClass("ModelInformation").U32(1).U32(0xFF00).Str("1").Str("").Str("").Str("").Str("").Str("").Str("").U32(0);
    e.OldClass(3).U32(1).U32(0xFF01).Str("2").Str("").Str("").Str("").Str("").Str("").Str("").U32(0);
    table.push_back({"ModelDatabase", db, e.bytes, [](CObject* o, RelinkTable&) {
                       auto* l = static_cast<ModelDatabase*>(o);
                       ASSERT_EQ(l->m_list.GetCount(), 2);
                       auto* tail = static_cast<ModelInformation*>(l->m_list.GetTail());
                       EXPECT_EQ(tail->m_strings[0], "2");
                       EXPECT_EQ(tail->m_modelKind, 0xFF01u);
                     }});
  }
  return table;
}

Bytes Store(CObject* object) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar.WriteObject(object);
    ar.Close();
  }
  const ULONGLONG length = file.GetLength();
  BYTE* data = file.Detach();
  Bytes bytes(data, data + length);
  free(data);
  return bytes;
}

// The first place where two byte strings differ, for the failure message.
std::string FirstDifference(const Bytes& expected, const Bytes& actual) {
  size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  char text[96];
  std::snprintf(text, sizeof text, "first difference at byte %zu of %zu (written %zu)", i, expected.size(),
                actual.size());
  return text;
}

TEST_F(StoredBytes, EveryClassWritesItsLayoutAndReadsItBack) {
  Hole* const windowSymbol = reinterpret_cast<Hole*>(&s.room);  // any address will do as a symbol
  g_windowSymbols[2] = windowSymbol;
  for (Fixture& f : Fixtures()) {
    SCOPED_TRACE(f.name);
    const Bytes written = Store(f.object);
    EXPECT_EQ(written, f.expected) << FirstDifference(f.expected, written);
    if (!f.check) continue;

    ModelDocument doc;  // the relink table that loading records into
    Bytes copy = f.expected;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = &doc;
    CObject* loaded = nullptr;
    try {
      loaded = ar.ReadObject(f.object->GetRuntimeClass());
    } catch (CException* e) {
      e->Delete();
      ADD_FAILURE() << "the expected bytes do not read back";
      continue;
    }
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetRuntimeClass(), f.object->GetRuntimeClass());
    BYTE extra;
    EXPECT_EQ(ar.Read(&extra, 1), 0u) << "bytes left after the record";
    f.check(loaded, doc.GetRelinkTable());
    delete loaded;
  }
  g_windowSymbols[2] = nullptr;
}

// Sizes the layout names outright.
TEST_F(StoredBytes, VertexAndFaceSizes) {
  MeshVertex v(1, 2, 3);
  MeshFace f(0, 1, 2);
  EXPECT_EQ(Store(&v).size(), 2 + 2 + 2 + std::strlen("MeshVertex") + 28);
  EXPECT_EQ(Store(&f).size(), 2 + 2 + 2 + std::strlen("MeshFace") + 16);
}

}  // namespace
