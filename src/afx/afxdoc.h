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
#include "afx/afxlist.h"
#include "afx/afxstr.h"

class CView;
class CDocTemplate;
class CFrameWnd;

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

  // ---- the window side (Windows only): views, frames, commands.
  // Route: the document's own message map, then its template's.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
  CView* GetNextView(POSITION& rPosition) const { return static_cast<CView*>(m_viewList.GetNext(rPosition)); }
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
  // A view came or went: a document whose last view is gone closes (m_bAutoDelete).
  virtual void OnChangedViewList();
  // Whether the frame may close: asks to save when it is the document's last frame.
  virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
  // Asks whether to save a modified document; FALSE when the user cancels or saving fails.
  virtual BOOL SaveModified();
  // Destroys the document's frames, empties it and deletes it (m_bAutoDelete).
  virtual void OnCloseDocument();
  virtual void PreCloseFrame(CFrameWnd*) {}
  // Saves to lpszPathName, or asks for a name when it is null; FALSE on failure or cancel.
  virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
  BOOL DoFileSave();
  // The number of different frames that show the document's views.
  int CountFrames() const;

  BOOL m_bAutoDelete = TRUE;
  CDocTemplate* m_pDocTemplate = nullptr;

 protected:
  CPtrList m_viewList;

  CString m_strTitle;
  CString m_strPathName;
  BOOL m_bModified;
};

#endif  // VEDRA_AFX_AFXDOC_H
