// The plan view in a real window of this process, with a document of its own, driven by the
// messages a user's mouse and keys make; the view's own paint checked at plan points through
// its mapping.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "uitest.h"
#include "view2d/planview_draw.h"
#include "view2d/topview.h"

class PlanView : public ::testing::Test {
protected:
  void SetUp() override {
    doc.m_bAutoDelete = FALSE;  // the fixture owns it
    ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CTopView);
    context.m_pCurrentDoc = &doc;
    frameWnd = new CFrameWnd;
    ASSERT_TRUE(frameWnd->Create(nullptr, "plan", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1280, 1024),
                                 nullptr, nullptr, 0, &context));
    view = static_cast<CTopView*>(CWnd::FromHandle(::GetDlgItem(frameWnd->m_hWnd, AFX_IDW_PANE_FIRST)));
    ASSERT_NE(view, nullptr);
    view->OnInitialUpdate();
    uitest::PumpPending();
  }
  void TearDown() override {
    if (frameWnd) frameWnd->DestroyWindow();
    uitest::PumpPending();
  }
  Frame& plan() { return doc.GetModel()->m_frame; }
  // The client pixel of a plan point.
  CPoint Device(int x, int y) {
    CClientDC dc(view);
    CDC map;
    map.CreateCompatibleDC(&dc);
    view->PrepareMapping(map);
    CPoint p(x, y);
    map.LPtoDP(&p);
    return p;
  }
  void Send(UINT msg, CPoint p, WPARAM flags = 0) {
    ::SendMessageA(view->m_hWnd, msg, flags, MAKELPARAM(p.x, p.y));
  }
  void Key(UINT key) { ::SendMessageA(view->m_hWnd, WM_KEYDOWN, key, 1); }
  void Click(CPoint p, WPARAM flags = 0) {
    Send(WM_MOUSEMOVE, p, flags);
    Send(WM_LBUTTONDOWN, p, flags | MK_LBUTTON);
    Send(WM_LBUTTONUP, p, flags);
  }
  void RightClick(CPoint p, WPARAM flags = 0) {
    Send(WM_MOUSEMOVE, p, flags);
    Send(WM_RBUTTONDOWN, p, flags | MK_RBUTTON);
    Send(WM_RBUTTONUP, p, flags);
  }
  // Walls through the plan points, joined into the plan with a right click.
  void DrawWalls(std::initializer_list<CPoint> points) {
    CPoint last;
    for (CPoint p : points) Click(Device(p.x, p.y)), last = p;
    RightClick(Device(last.x, last.y));
  }
  // The view's own paint into a bitmap; the colour at a plan point.
  COLORREF PaintedAt(int x, int y) {
    const CPoint p = Device(x, y);
    return PaintedAtDevice(p);
  }
  COLORREF PaintedAtDevice(CPoint p) {
    CRect r;
    view->GetClientRect(&r);
    CClientDC dc(view);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, r.Width(), r.Height());
    CBitmap* old = mem.SelectObject(&bitmap);
    view->OnDraw(&mem);
    const COLORREF c = mem.GetPixel(p.x, p.y);
    mem.SelectObject(old);
    return c;
  }

  CVedraDoc doc;
  CFrameWnd* frameWnd = nullptr;
  CTopView* view = nullptr;
};
