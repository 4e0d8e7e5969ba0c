#include "afx/winole.h"

#include <shlobj.h>

#include <cstring>

// ---- starting and ending OLE

namespace {
thread_local bool t_oleEndsAtExit = false;

FORMATETC GlobalFormat(CLIPFORMAT cfFormat) { return FORMATETC{cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// A new movable block holding a copy of hSource; null when memory is short.
HGLOBAL CopyGlobal(HGLOBAL hSource) {
  const SIZE_T nSize = ::GlobalSize(hSource);
  const void* pSource = ::GlobalLock(hSource);
  HGLOBAL hCopy = pSource ? ::GlobalAlloc(GMEM_MOVEABLE, nSize) : nullptr;
  void* pCopy = hCopy ? ::GlobalLock(hCopy) : nullptr;
  if (pCopy) {
    std::memcpy(pCopy, pSource, nSize);
    ::GlobalUnlock(hCopy);
  } else if (hCopy) {
    ::GlobalFree(hCopy);
    hCopy = nullptr;
  }
  if (pSource) ::GlobalUnlock(hSource);
  return hCopy;
}
}  // namespace

BOOL AfxOleInit() {
  if (t_oleEndsAtExit) return TRUE;
  if (FAILED(::OleInitialize(nullptr))) return FALSE;
  t_oleEndsAtExit = true;
  return TRUE;
}

BOOL AfxOleEndsAtExit() { return t_oleEndsAtExit; }

void AfxOleTerm() {
  if (!t_oleEndsAtExit) return;
  t_oleEndsAtExit = false;
  ::OleUninitialize();
}

// ---- COleDataSource

COleDataSource::COleDataSource() {
  m_xDataObject.m_pThis = this;
  m_xDropSource.m_pThis = this;
}

COleDataSource::~COleDataSource() {
  for (const Cached& c : m_cache) ::GlobalFree(c.hGlobal);
}

ULONG COleDataSource::InternalAddRef() { return (ULONG)::InterlockedIncrement(&m_nRefs); }

ULONG COleDataSource::InternalRelease() {
  const LONG n = ::InterlockedDecrement(&m_nRefs);
  if (n == 0) delete this;
  return (ULONG)n;
}

HRESULT COleDataSource::QueryInterface(REFIID iid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject))
    *ppv = static_cast<IDataObject*>(&m_xDataObject);
  else if (IsEqualIID(iid, IID_IDropSource))
    *ppv = static_cast<IDropSource*>(&m_xDropSource);
  else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  InternalAddRef();
  return S_OK;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal) {
  for (Cached& c : m_cache) {
    if (c.cfFormat != cfFormat) continue;
    if (c.hGlobal != hGlobal) ::GlobalFree(c.hGlobal);
    c.hGlobal = hGlobal;
    return;
  }
  m_cache.push_back(Cached{cfFormat, hGlobal});
}

void COleDataSource::SetClipboard() {
  ::OleSetClipboard(&m_xDataObject);
  InternalRelease();
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects) {
  DWORD dwEffect = DROPEFFECT_NONE;
  const HRESULT hr = ::DoDragDrop(&m_xDataObject, &m_xDropSource, dwEffects, &dwEffect);
  return hr == DRAGDROP_S_DROP ? dwEffect : DROPEFFECT_NONE;
}

HGLOBAL COleDataSource::Find(const FORMATETC* pFormat, HRESULT* pResult) const {
  *pResult = DV_E_FORMATETC;
  if (!pFormat) return nullptr;
  if (pFormat->dwAspect != DVASPECT_CONTENT) {
    *pResult = DV_E_DVASPECT;
    return nullptr;
  }
  for (const Cached& c : m_cache) {
    if (c.cfFormat != pFormat->cfFormat) continue;
    *pResult = (pFormat->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    return *pResult == S_OK ? c.hGlobal : nullptr;
  }
  return nullptr;
}

STDMETHODIMP COleDataSource::XDataObject::GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) {
  if (!pMedium) return E_POINTER;
  HRESULT hr;
  HGLOBAL hGlobal = m_pThis->Find(pFormat, &hr);
  if (!hGlobal) return hr;
  HGLOBAL hCopy = CopyGlobal(hGlobal);
  if (!hCopy) return E_OUTOFMEMORY;
  pMedium->tymed = TYMED_HGLOBAL;
  pMedium->hGlobal = hCopy;
  pMedium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP COleDataSource::XDataObject::QueryGetData(FORMATETC* pFormat) {
  HRESULT hr;
  m_pThis->Find(pFormat, &hr);
  return hr;
}

STDMETHODIMP COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut) {
  if (pOut) pOut->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = nullptr;
  if (dwDirection != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Cached& c : m_pThis->m_cache) formats.push_back(GlobalFormat(c.cfFormat));
  return ::SHCreateStdEnumFmtEtc((UINT)formats.size(), formats.data(), ppEnum);
}

