// Start-up options: option flags from a console-style command line, the initialization file
// beside the program, the search-path variables and the console-style main adapter.
#include <ctype.h>
#include <setjmp.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/options.h"
#include "toolkit/core/platform.h"

namespace {

const int kMaxPairs = 40;
const unsigned kValueSize = 132;

struct Flag {
  const char *flag;
  const char *key;
  const char *switchvalue;  // null for a flag that takes a value
};
const Flag kFlags[] = {
    {"display", "display", nullptr},       {"screen", "screen", nullptr},
    {"bgcolor", "bgcolor", nullptr},       {"ambient", "ambient", nullptr},
    {"ambientrgb", "ambientrgb", nullptr}, {"geometry", "geometry", nullptr},
    {"fov", "fov", nullptr},               {"hither", "hither", nullptr},
    {"yon", "yon", nullptr},               {"border", "border", "False"},
    {"rendering", "rendering", nullptr},   {"coplanar", "coplanar", "False"},
    {"write12", "write12", "True"},        {"writeuv", "writeuv", "True"},
    {"old3ds", "old3ds", "True"},          {"oldwfront", "oldwfront", "True"}};

std::string programname;
bool hasprogramname;
std::vector<std::pair<std::string, std::string>> pairs;
char inipath[128];

// Main adapter state.
std::vector<char *> adapterargs;
void *adapterinstance;
jmp_buf adapterjump;
bool insidemain;

const Flag *findflag(const char *word) {
  if (!word || (word[0] != '-' && word[0] != '/')) return nullptr;
  for (const Flag &f : kFlags)
    if (strcmp(word + 1, f.flag) == 0) return &f;
  return nullptr;
}

void record(const char *key, const char *value) {
  if (static_cast<int>(pairs.size()) >= kMaxPairs) {
    _WTmsg_warning("Too many command line arguments\n");
    return;
  }
  pairs.emplace_back(key, value);
}

bool sameupper(const char *a, const char *b) {
  std::string x(a), y(b);
  for (char &c : x) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  for (char &c : y) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return x == y;
}

// Removes argument i (and n - 1 after it) from the vector.
void removeargs(int *argc, char **argv, int i, int n) {
  for (int j = i; j + n <= *argc; j++) argv[j] = argv[j + n];
  *argc -= n;
  argv[*argc] = nullptr;
}

void takeprogramname(int *argc, char **argv) {
  for (int i = 1; i + 1 < *argc; i++) {
    if (strcmp(argv[i], "-name") != 0 && strcmp(argv[i], "/name") != 0) continue;
    programname = argv[i + 1];
    hasprogramname = true;
    removeargs(argc, argv, i, 2);
    return;
  }
  if (hasprogramname || *argc < 1 || !argv[0]) return;
  std::string name(argv[0]);
  size_t slash = name.rfind('\\');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  programname = name;
  hasprogramname = true;
}

// The value of a key: the command line's first, else the initialization file's; empty when none.
std::string lookup(const char *key, bool withfile) {
  for (const auto &p : pairs)
    if (p.first == key) return p.second.substr(0, kValueSize - 1);
  if (!withfile) return std::string();
  char value[kValueSize];
  _WTplat_readprofile("vav", key, "", value, kValueSize, inipath);
  return value;
}

bool readcolour(const std::string &text, const char *message, uint32_t *out) {
  if (text.empty()) return false;
  if (text.size() == 8) {
    *out = static_cast<uint32_t>(strtoul(text.c_str(), nullptr, 16)) & 0xFFFFFF;
  } else if (text.size() == 5) {
    *out = _WTopts_unpack12(static_cast<unsigned short>(strtoul(text.c_str(), nullptr, 16)));
  } else {
    _WTmsg_warning(message, text.c_str());
    return false;
  }
  return true;
}

void readgeometry(const std::string &text, WTopts *o) {
  int w, h, x, y;
  int n = sscanf(text.c_str(), "%dx%d%d%d", &w, &h, &x, &y);
  if (n >= 1) o->width = w, o->geometryflags |= WTGEOM_WIDTH;
  if (n >= 2) o->height = h, o->geometryflags |= WTGEOM_HEIGHT;
  if (n >= 3) {
    o->x = x;
    o->geometryflags |= WTGEOM_X | (x < 0 ? uint32_t(WTGEOM_XNEGATIVE) : 0u);
  }
  if (n >= 4) {
    o->y = y;
    o->geometryflags |= WTGEOM_Y | (y < 0 ? uint32_t(WTGEOM_YNEGATIVE) : 0u);
  }
}

void readswitches(WTopts *o, bool withfile) {
  if (sameupper(lookup("border", withfile).c_str(), "False")) o->geometryflags |= WTGEOM_NOBORDER;
  if (sameupper(lookup("coplanar", withfile).c_str(), "False")) *_WTopts_byte(o, 4) = 0;
  if (sameupper(lookup("writeuv", withfile).c_str(), "True")) *_WTopts_byte(o, 5) = 1;
  if (sameupper(lookup("write12", withfile).c_str(), "True")) *_WTopts_byte(o, 6) = 1;
  if (sameupper(lookup("old3ds", withfile).c_str(), "True")) *_WTopts_byte(o, 2) = 1;
  if (sameupper(lookup("oldwfront", withfile).c_str(), "True")) *_WTopts_byte(o, 3) = 1;
}

void readvalues(WTopts *o, bool withfile) {
  readcolour(lookup("bgcolor", withfile), "Invalid bgcolor %s.\n", &o->bgcolor);
  std::string ambient = lookup("ambient", withfile);
  if (!ambient.empty()) {
    float a = static_cast<float>(atof(ambient.c_str()));
    if (a >= 0.0f && a <= 1.0f)
      o->ambient = a;
    else
      _WTmsg_warning("Illegal ambient resource\n");
  }
  readcolour(lookup("ambientrgb", withfile), "Invalid ambientrgb %s.\n", &o->ambientrgb);
  std::string fov = lookup("fov", withfile);
  if (!fov.empty())
    o->halfangle = static_cast<float>(atof(fov.c_str()) * 1.5707963705062866 / 180.0);
  std::string hither = lookup("hither", withfile), yon = lookup("yon", withfile);
  if (!hither.empty()) o->hither = static_cast<float>(atof(hither.c_str()));
  if (!yon.empty()) o->yon = static_cast<float>(atof(yon.c_str()));
  std::string geometry = lookup("geometry", withfile);
  if (!geometry.empty()) readgeometry(geometry, o);
  readswitches(o, withfile);
}

int adapt(char *commandline, WTmainfn fn, void *instance) {
  static char programpath[kValueSize];
  _WTplat_programpath(programpath, sizeof programpath);
  adapterargs.assign(1, programpath);
  for (char *p = commandline; p && *p;) {
    while (*p == ' ') p++;
    if (!*p) break;
    adapterargs.push_back(p);
    while (*p && *p != ' ') p++;
    if (*p) *p++ = 0;
  }
  int argc = static_cast<int>(adapterargs.size());
  adapterargs.push_back(nullptr);
  adapterinstance = instance;
  if (setjmp(adapterjump)) {
    insidemain = false;
    return 1;
  }
  insidemain = true;
  int result = fn(argc, adapterargs.data());
  insidemain = false;
  return result;
}

}  // namespace

