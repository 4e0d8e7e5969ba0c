// The meshes of one side of a wall as one room sees it: its bands with the doors and windows
// cut out, the inner surfaces of the openings, the pieces that close the wall's ends and steps,
// and the wall top.
#include <algorithm>
#include <cmath>
#include <vector>

#include "models/frame.h"
#include "models/room.h"
#include "models/triangulate.h"
#include "models/wall.h"
#include "models/wallface.h"
#include "models/wallpole.h"
#include "models/wallside.h"

namespace {

OpeningModelMover g_mover = nullptr;

// Marks of the closing pieces until they are placed: z = 1 upper, z = -1 lower.
constexpr double kUpper = 1.0;
constexpr double kLower = -1.0;

struct Opening {
  HoleInstance* hole = nullptr;
  double a = 0.0, b = 0.0;  // span along the wall's centre line
  double side[2][2] = {};   // side-s points at a and at b
  double other[2][2] = {};  // side-(1 - s) points at a and at b
  double bottom = 0.0, top = 0.0;
  bool rotated = false;  // turned by 90 degrees or more
};

// One end of the wall side.
struct End {
  WallPole* pole = nullptr;
  FaceEnd side[2];  // where the faces of side 0 and side 1 end
  EndCap cap;       // of side s
  EndStep step;     // of side s
  PoleTop top;      // built by side s
  bool hasStepCap = false;
  Mesh stepCap;
  const double* Chosen(int t) const { return side[t].Chosen(); }
};

void AddVertexAt(Mesh& mesh, const double xy[2], double z) {
  mesh.AddVertex(new MeshVertex(xy[0], xy[1], z));
}

// Appends a marked piece with its marks replaced by the two levels.
void AppendAtLevels(Mesh& target, const Mesh& piece, double bottom, double top) {
  Mesh placed;
  for (int i = 0; i < piece.GetVertexCount(); ++i) {
    const MeshVertex& v = *piece.GetVertex(i);
    placed.AddVertex(new MeshVertex(v.x, v.y, v.z > 0.0 ? top : bottom));
  }
  for (int i = 0; i < piece.GetFaceCount(); ++i) {
    const MeshFace& f = *piece.GetFace(i);
    placed.AddFace(new MeshFace(f.a, f.b, f.c));
  }
  target.Append(placed, false);
}

// Appends a flat piece with every vertex at one level.
void AppendAtLevel(Mesh& target, const Mesh& piece, double level, bool flip) {
  Mesh placed;
  for (int i = 0; i < piece.GetVertexCount(); ++i) {
    const MeshVertex& v = *piece.GetVertex(i);
    placed.AddVertex(new MeshVertex(v.x, v.y, level));
  }
  for (int i = 0; i < piece.GetFaceCount(); ++i) {
    const MeshFace& f = *piece.GetFace(i);
    placed.AddFace(new MeshFace(f.a, f.b, f.c));
  }
  target.Append(placed, flip);
}

// A rectangle cut out of a band, in the band's own coordinates (u along the side, v level).
struct Cut {
  double ua, ub, bottom, top;
};

// The level of the band's lower (or upper) boundary just right of u: the band's own level or
// the edge of a notch.
double Profile(const std::vector<Cut>& notches, double u, bool lower, double level) {
  for (const Cut& c : notches)
    if (u >= c.ua && u < c.ub)
      return lower ? c.top : c.bottom;
  return level;
}

struct Point2 {
  double u, v;
};

void PushPoint(std::vector<Point2>& contour, double u, double v) {
  if (!contour.empty() && std::fabs(contour.back().u - u) < 1e-9 &&
      std::fabs(contour.back().v - v) < 1e-9)
    return;
  contour.push_back({u, v});
}

// Two points of a band's outline closer than this are one.
constexpr double kSamePoint = 1e-9;
// Openings narrower than a millimetre along the face are not cut; a hole is kept a millimetre
// inside the outline, which it must not touch.
constexpr double kMinCut = 1.0;
// A head or sill lies at a board's level within this.
constexpr double kLevelTolerance = 0.001;

// An opening turned by 90 degrees or more faces the other way: its surfaces through the wall
// go to the other room. (Single precision, as the rotation is stored.)
bool TurnedRound(float rotation) {
  return rotation + 3690.0f >= 3780.0f;
}

// What every step of one wall side's build knows.
struct Side {
  const Frame& frame;
  Room& room;
  Wall* wall;
  int s;
  Room* other;  // the room on the other side, or null
  int owner;    // this room builds the pieces both sides share
  WallPole* poles[2];
  int32_t floorLevel, ceilingLevel;
  // The wall's centre line from its start pole, and the offsets of its two sides.
  double sx, sy, dx, dy;
  double offsets[4];

