// Placed library models and openings: library models on floors and ceilings (LibInstance),
// doors and windows set into walls (HoleInstance), and the bags that hold them.
#pragma once
#include <cstdint>
#include <utility>

#include "models/mesh.h"

class Hole;  // the plan symbol of a door or window kind

// The kind tables: the plan symbol of each door kind (ids 1000 to 1009) and window kind (ids
// 1100 to 1107), filled once at start-up; null until then.
extern Hole* g_doorSymbols[10];
extern Hole* g_windowSymbols[8];
// The plan symbol of a kind id of a kind (HOLE_DOOR, HOLE_WINDOW); null for any other
// combination.
Hole* FindHoleSymbol(int32_t kind, int32_t kindId);

// Where and how big a placed model is. Openings use position x as the distance along the wall
// from its start pole and position z as the bottom height; rotation z is the turn in the plan
// (degrees); size x is the width along the wall, size y the depth across it, size z the height.
class Posture : public CObject {
  DECLARE_SERIAL(Posture)
public:
  Posture() = default;
  Posture(const Posture& other);
  Posture& operator=(const Posture& other);

  // Stored form (instance_store.cpp): self id, the nine floats, the mirror flag. It links to
  // nothing, so it has no relink.
  void Serialize(CArchive& ar) override;

  float position[3] = {0.0f, 0.0f, 0.0f};
  float rotation[3] = {0.0f, 0.0f, 0.0f};
  float size[3] = {0.0f, 0.0f, 0.0f};
  uint32_t mirror = 0;  // 0 or 1
};

enum HoleKind : int32_t { HOLE_DOOR = 10, HOLE_WINDOW = 11 };

class LibInstance : public AncestryObject {
  DECLARE_SERIAL(LibInstance)
public:
  LibInstance() = default;
  ~LibInstance() override = default;

  // Stored form (instance_store.cpp): the owner part, the posture, self id.
  void Serialize(CArchive& ar) override;
  void Relink(RelinkTable& table) override;

  Posture m_posture;
};

class HoleInstance : public LibInstance {
  DECLARE_SERIAL(HoleInstance)
public:
  HoleInstance() = default;
  ~HoleInstance() override = default;

  // Stored form (instance_store.cpp): the instance's record, self id, kind, kind id. Loading
  // takes the plan symbol of the kind id from the kind tables.
  void Serialize(CArchive& ar) override;

  // (trunc(-size/2), trunc(size/2)) along axis 0, 1 or 2; (0, 0) for any other axis.
  std::pair<int, int> GetExtent(int axis) const;
  // The opening's interval along an axis: its extent scaled to its size, around its position.
  std::pair<double, double> GetInterval(int axis) const;
  // True when the opening's interval along the axis meets the closed interval [low, high].
  bool Overlaps(double low, double high, int axis) const;
  // The model file of the first library entry of its kind (holekinds.cpp): the entry's
  // mirrored model when asked; empty when the library has none.
  CString GetLibraryFileName(bool mirrored) const;

  int32_t m_kind = 0;    // HOLE_DOOR or HOLE_WINDOW
  int32_t m_kindId = 0;  // 1000-1009 doors, 1100-1107 windows
  Hole* m_symbol = nullptr;  // not owned
};

class LibInstancesBag : public CObject {
  DECLARE_SERIAL(LibInstancesBag)
public:
  LibInstancesBag() = default;
  ~LibInstancesBag() override;
  LibInstancesBag(const LibInstancesBag&) = delete;
  LibInstancesBag& operator=(const LibInstancesBag&) = delete;

  // Stored form (instance_store.cpp): the instances, self id. A bag of openings holds
  // HoleInstance objects only.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable& table);

  // Takes the instance out (scanning from the end) without deleting it; true when found.
  bool Remove(LibInstance* instance);
  int GetCount() const { return static_cast<int>(m_instances.GetSize()); }
  LibInstance* GetAt(int i) const { return static_cast<LibInstance*>(m_instances.GetAt(i)); }

  ObjectArray m_instances;  // LibInstance, owned
};

class HoleInstancesBag : public LibInstancesBag {
  DECLARE_SERIAL(HoleInstancesBag)
public:
  HoleInstancesBag() = default;
  ~HoleInstancesBag() override = default;
  // The bag's record, then self id.
  void Serialize(CArchive& ar) override;

  // Appends the instance (taking it over) when add is set; returns it.
  HoleInstance* Add(HoleInstance* instance, bool add);
  HoleInstance* GetHole(int i) const { return static_cast<HoleInstance*>(m_instances.GetAt(i)); }
};

// The openings of one wall, ordered by their position along the wall.
class WallHoleInstancesBag : public HoleInstancesBag {
  DECLARE_SERIAL(WallHoleInstancesBag)
public:
  WallHoleInstancesBag() = default;
  ~WallHoleInstancesBag() override = default;
  // The bag's record, then self id and the bag word.
  void Serialize(CArchive& ar) override;

  // With offset 0 an opening that would overlap another one of the wall is refused (null).
  // Without add the source is returned after the check. Otherwise a copy of the source moved by
  // the offset along the wall is added in order of position and returned.
  HoleInstance* Add(HoleInstance* source, bool add, double offset);
  // Stable sort by position along the wall.
  void Sort();

  uint32_t m_word = 0;
};
