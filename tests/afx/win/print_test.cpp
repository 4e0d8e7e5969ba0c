// Printing a view: to the default printer (a PDF queue where the test set-up makes one) or, with
// no printer, the framework's message; print preview opens and closes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "afxtest.h"
#include "uitest.h"

namespace {

// Prints a black rectangle over the page's second quarter in both directions.
class CMarkView : public CView {
  DECLARE_DYNCREATE(CMarkView)
 public:
  int printedPages = 0;
  UINT pageCount = 0;  // 0: not known before printing
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override {
    if (pageCount) pInfo->SetMaxPage(pageCount);
    return DoPreparePrinting(pInfo);
  }
  void OnDraw(CDC* pDC) override {
    if (!pDC->IsPrinting()) return;
    int w = pDC->GetDeviceCaps(HORZRES), h = pDC->GetDeviceCaps(VERTRES);
    CRect mark(w / 4, h / 4, w / 2, h / 2);
    CBrush black(RGB(0, 0, 0));
    pDC->FillRect(&mark, &black);
  }
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override {
    ++printedPages;
    CView::OnPrint(pDC, pInfo);
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CMarkView, CView)
BEGIN_MESSAGE_MAP(CMarkView, CView)
  ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

const char kNoPrinter[] = "No printer is installed. Install a printer and try again.";

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CFrameWnd;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CMarkView);
    ASSERT_TRUE(frame->Create(nullptr, "인쇄", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr,
                              nullptr, 0, &context));
    view = static_cast<CMarkView*>(CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST)));
    ASSERT_NE(view, nullptr);
    frame->SetActiveView(view);
    theTestApp.m_pMainWnd = frame;
    PRINTDLGA pd{};
    hasPrinter = theTestApp.GetPrinterDeviceDefaults(&pd);
  }
  void TearDown() override {
    theTestApp.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    uitest::PumpPending();
  }
  CFrameWnd* frame = nullptr;
  CMarkView* view = nullptr;
  BOOL hasPrinter = FALSE;
};

COLORREF PixelAt(HWND h, int x, int y) {
  HDC dc = ::GetDC(h);
  COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(h, dc);
  return c;
}

std::vector<std::string> PdfFiles(const std::string& dir) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((dir + "/*.pdf").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do files.push_back(dir + "/" + fd.cFileName);
  while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return files;
}

// Starts a program of the host system (Wine starts Unix programs too).
bool StartHost(std::string cmd) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

// A binary PGM (P5) as rows of grey values.
bool ReadPgm(const std::string& path, int& w, int& h, std::vector<unsigned char>& pixels) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  int maxval = 0;
  bool ok = std::fscanf(f, "P5 %d %d %d", &w, &h, &maxval) == 3 && maxval == 255 && std::fgetc(f) != EOF;
  if (ok) {
    pixels.resize(static_cast<size_t>(w) * h);
    ok = std::fread(pixels.data(), 1, pixels.size(), f) == pixels.size();
  }
  std::fclose(f);
  return ok;
}

TEST_F(Printing, APrintedPageShowsTheMarkedRectangle) {
  if (!hasPrinter) {
    uitest::BoxAnswerer answer("AfxTest", IDOK);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    EXPECT_EQ(answer.Wait().text, kNoPrinter);
    EXPECT_EQ(view->printedPages, 0);
    return;
  }
  const char* out = std::getenv("VEDRA_PRINT_OUT");
  ASSERT_NE(out, nullptr) << "a printer but no VEDRA_PRINT_OUT: where does the PDF queue write?";
  const std::string dir = std::string("Z:") + out;
  const size_t before = PdfFiles(dir).size();
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
  EXPECT_EQ(view->printedPages, 1);

  std::vector<std::string> files;
  ASSERT_TRUE(uitest::PumpUntil([&] { return (files = PdfFiles(dir)).size() > before; }, 90000)) << "no PDF came";
  ::Sleep(2000);  // the backend finishes writing
  std::string newest = files.back();
  FILETIME latest{};
  for (const auto& f : files) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (::GetFileAttributesExA(f.c_str(), GetFileExInfoStandard, &a) && ::CompareFileTime(&a.ftLastWriteTime, &latest) > 0) {
      latest = a.ftLastWriteTime;
      newest = f;
    }
  }
  const std::string unixPdf = newest.substr(2);
  const std::string prefix = "/tmp/vedra-print-page";
  ::DeleteFileA(("Z:" + prefix + ".pgm").c_str());
  ASSERT_TRUE(StartHost("/usr/bin/pdftoppm -r 20 -gray -singlefile \"" + unixPdf + "\" " + prefix));
  int w = 0, h = 0;
  std::vector<unsigned char> page;
  ASSERT_TRUE(uitest::PumpUntil([&] { return ReadPgm("Z:" + prefix + ".pgm", w, h, page); }, 30000)) << "no page picture";
  auto at = [&](int x, int y) { return page[static_cast<size_t>(y) * w + x]; };
  EXPECT_LT(at(w * 3 / 8, h * 3 / 8), 64) << "inside the mark";
  EXPECT_GT(at(w * 3 / 4, h * 3 / 4), 200) << "outside the mark";
  EXPECT_GT(at(w / 8, h / 8), 200);
  ::DeleteFileA(("Z:" + prefix + ".pgm").c_str());
  ::DeleteFileA(newest.c_str());
}