  Side(const Frame& f, Room& r, Wall* w, int side)
      : frame(f), room(r), wall(w), s(side), other(w->GetRoom(1 - side)),
        owner(Room::IsWallSideOwner(f, w, side)), poles{w->GetStartPole(), w->GetEndPole()},
        floorLevel(r.GetFloorLevel()), ceilingLevel(r.GetCeilingLevel()) {
    sx = poles[0]->m_x;
    sy = poles[0]->m_y;
    const double length = std::hypot(poles[1]->m_x - sx, poles[1]->m_y - sy);
    dx = length > 0.0 ? (poles[1]->m_x - sx) / length : 1.0;
    dy = length > 0.0 ? (poles[1]->m_y - sy) / length : 0.0;
    wall->GetOffsetVectors(wall->m_thickness * 0.5, offsets);
  }
  // The point on a side of the wall at a distance along its centre line.
  void PlanPoint(double along, int side, double out[2]) const {
    out[0] = sx + dx * along + offsets[side ? 2 : 0];
    out[1] = sy + dy * along + offsets[side ? 3 : 1];
  }
  // This room builds the pieces both sides share: it owns the side, or no room is on the other.
  bool Builds() const { return owner || !other; }
};

// ----- Openings -----

// The bottom and top of an opening: a door stands on the higher floor, a window hangs below
// the lowest ceiling and pole.
void OpeningLevels(const Side& w, Opening& o) {
  const Posture& p = o.hole->m_posture;
  if (o.hole->m_kind == HOLE_WINDOW) {
    int32_t limit =
        std::min(w.ceilingLevel, std::min(w.poles[0]->m_height, w.poles[1]->m_height));
    if (w.other)
      limit = std::min(limit, w.other->GetCeilingLevel());
    o.top = limit - static_cast<double>(p.position[2]);
    o.bottom = o.top - p.size[2];
  } else {
    const int32_t base =
        w.other ? std::max(w.floorLevel, w.other->GetFloorLevel()) : w.floorLevel;
    o.bottom = base + static_cast<double>(p.position[2]);
    o.top = o.bottom + p.size[2];
  }
  o.bottom = RoundMesh(o.bottom);
  o.top = RoundMesh(o.top);
}

// Moves the opening's model to the centre of the opening.
void MoveOpeningModel(const Side& w, const Opening& o) {
  if (!g_mover)
    return;
  const double cx = (w.sx + w.dx * o.a + w.sx + w.dx * o.b) / 2.0;
  const double cy = (w.sy + w.dy * o.a + w.sy + w.dy * o.b) / 2.0;
  g_mover(o.hole->m_pOwner, static_cast<float>(cx), static_cast<float>(cy),
          static_cast<float>((o.bottom + o.top) / 2.0));
}

// The openings, from the last to the first: their spans, their levels, and their models moved
// to the centre of the opening.
std::vector<Opening> PlaceOpenings(const Side& w) {
  const WallHoleInstancesBag& bag = w.wall->m_openings;
  std::vector<Opening> openings(bag.GetCount());
  for (int i = bag.GetCount() - 1; i >= 0; --i) {
    Opening& o = openings[i];
    o.hole = bag.GetHole(i);
    const Posture& p = o.hole->m_posture;
    const auto [low, high] = o.hole->GetExtent(0);
    o.a = p.position[0] + static_cast<double>(low);
    o.b = p.position[0] + static_cast<double>(high);
    w.PlanPoint(o.a, w.s, o.side[0]);
    w.PlanPoint(o.b, w.s, o.side[1]);
    w.PlanPoint(o.a, 1 - w.s, o.other[0]);
    w.PlanPoint(o.b, 1 - w.s, o.other[1]);
    OpeningLevels(w, o);
    o.rotated = TurnedRound(p.rotation[2]);
    MoveOpeningModel(w, o);
  }
  return openings;
}

// The height of the wall, raised to this room's ceiling when the room steps over the other.
struct WallHeight {
  int32_t height;  // the lower pole's
  int32_t raised;  // the height this room's side reaches
  bool step;       // raised: this room's ceiling stands above the wall and the other room's
};

WallHeight HeightOf(const Side& w) {
  WallHeight h;
  h.height = std::min(w.poles[0]->m_height, w.poles[1]->m_height);
  h.raised = h.height;
  h.step = false;
  if (w.other && w.ceilingLevel > h.height && w.ceilingLevel > w.other->GetCeilingLevel()) {
    h.raised = w.ceilingLevel;
    h.step = true;
  }
  return h;
}

// ----- The ends -----

// Where the faces end at one pole. The other side's corners are settled first, without its
// end outputs, so that only side s leaves its cap and step.
void FindEnd(const Side& w, End& end) {
  const int s = w.s;
  WallPole* pole = end.pole;
  const int32_t base = pole->GetBaseLevel();
  {
    EndCap cap = end.cap;
    EndStep step;
    FaceEnd& face = end.side[1 - s];
    pole->ComputeFaceCorner(w.frame, 1 - s, base, false, face, nullptr);
    pole->ComputeSolidCorner(w.frame, w.owner, 1 - s, base, false, face, cap, step, nullptr);
  }
  FaceEnd& face = end.side[s];
  pole->ComputeFaceCorner(w.frame, s, base, false, face, &end.cap);
  pole->ComputeSolidCorner(w.frame, w.Builds() ? 1 : 0, s, base, false, face, end.cap, end.step,
                           &end.top);
  if (end.top.midpoint) {
    end.top.centre[0] = (end.Chosen(s)[0] + end.Chosen(1 - s)[0]) / 2.0;
    end.top.centre[1] = (end.Chosen(s)[1] + end.Chosen(1 - s)[1]) / 2.0;
  }
}

// Both ends, the start pole's first. Each side's points start at the pole's current corner; the
// cap spans from the floor (or the lower pole) up to the neighbour's height unless the corner
// operations say otherwise.
void FindEnds(const Side& w, End ends[2]) {
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    end.pole = w.poles[e];
    for (int t = 0; t < 2; ++t) {
      end.pole->GetSideCorner(t, &end.side[t].point[0][0], &end.side[t].point[0][1]);
      end.side[t].point[1][0] = end.side[t].point[0][0];
      end.side[t].point[1][1] = end.side[t].point[0][1];
    }
    end.cap.lower = std::min(w.floorLevel, end.pole->m_height);
    const WallPole* neighbour = end.pole->GetNeighbour(w.s);
    end.cap.upper = neighbour ? neighbour->m_height : end.pole->m_height;
  }
  for (int e = 0; e < 2; ++e)
    FindEnd(w, ends[e]);
}

