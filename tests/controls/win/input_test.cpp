// Controls driven as a user drives them: the mouse through SendInput where capture and focus
// count (hover buttons, the colour picker's popup), typed characters and arrow keys as the
// window receives them (numeric edit, edit combo box), spin clicks and scroller ticks.
#include <gtest/gtest.h>

#include <cfloat>

#include "controls_fixture.h"
#include "uitest.h"

namespace {

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetColorPickerTable();
    ASSERT_TRUE(dlg.Create(IDD_TESTCONTROLS));
    dlg.UpdateData(FALSE);
    dlg.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.SetForegroundWindow();
    uitest::PumpPending();
    uitest::MouseTo(900, 700);
  }
  void TearDown() override {
    uitest::MouseButton(false);
    dlg.DestroyWindow();
  }
  void MouseOn(HWND h) {
    m_at = uitest::CentreOf(h);
    uitest::MouseTo(m_at.x, m_at.y);
  }
  // A click where MouseOn put the cursor.
  void Click() {
    uitest::MouseButtonAt(m_at.x, m_at.y, true);
    uitest::MouseButtonAt(m_at.x, m_at.y, false);
  }
  // Clicks the colour picker open and lets `script` drive its popup from a second thread; what
  // went wrong, empty when nothing did.
  std::string DrivePicker(uitest::ModalDriver::Script script) {
    uitest::ModalDriver driver(std::move(script));
    MouseOn(dlg.picker);
    Click();
    return driver.Finish();
  }
  CControlsDlg dlg;
  POINT m_at{};
};

void ClickAt(POINT p) {
  uitest::MouseTo(p.x, p.y);
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseButtonAt(p.x, p.y, false);
}

TEST_F(Input, HoverTakesFocusAndCaptureAndLeavingGivesThemBack) {
  CHoverButton& b = dlg.toggle;
  ASSERT_TRUE(b.LoadStateBitmaps(IDB_RED, IDB_BLUE, IDB_GREEN, 0, 0, 0, 16, 16, 0, FALSE));
  MouseOn(b);
  EXPECT_TRUE(b.IsMouseOver());
  EXPECT_EQ(::GetCapture(), b.m_hWnd);
  EXPECT_EQ(::GetFocus(), b.m_hWnd);
  CRect r;
  b.GetClientRect(&r);
  Capture hover(b);
  EXPECT_EQ(hover.At(r.Width() / 2, r.Height() / 2), RGB(0, 255, 0)) << "hover image";

  uitest::MouseTo(900, 700);
  EXPECT_FALSE(b.IsMouseOver());
  EXPECT_EQ(::GetCapture(), nullptr);
  Capture left(b);
  EXPECT_EQ(left.At(r.Width() / 2, r.Height() / 2), RGB(255, 0, 0));
}

TEST_F(Input, APushButtonReportsDownRepeatsAndUp) {
  CHoverButton& b = dlg.push;
  b.SetAttributeC(dlg.m_hWnd);
  EXPECT_FALSE(b.IsToggle());
  MouseOn(b);
  uitest::MouseButton(true);
  EXPECT_TRUE(b.IsDown());
  uitest::PumpUntil([&] { return dlg.log.Count(WM_HOVERBUTTON_REPEAT) >= 3; }, 3000);
  uitest::MouseButton(false);
  ASSERT_GE(dlg.log.seen.size(), 3u);
  EXPECT_EQ(dlg.log.seen.front().first, (UINT)WM_HOVERBUTTON_DOWN);
  EXPECT_EQ(dlg.log.seen.back().first, (UINT)WM_HOVERBUTTON_UP);
  EXPECT_EQ(dlg.log.Count(WM_HOVERBUTTON_DOWN), 1);
  EXPECT_EQ(dlg.log.Count(WM_HOVERBUTTON_UP), 1);
  EXPECT_GE(dlg.log.Count(WM_HOVERBUTTON_REPEAT), 3);
  for (const auto& m : dlg.log.seen) EXPECT_EQ(m.second, (WPARAM)IDC_HOVER_PUSH);
  EXPECT_FALSE(b.IsDown());
  const size_t after = dlg.log.seen.size();
  uitest::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(dlg.log.seen.size(), after) << "the repeat timer stops on release";
}

