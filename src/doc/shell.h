// What the document and the views ask of the program's shell: the main window and its message
// boxes, the state the main frame keeps of the work in hand, the frames and the switch between
// them, the wall-drawing check, the plan frame's parts and the settings.
//
// The main frame installs itself with SetShell when it is made; until then (and after
// SetShell(nullptr)) a shell without a main window answers: its message boxes have no owner, it
// keeps no state and has no frames, it refuses nothing, its settings are the defaults and it has
// no mouse sensor nor system folder.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "doc/shellsettings.h"
#include "toolkit/wt.h"

class CVedraDoc;

// The frames of the document, one shown at a time (the active frame word).
enum : int { ACTIVE_NONE = 0, ACTIVE_PLAN = 1, ACTIVE_3D = 2 };
// Frame-switch codes, sent as commands to the main window; they share their values with the
// model kinds (interior, exterior, ...), which choose the frame a new model shows first.
enum : UINT { SWITCH_PLAN = 0xFF00, SWITCH_3D = 0xFF01, SWITCH_PLAN_MIN = 0xFF02, SWITCH_3D_MIN = 0xFF03 };
// The main window's deferred steps: load a model (0xFF00 a new one, 0xFF01 the file named by the
// document's title), the model ready (with the switch code), the library dialogs, the preset
// lights.
constexpr UINT WM_VEDRA_LOADMODEL = WM_APP + 1;
constexpr UINT WM_VEDRA_MODELREADY = WM_APP + 2;
constexpr UINT WM_VEDRA_LIBRARY = WM_APP + 3;
constexpr UINT WM_VEDRA_LIBRARYADD = WM_APP + 4;
constexpr UINT WM_VEDRA_PRESETLIGHTS = WM_APP + 5;

// The refusal of a mode or frame change while a chain of walls is being drawn.
constexpr const char kWallDrawingRefusal[] = "먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다";

class ShellServices {
public:
  virtual ~ShellServices() = default;

  // The main window, or null while there is none: the owner of the document's dialogs and the
  // window that the deferred steps go to.
  virtual CWnd* GetMainWindow() = 0;
  // A message box owned by the main window, with the program's caption.
  virtual int ShowMessage(const char* text, UINT type) = 0;
  // After a model step stopped half-way: the splash goes, the main window comes back maximized
  // and the wait cursor ends.
  virtual void ShowMainWindowAgain() = 0;

  // What the main frame keeps of the work in hand: the current document, the kind of model that
  // a new model takes (0xFF00 interior, 0xFF01 exterior, ...), the folder of the last model
  // opened or saved and the frame shown.
  virtual void SetCurrentDocument(CVedraDoc* doc) = 0;
  virtual uint32_t GetModelKind() = 0;
  virtual void SetModelKind(uint32_t kind) = 0;
  virtual CString GetModelFolder() = 0;
  virtual void SetModelFolder(const CString& folder) = 0;
  virtual void SetActiveFrame(int active) = 0;

  // A plan (ACTIVE_PLAN) or 3D (ACTIVE_3D) frame tells when it is made and when it goes.
  virtual void AttachFrame(int which, CMDIChildWnd* frame) = 0;
  virtual void DetachFrame(int which, CMDIChildWnd* frame) = 0;
  // Makes the hidden 3D frame of the document when there is none; 1, or 0 when it could not be
  // made after a few tries (the user is told; work goes on with the plan frame).
  virtual int EnsureSimFrame(CVedraDoc* doc) = 0;
  // Closes the 3D frame, trying a few times; false (the user told) when it stays.
  virtual bool CloseSimFrameFully() = 0;
  // The document let its model go: the plan frame comes to the front, the current document is
  // forgotten, and the 3D frame is asked to close and forgotten.
  virtual void ModelReleased() = 0;
  // Switches to a frame as the frame-switch commands do (SWITCH_*).
  virtual void SwitchFrame(UINT code) = 0;
  // 1 when a mode change may go on; 0 after refusing it with kWallDrawingRefusal (the plan
  // frame is shown and a chain of walls is being drawn).
  virtual int CheckWallDrawingDone() = 0;
  // Draws the 3D view again (state -1 after the plan frame came to the front, 0 on the
  // walk-through, 1 after the 3D frame came).
  virtual void RefreshSimView(int state) = 0;

  // The plan frame: its view zoomed to the whole plan (as the bar's fit button), the wall that
  // an opening being placed snaps to forgotten, its view enabled again.
  virtual void FitPlanView() = 0;
  virtual void ClearWallUnderCursor() = 0;
  virtual void EnablePlanView() = 0;

  // The plan window's colours and values.
  virtual PlanWindowSettings& GetPlanWindowSettings() = 0;

  // The 3D frame, or null while there is none.
  virtual CMDIChildWnd* GetSimFrame() = 0;
  // The simulator's settings, the toolkit windows' mode as the toolkit was started with it (0, or
  // 36 for stereo), the application's mouse sensor (null before the toolkit started) and the
  // folder of the simulator's own models (the base folder's "System\").
  virtual SimGridSettings& GetSimGridSettings() = 0;
  virtual SimWindowSettings& GetSimWindowSettings() = 0;
  virtual SimDeviceSettings& GetSimDeviceSettings() = 0;
  virtual int GetWindowMode() = 0;
  virtual WTsensor* GetMouseSensor() = 0;
  virtual CString GetSystemDir() = 0;
};

// The shell while there is no main frame (tests derive their shells from it).
class ShellWithoutMainWindow : public ShellServices {
public:
  CWnd* GetMainWindow() override { return nullptr; }
  int ShowMessage(const char* text, UINT type) override;
  void ShowMainWindowAgain() override;
  void SetCurrentDocument(CVedraDoc*) override {}
  uint32_t GetModelKind() override { return 0xFF00; }
  void SetModelKind(uint32_t) override {}
  CString GetModelFolder() override { return CString(); }
  void SetModelFolder(const CString&) override {}
  void SetActiveFrame(int) override {}
  void AttachFrame(int, CMDIChildWnd*) override {}
  void DetachFrame(int, CMDIChildWnd*) override {}
  int EnsureSimFrame(CVedraDoc*) override { return 1; }
  bool CloseSimFrameFully() override { return true; }
  void ModelReleased() override {}
  void SwitchFrame(UINT) override {}
  int CheckWallDrawingDone() override { return 1; }
  void RefreshSimView(int) override {}
  void FitPlanView() override {}
  void ClearWallUnderCursor() override {}
  void EnablePlanView() override {}
  PlanWindowSettings& GetPlanWindowSettings() override { return m_plan; }
  CMDIChildWnd* GetSimFrame() override { return nullptr; }
  SimGridSettings& GetSimGridSettings() override { return m_grid; }
  SimWindowSettings& GetSimWindowSettings() override { return m_window; }
  SimDeviceSettings& GetSimDeviceSettings() override { return m_device; }
  int GetWindowMode() override { return 0; }
  WTsensor* GetMouseSensor() override { return nullptr; }
  CString GetSystemDir() override { return CString(); }

private:
  PlanWindowSettings m_plan;
  SimGridSettings m_grid;
  SimWindowSettings m_window;
  SimDeviceSettings m_device;
};

ShellServices& GetShell();
// Installs the shell (not owned); null restores the shell without a main window.
void SetShell(ShellServices* shell);
