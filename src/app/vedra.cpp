#include "app/vedra.h"

#include <winspool.h>

#include <cstdlib>
#include <ctime>

#include "app/aboutdlg.h"
#include "app/apphost.h"
#include "app/mainfrm.h"
#include "app/splash.h"
#include "doc/vedradoc.h"
#include "models/holekinds.h"
#include "models/model.h"
#include "res/resource.h"
#include "view2d/frame2d.h"
#include "view2d/topview.h"
#include "view3d/frame3d.h"
#include "view3d/nodedata.h"
#include "view3d/simwindow.h"
#include "view3d/view3d.h"

CVedraApp theApp;

BEGIN_MESSAGE_MAP(CVedraApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

CVedraApp::CVedraApp() : CWinApp(nullptr) { m_productName = "TAVO Vedra"; }

void CVedraApp::GetDatabaseDir(CString& out) const {
  GetBinDir(*this, out);
  out += "Database\\";
}

void CVedraApp::GetWorksDir(CString& out) const { out = m_baseDir + "Works\\"; }

// A running instance keeps its main window in the block: that window comes forward instead.
bool CVedraApp::BringFirstInstanceForward() {
  m_hInstanceBlock = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kInstanceBlockSize,
                                          kInstanceBlockName);
  if (!m_hInstanceBlock || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  if (HANDLE block = ::OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceBlockName)) {
    if (void* view = ::MapViewOfFile(block, FILE_MAP_READ, 0, 0, 4)) {
      const int32_t stored = *static_cast<const int32_t*>(view);
      HWND first = reinterpret_cast<HWND>(static_cast<LONG_PTR>(stored));
      if (first) {
        ::ShowWindow(first, SW_SHOW);
        ::SetForegroundWindow(first);
      }
      ::UnmapViewOfFile(view);
    }
    ::CloseHandle(block);
  }
  ::CloseHandle(m_hInstanceBlock);
  m_hInstanceBlock = nullptr;
  return true;
}

void CVedraApp::StartToolkit() {
  m_universeSize = 512;
  m_windowMode = 0;
  WTuniverse_new(m_universeSize, m_windowMode);
  WTuniverse_setoption(10, 0);
  m_pMouseSensor = WTsensor_new(WTmouse_open, WTmouse_close, WTmouse_walk, nullptr, 1, 0);
  if (!m_pMouseSensor) return;
  WTsensor_setdata(m_pMouseSensor, std::calloc(3, sizeof(int32_t)));
  _WTsensor_setangularrate(m_pMouseSensor, 0.0523599f);
  m_toolkitObjects = 1;
}

void CVedraApp::CreateTemplates() {
  m_pPlanTemplate = new CMultiDocTemplate(IDR_VEDRATYPE, RUNTIME_CLASS(CVedraDoc), RUNTIME_CLASS(C2DFrame),
                                          RUNTIME_CLASS(CTopView));
  AddDocTemplate(m_pPlanTemplate);
  m_pSimTemplate = new CMultiDocTemplate(IDR_VEDRATYPE, RUNTIME_CLASS(CVedraDoc), RUNTIME_CLASS(C3DFrame),
                                         RUNTIME_CLASS(C3DView));
}

bool CVedraApp::CreateMainFrame() {
  auto* frame = new CMainFrame;
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
    if (frame->m_hWnd)
      frame->DestroyWindow();
    else
      delete frame;
    return false;
  }
  m_pMainWnd = frame;
  return true;
}

void CVedraApp::StoreMainWindowInBlock() {
  if (!m_hInstanceBlock || !m_pMainWnd) return;
  if (void* view = ::MapViewOfFile(m_hInstanceBlock, FILE_MAP_WRITE, 0, 0, 4)) {
    // Window handles fit in 32 bits.
    *static_cast<int32_t*>(view) = static_cast<int32_t>(reinterpret_cast<LONG_PTR>(m_pMainWnd->m_hWnd));
    ::UnmapViewOfFile(view);
  }
}

BOOL CVedraApp::InitInstance() {
  if (BringFirstInstanceForward()) return FALSE;
  AfxInitRichEdit();
  AfxEnableControlContainer();
  AfxOleInit();
  InstallApplicationHost();
  InstallSimulator();
  InstallSceneNodeDeleter();
  InstallOpeningModelMover();
  SetSimKeyHandler(&NoOp0);
  ApplyPlanDefaults(*this);
  ApplySimulatorDefaults(*this);
  ReadRegistrySettings(*this);
  CheckProgramFolders(*this);
  CCommandLineInfo splashInfo;
  ParseCommandLine(splashInfo);
  CSplashWnd::SetAllowed(splashInfo.m_bShowSplash);
  RegisterModelClasses();
  StartToolkit();
  CreateTemplates();
  if (!CreateMainFrame()) return FALSE;
  m_pMainWnd->DragAcceptFiles(TRUE);
  EnableShellOpen();
  RegisterShellFileTypes(TRUE);
  GetDatabaseDir(m_library.folder);
  LoadLibraryDatabase(m_library);
  BuildSymbolTables();
  CCommandLineInfo shellInfo;
  ParseCommandLine(shellInfo);
  // The first model is always a new one, whatever the command line named.
  shellInfo.m_nShellCommand = CCommandLineInfo::FileNew;
  StoreMainWindowInBlock();
  const BOOL started = ProcessShellCommand(shellInfo);
  if (started) {
    m_pMainWnd->ShowWindow(SW_SHOWMINIMIZED);
    m_pMainWnd->UpdateWindow();
  }
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  SetPrinterLandscape(*this, DMORIENT_LANDSCAPE);
  return started;
}

