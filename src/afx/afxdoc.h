// CDocument, the data side: a document's title, path name and modified flag, and the reading and
// writing of its file through Serialize. The views and frames that show a document belong to the
// window classes.
//
//   OnNewDocument   empties the document (DeleteContents) and forgets its path.
//   OnOpenDocument  opens the file, empties the document, runs Serialize on a loading archive
//                   whose m_pDocument is the document, and clears the modified flag.
//   OnSaveDocument  creates the file, runs Serialize on a storing archive and clears the
//                   modified flag.
// Neither sets the path name: whoever opens or saves the document does (SetPathName).
// A CException raised while reading or writing is handed to ReportSaveLoadException and the
// operation returns FALSE (an open that fails empties the document again). Exceptions of other
// types go on to the caller, after the file has been closed.
#ifndef VEDRA_AFX_AFXDOC_H
#define VEDRA_AFX_AFXDOC_H

#include "afx/afxcmd.h"
#include "afx/afxexcept.h"
#include "afx/afxstr.h"

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
 public:
  CDocument();
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCTSTR lpszTitle);
  const CString& GetPathName() const { return m_strPathName; }
  // Sets the path; the title becomes the path's last component.
  virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

  // Empties the document's data; does nothing here.
  virtual void DeleteContents();
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
  virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
  // Tells the user that reading or writing failed; does nothing here (the window side shows it).
  virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving,
                                       UINT nIDPDefault);

 protected:
  CString m_strTitle;
  CString m_strPathName;
  BOOL m_bModified;
};

#endif  // VEDRA_AFX_AFXDOC_H
