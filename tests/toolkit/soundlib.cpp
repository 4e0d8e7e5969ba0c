#include "soundlib.h"

#include <stdio.h>

#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "toolkit/wt.h"

namespace {
const std::string target = std::string(DWS_SEARCH_DIR) + "/DWSW32.DLL";
}

void uselibrary(const char *path) {
  remove(target.c_str());
  if (path) {
    std::ifstream in(path, std::ios::binary);
    std::ofstream(target, std::ios::binary) << in.rdbuf();
  }
#ifdef _WIN32
  SetDllDirectoryA(DWS_SEARCH_DIR);
#endif
}

StandinState *standin() {
#ifdef _WIN32
  HMODULE lib = GetModuleHandleA("DWSW32.DLL");
  void *fn = lib ? reinterpret_cast<void *>(GetProcAddress(lib, "standin_state")) : nullptr;
#else
  void *lib = dlopen(target.c_str(), RTLD_NOW | RTLD_NOLOAD);
  void *fn = lib ? dlsym(lib, "standin_state") : nullptr;
  if (lib) dlclose(lib);
#endif
  return fn ? reinterpret_cast<StandinState *(*)()>(fn)() : nullptr;
}

void finishsound(uint16_t sound) {
#ifdef _WIN32
  HMODULE lib = GetModuleHandleA("DWSW32.DLL");
  auto finish = reinterpret_cast<void (*)(uint16_t)>(reinterpret_cast<void *>(GetProcAddress(lib, "standin_finish")));
  finish(sound);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
#else
  _WTsound_playdone(sound, 1);
#endif
}