// The faces of the pieces at the start end turn one way, at the far end the other.
bool FlipAtEnd(int e, int s) {
  return e == 0 ? s == 0 : s == 1;
}

// The end cap along side s where the face stops short: from the reach point to the corner
// point, marked upper and lower. The face now ends at the reach point.
void BuildEndCap(int e, int s, End& end, Mesh& cap) {
  end.side[s].use = 0;
  AddVertexAt(cap, end.side[s].point[0], kUpper);
  AddVertexAt(cap, end.side[s].point[0], kLower);
  AddVertexAt(cap, end.side[s].point[1], kLower);
  AddVertexAt(cap, end.side[s].point[1], kUpper);
  const bool swap = !FlipAtEnd(e, s);
  cap.AddFace(new MeshFace(0, 1, 2), swap);
  cap.AddFace(new MeshFace(0, 2, 3), swap);
}

// The end step across the wall's end, through the end centre, marked upper and lower.
void BuildEndStep(int e, int s, const End& end, Mesh& step) {
  AddVertexAt(step, end.Chosen(s), kUpper);
  AddVertexAt(step, end.top.centre, kUpper);
  AddVertexAt(step, end.Chosen(1 - s), kUpper);
  AddVertexAt(step, end.Chosen(1 - s), kLower);
  AddVertexAt(step, end.top.centre, kLower);
  AddVertexAt(step, end.Chosen(s), kLower);
  for (const auto& f : {MeshFace(0, 1, 4), MeshFace(0, 4, 5), MeshFace(2, 3, 4), MeshFace(2, 4, 1)})
    step.AddFace(new MeshFace(f.a, f.b, f.c), FlipAtEnd(e, s));
}

// A marked closing piece and the levels it spans.
struct Closing {
  const Mesh* mesh;
  double lower, upper;
};

// The closing pieces of both ends: each is placed at the levels of every band it meets.
struct Closings {
  Mesh caps[2], steps[2];
  std::vector<Closing> list;
};

void BuildClosings(int s, End ends[2], Closings& out) {
  for (int e = 0; e < 2; ++e)
    if (ends[e].cap.set)
      BuildEndCap(e, s, ends[e], out.caps[e]);
  for (int e = 0; e < 2; ++e)
    if (ends[e].step.set)
      BuildEndStep(e, s, ends[e], out.steps[e]);
  for (int e = 0; e < 2; ++e) {
    if (out.caps[e].GetFaceCount() > 0)
      out.list.push_back({&out.caps[e], ends[e].cap.lower, ends[e].cap.upper});
    if (out.steps[e].GetFaceCount() > 0)
      out.list.push_back({&out.steps[e], static_cast<double>(ends[e].step.level),
                          static_cast<double>(ends[e].pole->m_height)});
  }
}

