#include "plan_host_double.h"

#include "models/room.h"

namespace {

// A scene object of the stand-in scene.
class FakeSceneObject : public CObject {};

}  // namespace

RecordingPlanHost::RecordingPlanHost() { SetPlanHost(this); }

RecordingPlanHost::~RecordingPlanHost() {
  SetPlanHost(nullptr);
  for (auto& entry : m_scene) delete entry.first;
}

int RecordingPlanHost::ShowMessage(const char* text, const char* caption, unsigned type) {
  messages.push_back({text ? text : "", caption ? caption : "(null)", type});
  return IDOK;
}

void RecordingPlanHost::SetModifiedFlag(BOOL modified) {
  if (modified) ++modifiedCount;
}

void RecordingPlanHost::SelectWall(Wall* wall, int mode) {
  if (mode == -2) selectedWalls.push_back(wall);
}

void RecordingPlanHost::DeselectRoom(Room* room) { deselectedRooms.push_back(room); }

CString RecordingPlanHost::GetControlText(int id) {
  auto it = controls.find(id);
  return it == controls.end() ? CString() : CString(it->second.c_str());
}

void RecordingPlanHost::SetControlText(int id, const char* text) { controls[id] = text ? text : ""; }

CString RecordingPlanHost::GetSceneObjectName(CObject* sceneObject) {
  auto it = m_scene.find(sceneObject);
  return it == m_scene.end() ? CString() : CString(it->second.c_str());
}

void RecordingPlanHost::RemoveSceneObject(CObject* sceneObject) {
  auto it = m_scene.find(sceneObject);
  if (it == m_scene.end()) return;
  removedScene.push_back(it->second);
  delete it->first;
  m_scene.erase(it);
}

void RecordingPlanHost::RemoveSceneObjectByName(const char* name) {
  if (!name || !*name) return;
  for (auto& entry : m_scene) {
    if (entry.second == name) {
      RemoveSceneObject(entry.first);
      return;
    }
  }
}

int RecordingPlanHost::RemoveSceneObjectsContaining(const char* text) {
  std::vector<CObject*> found;
  for (auto& entry : m_scene) {
    if (entry.second.find(text) != std::string::npos) found.push_back(entry.first);
  }
  for (CObject* object : found) RemoveSceneObject(object);
  return static_cast<int>(found.size());
}

void RecordingPlanHost::CollectRoomMaterials(CObject*) { ++materialCollections; }

void RecordingPlanHost::ExportRoom(Room* room, Room* neighbourGuard, const char* name,
                                   Mesh* extraMeshes, int sceneFlag, int, int, CProgressWnd*,
                                   int keepFile) {
  // The key as the room's file carries it: the id, then "+Dummy=" or "+name=".
  std::string derived = name ? name : "";
  if (!name && room->m_pOwner) derived = static_cast<const char*>(ExtractRoomName(GetSceneObjectName(room->m_pOwner)));
  std::string key = static_cast<const char*>(room->FormatId());
  if (extraMeshes) {
    key += "+Dummy=";
  } else if (!derived.empty()) {
    key += "+" + derived + "=";
  }
  // Loading the new file replaces the room's previous scene object.
  if (room->m_pOwner) RemoveSceneObject(room->m_pOwner);
  CObject* shown = new FakeSceneObject;
  m_scene[shown] = key;
  room->m_pOwner = shown;
  room->m_state |= ROOM_EXPORTED;
  exports.push_back({room, neighbourGuard, name ? name : "(null)", extraMeshes != nullptr, sceneFlag,
                     keepFile, key});
}

std::vector<std::string> RecordingPlanHost::SceneNames() const {
  std::vector<std::string> names;
  for (const auto& entry : m_scene) names.push_back(entry.second);
  return names;
}

void RecordingPlanHost::Clear() {
  messages.clear();
  selectedWalls.clear();
  deselectedRooms.clear();
  removedScene.clear();
  exports.clear();
  materialCollections = 0;
  modifiedCount = 0;
}
