// vedra.exe started in a prepared base folder: start-up, registry and folders, the single
// instance, the model file commands and the plan bar's menus. The registry's "Run" value is put
// back after each test.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "plan_res.h"
#include "resource.h"
#include "uitest.h"

namespace {

const char kCaption[] = " TAVO  Vedra  ";
const char kFullKey[] = "SOFTWARE\\TAVO\\Vedra\\1.0\\Full\\";
const char kHeader[] = "\x1ETAVO Vedra Archive Document...";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct RunValue {
  bool present = false;
  std::string text;
  DWORD size = 0;  // bytes stored
};

RunValue ReadRun() {
  RunValue v;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFullKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (::RegQueryValueExA(key, "Run", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::string buffer(size + 1, '\0');
    ::RegQueryValueExA(key, "Run", nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    v.present = true;
    v.size = size;
    v.text = buffer.c_str();
  }
  ::RegCloseKey(key);
  return v;
}

void WriteRun(const RunValue& v) {
  HKEY key = nullptr;
  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFullKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (!key) return;
  if (v.present)
    ::RegSetValueExA(key, "Run", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text.c_str()),
                     static_cast<DWORD>(v.text.size() + 1));
  else
    ::RegDeleteValueA(key, "Run");
  ::RegCloseKey(key);
}

// The main window of the process: visible, with a caption naming the model.
HWND FindMainWindow(DWORD pid) {
  struct Args {
    DWORD pid;
    HWND found;
  } args{pid, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* a = reinterpret_cast<Args*>(p);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        char text[512] = {};
        ::GetWindowTextA(h, text, sizeof text);
        char cls[32] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        if (owner != a->pid || !::IsWindowVisible(h) || !(::GetWindowLongA(h, GWL_STYLE) & WS_CAPTION) ||
            std::string(cls) == "#32770")
          return TRUE;
        if (std::string(text).find("Vedra") == std::string::npos) return TRUE;
        a->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&args));
  return args.found;
}

std::string TitleOf(HWND h) {
  char text[512] = {};
  ::GetWindowTextA(h, text, sizeof text);
  return text;
}

class VedraExe : public ::testing::Test {
protected:
  void SetUp() override {
    saved = ReadRun();
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    elsewhere = temp;
    base = elsewhere + "vedra-exe-" + std::to_string(::GetTickCount64()) + "\\";
    MakeBase(base, true);
  }
  void TearDown() override {
    for (PROCESS_INFORMATION& pi : processes) End(pi);
    WriteRun(saved);
  }
  static void MakeBase(const std::string& dir, bool withSearch) {
    for (const char* sub : {"", "bin", "bin\\Lib", "bin\\Lib\\Library", "bin\\Database"})
      ::CreateDirectoryA((dir + sub).c_str(), nullptr);
    if (withSearch) ::CreateDirectoryA((dir + "bin\\Lib\\Search").c_str(), nullptr);
    std::ofstream(dir + "bin\\Database\\TLibrary.lib", std::ios::binary).write("\0\0", 2);
    // The door and window plan symbols, each a single line.
    ::CreateDirectoryA((dir + "bin\\Lib\\Symbol").c_str(), nullptr);
    for (const char* name :
         {"SymbolDoorSinglePushing(F)", "SymbolDoorSinglePushing(D)", "SymbolDoorDoublePushing(F)",
          "SymbolDoorDoublePushing(D)", "SymbolDoor2PieceSlidingX1(F)", "SymbolDoor3PieceSlidingX1(F)",
          "SymbolDoor4PieceSlidingX1(F)", "SymbolDoorComplex(F)", "SymbolDoorComplex(D)", "SymbolDoor2PieceSwing(F)",
          "SymbolDoor2PieceSwing(D)", "SymbolDoor4PieceSwing(F)", "SymbolDoor4PieceSwing(D)", "SymbolDoorHollow(F)",
          "SymbolDoorEtc(F)", "SymbolWindowHollow(F)", "SymbolWindowFix(F)", "SymbolWindowSinglePushing(F)",
          "SymbolWindowSinglePushing(W)", "SymbolWindowDoublePushing(F)", "SymbolWindowDoublePushing(W)",
          "SymbolWindow2PieceSlidingX1(F)", "SymbolWindow3PieceSlidingX1(F)", "SymbolWindow4PieceSlidingX1(F)",
          "SymbolWindowEtc(F)"})
      std::ofstream(dir + "bin\\Lib\\Symbol\\" + name + ".DXF", std::ios::binary)
          << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n1000\n21\n0\n0\nENDSEC\n0\nEOF\n";
  }
  // Starts vedra.exe in the folder; its process stays listed for the end of the test.
  PROCESS_INFORMATION& Start(const std::string& cwd) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char cmd[] = "vedra.exe";
    EXPECT_TRUE(::CreateProcessA(VEDRA_EXE, cmd, nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi));
    processes.push_back(pi);
    return processes.back();
  }
  HWND WaitMain(const PROCESS_INFORMATION& pi, DWORD ms = 60000) {
    HWND main = nullptr;
    uitest::PumpUntil(
        [&] {
          main = FindMainWindow(pi.dwProcessId);
          return main && !::IsIconic(main) && TitleOf(main).find("Vedra1") != std::string::npos;
        },
        ms);
    return main;
  }
  // Exit code after it ended by itself, or 99 when it had to be stopped.
  static DWORD WaitExit(PROCESS_INFORMATION& pi, DWORD ms = 30000) {
    DWORD code = 99;
    if (::WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
      ::GetExitCodeProcess(pi.hProcess, &code);
    else
      ::TerminateProcess(pi.hProcess, 99);
    return code;
  }
  static void End(PROCESS_INFORMATION& pi) {
    if (!pi.hProcess) return;
    if (::WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
      if (HWND main = FindMainWindow(pi.dwProcessId)) ::PostMessageA(main, WM_CLOSE, 0, 0);
      WaitExit(pi, 15000);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    pi = {};
  }
  // Answers the next file dialog of the process with the path.
  static bool AnswerFileDialog(DWORD pid, const std::string& path) {
    HWND box = uitest::WaitForBox(pid, nullptr, 15000);
    if (!box) return false;
    // The file name field: a combo box in the Explorer-style dialog, an edit in the old one.
    HWND field = ::GetDlgItem(box, 0x47C);
    if (!field) field = ::GetDlgItem(box, 0x480);
    if (!field) {
      ADD_FAILURE() << "no file name field in " << TitleOf(box);
      return false;
    }
    ::SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    return true;
  }

  RunValue saved;
  std::string base, elsewhere;
  std::deque<PROCESS_INFORMATION> processes;  // references stay valid
};

TEST_F(VedraExe, FirstRunNamesItsFolderAndLaterRunsUseIt) {
  WriteRun({});
  PROCESS_INFORMATION& first = Start(base);
  HWND main = WaitMain(first);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(uitest::WaitForBox(first.dwProcessId, nullptr, 300), nullptr)
      << uitest::AnswerBoxOf(first.dwProcessId, nullptr, IDOK, 100).text;
  const RunValue run = ReadRun();
  EXPECT_EQ(run.text, base);
  EXPECT_EQ(run.size, base.size() + 1) << "written with its zero";
  for (const char* made : {"Works", "Samples", "bin\\Lib\\temp", "bin\\Lib\\Map", "bin\\Lib\\Map2"})
    EXPECT_TRUE(Exists(base + made)) << made;
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(first.hProcess, 5000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "still running; box: " << uitest::AnswerBoxOf(first.dwProcessId, nullptr, IDOK, 100).text;
  }
  EXPECT_EQ(WaitExit(first), 0u);

  PROCESS_INFORMATION& second = Start(elsewhere);
  EXPECT_NE(WaitMain(second), nullptr) << "started elsewhere, it still finds its folders";
  EXPECT_EQ(ReadRun().text, base);
}

// A value longer than a path may be is read whole and kept as it is (the folders it names are
// then beyond the file functions' reach, which the folder check reports).
TEST_F(VedraExe, ALongRunValueIsKept) {
  std::string padded = base;
  while (padded.size() < 300) padded += ".\\";
  WriteRun({true, padded, 0});
  PROCESS_INFORMATION& pi = Start(elsewhere);
  EXPECT_TRUE(uitest::AnswerBoxOf(pi.dwProcessId, kCaption, IDOK, 30000).found);
  EXPECT_EQ(WaitExit(pi), 1u);
  EXPECT_EQ(ReadRun().text, padded) << "kept, not overwritten";
}

TEST_F(VedraExe, MissingFolders) {
  const std::string noLib = elsewhere + "vedra-nolib-" + std::to_string(::GetTickCount64()) + "\\";
  ::CreateDirectoryA(noLib.c_str(), nullptr);
  ::CreateDirectoryA((noLib + "bin").c_str(), nullptr);
  WriteRun({true, noLib, 0});
  PROCESS_INFORMATION& ended = Start(elsewhere);
  const uitest::BoxSeen seen = uitest::AnswerBoxOf(ended.dwProcessId, kCaption, IDOK, 30000);
  EXPECT_EQ(seen.text, "프로그램을 실행하는데 필요한 디렉토리가 존재하지 않습니다.");
  EXPECT_EQ(WaitExit(ended), 1u);

  const std::string noSearch = elsewhere + "vedra-nosearch-" + std::to_string(::GetTickCount64()) + "\\";
  MakeBase(noSearch, false);
  WriteRun({true, noSearch, 0});
  PROCESS_INFORMATION& warned = Start(elsewhere);
  EXPECT_TRUE(uitest::AnswerBoxOf(warned.dwProcessId, kCaption, IDOK, 30000).found);
  EXPECT_NE(WaitMain(warned), nullptr) << "a missing search folder is only warned about";
}

TEST_F(VedraExe, ASecondInstanceBringsTheFirstForwardAndEnds) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& first = Start(base);
  HWND main = WaitMain(first);
  ASSERT_NE(main, nullptr);
  PROCESS_INFORMATION& second = Start(base);
  EXPECT_NE(WaitExit(second), 99u) << "the second one ends by itself";
  EXPECT_EQ(FindMainWindow(second.dwProcessId), nullptr);
  EXPECT_EQ(::GetForegroundWindow(), main);
  EXPECT_EQ(::WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(VedraExe, SaveAsksOnceForANameAndTheFileOpensAgain) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  const std::string path = base + "Works\\house.tavo";
  ::PostMessageA(main, WM_COMMAND, 32787, 0);  // Save
  ASSERT_TRUE(AnswerFileDialog(pi.dwProcessId, path));
  ASSERT_TRUE(uitest::PumpUntil([&] { return ReadFile(path).size() > 31; }, 15000));
  const std::string saved = ReadFile(path);
  EXPECT_EQ(saved.substr(0, 31), kHeader);
  EXPECT_EQ(saved.substr(31, 4), std::string("\xFF\xFF\x05\x00", 4)) << "new-class tag and schema of the model";

  ::DeleteFileA(path.c_str());
  ::PostMessageA(main, WM_COMMAND, 32787, 0);  // Save again: the same file, no question
  EXPECT_TRUE(uitest::PumpUntil([&] { return Exists(path); }, 15000));
  EXPECT_EQ(uitest::WaitForBox(pi.dwProcessId, nullptr, 500), nullptr);
  EXPECT_EQ(ReadFile(path), saved);

  ::PostMessageA(main, WM_COMMAND, 32795, 0);  // Open
  ASSERT_TRUE(AnswerFileDialog(pi.dwProcessId, path));
  EXPECT_TRUE(uitest::PumpUntil([&] { return TitleOf(main).find(path) != std::string::npos; }, 30000))
      << TitleOf(main);
  EXPECT_EQ(uitest::WaitForBox(pi.dwProcessId, kCaption, 500), nullptr) << "no complaint about the file";
}

// A list of dropped files as the shell hands it over (the header, then the names, each ended by a
// zero, and one more zero), written into the memory of process `process`: a drop list is fixed
// memory of the receiving process, whose address the message carries.
WPARAM DropListIn(HANDLE process, const std::vector<std::string>& names) {
  std::string list(sizeof(DROPFILES), '\0');
  reinterpret_cast<DROPFILES*>(&list[0])->pFiles = sizeof(DROPFILES);
  for (const std::string& name : names) list += name + '\0';
  list += '\0';
  void* remote = ::VirtualAllocEx(process, nullptr, list.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !::WriteProcessMemory(process, remote, list.data(), list.size(), nullptr)) return 0;
  return reinterpret_cast<WPARAM>(remote);
}

// Ctrl+S typed on the keyboard saves; of two files dropped on the window the first is opened.
TEST_F(VedraExe, CtrlSSavesAndOfTwoDroppedFilesTheFirstOpens) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  ::SetForegroundWindow(main);
  ASSERT_TRUE(uitest::PumpUntil([&] { return ::GetForegroundWindow() == main; }, 5000));
  // A key typed while the X server is still moving the focus to the new window can go nowhere:
  // on a busy machine the keys are typed again until the save question comes.
  bool asked = false;
  for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
    ::SetForegroundWindow(main);
    uitest::Key(VK_CONTROL, true);
    uitest::Key('S', true);
    uitest::Key('S', false);
    uitest::Key(VK_CONTROL, false);
    asked = uitest::WaitForBox(pi.dwProcessId, nullptr, 5000) != nullptr;
  }
  ASSERT_TRUE(asked) << "Ctrl+S brought no save question";
  const std::string path = base + "Works\\typed.tavo";
  ASSERT_TRUE(AnswerFileDialog(pi.dwProcessId, path));
  ASSERT_TRUE(uitest::PumpUntil([&] { return ReadFile(path).size() > 31; }, 15000));
  EXPECT_EQ(ReadFile(path).substr(0, 31), kHeader);