// The corners of the step cap over the other room at one end, from where the two faces end
// when the group is walked by the walls' tops; none where a side takes its alternate corner
// or neither face runs on.
std::vector<const double*> StepCapCorners(const WallPole* q, int s, const FaceEnd& fa,
                                          const FaceEnd& fb) {
  const double(&a)[2][2] = fa.point;
  const double(&b)[2][2] = fb.point;
  if (q->TestSideFlag(1 - s, 0))
    return {};
  if (q->TestSideFlag(s, 0))
    return fa.use ? std::vector<const double*>{a[0], a[1], b[1]} : std::vector<const double*>{};
  if (!fa.use && fb.use)
    return {b[0], a[0], b[1]};
  if (fa.use && fb.use)
    return {b[0], a[0], a[1], b[1]};
  if (fa.use && !fb.use)
    return {b[0], a[0], a[1]};
  return {};
}

// The step caps over the other room, once per end, where this room's ceiling differs from the
// other's and the wall stays below it.
void BuildStepCaps(const Side& w, const WallHeight& h, End ends[2]) {
  const int s = w.s;
  if (!(w.other && w.room.m_interior && w.ceilingLevel != w.other->GetCeilingLevel() &&
        h.raised < w.ceilingLevel))
    return;
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    WallPole* q = end.pole;
    FaceEnd fa = end.side[1 - s], fb = end.side[s];
    q->ComputeFaceCorner(w.frame, 1 - s, q->GetTopLevel(), true, fa, nullptr);
    q->ComputeFaceCorner(w.frame, s, q->GetTopLevel(), true, fb, nullptr);
    const std::vector<const double*> corners = StepCapCorners(q, s, fa, fb);
    if (corners.empty())
      continue;
    Mesh piece;
    for (const double* c : corners)
      AddVertexAt(piece, c, 0.0);
    piece.AddFace(new MeshFace(0, 1, 2), FlipAtEnd(e, s));
    if (corners.size() == 4)
      piece.AddFace(new MeshFace(0, 2, 3), FlipAtEnd(e, s));
    end.hasStepCap = true;
    end.stepCap.Append(piece, false);
  }
}

// ----- The bands -----

// The face of side s runs between the chosen points of its two ends; u is the distance along
// it from its start.
struct FaceLine {
  const double* start;
  double length;
  double ux, uy;
  bool flip;  // counter-clockwise outlines in (u, level) must be turned to look into the room
  double Along(const double p[2]) const {
    return (p[0] - start[0]) * ux + (p[1] - start[1]) * uy;
  }
};

FaceLine FaceLineOf(const Side& w, const End ends[2]) {
  FaceLine f;
  f.start = ends[0].Chosen(w.s);
  const double* faceEnd = ends[1].Chosen(w.s);
  f.length = std::hypot(faceEnd[0] - f.start[0], faceEnd[1] - f.start[1]);
  f.ux = f.length > 0.0 ? (faceEnd[0] - f.start[0]) / f.length : w.dx;
  f.uy = f.length > 0.0 ? (faceEnd[1] - f.start[1]) / f.length : w.dy;
  // Counter-clockwise outlines in (u, level) face along u × z; the face must look into the room.
  f.flip = f.uy * w.offsets[w.s ? 2 : 0] - f.ux * w.offsets[w.s ? 3 : 1] < 0.0;
  return f;
}

struct Band {
  double bottom, top;
};

// The closing pieces within a band; closingTop keeps how high they have been placed.
void PlaceClosings(const Closings& closings, const Band& band, bool first, bool lone,
                   int32_t ceilingLevel, WallFaceCell& cell, double& closingTop) {
  for (const Closing& c : closings.list) {
    const double ctop = std::min(c.upper, lone ? static_cast<double>(ceilingLevel) : band.top);
    const double cbottom = first ? c.lower : std::max(c.lower, band.bottom);
    // A piece that ends below this band belongs to the bands under it alone.
    if (c.lower < ctop && cbottom < ctop) {
      AppendAtLevels(cell, *c.mesh, cbottom, ctop);
      closingTop = std::max(closingTop, ctop);
    }
  }
}

