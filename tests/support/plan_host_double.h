// A plan host for the tests: it records every call that the plan makes into the rest of the
// program and keeps a small stand-in for the 3D scene, in which an exported room is shown by an
// object named by the room's key.
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
  struct Export {
    Room* room;
    Room* guard;
    std::string name;  // "(null)" when none was given
    bool extraMeshes;
    int sceneFlag;
    int keepFile;
    std::string key;   // the key of the scene object that now shows the room
  };

  RecordingPlanHost();
  ~RecordingPlanHost() override;

  int ShowMessage(const char* text, const char* caption, unsigned type) override;
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
  void ExportRoom(Room* room, Room* neighbourGuard, const char* name, Mesh* extraMeshes,
                  int sceneFlag, int loadFlag, int meshFlag, CProgressWnd* progress,
                  int keepFile) override;

  // Names of the scene objects that are shown now.
  std::vector<std::string> SceneNames() const;
  void Clear();

  int creationState = 0;
  int modifiedCount = 0;
  std::vector<Message> messages;
  std::vector<Wall*> selectedWalls;
  std::vector<Room*> deselectedRooms;
  std::map<int, std::string> controls;
  std::vector<std::string> removedScene;  // names of the scene objects removed, in order
  int materialCollections = 0;
  std::vector<Export> exports;

private:
  std::map<CObject*, std::string> m_scene;
};