  const std::string other = base + "Works\\dropped.tavo";
  ASSERT_TRUE(::CopyFileA(path.c_str(), other.c_str(), FALSE));
  const WPARAM drop = DropListIn(pi.hProcess, {other, path});
  ASSERT_NE(drop, 0u);
  ::PostMessageA(main, WM_DROPFILES, drop, 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return TitleOf(main).find(other) != std::string::npos; }, 30000))
      << TitleOf(main);
  EXPECT_EQ(uitest::WaitForBox(pi.dwProcessId, kCaption, 500), nullptr) << "no complaint about the file";
}

// Restored and dragged by its bottom-right corner towards its top-left one, the main window stops
// at 1024 x 70.
TEST_F(VedraExe, TheMainWindowIsDraggedNoSmallerThanItsMinimum) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  uitest::PumpUntil([] { return false; }, 1000);  // the splash goes, the frame settles
  ::PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !::IsZoomed(main); }, 5000));
  ::SetForegroundWindow(main);
  RECT r{};
  ::GetWindowRect(main, &r);
  uitest::MouseTo(r.right - 2, r.bottom - 2);
  uitest::MouseButton(true);
  ::PostMessageA(main, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(r.right - 2, r.bottom - 2));
  ::Sleep(300);
  // Each step waits until the window has followed the cursor.
  for (int step = 1; step <= 10; ++step) {
    RECT was{};
    ::GetWindowRect(main, &was);
    uitest::MouseTo(r.right - 2 - (r.right - r.left - 40) * step / 10, r.bottom - 2 - (r.bottom - r.top - 40) * step / 10);
    uitest::PumpUntil([&] {
      RECT now{};
      ::GetWindowRect(main, &now);
      return !::EqualRect(&now, &was);
    }, 2000);
  }
  uitest::MouseButton(false);
  // The sizing loop has the moves queued; wait until the window stops changing.
  RECT after{}, before{};
  do {
    before = after;
    uitest::PumpUntil([] { return false; }, 500);
    ::GetWindowRect(main, &after);
  } while (!::EqualRect(&before, &after));
  EXPECT_EQ(after.right - after.left, 1024);
  EXPECT_EQ(after.bottom - after.top, 70);
}

