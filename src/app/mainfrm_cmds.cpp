// The main frame's menu commands and keyboard shortcuts.
#include "app/mainfrm.h"

#include "controls/dibimage.h"

#include <shellapi.h>

#include "app/progresswnd.h"
#include "app/vedra.h"
#include "doc/reg.h"
#include "doc/vedradoc.h"
#include "models/model.h"
#include "res/plan_res.h"
#include "res/resource.h"
#include "view2d/frame2d.h"
#include "view2d/plandialogs.h"
#include "view3d/frame3d.h"

namespace {

constexpr const char kFileNotFound[] = "지정한 파일을 찾을수가 없습니다.";
constexpr UINT kQuestionStyle = MB_OK | MB_ICONQUESTION | MB_TASKMODAL;
constexpr const char kCaptureFile[] = "CaptureScene.bmp";

int g_cameraButtons = 0;
int g_fullScreen = 0;

bool KeyHeld(int key) {
  const SHORT state = ::GetKeyState(key);
  return state != 0 && state != 1;
}

struct Shortcut {
  UINT key;
  int when;  // 0 always, else the active frame it needs
  UINT command;  // a menu command, or 0 for a bar button
  UINT button;
};

// The Ctrl shortcuts, then the Alt ones.
constexpr Shortcut kCtrlKeys[] = {
    {'E', 0, ID_NEW_EXTERIOR, 0},          {'I', 0, ID_NEW_INTERIOR, 0},
    {'O', 0, ID_FILE_OPEN_MODEL, 0},       {'S', 0, ID_FILE_SAVE_MODEL, 0},
    {'P', 0, ID_FILE_PRINT_MODEL, 0},      {'X', 0, ID_FILE_EXIT, 0},
    {'T', 0, ID_SPECIAL_ESTIMATE, 0},      {'L', 0, ID_SPECIAL_LIBRARY, 0},
    {'M', ACTIVE_3D, ID_DEVICE_MOUSE, 0},  {'Y', ACTIVE_3D, ID_DEVICE_STEREO, 0},
    {'A', ACTIVE_3D, ID_SPECIAL_ANIMATION, 0}, {'F', ACTIVE_3D, ID_VIEW_FULL_SCREEN, 0},
};
constexpr Shortcut kAltKeys[] = {
    {'F', ACTIVE_PLAN, 0, IDC_BAR_FILE}, {'C', ACTIVE_PLAN, 0, IDC_BAR_CONFIGURE}, {'H', ACTIVE_PLAN, 0, IDC_BAR_HELP},
    {'F', ACTIVE_3D, 0, IDC_SIM_FILE},   {'V', ACTIVE_3D, 0, IDC_SIM_VIEW},        {'D', ACTIVE_3D, 0, IDC_SIM_DEVICE},
    {'S', ACTIVE_3D, 0, IDC_SIM_SPECIAL}, {'C', ACTIVE_3D, 0, IDC_SIM_CONFIGURE},  {'H', ACTIVE_3D, 0, IDC_SIM_HELP},
};

// The configured address of each web command.
const char* WebAddress(UINT id) {
  switch (id) {
    case ID_WEB_MAKER: return "http://www.tavo.example/";
    case ID_WEB_HOMEPAGE: return "http://vedra.tavo.example/";
    case ID_WEB_QUESTIONS: return "http://vedra.tavo.example/faq/";
    case ID_WEB_DOWNLOAD: return "http://vedra.tavo.example/download/";
    default: return "http://vedra.tavo.example/library/";
  }
}

CString FolderOf(const CString& path) { return path.Left(path.ReverseFind('\\') + 1); }

}  // namespace

bool CMainFrame::HandleShortcut(const MSG& msg) {
  if (!m_pDoc || !m_pPlanFrame || !m_pSimFrame) return false;
  if (msg.message == WM_KEYDOWN && KeyHeld(VK_CONTROL)) {
    for (const Shortcut& s : kCtrlKeys)
      if (s.key == msg.wParam && (s.when == 0 || s.when == m_activeFrame)) {
        OnMenuCommand(s.command);
        return true;
      }
  }
  if (msg.message == WM_SYSKEYDOWN) {
    for (const Shortcut& s : kAltKeys)
      if (s.key == msg.wParam && s.when == m_activeFrame) {
        CWnd* button = s.when == ACTIVE_PLAN ? m_pPlanFrame->GetPlanBarButton(s.button)
                                             : m_pSimFrame->GetBarControl(s.button);
        if (button) {
          button->SendMessage(WM_LBUTTONDOWN, 0, 0);
          button->SendMessage(WM_LBUTTONUP, 0, 0);
        }
        return true;
      }
  }
  return false;
}