TEST_F(Input, AToggleReleasedOutsideKeepsItsState) {
  CHoverButton& b = dlg.toggle;
  MouseOn(b);
  uitest::MouseButton(true);
  EXPECT_TRUE(b.IsDown());
  uitest::MouseTo(900, 700);
  uitest::MouseButton(false);
  EXPECT_FALSE(b.IsDown());
  EXPECT_EQ(b.GetCheckState(), 0);
  ::Sleep(::GetDoubleClickTime() + 100);  // a new click, not the second of a double click
  MouseOn(b);
  Click();
  EXPECT_TRUE(b.IsDown());
  EXPECT_EQ(b.GetCheckState(), 1);
  EXPECT_TRUE(dlg.log.seen.empty()) << "a toggle button notifies nobody";
}

// The button's popup opens from a real menu resource where the placement rule puts it, and the
// command clicked in it reaches the main window.
TEST_F(Input, ACommandChosenFromTheButtonsMenuReachesTheMainWindow) {
  CWnd* const oldMain = theTestApp.m_pMainWnd;
  theTestApp.m_pMainWnd = &dlg;
  CRect button, popupRect;
  dlg.toggle.GetWindowRect(&button);
  const int popupHeight = 40;
  std::string trouble;
  {
    uitest::ModalDriver driver([&](uitest::ModalDriver& d) {
      HWND popup = d.WaitForWindow("the menu opens", "#32768");
      if (!popup) return;
      ::GetWindowRect(popup, &popupRect);
      ClickAt(POINT{popupRect.left + 10, popupRect.top + 8});  // the one item, a few pixels in
      d.WaitUntil("the menu closes", [popup] { return !::IsWindowVisible(popup); });
    });
    dlg.toggle.TrackMenu(IDM_TESTMENU, 0, 0, popupHeight, 0);
    trouble = driver.Finish();
  }
  theTestApp.m_pMainWnd = oldMain;
  ASSERT_EQ(trouble, "");
  uitest::PumpUntil([&] { return dlg.log.Count(WM_COMMAND) > 0; }, 3000);
  EXPECT_EQ(popupRect.TopLeft(), CHoverButton::MenuOrigin(button, popupHeight));
  ASSERT_EQ(dlg.log.Count(WM_COMMAND), 1);
  EXPECT_EQ(dlg.log.seen.back().second, 6001u);
}

// ---- colour picker

// The picker's popup once it is up and holds the mouse: clicks reach it only then.
HWND WaitForPopup(uitest::ModalDriver& d) {
  HWND popup = d.WaitForWindow("the popup opens", "#32770", "");
  if (!popup || !d.WaitUntil("the popup takes the mouse", [&] { return d.CaptureWindow() == popup; })) return nullptr;
  return popup;
}

bool WaitClosed(uitest::ModalDriver& d, HWND popup) {
  return d.WaitUntil("the popup closes", [popup] { return !::IsWindowVisible(popup); });
}

int Ranks() {
  int sum = 0;
  for (int i = 0; i < kPickerColors; i++) sum += ColorPickerRank(i) << (i % 4);
  return sum;
}

TEST_F(Input, AClickOutsideThePopupChoosesNothing) {
  dlg.picker.m_hWndNotify = dlg.m_hWnd;
  const int ranks = Ranks();
  CRect below;
  const std::string trouble = DrivePicker([&](uitest::ModalDriver& d) {
    HWND popup = WaitForPopup(d);
    if (!popup) return;
    ::GetWindowRect(popup, &below);
    ClickAt(POINT{900, 700});
    WaitClosed(d, popup);
  });
  ASSERT_EQ(trouble, "");
  CRect button;
  dlg.picker.GetWindowRect(&button);
  EXPECT_EQ(below.TopLeft(), CPoint(button.left, button.bottom)) << "opens below the button";
  EXPECT_EQ(dlg.picker.m_crColor, RGB(255, 255, 255));
  EXPECT_TRUE(dlg.log.seen.empty());
  EXPECT_EQ(Ranks(), ranks);
}

