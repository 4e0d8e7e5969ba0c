#include "controls/dibimage.h"

#include <algorithm>
#include <cstring>

#include "controls/bmpfile.h"

namespace {

const size_t kHeaderBlock = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

bmp::InfoHeader CoreOf(const BITMAPINFOHEADER* h) { return bmp::ReadInfoHeader(reinterpret_cast<const uint8_t*>(h)); }

// Bytes from the file's position to its end, or empty when it cannot be read.
std::vector<uint8_t> ReadRest(CFile* pFile) {
  std::vector<uint8_t> data;
  try {
    const ULONGLONG length = pFile->GetLength(), at = pFile->GetPosition();
    if (at >= length || length - at > 0x7FFFFFFF) return data;
    data.resize((size_t)(length - at));
    if (pFile->Read(data.data(), (UINT)data.size()) != data.size()) data.clear();
  } catch (CException* e) {
    e->Delete();
    data.clear();
  }
  return data;
}

HGLOBAL GlobalCopy(const std::vector<uint8_t>& bytes) {
  HGLOBAL h = ::GlobalAlloc(GMEM_FIXED, bytes.size());
  if (h) std::memcpy(h, bytes.data(), bytes.size());
  return h;
}

// Colour entries a packed DIB made by DibFromBitmap lays out.
int LaidOutColors(const BITMAPINFOHEADER* h) { return h->biBitCount <= 8 ? 1 << h->biBitCount : 0; }

BOOL WriteBytes(LPCTSTR lpszFileName, const std::vector<uint8_t>& bytes) {
  CFile file;
  if (!file.Open(lpszFileName, CFile::modeCreate | CFile::modeWrite)) return FALSE;
  try {
    file.Write(bytes.data(), (UINT)bytes.size());
    file.Close();
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    return FALSE;
  }
  return TRUE;
}

// A palette of `count` colour-table entries (at most 256).
BOOL PaletteFromTable(CPalette* pPalette, const RGBQUAD* table, int count) {
  if (!pPalette || count <= 0 || count > 256) return FALSE;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
  LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = (WORD)count;
  for (int i = 0; i < count; i++) lp->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  pPalette->DeleteObject();
  return pPalette->CreatePalette(lp);
}

}  // namespace

int DibNumColors(const BITMAPINFOHEADER* h) {
  if (!h) return 0;
  if (h->biClrUsed != 0) return (int)std::min<DWORD>(h->biClrUsed, 256);
  return h->biBitCount <= 8 ? 1 << h->biBitCount : 0;
}
int DibBytesPerLine(int bits, int width) { return (int)bmp::DibBytesPerLine((unsigned)bits, (unsigned)width); }
int DibPaddedBytesPerLine(int bits, int width) { return (int)bmp::DibPaddedBytesPerLine((unsigned)bits, (unsigned)width); }

std::vector<uint8_t> ReadBmpFile(LPCTSTR lpszFileName) {
  CFile file;
  if (!lpszFileName || !file.Open(lpszFileName, CFile::modeRead)) return {};
  const std::vector<uint8_t> data = ReadRest(&file);
  file.Abort();
  return bmp::PackedDibFromFile(data.data(), data.size());
}

// ---- DibImage

DibImage::~DibImage() { Free(); }

void DibImage::Free() {
  delete[] reinterpret_cast<BYTE*>(m_pHeader);
  delete[] m_pBits;
  delete m_pPalette;
  m_pHeader = nullptr;
  m_pBits = nullptr;
  m_pPalette = nullptr;
}

RGBQUAD* DibImage::GetColorTable() const {
  return m_pHeader ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(m_pHeader) + sizeof(BITMAPINFOHEADER)) : nullptr;
}

