#include "controls/scrolltext.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CScrollTextStatic, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
const COLORREF kKey = 0xC0C0C0;
}

CScrollTextStatic::CScrollTextStatic() = default;

COLORREF CScrollTextStatic::KeyColor() const {
  return m_bTransparent && m_bmpBack.m_hObject ? kKey : m_crBackground;
}

CRect CScrollTextStatic::ClientRect() const {
  CRect r;
  GetClientRect(&r);
  return r;
}

void CScrollTextStatic::SetText(LPCTSTR lpszText, char cSeparator) {
  m_lines.clear();
  const CString text(lpszText ? lpszText : "");
  int start = 0;
  for (int i = 0; i <= text.GetLength(); i++) {
    if (i == text.GetLength() || text[i] == cSeparator) {
      m_lines.push_back(text.Mid(start, i - start));
      start = i + 1;
    }
  }
  m_nCursor = 0;
  m_nTick = 1;
  m_nLineOffset = 0;
}

BOOL CScrollTextStatic::StartScrolling() {
  if (m_lines.empty()) return FALSE;
  m_bmpText.DeleteObject();
  m_nTimer = SetTimer(IDT_SCROLLTEXT, (UINT)m_nIntervals[m_nSpeed]);
  m_nCursor = 0;
  m_nTick = 1;
  m_nLineOffset = 0;
  return TRUE;
}

BOOL CScrollTextStatic::SetBackground(LPCTSTR lpszResourceName) {
  m_bmpBack.DeleteObject();
  m_palBack.DeleteObject();
  HBITMAP h = (HBITMAP)::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) return FALSE;
  m_bmpBack.Attach(h);
  DIBSECTION ds{};
  ::GetObjectA(h, sizeof ds, &ds);
  m_sizeBack = CSize(ds.dsBm.bmWidth, ds.dsBm.bmHeight);
  int colors = (int)ds.dsBmih.biClrUsed;
  if (colors == 0 && ds.dsBmih.biBitCount <= 8) colors = 1 << ds.dsBmih.biBitCount;
  if (colors > 0 && colors <= 256) {
    RGBQUAD table[256];
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, h);
    colors = (int)::GetDIBColorTable(mem, 0, (UINT)colors, table);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256);
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(block.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = (WORD)colors;
    for (int i = 0; i < colors; i++) lp->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    m_palBack.CreatePalette(lp);
  } else {
    CClientDC screen(nullptr);
    m_palBack.CreateHalftonePalette(&screen);
  }
  return TRUE;
}

CScrollTextStatic::LineLook CScrollTextStatic::LookOf(const CString& line) const {
  const int n = line.GetLength();
  if (n > 0 && line[n - 1] == m_cHeadingMarker) return {line.Left(n - 1), TRUE};
  return {line, FALSE};
}

void CScrollTextStatic::MakeFont(CFont& font, BOOL heading, LPCTSTR face) const {
  font.CreateFont(heading ? m_nHeadingHeight : m_nTextHeight, 0, 0, 0, heading ? 700 : 100, 0, 0, 0, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 6, face);
}

BOOL CScrollTextStatic::SelectTextBitmap(CDC* pDC, CDC* mem) {
  const CRect client = ClientRect();
  const BOOL make = m_bmpText.m_hObject == nullptr;
  if (make) m_bmpText.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
  mem->SelectObject(&m_bmpText);
  if (make) mem->FillSolidRect(&client, KeyColor());
  return make;
}

void CScrollTextStatic::NextLine(BOOL* pNewLine) {
  const int r = m_nTick % m_nLineHeight;
  m_nTick++;
  if (r != 0) return;
  m_nTick = 1;
  m_strCurrent = m_lines[m_nCursor++];
  if (m_bFirstPass) *pNewLine = TRUE;
  if (m_nCursor >= m_lines.size()) {
    m_bFirstPass = FALSE;
    m_nCursor = 0;
  }
  m_nLineOffset = 0;
}

void CScrollTextStatic::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != IDT_SCROLLTEXT || m_lines.empty()) {
    Default();
    return;
  }
  BOOL newLine = FALSE;
  NextLine(&newLine);
  DrawStep(newLine);
  CClientDC dc(this);
  Compose(&dc);
}

void CScrollTextStatic::DrawStep(BOOL bNewLine) {
  CClientDC dc(this);
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  HGDIOBJ pOld = ::GetCurrentObject(mem.m_hDC, OBJ_BITMAP);
  SelectTextBitmap(&dc, &mem);
  const CRect client = ClientRect();
  CRect strip(0, client.bottom - 1, client.right, client.bottom);
  if (m_rcText.Width() > 0) ::ScrollDC(mem.m_hDC, 0, m_nScrollStep, &client, &m_rcText, nullptr, &strip);
  m_nLineOffset += -m_nScrollStep;
  const LineLook look = LookOf(m_strCurrent);
  CFont font;
  if (!m_strCurrent.IsEmpty()) {
    MakeFont(font, look.heading, "Verdana");
    mem.SelectObject(&font);
    mem.SetTextColor(look.heading ? m_crHeading : m_crText);
    m_nLineHeight = look.heading ? m_nHeadingHeight : m_nTextHeight;
  }
  mem.FillSolidRect(&strip, KeyColor());
  mem.SetBkMode(TRANSPARENT);
  if (bNewLine) {
    const CSize size = mem.GetTextExtent(look.text);
    if (size.cx > m_nWidest) {
      m_nWidest = std::min<int>(size.cx, client.Width());
      m_rcText.left = (client.Width() - m_nWidest) / 2;
      m_rcText.right = m_rcText.left + m_nWidest;
    }
  }
  CRect line(m_rcText.left, m_rcText.bottom - m_nLineOffset, m_rcText.right, m_rcText.bottom);
  mem.DrawText(look.text, &line, m_nAlignment | DT_SINGLELINE | DT_NOPREFIX);
  mem.SelectStockObject(SYSTEM_FONT);
  mem.SelectObject(pOld);
}

