// The per-thread handle maps: permanent and temporary objects, subclassing, and windows that
// belong to nobody here.
#include <gtest/gtest.h>

#include "afxtest.h"
#include "uitest.h"

namespace {

HWND MakeEdit() {
  return ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

TEST(HandleMap, TemporaryObjectsLastUntilIdleAndPermanentOnesWin) {
  HWND h = MakeEdit();
  CWnd* temp = CWnd::FromHandle(h);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(CWnd::FromHandle(h), temp);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  DWORD id = temp->GetObjectId();

  CWnd mine;
  ASSERT_TRUE(mine.Attach(h));
  EXPECT_FALSE(CWnd().Attach(h)) << "a window has one permanent object";
  EXPECT_EQ(CWnd::FromHandle(h), &mine);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), &mine);

  AfxDeleteTempMaps();
  EXPECT_EQ(CObject::FromObjectId(id), nullptr) << "the temporary object is freed at idle time";
  EXPECT_EQ(mine.Detach(), h);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  EXPECT_TRUE(::IsWindow(h)) << "detaching leaves the window";
  ::DestroyWindow(h);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

class CountingEdit : public CWnd {
 public:
  int chars = 0;
  int destroyed = 0;

 protected:
  afx_msg void OnChar(UINT, UINT, UINT) {
    ++chars;
    Default();
  }
  void PostNcDestroy() override { ++destroyed; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingEdit, CWnd)
  ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(HandleMap, SubclassedWindowRunsTheMapAndItsOwnProcedure) {
  HWND h = MakeEdit();
  auto before = ::GetWindowLongPtrA(h, GWLP_WNDPROC);
  CountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(h));
  ::SendMessageA(h, WM_CHAR, 'a', 0);
  EXPECT_EQ(edit.chars, 1);
  char text[8] = {};
  ::GetWindowTextA(h, text, sizeof text);
  EXPECT_STREQ(text, "a") << "the edit's own procedure still runs";

  EXPECT_EQ(edit.UnsubclassWindow(), h);
  EXPECT_EQ(::GetWindowLongPtrA(h, GWLP_WNDPROC), before);
  ::SendMessageA(h, WM_CHAR, 'b', 0);
  EXPECT_EQ(edit.chars, 1);

  ASSERT_TRUE(edit.SubclassWindow(h));
  ::DestroyWindow(h);
  EXPECT_EQ(edit.destroyed, 1);
  EXPECT_EQ(edit.m_hWnd, nullptr) << "the object lets go of its window at WM_NCDESTROY";
}

// Another process's window found by its caption is nobody's object here.
TEST(HandleMap, AnotherProcessesWindowIsNoObject) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  char cmd[] = "vedra.exe";
  ASSERT_TRUE(::CreateProcessA(VEDRA_EXE, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND other = nullptr;
  // Any window of the program will do: its main window, or the message it shows when it finds
  // no base folder.
  EXPECT_TRUE(uitest::PumpUntil([&] { return (other = uitest::FindTopLevelWindow(pi.dwProcessId, nullptr)); }, 60000));
  // What a window keeps in its user data says nothing about objects either.
  HWND local = MakeEdit();
  CWnd bystander;
  ::SetWindowLongPtrA(local, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bystander));
  EXPECT_EQ(CWnd::FromHandlePermanent(local), nullptr);
  ::DestroyWindow(local);
  if (other) {
    EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr);
    CWnd* temp = CWnd::FromHandle(other);
    ASSERT_NE(temp, nullptr);
    EXPECT_FALSE(temp->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_EQ(temp->m_hWnd, other);
    ::PostMessageA(other, WM_CLOSE, 0, 0);
  }
  if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  AfxDeleteTempMaps();
}

}  // namespace
