#include "app/settings.h"

#include <stdlib.h>

#include <vector>

#include "app/vedra.h"
#include "doc/reg.h"
#include "models/planhost.h"

namespace {

enum class RegType { Dword, Int, Float, Bool };

struct RegValue {
  const char* name;
  RegType type;
  void* field;
};

void ReadValues(HKEY key, const std::vector<RegValue>& values) {
  for (const RegValue& v : values) {
    switch (v.type) {
      case RegType::Dword: {
        auto* p = static_cast<DWORD*>(v.field);
        QueryRegisterKeyDWORD(key, v.name, p, *p, FALSE);
        break;
      }
      case RegType::Int: {
        auto* p = static_cast<int*>(v.field);
        QueryRegisterKeyInt(key, v.name, p, *p, FALSE);
        break;
      }
      case RegType::Float: {
        auto* p = static_cast<float*>(v.field);
        QueryRegisterKeyFloat(key, v.name, p, *p, FALSE);
        break;
      }
      case RegType::Bool: {
        auto* p = static_cast<BOOL*>(v.field);
        QueryRegisterKeyBOOL(key, v.name, p, *p, FALSE);
        break;
      }
    }
  }
}

HKEY OpenOrDie(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (!CreateRegisterKey(root, path, &key, nullptr)) EndProgram(1);
  return key;
}

void CloseOrDie(HKEY key) {
  if (!CloseRegisterKey(key)) EndProgram(1);
}

HKEY OpenQuietly(HKEY root, const char* path) {
  HKEY key = nullptr;
  return CreateRegisterKey(root, path, &key, nullptr) ? key : nullptr;
}

void CloseQuietly(HKEY key) {
  if (key) CloseRegisterKey(key);
}

CString StartFolder() {
  char dir[MAX_PATH] = {};
  DWORD n = ::GetCurrentDirectoryA(sizeof dir, dir);
  if (n == 0 || n >= sizeof dir) return "C:\\Program Files\\TAVO Vedra V1.0\\";
  CString base(dir);
  if (base.Right(1) != "\\") base += "\\";
  return base;
}

void ReadPlanColours(CVedraApp& app, HKEY full) {
  HKEY cad = OpenQuietly(full, "Cad\\");
  HKEY window = OpenQuietly(full, "Cad\\WINDOW\\");
  PlanWindowSettings& p = app.m_plan;
  ReadValues(window, {{"Background", RegType::Dword, &p.background},
                      {"TraceBox", RegType::Dword, &p.traceBox},
                      {"UnSelectedRoom", RegType::Dword, &p.unselectedRoom},
                      {"UnSelectedWallCenter", RegType::Dword, &p.unselectedWallCenter},
                      {"UnSelectedWall", RegType::Dword, &p.unselectedWall},
                      {"SelectedRoom", RegType::Dword, &p.selectedRoom},
                      {"SelectedWall", RegType::Dword, &p.selectedWall},
                      {"SelectedWallCenter", RegType::Dword, &p.selectedWallCenter},
                      {"Axis", RegType::Dword, &p.axis},
                      {"Grid0", RegType::Dword, &p.grid0},
                      {"Grid1", RegType::Dword, &p.grid1},
                      {"LeadLine", RegType::Dword, &p.leadLine},
                      {"LeadLineAuxPoint", RegType::Dword, &p.leadLineAuxPoint},
                      {"DemensionFont", RegType::Dword, &p.dimensionFont}});
  CloseQuietly(window);
  CloseQuietly(cad);
}

void ReadSimulator(CVedraApp& app, HKEY full) {
  HKEY sim = OpenQuietly(full, "Simulator\\");
  HKEY grid = OpenQuietly(full, "Simulator\\Grid\\");
  SimGridSettings& g = app.m_simGrid;
  ReadValues(grid, {{"Line Style", RegType::Dword, &g.lineStyle}, {"Line Color", RegType::Dword, &g.lineColor},
                    {"Line Width", RegType::Float, &g.lineWidth}, {"Point Color", RegType::Dword, &g.pointColor},
                    {"Point Width", RegType::Float, &g.pointWidth}, {"Gap", RegType::Float, &g.gap},
                    {"Maximum", RegType::Float, &g.maximum}, {"X", RegType::Bool, &g.x},
                    {"Y", RegType::Bool, &g.y}, {"Z", RegType::Bool, &g.z}, {"XY", RegType::Bool, &g.xy},
                    {"YZ", RegType::Bool, &g.yz}, {"ZX", RegType::Bool, &g.zx}});
  CloseQuietly(grid);
  HKEY window = OpenQuietly(full, "Simulator\\Window\\");
  SimWindowSettings& w = app.m_simWindow;
  ReadValues(window, {{"Background", RegType::Dword, &w.background}, {"View Angle", RegType::Float, &w.viewAngle},
                      {"Hither Clipping Value", RegType::Float, &w.hither},
                      {"Yon Clipping Value", RegType::Float, &w.yon}, {"Window Mode", RegType::Int, &w.windowMode},
                      {"Window Text", RegType::Int, &w.windowText}});
  app.m_windowMode = w.windowMode;
  CloseQuietly(window);
  HKEY device = OpenQuietly(full, "Simulator\\Device\\");
  SimDeviceSettings& d = app.m_simDevice;
  ReadValues(device, {{"Mouse Sensitivity", RegType::Float, &d.mouseSensitivity},
                      {"Mouse Rotation Angle", RegType::Float, &d.mouseRotationAngle},
                      {"Mouse Billboard", RegType::Bool, &d.mouseBillboard}});
  CloseQuietly(device);
  CloseQuietly(sim);
}

// The plan model's own copy of the colours it draws with.
void PublishPlanColours(const PlanWindowSettings& p) {
  PlanSettings& s = GetPlanSettings();
  s.unselectedWall = p.unselectedWall;
  s.selectedWall = p.selectedWall;
  s.unselectedRoom = p.unselectedRoom;
  s.selectedRoom = p.selectedRoom;
  s.unselectedWallCenter = p.unselectedWallCenter;
  s.selectedWallCenter = p.selectedWallCenter;
  s.leadLine = p.leadLine;
  s.leadLineAuxPoint = p.leadLineAuxPoint;
  s.dimensionFont = p.dimensionFont;
}

bool FolderExists(const CString& path) {
  WIN32_FIND_DATAA data;
  HANDLE h = ::FindFirstFileA(path, &data);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::FindClose(h);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

constexpr const char kFolderMissing[] = "프로그램을 실행하는데 필요한 디렉토리가 존재하지 않습니다.";

int FolderMessage() {
  return ::MessageBoxA(nullptr, kFolderMissing, kVedraCaption, MB_OK | MB_ICONQUESTION | MB_TASKMODAL);
}

void CheckScreenSize() {
  if (::GetSystemMetrics(SM_CXSCREEN) >= 1024 || ::GetSystemMetrics(SM_CYSCREEN) >= 768) return;
  int answer = ::MessageBoxA(nullptr, "1024*768 이상의 해상도에서만 정상 작동합니다.\n계속하시겠습니까?", kVedraCaption,
                             MB_YESNO | MB_ICONEXCLAMATION | MB_TASKMODAL);
  if (answer == IDNO) EndProgram(1);
}

void SetToolkitEnvironment(const CVedraApp& app) {
  CString lib, library, temp;
  GetLibDir(app, lib);
  GetLibraryDir(app, library);
  GetTempDir(app, temp);
  CString images;
  images.Format("WTIMAGES=%s%s;%s%s;%s%s;%s%s;%s%s;%s%s;%s%s", (LPCSTR)lib, "Map", (LPCSTR)lib, "Map2",
                (LPCSTR)library, "Material\\Tile", (LPCSTR)library, "Material\\Wallpaper", (LPCSTR)library,
                "Material\\Floorpaper", (LPCSTR)library, "Material\\Ribbon", (LPCSTR)library,
                "Construction\\Molding");
  CString models;
  models.Format("WTMODELS=%s;%s%s", (LPCSTR)temp, (LPCSTR)library, "Etc\\Accessary");
  _putenv(images.GetBuffer());
  images.ReleaseBuffer();
  _putenv(models.GetBuffer());
  models.ReleaseBuffer();
  _putenv(const_cast<char*>("WTKZBUFFERSIZE=24"));
}

}  // namespace

[[noreturn]] void EndProgram(int code) { ::ExitProcess(static_cast<UINT>(code)); }

void ApplyPlanDefaults(CVedraApp& app) {
  app.m_plan = PlanWindowSettings{};
  PublishPlanColours(app.m_plan);
}

void ApplySimulatorDefaults(CVedraApp& app) {
  app.m_simGrid = SimGridSettings{};
  app.m_simWindow = SimWindowSettings{};
  app.m_simDevice = SimDeviceSettings{};
  app.m_windowMode = 0;
}

void ReadRegistrySettings(CVedraApp& app) {
  for (const char* path : {"SOFTWARE\\TAVO\\", "SOFTWARE\\TAVO\\Vedra\\", "SOFTWARE\\TAVO\\Vedra\\1.0\\"})
    CloseOrDie(OpenOrDie(HKEY_LOCAL_MACHINE, path));
  HKEY full = OpenOrDie(HKEY_LOCAL_MACHINE, kSettingsKey);
  app.m_baseDir = StartFolder();
  CString run;
  if (!QueryRegistryString(full, "Run", run, app.m_baseDir, FALSE)) EndProgram(1);
  if (!run.IsEmpty()) app.m_baseDir = run;
  ReadPlanColours(app, full);
  ReadSimulator(app, full);
  CloseOrDie(full);
  PublishPlanColours(app.m_plan);
}

bool ReadRegistryString(HKEY key, const char* name, CString& out) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::vector<char> text(size + 1, '\0');
  if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
    return false;
  out = text.data();
  return true;
}