// The jambs: the two vertical quads across the wall's thickness at the opening's ends.
void AddJambs(const Opening& o, double lo, double hi, bool flip, WallFaceCell& cell) {
  Mesh jambs;
  for (int k = 0; k < 2; ++k) {
    AddVertexAt(jambs, o.side[k], hi);
    AddVertexAt(jambs, o.side[k], lo);
    AddVertexAt(jambs, o.other[k], lo);
    AddVertexAt(jambs, o.other[k], hi);
  }
  for (const auto& f : {MeshFace(0, 2, 1), MeshFace(0, 3, 2), MeshFace(4, 5, 6), MeshFace(4, 6, 7)})
    jambs.AddFace(new MeshFace(f.a, f.b, f.c), flip);
  cell.Append(jambs, false);
}

// Where the head (or the sill) of an opening goes: into the band that holds the opening's top
// (bottom), or into the ceiling (floor) board where it lies at its level; null where the other
// room builds it.
Mesh* HeadOrSillTarget(const Side& w, bool head, double level, bool sideTest,
                       WallFaceCell& cell) {
  RoomBoard& board = head ? static_cast<RoomBoard&>(w.room.m_ceiling)
                          : static_cast<RoomBoard&>(w.room.m_floor);
  const bool atBoard =
      board.GetVertexCount() > 0 && std::fabs(board.m_level - level) < kLevelTolerance;
  const bool otherInterior = w.other && w.other->m_interior;
  // Nobody else closes an opening of an outer wall.
  if (!otherInterior)
    return atBoard ? static_cast<Mesh*>(&board) : &cell;
  const int32_t mine = head ? w.ceilingLevel : w.floorLevel;
  const int32_t theirs = head ? w.other->GetCeilingLevel() : w.other->GetFloorLevel();
  Mesh* target = sideTest ? &cell : nullptr;
  if (mine == theirs) {
    if (sideTest && atBoard)
      target = &board;
  } else if (head ? mine < theirs : mine > theirs) {
    if (atBoard)
      target = &board;
  } else {
    target = nullptr;
  }
  return target;
}

// The head (or the sill): the horizontal quad across the wall's thickness at the opening's top
// (bottom).
void AddHeadOrSill(const Opening& o, bool head, double level, bool flip, Mesh& target) {
  Mesh piece;
  AddVertexAt(piece, o.side[0], level);
  AddVertexAt(piece, o.other[0], level);
  AddVertexAt(piece, o.side[1], level);
  AddVertexAt(piece, o.other[1], level);
  if (head) {
    piece.AddFace(new MeshFace(0, 3, 1), flip);
    piece.AddFace(new MeshFace(0, 2, 3), flip);
  } else {
    piece.AddFace(new MeshFace(0, 3, 2), flip);
    piece.AddFace(new MeshFace(0, 1, 3), flip);
  }
  target.Append(piece, false);
}

// The inner surfaces of the openings through the wall's thickness, within a band. Only one of
// the two rooms builds the jambs: the side the opening turns to, or this one when the other
// room is not an inside room.
void AddOpeningSurfaces(const Side& w, const std::vector<Opening>& openings, const Band& band,
                        WallFaceCell& cell) {
  const bool flip = w.s == 1;
  const bool otherInterior = w.other && w.other->m_interior;
  for (const Opening& o : openings) {
    const double lo = std::max(o.bottom, band.bottom);
    const double hi = std::min(o.top, band.top);
    if (!(static_cast<int>(lo) < static_cast<int>(hi)))
      continue;
    const bool sideTest = w.s == 0 ? o.rotated : !o.rotated;
    if (sideTest || !otherInterior)
      AddJambs(o, lo, hi, flip, cell);
    for (const bool head : {true, false}) {
      const double level = head ? o.top : o.bottom;
      if (head ? hi != o.top : lo != o.bottom)
        continue;
      if (Mesh* target = HeadOrSillTarget(w, head, level, sideTest, cell))
        AddHeadOrSill(o, head, level, flip, *target);
    }
  }
}

// The openings that meet a band, in the band's coordinates: those across its whole height,
// notches into its lower and upper edges (sorted along the face), and holes inside it.
struct BandCuts {
  std::vector<Cut> full, lowerNotches, upperNotches, holes;
};

BandCuts CutsOf(const std::vector<Opening>& openings, const Band& band, const FaceLine& face) {
  BandCuts cuts;
  for (const Opening& o : openings) {
    double ua = face.Along(o.side[0]), ub = face.Along(o.side[1]);
    if (ua > ub)
      std::swap(ua, ub);
    ua = std::max(ua, 0.0);
    ub = std::min(ub, face.length);
    if (ub - ua < kMinCut || !(o.bottom < band.top && o.top > band.bottom))
      continue;
    const Cut c{ua, ub, o.bottom, o.top};
    if (o.bottom <= band.bottom && o.top >= band.top)
      cuts.full.push_back(c);
    else if (o.bottom <= band.bottom)
      cuts.lowerNotches.push_back(c);
    else if (o.top >= band.top)
      cuts.upperNotches.push_back(c);
    else
      cuts.holes.push_back(c);
  }
  auto byStart = [](const Cut& x, const Cut& y) { return x.ua < y.ua; };
  std::sort(cuts.full.begin(), cuts.full.end(), byStart);
  std::sort(cuts.lowerNotches.begin(), cuts.lowerNotches.end(), byStart);
  std::sort(cuts.upperNotches.begin(), cuts.upperNotches.end(), byStart);
  return cuts;
}

