#include "plan_fixtures.h"

#include <cstdlib>

#include "models/wallface.h"

void DrawChain(Frame& frame, std::initializer_list<CPoint> points, int32_t height,
               uint32_t thickness, int flags) {
  CRect rect;
  CPoint last;
  for (const CPoint& p : points) {
    CPoint q = p;
    if (frame.IsDrawing())
      frame.TrackDrawnWall(q, flags, rect);
    frame.AddDrawnWall(p, flags, height, thickness, rect);
    last = p;
  }
  if (frame.IsDrawing())
    frame.FinishDrawnWalls(last, flags, rect);
}

namespace {

Wall* FindWall(const Frame& frame, double x1, double y1, double x2, double y2, bool eitherWay) {
  for (int i = 0; i < frame.GetWallCount(); ++i) {
    Wall* w = frame.GetWall(i);
    const WallPole* s = w->m_pStart;
    const WallPole* e = w->m_pEnd;
    if ((SamePlanPoint(s->m_x, s->m_y, x1, y1) && SamePlanPoint(e->m_x, e->m_y, x2, y2)) ||
        (eitherWay && SamePlanPoint(s->m_x, s->m_y, x2, y2) && SamePlanPoint(e->m_x, e->m_y, x1, y1)))
      return w;
  }
  return nullptr;
}

}  // namespace

Wall* WallFromTo(const Frame& frame, double x1, double y1, double x2, double y2) {
  return FindWall(frame, x1, y1, x2, y2, false);
}

Wall* WallBetween(const Frame& frame, double x1, double y1, double x2, double y2) {
  return FindWall(frame, x1, y1, x2, y2, true);
}

void BuildRoomMeshes(const Frame& frame, Room* room) {
  room->m_floor.Clear();
  room->m_ceiling.Clear();
  room->GetBareWallMesh().Clear();
  room->BuildBoards();
  for (int i = 0; i < room->GetWallFaceCount(); ++i) {
    const WallFace* face = room->GetWallFace(i);
    room->BuildWallSide(frame, face->m_pWall, face->GetSide());
  }
}

int DrawWall(Frame& frame, CPoint from, CPoint to) {
  CRect rect;
  if (!frame.AddDrawnWall(from, 0, 2400, 150, rect))
    return 0;
  CPoint p = to;
  frame.TrackDrawnWall(p, 0, rect);
  const int added = frame.AddDrawnWall(to, 0, 2400, 150, rect);
  if (frame.IsDrawing())
    frame.FinishDrawnWalls(to, 0, rect);
  return added;
}

CPoint GridCellCentre(int i, int j) {
  return CPoint(i * kGridCell + kGridCell / 2, j * kGridCell + kGridCell / 2);
}

void DrawGrid(Frame& frame, bool rooms) {
  for (int i = 0; i <= kGridCells; ++i)
    DrawWall(frame, CPoint(i * kGridCell, 0), CPoint(i * kGridCell, kGridCells * kGridCell));
  for (int j = 0; j <= kGridCells; ++j)
    for (int i = 0; i < kGridCells; ++i)
      DrawWall(frame, CPoint(i * kGridCell, j * kGridCell), CPoint((i + 1) * kGridCell, j * kGridCell));
  if (!rooms)
    return;
  for (int j = 0; j < kGridCells; ++j)
    for (int i = 0; i < kGridCells; ++i)
      frame.PlaceRoomAt(GridCellCentre(i, j), 2400, 0, false);
}

CString RoomNamingHost::GetControlText(int id) {
  CString name;
  if (id == IDC_PLAN_ROOM_NAME)
    name.Format("방 %d", ++m_count);
  return name;
}

std::vector<BYTE> SaveToBytes(ModelDocument& doc, UINT growBytes) {
  CMemFile file(growBytes);
  {
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
  }
  const ULONGLONG length = file.GetLength();
  BYTE* data = file.Detach();
  std::vector<BYTE> bytes(data, data + length);
  free(data);
  return bytes;
}