void CMainFrame::OnMenuCommand(UINT id) {
  switch (id) {
    case ID_NEW_INTERIOR: OnNewModel(MODEL_INTERIOR); break;
    case ID_NEW_EXTERIOR: OnNewModel(MODEL_EXTERIOR); break;
    case ID_NEW_RECOMMENDED: OnNewModel(MODEL_RECOMMENDED); break;
    case ID_NEW_USER: OnNewModel(MODEL_USER); break;
    case ID_FILE_OPEN_MODEL: OnFileOpen(); break;
    case ID_FILE_VRML: OnFileVrml(); break;
    case ID_FILE_SAVE_MODEL: OnFileSave(); break;
    case ID_FILE_SAVE_MODEL_AS: OnFileSaveAs(); break;
    case ID_FILE_CAPTURE: OnCapture(); break;
    case ID_FILE_PREVIEW: OnFilePreview(); break;
    case ID_FILE_PRINT_MODEL: OnFilePrint(); break;
    case ID_FILE_EXIT: OnExit(); break;
    case ID_VIEW_CAMERA_BUTTONS: OnCameraButtons(); break;
    case ID_VIEW_FULL_SCREEN: OnFullScreen(); break;
    case ID_SPECIAL_ANIMATION: OnAnimationPath(); break;
    case ID_SPECIAL_DOCUMENT: OnDocumentDialog(); break;
    case ID_DEVICE_MOUSE: OnMouseDialog(); break;
    case ID_DEVICE_STEREO: OnStereoDialog(); break;
    case ID_SPECIAL_ESTIMATE: OnEstimate(); break;
    case ID_SPECIAL_LIBRARY: OnLibrary(); break;
    case ID_CONFIG_WINDOWS: OnWindowsDialog(); break;
    case ID_CONFIG_GRID: OnGridDialog(); break;
    case ID_SPECIAL_LIGHT: OnLight(); break;
    case ID_HELP_TOPICS: OnHelpTopics(); break;
    case ID_WEB_MAKER: case ID_WEB_HOMEPAGE: case ID_WEB_QUESTIONS: case ID_WEB_DOWNLOAD: case ID_WEB_LIBRARY:
      OnWebPage(id);
      break;
    default: OnNothing(); break;  // ID_KOREAN_ONLY_1, ID_KOREAN_ONLY_2 and the unused ids
  }
}

void CMainFrame::OnNewModel(uint32_t kind) {
  if (!CheckWallDrawingDone()) return;
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (doc && !doc->AskSaveModel()) return;
  m_modelKind = kind;
  PostMessage(WM_VEDRA_LOADMODEL, 0xFF00, 0);
}

bool CMainFrame::OpenCheckedFile(const char* defExt, const char* filter, CString& path) {
  CFileDialog dialog(TRUE, defExt, defExt, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, this);
  dialog.m_ofn.lpstrInitialDir = m_modelDir;
  if (dialog.DoModal() != IDOK) return false;
  path = dialog.GetPathName();
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowMessage(kFileNotFound, kQuestionStyle);
    return false;
  }
  ::CloseHandle(file);
  m_modelDir = FolderOf(path);
  return true;
}

void CMainFrame::OnFileOpen() {
  if (!CheckWallDrawingDone()) return;
  CString path;
  if (!OpenCheckedFile("*.tavo", " Tavo VEDRA Files(*.TAVO)|*.tavo||", path)) return;
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (!doc || !doc->AskSaveModel()) return;
  m_modelKind = MODEL_INTERIOR;
  doc->SetTitle(path);
  PostMessage(WM_VEDRA_LOADMODEL, 0xFF01, 0);
}

void CMainFrame::OnFileVrml() {
  if (!CheckWallDrawingDone()) return;
  CString path;
  if (!OpenCheckedFile("*.wrl", " VRML Files(*.WRL)|*.wrl||", path)) return;
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (!doc || !doc->AskSaveModel()) return;
  m_modelKind = MODEL_VRML_VIEW;
  doc->SetTitle("Vedra1");
  SendMessage(WM_VEDRA_LOADMODEL, 0xFF00, 0);
  WTnode* node = WTmovsepnode_new(WTuniverse_getrootnodes());
  if (!node || !WTnode_load(node, path, 1.0f)) {
    if (node) WTnode_delete(node);
    ShowMessage(kFileNotFound, kQuestionStyle);
    return;
  }
  WTnode_setname(node, "WRL");
  WTnode_rotation(node, 0.0f, 0.0f, 3.1415927f, 3);
}

void CMainFrame::OnFileSave() {
  RepaintShownView();
  AfxDoWaitCursor(1);
  if (m_pDoc) m_pDoc->SaveModel(0, FALSE);
  AfxDoWaitCursor(-1);
}

void CMainFrame::OnFileSaveAs() {
  RepaintShownView();
  AfxDoWaitCursor(1);
  if (m_pDoc) m_pDoc->SaveModel(0, TRUE);
  AfxDoWaitCursor(-1);
}

void CMainFrame::OnCapture() { CaptureView(true); }

void CMainFrame::OnFilePreview() {
  if (!CheckWallDrawingDone()) return;
  CaptureView(false);
  RepaintShownView();
  if (CView* view = GetShownView()) view->OnFilePrintPreview();
}

