// The program's one document: the current model with its plan selection, the model file, and the
// creation, opening, saving and replacing of models. What lies outside it the document asks of
// the shell (doc/shell.h) and of the 3D simulator (doc/simulator.h).
#pragma once
#include "afx/afxwin.h"
#include "doc/planselection.h"
#include "models/modelfile.h"

class CProgressWnd;
class Wall;

// File-name states of the document.
enum : int { FILE_NEW = 1, FILE_NAMED = -1, FILE_FAILED = 0 };

class CVedraDoc : public ModelDocument {
  DECLARE_DYNCREATE(CVedraDoc)
public:
  CVedraDoc();
  ~CVedraDoc() override;

  BOOL IsModified() override { return m_bModified; }
  void SetModifiedFlag(BOOL bModified = TRUE) override { m_bModified = bModified; }
  BOOL OnNewDocument() override;
  BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
  void OnCloseDocument() override;
  // Load and save failures are told by the document's own callers.
  void ReportSaveLoadException(LPCTSTR, CException*, BOOL, UINT) override {}

  // An empty path makes a new model of the shell's model kind; a path opens that file. 1 on
  // success, 0 when the file could not be opened (a new interior model is then on its way).
  int CreateNewModel(const char* path, CProgressWnd* progress, uint32_t parameter);
  // Offers to save a changed model, then releases it. 0 when cancelled or the save failed.
  int AskSaveModel();
  // 1 when saved; 0 when the file dialog was cancelled or the save failed (the model, its
  // modified flag, title and file-name state are then as before).
  int SaveModel(int unused, BOOL saveAs);
  void ClearModelScene();
  void ResetWorkState();
  // The plan selection's wall operations (planselection.h).
  void SelectWall(Wall* wall, int mode) { m_selection.SelectWall(wall, mode); }
  int DeselectWall(Wall* wall, int mode) { return m_selection.DeselectWall(wall, mode); }
  bool IsWallSelected(const Wall* wall) const { return m_selection.IsWallSelected(wall); }
  PlanSelection& GetSelection() { return m_selection; }

  uint32_t m_words[4] = {0, 0, 0, 0};
  int m_fileState = FILE_NEW;

private:
  int CreateEmptyModel();
  int OpenStoredModel(const char* path, CProgressWnd* progress, uint32_t parameter);

  PlanSelection m_selection;
};

// The global frame-mode word that room creation reads (2 while a new model is made).
extern int g_frameMode;