void CScrollTextStatic::LayOutAll(CDC* mem) {
  mem->SetBkMode(TRANSPARENT);
  int y = m_rcText.top;
  for (const CString& line : m_lines) {
    if (y >= m_rcText.bottom) break;
    const LineLook look = LookOf(line);
    CFont font;
    MakeFont(font, look.heading, "Arial");
    CFont* pOld = mem->SelectObject(&font);
    mem->SetTextColor(look.heading ? m_crHeading : m_crText);
    CRect r(m_rcText.left, y, m_rcText.right, m_rcText.bottom);
    const int h = mem->DrawText(look.text.IsEmpty() ? CString("W") : look.text, &r,
                                m_nAlignment | DT_SINGLELINE | DT_NOPREFIX | (look.text.IsEmpty() ? DT_CALCRECT : 0));
    y += h;
    mem->SelectObject(pOld);
  }
}

void CScrollTextStatic::OnPaint() {
  CPaintDC dc(this);
  if (m_nTimer) return;
  if (!m_bmpText.m_hObject) {
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    HGDIOBJ pOld = ::GetCurrentObject(mem.m_hDC, OBJ_BITMAP);
    SelectTextBitmap(&dc, &mem);
    LayOutAll(&mem);
    mem.SelectObject(pOld);
  }
  Compose(&dc);
}

BOOL CScrollTextStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void CScrollTextStatic::Compose(CDC* pDC) {
  CDC text;
  text.CreateCompatibleDC(pDC);
  HGDIOBJ pOld = ::GetCurrentObject(text.m_hDC, OBJ_BITMAP);
  text.SelectObject(&m_bmpText);
  const CRect client = ClientRect();
  if (!m_bmpBack.m_hObject) pDC->BitBlt(0, 0, client.Width(), client.Height(), &text, 0, 0, SRCCOPY);
  else ComposeOverBackground(pDC, &text);
  text.SelectObject(pOld);
}

void CScrollTextStatic::ComposeOverBackground(CDC* pDC, CDC* text) {
  const CRect client = ClientRect();
  const CRect& t = m_rcText;
  CDC work, mask, tiled, back;
  work.CreateCompatibleDC(pDC);
  mask.CreateCompatibleDC(pDC);
  tiled.CreateCompatibleDC(pDC);
  back.CreateCompatibleDC(pDC);
  CBitmap workBmp, maskBmp, tiledBmp;
  workBmp.CreateCompatibleBitmap(pDC, t.Width(), t.Height());
  maskBmp.CreateBitmap(t.Width(), t.Height(), 1, 1, nullptr);
  tiledBmp.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
  CBitmap* oldWork = work.SelectObject(&workBmp);
  CBitmap* oldMask = mask.SelectObject(&maskBmp);
  CBitmap* oldTiled = tiled.SelectObject(&tiledBmp);
  CBitmap* oldBack = back.SelectObject(&m_bmpBack);
  // (a) the text, (b) its mask: key-colour pixels white
  work.BitBlt(0, 0, t.Width(), t.Height(), text, t.left, t.top, SRCCOPY);
  work.SetBkColor(KeyColor());
  mask.BitBlt(0, 0, t.Width(), t.Height(), &work, 0, 0, SRCCOPY);
  // (c) the background tiled over the client area
  CPalette* oldPal = nullptr;
  if (m_palBack.m_hObject && (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE)) {
    oldPal = tiled.SelectPalette(&m_palBack, FALSE);
    tiled.RealizePalette();
  }
  for (int y = 0; m_sizeBack.cy > 0 && y < client.Height(); y += m_sizeBack.cy) {
    for (int x = 0; m_sizeBack.cx > 0 && x < client.Width(); x += m_sizeBack.cx)
      tiled.BitBlt(x, y, m_sizeBack.cx, m_sizeBack.cy, &back, 0, 0, SRCCOPY);
  }
  // (d) key pixels of the text cleared, text pixels of the background cleared, then both added
  work.SetBkColor(RGB(0, 0, 0));
  work.SetTextColor(RGB(255, 255, 255));
  work.BitBlt(0, 0, t.Width(), t.Height(), &mask, 0, 0, SRCAND);
  tiled.SetBkColor(RGB(255, 255, 255));
  tiled.SetTextColor(RGB(0, 0, 0));
  tiled.BitBlt(t.left, t.top, t.Width(), t.Height(), &mask, 0, 0, SRCAND);
  tiled.BitBlt(t.left, t.top, t.Width(), t.Height(), &work, 0, 0, SRCPAINT);
  // (e) onto the client area
  pDC->BitBlt(0, 0, client.Width(), client.Height(), &tiled, 0, 0, SRCCOPY);
  if (oldPal) tiled.SelectPalette(oldPal, FALSE);
  work.SelectObject(oldWork);
  mask.SelectObject(oldMask);
  tiled.SelectObject(oldTiled);
  back.SelectObject(oldBack);
}

void CScrollTextStatic::OnDestroy() {
  m_lines.clear();
  m_bmpBack.DeleteObject();
  m_palBack.DeleteObject();
  m_bmpText.DeleteObject();
  if (m_nTimer) KillTimer(IDT_SCROLLTEXT);
  m_nTimer = 0;
  Default();
}
