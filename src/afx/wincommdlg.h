// The system's common dialogs: file open and save (CFileDialog), colour (CColorDialog) and
// print (CPrintDialog). Each runs modally over its owner's frame, like CDialog.
#pragma once
#include "afx/windlg.h"

#include <commdlg.h>

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<LPCTSTR>(nullptr), pParentWnd) {}

 protected:
  // Runs the system call with the owner in its modal state.
  INT_PTR RunModal(BOOL (*call)(void*), void* record, HWND* pOwnerField);
};

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  // lpszFilter: pairs of "name|pattern|" ended by "|".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  CString GetPathName() const { return m_szFileName; }
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  CString GetFolderPath() const;

  OPENFILENAMEA m_ofn{};
  BOOL m_bOpenFileDialog;

 private:
  char m_szFileName[MAX_PATH] = {};
  char m_szFileTitle[MAX_PATH] = {};
  CString m_strFilter;
  CString m_strDefExt;
};

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
  static COLORREF* GetSavedCustomColors();

  CHOOSECOLORA m_cc{};
};

class CPrintDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CPrintDialog)
 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  // The default printer's settings into m_pd, without showing anything; FALSE when there is none.
  BOOL GetDefaults();
  HDC GetPrinterDC() const { return m_pd.hDC; }
  HDC CreatePrinterDC();
  CString GetDeviceName() const;
  CString GetDriverName() const;
  CString GetPortName() const;
  int GetCopies() const { return m_pd.nCopies; }
  BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
  BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
  int GetFromPage() const { return m_pd.nFromPage; }
  int GetToPage() const { return m_pd.nToPage; }
  LPDEVMODEA GetDevMode() const;

  PRINTDLGA m_pd{};
};

// A DC for the printer named by a DEVNAMES block with the settings of a DEVMODE block.
HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode);