TEST_F(Input, ASwatchBecomesTheColourAndRanksFirst) {
  dlg.picker.m_hWndNotify = dlg.m_hWnd;
  for (int round = 0; round < 2; round++) {
    const int ranksBefore = Ranks();
    const std::string trouble = DrivePicker([](uitest::ModalDriver& d) {
      HWND popup = WaitForPopup(d);
      if (!popup) return;
      ClickAt(uitest::CentreOf(::GetDlgItem(popup, IDC_COLORPICKER_FIRST + 13)));
      WaitClosed(d, popup);
    });
    ASSERT_EQ(trouble, "");
    EXPECT_EQ(dlg.picker.m_crColor, RGB(255, 0, 0));
    EXPECT_EQ(ColorPickerRank(13), 1);
    if (round == 1) {
      EXPECT_EQ(Ranks(), ranksBefore) << "the same swatch again changes no rank";
    }
  }
  EXPECT_EQ(ColorPickerRank(0), 2) << "the swatches ranked above it moved down one";
  EXPECT_EQ(ColorPickerRank(10), 20);
  ASSERT_EQ(dlg.log.seen.size(), 2u);
  EXPECT_EQ(dlg.log.seen[0], std::make_pair((UINT)WM_COLORPICKER_CHANGED, (WPARAM)IDC_PICKER));
  int sum = 0;
  for (int i = 0; i < kPickerColors; i++) sum += ColorPickerRank(i);
  EXPECT_EQ(sum, 210) << "ranks stay 1..20";
}

// The driver itself: a click still queued when the test's thread finishes opens the popup there
// (a plain join would leave it unopened, or the driver waiting on the test's thread), and a step
// that times out ends in a failure with the popup closed, not in a loop nobody ends.
TEST_F(Input, TheDriverTakesALateClickAndClosesWhatAFailedStepLeftOpen) {
  uitest::ModalDriver late([](uitest::ModalDriver& d) {
    HWND popup = WaitForPopup(d);
    if (!popup) return;
    ClickAt(POINT{900, 700});
    WaitClosed(d, popup);
  });
  dlg.picker.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  dlg.picker.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(late.Finish(), "");

  uitest::ModalDriver failing([](uitest::ModalDriver& d) {
    if (WaitForPopup(d)) d.WaitForWindow("a window that never comes", "#32770", "Never");
  }, 1000);
  MouseOn(dlg.picker);
  Click();
  EXPECT_EQ(failing.Finish(), "a window that never comes: not within 1 s; left open, closed by the driver: #32770 \"\"");
  EXPECT_EQ(dlg.picker.m_crColor, RGB(255, 255, 255));
}

struct OtherCase {
  const char* red;
  const char* green;
  const char* blue;
  int button;
  int entry;         // the entry chosen, -1 when cancelled
  COLORREF entry10;  // entry 10 afterwards
};

TEST_F(Input, OtherTakesTheStandardDialogsColour) {
  const OtherCase cases[] = {
      {"255", "0", "0", IDOK, 13, RGB(255, 251, 240)},  // an existing swatch: nothing replaced
      {"1", "2", "3", IDOK, 10, RGB(1, 2, 3)},          // new: the least recently used entry
      {"9", "9", "9", IDCANCEL, -1, RGB(255, 251, 240)},  // cancelled: the popup stays open
  };
  for (const OtherCase& c : cases) {
    ResetColorPickerTable();
    dlg.picker.m_crColor = RGB(255, 255, 255);
    const std::string trouble = DrivePicker([&](uitest::ModalDriver& d) {
      HWND popup = WaitForPopup(d);
      if (!popup) return;
      ClickAt(uitest::CentreOf(::GetDlgItem(popup, IDC_COLORPICKER_OTHER)));
      HWND box = d.WaitForWindow("the colour dialog opens", "#32770", "Color");
      if (!box) return;
      ::SetDlgItemTextA(box, 706, c.red);
      ::SetDlgItemTextA(box, 707, c.green);
      ::SetDlgItemTextA(box, 708, c.blue);
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), (LPARAM)::GetDlgItem(box, c.button));
      if (!d.WaitUntil("the colour dialog closes", [box] { return !::IsWindow(box); })) return;
      if (c.entry < 0) {
        // Cancelled: the popup stays and takes the mouse again, and keeps it when asked to drop
        // modes (as it is when the focus moves); a click outside then closes it.
        if (!d.WaitUntil("the popup takes the mouse again", [&] { return d.CaptureWindow() == popup; })) return;
        ::SendMessageA(popup, WM_CANCELMODE, 0, 0);
        if (d.CaptureWindow() != popup) d.Fail("the popup gave the mouse up");
        ClickAt(POINT{900, 700});
      }
      WaitClosed(d, popup);
    });
    SCOPED_TRACE(c.red);
    ASSERT_EQ(trouble, "");
    if (c.entry >= 0) {
      EXPECT_EQ(dlg.picker.m_crColor, ColorPickerColor(c.entry));
      EXPECT_EQ(ColorPickerRank(c.entry), 1);
    } else {
      EXPECT_EQ(dlg.picker.m_crColor, RGB(255, 255, 255));
    }
    EXPECT_EQ(ColorPickerColor(10), c.entry10);
  }
}

