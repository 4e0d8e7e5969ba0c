#include "afx/winapp.h"
#include "afx/winole.h"

#include <cstdlib>
#include <cstring>

#include <ole2.h>

#include "afx/wincommdlg.h"
#include "afx/windlg.h"
#include "afx/windoc.h"
#include "afx/winmsg.h"
#include "afx/wingdi.h"
#include "afx/winview.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {
CWinApp* g_app = nullptr;
char g_appName[MAX_PATH] = "";

// Sends WM_IDLEUPDATECMDUI to each top-level frame of this thread and everything inside it.
BOOL CALLBACK IdleUpdateFrame(HWND h, LPARAM) {
  auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(h));
  if (frame && ::IsWindowVisible(h)) {
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
  }
  return TRUE;
}
}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr); }
HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

LPCTSTR AfxGetAppName() {
  if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
  if (!g_appName[0]) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const char* base = std::strrchr(path, '\\');
    lstrcpynA(g_appName, base ? base + 1 : path, sizeof g_appName);
    if (char* dot = std::strrchr(g_appName, '.')) *dot = 0;
  }
  return g_appName;
}

void AfxInitCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  done = ::InitCommonControlsEx(&icc) != FALSE;
}

BOOL AfxInitRichEdit() {
  static HMODULE lib = ::LoadLibraryA("riched20.dll");
  return lib != nullptr;
}

void AfxEnableControlContainer() {}

// ---- message boxes and the wait cursor

int AfxDoMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  HWND owner = hWndOwner ? hWndOwner : AfxGetModalOwner(nullptr);
  while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  int state = AfxBeginModal(owner);
  int r = ::MessageBoxA(owner, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
  AfxEndModal(owner, state);
  return r;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) { return AfxDoMessageBox(nullptr, lpszText, nullptr, nType); }

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  return AfxMessageBox(AfxLoadString(nIDPrompt), nType, nIDHelp);
}

void AfxDoWaitCursor(int nCode) {
  if (g_app) {
    g_app->DoWaitCursor(nCode);
  } else if (nCode >= 0) {
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  }
}

void CWinApp::DoWaitCursor(int nCode) {
  m_nWaitCursorCount += nCode;
  if (m_nWaitCursorCount < 0) m_nWaitCursorCount = 0;
  if (m_nWaitCursorCount > 0) {
    HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    if (nCode > 0 && m_nWaitCursorCount == 1) m_hcurWaitCursorRestore = old;
  } else if (nCode < 0) {
    ::SetCursor(m_hcurWaitCursorRestore ? m_hcurWaitCursorRestore
                                        : ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }
}

// ---- the message loop

BOOL CWinApp::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    ::EnumThreadWindows(::GetCurrentThreadId(), IdleUpdateFrame, 0);
  } else if (lCount == 1) {
    AfxDeleteTempMaps();
  }
  return lCount < 1;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
  HWND hMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
  bool reachedMain = false;
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    CWnd* w = CWnd::FromHandlePermanent(h);
    if (w && w->PreTranslateMessage(pMsg)) return TRUE;
    if (h == hMain) {
      reachedMain = true;
      break;
    }
  }
  // The main window also sees the messages of windows outside it (tool frames, modeless boxes).
  return hMain && !reachedMain && m_pMainWnd->PreTranslateMessage(pMsg);
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
  if (g_app) return g_app->PreTranslateMessage(pMsg);
  return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

int CWinApp::Run() {
  MSG msg;
  LONG idleCount = 0;
  bool idle = true;
  for (;;) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) {
        m_nExitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return ExitInstance();
      }
      if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
      idle = true;
      idleCount = 0;
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int CWinApp::ExitInstance() {
  while (!m_templateList.IsEmpty()) {
    auto* t = static_cast<CDocTemplate*>(m_templateList.RemoveHead());
    if (t->m_bAutoDelete) delete t;
  }
  if (m_hDevMode) ::GlobalFree(m_hDevMode);
  if (m_hDevNames) ::GlobalFree(m_hDevNames);
  m_hDevMode = m_hDevNames = nullptr;
  return m_nExitCode;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  app->m_pszExeName = AfxGetAppName();
  AfxInitCommonControls();
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    const int nExit = app->ExitInstance();
    AfxOleTerm();
    return nExit;
  }
  const int nExit = app->Run();
  AfxOleTerm();
  return nExit;
}

