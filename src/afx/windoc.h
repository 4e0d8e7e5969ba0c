// Document templates: CDocTemplate and CMultiDocTemplate tie a document class to the frame and
// view classes that show it and to resource nIDResource, whose string holds the fields
//   window title \n document name \n new-file name \n filter name \n filter extension
//   \n shell file type id \n shell file type name
// New documents are titled from the document name and a running number ("Vedra1", ...).
#pragma once
#include "afx/winframe.h"

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
 public:
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
  ~CDocTemplate() override;
  virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
  virtual void LoadTemplate();

  virtual CDocument* CreateNewDocument();
  // A new frame (with its view) for pDoc; pOther is a frame the new one copies the view class of.
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
  // A new document (lpszPathName null) or the named file, in a new frame; null on failure.
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);
  virtual POSITION GetFirstDocPosition() const = 0;
  virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);

  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;
  BOOL m_bAutoDelete = TRUE;  // the application deletes a template it was given
};

class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)
 public:
  CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
  ~CMultiDocTemplate() override;
  CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* pDocument) override;
  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;
  POSITION GetFirstDocPosition() const override { return m_docList.GetHeadPosition(); }
  CDocument* GetNextDoc(POSITION& rPos) const override { return static_cast<CDocument*>(m_docList.GetNext(rPos)); }

  CPtrList m_docList;
  UINT m_nUntitledCount = 0;
};

// The text of field index of a "\n"-separated string (empty when it has fewer fields).
BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep = '\n');
