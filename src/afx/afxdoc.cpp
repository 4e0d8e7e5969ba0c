#include "afx/afxdoc.h"

#include <algorithm>

#include "afx/afx.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::CDocument() : m_bModified(FALSE) {}

CDocument::~CDocument() = default;

void CDocument::SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL) {
  m_strPathName = lpszPathName;
  int nSlash = std::max(m_strPathName.ReverseFind('\\'), m_strPathName.ReverseFind('/'));
  SetTitle(m_strPathName.Mid(nSlash + 1));
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
  CFile file;
  CFileException* pError = new CFileException;
  if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, pError)) {
    ReportSaveLoadException(lpszPathName, pError, FALSE, 0);
    pError->Delete();
    return FALSE;
  }
  pError->Delete();

  DeleteContents();
  SetModifiedFlag(TRUE);  // dirty while half read
  try {
    CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
  } catch (CException* e) {
    file.Abort();
    DeleteContents();
    ReportSaveLoadException(lpszPathName, e, FALSE, 0);
    e->Delete();
    return FALSE;
  }
  file.Abort();  // read only: nothing to flush
  SetModifiedFlag(FALSE);
  return TRUE;
}

// The document is written to a temporary file beside the target, which takes the target's place
// only once it is complete: a failed save leaves the previous file as it was.
BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName) {
  const CString strTemp = CString(lpszPathName) + _T(".saving~");
  CFile file;
  CFileException* pError = new CFileException;
  if (!file.Open(strTemp, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, pError)) {
    ReportSaveLoadException(lpszPathName, pError, TRUE, 0);
    pError->Delete();
    return FALSE;
  }
  pError->Delete();

  try {
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
    file.Close();
    CFile::Rename(strTemp, lpszPathName);
  } catch (CException* e) {
    file.Abort();
    try {
      CFile::Remove(strTemp);
    } catch (CException* eRemove) {
      eRemove->Delete();
    }
    ReportSaveLoadException(lpszPathName, e, TRUE, 0);
    e->Delete();
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

#ifdef _WIN32
// The window side shows the message (windoc.cpp).
void AfxReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving);
void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT) {
  AfxReportSaveLoadException(lpszPathName, e, bSaving);
}
#else
void CDocument::ReportSaveLoadException(LPCTSTR, CException*, BOOL, UINT) {}

// No views or frames in the portable build.
BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
void CDocument::OnChangedViewList() {}
BOOL CDocument::CanCloseFrame(CFrameWnd*) { return TRUE; }
BOOL CDocument::SaveModified() { return TRUE; }
void CDocument::OnCloseDocument() { DeleteContents(); }
BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL) { return lpszPathName && OnSaveDocument(lpszPathName); }
#endif
