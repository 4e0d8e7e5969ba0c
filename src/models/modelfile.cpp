#include "models/modelfile.h"

#include <cstring>

IMPLEMENT_DYNAMIC(ModelDocument, CDocument)

RelinkTable& GetRelinkTable(CArchive& ar) {
  ModelDocument* document = DYNAMIC_DOWNCAST(ModelDocument, ar.m_pDocument);
  if (document == nullptr) AfxThrowArchiveException(CArchiveException::genericException);
  return document->GetRelinkTable();
}

namespace {

[[noreturn]] void ThrowNotAModel(int line) { throw MyCodeException{kModelFileSource, line, 1}; }

// True when the archive begins with the header string, byte for byte.
bool ReadHeader(CArchive& ar) {
  CString header;
  try {
    ar >> header;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  const size_t length = sizeof kModelFileHeader - 1;
  return static_cast<size_t>(header.GetLength()) == length &&
         std::memcmp(static_cast<LPCTSTR>(header), kModelFileHeader, length) == 0;
}

}  // namespace

ModelDocument::ModelDocument() = default;

ModelDocument::~ModelDocument() { delete m_pModel; }

void ModelDocument::SetModel(Model* model) {
  if (model == m_pModel) return;
  delete m_pModel;
  m_pModel = model;
}

void ModelDocument::Serialize(CArchive& ar) {
  ar.m_pDocument = this;
  m_relink.ResetLoad();
  if (ar.IsStoring()) {
    ar << CString(kModelFileHeader);
    ar.WriteObject(m_pModel);
    return;
  }
  if (!ReadHeader(ar)) ThrowNotAModel(kBadHeaderLine);
  SetModel(LoadModel(ar));
}

Model* ModelDocument::LoadModel(CArchive& ar) {
  Model* model = nullptr;
  try {
    ReadModelObject(ar, model);
  } catch (CException* e) {
    // The archive has deleted whatever it had read of the model.
    e->Delete();
    m_relink.ResetLoad();
    ThrowNotAModel(kBadModelLine);
  } catch (...) {
    m_relink.ResetLoad();
    throw;
  }
  if (model == nullptr) {
    m_relink.ResetLoad();
    ThrowNotAModel(kBadModelLine);
  }

  model->Relink(m_relink);
  const bool resolved = m_relink.GetUnresolvedCount() == 0;
  m_relink.Free();
  if (!resolved || !IsLoadedPlanSound(model->m_frame)) {
    UntieLoadedPlan(model->m_frame);
    delete model;
    m_relink.ResetLoad();
    ThrowNotAModel(kBadModelLine);
  }
  m_relink.ReleaseJoinRecords();
  m_relink.ResetLoad();
  model->AfterLoad();
  return model;
}