TEST(PickerPlacement, ThePopupFlipsAboveAtTheBottomAndShiftsLeftAtTheRight) {
  const CSize screen(1024, 768), popup(80, 150);
  EXPECT_EQ(CColorPickerPopup::PopupOrigin(CRect(100, 100, 160, 120), popup, screen), CPoint(100, 120));
  EXPECT_EQ(CColorPickerPopup::PopupOrigin(CRect(100, 700, 160, 720), popup, screen), CPoint(100, 550));
  EXPECT_EQ(CColorPickerPopup::PopupOrigin(CRect(1000, 100, 1020, 120), popup, screen), CPoint(944, 120));
}

// ---- numeric edit and spin

void Type(HWND h, const char* text) {
  for (const char* p = text; *p; p++) ::PostMessageA(h, WM_CHAR, (WPARAM)(unsigned char)*p, 1);
  uitest::PumpPending();
}

TEST_F(Input, BadTypingRestoresTheValueAndDropsTypeAhead) {
  CNumEdit& e = dlg.num;
  e.SetRange(0, 10);
  ASSERT_TRUE(e.SetValue(1));
  EXPECT_EQ(e.GetWindowText(), CString("1"));
  e.SetSel(1, 1);
  Type(e, "23");
  EXPECT_EQ(e.GetWindowText(), CString("1")) << "12 is out of range; the 3 typed ahead is dropped";
  int from = -1, to = -1;
  e.GetSel(from, to);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 1);

  e.SetSel(0, -1);
  Type(e, "7.25");
  EXPECT_EQ(e.GetWindowText(), CString("7.25"));
  EXPECT_EQ(e.GetDecimals(), 2) << "typed decimals raise the count";
  EXPECT_FALSE(e.SetValue(10.5f));
  EXPECT_FALSE(e.SetValue(-1));
  EXPECT_EQ(e.GetWindowText(), CString("7.25"));
  e.SetWindowText("x");
  EXPECT_EQ(e.GetValue(), 0.0f) << "invalid text reads as the minimum";
}

TEST_F(Input, ALoneSignStandsAndALetterAfterItIsReported) {
  CNumEdit& e = dlg.num;
  e.SetWindowText("");
  Type(e, "-");
  EXPECT_EQ(e.GetWindowText(), CString("-"));
  EXPECT_EQ(e.CheckText(), CNumEdit::kSign);
  e.SetReportErrors(TRUE);
  uitest::BoxAnswerer box("ControlsTest", IDOK);
  e.SetSel(1, 1);
  Type(e, "a");
  const uitest::BoxSeen seen = box.Wait();
  EXPECT_TRUE(seen.found);
  EXPECT_NE(seen.text.find("Characters must be a number."), std::string::npos) << seen.text;
  EXPECT_EQ(e.GetWindowText().Find('a'), -1);
}

TEST_F(Input, DecimalsOnlyGrow) {
  CNumEdit& e = dlg.num;
  ASSERT_TRUE(e.SetValue(2.5f));
  EXPECT_EQ(e.GetWindowText(), CString("2.5"));
  ASSERT_TRUE(e.SetValue(3));
  EXPECT_EQ(e.GetWindowText(), CString("3.0"));
  CNumEdit fresh;
  CString format;
  EXPECT_EQ(fresh.MakeFormat(format, 1.5e7f), CString("%.5f")) << "1.5E+07 counts five";
}

