// The application object and the program's entry: one CWinApp per program, its message loop
// with idle processing, its document templates and the shell commands of the command line.
//
// Idle time: OnIdle(0) asks every frame's control bars to update their controls (and frames
// their titles); OnIdle(1) frees the temporary objects of the handle maps. The loop keeps
// calling OnIdle with a growing count while it returns TRUE and the queue is empty.
// PreTranslateMessage offers each message to the windows from its target up to the main window.
#pragma once
#include "afx/winframe.h"

class CDocTemplate;
class CDocument;

class CCommandLineInfo : public CObject {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;
  // One argument: bFlag when it started with '/' or '-' (which is then stripped).
  virtual void ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast);

 private:
  void ParseFlag(LPCTSTR lpszParam);
};

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  CWnd* m_pMainWnd = nullptr;
  HGLOBAL m_hDevMode = nullptr;   // printer settings of the application
  HGLOBAL m_hDevNames = nullptr;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance();
  virtual int Run();
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL PreTranslateMessage(MSG* pMsg);

  // ---- documents
  void AddDocTemplate(CDocTemplate* pTemplate);
  POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const { return static_cast<CDocTemplate*>(m_templateList.GetNext(pos)); }
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
  virtual BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);
  afx_msg void OnFileNew();
  afx_msg void OnFileOpen();
  afx_msg void OnFilePrintSetup();
  afx_msg void OnAppExit();

  // ---- command line and shell
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
  // Nothing to start: the program takes no DDE conversations (a shell open starts it again).
  void EnableShellOpen() {}
  // Writes the document types of the templates under HKEY_CURRENT_USER\Software\Classes: the
  // extension, the type's name, and the open, print and printto commands.
  void RegisterShellFileTypes(BOOL bCompat = FALSE);

  // ---- printer settings
  // The application's printer settings, set to the default printer on first use; FALSE (and
  // nothing shown) when there is no printer.
  BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
  BOOL CreatePrinterDC(CDC& dc);
  // Runs the print dialog on the application's settings and keeps what the user chose.
  INT_PTR DoPrintDialog(class CPrintDialog* pPD);
  void UpdatePrinterSelection(BOOL bForceDefaults);

  // ---- resources and cursors
  HICON LoadIcon(UINT nIDResource) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)); }
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }
  HCURSOR LoadCursor(UINT nIDResource) const { return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)); }
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }
  virtual void DoWaitCursor(int nCode);

 protected:
  int m_nExitCode = 0;
  int m_nWaitCursorCount = 0;
  HCURSOR m_hcurWaitCursorRestore = nullptr;
  CPtrList m_templateList;

  DECLARE_MESSAGE_MAP()
};

// The hourglass cursor for the lifetime of the object.
class CWaitCursor {
 public:
  CWaitCursor() { AfxDoWaitCursor(1); }
  ~CWaitCursor() { AfxDoWaitCursor(-1); }
  void Restore() { AfxDoWaitCursor(0); }
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
LPCTSTR AfxGetAppName();
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);
// Registers the common control classes (once).
void AfxInitCommonControls();
// Loads the rich edit control's library (once); FALSE when it cannot be loaded.
BOOL AfxInitRichEdit();
void AfxEnableControlContainer();
// Everything WinMain does: initialise the application object, run it, and end it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