// The stretches of the face between the openings that cross the whole band.
std::vector<std::pair<double, double>> PiecesBetween(const std::vector<Cut>& full, double length) {
  std::vector<std::pair<double, double>> pieces;
  double from = 0.0;
  for (const Cut& c : full) {
    if (c.ua > from)
      pieces.emplace_back(from, c.ua);
    from = std::max(from, c.ub);
  }
  if (length > from)
    pieces.emplace_back(from, length);
  return pieces;
}

// The outline of one stretch: its lower edge left to right stepping over the notches, then
// its upper edge right to left.
std::vector<Point2> StretchOutline(const BandCuts& cuts, const Band& band, double u0, double u1) {
  std::vector<Point2> contour;
  PushPoint(contour, u0, Profile(cuts.lowerNotches, u0, true, band.bottom));
  for (const Cut& c : cuts.lowerNotches) {
    if (c.ub <= u0 || c.ua >= u1)
      continue;
    if (c.ua > u0) {
      PushPoint(contour, c.ua, band.bottom);
      PushPoint(contour, c.ua, c.top);
    }
    if (c.ub < u1) {
      PushPoint(contour, c.ub, c.top);
      PushPoint(contour, c.ub, band.bottom);
    }
  }
  PushPoint(contour, u1, Profile(cuts.lowerNotches, std::nextafter(u1, u0), true, band.bottom));
  PushPoint(contour, u1, Profile(cuts.upperNotches, std::nextafter(u1, u0), false, band.top));
  for (auto it = cuts.upperNotches.rbegin(); it != cuts.upperNotches.rend(); ++it) {
    const Cut& c = *it;
    if (c.ub <= u0 || c.ua >= u1)
      continue;
    if (c.ub < u1) {
      PushPoint(contour, c.ub, band.top);
      PushPoint(contour, c.ub, c.bottom);
    }
    if (c.ua > u0) {
      PushPoint(contour, c.ua, c.bottom);
      PushPoint(contour, c.ua, band.top);
    }
  }
  PushPoint(contour, u0, Profile(cuts.upperNotches, u0, false, band.top));
  if (contour.size() > 1 && std::fabs(contour.front().u - contour.back().u) < kSamePoint &&
      std::fabs(contour.front().v - contour.back().v) < kSamePoint)
    contour.pop_back();
  return contour;
}

// Triangulates one stretch's outline with the holes inside it and adds it to the cell.
void AddStretch(const std::vector<Point2>& contour, const std::vector<Cut>& holes, double u0,
                double u1, const FaceLine& face, WallFaceCell& cell) {
  std::vector<int> sizes{static_cast<int>(contour.size())};
  std::vector<Point2> all = contour;
  for (const Cut& c : holes) {
    const double ha = std::max(c.ua, u0 + kMinCut), hb = std::min(c.ub, u1 - kMinCut);
    if (c.ub <= u0 || c.ua >= u1 || hb - ha < kMinCut)
      continue;
    for (const Point2& p : {Point2{ha, c.bottom}, Point2{ha, c.top}, Point2{hb, c.top},
                            Point2{hb, c.bottom}})
      all.push_back(p);
    sizes.push_back(4);
  }
  const int total = static_cast<int>(all.size());
  std::vector<double> xy(2, 0.0);  // the triangulator counts points from 1
  for (const Point2& p : all) {
    xy.push_back(p.u);
    xy.push_back(p.v);
  }
  const int capacity = 2 * total + 1;
  std::vector<int> triangles(3 * static_cast<size_t>(capacity));
  const int count = TriangulatePolygon(static_cast<int>(sizes.size()), sizes.data(),
                                       reinterpret_cast<const double(*)[2]>(xy.data()),
                                       reinterpret_cast<int(*)[3]>(triangles.data()), capacity);
  const uint32_t base = static_cast<uint32_t>(cell.GetVertexCount());
  for (const Point2& p : all)
    cell.AddVertex(new MeshVertex(face.start[0] + face.ux * p.u, face.start[1] + face.uy * p.u, p.v));
  for (int t = 0; t < count; ++t) {
    const int* v = &triangles[3 * static_cast<size_t>(t)];
    cell.AddFace(new MeshFace(base + static_cast<uint32_t>(v[0] - 1),
                              base + static_cast<uint32_t>(v[1] - 1),
                              base + static_cast<uint32_t>(v[2] - 1)),
                 face.flip);
  }
}

