// The grid test dialog: two grids, A a member and B made through the runtime class, each with
// one fixed row and column and texts "r<row>c<col>" (Korean and empty ones among them); what
// the grids tell the dialog is logged. Input is sent through SendInput, and messages are
// pumped through the framework's pre-translation, as the application's loop does.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/gridctrl.h"
#include "controlstest.h"

constexpr int kGridRows = 20, kGridCols = 5;

// What a grid told its dialog: a WM_NOTIFY code or WM_COMMAND (code 0), with the cell.
struct GridEvent {
  UINT id;
  int code;  // 0 for WM_COMMAND
  int row, col;
  bool operator==(const GridEvent& o) const { return id == o.id && code == o.code && row == o.row && col == o.col; }
};
inline GridEvent Event(UINT id, UINT code, int row, int col) { return GridEvent{id, (int)code, row, col}; }

class CGridDlg : public CDialog {
 public:
  CGridDlg();
  ~CGridDlg() override;
  CGridCtrl gridA;
  CGridCtrl* gridB;  // made through CGridCtrl's runtime class
  std::vector<GridEvent> events;
  // The events of one code from one grid.
  std::vector<GridEvent> Events(UINT id, int code) const;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// Fills a grid with the standard texts: headings "c<col>" and "r<row>", body "r<row>c<col>",
// "한글<row>" in column 2 of every fifth row and an empty cell at (3, 3).
void FillGrid(CGridCtrl& grid, int rows = kGridRows, int cols = kGridCols);

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The centre of a cell, or a point at an offset from its top-left corner, on the screen.
  POINT CellPoint(CGridCtrl& grid, int row, int col) const;
  POINT CellCorner(CGridCtrl& grid, int row, int col, int dx, int dy) const;
  // Clicks at the same place are a double click unless a pause comes between them.
  void Click(POINT p);
  void ClickHere(POINT p);  // where the cursor already is
  void NotADoubleClick();
  void ClickCell(CGridCtrl& grid, int row, int col) { Click(CellPoint(grid, row, col)); }
  // A click with a key (VK_SHIFT, VK_CONTROL) held.
  void ClickWith(WORD vk, CGridCtrl& grid, int row, int col);
  void Press(WORD vk);
  void PressWith(WORD modifier, WORD vk);
  void Type(const char* text);
  // The pixel on the screen at a client point of a window, once the window is painted.
  COLORREF Pixel(CWnd& wnd, int x, int y);
  // The in-place editor over the grid, if one is open.
  HWND Editor(CGridCtrl& grid) const { return ::GetDlgItem(grid.m_hWnd, IDC_GRID_INPLACEEDIT); }
  std::string Text(CGridCtrl& grid, int row, int col) const { return (LPCTSTR)grid.GetCellText(row, col); }

  CGridDlg dlg;

 public:
  // While false, messages are dispatched without the framework's pre-translation (OLE's drag loop).
  static bool s_bPreTranslate;

 private:
  HHOOK m_hook = nullptr;
};

// The clipboard's CF_TEXT as bytes (up to the block's end), through Win32.
std::string ClipboardText();
// Puts text on the clipboard as CF_TEXT through Win32, with its zero byte.
void SetClipboardText(const std::string& text);
