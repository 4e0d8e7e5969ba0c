// The document in this process, without a main frame: its message boxes have no owner. Saving
// and the save question, a failed save, and files that are no model files.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "doc/simulator.h"
#include "doc/vedradoc.h"
#include "models/model.h"
#include "uitest.h"

namespace {

const char kCaption[] = " TAVO  Vedra  ";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder of its own for the files the tests write.
class Document : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    base = std::string(temp) + "vedra-doc-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(::GetTickCount64()) + "\\";
    ::CreateDirectoryA(base.c_str(), nullptr);
  }
  std::string base;
};

// A 3D side that records what the document asks of it, in order, and gives a pose of its own.
class RecordingSimulator : public SimulatorServices {
public:
  RecordingSimulator() { SetSimulator(this); }
  ~RecordingSimulator() override { SetSimulator(nullptr); }
  int LoadIntoSimulator(Scene& scene, CProgressWnd*, uint32_t) override {
    calls.push_back("load");
    loaded = &scene;
    return 1;
  }
  void DetachAllNodes(Scene&) override { calls.push_back("detach"); }
  void DeleteNodeTree(WTnode*) override { calls.push_back("delete"); }
  void GetSelectedNodePose(float pose[7]) override {
    calls.push_back("pose");
    for (int i = 0; i < 7; i++) pose[i] = static_cast<float>(i + 1);
  }
  void ShowExteriorControls(uint32_t kind) override { calls.push_back("exterior " + std::to_string(kind)); }
  void ClearSelection() override { calls.push_back("clear"); }

  std::vector<std::string> calls;
  Scene* loaded = nullptr;
};

}  // namespace

// The document reaches the 3D side only through the simulator installed: a save keeps its pose as
// the start view, a stored model is loaded into it, and a released model is cut loose from it.
TEST_F(Document, TheSimulatorInstalledLoadsTheSceneAndGivesTheStartView) {
  RecordingSimulator simulator;
  const std::string path = base + "posed.tavo";
  {
    CVedraDoc doc;
    ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
    doc.SetTitle(path.c_str());
    doc.m_fileState = FILE_NAMED;
    ASSERT_EQ(doc.SaveModel(0, FALSE), 1);
  }
  EXPECT_EQ(simulator.calls, std::vector<std::string>({"pose"}));
  simulator.calls.clear();

  CVedraDoc doc;
  ASSERT_EQ(doc.CreateNewModel(path.c_str(), nullptr, 0), 1);
  EXPECT_EQ(simulator.calls, std::vector<std::string>({"exterior 65280", "detach", "load"}));
  EXPECT_EQ(simulator.loaded, &doc.GetModel()->m_scene);
  for (int i = 0; i < 7; i++) EXPECT_EQ(doc.GetModel()->m_scene.m_startView[i], i + 1.0f) << i;

  simulator.calls.clear();
  ASSERT_EQ(doc.AskSaveModel(), 1);
  EXPECT_EQ(simulator.calls, std::vector<std::string>({"clear", "pose", "delete", "detach"}));
  EXPECT_EQ(doc.GetModel(), nullptr);
}

TEST_F(Document, CancellingTheSaveQuestionKeepsTheModel) {
  CVedraDoc doc;
  ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
  Model* model = doc.GetModel();
  doc.SetModifiedFlag(TRUE);
  uitest::BoxAnswerer answer(kCaption, IDCANCEL);
  EXPECT_EQ(doc.CreateNewModel("", nullptr, 0), 0);
  const uitest::BoxSeen seen = answer.Wait();
  EXPECT_EQ(seen.text, "현재 모델을 저장하시겠습니까?");
  EXPECT_EQ(doc.GetModel(), model);
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Document, AFailedSaveKeepsTheModelItsFlagAndItsName) {
  CVedraDoc doc;
  ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
  const std::string good = base + "good.tavo";
  doc.SetTitle(good.c_str());
  doc.m_fileState = FILE_NAMED;
  ASSERT_EQ(doc.SaveModel(0, FALSE), 1);
  EXPECT_EQ(ReadFile(good).substr(0, 31), "\x1ETAVO Vedra Archive Document...");

  doc.SetTitle((base + "no such folder\\x.tavo").c_str());
  doc.SetModifiedFlag(TRUE);
  uitest::BoxAnswerer answer(kCaption, IDOK);
  EXPECT_EQ(doc.SaveModel(0, FALSE), 0);
  EXPECT_TRUE(answer.Wait().found) << "the user hears of it";
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(std::string(doc.GetTitle()), base + "no such folder\\x.tavo");
  EXPECT_EQ(doc.m_fileState, FILE_NAMED);
  ASSERT_NE(doc.GetModel(), nullptr);

  // Yes in the question, then the failed save: the model is not released.
  std::thread answers([] {
    for (int button : {IDYES, IDOK}) {
      HWND box = uitest::WaitForBox(::GetCurrentProcessId(), kCaption);
      if (!box) return;
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      while (::IsWindow(box)) ::Sleep(20);
    }
  });
  EXPECT_EQ(doc.AskSaveModel(), 0);
  answers.join();
  EXPECT_NE(doc.GetModel(), nullptr);
}

TEST_F(Document, FilesThatAreNoModelFilesAreRefused) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {{"bad header", "\x1EThis is not a Vedra model file"}, {"empty", ""}};
  for (const Case& c : cases) {
    const std::string path = base + "bad.tavo";
    WriteFile(path, c.bytes);
    CVedraDoc doc;
    uitest::BoxAnswerer answer(kCaption, IDOK);
    EXPECT_EQ(doc.CreateNewModel(path.c_str(), nullptr, 0), 0) << c.name;
    EXPECT_EQ(answer.Wait().text, "적합한 TAVO Vedra 파일이 아닙니다.") << c.name;
  }
  CVedraDoc doc;
  uitest::BoxAnswerer answer(kCaption, IDOK);
  EXPECT_EQ(doc.CreateNewModel((base + "missing.tavo").c_str(), nullptr, 0), 0);
  EXPECT_EQ(answer.Wait().text, "적합한 TAVO Vedra 파일이 아닙니다.") << "a file that does not open";
}
