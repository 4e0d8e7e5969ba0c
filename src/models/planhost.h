// What the plan asks of the rest of the program: the application's plan settings and the calls
// into the main window, the current document, the plan editor's control bar, the 3D scene, the
// material collector, room export and the progress window.
//
// The application installs its host with SetPlanHost at start-up; until then (and after
// SetPlanHost(nullptr)) a host that does nothing answers.
#pragma once
#include <cstdint>

#include "afx/afx.h"

class CProgressWnd;
class LibraryDatabaseList;
class Mesh;
class Room;
class Wall;

#ifndef _WIN32
// Message box types and answers, as Windows defines them.
#ifndef MB_OK
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_TASKMODAL 0x00002000u
#define IDOK 1
#define IDCANCEL 2
#endif
#endif

// The separator of the folders that the host names. Texts that the model stores (file names
// relative to the library folder, such as "temp\\room.3ds") always use a backslash.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Where the scene's object loader places what it loads.
struct ScenePlacement {
  double angle = 0.0;  // turn about the vertical, degrees
  int side = 0;
  double x = 0.0;  // plan millimetres
  double y = 0.0;
  double elevation = 0.0;
  const char* texture = nullptr;
  int flags = 0;
  // The new object's name (a room's key); null or empty: the object's own id.
  const char* name = nullptr;
};

// Caption of every plan message box.
constexpr const char* kPlanCaption = " TAVO  Vedra  ";
// Plan refusals: task-modal, question icon, OK button.
constexpr unsigned kPlanRefusalStyle = MB_TASKMODAL | MB_ICONQUESTION | MB_OK;

// Controls of the plan editor's control bar.
enum {
  IDC_PLAN_ROOM_HEIGHT = 4096,  // "%dmm" of ceiling minus floor
  IDC_PLAN_FLOOR_LEVEL = 4098,  // "%dmm" of the floor level
  IDC_PLAN_ROOM_NAME = 4105,    // the room name
};

// Plan settings of the application object, with their start-up defaults.
struct PlanSettings {
  COLORREF unselectedWall = 0xDCDCDC;
  COLORREF selectedWall = 0x0000FF;
  COLORREF unselectedRoom = 0x00FFFF;
  COLORREF selectedRoom = 0x0000FF;
  COLORREF unselectedWallCenter = 0x648214;
  COLORREF selectedWallCenter = 0x648214;
  COLORREF leadLine = 0x648214;
  COLORREF leadLineAuxPoint = 0x000000;
  COLORREF dimensionFont = 0xFF0000;
  int nearWallPercent = 100;     // N: nearness of a point to a wall, % of its thickness
  int poleSnapPercent = 100;     // M: nearness of a point to a pole, % of its wall's thickness
  int minJoinAngle = 15;         // degrees
  int mergeAngleTolerance = 10;  // degrees
  int dimensionTextSize = 250;   // HIMETRIC
  int showDimensions = 1;
  int showCentreLines = 1;
  int trimOpenWallEnds = 0;
};

PlanSettings& GetPlanSettings();

// The largest length that the plan editor's fields give, either sign: a floor level plus a room
// height stays within the plan's 10 km, so that everything drawn with them opens again.
constexpr int32_t kBarLengthLimit = 5000000;
// A length field's millimetres: "-", "-mm" and "-0mm" give -10, anything else its leading
// integer (0 for none), held within kBarLengthLimit.
int32_t ParseBarMillimetres(const char* text);

class PlanHost {
public:
  virtual ~PlanHost() = default;

  // A message box owned by the main window; a null caption is the program's own.
  virtual int ShowMessage(const char* text, const char* caption, unsigned type);
  // A message box without an owner window.
  virtual int ShowUnownedMessage(const char* text, const char* caption, unsigned type);
  // A message box owned by the window (a window handle of the window system), or by none when
  // null; without a window system of its own the host shows it as ShowUnownedMessage.
  virtual int ShowMessageOwnedBy(void* owner, const char* text, const char* caption, unsigned type);
  // The application-wide creation state word (2 while the document creates a new model).
  virtual int GetCreationState();

  // The main frame's current document.
  virtual void SetModifiedFlag(BOOL modified);
  // Puts a wall into the document's wall selection (mode -2 keeps the others).
  virtual void SelectWall(Wall* wall, int mode);
  // Takes a room out of the document's selected-rooms list when it is there.
  virtual void DeselectRoom(Room* room);

  // The plan editor's control bar.
  virtual CString GetControlText(int id);
  virtual void SetControlText(int id, const char* text);

  // The model's 3D scene.
  virtual CString GetSceneObjectName(CObject* sceneObject);
  virtual void RemoveSceneObject(CObject* sceneObject);
  // Removes the scene object whose name equals the text (none for an empty text).
  virtual void RemoveSceneObjectByName(const char* name);
  // Removes every scene object whose name contains the text; returns how many.
  virtual int RemoveSceneObjectsContaining(const char* text);

  // Fills the active 3D view's material lists from a room's scene object (may be null).
  virtual void CollectRoomMaterials(CObject* sceneObject);

  // Loads a model or room file (relative to the library folder) into the scene as a new object
  // of the kind; the new scene object, or null when the file cannot be read (the loader shows
  // its own message).
  virtual CObject* LoadObjectFile(const char* fileName, int kind, int kind2,
                                  const ScenePlacement& placement);
  // The file name that a scene object was loaded from, relative to the library folder.
  virtual CString GetSceneObjectFileName(CObject* sceneObject);
  // Records the plan object that a scene object shows; a name, when given, becomes its name.
  virtual void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name);

  // The program's folders, each ending in kPathSeparator; empty when there is none. The library
  // folder holds "Symbol" and "temp"; the database folder holds the library database.
  virtual CString GetLibDir();
  virtual CString GetDatabaseDir();
  // Deletes every file that the pattern (a folder, then a file name with * and ?) finds; files
  // that cannot be deleted are skipped. An empty pattern means every file of the temporary
  // folder.
  virtual void DeleteFolderTree(const char* pattern);
  // The application's library category list (null before it is loaded).
  virtual LibraryDatabaseList* GetLibraryList();

  // The progress window; nothing happens when it no longer exists.
  virtual void ProgressSetRange(CProgressWnd* progress, int low, int high, int step);
  virtual void ProgressSetText(CProgressWnd* progress, const char* text);
  virtual void ProgressSetPos(CProgressWnd* progress, int pos);
  // Advances by the step and redraws.
  virtual void ProgressStepIt(CProgressWnd* progress);
};

PlanHost& GetPlanHost();
// Installs the host (not owned); null restores the host that does nothing.
void SetPlanHost(PlanHost* host);

// The library folder (GetLibDir) and its temporary folder ("temp" under it).
CString GetLibDir();
CString GetTempDir();
// The full path of a file named relative to the library folder (as the model stores it, with
// backslashes).
CString GetLibraryPath(const char* relative);

// Fills the material lists from a room's scene object before it is exported again.
void CollectRoomMaterials(CObject* sceneObject);
