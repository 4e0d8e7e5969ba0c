// The document side of model files: the header that begins every model file and the document
// that holds one model and reads and writes it.
//
// A model file is the header string, then the Model as an object reference. Opening one reads
// the model into a new Model, relinks it, checks the plan and runs its after-load pass; only then
// does the new model replace the document's. A file that is not a model file, or that is
// truncated or damaged anywhere, fails with MyCodeException (code 1) and leaves the document's
// model as it was.
#pragma once

#include "afx/afx.h"
#include "models/model.h"
#include "models/mycodeexception.h"
#include "models/relink.h"

// The first item of every model file, stored as a string.
constexpr const char kModelFileHeader[] = "TAVO Vedra Archive Document...";

// The source name and lines that MyCodeException carries for a file that cannot be read.
constexpr const char kModelFileSource[] = "Common\\VedraDoc(Serialize)";
constexpr int kBadHeaderLine = 47;
constexpr int kBadModelLine = 72;

class ModelDocument : public CDocument {
  DECLARE_DYNAMIC(ModelDocument)
public:
  ModelDocument();
  // Deletes the model.
  ~ModelDocument() override;

  // Stores the header and the model, or reads them (see above). The archive's document becomes
  // this document either way.
  void Serialize(CArchive& ar) override;
  // The model stays until another one replaces it.
  void DeleteContents() override {}

  Model* GetModel() const { return m_pModel; }
  // Takes the model over in place of the current one, which is deleted.
  void SetModel(Model* model);
  RelinkTable& GetRelinkTable() { return m_relink; }

protected:
  Model* m_pModel = nullptr;
  RelinkTable m_relink;

private:
  Model* LoadModel(CArchive& ar);
};

// A plan just relinked holds together when every wall has its two poles and every pole group,
// room side and band chain is as the plan keeps them: each pole's join list starts with its own
// record, the poles of a group list the same records, the neighbours of a pole are in its
// group, every wall side held by a room is one of that room's wall sides and the other way
// round, and each band sits on the one before it; and when its numbers are finite and within
// the plan's range (coordinates within what the 0.001 grid holds, sizes and levels within
// 10 km). False for a damaged file.
bool IsLoadedPlanSound(const Frame& frame);
// Cuts every link between the objects of a loaded plan that is not sound (rooms of walls, walls
// and poles of wall sides, pole groups, neighbours, bands below), so that deleting it touches
// nothing but its own objects. The join records stay with the relink table.
void UntieLoadedPlan(Frame& frame);
