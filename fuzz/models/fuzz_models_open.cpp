// Opens arbitrary bytes as a model file. Whatever the input, the open must end in a new model
// whose plan is sound or in the document's exception with the previous model untouched, without
// reading outside the data, leaking or crashing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "models/modelfile.h"

namespace {

// The document's model before each open: a single wall, so that a failed open has something
// to keep.
Model* NewKeptModel() {
  Model* model = new Model;
  CRect rect;
  Frame& frame = model->m_frame;
  frame.AddDrawnWall(CPoint(0, 0), 0, 2400, 150, rect);
  CPoint end(3000, 0);
  frame.TrackDrawnWall(end, 0, rect);
  frame.AddDrawnWall(end, 0, 2400, 150, rect);
  frame.FinishDrawnWalls(end, 0, rect);
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterModelClasses(), true);
  (void)registered;
  ModelDocument doc;
  doc.SetModel(NewKeptModel());
  Model* kept = doc.GetModel();
  std::vector<BYTE> copy(data, data + size);
  copy.push_back(0);  // a buffer even for empty input
  CMemFile file(copy.data(), static_cast<UINT>(size));
  CArchive ar(&file, CArchive::load);
  try {
    doc.Serialize(ar);
    if (doc.GetModel() == nullptr || doc.GetModel() == kept || !IsLoadedPlanSound(doc.GetModel()->m_frame))
      abort();
  } catch (const MyCodeException&) {
    if (doc.GetModel() != kept || kept->m_frame.GetWallCount() != 1) abort();
  }
  return 0;
}