NMUPDOWN SpinClick(HWND spin, int delta) {
  NMUPDOWN ud{};
  ud.hdr.hwndFrom = spin;
  ud.hdr.idFrom = (UINT_PTR)::GetDlgCtrlID(spin);
  ud.hdr.code = UDN_DELTAPOS;
  ud.iPos = 500;
  ud.iDelta = delta;
  ::SendMessageA(::GetParent(spin), WM_NOTIFY, ud.hdr.idFrom, (LPARAM)&ud);
  return ud;
}

TEST_F(Input, SpinStepsTheBuddyClampedToItsRange) {
  dlg.spin.SetBuddy(&dlg.num);
  EXPECT_EQ(dlg.spin.GetPos(), 0.0f);
  dlg.spin.SetRange(0, 10);
  dlg.spin.SetStep(1);
  dlg.spin.SetPos(9.5f);
  EXPECT_EQ(dlg.spin.GetPos(), 9.5f);
  SpinClick(dlg.spin, 1);
  EXPECT_EQ(dlg.num.GetWindowText(), CString("10.0"));
  SpinClick(dlg.spin, 1);
  EXPECT_EQ(dlg.num.GetWindowText(), CString("10.0"));
  NMUPDOWN ud{};
  ud.hdr.hwndFrom = dlg.spin;
  ud.hdr.idFrom = IDC_NUMSPIN;
  ud.hdr.code = UDN_DELTAPOS;
  ud.iPos = 999;
  ud.iDelta = 1;
  dlg.SendMessage(WM_NOTIFY, IDC_NUMSPIN, (LPARAM)&ud);
  EXPECT_EQ(ud.iPos, 500) << "re-centred before the end of its range";
  SpinClick(dlg.spin, -3);
  EXPECT_EQ(dlg.num.GetWindowText(), CString("7.0"));
}

TEST_F(Input, ASpinWithAPlainEditDoesNothing) {
  ::SendMessageA(dlg.plainSpin, UDM_SETBUDDY, (WPARAM)dlg.plain.m_hWnd, 0);
  dlg.plain.SetWindowText("abc");
  dlg.plainSpin.SetRange(0, 10);
  dlg.plainSpin.SetPos(3);
  SpinClick(dlg.plainSpin, 1);
  EXPECT_EQ(dlg.plain.GetWindowText(), CString("abc"));
  EXPECT_EQ(dlg.plainSpin.GetPos(), 0.0f);
  EXPECT_EQ(dlg.plainSpin.GetStep(), 0.0f);
  float lo = 1, hi = 1;
  dlg.plainSpin.GetRange(lo, hi);
  EXPECT_EQ(lo, 0.0f);
  EXPECT_EQ(hi, 0.0f);
}

// ---- edit combo box

struct ComboKey {
  const char* text;
  UINT key;
  const char* after;
  int selected;
};

