// Reads any bytes as a .3ds file: the database, every mesh, material and object motion, the
// settings, and a copy written from the lazily read tree.
#include "ftk3ds/ftk3ds.h"
#include "every_record.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string TempPath(const char *suffix) {
  return (std::filesystem::temp_directory_path() /
          ("fuzz_ftk3ds_" + std::to_string(getpid()) + suffix))
      .string();
}

const std::string input = TempPath(".3ds");
const std::string output = TempPath("-copy.3ds");

void RemoveTemporaryFiles() {
  remove(input.c_str());
  remove(output.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const int registered = atexit(RemoveTemporaryFiles);
  (void)registered;
  FILE *f = fopen(input.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  ClearErrList3ds();
  File3ds *file = OpenFile3ds(input.c_str(), "r");
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  if (file) ReadDatabase3ds(file, db);

  ftk3ds_test::ReadEveryRecord(db);

  ClearErrList3ds();
  if (File3ds *out = OpenFile3ds(output.c_str(), "w")) WriteDatabase3ds(out, db);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  ClearErrList3ds();
  return 0;
}
