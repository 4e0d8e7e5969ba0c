// The application object: single instance, settings, folders, the toolkit universe and its mouse
// sensor, the two document templates, the main frame, the library database and the plan symbols.
#pragma once
#include "afx/winapp.h"
#include "afx/windoc.h"
#include "app/settings.h"
#include "models/libraryfile.h"
#include "toolkit/wt.h"

// The single-instance block: 32 bytes of shared memory, the first four the main window.
constexpr const char kInstanceBlockName[] = "___TAVO_VEDRA__MAP___";
constexpr DWORD kInstanceBlockSize = 32;
// The title shown when no document is active.
constexpr const char kUntitledTitle[] = "UnTitledVedra";

class CVedraApp : public CWinApp {
public:
  CVedraApp();
  BOOL InitInstance() override;
  // Runs one toolkit frame per idle pass: idle time is always asked for again.
  BOOL OnIdle(LONG lCount) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  int ExitInstance() override;

  void GetDatabaseDir(CString& out) const;
  void GetWorksDir(CString& out) const;

  HANDLE m_hInstanceBlock = nullptr;
  CMultiDocTemplate* m_pPlanTemplate = nullptr;
  CMultiDocTemplate* m_pSimTemplate = nullptr;
  CString m_baseDir;
  int m_windowMode = 0;
  int m_universeSize = 512;
  PlanWindowSettings m_plan;
  SimGridSettings m_simGrid;
  SimWindowSettings m_simWindow;
  SimDeviceSettings m_simDevice;
  CString m_productName;
  int m_toolkitObjects = 0;
  WTsensor* m_pMouseSensor = nullptr;
  LibraryDatabaseFile m_library;

  afx_msg void OnAppAbout();

private:
  bool BringFirstInstanceForward();
  void StartToolkit();
  void CreateTemplates();
  bool CreateMainFrame();
  void StoreMainWindowInBlock();
  void ReleaseToolkitObjects();
  DECLARE_MESSAGE_MAP()
};

extern CVedraApp theApp;

// The simulator's empty handlers: of the keys of the 3D window, and of the mouse's middle and
// right buttons there.
void NoOp0(int key);
void NoOp1();

// Sets the orientation of the application's default printer settings.
void SetPrinterLandscape(CVedraApp& app, short orientation);