// The face of a band: its outline with the openings cut out, triangulated in the plane of the
// side. Openings that cross the whole band split it into separate stretches.
void AddBandFace(const std::vector<Opening>& openings, const Band& band, const FaceLine& face,
                 WallFaceCell& cell) {
  if (!(band.bottom < band.top && face.length > 0.0))
    return;
  const BandCuts cuts = CutsOf(openings, band, face);
  for (const auto& [u0, u1] : PiecesBetween(cuts.full, face.length)) {
    const std::vector<Point2> contour = StretchOutline(cuts, band, u0, u1);
    if (contour.size() >= 3)
      AddStretch(contour, cuts.holes, u0, u1, face, cell);
  }
}

// What the bands leave for the wall top: the highest wall band below the wall's height, the
// last band built, and how high the closing pieces reach.
struct BandsBuilt {
  WallFaceCell* topBand = nullptr;
  WallFaceCell* inWork = nullptr;
  double closingTop;
};

BandsBuilt BuildBands(const Side& w, const WallHeight& h, const std::vector<Opening>& openings,
                      const Closings& closings, const FaceLine& face) {
  const int cellCount = w.wall->GetCellCount(w.s);
  const double ceilingCap = w.floorLevel < w.ceilingLevel ? w.ceilingLevel : h.height;
  BandsBuilt built;
  built.closingTop = w.floorLevel;
  double previousTop = w.floorLevel;
  for (int j = 0; j < cellCount; ++j) {
    WallFaceCell* cell = w.wall->GetCell(w.s, j);
    Band band;
    band.bottom = j == 0                ? w.floorLevel
                  : cell->m_pBelow ? cell->m_pBelow->m_top
                                   : previousTop;
    band.top = std::min<double>({static_cast<double>(cell->m_top),
                                 static_cast<double>(w.wall->GetBaseLevel()), ceilingCap});
    previousTop = cell->m_top;
    cell->Clear();
    built.inWork = cell;
    PlaceClosings(closings, band, j == 0, cellCount == 1, w.ceilingLevel, *cell,
                  built.closingTop);
    AddOpeningSurfaces(w, openings, band, *cell);
    AddBandFace(openings, band, face, *cell);
    if (cell->m_band == BAND_WALL && band.bottom < h.height)
      built.topBand = cell;
  }
  return built;
}

// ----- Above the bands -----

// The rest of the closing pieces, above the bands, go into the bare-wall mesh.
void PlaceClosingsAbove(const Closings& closings, double closingTop, Mesh& bare) {
  for (const Closing& c : closings.list) {
    const double from = std::max(c.lower, closingTop);
    if (from < c.upper)
      AppendAtLevels(bare, *c.mesh, from, c.upper);
  }
}

// The wall top over the footprint, at z = 0: at each end this side's face end point, the end
// centre and the other side's end point.
void BuildWallTopCap(int s, const End ends[2], Mesh& cap) {
  AddVertexAt(cap, ends[0].Chosen(s), 0.0);
  AddVertexAt(cap, ends[0].top.centre, 0.0);
  AddVertexAt(cap, ends[0].Chosen(1 - s), 0.0);
  AddVertexAt(cap, ends[1].Chosen(s), 0.0);
  AddVertexAt(cap, ends[1].top.centre, 0.0);
  AddVertexAt(cap, ends[1].Chosen(1 - s), 0.0);
  for (const auto& f : {MeshFace(0, 3, 4), MeshFace(0, 4, 1), MeshFace(2, 1, 4), MeshFace(2, 4, 5)})
    cap.AddFace(new MeshFace(f.a, f.b, f.c), s == 0);
}

// Stepping over the other room, this room sees the wall's other side line from the higher of
// the wall top and the other room's ceiling up to its own ceiling: a face there, looking into
// this room, closes the step.
void AddStepFace(const Side& w, const End ends[2], double wallTop, Mesh& target) {
  const double stepBottom = std::max(wallTop, static_cast<double>(w.other->GetCeilingLevel()));
  if (!(stepBottom < w.ceilingLevel))
    return;
  const double* c0 = ends[0].Chosen(1 - w.s);
  const double* c1 = ends[1].Chosen(1 - w.s);
  Mesh step;
  AddVertexAt(step, c0, stepBottom);
  AddVertexAt(step, c1, stepBottom);
  AddVertexAt(step, c1, w.ceilingLevel);
  AddVertexAt(step, c0, w.ceilingLevel);
  const double ux0 = c1[0] - c0[0], uy0 = c1[1] - c0[1];
  const bool flip = uy0 * w.offsets[w.s ? 2 : 0] - ux0 * w.offsets[w.s ? 3 : 1] < 0.0;
  step.AddFace(new MeshFace(0, 1, 2), flip);
  step.AddFace(new MeshFace(0, 2, 3), flip);
  target.Append(step, false);
}

