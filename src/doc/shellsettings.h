// The program's persistent settings with their built-in defaults, and the registry key they are
// kept under. The application reads them at start-up; the views read them through the shell
// (doc/shell.h) and the settings dialogs write changed ones back.
#pragma once
#include "afx/afx.h"

// The registry key of the program's settings under HKEY_LOCAL_MACHINE.
constexpr const char kSettingsKey[] = "SOFTWARE\\TAVO\\Vedra\\1.0\\Full\\";
// Caption of the program's message boxes.
constexpr const char kVedraCaption[] = " TAVO  Vedra  ";

// The plan window's colours and the plan editor's fixed values.
struct PlanWindowSettings {
  int axisStyle = 2;  // 2 axes with ticks, 1 axes only, 0 none
  int gridStyle = 3;  // 3 solid lines, 2 dotted lines, 1 dots, 0 none
  int reserved = 0;
  COLORREF background = 0x6E6E6E;
  COLORREF unselectedRoom = 0x00FFFF;
  COLORREF selectedRoom = 0x0000FF;
  COLORREF unselectedWall = 0xDCDCDC;
  COLORREF selectedWall = 0x0000FF;
  COLORREF unselectedWallCenter = 0x648214;
  COLORREF selectedWallCenter = 0x648214;
  COLORREF traceBox = 0xFFFF00;
  COLORREF axis = 0x000000;
  COLORREF grid0 = 0x595959;
  COLORREF grid1 = 0x434343;
  COLORREF leadLine = 0x648214;
  COLORREF leadLineAuxPoint = 0x000000;
  COLORREF dimensionFont = 0xFF0000;
  int minGridStep = 100;  // HIMETRIC
  int maxGridStep = 1000;
  int minZoom = 10000;  // zoom times 100000
  int maxZoom = 10000000;
  int value5 = 1;
  int value6 = 10000000;
  int gridFactor = 10;
  int zoomTimerStep = 5;  // hundredths
  int minRubberBand = 50;  // pixels
  int values10[5] = {100, 15, 100, 100, 100};
  int zoomTimerInterval = 100;  // ms
  int value16 = 15;
  int value17 = 10;
  int repaintMargin = 250;
  int value19 = 1;
  int value20 = 1;
};

struct SimGridSettings {
  DWORD lineStyle = 0xAAAA;
  DWORD lineColor = 0xFFFFFF;
  float lineWidth = 1.0f;
  DWORD pointColor = 0xFFFFFF;
  float pointWidth = 1.0f;
  float gap = 200.0f;
  float maximum = 5000.0f;
  BOOL x = 1, y = 1, z = 1, xy = 1, yz = 0, zx = 0;
};

struct SimWindowSettings {
  DWORD background = 0x808040;
  float viewAngle = 0.43633f;
  float hither = 1.0f;
  float yon = 1500000.0f;
  int windowMode = 0;
  int windowText = 0;
};

struct SimDeviceSettings {
  float mouseSensitivity = 150.0f;
  float mouseRotationAngle = 4.0f;
  BOOL mouseBillboard = 1;
};