TEST_F(Input, TheEditComboOverlayStepsThroughTheList) {
  CEditComboBox& c = dlg.combo;
  c.SetCurSel(-1);
  c.SetEditable(TRUE);
  CEditComboEdit* edit = c.GetEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(::GetDlgItem(dlg, IDC_EDITCOMBO_EDIT), edit->m_hWnd);
  EXPECT_EQ(c.GetText(), CString(""));
  EXPECT_EQ(::GetFocus(), edit->m_hWnd);
  EXPECT_FALSE(c.GetStyle() & WS_TABSTOP);
  CRect cr, pr, er;
  c.GetWindowRect(&cr);
  dlg.GetWindowRect(&pr);
  edit->GetWindowRect(&er);
  dlg.ScreenToClient(&er);
  EXPECT_EQ(er, CRect(cr.left - pr.left, cr.top - pr.top - 18, cr.right - pr.left - 22, cr.top - pr.top - 5));

  const ComboKey keys[] = {
      {"Be", VK_DOWN, "Beta", 1},     // a prefix selects its item
      {"Beta", VK_DOWN, "Gamma", 2},  // the next one
      {"Gamma", VK_DOWN, "Gamma", 2}, // nothing after the last
      {"Alpha", VK_UP, "Alpha", 0},   // nothing before the first
      {"Gamma", VK_UP, "Beta", 1},
      {"zz", VK_UP, "Alpha", 0},      // no match: item 0
  };
  for (const ComboKey& k : keys) {
    SCOPED_TRACE(k.text);
    edit->SetWindowText(k.text);
    edit->SendMessage(WM_KEYDOWN, k.key, 1);
    EXPECT_EQ(c.GetText(), CString(k.after));
    EXPECT_EQ(c.GetCurSel(), k.selected);
  }
  edit->SetWindowText("Ga");
  c.SetEditable(TRUE);  // on again while on: off
  EXPECT_EQ(c.GetEdit(), nullptr);
  EXPECT_EQ(::GetDlgItem(dlg, IDC_EDITCOMBO_EDIT), nullptr);
  EXPECT_EQ(c.GetCurSel(), 2) << "the typed prefix chose its item";
  EXPECT_EQ(c.GetText(), CString("")) << "no text while off, whatever is selected";
  EXPECT_TRUE(c.GetStyle() & WS_TABSTOP);

  dlg.comboOwn.SetEditable(TRUE);
  EXPECT_EQ(dlg.comboOwn.GetEdit(), nullptr) << "a combo with its own edit field is left alone";
}

// ---- scrolling text

void Ticks(CScrollTextStatic& s, int n) {
  for (int i = 0; i < n; i++) s.SendMessage(WM_TIMER, IDT_SCROLLTEXT, 0);
}

TEST_F(Input, TheScrollerTakesALineEveryLineHeightOfTicksAndWraps) {
  CScrollTextStatic& s = dlg.scroller;
  EXPECT_FALSE(s.StartScrolling()) << "no lines";
  EXPECT_FALSE(s.IsScrolling());
  s.SetText("Line one|Heading\t|", '|');
  EXPECT_EQ(s.GetLineCount(), 3);
  s.m_crText = RGB(255, 255, 255);
  s.m_crHeading = RGB(255, 255, 0);
  s.GetClientRect(&s.m_rcText);
  ASSERT_TRUE(s.StartScrolling());
  ::KillTimer(s, IDT_SCROLLTEXT);  // the test gives the ticks
  Ticks(s, 14);
  EXPECT_EQ(s.GetCurrentLine(), CString(""));
  Ticks(s, 1);
  EXPECT_EQ(s.GetCurrentLine(), CString("Line one")) << "on the 15th tick";
  Ticks(s, 14);
  EXPECT_EQ(s.GetLineOffset(), 15);
  Capture text(s);
  ASSERT_TRUE(text.ok);
  int lit = 0;
  for (int y = 0; y < text.image.GetHeight(); y++)
    for (int x = 0; x < text.image.GetWidth(); x++) lit += text.At(x, y) == RGB(255, 255, 255);
  EXPECT_GT(lit, 10) << "the line drawn in its colour";
  const int widest = s.GetWidestLine();
  EXPECT_GT(widest, 0);
  Ticks(s, 1);
  EXPECT_EQ(s.GetCurrentLine(), CString("Heading\t"));
  Ticks(s, 1);
  EXPECT_EQ(s.GetLineHeight(), 21) << "a heading takes 21 ticks";
  Ticks(s, 20);
  EXPECT_EQ(s.GetCurrentLine(), CString(""));
  EXPECT_EQ(s.GetLineHeight(), 21) << "an empty line keeps the height before it";
  EXPECT_FALSE(s.IsFirstPass());
  EXPECT_GT(s.GetWidestLine(), widest) << "the bold heading widened the text rectangle";
  const CRect rectAfterFirstPass = s.m_rcText;
  s.m_cHeadingMarker = 'e';  // "Line one" is now drawn bold at 40 pixels: far wider
  s.m_nHeadingHeight = 40;
  Ticks(s, 21);
  EXPECT_EQ(s.GetCurrentLine(), CString("Line one")) << "the list wraps";
  Ticks(s, 1);
  EXPECT_EQ(s.m_rcText, rectAfterFirstPass) << "no widening after the first pass";
}

}  // namespace
