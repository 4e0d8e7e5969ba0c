#include "models/librarymodel.h"

#include <algorithm>

#include "ftk3ds/ftk3ds.h"
#include "models/fileutil.h"
#include "models/planhost.h"
#include "models/scene_node.h"

namespace {

constexpr uint32_t kRoomKind = 21;
constexpr float kInchMillimetres = 25.4f;
constexpr char kCannotCreate[] = "임시 파일을 만들수가 없습니다.";
constexpr char kCannotReadSource[] = "원본 파일을 읽을수가 없습니다.";
constexpr char kCannotReadLibrary[] = "라이브러리 파일을 읽는것을 실패했습니다. ";
constexpr unsigned kMessageStyle = MB_TASKMODAL | MB_ICONQUESTION;

void Tell(const char* text) { GetPlanHost().ShowMessage(text, kPlanCaption, kMessageStyle); }

bool EndsWith3ds(const CString& name) { return name.GetLength() >= 3 && name.Right(3).CompareNoCase("3ds") == 0; }

// Shows every used entry of the reader's error list, last to first, and clears it; false when
// the last step recorded an error.
bool StepSucceeded() {
  if (!ftkerr3ds) return true;
  const ErrRec3ds* list = GetErrList3ds();
  for (int i = ERR_LIST_SIZE3DS - 1; i >= 0; --i)
    if (list[i].code != 0 && list[i].message) GetPlanHost().ShowMessage(list[i].message, nullptr, MB_OK);
  ClearErrList3ds();
  return false;
}

// Opens a .3ds file; on failure every file is closed, the table released and the message (if any)
// shown.
File3ds* Open3ds(const char* path, const char* mode, const char* failure) {
  ClearErrList3ds();
  File3ds* file = OpenFile3ds(path, mode);
  if (file) return file;
  CloseAllFiles3ds();  // with the file table, any file that this copy opened before
  if (failure) Tell(failure);
  return nullptr;
}

// Reads the open source into a database and writes it to the open target; every failing step
// shows its errors once.
bool CopyDatabase(File3ds* source, File3ds* target) {
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  bool done = db && StepSucceeded();
  if (done) {
    ReadDatabase3ds(source, db);
    done = StepSucceeded();
  }
  if (done) {
    WriteDatabase3ds(target, db);
    done = StepSucceeded();
  }
  ReleaseDatabase3ds(&db);
  done = StepSucceeded() && done;
  CloseAllFiles3ds();
  return StepSucceeded() && done;
}

struct Box {
  bool any = false;
  float low[3] = {0.0f, 0.0f, 0.0f};
  float high[3] = {0.0f, 0.0f, 0.0f};
};

void Widen(Box& box, const MeshObj3ds& mesh) {
  for (uint16_t i = 0; i < mesh.vertexCount; ++i) {
    const float p[3] = {mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z};
    for (int k = 0; k < 3; ++k) {
      box.low[k] = box.any ? std::min(box.low[k], p[k]) : p[k];
      box.high[k] = box.any ? std::max(box.high[k], p[k]) : p[k];
    }
    box.any = true;
  }
}

Box MeshBox(Database3ds* db) {
  Box box;
  const uint32_t count = GetMeshCount3ds(db);
  for (uint32_t i = 0; i < count; ++i) {
    MeshObj3ds* mesh = nullptr;
    GetMeshByIndex3ds(db, i, &mesh);
    if (mesh && mesh->vertices) Widen(box, *mesh);
    ReleaseMeshObj3ds(&mesh);
  }
  return box;
}

float MasterScale(Database3ds* db) {
  MeshSettings3ds* settings = nullptr;
  GetMeshSettings3ds(db, &settings);
  const float scale = settings ? settings->masterScale : 1.0f;
  ReleaseMeshSettings3ds(&settings);
  return scale;
}

// Measures the open file; false (size untouched) when it cannot be read.
bool MeasureFile(File3ds* file, float size[3]) {
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  bool read = false;
  if (db) {
    ReadDatabase3ds(file, db);
    read = !ftkerr3ds;
  }
  if (read) {
    const Box box = MeshBox(db);
    const float factor = MasterScale(db) * kInchMillimetres;
    read = !ftkerr3ds;
    for (int k = 0; read && k < 3; ++k) size[k] = (box.high[k] - box.low[k]) * factor;
  }
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  ClearErrList3ds();
  return read;
}

}  // namespace

CString MakeLibraryFilePath(const char* objectName, uint32_t kind, const char* modelFile) {
  if (kind == kRoomKind) return GetLibraryPath(modelFile);
  const CString model(modelFile);
  return GetTempDir() + FileSafeName(objectName) + "." + model.Right(std::min(3, model.GetLength()));
}

CString MakeLibraryFilePath(const SceneGroup& object, const char* modelFile) {
  return MakeLibraryFilePath(object.m_name, object.m_kind, modelFile);
}

int CopyLibraryModel(const char* objectName, uint32_t kind, const char* modelFile, CString& outPath) {
  const CString source = GetLibraryPath(modelFile);
  outPath = MakeLibraryFilePath(objectName, kind, modelFile);
  if (kind == kRoomKind && FileExists(outPath)) return 1;
  File3ds* target = Open3ds(outPath, "w", kCannotCreate);
  if (!target) return 0;
  File3ds* from = Open3ds(source, "r", kCannotReadSource);
  if (!from) {
    RemoveFile(outPath);
    return 0;
  }
  if (CopyDatabase(from, target)) return 1;
  RemoveFile(outPath);
  return 0;
}

void ReadLibraryFile(const char* modelFile, float size[3]) {
  if (EndsWith3ds(CString(modelFile))) ReadLibraryModelSize(modelFile, size);
}

bool ReadLibraryModelSize(const char* modelFile, float size[3]) {
  File3ds* file = Open3ds(GetLibraryPath(modelFile), "r", kCannotReadLibrary);
  return file && MeasureFile(file, size);
}

bool ReadModelSize3ds(const char* path, float size[3]) {
  File3ds* file = Open3ds(path, "r", nullptr);
  return file && MeasureFile(file, size);
}
