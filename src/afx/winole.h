// OLE data transfer over the system's OLE (ole32): a data source for the clipboard and for
// dragging, a data object that reads what the clipboard or a drag offers, and a drop target
// that turns OLE's drag calls into virtual functions of a window's helper object.
//
// COleDataSource is reference-counted: its creator holds one reference and gives it back with
// InternalRelease (which deletes the source at zero); OLE holds references of its own while the
// clipboard or a drag uses it. Blocks cached in it are its own; GetData hands out a copy each
// time, so a reader may free what it got. SetClipboard hands the creator's reference to the
// clipboard. DoDragDrop runs the drag on this thread until the left button is released (a drop)
// or Escape is pressed (cancelled).
//
// AfxOleInit starts OLE on the calling thread and records that the framework ends it when the
// application's run is over (AfxWinMain calls AfxOleTerm).
#pragma once
#include <ole2.h>

#include <vector>

#include "afx/winwnd.h"

typedef DWORD DROPEFFECT;

BOOL AfxOleInit();
// TRUE when AfxOleInit started OLE on this thread and the framework will end it.
BOOL AfxOleEndsAtExit();
// Ends what AfxOleInit started on this thread.
void AfxOleTerm();

class COleDataSource : public CCmdTarget {
 public:
  COleDataSource();
  ULONG InternalAddRef();
  ULONG InternalRelease();

  // The block becomes the source's (a block cached before for the format is freed).
  void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal);
  // Puts the source on the clipboard, which takes over the creator's reference.
  void SetClipboard();
  // The effect the drop target chose, DROPEFFECT_NONE when the drag was cancelled.
  DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  IDataObject* GetDataObject() { return &m_xDataObject; }

 protected:
  ~COleDataSource() override;  // deleted by its last release

 private:
  struct Cached {
    CLIPFORMAT cfFormat;
    HGLOBAL hGlobal;
  };
  HGLOBAL Find(const FORMATETC* pFormat, HRESULT* pResult) const;
  HRESULT QueryInterface(REFIID iid, void** ppv);

  struct XDataObject : IDataObject {
    COleDataSource* m_pThis;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override { return m_pThis->QueryInterface(iid, ppv); }
    STDMETHOD_(ULONG, AddRef)() override { return m_pThis->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return m_pThis->InternalRelease(); }
    STDMETHOD(GetData)(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return DATA_E_FORMATETC; }
    STDMETHOD(QueryGetData)(FORMATETC* pFormat) override;
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC* pOut) override;
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHOD(DUnadvise)(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
  } m_xDataObject;

  struct XDropSource : IDropSource {
    COleDataSource* m_pThis;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override { return m_pThis->QueryInterface(iid, ppv); }
    STDMETHOD_(ULONG, AddRef)() override { return m_pThis->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return m_pThis->InternalRelease(); }
    STDMETHOD(QueryContinueDrag)(BOOL bEscapePressed, DWORD dwKeyState) override;
    STDMETHOD(GiveFeedback)(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  } m_xDropSource;

  LONG m_nRefs = 1;
  std::vector<Cached> m_cache;
};

// What the clipboard or a drag offers. A data object attached with bAutoRelease is released by
// Release, by the next Attach and by the destructor.
class COleDataObject {
 public:
  COleDataObject() = default;
  ~COleDataObject() { Release(); }
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  void Attach(IDataObject* pDataObject, BOOL bAutoRelease = TRUE);
  BOOL AttachClipboard();
  void Release();
  BOOL IsDataAvailable(CLIPFORMAT cfFormat) const;
  // A block of the format, the caller's to free; null when it is not offered.
  HGLOBAL GetGlobalData(CLIPFORMAT cfFormat) const;

 private:
  IDataObject* m_lpDataObject = nullptr;
  BOOL m_bAutoRelease = TRUE;
};

// A window's OLE drop target. Register it with the window once the window exists (OLE must be
// started on the thread) and revoke it before the window goes. Points are in the window's client
// coordinates. OnDragScroll is asked first on every move: when its answer holds
// DROPEFFECT_SCROLL that answer stands, otherwise OnDragEnter or OnDragOver decides; OLE gets
// the effect masked by the effects the source allows. A drop that OnDrop refuses reports
// DROPEFFECT_NONE.
class COleDropTarget : public CCmdTarget {
 public:
  COleDropTarget();
  ~COleDropTarget() override;

  BOOL Register(CWnd* pWnd);
  virtual void Revoke();

  virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual void OnDragLeave(CWnd* pWnd);
  virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
  virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

 protected:
  HWND m_hWnd = nullptr;  // the registered window

 private:
  // What a drag offers, held until it leaves or drops.
  void HoldData(IDataObject* pDataObject);
  CPoint ClientPoint(POINTL pt) const;
  DROPEFFECT Decide(BOOL bEnter, DWORD dwKeyState, POINTL pt, DWORD dwAllowed);

  struct XDropTarget : IDropTarget {
    COleDropTarget* m_pThis;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return (ULONG)::InterlockedIncrement(&m_pThis->m_nRefs); }
    STDMETHOD_(ULONG, Release)() override { return (ULONG)::InterlockedDecrement(&m_pThis->m_nRefs); }
    STDMETHOD(DragEnter)(IDataObject* pDataObject, DWORD dwKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragOver)(DWORD dwKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragLeave)() override;
    STDMETHOD(Drop)(IDataObject* pDataObject, DWORD dwKeyState, POINTL pt, DWORD* pdwEffect) override;
  } m_xDropTarget;

  LONG m_nRefs = 0;  // OLE's references; the object itself lives as long as its owner
  COleDataObject m_dataObject;  // what the current drag offers
};
