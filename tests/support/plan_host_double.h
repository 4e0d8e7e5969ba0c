// A plan host for the tests: it records every call that the plan makes into the rest of the
// program and keeps a small stand-in for the 3D scene, in which an exported room is shown by an
// object named by the room's key. Its folders are a fresh temporary folder of its own ("Lib"
// with "Symbol" and "temp", and "Database"), removed with the host.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "models/planhost.h"

class RecordingPlanHost : public PlanHost {
public:
  struct Message {
    std::string text;
    std::string caption;  // "(null)" for the program's own caption
    unsigned type;
  };
  // A room shown again: the key of the scene object that now shows it and its file.
  struct Export {
    Room* room;
    std::string key;
    std::string file;  // relative to the library folder
  };
  struct Load {
    std::string file;
    int kind;
    int kind2;
    ScenePlacement placement;
    CObject* object;  // null when the file could not be read
  };

  RecordingPlanHost();
  ~RecordingPlanHost() override;

  int ShowMessage(const char* text, const char* caption, unsigned type) override;
  int ShowUnownedMessage(const char* text, const char* caption, unsigned type) override;
  int GetCreationState() override { return creationState; }
  void SetModifiedFlag(BOOL modified) override;
  void SelectWall(Wall* wall, int mode) override;
  void DeselectRoom(Room* room) override;
  CString GetControlText(int id) override;
  void SetControlText(int id, const char* text) override;
  CString GetSceneObjectName(CObject* sceneObject) override;
  void RemoveSceneObject(CObject* sceneObject) override;
  void RemoveSceneObjectByName(const char* name) override;
  int RemoveSceneObjectsContaining(const char* text) override;
  void CollectRoomMaterials(CObject* sceneObject) override;
  CObject* LoadObjectFile(const char* fileName, int kind, int kind2,
                          const ScenePlacement& placement) override;
  CString GetSceneObjectFileName(CObject* sceneObject) override;
  void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) override;
  CString GetLibDir() override;
  CString GetDatabaseDir() override;
  void DeleteFolderTree(const char* pattern) override;
  LibraryDatabaseList* GetLibraryList() override { return library; }
  void ProgressStepIt(CProgressWnd*) override { ++progressSteps; }

  // Full paths in the host's folders; a relative name may use backslashes.
  std::string LibPath(const std::string& relative) const;
  std::string DatabasePath(const std::string& name) const;
  // Names of the files in the temporary folder, sorted.
  std::vector<std::string> TempFiles() const;
  // Makes a scene object say it was loaded from another file.
  void SetFileName(CObject* sceneObject, const std::string& file) { m_files[sceneObject] = file; }
  // Removes the temporary folder with its files.
  void RemoveTempFolder();
  // The plan object recorded in a scene object, or null.
  CObject* LinkedPlanObject(CObject* sceneObject) const;

  // Names of the scene objects that are shown now.
  std::vector<std::string> SceneNames() const;
  void Clear();

  int creationState = 0;
  int answer = IDOK;  // what every message box answers
  int modifiedCount = 0;
  std::vector<Message> messages;
  std::vector<Wall*> selectedWalls;
  std::vector<Room*> deselectedRooms;
  std::map<int, std::string> controls;
  std::vector<std::string> removedScene;  // names of the scene objects removed, in order
  int materialCollections = 0;
  std::vector<Export> exports;
  std::vector<Load> loads;
  std::vector<std::string> deletePatterns;
  int progressSteps = 0;
  LibraryDatabaseList* library = nullptr;  // not owned

private:
  std::string m_root;  // ends in a separator
  std::map<CObject*, std::string> m_scene;
  std::map<CObject*, std::string> m_files;
  std::map<CObject*, CObject*> m_links;
};
