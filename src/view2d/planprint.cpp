// Printing and previewing the plan view: one page holding the scene capture, when there is one,
// and the plan as the view shows it, fitted to the page.
#include <algorithm>

#include "controls/dibimage.h"
#include "models/planhost.h"
#include "view2d/topview.h"

namespace {

constexpr char kCaptureFile[] = "CaptureScene.bmp";

CSize PageSize(const CDC& printer) {
  return CSize(printer.GetDeviceCaps(HORZRES), printer.GetDeviceCaps(VERTRES));
}

// The capture the printing preparation wrote, stretched over the page; nothing when missing.
void DrawCapture(CDC& printer) {
  const CSize page = PageSize(printer);
  const CRect all(0, 0, page.cx, page.cy);
  DrawBmpFileStretched(&printer, GetTempDir() + kCaptureFile, &all);
}

}  // namespace

BOOL CTopView::OnPreparePrinting(CPrintInfo* pInfo) {
  pInfo->SetMaxPage(1);
  return DoPreparePrinting(pInfo);
}

void CTopView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
  pDC->SetMapMode(MM_ANISOTROPIC);
  DrawCapture(*pDC);
  CView::OnPrint(pDC, pInfo);
}

void CTopView::DrawForPrinter(CDC& printer) {
  CRect r;
  GetClientRect(&r);
  const CSize client(std::max<LONG>(r.Width(), 1), std::max<LONG>(r.Height(), 1));
  CClientDC screen(this);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap bitmap;
  if (!bitmap.CreateCompatibleBitmap(&screen, client.cx, client.cy)) return;
  CBitmap* old = mem.SelectObject(&bitmap);
  OnDraw(&mem);
  const CSize page = PageSize(printer);
  const double scale = std::min(static_cast<double>(page.cx) / client.cx, static_cast<double>(page.cy) / client.cy);
  printer.SetStretchBltMode(COLORONCOLOR);
  printer.StretchBlt(0, 0, static_cast<int>(client.cx * scale), static_cast<int>(client.cy * scale), &mem, 0, 0,
                     client.cx, client.cy, SRCCOPY);
  mem.SelectObject(old);
}
