// DXF drawing files: the group scanner and grammar (dxfparse.cpp), the entity builders
// (dxfentities.cpp), blocks, references and the geometries made from them (dxfblocks.cpp) and
// the writer (dxfwrite.cpp).  One file is read at a time; the read's state is module-level.
#pragma once

#include <stdio.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

struct WTdxfblock;

// A block reference: the referenced block, its matrix (toolkit axes, row vectors), the array of
// copies and the colour that the block's uncoloured polygons take.
struct WTdxfinsert {
  WTdxfblock *block;
  int layer0;
  WTm4 matrix;
  int rows, columns;
  float rowspacing, columnspacing;
  int colour;
  WTdxfinsert *next;
};

struct WTdxfpoint {
  float x, y, z;
  bool operator==(const WTdxfpoint &o) const { return x == o.x && y == o.y && z == o.z; }
};

struct WTdxfpointhash {
  size_t operator()(const WTdxfpoint &p) const;
};

// A block's vertices by position, in one array probed from the position's hash: a model reads
// millions of positions, and a table of linked nodes spends more on its nodes than on them.
class WTdxfvertextable {
 public:
  WTdxfvertextable() = default;
  WTdxfvertextable(const WTdxfvertextable &) = delete;
  WTdxfvertextable &operator=(const WTdxfvertextable &) = delete;
  ~WTdxfvertextable();
  // The vertex entered at the position (all three coordinates equal); when there is none, the
  // one make() returns, entered for it.
  template <typename Make>
  WTvertex *shared(const WTdxfpoint &p, Make make) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    Slot &s = slots_[probe(p)];
    if (!s.vertex) {
      s = Slot{p, make()};
      count_++;
    }
    return s.vertex;
  }
  // Starts bringing the position's first slot in from memory, for a find soon after: the
  // corners of a polygon are looked up together, and a large table is mostly out of the cache.
  void expect(const WTdxfpoint &p) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(p)]);
  }

 private:
  struct Slot {
    WTdxfpoint point;
    WTvertex *vertex;  // null: empty
  };
  size_t home(const WTdxfpoint &p) const { return WTdxfpointhash()(p) & (slots_.size() - 1); }
  // The slot holding the position, or the empty one that ends its run.
  size_t probe(const WTdxfpoint &p) const;
  void grow();
  // Slot arrays of finished tables are kept, one of each size, for the next tables: fresh
  // memory from the system is slow to come, and a large file's tables reach tens of megabytes.
  static std::vector<Slot> take(size_t size);
  static void giveback(std::vector<Slot> &&slots);
  std::vector<Slot> slots_;  // a power of two long, at most half full
  size_t count_ = 0;
};

struct WTdxfblock {
  std::string name;
  WTp3 base;
  float elevation;
  int zmissing;
  float thickness;
  int colour;
  WTp3 extrusion;
  WTpoly *polys;        // newest first
  WTvertex *vertices;   // newest first
  WTdxfinsert *inserts; // newest first
  // Open blocks share equal positions through this table (toolkit axes, exact match).
  WTdxfvertextable *hash;
  // The portal names of the block's polygons, made into portals once the polygons are placed.
  std::unordered_map<WTpoly *, std::string> portals;
};

// A polyline vertex: position, bulge, flags and the face indices of a polyface mesh.
struct WTdxfvertex {
  float x, y, z;
  float bulge;
  int flags;
  int face[4];
  int arc; // > 0: the first of the points that an expanded bulge put in; their count
  float cx, cy, radius;
};

enum WTdxfkind {
  WTDXF_NONE,
  WTDXF_LINE,
  WTDXF_3DLINE,
  WTDXF_POINT,
  WTDXF_CIRCLE,
  WTDXF_ARC,
  WTDXF_TRACE,
  WTDXF_SOLID,
  WTDXF_3DFACE,
  WTDXF_INSERT,
  WTDXF_POLYLINE,
  WTDXF_DROPPED
};

// The entity being read, reset at its keyword and filled group by group.
struct WTdxfentity {
  int kind;
  float p[4][3];
  float elevation;
  int zmissing;
  float thickness;
  int colour;
  WTp3 extrusion;
  float radius;
  float angle[2];
  int flags;
  int m, n;
  float width[2];
  std::vector<WTdxfvertex> verts; // polyline vertices; the last one is the open record
  int count;
  int solid; // the solid modeller's mark: polygons are single-sided
  // INSERT
  std::string block;
  float scale[3];
  float rotation;
  int rows, columns;
  float rowspacing, columnspacing;
  int layer0;
};

// State of the read shared by the parser, the builders and the block building.
struct WTdxfread {
  std::string layer;              // the value of the last group 8
  std::vector<WTdxfblock *> blocks; // closed blocks, in closing order
  int openpolylines = 0;
  int flatpolylines = 0;
  WTpq pose = {{0, 0, 0}, {0, 0, 0, 1}};
  long copies = 0;    // polygons copied into geometries so far
  bool overbudget = false;
  int classified = 0; // the next polygon takes this normal (DXF axes)
  WTp3 normal = {0, 0, 0};
};

WTdxfread &_WTdxf_state(void);
// The polygon copies a read may place through block references; returns the previous budget.
long _WTdxf_setcopybudget(long polygons);

// Builders: false when the entity is one the reader refuses (the read then ends with a warning).
bool _WTdxf_line(WTdxfblock *b, WTdxfentity *e);
bool _WTdxf_circle(WTdxfblock *b, WTdxfentity *e);
bool _WTdxf_arc(WTdxfblock *b, WTdxfentity *e);
bool _WTdxf_solid(WTdxfblock *b, WTdxfentity *e);
bool _WTdxf_3dface(WTdxfblock *b, WTdxfentity *e);
bool _WTdxf_polyline(WTdxfblock *b, WTdxfentity *e);
void _WTdxf_addpolygon(WTdxfblock *b, int count, const WTdxfpoint *points, int colour,
                       int twosided, int solid);
// Rows of the arbitrary-axis matrix for an extrusion direction.
void _WTdxf_ocs(const WTp3 extrusion, float rows[3][3]);
void _WTdxf_insert(WTdxfblock *b, WTdxfentity *e);

WTdxfblock *_WTdxf_newblock(void);
void _WTdxf_closeblock(WTdxfblock *b);
WTdxfblock *_WTdxf_findblock(const char *name);
void _WTdxf_freeblock(WTdxfblock *b);

// Runs the grammar over the stream: 0 when the file was accepted, 1 when the read stopped.
int _WTdxf_parse(FILE *in);

// The 256 entries of the DXF colour numbers, red, green, blue.
extern const unsigned char _WTdxf_colors[256][3];

extern "C" {
WTgeomlist *_WTdxf_read_geometries(FILE *stream, float scale, WTpq *pose, int merge);
WTcell *_WTdxf_read_objects(FILE *stream, float scale, WTpq *pose, int merge, int flag);
int _WTdxf_write_list(FILE *stream, WTpoly *polys);
int _WTdxf_write_geometry(FILE *stream, WTgeometry *geometry, int flag);
int _WTdxf_write_object(FILE *stream, WTobject *object, int flag);
int _WTdxf_write_universe(FILE *stream);
int _WTdxf_colorindex(WTpoly *poly);
}