// ---- documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) { m_templateList.AddTail(pTemplate); }

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
  CDocTemplate* chosen = nullptr;
  const char* dot = lpszFileName ? std::strrchr(lpszFileName, '.') : nullptr;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* t = GetNextDocTemplate(pos);
    CString ext;
    if (!chosen) chosen = t;
    if (dot && t->GetDocString(ext, CDocTemplate::filterExt) && ext.CompareNoCase(dot) == 0) {
      chosen = t;
      break;
    }
  }
  return chosen ? chosen->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::OnFileNew() {
  POSITION pos = GetFirstDocTemplatePosition();
  if (pos) GetNextDocTemplate(pos)->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
  CString filters;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* t = GetNextDocTemplate(pos);
    CString name, ext;
    if (t->GetDocString(name, CDocTemplate::filterName) && !name.IsEmpty() &&
        t->GetDocString(ext, CDocTemplate::filterExt))
      filters += name + "|*" + ext + "|";
  }
  filters += "All Files (*.*)|*.*||";
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filters);
  if (dlg.DoModal() == IDOK) OpenDocumentFile(dlg.GetPathName());
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::SaveAllModified() {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
    if (!GetNextDocTemplate(pos)->SaveAllModified()) return FALSE;
  return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

// ---- command line

void CCommandLineInfo::ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL) {
  if (bFlag) {
    ParseFlag(lpszParam);
  } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty() && !m_strFileName.IsEmpty()) {
    m_strPrinterName = lpszParam;
  } else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty() && !m_strFileName.IsEmpty()) {
    m_strDriverName = lpszParam;
  } else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty() && !m_strFileName.IsEmpty()) {
    m_strPortName = lpszParam;
  } else if (m_strFileName.IsEmpty()) {
    m_strFileName = lpszParam;
    if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
  }
}

void CCommandLineInfo::ParseFlag(LPCTSTR f) {
  if (lstrcmpiA(f, "pt") == 0) {
    m_nShellCommand = FilePrintTo;
  } else if (lstrcmpiA(f, "p") == 0) {
    m_nShellCommand = FilePrint;
  } else if (lstrcmpiA(f, "dde") == 0) {
    m_nShellCommand = FileDDE;
  } else if (lstrcmpiA(f, "Embedding") == 0 || lstrcmpiA(f, "Automation") == 0) {
    m_bRunEmbedded = lstrcmpiA(f, "Embedding") == 0;
    m_bRunAutomated = !m_bRunEmbedded;
    m_bShowSplash = FALSE;
  } else if (lstrcmpiA(f, "Unregister") == 0 || lstrcmpiA(f, "Unregserver") == 0) {
    m_nShellCommand = AppUnregister;
  }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  for (int i = 1; i < __argc; ++i) {
    const char* p = __argv[i];
    BOOL flag = p[0] == '/' || p[0] == '-';
    rCmdInfo.ParseParam(flag ? p + 1 : p, flag, i == __argc - 1);
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      if (OpenDocumentFile(rCmdInfo.m_strFileName) && m_pMainWnd)
        m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
      return FALSE;  // printed: the program ends
    case CCommandLineInfo::AppUnregister:
      return FALSE;
    default:
      return TRUE;
  }
}

namespace {
bool SetClassValue(const CString& key, LPCTSTR value) {
  HKEY h = nullptr;
  CString path = "Software\\Classes\\" + key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = ::RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
  ::RegCloseKey(h);
  return ok;
}
}  // namespace

void CWinApp::RegisterShellFileTypes(BOOL) {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, sizeof exe);
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* t = GetNextDocTemplate(pos);
    CString id, name, ext;
    if (!t->GetDocString(id, CDocTemplate::regFileTypeId) || id.IsEmpty()) continue;
    t->GetDocString(name, CDocTemplate::regFileTypeName);
    t->GetDocString(ext, CDocTemplate::filterExt);
    SetClassValue(id, name);
    CString q = CString("\"") + exe + "\"";
    SetClassValue(id + "\\DefaultIcon", q.Mid(1, q.GetLength() - 2) + ",0");
    SetClassValue(id + "\\shell\\open\\command", q + " \"%1\"");
    SetClassValue(id + "\\shell\\print\\command", q + " /p \"%1\"");
    SetClassValue(id + "\\shell\\printto\\command", q + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    if (!ext.IsEmpty()) SetClassValue(ext, id);
  }
}

// ---- printer settings

void CWinApp::UpdatePrinterSelection(BOOL bForceDefaults) {
  if (!bForceDefaults && m_hDevNames) return;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
  if (!::PrintDlgA(&pd)) return;
  if (m_hDevMode) ::GlobalFree(m_hDevMode);
  if (m_hDevNames) ::GlobalFree(m_hDevNames);
  m_hDevMode = pd.hDevMode;
  m_hDevNames = pd.hDevNames;
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg) {
  UpdatePrinterSelection(FALSE);
  if (!m_hDevNames) return FALSE;
  pPrintDlg->hDevMode = m_hDevMode;
  pPrintDlg->hDevNames = m_hDevNames;
  return TRUE;
}

BOOL CWinApp::CreatePrinterDC(CDC& dc) {
  UpdatePrinterSelection(FALSE);
  HDC h = AfxCreateDC(m_hDevNames, m_hDevMode);
  return h ? dc.Attach(h) : FALSE;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD) {
  UpdatePrinterSelection(FALSE);
  pPD->m_pd.hDevMode = m_hDevMode;
  pPD->m_pd.hDevNames = m_hDevNames;
  INT_PTR r = pPD->DoModal();
  if (r == IDOK) {
    m_hDevMode = pPD->m_pd.hDevMode;
    m_hDevNames = pPD->m_pd.hDevNames;
  }
  return r;
}

void CWinApp::OnFilePrintSetup() {
  CPrintDialog pd(TRUE);
  if (!m_hDevNames) UpdatePrinterSelection(FALSE);
  if (!m_hDevNames) {
    AfxMessageBox("No printer is installed.", MB_OK | MB_ICONINFORMATION);
    return;
  }
  DoPrintDialog(&pd);
}