int QueryRegistryString(HKEY key, const char* name, CString& out, const char* def, BOOL write) {
  if (!write) {
    if (ReadRegistryString(key, name, out)) return 1;
    out = def;
    // Only a missing value is written; one of another form is left as it is.
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_FILE_NOT_FOUND) return 1;
  } else {
    out = def;
  }
  const DWORD bytes = static_cast<DWORD>(out.GetLength()) + 1;
  LONG rc = ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>((LPCSTR)out), bytes);
  if (rc != ERROR_SUCCESS) {
    RegisterAccessError(rc);
    return 0;
  }
  return 1;
}

void CheckProgramFolders(CVedraApp& app) {
  const CString& base = app.m_baseDir;
  for (const char* required : {"bin", "bin\\Lib", "bin\\Database", "bin\\Lib\\Library"}) {
    if (FolderExists(base + required)) continue;
    FolderMessage();
    EndProgram(1);
  }
  if (!FolderExists(base + "bin\\Lib\\Search")) FolderMessage();
  CString lib, temp;
  GetLibDir(app, lib);
  GetTempDir(app, temp);
  for (const CString& folder : {base + "Works", base + "Samples", temp, lib + "Map", lib + "Map2"})
    ::CreateDirectoryA(folder, nullptr);
  CheckScreenSize();
  SetToolkitEnvironment(app);
}

void GetAppDir(const CVedraApp& app, CString& out) { out = app.m_baseDir; }

void GetBinDir(const CVedraApp& app, CString& out) { out = app.m_baseDir + "Bin\\"; }

void GetLibDir(const CVedraApp& app, CString& out) {
  GetBinDir(app, out);
  out += "Lib\\";
}

void GetTempDir(const CVedraApp& app, CString& out) {
  GetLibDir(app, out);
  out += "temp\\";
}

void GetLibraryDir(const CVedraApp& app, CString& out) {
  GetLibDir(app, out);
  out += "Library\\";
}

void GetSystemDir(const CVedraApp& app, CString& out) { out = app.m_baseDir + "System\\"; }
