// The shell's parts in this process: settings, main frame, progress, splash, About and the key
// filter.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <atomic>
#include <string>
#include <thread>

#include "app/mainfrm.h"
#include "app/progresswnd.h"
#include "app/settings.h"
#include "app/splash.h"
#include "app/vedra.h"
#include "app/aboutdlg.h"
#include "view3d/frame3d.h"
#include "uitest.h"

namespace {

const char kCaption[] = " TAVO  Vedra  ";

std::string TempBase() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "vedra-shell-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(::GetTickCount64()) + "\\";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}


// A base folder of the application object.
class Shell : public ::testing::Test {
protected:
  void SetUp() override {
    base = TempBase();
    ::CreateDirectoryA(base.c_str(), nullptr);
    theApp.m_baseDir = base.c_str();
  }
  std::string base;
};

// ---- settings

TEST(Registry, StringValuesAreReadWholeAndOnlyMissingOnesWritten) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VedraShellTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  const std::string longText(300, 'x');
  ::RegSetValueExA(key, "Long", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()),
                   static_cast<DWORD>(longText.size() + 1));
  ::RegDeleteValueA(key, "Missing");
  CString out;
  EXPECT_EQ(QueryRegistryString(key, "Long", out, "default", FALSE), 1);
  EXPECT_EQ(std::string(out), longText);
  // Still there, unchanged.
  char buffer[400] = {};
  DWORD size = sizeof buffer;
  ::RegQueryValueExA(key, "Long", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  EXPECT_EQ(std::string(buffer), longText);

  EXPECT_EQ(QueryRegistryString(key, "Missing", out, "C:\\base\\", FALSE), 1);
  EXPECT_EQ(std::string(out), "C:\\base\\");
  size = sizeof buffer;
  ASSERT_EQ(::RegQueryValueExA(key, "Missing", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof "C:\\base\\") << "the value is written with its zero";
  ::RegCloseKey(key);
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VedraShellTest");
}

TEST(Folders, AllComeFromTheBaseFolder) {
  theApp.m_baseDir = "C:\\Vedra\\";
  CString dir;
  GetTempDir(theApp, dir);
  EXPECT_STREQ(dir, "C:\\Vedra\\Bin\\Lib\\temp\\");
  GetLibraryDir(theApp, dir);
  EXPECT_STREQ(dir, "C:\\Vedra\\Bin\\Lib\\Library\\");
  GetSystemDir(theApp, dir);
  EXPECT_STREQ(dir, "C:\\Vedra\\System\\");
  theApp.GetDatabaseDir(dir);
  EXPECT_STREQ(dir, "C:\\Vedra\\Bin\\Database\\");
}

// ---- main frame

// A 3D frame that cannot be made, or one that will not close, is given up after a few tries with
// a message; the plan frame goes on.
TEST(MainFrame, SimulatorFrameLoopsGiveUpWithAMessage) {
  CMultiDocTemplate* const savedTemplate = theApp.m_pSimTemplate;
  theApp.m_pSimTemplate = nullptr;
  {
    CMainFrame frame;  // no window: only its loops are used
    uitest::BoxAnswerer answer(kCaption, IDOK);
    EXPECT_EQ(frame.EnsureSimFrame(nullptr), 0);
    EXPECT_EQ(answer.Wait().text, "3D 화면을 준비하지 못했습니다.\n평면 화면으로 계속합니다.");

    C3DFrame stuck;  // no window either, so a close request never reaches it
    frame.m_pSimFrame = &stuck;
    uitest::BoxAnswerer again(kCaption, IDOK);
    EXPECT_FALSE(frame.CloseSimFrameFully());
    EXPECT_TRUE(again.Wait().found);
    frame.m_pSimFrame = nullptr;
  }
  theApp.m_pSimTemplate = savedTemplate;
}

// ---- progress, splash, About

TEST(Progress, CountLineAndCaption) {
  CProgressWnd progress(nullptr, 0);
  ASSERT_NE(progress.m_hWnd, nullptr);
  progress.SetRange(0, 0, 1);
  progress.SetText("%s", "초기화를 시작합니다");
  progress.SetPos(0);
  EXPECT_EQ(std::string(progress.GetCountText()), "");
  EXPECT_EQ(std::string(progress.GetCaptionText()), "초기화를 시작합니다");
  progress.SetRange(0, 10, 1);
  progress.SetPos(0);
  for (int i = 0; i < 3; i++) progress.StepIt();
  EXPECT_EQ(std::string(progress.GetCountText()), "3  /  10  [30%]");
  progress.SetPos(12);
  EXPECT_EQ(std::string(progress.GetCountText()), "12  /  10  [120%]");
  // A caption longer than the buffer is cut at a character, not inside one.
  std::string longText;
  for (int i = 0; i < 200; i++) longText += "가";
  progress.SetText("%s", longText.c_str());
  const std::string shown(progress.GetCaptionText());
  EXPECT_EQ(shown.size(), 510u);
  EXPECT_EQ(shown, longText.substr(0, 510));
  progress.DestroyWindow();
  EXPECT_EQ(progress.StepIt(), 12) << "nothing moves once the window is gone";
}

TEST(Progress, SceneWindowWritesItsTitleAndPercent) {
  CSceneProgressWnd progress(nullptr, "Capture ... ", 0, 0, 246, 50, TRUE);
  ASSERT_NE(progress.m_hWnd, nullptr);
  EXPECT_EQ(std::string(progress.GetWindowText()), "Scene");
  progress.SetRange(0, 100, 1);
  for (int i = 0; i < 100; i++) progress.StepIt();
  EXPECT_EQ(std::string(progress.GetText()), "Capture ...  [100%]");
}

TEST(Splash, ShowsOnlyWhenAllowedAndClosesOnItsMessage) {
  CSplashWnd::SetAllowed(FALSE);
  CSplashWnd::ShowSplash(nullptr);
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
  CSplashWnd::SetAllowed(TRUE);
  CSplashWnd::ShowSplash(nullptr);
  CSplashWnd* splash = CSplashWnd::Current();
  ASSERT_NE(splash, nullptr);
  CSplashWnd::ShowSplash(nullptr);
  EXPECT_EQ(CSplashWnd::Current(), splash) << "one at a time";
  MSG click{splash->m_hWnd, WM_LBUTTONDOWN, 0, 0, 0, {}};
  EXPECT_FALSE(CSplashWnd::FilterMessage(&click));
  EXPECT_NE(CSplashWnd::Current(), nullptr);
  MSG hide{splash->m_hWnd, WM_APP + 0x6A, 0, 0, 0, {}};
  EXPECT_TRUE(CSplashWnd::FilterMessage(&hide));
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
  EXPECT_FALSE(CSplashWnd::FilterMessage(&hide)) << "no splash: the message passes on";
  CSplashWnd::SetAllowed(FALSE);
}

TEST(About, ADoubleClickClosesIt) {
  std::atomic<bool> clicked{false};
  std::thread clicker([&] {
    HWND box = uitest::WaitForBox(::GetCurrentProcessId(), "About TAVO Vedra...");
    if (!box) return;
    ::PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    ::PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    ::Sleep(300);
    clicked = uitest::WaitForBox(::GetCurrentProcessId(), "About TAVO Vedra...", 100) != nullptr;
    ::PostMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
  });
  CAboutDlg about;
  EXPECT_EQ(about.DoModal(), IDOK);
  clicker.join();
  EXPECT_TRUE(clicked) << "a single click leaves it open";
}

// ---- key filter

TEST(Keys, TheApplicationSwallowsWindowKeysAndTakesF1) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  auto hold = [&](int key, bool down) {
    keys[key] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
  };
  MSG altF4{nullptr, WM_SYSKEYDOWN, VK_F4, 0, 0, {}};
  EXPECT_TRUE(theApp.PreTranslateMessage(&altF4));
  hold(VK_CONTROL, true);
  for (WPARAM key : {WPARAM(VK_TAB), WPARAM(VK_F6), WPARAM(VK_F4)}) {
    MSG msg{nullptr, WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(theApp.PreTranslateMessage(&msg)) << key;
  }
  MSG f1{nullptr, WM_KEYDOWN, VK_F1, 0, 0, {}};
  EXPECT_FALSE(theApp.PreTranslateMessage(&f1)) << "Ctrl+F1 passes on";
  hold(VK_CONTROL, false);
  hold(VK_SHIFT, true);
  EXPECT_FALSE(theApp.PreTranslateMessage(&f1)) << "Shift+F1 passes on";
  hold(VK_SHIFT, false);
  MSG tab{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(theApp.PreTranslateMessage(&tab));
}

// Points a file extension at a kind whose default verb runs `command`, and puts the extension's
// own kind back afterwards.
class OpenVerb {
 public:
  OpenVerb(const char* extension, const std::string& command) : m_extension(extension) {
    char kind[256] = {};
    LONG size = sizeof kind;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, extension, kind, &size) == ERROR_SUCCESS) m_saved = kind;
    ::RegSetValueA(HKEY_CLASSES_ROOT, extension, REG_SZ, "VedraTestKind", 13);
    ::RegSetValueA(HKEY_CLASSES_ROOT, "VedraTestKind\\shell\\open\\command", REG_SZ, command.c_str(),
                   DWORD(command.size()));
  }
  ~OpenVerb() {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "VedraTestKind");
    if (m_saved.empty())
      ::RegDeleteTreeA(HKEY_CLASSES_ROOT, m_extension.c_str());
    else
      ::RegSetValueA(HKEY_CLASSES_ROOT, m_extension.c_str(), REG_SZ, m_saved.c_str(), DWORD(m_saved.size()));
  }

 private:
  std::string m_extension, m_saved;
};

// F1 alone opens the help file of the base folder with its default verb.
TEST_F(Shell, F1AloneOpensTheHelpFile) {
  WriteFile(base + "Vedra.chm", "help");
  const std::string copy = base + "opened.txt";
  OpenVerb verb(".chm", "C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + copy + "\"");
  BYTE keys[256] = {};
  ::SetKeyboardState(keys);
  MSG f1{nullptr, WM_KEYDOWN, VK_F1, 0, 0, {}};
  EXPECT_TRUE(theApp.PreTranslateMessage(&f1));
  EXPECT_TRUE(uitest::PumpUntil([&] { return ReadFile(copy) == "help"; }, 15000));
}

}  // namespace
