// vedra.exe as a whole: code page, exports, start and clean exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "afx/winframe.h"
#include "afx/winmsg.h"
#include "uitest.h"

extern "C" __declspec(dllexport) int VedraTestExport() { return 42; }

namespace {

const char kCaption[] = " TAVO  Vedra  ";
const char kKorean[] = "먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다";

std::string ManifestOf(const char* path) {
  HMODULE h = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!h) return {};
  std::string text;
  if (HRSRC r = ::FindResourceA(h, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    if (HGLOBAL g = ::LoadResource(h, r))
      text.assign(static_cast<const char*>(::LockResource(g)), ::SizeofResource(h, r));
  }
  ::FreeLibrary(h);
  return text;
}

TEST(Program, RunsWithTheUtf8CodePage) {
  EXPECT_EQ(::GetACP(), 65001u);
  const std::string manifest = ManifestOf(VEDRA_EXE);
  ASSERT_FALSE(manifest.empty()) << "no manifest in " << VEDRA_EXE;
  EXPECT_NE(manifest.find("<activeCodePage"), std::string::npos);
  EXPECT_NE(manifest.find(">UTF-8<"), std::string::npos);
}

TEST(Program, FindsItsOwnExportsByName) {
  using Fn = int (*)();
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(nullptr), "VedraTestExport")));
  ASSERT_NE(fn, nullptr);
  EXPECT_EQ(fn(), 42);
  EXPECT_EQ(::GetProcAddress(::GetModuleHandleA(nullptr), "NoSuchExport"), nullptr);
}

TEST(Program, ExportsTheToolkitByName) {
  HMODULE exe = ::LoadLibraryExA(VEDRA_EXE, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(exe, nullptr);
  for (const char* name : {"WTm4_invert", "WThashtable_find", "WTproperty_firehandlers", "_WTfile_findpath",
                           "WTgeometry_begin", "WTgeometry_close", "WTgeometry_delete", "WTgeometry_getpolys",
                           "WTgeometry_stretch", "WTgeometry_newblock", "WTgeometry_setvertexnormal",
                           "WTpoly_next", "WTpoly_getnormal", "WTpoly_getvertex", "WTpoly_setrgb",
                           "WTpolylist_addpoly", "WTvertex_getposition", "WTvertex_next",
                           "WTmtable_new", "WTmtable_setname", "WTmtable_getname", "WTmtable_getnumentries",
                           "WTmtable_setvalue", "WTmtable_getvalue", "WTmtable_newentry",
                           "WTpoly_begin", "_WTpoly_newfrompoints"})
    EXPECT_NE(::GetProcAddress(exe, name), nullptr) << name;
  // The node, viewpoint, window, sensor and path rows of the class table the toolkit binds at start-up.
  for (const char* kind : {"node", "viewpoint", "window", "sensor", "path"}) {
    const std::string k(kind);
    for (const std::string& name :
         {"WT" + k + "_delete", "WT" + k + "_setdata", "WT" + k + "_getdata", "WT" + k + "_setname",
          "WT" + k + "_getname", "_WT" + k + "_sethaseventhandlers", "_WT" + k + "_gethaseventhandlers",
          "WTuniverse_find" + k})
      EXPECT_NE(::GetProcAddress(exe, name.c_str()), nullptr) << name;
  }
  for (const char* name : {"WTuniverse_new", "WTuniverse_go1", "WTuniverse_delete", "WTnode_addchild"})
    EXPECT_NE(::GetProcAddress(exe, name), nullptr) << name;
  // Ray casts and picking.
  for (const char* name : {"WTnode_rayintersect", "WTpoly_rayintersect", "_WTpoly_rayintersect",
                           "WTwindow_getray", "WTwindow_pickatpoint"})
    EXPECT_NE(::GetProcAddress(exe, name), nullptr) << name;
  ::FreeLibrary(exe);
}

// A Korean message box text passes through the A functions unchanged.
TEST(Program, KoreanTextSurvivesTheAFunctions) {
  HANDLE thread = ::CreateThread(
      nullptr, 0, [](LPVOID) -> DWORD { return static_cast<DWORD>(::MessageBoxA(nullptr, kKorean, kCaption, MB_OK)); },
      nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  HWND box = nullptr;
  ASSERT_TRUE(uitest::PumpUntil([&] { return (box = uitest::FindTopLevelWindow(::GetCurrentProcessId(), kCaption)); }));
  char text[256] = {};
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, kKorean);
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(::WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  ::CloseHandle(thread);
}

// The command ids under a menu, popups included.
void CollectIds(HMENU menu, std::set<UINT>& ids) {
  for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = ::GetSubMenu(menu, i))
      CollectIds(sub, ids);
    else if (UINT id = ::GetMenuItemID(menu, i); id != 0 && id != UINT(-1))
      ids.insert(id);
  }
}

