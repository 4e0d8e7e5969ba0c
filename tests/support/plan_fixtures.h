// Plans for the home-model tests and benchmarks: chains of walls drawn by clicks, walls found by
// their ends, room meshes built as the export builds them, the grid plan of a large home and a
// document saved to bytes. Plain code, so that the benchmarks can use it without GoogleTest.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "models/frame.h"
#include "models/modelfile.h"
#include "models/planhost.h"

// Clicks along the points as one chain of walls and finishes the chain when it is still open.
void DrawChain(Frame& frame, std::initializer_list<CPoint> points, int32_t height = 2400,
               uint32_t thickness = 150, int flags = 0);

// The wall that runs from (x1, y1) to (x2, y2), or null.
Wall* WallFromTo(const Frame& frame, double x1, double y1, double x2, double y2);
// The wall between two points, either way round, or null.
Wall* WallBetween(const Frame& frame, double x1, double y1, double x2, double y2);

// Everything a room's export builds: its boards and the meshes of every wall side facing it.
void BuildRoomMeshes(const Frame& frame, Room* room);

// The plan of a large home: a grid of kGridCells x kGridCells rooms of kGridCell millimetres
// square, 840 walls 150 thick and 2400 high.
constexpr int kGridCells = 20;
constexpr int kGridCell = 3000;

// One wall clicked from one point to the other; 1 when the second click added it.
int DrawWall(Frame& frame, CPoint from, CPoint to);
CPoint GridCellCentre(int i, int j);
// Vertical lines first, then the rows of short walls between them, which split the lines; with
// rooms, a room placed in every cell.
void DrawGrid(Frame& frame, bool rooms);

// A host that names every new room ("방 1", "방 2", ...) and otherwise does nothing.
class RoomNamingHost : public PlanHost {
public:
  CString GetControlText(int id) override;

private:
  int m_count = 0;
};

// The document as its file stores it, written to memory that grows in steps of growBytes.
std::vector<BYTE> SaveToBytes(ModelDocument& doc, UINT growBytes = 1024);