void CMainFrame::OnFilePrint() {
  if (!CheckWallDrawingDone()) return;
  CaptureView(false);
  RepaintShownView();
  if (CView* view = GetShownView()) view->OnFilePrint();
}

void CMainFrame::OnExit() {
  if (!CheckWallDrawingDone()) return;
  RepaintShownView();
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (doc && !doc->AskSaveModel()) return;
  PostMessage(WM_CLOSE);
}

void CMainFrame::OnCameraButtons() {
  if (m_activeFrame != ACTIVE_3D) return;
  g_cameraButtons = !g_cameraButtons;
}

void CMainFrame::OnFullScreen() {
  if (m_activeFrame != ACTIVE_3D) return;
  if (ToggleFullScreen(!g_fullScreen)) g_fullScreen = !g_fullScreen;
}

void CMainFrame::OnUpdateCameraButtons(CCmdUI* pCmdUI) { pCmdUI->SetCheck(g_cameraButtons); }

void CMainFrame::OnUpdateFullScreen(CCmdUI* pCmdUI) { pCmdUI->SetCheck(g_fullScreen); }

// The 3D dialogs come with the simulator's tools.
void CMainFrame::OnAnimationPath() {}
void CMainFrame::OnDocumentDialog() {}
void CMainFrame::OnMouseDialog() {}
void CMainFrame::OnStereoDialog() {}
void CMainFrame::OnLight() {}

void CMainFrame::OnLibrary() { OnLibraryMessage(0, 0); }

void CMainFrame::OnWindowsDialog() {
  if (!CheckWallDrawingDone()) return;
  if (m_activeFrame != ACTIVE_PLAN || !m_pPlanFrame) return;
  CPlanWindowPropertyDlg dialog(this);
  dialog.m_pView = m_pPlanFrame->GetActiveView();
  dialog.DoModal();
}

void CMainFrame::OnGridDialog() {
  if (!CheckWallDrawingDone()) return;
  if (m_activeFrame == ACTIVE_PLAN && m_pPlanFrame) m_pPlanFrame->GetPlanBar().OnGridSetting();
}

void CMainFrame::OnHelpTopics() {
  if (!CheckWallDrawingDone()) return;
  CString base;
  GetAppDir(theApp, base);
  ::ShellExecuteA(m_hWnd, nullptr, base + "Vedra.chm", nullptr, nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OnWebPage(UINT id) { OpenUrlInBrowser(WebAddress(id)); }

void CMainFrame::OpenUrlInBrowser(const char* address) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command\\", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    ShowMessage("Internet Explore에 대한 정보가 존재하지 않습니다.", kQuestionStyle);
    return;
  }
  CString command;
  ReadRegistryString(key, nullptr, command);
  CloseRegisterKey(key);
  if (command.IsEmpty()) return;
  command += address;
  const UINT result = ::WinExec(command, SW_SHOWNORMAL);
  const char* text = nullptr;
  switch (result) {
    case 0: text = "메모리나  리소스가 부족합니다."; break;
    case 2: text = kFileNotFound; break;
    case 3: text = "지정한 디렉토리를 찾을수 없습니다."; break;
    case 11: text = "실행파일이 깨졌거나 파일 포맷이 맞지 않습니다."; break;
    default: break;
  }
  if (text) ShowMessage(text, kQuestionStyle);
}

// Moves the capture to the file the user names; a cancel deletes it.
void CMainFrame::SaveCapture(const CString& capture) {
  CString works;
  theApp.GetWorksDir(works);
  CFileDialog dialog(FALSE, "*.bmp", "*.bmp", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, " Bitmap Files(*.BMP)|*.bmp||",
                     this);
  dialog.m_ofn.lpstrInitialDir = works;
  if (dialog.DoModal() != IDOK) {
    ::SetFileAttributesA(capture, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(capture);
    return;
  }
  const CString target = dialog.GetPathName();
  if (::GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
    ::SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(target);
  }
  ::MoveFileA(capture, target);
}

bool CMainFrame::CaptureView(bool askForFile) {
  AfxDoWaitCursor(1);
  CString path;
  GetTempDir(theApp, path);
  path += kCaptureFile;
  CView* view = GetShownView();
  RECT rect{0, 0, 0, 0};
  if (view) {
    view->GetClientRect(&rect);
    view->ClientToScreen(&rect);
  }
  CSceneProgressWnd progress(this, "Capture ... ", rect.right - 250, rect.bottom + 1, rect.right - 4, rect.bottom + 51,
                             TRUE);
  progress.SetRange(0, 100, 1);
  for (int i = 0; i < 100; i++) progress.StepIt();
  const bool captured = view && CaptureWindowToDib(path, view, SRCCOPY, 0, 0, 0, 0, 0);
  if (captured && askForFile) SaveCapture(path);
  AfxDoWaitCursor(-1);
  progress.DestroyWindow();
  return captured;
}
