// Device-independent bitmaps: DibImage (one DIB in memory with its palette, drawn natural size,
// stretched or clipped, read from and written to .bmp files), and functions over packed DIBs in
// global memory (info header, colour table and rows in one fixed block that the caller frees with
// GlobalFree): made from a GDI bitmap, written to a file, captured from a window, read back and
// drawn stretched. Every file is checked by the .bmp reader of controls/bmpfile.h first: a
// damaged file gives FALSE or null and leaves nothing behind.
#pragma once
#include <cstdint>
#include <vector>

#include "afx/afxwin.h"

class CDibPalette;

class DibImage {
 public:
  DibImage() = default;
  virtual ~DibImage();
  DibImage(const DibImage&) = delete;
  DibImage& operator=(const DibImage&) = delete;

  // Scan lines drawn (0 when empty): pSrc's part of the picture at pDest.
  virtual UINT Draw(CDC* pDC, LPCRECT pDest, LPCRECT pSrc);
  virtual void StretchDraw(CDC* pDC, int x, int y, int width, int height);
  virtual void DrawAt(CDC* pDC, int x, int y);
  virtual BOOL Load(LPCTSTR lpszFileName);
  // Reads a .bmp from the file's position on; FALSE leaves the image empty.
  virtual BOOL Read(CFile* pFile);
  virtual BOOL Save(LPCTSTR lpszFileName);
  virtual BOOL Write(CFile* pFile);

  BOOL CreateFromBitmap(CDC* pDC, CBitmap* pBitmap);
  BOOL LoadResourceBitmap(LPCTSTR lpszResourceName);
  BOOL CreatePalette();

  BITMAPINFOHEADER* GetHeader() const { return m_pHeader; }
  RGBQUAD* GetColorTable() const;
  BYTE* GetBits() const { return m_pBits; }
  int GetWidth() const { return m_pHeader ? m_pHeader->biWidth : 0; }
  int GetHeight() const { return m_pHeader ? m_pHeader->biHeight : 0; }
  int GetBitCount() const { return m_pHeader ? m_pHeader->biBitCount : 0; }
  int NumColorsForBitCount() const;
  int NumColors() const;
  CDibPalette* GetPalette() const { return m_pPalette; }
  BOOL IsEmpty() const { return m_pHeader == nullptr; }
  BOOL IsFromFile() const { return m_bFromFile; }

 private:
  void Free();
  // Takes a packed DIB (header, table, rows) as this image's blocks.
  BOOL TakePacked(const std::vector<uint8_t>& dib);
  // Selects and realises the palette; the palette that was selected (null without one).
  CPalette* BeginDraw(CDC* pDC);
  void EndDraw(CDC* pDC, CPalette* pOld);

  BITMAPINFOHEADER* m_pHeader = nullptr;
  BYTE* m_pBits = nullptr;
  CDibPalette* m_pPalette = nullptr;
  int m_bFromFile = 0;
};

// A palette made from a DibImage's colour table.
class CDibPalette : public CPalette {
 public:
  explicit CDibPalette(DibImage* pDib);
  ~CDibPalette() override = default;
};

// biClrUsed, or 2 to the power of the bit count when that is 0 (at most 256; 0 above 8 bits).
int DibNumColors(const BITMAPINFOHEADER* pHeader);
int DibBytesPerLine(int bitsPerPixel, int width);
int DibPaddedBytesPerLine(int bitsPerPixel, int width);

HGLOBAL DibFromBitmap(CBitmap* pBitmap, DWORD dwCompression, CPalette* pPalette);
BOOL WriteDibToBmpFile(LPCTSTR lpszFileName, HGLOBAL hDib);
// Captures part of the window's client area (all of it when width and height are 0) into a
// 24- or palette-bit .bmp file; nonzero when the file was written.
BOOL CaptureWindowToDib(LPCTSTR lpszFileName, CWnd* pWnd, DWORD dwRop, COLORREF crBrush, int width, int height,
                        int xSrc, int ySrc);
BOOL LoadBmpFileToDib(LPCTSTR lpszFileName, HGLOBAL* phDib, CPalette* pPalette);
int DrawDibStretched(CDC* pDC, HGLOBAL hDib, LPCRECT pRect, CPalette* pPalette);
// A .bmp file stretched over the rectangle; nothing when it is missing or cannot be read.
void DrawBmpFileStretched(CDC* pDC, LPCTSTR lpszFileName, LPCRECT pRect);

// The packed DIB of a checked .bmp file (bottom-up rows, 40-byte header); empty when the file
// cannot be read or is refused.
std::vector<uint8_t> ReadBmpFile(LPCTSTR lpszFileName);
