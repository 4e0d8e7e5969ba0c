#include "plan_host_double.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

#include "models/libraryfile.h"
#include "models/room.h"

namespace fs = std::filesystem;

namespace {

// A scene object of the stand-in scene.
class FakeSceneObject : public CObject {};

fs::path Utf8Path(const std::string& text) { return fs::u8path(text); }

std::string Utf8Text(const fs::path& path) { return path.u8string(); }

}  // namespace

RecordingPlanHost::RecordingPlanHost() {
  static std::atomic<int> count{0};
  std::error_code ec;
  const fs::path root = fs::temp_directory_path(ec) /
                        ("vedra-host-" + std::to_string(static_cast<long long>(
                                             fs::file_time_type::clock::now().time_since_epoch().count())) +
                         "-" + std::to_string(count++));
  fs::create_directories(root / "Lib" / "temp", ec);
  fs::create_directories(root / "Lib" / "Symbol", ec);
  fs::create_directories(root / "Database", ec);
  m_root = Utf8Text(root) + kPathSeparator;
  SetPlanHost(this);
}

RecordingPlanHost::~RecordingPlanHost() {
  SetPlanHost(nullptr);
  for (auto& entry : m_scene) delete entry.first;
  std::error_code ec;
  fs::remove_all(Utf8Path(m_root), ec);
}

int RecordingPlanHost::ShowUnownedMessage(const char* text, const char* caption, unsigned type) {
  messages.push_back({text ? text : "", caption ? caption : "(null)", type | 0x80000000u});
  return answer;
}

CObject* RecordingPlanHost::LoadObjectFile(const char* fileName, int kind, int kind2,
                                           const ScenePlacement& placement) {
  CObject* shown = nullptr;
  std::error_code ec;
  if (fs::is_regular_file(Utf8Path(LibPath(fileName)), ec)) {
    shown = new FakeSceneObject;
    m_scene[shown] = "";
    m_files[shown] = fileName;
  } else {
    messages.push_back({std::string("cannot read ") + fileName, "loader", 0});
  }
  loads.push_back({fileName, kind, kind2, placement, shown});
  return shown;
}

CString RecordingPlanHost::GetSceneObjectFileName(CObject* sceneObject) {
  auto it = m_files.find(sceneObject);
  return it == m_files.end() ? CString() : CString(it->second.c_str());
}

void RecordingPlanHost::LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) {
  if (m_scene.find(sceneObject) == m_scene.end()) return;
  if (name) m_scene[sceneObject] = name;
  m_links[sceneObject] = planObject;
  if (Room* room = dynamic_cast<Room*>(planObject))
    exports.push_back({room, m_scene[sceneObject], m_files[sceneObject]});
}

CObject* RecordingPlanHost::LinkedPlanObject(CObject* sceneObject) const {
  auto it = m_links.find(sceneObject);
  return it == m_links.end() ? nullptr : it->second;
}

CString RecordingPlanHost::GetLibDir() { return CString((m_root + "Lib" + kPathSeparator).c_str()); }

CString RecordingPlanHost::GetDatabaseDir() {
  return CString((m_root + "Database" + kPathSeparator).c_str());
}

std::string RecordingPlanHost::LibPath(const std::string& relative) const {
  std::string path = relative;
  std::replace(path.begin(), path.end(), '\\', kPathSeparator);
  return m_root + "Lib" + kPathSeparator + path;
}

std::string RecordingPlanHost::DatabasePath(const std::string& name) const {
  return m_root + "Database" + kPathSeparator + name;
}

void RecordingPlanHost::DeleteFolderTree(const char* pattern) {
  deletePatterns.push_back(pattern);
  ::DeleteFolderTree(pattern);
}

void RecordingPlanHost::RemoveTempFolder() {
  std::error_code ec;
  fs::remove_all(Utf8Path(m_root + "Lib" + kPathSeparator + "temp"), ec);
}

std::vector<std::string> RecordingPlanHost::TempFiles() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(Utf8Path(m_root + "Lib" + kPathSeparator + "temp"), ec))
    names.push_back(Utf8Text(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

int RecordingPlanHost::ShowMessage(const char* text, const char* caption, unsigned type) {
  messages.push_back({text ? text : "", caption ? caption : "(null)", type});
  return answer;
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
  loads.clear();
  deletePatterns.clear();
  progressSteps = 0;
  materialCollections = 0;
  modifiedCount = 0;
}
