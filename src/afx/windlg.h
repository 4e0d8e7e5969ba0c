// Dialogs: CDialog (modal in the framework's own message loop, or modeless) and dialog data
// exchange (DDX_/DDV_ functions run by DoDataExchange through UpdateData).
//
// A modal dialog disables its owner while it runs (an owner frame enters its modal state, which
// also disables the tool windows it owns) and messages go through PreTranslateMessage of the
// windows under the cursor up to the dialog. Combo and list boxes of a template are filled from
// the template's initial data (resource type 240) before OnInitDialog runs.
//
// Initial data layout (a user-defined resource of type 240 with the template's id): records of
//   WORD control id, WORD message (CB_ADDSTRING 0x0143 or LB_ADDSTRING 0x0180),
//   DWORD byte count, that many bytes of UTF-8 text ending in a NUL;
// ended by a WORD 0. In the .rc file:  403 240 BEGIN 4010, 0x0143, 6L, "Wall\0", 0 END
//
// UpdateData(TRUE) stops at the first field that fails: a message box names the valid range,
// the field takes the focus (an edit field has its text selected) and UpdateData returns FALSE.
#pragma once
#include "afx/winwnd.h"

#define RT_DLGINIT MAKEINTRESOURCEA(240)

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

  // IDOK, IDCANCEL or EndDialog's value; -1 when the template is missing or creation failed.
  virtual INT_PTR DoModal();
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);
  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)AfxGetSafeHwnd(pWndCtrl), 1); }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return (DWORD)::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  void PreInitDialog() override;

  LPCTSTR m_lpszTemplateName = nullptr;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  BOOL m_bModal = FALSE;
  BOOL m_bEnded = FALSE;  // EndDialog ran (perhaps inside OnInitDialog)

  DECLARE_MESSAGE_MAP()
};

// The dialog procedure of framework dialogs: WM_INITDIALOG goes to OnInitDialog of a CDialog.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Creates a dialog (modeless, not yet shown unless the template says so) from the template
// resource, attached to pWnd. FALSE when the template is missing or creation fails.
BOOL AfxCreateDlg(CWnd* pWnd, LPCTSTR lpszTemplateName, HWND hWndParent);
// Fills the combo and list boxes of pWnd from the initial data of template lpszResource.
BOOL AfxExecuteDlgInit(CWnd* pWnd, LPCTSTR lpszResource);
// The window that a modal box of pWnd is owned by (its top-level window, else the main window).
HWND AfxGetModalOwner(CWnd* pWnd);
// Disables hWndOwner for a modal box (its frame's modal state when it is a frame); returns what
// AfxEndModal must be given.
int AfxBeginModal(HWND hWndOwner);
void AfxEndModal(HWND hWndOwner, int nState);

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Gives the last control the focus and throws CUserException.
  [[noreturn]] void Fail();
  // Shows a validation message (owned by the dialog) and fails.
  [[noreturn]] void FailWith(LPCTSTR lpszMessage);

  int m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);
