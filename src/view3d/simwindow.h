// The 3D view's toolkit window and what runs in it: the window with its viewpoint on the view,
// its projection, the ground grid and the window document drawn into it every frame, framing a
// node or the whole scene, the redraw request, and the universe's per-frame action.
//
// A window made here knows its view (its data); the drawing and framing functions do nothing for
// a window without one.
#pragma once
#include "afx/afxwin.h"
#include "doc/shellsettings.h"
#include "toolkit/wt.h"
#include "view3d/simview_core.h"

class C3DView;

// The toolkit window on the view's window in the window mode (0, or 36 for stereo): the
// universe's roots (the first named "Root"), a new viewpoint at the start pose, the settings'
// background, clipping and view angle (radians), the grid and window-document callbacks. In
// stereo the viewpoint gets parallax 30 and convergence distance 1000. Fills the view's root,
// window, viewpoint and start pose.
void CreateSimulationWindow(C3DView* view, SimViewHandles& handles, int windowMode,
                            const SimWindowSettings& settings);
// Deletes the link (when there is one), the window's viewpoints and the window.
void DestroySimulationWindow(WTwindow* window, WTmotionlink* link);
// 0: the window's own perspective; otherwise a parallel projection over a 20000 square.
void SetWindowProjection(WTwindow* window, int perspective);

// The window's callbacks: the ground grid by the bar's grid state and the settings (nothing for
// a gap or maximum that gives no grid, the maximum kept a multiple of the gap), and the model's
// window document while the settings show it.
void DrawGrid(WTwindow* window, int eye);
void DrawWindowDocument(WTwindow* window, int eye);

// Moves the view's avatar to face the node from where it fits the window's view angle.
void FrameNodeInView(WTwindow* window, WTnode* node);
// Frames the node, or without one the whole scene less the avatar and the background object. In
// the top view the window's own fit operations do it (the flag goes to the node's).
void FitViewToNode(WTwindow* window, WTnode* node, int flag);

// Redraws the active 3D view when the request (simview_core.h) asks for it.
void RefreshSimView(int mode);

// The universe's per-frame action and event order (actions, links, tasks, paths), normal
// rendering. The action takes one key a frame off the toolkit's queue and hands it to the key
// handler.
void SetupSimActions();
// What the keys reach (the application's handler; none: they are only taken off the queue).
using SimKeyHandler = void (*)(int key);
void SetSimKeyHandler(SimKeyHandler handler);