int DibImage::NumColorsForBitCount() const {
  switch (GetBitCount()) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

int DibImage::NumColors() const { return DibNumColors(m_pHeader); }

BOOL DibImage::CreatePalette() {
  delete m_pPalette;
  m_pPalette = nullptr;
  if (m_pHeader && GetBitCount() < 9) m_pPalette = new CDibPalette(this);
  return m_pPalette != nullptr;
}

BOOL DibImage::TakePacked(const std::vector<uint8_t>& dib) {
  Free();
  if (dib.empty()) return FALSE;
  const bmp::InfoHeader info = bmp::ReadInfoHeader(dib.data());
  const size_t headerBytes = sizeof(BITMAPINFOHEADER) + bmp::PackedTableBytes(info);
  BYTE* header = new BYTE[std::max(kHeaderBlock, headerBytes)]();
  std::memcpy(header, dib.data(), headerBytes);
  m_pHeader = reinterpret_cast<BITMAPINFOHEADER*>(header);
  m_pBits = new BYTE[dib.size() - headerBytes];
  std::memcpy(m_pBits, dib.data() + headerBytes, dib.size() - headerBytes);
  return TRUE;
}

BOOL DibImage::Read(CFile* pFile) {
  Free();
  if (!pFile) return FALSE;
  const std::vector<uint8_t> data = ReadRest(pFile);
  if (!TakePacked(bmp::PackedDibFromFile(data.data(), data.size()))) return FALSE;
  CreatePalette();
  m_bFromFile = 1;
  return TRUE;
}

BOOL DibImage::Load(LPCTSTR lpszFileName) {
  CFile file;
  if (!lpszFileName || !file.Open(lpszFileName, CFile::modeRead)) return FALSE;
  const BOOL ok = Read(&file);
  file.Abort();
  return ok;
}

BOOL DibImage::Write(CFile* pFile) {
  if (!pFile || !m_pHeader) return FALSE;
  bmp::InfoHeader info = CoreOf(m_pHeader);
  info.sizeImage = 0;
  const size_t tableBytes = 4 * (size_t)NumColorsForBitCount();
  const size_t bitsBytes = bmp::DibPaddedBytesPerLine(info.bitCount, (unsigned)info.width) * (size_t)std::abs(info.height);
  const std::vector<uint8_t> file = bmp::FileFromParts(info, reinterpret_cast<const uint8_t*>(GetColorTable()),
                                                       tableBytes, m_pBits, bitsBytes);
  try {
    pFile->Write(file.data(), (UINT)file.size());
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL DibImage::Save(LPCTSTR lpszFileName) {
  CFile file;
  if (!lpszFileName || !file.Open(lpszFileName, CFile::modeCreate | CFile::modeWrite)) return FALSE;
  BOOL ok = Write(&file);
  try {
    file.Close();
  } catch (CException* e) {
    e->Delete();
    ok = FALSE;
  }
  return ok;
}

BOOL DibImage::CreateFromBitmap(CDC* pDC, CBitmap* pBitmap) {
  Free();
  BITMAP bm{};
  if (!pDC || !pBitmap || !pBitmap->GetBitmap(&bm)) return FALSE;
  const int bits = bm.bmBitsPixel <= 8 ? bm.bmBitsPixel : 24;
  const size_t row = bmp::DibPaddedBytesPerLine((unsigned)std::max(bits, 8), (unsigned)bm.bmWidth);
  m_pBits = new BYTE[row * (size_t)bm.bmHeight];
  BYTE* header = new BYTE[kHeaderBlock]();
  m_pHeader = reinterpret_cast<BITMAPINFOHEADER*>(header);
  *m_pHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, bm.bmPlanes, (WORD)bits, BI_RGB, 0, 0, 0, 0, 0};
  m_pHeader->biPlanes = 1;
  m_pHeader->biSizeImage = (DWORD)(bmp::DibPaddedBytesPerLine((unsigned)bits, (unsigned)bm.bmWidth) * bm.bmHeight);
  const int got = ::GetDIBits(pDC->m_hDC, (HBITMAP)pBitmap->m_hObject, 0, (UINT)bm.bmHeight, m_pBits,
                              reinterpret_cast<BITMAPINFO*>(m_pHeader), DIB_RGB_COLORS);
  if (got != bm.bmHeight) {  // "call to GetDIBits did not return full number of requested scan lines"
    Free();
    return FALSE;
  }
  CreatePalette();
  m_bFromFile = 0;
  return TRUE;
}

BOOL DibImage::LoadResourceBitmap(LPCTSTR lpszResourceName) {
  HBITMAP h = (HBITMAP)::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) return FALSE;
  CBitmap bitmap;
  bitmap.Attach(h);
  CClientDC dc(CWnd::GetDesktopWindow());
  return CreateFromBitmap(&dc, &bitmap);
}

CPalette* DibImage::BeginDraw(CDC* pDC) {
  if (!m_pPalette) return nullptr;
  CPalette* pOld = pDC->SelectPalette(m_pPalette, FALSE);
  pDC->RealizePalette();
  pDC->SetStretchBltMode(COLORONCOLOR);
  return pOld;
}

void DibImage::EndDraw(CDC* pDC, CPalette* pOld) {
  if (pOld) pDC->SelectPalette(pOld, FALSE);
}

UINT DibImage::Draw(CDC* pDC, LPCRECT d, LPCRECT s) {
  if (!m_pHeader || !pDC || !d || !s) return 0;
  CPalette* pOld = BeginDraw(pDC);
  const int ySrc = GetHeight() - s->top - (s->bottom - s->top);
  const int lines = ::SetDIBitsToDevice(pDC->m_hDC, d->left, d->top, (DWORD)(d->right - d->left),
                                        (DWORD)(d->bottom - d->top), s->left, ySrc, 0, (UINT)GetHeight(), m_pBits,
                                        reinterpret_cast<BITMAPINFO*>(m_pHeader), DIB_RGB_COLORS);
  EndDraw(pDC, pOld);
  return lines > 0 ? (UINT)lines : 0;
}

void DibImage::StretchDraw(CDC* pDC, int x, int y, int width, int height) {
  if (!m_pHeader || !pDC) return;
  CPalette* pOld = BeginDraw(pDC);
  ::StretchDIBits(pDC->m_hDC, x, y, width, height, 0, 0, GetWidth(), GetHeight(), m_pBits,
                  reinterpret_cast<BITMAPINFO*>(m_pHeader), DIB_RGB_COLORS, SRCCOPY);
  EndDraw(pDC, pOld);
}

void DibImage::DrawAt(CDC* pDC, int x, int y) { StretchDraw(pDC, x, y, GetWidth(), GetHeight()); }

CDibPalette::CDibPalette(DibImage* pDib) {
  PaletteFromTable(this, pDib->GetColorTable(), pDib->NumColors());
}

// ---- packed DIBs

HGLOBAL DibFromBitmap(CBitmap* pBitmap, DWORD dwCompression, CPalette* pPalette) {
  BITMAP bm{};
  if (dwCompression == BI_BITFIELDS || !pBitmap || !pBitmap->GetBitmap(&bm)) return nullptr;
  HPALETTE hPal = pPalette && pPalette->m_hObject ? (HPALETTE)pPalette->m_hObject : (HPALETTE)::GetStockObject(DEFAULT_PALETTE);
  BITMAPINFOHEADER bi = {sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, (WORD)(bm.bmPlanes * bm.bmBitsPixel),
                         dwCompression, 0, 0, 0, 0, 0};
  const int colors = LaidOutColors(&bi);
  const size_t headerBytes = sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * colors;
  HDC hdc = ::GetDC(nullptr);
  HPALETTE hOldPal = ::SelectPalette(hdc, hPal, FALSE);
  ::RealizePalette(hdc);
  std::vector<BYTE> info(headerBytes);
  std::memcpy(info.data(), &bi, sizeof bi);
  ::GetDIBits(hdc, (HBITMAP)pBitmap->m_hObject, 0, (UINT)bm.bmHeight, nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
              DIB_RGB_COLORS);
  std::memcpy(&bi, info.data(), sizeof bi);
  size_t image = bi.biSizeImage;
  if (image == 0) {
    image = bmp::DibPaddedBytesPerLine(bi.biBitCount, (unsigned)bm.bmWidth) * (size_t)bm.bmHeight;
    if (dwCompression != BI_RGB) image = image * 3 / 2;
  }
  HGLOBAL hDib = ::GlobalAlloc(GMEM_FIXED, headerBytes + image);
  if (hDib) {
    std::memcpy(hDib, info.data(), headerBytes);
    BYTE* bits = static_cast<BYTE*>(hDib) + headerBytes;
    if (!::GetDIBits(hdc, (HBITMAP)pBitmap->m_hObject, 0, (UINT)bm.bmHeight, bits, static_cast<BITMAPINFO*>(hDib),
                     DIB_RGB_COLORS)) {
      ::GlobalFree(hDib);
      hDib = nullptr;
    }
  }
  ::SelectPalette(hdc, hOldPal, FALSE);
  ::ReleaseDC(nullptr, hdc);
  return hDib;
}

BOOL WriteDibToBmpFile(LPCTSTR lpszFileName, HGLOBAL hDib) {
  if (!hDib || !lpszFileName) return FALSE;
  const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(hDib);
  const size_t size = ::GlobalSize(hDib);
  const size_t offBits = bmp::kFileHeaderSize + h->biSize + sizeof(RGBQUAD) * LaidOutColors(h);
  std::vector<uint8_t> file(bmp::kFileHeaderSize + size);
  const BITMAPFILEHEADER fh = {bmp::kFileType, (DWORD)(size + bmp::kFileHeaderSize), 0, 0, (DWORD)offBits};
  std::memcpy(file.data(), &fh, bmp::kFileHeaderSize);
  std::memcpy(file.data() + bmp::kFileHeaderSize, hDib, size);
  return WriteBytes(lpszFileName, file);
}

namespace {

// The window's palette on palette devices: the system palette's first 255 entries.
BOOL SystemPalette(HDC hdc, CPalette* pPalette) {
  if (!(::GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE)) return FALSE;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 255);
  LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 255;
  ::GetSystemPaletteEntries(hdc, 0, 255, lp->palPalEntry);
  return pPalette->CreatePalette(lp);
}

}  // namespace