BOOL CVedraApp::OnIdle(LONG lCount) {
  CWinApp::OnIdle(lCount);
  if (m_pMainWnd) {
    CDocument* doc = nullptr;
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd))
      if (CFrameWnd* active = frame->GetActiveFrame()) doc = active->GetActiveDocument();
    const CString title = doc ? doc->GetTitle() : CString(kUntitledTitle);
    if (m_pMainWnd->GetWindowText() != title) m_pMainWnd->SetWindowText(title);
  }
  WTuniverse_go1();
  return TRUE;
}

BOOL CVedraApp::PreTranslateMessage(MSG* pMsg) {
  auto held = [](int key) {
    const SHORT state = ::GetKeyState(key);
    return state != 0 && state != 1;
  };
  if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_F4) return TRUE;
  if (pMsg->message == WM_KEYDOWN) {
    if ((pMsg->wParam == VK_TAB || pMsg->wParam == VK_F6 || pMsg->wParam == VK_F4) && held(VK_CONTROL)) return TRUE;
    if (pMsg->wParam == VK_F1 && !held(VK_CONTROL) && !held(VK_SHIFT) && !held(VK_MENU)) {
      ::ShellExecuteA(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, nullptr, m_baseDir + "Vedra.chm", nullptr, nullptr,
                      SW_SHOWNORMAL);
      return TRUE;
    }
  }
  if (CSplashWnd::FilterMessage(pMsg)) return TRUE;
  return CWinApp::PreTranslateMessage(pMsg);
}

void CVedraApp::ReleaseToolkitObjects() {
  if (!m_toolkitObjects) return;
  std::free(WTsensor_getdata(m_pMouseSensor));
  WTsensor_setdata(m_pMouseSensor, nullptr);
  for (WTsensor* s = _WTuniverse_getsensors(); s;) {
    WTsensor* next = _WTsensor_next(s);
    WTsensor_delete(s);
    s = next;
  }
  for (WTpath* p = _WTuniverse_getpaths(); p;) {
    WTpath* next = _WTpath_next(p);
    WTpath_delete(p);
    p = next;
  }
  for (WTmotionlink* l = _WTuniverse_getmotionlinks(); l;) {
    WTmotionlink* next = _WTmotionlink_next(l);
    _WTmotionlink_delete(l);
    l = next;
  }
  for (WTviewpoint* v = WTuniverse_getviewpoints(); v;) {
    WTviewpoint* next = WTviewpoint_next(v);
    WTviewpoint_delete(v);
    v = next;
  }
  for (WTwindow* w = _WTuniverse_getwindows(); w;) {
    WTwindow* next = WTwindow_next(w);
    WTwindow_delete(w);
    w = next;
  }
  m_pMouseSensor = nullptr;
}

int CVedraApp::ExitInstance() {
  FreeSymbolTables();
  SaveLibraryDatabase(m_library);
  ReleaseToolkitObjects();
  delete m_pSimTemplate;
  m_pSimTemplate = nullptr;
  if (m_hInstanceBlock) ::CloseHandle(m_hInstanceBlock);
  m_hInstanceBlock = nullptr;
  return CWinApp::ExitInstance();
}

void CVedraApp::OnAppAbout() {
  CAboutDlg about;
  about.DoModal();
}

void NoOp0(int) {}

void NoOp1() {}

void SetPrinterLandscape(CVedraApp& app, short orientation) {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  if (!app.GetPrinterDeviceDefaults(&pd) || !app.m_hDevMode || !app.m_hDevNames) return;
  auto* mode = static_cast<DEVMODEA*>(::GlobalLock(app.m_hDevMode));
  if (!mode) return;
  mode->dmOrientation = orientation;
  mode->dmFields |= DM_ORIENTATION;
  if (auto* names = static_cast<DEVNAMES*>(::GlobalLock(app.m_hDevNames))) {
    char* device = reinterpret_cast<char*>(names) + names->wDeviceOffset;
    HANDLE printer = nullptr;
    if (::OpenPrinterA(device, &printer, nullptr)) {
      ::DocumentPropertiesA(nullptr, printer, device, mode, mode, DM_IN_BUFFER | DM_OUT_BUFFER);
      ::ClosePrinter(printer);
    }
    ::GlobalUnlock(app.m_hDevNames);
  }
  ::GlobalUnlock(app.m_hDevMode);
}