TEST_F(Printing, PreviewOpensAndCloses) {
  if (!hasPrinter) {
    uitest::BoxAnswerer answer("AfxTest", IDOK);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(answer.Wait().text, kNoPrinter);
    EXPECT_EQ(frame->GetActiveView(), view);
    return;
  }
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  auto* preview = DYNAMIC_DOWNCAST(CPreviewView, frame->GetActiveView());
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(view->IsWindowVisible());
  HWND close = nullptr;
  for (HWND h = ::GetWindow(frame->m_hWnd, GW_CHILD); h && !close; h = ::GetWindow(h, GW_HWNDNEXT))
    close = ::GetDlgItem(h, AFX_ID_PREVIEW_CLOSE);
  ASSERT_NE(close, nullptr) << "the preview's bar";
  char text[32] = {};
  ::GetWindowTextA(close, text, sizeof text);
  EXPECT_STREQ(text, "닫기(&C)");
  preview->UpdateWindow();
  EXPECT_GE(view->printedPages, 1) << "the page is drawn by the view's printing";

  ::SendMessageA(close, BM_CLICK, 0, 0);
  uitest::PumpPending();
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_TRUE(view->IsWindowVisible());
  EXPECT_EQ(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST), view->m_hWnd);
}

// The preview's bar: one or two pages side by side, zoom in twice (scrolled) and out again, each
// button enabled only where it does something.
TEST_F(Printing, PreviewShowsTwoPagesAndZooms) {
  if (!hasPrinter) GTEST_SKIP() << "no printer: the preview cannot open";
  view->pageCount = 3;
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  auto* preview = DYNAMIC_DOWNCAST(CPreviewView, frame->GetActiveView());
  ASSERT_NE(preview, nullptr);
  HWND bar = nullptr;
  for (HWND h = ::GetWindow(frame->m_hWnd, GW_CHILD); h && !bar; h = ::GetWindow(h, GW_HWNDNEXT))
    if (::GetDlgItem(h, AFX_ID_PREVIEW_CLOSE)) bar = h;
  ASSERT_NE(bar, nullptr);
  HWND pages = ::GetDlgItem(bar, AFX_ID_PREVIEW_NUMPAGE), zoomIn = ::GetDlgItem(bar, AFX_ID_PREVIEW_ZOOMIN),
       zoomOut = ::GetDlgItem(bar, AFX_ID_PREVIEW_ZOOMOUT);
  ASSERT_TRUE(pages && zoomIn && zoomOut);
  auto click = [&](HWND button) {
    ::SendMessageA(button, BM_CLICK, 0, 0);
    theTestApp.OnIdle(0);  // the bar's buttons follow the preview's state
    preview->UpdateWindow();
  };
  auto text = [](HWND h) {
    char buffer[64] = {};
    ::GetWindowTextA(h, buffer, sizeof buffer);
    return std::string(buffer);
  };
  auto markedAt = [&](const CRect& page) {  // the middle of the page's black rectangle
    return PixelAt(preview->m_hWnd, page.left + page.Width() * 3 / 8, page.top + page.Height() * 3 / 8) == RGB(0, 0, 0);
  };
  theTestApp.OnIdle(0);
  preview->UpdateWindow();
  const CRect fitted = preview->GetPageRect();
  ASSERT_FALSE(fitted.IsRectEmpty());
  EXPECT_TRUE(markedAt(fitted));
  EXPECT_TRUE(::IsWindowEnabled(pages));
  EXPECT_TRUE(::IsWindowEnabled(zoomIn));
  EXPECT_FALSE(::IsWindowEnabled(zoomOut));
  EXPECT_EQ(text(pages), "두 페이지(&T)");

  const int printed = view->printedPages;
  click(pages);
  EXPECT_EQ(preview->GetPageCount(), 2u);
  EXPECT_EQ(text(pages), "한 페이지(&T)");
  EXPECT_EQ(view->printedPages, printed + 2) << "both pages drawn";
  const CRect first = preview->GetPageRect();
  EXPECT_LT(first.Width(), fitted.Width());
  EXPECT_TRUE(markedAt(first));
  CRect second = first;
  second.OffsetRect(first.Width() + 8, 0);
  EXPECT_TRUE(markedAt(second)) << "the second page";
  click(pages);
  EXPECT_EQ(preview->GetPageCount(), 1u);
  EXPECT_EQ(preview->GetPageRect(), fitted);

  click(zoomIn);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_MIDDLE));
  const CRect middle = preview->GetPageRect();
  EXPECT_GT(middle.Width(), fitted.Width());
  EXPECT_FALSE(::IsWindowEnabled(pages)) << "one page only while zoomed";
  EXPECT_TRUE(::IsWindowEnabled(zoomIn));
  EXPECT_TRUE(::IsWindowEnabled(zoomOut));
  EXPECT_TRUE(preview->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) << "scroll bars over the zoomed page";
  click(zoomIn);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_IN));
  EXPECT_GT(preview->GetPageRect().Width(), middle.Width());
  EXPECT_FALSE(::IsWindowEnabled(zoomIn));
  const CRect before = preview->GetPageRect();
  preview->SendMessage(WM_HSCROLL, SB_PAGEDOWN, 0);
  preview->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  preview->UpdateWindow();
  EXPECT_LT(preview->GetPageRect().left, before.left) << "scrolled to the right";
  EXPECT_LT(preview->GetPageRect().top, before.top);

  click(zoomOut);
  click(zoomOut);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_OUT));
  EXPECT_EQ(preview->GetPageRect(), fitted);
  EXPECT_FALSE(preview->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_FALSE(::IsWindowEnabled(zoomOut));
  EXPECT_TRUE(::IsWindowEnabled(pages));

  ::SendMessageA(::GetDlgItem(bar, AFX_ID_PREVIEW_CLOSE), BM_CLICK, 0, 0);
  uitest::PumpPending();
  EXPECT_EQ(frame->GetActiveView(), view);
}

}  // namespace