// The wall top with the pieces that close the pole tops: into the top band (or the floor, or
// the bare-wall mesh), and under this room's ceiling where the ceiling closes over the wall.
void BuildWallTop(const Side& w, const WallHeight& h, const End ends[2], const BandsBuilt& built) {
  Room& room = w.room;
  Mesh& bare = room.GetBareWallMesh();
  Mesh cap;
  BuildWallTopCap(w.s, ends, cap);
  Mesh endPieces;
  for (int e = 0; e < 2; ++e)
    endPieces.Append(ends[e].hasStepCap ? ends[e].stepCap : ends[e].top.pieces, false);
  const bool builds = w.Builds();
  if (builds)
    cap.Append(endPieces, false);
  double wallTop = h.height;
  if (w.wall->m_pPendingOpening)
    wallTop += std::trunc(w.wall->m_pPendingOpening->m_posture.size[2] + 0.5);
  if (!(wallTop < w.ceilingLevel)) {
    if (builds)
      AppendAtLevel(bare, cap, wallTop, false);
    return;
  }
  WallFaceCell* band = built.topBand ? built.topBand : built.inWork;
  if (builds) {
    if (wallTop <= w.floorLevel)
      AppendAtLevel(room.m_floor, cap, w.floorLevel, false);
    else if (band)
      AppendAtLevel(*band, cap, wallTop, false);
    else
      AppendAtLevel(bare, cap, wallTop, false);
  }
  // The other room steps over this one when its ceiling is the higher one and stands above
  // the wall: its own ceiling closes over the wall then, and this room's must not.
  const bool otherSteps = w.other && w.other->GetCeilingLevel() > h.height &&
                          w.other->GetCeilingLevel() > w.ceilingLevel;
  if ((builds && !otherSteps) || h.step) {
    Mesh over;
    over.Append(cap, false);
    if (!builds)
      over.Append(endPieces, false);
    AppendAtLevel(room.m_ceiling, over, w.ceilingLevel, true);
  }
  if (h.step)
    AddStepFace(w, ends, wallTop, band ? static_cast<Mesh&>(*band) : bare);
}

}  // namespace

void SetOpeningModelMover(OpeningModelMover mover) {
  g_mover = mover;
}

int Room::IsWallSideOwner(const Frame& frame, const Wall* wall, int side) {
  const Room* a = wall->GetRoom(side);
  const Room* b = wall->GetRoom(1 - side);
  const int32_t t = std::min(wall->GetStartPole()->m_height, wall->GetEndPole()->m_height);
  if (!a) {
    if (!b)
      return side == 0 ? 1 : 0;
    return b->m_interior == 0 ? 1 : 0;
  }
  if (a == b)
    return side;
  if (a->m_interior == 0)
    return 0;
  if (!b || b->m_interior == 0)
    return 1;
  const int32_t ac = a->GetCeilingLevel(), bc = b->GetCeilingLevel();
  const int32_t af = a->GetFloorLevel(), bf = b->GetFloorLevel();
  if (ac == bc && af == bf)
    return frame.IsRoomAfter(a, b) > 0 ? 0 : 1;
  const int f = af > bf ? 1 : 0;
  if (t >= std::min(ac, bc))
    return ac != bc ? (ac > bc ? 1 : 0) : f;
  const int c = ac > bc ? 0 : 1;
  if (t <= std::max(af, bf))
    return af == bf ? c : f;
  return ac != bc ? c : f;
}

void Room::BuildWallSide(const Frame& frame, Wall* wall, int s) {
  const Side w(frame, *this, wall, s);
  const std::vector<Opening> openings = PlaceOpenings(w);
  const WallHeight h = HeightOf(w);
  End ends[2];
  FindEnds(w, ends);
  Closings closings;
  BuildClosings(s, ends, closings);
  BuildStepCaps(w, h, ends);
  const FaceLine face = FaceLineOf(w, ends);
  const BandsBuilt built = BuildBands(w, h, openings, closings, face);
  PlaceClosingsAbove(closings, built.closingTop, GetBareWallMesh());
  BuildWallTop(w, h, ends, built);
}
