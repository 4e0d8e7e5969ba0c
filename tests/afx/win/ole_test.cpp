// OLE data transfer: a data source put on the clipboard is read back through Win32's clipboard
// and through a data object, each reader getting a copy of its own; the clipboard keeps the
// source alive until it is emptied. The block comes from a shared memory file.
#include <gtest/gtest.h>

#include <string>

#include "afxtest.h"

namespace {

class CCountedSource : public COleDataSource {
 public:
  explicit CCountedSource(int* pDestroyed) : m_pDestroyed(pDestroyed) {}

 protected:
  ~CCountedSource() override { ++*m_pDestroyed; }

 private:
  int* m_pDestroyed;
};

std::string TextOf(HGLOBAL hGlobal) {
  const char* p = static_cast<const char*>(::GlobalLock(hGlobal));
  std::string text = p ? std::string(p, strnlen(p, ::GlobalSize(hGlobal))) : "(no block)";
  ::GlobalUnlock(hGlobal);
  return text;
}

// A text of many lines written a line at a time into global memory, with its zero byte.
HGLOBAL SharedText(const std::string& text) {
  CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT);
  for (size_t at = 0; at < text.size(); at += 7) file.Write(text.data() + at, (UINT)std::min<size_t>(7, text.size() - at));
  file.Write("", 1);
  return file.Detach();
}

TEST(Ole, ASourceOnTheClipboardIsReadByWin32AndByADataObject) {
  ASSERT_TRUE(AfxOleInit());
  EXPECT_TRUE(AfxOleEndsAtExit());
  std::string text;
  for (int row = 0; row < 800; row++) text += "r" + std::to_string(row) + "\t한글\t\n";
  int destroyed = 0;
  auto* source = new CCountedSource(&destroyed);
  source->CacheGlobalData(CF_TEXT, SharedText(text));
  source->SetClipboard();
  EXPECT_EQ(destroyed, 0) << "the clipboard holds the source";

  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE viaWin32 = ::GetClipboardData(CF_TEXT);
  EXPECT_TRUE(TextOf(viaWin32) == text) << "CF_TEXT through Win32";
  ::CloseClipboard();

  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
  EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
  EXPECT_EQ(data.GetGlobalData(CF_BITMAP), nullptr);
  for (int copy = 0; copy < 2; copy++) {
    HGLOBAL block = data.GetGlobalData(CF_TEXT);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(TextOf(block) == text) << "read " << copy;
    ::GlobalFree(block);  // the reader's own copy
  }
  data.Release();

  ::OleSetClipboard(nullptr);
  EXPECT_EQ(destroyed, 1) << "emptying the clipboard releases the source";
}

}  // namespace