std::string PopupName(HMENU menu, int pos) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, pos, text, 128, MF_BYPOSITION);
  char utf8[512] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

// The bars open File, Configure and Help at positions 0, 4 and 5 of every language's menu; the
// English menu also has shorter popups that offer only commands of the full ones.
TEST(Program, MenusKeepTheBarsPopupsAndTheVariantsOfferKnownCommands) {
  HMODULE exe = ::LoadLibraryExA(VEDRA_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  for (int id : {132, 133, 134}) {
    HMENU menu = ::LoadMenuA(exe, MAKEINTRESOURCEA(id));
    ASSERT_NE(menu, nullptr) << id;
    std::set<UINT> file, configure, help;
    CollectIds(::GetSubMenu(menu, 0), file);
    CollectIds(::GetSubMenu(menu, 4), configure);
    CollectIds(::GetSubMenu(menu, 5), help);
    EXPECT_TRUE(file.count(32795) && file.count(32791)) << id << ": Open and Exit under File";
    EXPECT_TRUE(configure.count(32789) && configure.count(32792)) << id << ": Windows and Grid under Configure";
    EXPECT_TRUE(help.count(32781) && help.count(57664)) << id << ": Help Topics and About under Help";
    if (id == 133) {
      std::vector<std::string> names;
      for (int i = 0; i < ::GetMenuItemCount(menu); ++i) names.push_back(PopupName(menu, i));
      EXPECT_EQ(names, (std::vector<std::string>{"&File", "&View", "&Device", "&Special", "&Configure", "&Help",
                                                 "&DBModelFile", "&Light-File", "FULL-&View", "&FULLConfigure",
                                                 "&1_0File"}));
      std::set<UINT> full;
      for (int i = 0; i < 6; ++i) CollectIds(::GetSubMenu(menu, i), full);
      for (int i = 6; i < ::GetMenuItemCount(menu); ++i) {
        std::set<UINT> variant;
        CollectIds(::GetSubMenu(menu, i), variant);
        EXPECT_FALSE(variant.empty()) << names[i];
        for (UINT command : variant) EXPECT_TRUE(full.count(command)) << names[i] << " offers " << command;
      }
    }
    ::DestroyMenu(menu);
  }
  ::FreeLibrary(exe);
}

// A frame made in this process goes away, object and all, when it is closed.
TEST(Frame, ClosingAFrameDestroysItsWindow) {
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "frame under test"));
  HWND h = frame->m_hWnd;
  ASSERT_TRUE(::IsWindow(h));
  ::PostMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !::IsWindow(h); }));
}

}  // namespace

namespace {

// A frame whose creation fails half-way is not deleted behind its owner's back.
class RefusingFrame : public CFrameWnd {
 public:
  static int destroyed;
  ~RefusingFrame() override { ++destroyed; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA) { return -1; }
  DECLARE_MESSAGE_MAP()
};
int RefusingFrame::destroyed = 0;

BEGIN_MESSAGE_MAP(RefusingFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(Frame, FailedCreateLeavesTheObjectToItsOwner) {
  auto* frame = new RefusingFrame;
  EXPECT_FALSE(frame->Create(nullptr, "refused"));
  EXPECT_EQ(RefusingFrame::destroyed, 0);
  EXPECT_EQ(frame->m_hWnd, nullptr);
  delete frame;
  EXPECT_EQ(RefusingFrame::destroyed, 1);
}

}  // namespace