BOOL CaptureWindowToDib(LPCTSTR lpszFileName, CWnd* pWnd, DWORD dwRop, COLORREF crBrush, int width, int height,
                        int xSrc, int ySrc) {
  if (!pWnd || !pWnd->IsWindow()) return FALSE;
  CBrush brush(crBrush);
  CClientDC dc(pWnd);
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CBrush* pOldBrush = mem.SelectObject(&brush);
  CBitmap bitmap;
  if (width != 0 || height != 0) {
    bitmap.CreateCompatibleBitmap(&dc, width, height);
    CBitmap* pOld = mem.SelectObject(&bitmap);
    mem.StretchBlt(0, 0, width, height, &dc, xSrc, ySrc, width, height, dwRop);
    mem.SelectObject(pOld);
  } else {
    CRect r;
    pWnd->GetClientRect(&r);
    bitmap.CreateCompatibleBitmap(&dc, r.Width(), r.Height());
    CBitmap* pOld = mem.SelectObject(&bitmap);
    mem.BitBlt(0, 0, r.Width(), r.Height(), &dc, 0, 0, dwRop);
    mem.SelectObject(pOld);
  }
  CPalette palette;
  SystemPalette(dc.m_hDC, &palette);
  mem.SelectObject(pOldBrush);
  mem.DeleteDC();
  HGLOBAL hDib = DibFromBitmap(&bitmap, BI_RGB, &palette);
  if (!hDib) return FALSE;
  const BOOL written = WriteDibToBmpFile(lpszFileName, hDib);
  ::GlobalFree(hDib);
  return written;
}