// The plan view of the main window: the visible pane of the plan frame (the MDI client has the
// pane's id too).
HWND FindPlanView(HWND main) {
  HWND found = nullptr;
  ::EnumChildWindows(
      main,
      [](HWND h, LPARAM p) -> BOOL {
        char cls[32] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        if (::GetDlgCtrlID(h) != 0xE900 || !::IsWindowVisible(h) || std::string(cls) == "MDIClient") return TRUE;
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void PostClick(HWND view, int x, int y, bool right = false) {
  const LPARAM at = MAKELPARAM(x, y);
  ::PostMessageA(view, WM_MOUSEMOVE, 0, at);
  ::PostMessageA(view, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
  ::PostMessageA(view, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
}

// A wall drawn with the mouse changes the model: closing the window asks to save it, and Cancel
// keeps the window and the model.
TEST_F(VedraExe, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  HWND view = nullptr;
  ASSERT_TRUE(uitest::PumpUntil([&] { return (view = FindPlanView(main)) != nullptr; }, 10000));
  PostClick(view, 200, 200);
  PostClick(view, 400, 200);
  PostClick(view, 400, 200, true);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  const uitest::BoxSeen seen = uitest::AnswerBoxOf(pi.dwProcessId, kCaption, IDCANCEL, 15000);
  EXPECT_EQ(seen.text, "현재 모델을 저장하시겠습니까?");
  uitest::PumpUntil([] { return false; }, 1000);
  EXPECT_TRUE(::IsWindow(main));
  EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // Asked again, No closes the program without saving.
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(uitest::AnswerBoxOf(pi.dwProcessId, kCaption, IDNO, 15000).found);
  EXPECT_EQ(WaitExit(pi), 0u);
}

TEST_F(VedraExe, AFileWithoutTheHeaderGivesANewInteriorModel) {
  WriteRun({true, base, 0});
  const std::string path = base + "Works\\bad.tavo";
  ::CreateDirectoryA((base + "Works").c_str(), nullptr);
  std::ofstream(path, std::ios::binary) << "\x1E" "Something else entirely......";
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  ::PostMessageA(main, WM_COMMAND, 32795, 0);
  ASSERT_TRUE(AnswerFileDialog(pi.dwProcessId, path));
  EXPECT_EQ(uitest::AnswerBoxOf(pi.dwProcessId, kCaption, IDOK, 30000).text, "적합한 TAVO Vedra 파일이 아닙니다.");
  EXPECT_TRUE(uitest::PumpUntil(
      [&] { return ::IsZoomed(main) && TitleOf(main).find("Vedra1") != std::string::npos; }, 30000))
      << TitleOf(main);
}

TEST_F(VedraExe, AltFOpensTheFileMenuOfThePlanBar) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  ::PostMessageA(main, WM_SYSKEYDOWN, 'F', 0x20000000);
  HWND menu = nullptr;
  EXPECT_TRUE(uitest::PumpUntil([&] {
    menu = ::FindWindowA("#32768", nullptr);
    return menu && ::IsWindowVisible(menu);
  }, 10000));
  DWORD owner = 0;
  if (menu) ::GetWindowThreadProcessId(menu, &owner);
  EXPECT_EQ(owner, pi.dwProcessId) << "the program's own popup";
  ::PostMessageA(main, WM_CANCELMODE, 0, 0);
  if (menu) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(VedraExe, CaptureCancelLeavesNoFileAndOkReplacesAReadOnlyOne) {
  WriteRun({true, base, 0});
  PROCESS_INFORMATION& pi = Start(base);
  HWND main = WaitMain(pi);
  ASSERT_NE(main, nullptr);
  const std::string capture = base + "bin\\Lib\\temp\\CaptureScene.bmp";
  ::PostMessageA(main, WM_COMMAND, 32790, 0);
  HWND dialog = uitest::WaitForBox(pi.dwProcessId, nullptr, 15000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ReadFile(capture).substr(0, 2), "BM") << "the view is captured before the file is asked for";
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !Exists(capture); }, 10000)) << "Cancel deletes the capture";

  const std::string target = base + "Works\\shot.bmp";
  std::ofstream(target, std::ios::binary) << "old";
  ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ::PostMessageA(main, WM_COMMAND, 32790, 0);
  ASSERT_TRUE(AnswerFileDialog(pi.dwProcessId, target));
  // The dialog asks whether to replace the file: yes.
  uitest::PumpUntil([&] {
    HWND box = uitest::WaitForBox(pi.dwProcessId, nullptr, 50);
    if (box && ::GetDlgItem(box, IDYES)) ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    return ReadFile(target).substr(0, 2) == "BM";
  }, 15000);
  EXPECT_EQ(ReadFile(target).substr(0, 2), "BM");
  EXPECT_FALSE(Exists(capture));
}


// ---- the walk-through: a room drawn in the plan, seen in the 3D frame and left again

// A visible descendant of the window with the control id; null when there is none.
HWND FindVisibleChild(HWND parent, int id) {
  struct Args {
    int id;
    HWND found;
  } args{id, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        auto* a = reinterpret_cast<Args*>(p);
        if (::GetDlgCtrlID(h) != a->id || !::IsWindowVisible(h)) return TRUE;
        a->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&args));
  return args.found;
}

// The view of the MDI child shown in front, with the bar of that frame: the plan bar (403) or the
// 3D bar (300).
HWND FrontView(HWND main, int barId) {
  HWND client = ::FindWindowExA(main, nullptr, "MDIClient", nullptr);
  HWND front = client ? reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
  if (!front || !::IsWindowVisible(front) || !::GetDlgItem(front, barId)) return nullptr;
  return ::GetDlgItem(front, 0xE900);
}

void ClickAt(POINT p) {
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseButtonAt(p.x, p.y, false);
}

void DoubleClickAt(POINT p) {
  ClickAt(p);
  ClickAt(p);
}

// Where a plan point (millimetres) is on the screen while the plan view is as a new model shows
// it: the origin in the middle, zoom 2 at the screen's logical inch, y up.
POINT PlanPointOnScreen(HWND view, int x, int y) {
  RECT r{};
  ::GetClientRect(view, &r);
  POINT p{r.right / 2, r.bottom / 2};
  ::ClientToScreen(view, &p);
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  const double pixelsPerUnit = ::MulDiv(100000, dpi, 2540) * 2.0 / 100000.0;
  p.x += static_cast<LONG>(x * pixelsPerUnit);
  p.y -= static_cast<LONG>(y * pixelsPerUnit);
  return p;
}

class WalkThrough : public VedraExe {
protected:
  // The program started on a new interior model, the plan in front.
  void StartOnPlan() {
    WriteRun({true, base, 0});
    pi = &Start(base);
    main = WaitMain(*pi);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(uitest::PumpUntil([&] { return (planView = FrontView(main, IDD_BAR)) != nullptr; }, 15000));
    ::SetForegroundWindow(main);
    uitest::PumpUntil([] { return false; }, 1000);  // the splash goes
  }
  void ClickBarButton(int barId, int button) {
    HWND bar = FindVisibleChild(main, barId);
    HWND b = bar ? ::GetDlgItem(bar, button) : nullptr;
    ASSERT_NE(b, nullptr) << button;
    ClickAt(uitest::CentreOf(b));
  }
  // Walls 8000 x 6000 round the origin of a new model's plan, then a room made inside them.
  void DrawRoom() {
    const POINT corners[] = {PlanPointOnScreen(planView, -4000, -3000), PlanPointOnScreen(planView, 4000, -3000),
                             PlanPointOnScreen(planView, 4000, 3000), PlanPointOnScreen(planView, -4000, 3000)};
    for (const POINT& c : corners) ClickAt(c);
    ClickAt(corners[0]);
    uitest::RightButtonAt(corners[0].x, corners[0].y, true);
    uitest::RightButtonAt(corners[0].x, corners[0].y, false);
    PlaceRoom(PlanPointOnScreen(planView, 0, 0));
  }
  void PlaceRoom(POINT inside) {
    ClickBarButton(IDD_BAR, IDC_BAR_ROOM);
    ClickAt(inside);
    uitest::PumpUntil([] { return false; }, 500);
  }
  // The walk-through button; the 3D view once it is in front.
  HWND WalkIn() {
    HWND view = nullptr;
    DoubleClickUntil(IDD_BAR, IDC_BAR_WALK, [&] { return (view = FrontView(main, IDD_SIM_BAR)) != nullptr; });
    return view;
  }
  // Back to the plan with the 3D bar's plan button.
  bool WalkOut() {
    return DoubleClickUntil(IDD_SIM_BAR, IDC_SIM_PLAN, [&] { return (planView = FrontView(main, IDD_BAR)) != nullptr; });
  }
  // A double click on a bar's button until it has done its work. Input injected under Wine now
  // and then loses the second press of a double click: the double click is tried again.
  bool DoubleClickUntil(int barId, int button, const std::function<bool()>& done) {
    for (int tries = 0; tries < 3; ++tries) {
      HWND bar = FindVisibleChild(main, barId);
      HWND b = bar ? ::GetDlgItem(bar, button) : nullptr;
      if (!b) return false;
      DoubleClickAt(uitest::CentreOf(b));
      if (uitest::PumpUntil(done, 5000)) return true;
    }
    return false;
  }
  // Ctrl and a key, typed with the main window in front.
  void CtrlKey(WORD key) {
    ::SetForegroundWindow(main);
    uitest::PumpUntil([&] { return ::GetForegroundWindow() == main; }, 5000);
    uitest::Key(VK_CONTROL, true);
    uitest::Key(key, true);
    uitest::Key(key, false);
    uitest::Key(VK_CONTROL, false);
  }
  void CloseWithoutSaving() {
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    uitest::AnswerBoxOf(pi->dwProcessId, kCaption, IDNO, 15000);
    EXPECT_EQ(WaitExit(*pi), 0u);
  }

  PROCESS_INFORMATION* pi = nullptr;
  HWND main = nullptr;
  HWND planView = nullptr;
};

// A room drawn with the mouse is walked in and left; saved and opened again, it is walked in
// again. (What the 3D view shows is checked in the simulator's own tests: the toolkit draws it
// with OpenGL into a child window, which no screen capture of Wine's sees.)
TEST_F(WalkThrough, ARoomIsWalkedInAndLeftAndAgainOnceSavedAndOpened) {
  ASSERT_NO_FATAL_FAILURE(StartOnPlan());
  DrawRoom();
  ASSERT_NE(WalkIn(), nullptr) << "the 3D frame comes to the front";
  ASSERT_TRUE(WalkOut()) << "the plan button brings the plan back";

  const std::string path = base + "Works\\room.tavo";
  ::PostMessageA(main, WM_COMMAND, ID_FILE_SAVE_MODEL, 0);
  ASSERT_TRUE(AnswerFileDialog(pi->dwProcessId, path));
  ASSERT_TRUE(uitest::PumpUntil([&] { return ReadFile(path).size() > 31; }, 15000));
  ::PostMessageA(main, WM_COMMAND, ID_FILE_OPEN_MODEL, 0);
  ASSERT_TRUE(AnswerFileDialog(pi->dwProcessId, path));
  ASSERT_TRUE(uitest::PumpUntil([&] { return TitleOf(main).find(path) != std::string::npos; }, 30000));
  ASSERT_TRUE(uitest::PumpUntil([&] { return (planView = FrontView(main, IDD_BAR)) != nullptr; }, 15000));
  ASSERT_NE(WalkIn(), nullptr);
  ASSERT_TRUE(WalkOut());
  EXPECT_EQ(uitest::WaitForBox(pi->dwProcessId, nullptr, 500), nullptr);
  CloseWithoutSaving();
}

// A new model asked for from the 3D frame (its scene's nodes go while the view still holds
// them), then the 3D frame closed while the model stays: the rooms edited after go without the
// nodes that went with the frame.
TEST_F(WalkThrough, ANewModelFromThe3DFrameAndRoomsEditedAfterTheFrameClosed) {
  ASSERT_NO_FATAL_FAILURE(StartOnPlan());
  DrawRoom();
  ASSERT_NE(WalkIn(), nullptr);
  CtrlKey('I');
  EXPECT_EQ(uitest::AnswerBoxOf(pi->dwProcessId, kCaption, IDNO, 15000).text, "현재 모델을 저장하시겠습니까?");
  ASSERT_TRUE(uitest::PumpUntil([&] { return (planView = FrontView(main, IDD_BAR)) != nullptr; }, 30000));

  DrawRoom();
  HWND view = WalkIn();
  ASSERT_NE(view, nullptr);
  HWND frame = ::GetParent(view);
  ::PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !::IsWindow(frame); }, 15000));
  ASSERT_TRUE(uitest::PumpUntil([&] { return (planView = FrontView(main, IDD_BAR)) != nullptr; }, 15000));
  PlaceRoom(PlanPointOnScreen(planView, 0, 0));
  uitest::Key(VK_DELETE, true);
  uitest::Key(VK_DELETE, false);
  PlaceRoom(PlanPointOnScreen(planView, 0, 0));
  EXPECT_EQ(::WaitForSingleObject(pi->hProcess, 1000), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
  EXPECT_EQ(uitest::WaitForBox(pi->dwProcessId, nullptr, 500), nullptr);
  CloseWithoutSaving();
}

}  // namespace
