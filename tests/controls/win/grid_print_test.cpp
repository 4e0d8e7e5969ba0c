// A view owning a 60-row grid prints it through its printing steps to the default printer (a PDF
// queue where the test set-up makes one): as many pages as the grid counted, every page with its
// headings and "Page k of N", every row once, a selection not highlighted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "grid_fixture.h"
#include "uitest.h"

namespace {

class CPrintedGrid : public CGridCtrl {
 public:
  int BodyHeight() const { return m_nPrintBodyHeight; }
};

class CGridView : public CView {
  DECLARE_DYNCREATE(CGridView)
 public:
  CPrintedGrid grid;
  CFont font;
  UINT counted = 0;
  void OnDraw(CDC*) override {}
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return DoPreparePrinting(pInfo); }
  void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override {
    grid.BeginPrint(pDC, pInfo);
    counted = pInfo->GetMaxPage();
  }
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override { grid.PrintPage(pDC, pInfo); }
  void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override { grid.EndPrint(pDC, pInfo); }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs) {
    if (CView::OnCreate(lpcs) == -1 || !grid.Create(CRect(0, 0, 500, 400), this, 1)) return -1;
    // A font whose text the PDF keeps as text (pdftotext reads it back).
    font.CreatePointFont(90, "Arial");
    grid.SetFont(&font);
    FillGrid(grid, 60);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CGridView, CView)
BEGIN_MESSAGE_MAP(CGridView, CView)
  ON_WM_CREATE()
  ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
END_MESSAGE_MAP()

// Runs a shell command of the host (Wine starts Unix programs) that writes `out`, and reads it.
bool RunHost(const std::string& command, const std::string& out, std::string* text) {
  ::DeleteFileA(("Z:" + out).c_str());
  const std::string line = "/bin/sh -c \"{ " + command + "; } > " + out + ".part && mv " + out + ".part " + out + "\"";
  if (::WinExec(line.c_str(), SW_HIDE) <= 31) return false;
  const bool done = uitest::PumpUntil([&] { return ::GetFileAttributesA(("Z:" + out).c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
  std::ifstream in("Z:" + out, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  *text = all.str();
  ::DeleteFileA(("Z:" + out).c_str());
  return done;
}

class GridPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.m_bAutoDelete = FALSE;
    doc.SetTitle(title.c_str());
    frame = new CFrameWnd;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CGridView);
    context.m_pCurrentDoc = &doc;
    ASSERT_TRUE(frame->Create(nullptr, "격자 인쇄", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 500), nullptr,
                              nullptr, 0, &context));
    view = static_cast<CGridView*>(CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST)));
    ASSERT_NE(view, nullptr);
    PRINTDLGA pd{};
    hasPrinter = theTestApp.GetPrinterDeviceDefaults(&pd);
  }
  void TearDown() override {
    if (frame) frame->DestroyWindow();
    uitest::PumpPending();
  }
  // Prints the view and gives the PDF's path on the host, empty when none came. The queue names
  // the file after the document's title.
  std::string PrintToPdf() {
    const std::string pattern = std::string(std::getenv("VEDRA_PRINT_OUT")) + "/*" + title + "*.pdf";
    std::string found;
    RunHost("rm -f " + pattern, "/tmp/" + title + ".rm", &found);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    const std::string list = "ls " + pattern + " 2>/dev/null; true";
    uitest::PumpUntil([&] { return RunHost(list, "/tmp/" + title + ".ls", &found) && !found.empty(); }, 90000);
    if (found.empty()) return "";
    found.erase(found.find('\n'));
    std::string ignored;
    RunHost("sleep 2", "/tmp/" + title + ".wait", &ignored);  // the queue finishes writing
    return found;
  }
  // The text of each page.
  std::vector<std::string> Pages(const std::string& pdf) {
    std::string text;
    EXPECT_TRUE(RunHost("pdftotext -layout '" + pdf + "' -", "/tmp/" + title + ".txt", &text));
    std::vector<std::string> pages;
    std::stringstream in(text);
    for (std::string page; std::getline(in, page, '\f');)
      if (!page.empty()) pages.push_back(page);
    return pages;
  }
  int PdfPages(const std::string& pdf) {
    std::string info;
    RunHost("pdfinfo '" + pdf + "' | sed -n 's/^Pages: *//p'", "/tmp/" + title + ".info", &info);
    return std::atoi(info.c_str());
  }

  const std::string title = "gridprint-" + std::to_string(::GetCurrentProcessId());
  CDocument doc;
  CFrameWnd* frame = nullptr;
  CGridView* view = nullptr;
  BOOL hasPrinter = FALSE;
};

int Count(const std::string& text, const std::string& word) {
  std::stringstream in(text);
  int n = 0;
  for (std::string w; in >> w;) n += w == word;
  return n;
}

void ExpectEveryPageAndRow(const std::vector<std::string>& pages, UINT counted, int rows) {
  ASSERT_EQ(pages.size(), counted);
  for (size_t k = 0; k < pages.size(); k++) {
    EXPECT_NE(pages[k].find("Page " + std::to_string(k + 1) + " of " + std::to_string(counted)), std::string::npos) << k;
    EXPECT_EQ(Count(pages[k], "c1"), 1) << "the headings on page " << k + 1;
  }
  std::string all;
  for (const std::string& p : pages) all += p + "\n";
  for (int row = 1; row < rows; row++) EXPECT_EQ(Count(all, "r" + std::to_string(row) + "c1"), 1) << "row " << row;
}

TEST_F(GridPrinting, PagesCarryTheHeadingsAndEveryRowOnce) {
  if (!hasPrinter) GTEST_SKIP() << "no printer";
  std::string pdf = PrintToPdf();
  ASSERT_FALSE(pdf.empty()) << "no PDF came";
  EXPECT_GT(view->counted, 1u);
  EXPECT_EQ(PdfPages(pdf), (int)view->counted);
  ExpectEveryPageAndRow(Pages(pdf), view->counted, 60);

  // The first two rows summing to one more than a page's body: the second starts page 2. The
  // whole grid selected prints without its highlight.
  const int body = view->grid.BodyHeight();
  view->grid.SetRowHeight(1, body / 2);
  view->grid.SetRowHeight(2, body + 1 - body / 2);
  view->grid.SelectAll();
  pdf = PrintToPdf();
  ASSERT_FALSE(pdf.empty()) << "no PDF came";
  ExpectEveryPageAndRow(Pages(pdf), view->counted, 60);
  std::string pgm;
  ASSERT_TRUE(RunHost("pdftoppm -r 20 -gray -f 3 -l 3 '" + pdf + "'", "/tmp/" + title + ".pgm", &pgm));
  int w = 0, h = 0, maxval = 0, at = 0;
  ASSERT_EQ(std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &w, &h, &maxval, &at), 3);
  const std::string pixels = pgm.substr((size_t)at + 1);
  const auto dark = std::count_if(pixels.begin(), pixels.end(), [](char c) { return (unsigned char)c < 160; });
  EXPECT_LT(dark, (long)pixels.size() / 3) << "a page of selected cells is not filled with the highlight";
}

}  // namespace