BOOL LoadBmpFileToDib(LPCTSTR lpszFileName, HGLOBAL* phDib, CPalette* pPalette) {
  if (!phDib) return FALSE;
  const std::vector<uint8_t> dib = ReadBmpFile(lpszFileName);
  if (dib.empty()) return FALSE;
  HGLOBAL h = GlobalCopy(dib);
  if (!h) return FALSE;
  const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(h);
  if (header->biBitCount <= 8 || header->biClrUsed != 0) {
    const size_t masks = header->biCompression == BI_BITFIELDS ? 12 : 0;
    PaletteFromTable(pPalette, reinterpret_cast<const RGBQUAD*>(static_cast<const BYTE*>(h) + 40 + masks),
                     DibNumColors(header));
  }
  *phDib = h;
  return TRUE;
}

int DrawDibStretched(CDC* pDC, HGLOBAL hDib, LPCRECT pRect, CPalette* pPalette) {
  if (!pDC || !hDib || !pRect) return 0;
  const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(hDib);
  const size_t headerBytes = sizeof(BITMAPINFOHEADER) + bmp::PackedTableBytes(CoreOf(h));
  const size_t rows = bmp::DibPaddedBytesPerLine(h->biBitCount, (unsigned)h->biWidth) * (size_t)std::abs(h->biHeight);
  if (h->biSize != sizeof(BITMAPINFOHEADER) || ::GlobalSize(hDib) < headerBytes + rows) return 0;
  CPalette* pOld = nullptr;
  if (pPalette && pPalette->m_hObject && (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE)) {
    pOld = pDC->SelectPalette(pPalette, FALSE);
    pDC->RealizePalette();
  }
  pDC->SetStretchBltMode(COLORONCOLOR);
  const int lines = ::StretchDIBits(pDC->m_hDC, 0, 0, pRect->right - pRect->left, pRect->bottom - pRect->top, 0, 0,
                                    h->biWidth, std::abs(h->biHeight), static_cast<const BYTE*>(hDib) + headerBytes,
                                    static_cast<const BITMAPINFO*>(hDib), DIB_RGB_COLORS, SRCCOPY);
  if (pOld) pDC->SelectPalette(pOld, FALSE);
  return lines;
}

void DrawBmpFileStretched(CDC* pDC, LPCTSTR lpszFileName, LPCRECT pRect) {
  if (::GetFileAttributesA(lpszFileName) == INVALID_FILE_ATTRIBUTES) return;
  HGLOBAL dib = nullptr;
  CPalette palette;
  if (!LoadBmpFileToDib(lpszFileName, &dib, &palette) || !dib) return;
  DrawDibStretched(pDC, dib, pRect, &palette);
  ::GlobalFree(dib);
}
