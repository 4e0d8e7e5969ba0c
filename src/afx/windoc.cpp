#include "afx/windoc.h"

#include <cstring>

#include "afx/winapp.h"
#include "afx/wincommdlg.h"
#include "afx/winview.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep) {
  rString.Empty();
  if (!lpszFullString) return FALSE;
  const char* p = lpszFullString;
  for (; iSubString > 0; --iSubString) {
    p = std::strchr(p, chSep);
    if (!p) return FALSE;
    ++p;
  }
  const char* end = std::strchr(p, chSep);
  rString = end ? CString(p, static_cast<int>(end - p)) : CString(p);
  return TRUE;
}

// ---- CDocument, window side

// Told in a box of its own caption; a program without an application object (a tool, a test)
// has nobody to tell and only gets the failed result.
void AfxReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving) {
  if (e && e->IsKindOf(RUNTIME_CLASS(CUserException))) return;  // already told
  if (!AfxGetApp()) return;
  char reason[256] = {};
  CString msg;
  if (e && e->GetErrorMessage(reason, sizeof reason)) msg = reason;
  else msg.Format(bSaving ? "Failed to save document %s." : "Failed to open document %s.", lpszPathName);
  AfxDoMessageBox(nullptr, msg, bSaving ? "Save" : "Open", MB_OK | MB_ICONEXCLAMATION);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::AddView(CView* pView) {
  m_viewList.AddTail(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  POSITION pos = m_viewList.Find(pView);
  if (!pos) return;
  m_viewList.RemoveAt(pos);
  pView->m_pDocument = nullptr;
  OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  for (POSITION pos = GetFirstViewPosition(); pos;) {
    CView* view = GetNextView(pos);
    if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
  }
}

void CDocument::OnChangedViewList() {
  if (m_viewList.IsEmpty() && m_bAutoDelete) OnCloseDocument();
}

int CDocument::CountFrames() const {
  CPtrList frames;
  for (POSITION pos = GetFirstViewPosition(); pos;) {
    CFrameWnd* f = GetNextView(pos)->GetParentFrame();
    if (f && !frames.Find(f)) frames.AddTail(f);
  }
  return static_cast<int>(frames.GetCount());
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return CountFrames() > 1 || SaveModified(); }

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  CString msg;
  msg.Format("Save changes to %s?", static_cast<LPCTSTR>(m_strPathName.IsEmpty() ? m_strTitle : m_strPathName));
  switch (AfxDoMessageBox(nullptr, msg, nullptr, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
  }
}

BOOL CDocument::DoFileSave() { return DoSave(m_strPathName.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_strPathName)); }

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace) {
  CString path = lpszPathName;
  if (path.IsEmpty()) {
    CString filter, ext;
    if (m_pDocTemplate) {
      m_pDocTemplate->GetDocString(filter, CDocTemplate::filterName);
      m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt);
    }
    CString filters = filter.IsEmpty() ? CString("All Files (*.*)|*.*||") : filter + "|*" + ext + "||";
    CFileDialog dlg(FALSE, ext.IsEmpty() ? nullptr : static_cast<LPCTSTR>(ext.Mid(1)), m_strTitle,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filters);
    if (dlg.DoModal() != IDOK) return FALSE;
    path = dlg.GetPathName();
  }
  if (!OnSaveDocument(path)) return FALSE;
  if (bReplace) SetPathName(path);
  return TRUE;
}

void CDocument::OnCloseDocument() {
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // the frames' views go first without closing the document again
  while (!m_viewList.IsEmpty()) {
    CView* view = static_cast<CView*>(m_viewList.GetHead());
    CFrameWnd* frame = view->GetParentFrame();
    if (frame) {
      PreCloseFrame(frame);
      frame->DestroyWindow();
    }
    if (!m_viewList.IsEmpty() && m_viewList.GetHead() == view) RemoveView(view);  // a view without a frame
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
  if (m_bAutoDelete) delete this;
}

// ---- CDocTemplate

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {
  LoadTemplate();
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate() { m_strDocStrings = AfxLoadString(m_nIDResource); }

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const {
  return AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  CObject* obj = m_pDocClass->CreateObject();
  auto* doc = DYNAMIC_DOWNCAST(CDocument, obj);
  if (!doc) {
    delete obj;
    return nullptr;
  }
  AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
  CCreateContext context;
  context.m_pCurrentFrame = pOther;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  if (!m_pFrameClass) return nullptr;
  CObject* obj = m_pFrameClass->CreateObject();
  auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, obj);
  if (!frame) {
    delete obj;
    return nullptr;
  }
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
    // A frame whose window was never made (or was lost while being made) is still ours.
    if (frame->m_hWnd) frame->DestroyWindow();
    else delete frame;
    return nullptr;
  }
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
  if (pDoc->m_pDocTemplate == this) pDoc->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::SaveAllModified() {
  for (POSITION pos = GetFirstDocPosition(); pos;)
    if (!GetNextDoc(pos)->SaveModified()) return FALSE;
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  POSITION pos = GetFirstDocPosition();
  while (pos) {
    CDocument* doc = GetNextDoc(pos);
    doc->OnCloseDocument();
    pos = GetFirstDocPosition();  // the list changed
  }
}

// ---- CMultiDocTemplate

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CMultiDocTemplate::~CMultiDocTemplate() {
  // Documents outliving their template forget it.
  for (POSITION pos = m_docList.GetHeadPosition(); pos;)
    static_cast<CDocument*>(m_docList.GetNext(pos))->m_pDocTemplate = nullptr;
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc) {
  CDocTemplate::AddDocument(pDoc);
  m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc) {
  CDocTemplate::RemoveDocument(pDoc);
  if (POSITION pos = m_docList.Find(pDoc)) m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  CString name;
  if (!GetDocString(name, docName) || name.IsEmpty()) name = "Untitled";
  CString title;
  title.Format("%s%u", static_cast<LPCTSTR>(name), ++m_nUntitledCount);
  pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
  CDocument* doc = CreateNewDocument();
  if (!doc) return nullptr;
  BOOL autoDelete = doc->m_bAutoDelete;
  doc->m_bAutoDelete = FALSE;  // a failed frame must not delete the document under us
  CFrameWnd* frame = CreateNewFrame(doc, nullptr);
  doc->m_bAutoDelete = autoDelete;
  if (!frame) {
    RemoveDocument(doc);
    delete doc;
    return nullptr;
  }
  BOOL ok;
  if (!lpszPathName) {
    SetDefaultTitle(doc);
    ok = doc->OnNewDocument();
    if (!ok) --m_nUntitledCount;
  } else {
    CWaitCursor wait;
    ok = doc->OnOpenDocument(lpszPathName);
    if (ok) doc->SetPathName(lpszPathName);
  }
  if (!ok) {
    frame->DestroyWindow();  // its view goes, and with the last view the document
    return nullptr;
  }
  InitialUpdateFrame(frame, doc, bMakeVisible);
  return doc;
}
