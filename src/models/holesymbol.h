// Plan symbols of doors and windows: a Hole (one per kind) made of one or two HoleSymbol
// drawings read from DXF files, how a symbol is scaled to an opening's size and placed on its
// wall.
#pragma once
#include <cstdint>
#include <utility>

#include "models/dxf.h"
#include "models/mesh.h"

class HoleInstance;
class RelinkTable;

class HoleSymbol : public CObject {
  DECLARE_SERIAL(HoleSymbol)
public:
  HoleSymbol() = default;
  // Deletes its entities.
  ~HoleSymbol() override;
  HoleSymbol(const HoleSymbol&) = delete;
  HoleSymbol& operator=(const HoleSymbol&) = delete;

  // Stored form (holesymbol_store.cpp): self id only; the drawing comes from its DXF file.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable&) {}
  // Draws every entity, the last first, with the placing's two scales.
  virtual void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const;

  // The smallest low end and greatest high end of its entities' extents, both starting at 0.
  std::pair<int32_t, int32_t> GetExtent(int axis) const;
  // The extent box turned by the angle (degrees).
  CRect GetBounds(double angle) const;
  // Appends the LINE, ARC and POINT entities of the ENTITIES section of a DXF file (dxf_reader.cpp).
  // A symbol that has a drawing already asks first. 1 when read (or the file has no ENTITIES
  // section), 0 when cancelled or the file cannot be opened (with a message).
  int ReadDxf(const char* path);

  int GetEntityCount() const { return static_cast<int>(m_entities.GetSize()); }
  CObject* GetEntity(int i) const { return m_entities.GetAt(i); }

  ObjectArray m_entities;  // DXFPoint, DXFLine, DXFCircle, DXFArc; owned
  CString m_name;
};

// A symbol scaled alike in x and y (by the x scale).
class HoleRegularSymbol : public HoleSymbol {
  DECLARE_SERIAL(HoleRegularSymbol)
public:
  HoleRegularSymbol() = default;
  // The symbol's record, then self id.
  void Serialize(CArchive& ar) override;
  void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const override;
};

// The scales that fit a symbol to an opening of a width and depth. A symbol without an x extent
// cannot be scaled and is not drawn; one without a y extent keeps its y size.
struct SymbolScales {
  bool drawn = false;
  double x = 1.0;
  double y = 1.0;
};
SymbolScales ScaleSymbol(const HoleSymbol& symbol, int32_t width, int32_t depth);

// Option flags of a Hole.
enum : uint32_t {
  HOLE_OPTION_1 = 0x10000,
  HOLE_OPTION_2 = 0x20000,
};

// The plan symbol of a door or window kind.
class Hole : public CObject {
  DECLARE_SERIAL(Hole)
public:
  Hole() = default;
  // Deletes its symbols.
  ~Hole() override;
  Hole(const Hole&) = delete;
  Hole& operator=(const Hole&) = delete;

  // Stored form (holesymbol_store.cpp): self id only.
  void Serialize(CArchive& ar) override;
  virtual void Relink(RelinkTable&) {}

  // Reads the drawing <library folder>Symbol/<name>.DXF into a new symbol (regular or not) and
  // appends it, read or not. Nothing for a null name.
  void AddSymbol(const char* name, bool regular);
  // Draws its symbols, the last first, each scaled to the opening's width and depth.
  void Draw(SymbolPainter& painter, CPoint origin, double angle, bool mirror, int32_t width,
            int32_t depth) const;
  // The union of its symbols' bounds at the angle.
  CRect GetBounds(double angle) const;
  std::pair<int32_t, int32_t> GetExtent(int axis) const;
  // Draws an opening's plan symbol on its wall, whose start pole is at (x, y) and which runs at
  // wallAngle degrees. A kind id outside the kind tables draws nothing.
  static void DrawRotated(const HoleInstance& opening, SymbolPainter& painter, int32_t x, int32_t y,
                          double wallAngle);

  int GetSymbolCount() const { return static_cast<int>(m_symbols.GetSize()); }
  HoleSymbol* GetSymbol(int i) const { return static_cast<HoleSymbol*>(m_symbols.GetAt(i)); }

  uint32_t m_options = 0;
  ObjectArray m_symbols;  // HoleSymbol, owned
};

class HHole : public Hole {
  DECLARE_SERIAL(HHole)
public:
  HHole() = default;
  // The hole's record, then self id.
  void Serialize(CArchive& ar) override;
};

class VHole : public Hole {
  DECLARE_SERIAL(VHole)
public:
  VHole() = default;
  void Serialize(CArchive& ar) override;
};

// Where an opening's plan symbol goes: the kind's symbol, origin, angle, mirror and size.
struct OpeningSymbolPlace {
  Hole* symbol = nullptr;  // null: nothing is drawn
  CPoint origin;
  double angle = 0.0;
  bool mirror = false;
  int32_t width = 0;
  int32_t depth = 0;
};
OpeningSymbolPlace PlaceOpeningSymbol(const HoleInstance& opening, int32_t x, int32_t y,
                                      double wallAngle);