extern "C" {

WTopts *_WTopts_new(void) {
  WTopts *o = static_cast<WTopts *>(_WTmem_alloc(sizeof(WTopts)));
  memset(o, 0, sizeof *o);
  o->bgcolor = 0x0000FF;
  o->width = 640, o->height = 480;
  o->configuration[0] = 1, o->configuration[1] = 0, o->configuration[2] = 13;
  o->ambient = 0.4f;
  o->ambientrgb = 0xFFFFFF;
  o->halfangle = 0.6981f;
  o->hither = 1.0f;
  o->yon = 65536.0f;
  // A B C D E F G H I J K L M N O P Q R S
  static const unsigned char defaults[19] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1};
  memcpy(o->bytes, defaults, sizeof defaults);
  return o;
}

unsigned char *_WTopts_byte(WTopts *o, int option) {
  // Record position of options 1..19.
  static const int position[20] = {-1, 4, 1, 3, 0, 5, 6, 7, 8, 2, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  if (!o || option < 1 || option > 19) return nullptr;
  return &o->bytes[position[option]];
}

unsigned short _WTopts_pack12(uint32_t rgb) {
  return static_cast<unsigned short>(((rgb >> 12) & 0xF00) | ((rgb >> 8) & 0xF0) | ((rgb >> 4) & 0xF));
}

uint32_t _WTopts_unpack12(unsigned short rgb12) {
  uint32_t r = (rgb12 >> 8) & 0xF, g = (rgb12 >> 4) & 0xF, b = rgb12 & 0xF;
  return (r * 17 << 16) | (g * 17 << 8) | (b * 17);
}

int _WTopts_parseargs(int *argc, char **argv) {
  if (!argc || !argv) return 1;
  takeprogramname(argc, argv);
  for (int i = 1; i < *argc;) {
    const Flag *f = findflag(argv[i]);
    if (!f) {
      i++;
      continue;
    }
    if (f->switchvalue) {
      record(f->key, f->switchvalue);
      removeargs(argc, argv, i, 1);
    } else if (i + 1 < *argc) {
      record(f->key, argv[i + 1]);
      removeargs(argc, argv, i, 2);
    } else {
      removeargs(argc, argv, i, 1);
    }
  }
  return 1;
}

int _WTopts_findini(const char *name) {
  inipath[0] = 0;
  if (!name) return 0;
  if (strlen(name) >= 124) {
    _WTmsg_warning("Path to initialization file is too long\n");
    return 0;
  }
  // The name loses its extension: the first '.' of the file name, not of a folder above it.
  std::string base(name);
  size_t folder = base.find_last_of("\\/");
  size_t dot = base.find('.', folder == std::string::npos ? 0 : folder + 1);
  if (dot != std::string::npos) base = base.substr(0, dot);
  std::string path = base + ".ini";
  snprintf(inipath, sizeof inipath, "%s", path.c_str());
  if (FILE *f = fopen(inipath, "r")) {
    fclose(f);
    if (strchr(name, '\\')) return 1;
    if (strlen(name) >= 121) {
      _WTmsg_warning("Path to initialization file is too long\n");
      return 0;
    }
    snprintf(inipath, sizeof inipath, ".\\%s", path.c_str());
    return 1;
  }
  char sections[kValueSize];
  return _WTplat_readprofile(nullptr, nullptr, "", sections, sizeof sections, inipath) > 0;
}

void _WTopts_read(WTopts *o) {
  if (!o) return;
  if (!hasprogramname) {
    char path[kValueSize];
    _WTplat_programpath(path, sizeof path);
    programname = path;
    hasprogramname = true;
  }
  bool found = _WTopts_findini(programname.c_str()) || _WTopts_findini("wtkwin");
  readvalues(o, found);
}

const char *_WTopts_inipath(void) { return inipath; }

const char *_WTopts_getprogramname(void) { return hasprogramname ? programname.c_str() : nullptr; }

const char *_WTopts_getrecorded(const char *key) {
  if (!key) return nullptr;
  for (const auto &p : pairs)
    if (p.first == key) return p.second.c_str();
  return nullptr;
}

void _WTopts_clear(void) {
  programname.clear();
  hasprogramname = false;
  pairs.clear();
  inipath[0] = 0;
}

const char *_WTenv_models(void) { return getenv("WTMODELS"); }

const char *_WTenv_images(void) { return getenv("WTIMAGES"); }

int _WTmain_inside(void) { return insidemain; }

void _WTmain_jumpback(void) {
  if (insidemain) longjmp(adapterjump, 1);
}

int _WTmain_adapter(void *instance, void *, char *commandline, int, WTmainfn fn) {
  return fn ? adapt(commandline, fn, instance) : 0;
}

int _WTmain_adaptertrim(void *instance, void *, char *commandline, int, WTmainfn fn) {
  if (!fn) return 0;
  if (commandline) {
    size_t n = strlen(commandline);
    while (n > 0 && isspace(static_cast<unsigned char>(commandline[n - 1]))) commandline[--n] = 0;
  }
  return adapt(commandline, fn, instance);
}
}