STDMETHODIMP COleDataSource::XDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) {
  if (bEscapePressed) return DRAGDROP_S_CANCEL;
  if (!(dwKeyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

// ---- COleDataObject

void COleDataObject::Attach(IDataObject* pDataObject, BOOL bAutoRelease) {
  Release();
  m_lpDataObject = pDataObject;
  m_bAutoRelease = bAutoRelease;
}

BOOL COleDataObject::AttachClipboard() {
  IDataObject* pDataObject = nullptr;
  if (FAILED(::OleGetClipboard(&pDataObject)) || !pDataObject) return FALSE;
  Attach(pDataObject, TRUE);
  return TRUE;
}

void COleDataObject::Release() {
  if (m_lpDataObject && m_bAutoRelease) m_lpDataObject->Release();
  m_lpDataObject = nullptr;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat) const {
  FORMATETC format = GlobalFormat(cfFormat);
  return m_lpDataObject && m_lpDataObject->QueryGetData(&format) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat) const {
  FORMATETC format = GlobalFormat(cfFormat);
  STGMEDIUM medium{};
  if (!m_lpDataObject || FAILED(m_lpDataObject->GetData(&format, &medium))) return nullptr;
  if (medium.tymed == TYMED_HGLOBAL && !medium.pUnkForRelease) return medium.hGlobal;
  HGLOBAL hCopy = medium.tymed == TYMED_HGLOBAL ? CopyGlobal(medium.hGlobal) : nullptr;
  ::ReleaseStgMedium(&medium);
  return hCopy;
}

// ---- COleDropTarget

COleDropTarget::COleDropTarget() { m_xDropTarget.m_pThis = this; }

COleDropTarget::~COleDropTarget() { COleDropTarget::Revoke(); }

BOOL COleDropTarget::Register(CWnd* pWnd) {
  HWND hWnd = AfxGetSafeHwnd(pWnd);
  if (!hWnd || m_hWnd) return FALSE;
  if (FAILED(::RegisterDragDrop(hWnd, &m_xDropTarget))) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

void COleDropTarget::Revoke() {
  if (!m_hWnd) return;
  ::RevokeDragDrop(m_hWnd);
  m_hWnd = nullptr;
  m_dataObject.Release();
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

void COleDropTarget::HoldData(IDataObject* pDataObject) {
  if (pDataObject) pDataObject->AddRef();
  m_dataObject.Attach(pDataObject, TRUE);
}

CPoint COleDropTarget::ClientPoint(POINTL pt) const {
  POINT p{pt.x, pt.y};
  ::ScreenToClient(m_hWnd, &p);
  return CPoint(p);
}

DROPEFFECT COleDropTarget::Decide(BOOL bEnter, DWORD dwKeyState, POINTL pt, DWORD dwAllowed) {
  CWnd* pWnd = CWnd::FromHandle(m_hWnd);
  const CPoint point = ClientPoint(pt);
  DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
  if (!(effect & DROPEFFECT_SCROLL))
    effect = bEnter ? OnDragEnter(pWnd, &m_dataObject, dwKeyState, point)
                    : OnDragOver(pWnd, &m_dataObject, dwKeyState, point);
  return effect & (dwAllowed | DROPEFFECT_SCROLL);
}

STDMETHODIMP COleDropTarget::XDropTarget::QueryInterface(REFIID iid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDropTarget)) {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  *ppv = static_cast<IDropTarget*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragEnter(IDataObject* pDataObject, DWORD dwKeyState, POINTL pt,
                                                    DWORD* pdwEffect) {
  if (!pdwEffect) return E_POINTER;
  m_pThis->HoldData(pDataObject);
  *pdwEffect = m_pThis->Decide(TRUE, dwKeyState, pt, *pdwEffect);
  return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragOver(DWORD dwKeyState, POINTL pt, DWORD* pdwEffect) {
  if (!pdwEffect) return E_POINTER;
  *pdwEffect = m_pThis->Decide(FALSE, dwKeyState, pt, *pdwEffect);
  return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragLeave() {
  m_pThis->OnDragLeave(CWnd::FromHandle(m_pThis->m_hWnd));
  m_pThis->m_dataObject.Release();
  return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::Drop(IDataObject* pDataObject, DWORD dwKeyState, POINTL pt,
                                               DWORD* pdwEffect) {
  if (!pdwEffect) return E_POINTER;
  m_pThis->HoldData(pDataObject);
  CWnd* pWnd = CWnd::FromHandle(m_pThis->m_hWnd);
  const CPoint point = m_pThis->ClientPoint(pt);
  DROPEFFECT effect = m_pThis->OnDragOver(pWnd, &m_pThis->m_dataObject, dwKeyState, point) & *pdwEffect;
  if (effect == DROPEFFECT_NONE)
    m_pThis->OnDragLeave(pWnd);
  else if (!m_pThis->OnDrop(pWnd, &m_pThis->m_dataObject, effect, point))
    effect = DROPEFFECT_NONE;
  *pdwEffect = effect;
  m_pThis->m_dataObject.Release();
  return S_OK;
}
