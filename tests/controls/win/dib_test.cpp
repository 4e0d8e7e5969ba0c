// Bitmaps on GDI: a window captured into a .bmp file and read back, a GDI bitmap written at 24
// bits, the readers refusing damaged files, packed DIBs drawn stretched.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "bmp_samples.h"
#include "controls_fixture.h"
#include "uitest.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

uint32_t U32(const std::vector<uint8_t>& f, size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | ((uint32_t)f[at + 3] << 24);
}

TEST(Dib, ABitmap250PixelsWideIsWrittenAt24BitsWith752ByteRows) {
  CClientDC screen(nullptr);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 250, 3));
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CGdiObject* old = mem.SelectObject(&bitmap);
  mem.FillSolidRect(0, 0, 250, 3, RGB(10, 20, 30));
  mem.SetPixel(249, 0, RGB(200, 100, 50));
  mem.SelectObject(old);

  DibImage dib;
  ASSERT_TRUE(dib.CreateFromBitmap(&screen, &bitmap));
  EXPECT_EQ(dib.GetBitCount(), 24);
  EXPECT_EQ(dib.GetPalette(), nullptr) << "no palette above 8 bits";
  const std::string path = TempPath("written.bmp");
  ASSERT_TRUE(dib.Save(path.c_str()));
  const std::vector<uint8_t> f = FileBytes(path);
  ASSERT_GE(f.size(), 54u);
  EXPECT_EQ(U32(f, 10), 54u) << "pixel offset";
  EXPECT_EQ(f.size(), 54u + 752u * 3) << "rows of 752 bytes";
  // The top row is the last in the file; its last pixel, blue first.
  const size_t last = 54 + 752 * 2 + 249 * 3;
  EXPECT_EQ(f[last], 50);
  EXPECT_EQ(f[last + 2], 200);

  DibImage back;
  ASSERT_TRUE(back.Load(path.c_str()));
  EXPECT_TRUE(back.IsFromFile());
  EXPECT_EQ(back.GetWidth(), 250);
  EXPECT_EQ(0, std::memcmp(back.GetBits(), dib.GetBits(), 752 * 3));
  ::DeleteFileA(path.c_str());
}

TEST(Dib, AWindowIsCapturedAndReadBackPixelForPixel) {
  CControlsDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TESTCONTROLS));
  dlg.UpdateData(FALSE);
  dlg.bevel[0].SetColors(0, nullptr, RGB(0, 0, 255), 0, 0, 0);
  Capture c(dlg.bevel[0], 0, 0);
  ASSERT_TRUE(c.ok);
  CRect r;
  dlg.bevel[0].GetClientRect(&r);
  EXPECT_EQ(c.image.GetWidth(), r.Width());
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));

  const std::string path = TempPath("part.bmp");
  ASSERT_TRUE(CaptureWindowToDib(path.c_str(), &dlg, SRCCOPY, 0, 250, 10, 0, 0));
  const std::vector<uint8_t> f = FileBytes(path);
  ASSERT_GE(f.size(), 54u);
  EXPECT_EQ(U32(f, 10), 54u);
  EXPECT_EQ(U32(f, 18), 250u);
  HGLOBAL hDib = nullptr;
  CPalette pal;
  ASSERT_TRUE(LoadBmpFileToDib(path.c_str(), &hDib, &pal));
  EXPECT_EQ(static_cast<BITMAPINFOHEADER*>(hDib)->biWidth, 250);
  ::GlobalFree(hDib);
  ::DeleteFileA(path.c_str());
  dlg.DestroyWindow();
}

TEST(Dib, DamagedFilesLeaveNothingBehind) {
  const BmpSample s = MakeBmpSample(8, 5, 3);
  std::vector<uint8_t> noBM = s.File();
  noBM[0] = 'X';
  std::vector<uint8_t> os2 = s.File();
  Put32At(os2, 14, 12);
  std::vector<uint8_t> huge = s.File();
  Put32At(huge, 46, 0x7FFFFFFF);
  std::vector<uint8_t> cut = s.File();
  cut.resize(cut.size() - 1);
  const std::string path = TempPath("damaged.bmp");
  for (const auto& bytes : {noBM, os2, huge, cut}) {
    WriteFile(path, bytes);
    DibImage dib;
    EXPECT_FALSE(dib.Load(path.c_str()));
    EXPECT_TRUE(dib.IsEmpty());
    HGLOBAL hDib = reinterpret_cast<HGLOBAL>(1);
    EXPECT_FALSE(LoadBmpFileToDib(path.c_str(), &hDib, nullptr));
    EXPECT_EQ(hDib, reinterpret_cast<HGLOBAL>(1)) << "untouched";
    CHoverButton button;
    EXPECT_FALSE(button.SetBitmaps(path.c_str(), nullptr, 0, 0));
    EXPECT_EQ(button.GetStateBitmap(CHoverButton::kNormal), nullptr);
  }
  // A stored file size of 0 is not a refusal.
  std::vector<uint8_t> zero = s.File();
  Put32At(zero, 2, 0);
  WriteFile(path, zero);
  DibImage dib;
  EXPECT_TRUE(dib.Load(path.c_str()));
  EXPECT_EQ(dib.NumColors(), 256);
  EXPECT_NE(dib.GetPalette(), nullptr);
  ::DeleteFileA(path.c_str());
}

TEST(Dib, PackedDibsAreDrawnStretchedAtTheOriginAndRefuseBitFields) {
  const BmpSample s = MakeBmpSample(24, 2, 1);
  const std::string path = TempPath("small.bmp");
  std::vector<uint8_t> f = s.File();
  // left pixel red, right pixel green
  const uint8_t px[6] = {0, 0, 255, 0, 255, 0};
  std::copy(px, px + 6, f.begin() + 54);
  WriteFile(path, f);
  HGLOBAL hDib = nullptr;
  ASSERT_TRUE(LoadBmpFileToDib(path.c_str(), &hDib, nullptr));
  CClientDC screen(nullptr);
  CBitmap target;
  target.CreateCompatibleBitmap(&screen, 40, 10);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CGdiObject* old = mem.SelectObject(&target);
  mem.FillSolidRect(0, 0, 40, 10, RGB(255, 255, 255));
  const CRect where(20, 5, 40, 10);  // left and top are not used
  EXPECT_GT(DrawDibStretched(&mem, hDib, &where, nullptr), 0);
  EXPECT_EQ(mem.GetPixel(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(mem.GetPixel(17, 2), RGB(0, 255, 0));
  EXPECT_EQ(mem.GetPixel(25, 2), RGB(255, 255, 255));
  mem.SelectObject(old);
  ::GlobalFree(hDib);
  EXPECT_EQ(DibFromBitmap(&target, BI_BITFIELDS, nullptr), nullptr);
  ::DeleteFileA(path.c_str());
}

}  // namespace
