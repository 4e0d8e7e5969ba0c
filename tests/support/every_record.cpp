#include "every_record.h"

namespace ftk3ds_test {

void ReadEveryRecord(Database3ds *db) {
  MeshObj3ds *mesh = nullptr;
  for (uint32_t i = 0, n = GetMeshCount3ds(db); i < n; ++i) GetMeshByIndex3ds(db, i, &mesh);
  ReleaseMeshObj3ds(&mesh);
  Material3ds *mat = nullptr;
  for (uint32_t i = 0, n = GetMaterialCount3ds(db); i < n; ++i) GetMaterialByIndex3ds(db, i, &mat);
  ReleaseMaterial3ds(&mat);
  ObjectMotion3ds *motion = nullptr;
  for (uint32_t i = 0, n = GetObjectMotionCount3ds(db); i < n; ++i) GetObjectMotionByIndex3ds(db, i, &motion);
  ReleaseObjectMotion3ds(&motion);
  MeshSettings3ds *settings = nullptr;
  GetMeshSettings3ds(db, &settings);
  ReleaseMeshSettings3ds(&settings);
}

}  // namespace ftk3ds_test
