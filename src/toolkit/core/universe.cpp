// The universe: the one record that owns the top-level toolkit objects, and the frame loop.
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/filetable.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/node.h"
#include "toolkit/core/options.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/render/render.h"

namespace {

const int kRing = 30;

struct Callback {
  std::string name;  // base name; empty for the default
  WTuniversefn fn;
};

struct WTuniverse {
  WTviewpoint *viewpoints;
  WTwindow *windows;
  void *currentsystemwindow;
  WTwindow *pickwindow;
  WTeventorder order;
  WTsensor *sensors;
  void *gloves;
  WTpq startpose;
  WTpath *paths;
  void *fonts;
  WTlight *lights;
  int32_t spare;
  float ambientintensity;
  unsigned char ambient[3];
  unsigned char scenemoved;
  unsigned char prevscenemoved;
  unsigned char ready;
  float framerate;
  uint32_t framecount;
  WTactionfn action;
  int32_t naxes;
  WTq axes;
  std::vector<int> permutation, target, sign;
  unsigned char running;
  unsigned char configuration;
  unsigned char rendering;
  unsigned char graphics;
  unsigned char sparebyte;
  WTopts *options;
  WTmotionlink *links;
  int32_t spares[2];
  float scales[3];
  char *name;
  WTviewpoint *current;
  void *portals;
  WTobject *objects;
  void *sequences;
  void *terrain;
  float mid[3];
  float radius;
  float extmin[3];
  float extmax[3];
  uint32_t bgcolor;
  WTobject *rootobject;
  void *secondobject;
  unsigned char sceneunchanged;
  unsigned char portalsenabled;
  unsigned char trailing;
  // Kept for the devices and rendering layers.
  void *sounddevices;
  void *activewindow;
  // Frame-rate ring of clock readings in milliseconds.
  int32_t ring[kRing];
  int ringindex;
  std::vector<Callback> loadcallbacks, unloadcallbacks;
};

WTuniverse *universe;
bool go1active;
bool firstrun = true;
bool rendereridle;
float colorscale = 1.0f;

void noaction(void) {}
void nocallback(void) {}

int32_t nowms() { return static_cast<int32_t>(lround(_WTsys_seconds() * 1000.0)); }

void identitypose(WTpq *pose) {
  memset(pose, 0, sizeof *pose);
  pose->q[3] = 1.0f;
}

// ---- Load and unload callbacks ---------------------------------------------------------------

std::string upper(std::string s) {
  for (char &c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string callbackkey(const char *name) {
  if (!name || !*name) return std::string();
  char *base = _WTfile_basename(name);
  std::string key = upper(base ? base : name);
  _WTmem_free(base);
  return key;
}

void setcallback(std::vector<Callback> &list, const char *name, WTuniversefn fn) {
  std::string key = callbackkey(name);
  if (!fn) fn = nocallback;
  for (Callback &c : list)
    if (c.name == key) {
      c.fn = fn;
      return;
    }
  list.push_back(Callback{key, fn});
}

WTuniversefn findcallback(const std::vector<Callback> &list, const char *name, bool fallback) {
  std::string key = callbackkey(name);
  for (const Callback &c : list)
    if (c.name == key) return c.fn;
  if (fallback && !key.empty())
    for (const Callback &c : list)
      if (c.name.empty()) return c.fn;
  return nullptr;
}

WTuniversefn reported(WTuniversefn fn) { return fn == nocallback ? nullptr : fn; }

// ---- Reset and scene bounds ------------------------------------------------------------------

void resetcontents() {
  WTuniverse *u = universe;
  if (u->name) {
    WTuniversefn fn = findcallback(u->unloadcallbacks, u->name, true);
    if (fn) fn();
    if (!universe) return;
    _WTmem_free(u->name);
    u->name = _WTmem_strdup("untitled");
  }
  _WTanimseq_deleteall();
  _WTpath_hideallmarkers();
  _WTportal_removeall();
  _WTobject_destroyall();
  _WTobject_free(u->rootobject);
  u->rootobject = nullptr;
  u->secondobject = nullptr;
  _WTtask_clear();
  u->terrain = nullptr;
  memset(u->mid, 0, sizeof u->mid);
  u->radius = 0.0f;
  memset(u->extmin, 0, sizeof u->extmin);
  memset(u->extmax, 0, sizeof u->extmax);
  identitypose(&u->startpose);
}

// ---- Universe files --------------------------------------------------------------------------

// The first object of a reader's list; the others and the cells are freed.
WTobject *firstobject(WTcell *list) {
  WTobject *first = list ? static_cast<WTobject *>(list->value) : nullptr;
  while (list) {
    WTcell *next = list->next;
    if (list->value != first) _WTobject_free(static_cast<WTobject *>(list->value));
    _WTmem_free(list);
    list = next;
  }
  return first;
}

// The object read becomes the root object: its polygons convex (those not already so) and no
// longer following an object; the object list is emptied.
void makeroot(WTobject *object) {
  std::vector<WTpoly *> polys;
  for (WTpoly *p = object->geometry ? object->geometry->polys : nullptr; p; p = p->next) polys.push_back(p);
  for (WTpoly *p : polys) {
    if (!(p->flags & WTP_CONVEX)) _WTpoly_makeconvex(p);
  }
  for (WTpoly *p = object->geometry ? object->geometry->polys : nullptr; p; p = p->next)
    p->flags = static_cast<uint16_t>(p->flags & ~(32 | 64));
  _WTobject_destroyall();
  universe->rootobject = object;
}

// Reads the file by its type into the root object; null when the type has no reader or the
// reader returns nothing.
WTobject *readuniverse(FILE *stream, const char *name, int type, float scale, WTpq *pose) {
  if (type == WTFILE_OLDBINARY1 || type == WTFILE_OLDBINARY2) {
    _WTmsg_warning("VAV 1.01 binary format is no longer supported.\n");
    return nullptr;
  }
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (!kind->readobjects) {
    _WTmsg_warning("Unknown file type: %s", name);
    return nullptr;
  }
  WTobject *object = firstobject(kind->readobjects(stream, name, pose, scale, 1, 0));
  if (!object) return nullptr;
  // The universe takes the name of the object read; a DXF drawing's names are not its own.
  if (type != WTFILE_DXF && object->name) _WTuniverse_setname(object->name);
  makeroot(object);
  return object;
}

// After a read: the file's base name for an untitled universe, the start pose, the root object
// in the node tree and the load callback.
void finishload(WTobject *root, const char *path, const WTpq *pose) {
  if (!universe->name || strcmp(universe->name, "untitled") == 0) _WTuniverse_setname(path);
  if (pose) universe->startpose = *pose;
  _WTnode_insertobject(root);
  if (WTuniversefn fn = findcallback(universe->loadcallbacks, universe->name, true)) fn();
}

void widen(float *lo, float *hi, const float *centre, const float *half) {
  for (int j = 0; j < 3; j++) {
    if (centre[j] - half[j] < lo[j]) lo[j] = centre[j] - half[j];
    if (centre[j] + half[j] > hi[j]) hi[j] = centre[j] + half[j];
  }
}

bool active(const WTobject *o) { return !(o->flags & (WTO_REMOVALSEEN | WTO_DELETED)); }

// The root object's box and every active object's sphere.
void scenebounds() {
  WTuniverse *u = universe;
  float lo[3] = {1e38f, 1e38f, 1e38f}, hi[3] = {-1e38f, -1e38f, -1e38f};
  if (u->rootobject && u->rootobject->geometry)
    widen(lo, hi, u->rootobject->geometry->mid, u->rootobject->geometry->half);
  for (WTobject *o = u->objects; o; o = o->next) {
    if (!active(o)) continue;
    float r[3] = {o->radius, o->radius, o->radius};
    widen(lo, hi, o->handleset ? o->origin : o->pose.p, r);
  }
  bool empty = false;
  for (int j = 0; j < 3; j++) empty = empty || hi[j] < lo[j];
  if (empty)
    for (int j = 0; j < 3; j++) lo[j] = hi[j] = 0.0f;
  float r = 0.0f;
  for (int j = 0; j < 3; j++) {
    float d = (hi[j] - lo[j]) / 2;
    r += d * d;
    u->mid[j] = lo[j] + d;
    u->extmin[j] = lo[j];
    u->extmax[j] = hi[j];
  }
  u->radius = sqrtf(r);
}

// ---- One frame -------------------------------------------------------------------------------

void saveviewpoints() {
  for (WTviewpoint *v = universe->viewpoints; v; v = v->next) {
    memcpy(v->prevposition, v->position, sizeof v->position);
    memcpy(v->prevorientation, v->orientation, sizeof v->orientation);
  }
}

void countframe() {
  WTuniverse *u = universe;
  int32_t now = nowms();
  int32_t &oldest = u->ring[u->ringindex];
  if (now != oldest) {
    u->framerate = 30000.0f / static_cast<float>(now - oldest);
    oldest = now;
    u->ringindex = (u->ringindex + 1) % kRing;
  }
  u->framecount++;
}

void runaction(int code) {
  switch (code) {
    case WTACTION_USER:
      universe->action();
      break;
    case WTACTION_LINKS:
      _WTmotionlink_runall();
      break;
    case WTACTION_TASKS:
      _WTtask_run();
      break;
    case WTACTION_PATHS:
      _WTpath_stepall();
      break;
    default:
      break;
  }
}

void notifyrenderer() {
  WTuniverse *u = universe;
  if (u->sceneunchanged == 1 && u->scenemoved == 0) {
    if (!rendereridle) {
      _WTuniverse_predraw(1);
      rendereridle = true;
    }
  } else if (rendereridle) {
    _WTuniverse_predraw(0);
    rendereridle = false;
  }
}

void endframe() {
  WTuniverse *u = universe;
  u->sceneunchanged = 1;
  _WTobject_endframe();
  u->prevscenemoved = u->scenemoved;
  u->scenemoved = 0;
  u->ready = 0;
}

// Loads the target universe of the first portal the viewpoint passed through this frame.
void crossportals() {
  WTportal *portal = _WTportal_findcrossed();
  if (!portal) return;
  char *name = _WTmem_strdup(_WTportal_getname(portal));
  _WTsys_waitcursor(nullptr);
  WTpq pose;
  int loaded = _WTuniverse_loadfile(name, &pose, 1.0f);
  _WTsys_waitcursor(reinterpret_cast<WTcursorhandle>(1));
  if (!loaded) {
    _WTmsg_warning("Couldn't portal to universe %s\n", name);
  } else {
    WTuniverse_ready();
    universe->sceneunchanged = 0;
  }
  _WTmem_free(name);
}

// Runs one frame; false when the universe went away during it.
bool frame() {
  // The portals see the move since the previous frame's start, before the poses are saved
  // again (saved first, every viewpoint would seem to stand still).
  if (universe->portalsenabled) crossportals();
  if (!universe) return false;
  saveviewpoints();
  if (universe->options->bytes[9]) _WTwindow_pumpmessages();
  if (!universe) return false;
  if (universe->sensors) {
    for (WTsensor *s = universe->sensors; s; s = s->next) _WTsensor_update(s);
    if (!universe) return false;
  }
  countframe();
  for (int i = 0; i < 4; i++) {
    runaction(universe->order.codes[i]);
    if (!universe) return false;
  }
  _WTwindow_firekeyevents();
  _WTbase_frame();
  if (!universe) return false;
  _WTnet_flush();
  notifyrenderer();
  _WTwindow_drawall();
  _WTsys_sleep(0);
  endframe();
  _WTsound_updateall();
  if (go1active) universe->running = 0;
  return true;
}

}  // namespace

extern "C" {

// ---- Slots for the toolkit's own files -------------------------------------------------------

WTviewpoint **_WTuniverse_viewpointslot(void) { return universe ? &universe->viewpoints : nullptr; }
WTwindow **_WTuniverse_windowslot(void) { return universe ? &universe->windows : nullptr; }
WTlight **_WTuniverse_lightslot(void) { return universe ? &universe->lights : nullptr; }
WTviewpoint **_WTuniverse_currentviewpointslot(void) {
  return universe ? &universe->current : nullptr;
}
void *_WTuniverse_defaultmtable(void) { return nullptr; }
void _WTuniverse_setrunning(int on) {
  if (universe) universe->running = on ? 1 : 0;
}
void *_WTuniverse_getsounddevices(void) { return universe ? universe->sounddevices : nullptr; }
void **_WTuniverse_sounddeviceslot(void) { return universe ? &universe->sounddevices : nullptr; }
void *_WTuniverse_getactivewindow(void) { return universe ? universe->activewindow : nullptr; }
void _WTuniverse_setactivewindow(void *handle) {
  if (universe) universe->activewindow = handle;
}
WTopts *_WTuniverse_getoptions(void) { return universe ? universe->options : nullptr; }
void _WTuniverse_getambient(float rgba[4]) {
  for (int i = 0; i < 3; i++)
    rgba[i] = universe ? universe->ambient[i] / 255.0f * universe->ambientintensity : 1.0f;
  rgba[3] = 1.0f;
}
void _WTuniverse_getviewdefaults(float *halfangle, float *hither, float *yon) {
  WTopts *o = universe ? universe->options : nullptr;
  if (halfangle) *halfangle = o ? o->halfangle : 0.6981f;
  if (hither) *hither = o ? o->hither : 1.0f;
  if (yon) *yon = o ? o->yon : 1000.0f;
}
void _WTuniverse_scenechanged(void) {
  if (universe) universe->sceneunchanged = 0;
}
WTsensor **_WTuniverse_sensorslot(void) { return universe ? &universe->sensors : nullptr; }
WTpath **_WTuniverse_pathslot(void) { return universe ? &universe->paths : nullptr; }
WTobject **_WTuniverse_objectslot(void) { return universe ? &universe->objects : nullptr; }

WTobject **_WTuniverse_rootobjectslot(void) { return universe ? &universe->rootobject : nullptr; }
WTmotionlink **_WTuniverse_linkslot(void) { return universe ? &universe->links : nullptr; }
void **_WTuniverse_sequenceslot(void) { return universe ? &universe->sequences : nullptr; }
void **_WTuniverse_portalslot(void) { return universe ? &universe->portals : nullptr; }
int _WTuniverse_getaxismapping(int *permutation, int *target, int *sign) {
  if (!universe) return 0;
  int n = universe->naxes;
  for (int k = 0; k < n; k++) {
    permutation[k] = universe->permutation[k];
    target[k] = universe->target[k];
    sign[k] = universe->sign[k];
  }
  return n;
}

// ---- Creation and deletion -------------------------------------------------------------------

void WTuniverse_new(int a, int b) {
  if (universe) return;
  _WTmsg_info("\n\nZodurUvizOdu Release %s (%s)", "9", "Mar 14 2000");
  _WTmsg_info("\nScene-graph toolkit for Vedra\n");
  _WTmsg_info("Universe: one frame per call of WTuniverse_go1\n");
  _WTmsg_info("Messages: VAV Warning and VAV-ERROR\n\n");
  WTuniverse *u = new WTuniverse();
  universe = u;
  _WTfiletable_fill();
  u->name = _WTmem_strdup("untitled");
  u->options = _WTopts_new();
  u->action = noaction;
  WTrootnode_new();
  int32_t now = nowms();
  for (int32_t &r : u->ring) r = now;
  u->axes[3] = 1.0f;
  u->rendering = 13;
  u->portalsenabled = 1;
  u->configuration = 2;
  u->order.count = 4;
  for (int i = 0; i < 4; i++) u->order.codes[i] = static_cast<int16_t>(i + 1);
  identitypose(&u->startpose);
  _WTopts_read(u->options);
  u->ambient[0] = static_cast<unsigned char>(u->options->ambientrgb >> 16);
  u->ambient[1] = static_cast<unsigned char>(u->options->ambientrgb >> 8);
  u->ambient[2] = static_cast<unsigned char>(u->options->ambientrgb);
  u->ambientintensity = u->options->ambient;
  u->scales[0] = u->scales[1] = u->scales[2] = 1.0f;
  u->bgcolor = u->options->bgcolor;
  WTviewpoint_new();
  u->graphics = _WTwindow_initgl(a, b);
  _WTviewpoint_setviewangle(u->current, u->options->halfangle);
  _WTbase_start();
}

void WTuniverse_delete(void) {
  WTuniverse *u = universe;
  if (!u) return;
  _WTbase_stop();
  _WTsensor_deleteall();
  _WTpath_deleteall();
  _WTfont3d_deleteall();
  resetcontents();
  _WTmem_free(u->name);
  u->name = nullptr;
  _WTlight_deleteall();
  _WTtask_clear();
  _WTmotionlink_clear();
  _WTviewpoint_deleteall();
  _WTsound_closeall();
  u->loadcallbacks.clear();
  u->unloadcallbacks.clear();
  _WTwindow_deleteall();
  _WTnode_deleteall(1);
  _WTtexture_deleteall();
  _WTfiletable_cleanup();
  _WTwindow_exitgl();
  _WTmem_free(u->options);
  delete u;
  universe = nullptr;
}

int _WTuniverse_exists(void) { return universe != nullptr; }

void WTuniverse_ready(void) {
  if (!universe) return;
  _WTobject_ready();
  _WTsys_elapsed();
  universe->ready = 0;
  _WTnode_ready();
}

// ---- The frame loop --------------------------------------------------------------------------

void WTuniverse_go(void) {
  if (!universe) return;
  if (universe->running) {
    _WTmsg_warning("Function WTuniverse_go is not reentrant");
    return;
  }
  if (firstrun) {
    firstrun = false;
    universe->sceneunchanged = 0;
    rendereridle = false;
  }
  universe->running = 1;
  while (universe && universe->running)
    if (!frame()) return;
}

void WTuniverse_go1(void) {
  if (go1active || (universe && universe->running)) {
    _WTmsg_warning("Function WTuniverse_go1 is not reentrant.\n");
    return;
  }
  go1active = true;
  WTuniverse_go();
  go1active = false;
}

void _WTuniverse_stop(void) { _WTuniverse_setrunning(0); }

void _WTuniverse_setactions(WTactionfn fn) {
  if (universe) universe->action = fn ? fn : noaction;
}

int _WTuniverse_seteventorder(int16_t count, const int16_t *codes) {
  if (!universe || (count != 3 && count != 4) || !codes) return 0;
  universe->order.count = count;
  for (int16_t want = 1; want <= count; want++) {
    bool found = false;
    for (int i = 0; i < count; i++) found = found || codes[i] == want;
    if (!found) return 0;
  }
  for (int i = 0; i < count; i++) universe->order.codes[i] = codes[i];
  if (count == 3) universe->order.codes[3] = WTACTION_PATHS;
  return 1;
}

const WTeventorder *_WTuniverse_geteventorder(void) { return universe ? &universe->order : nullptr; }

// ---- Options ---------------------------------------------------------------------------------

void WTuniverse_setoption(int option, int value) {
  if (!universe) {
    _WTmsg_warning("Must call WTuniverse_new before calling WTuniverse_setoption.\n");
    return;
  }
  unsigned char *slot = _WTopts_byte(universe->options, option);
  if (!slot) {
    _WTmsg_warning("Specified option: %d is not available.\n", option);
    return;
  }
  if (option == WTOPTION_JTLODS && (value < 1 || value > 255)) {
    _WTmsg_warning("Illegal value for WTOPTION_JTLODS\n");
    return;
  }
  *slot = static_cast<unsigned char>(option == 6 ? value ^ 1 : value);
}

int _WTuniverse_getoption(int option) {
  unsigned char *slot = universe ? _WTopts_byte(universe->options, option) : nullptr;
  if (!slot) return -1;
  return option == 6 ? *slot ^ 1 : *slot;
}

void _WTuniverse_setcoplanar(unsigned char on) {
  if (universe) *_WTopts_byte(universe->options, 4) = on;
}

unsigned char _WTuniverse_getcoplanar(void) {
  return universe ? *_WTopts_byte(universe->options, 4) : 0;
}

// ---- Background, rendering flags, axes, viewpoint -----------------------------------------

void WTuniverse_setbgrgb(unsigned char r, unsigned char g, unsigned char b) {
  if (!universe) return;
  uint32_t rgb = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
  for (WTwindow *w = universe->windows; w; w = w->next) _WTwindow_setbgrgb24(w, rgb);
  universe->bgcolor = rgb;
  _WTwindow_bgchanged();
}

void WTuniverse_getbgrgb(unsigned char *r, unsigned char *g, unsigned char *b) {
  uint32_t rgb = universe ? universe->bgcolor : 0;
  if (r) *r = static_cast<unsigned char>(rgb >> 16);
  if (g) *g = static_cast<unsigned char>(rgb >> 8);
  if (b) *b = static_cast<unsigned char>(rgb);
}

void _WTuniverse_setbgcolor(unsigned short rgb12) {
  if (!universe) return;
  uint32_t rgb = _WTopts_unpack12(rgb12);
  for (WTwindow *w = universe->windows; w; w = w->next) _WTwindow_setbgrgb24(w, rgb);
  universe->bgcolor = rgb;
  _WTwindow_bgchanged();
  universe->sceneunchanged = 0;
}

unsigned short _WTuniverse_getbgcolor(void) {
  return universe ? _WTopts_pack12(universe->bgcolor) : 0;
}

void _WTuniverse_setrendering(unsigned int flags) {
  if (!universe) return;
  unsigned char stored = (flags & 128) ? static_cast<unsigned char>(128 | (flags & 16))
                                       : static_cast<unsigned char>(flags & 0xFF);
  if ((stored ^ universe->rendering) & 128) universe->scenemoved = 1;
  universe->rendering = stored;
  universe->sceneunchanged = 0;
}

unsigned char _WTuniverse_getrendering(void) { return universe ? universe->rendering : 0; }

void _WTuniverse_setaxes(int n, const int *permutation, const int *target, const int *sign) {
  if (!universe || n < 0 || n > 3 || (n && (!permutation || !target || !sign))) return;
  WTuniverse *u = universe;
  u->naxes = n;
  u->permutation.assign(permutation, permutation + n);
  u->target.assign(target, target + n);
  u->sign.assign(sign, sign + n);
  WTm3 m;
  for (int i = 0; i < 3; i++) {
    float e[3] = {0, 0, 0};
    e[i] = 1.0f;
    for (int j = 0; j < 3; j++) m[i][j] = e[j];
    for (int k = 0; k < n; k++) {
      if (permutation[k] < 0 || permutation[k] > 2 || target[k] < 0 || target[k] > 2) continue;
      m[i][target[k]] = sign[k] ? -e[permutation[k]] : e[permutation[k]];
    }
  }
  WTm3_2q(m, u->axes);
}

void _WTuniverse_getaxes(WTq q) {
  if (!q) return;
  if (universe)
    memcpy(q, universe->axes, sizeof(WTq));
  else
    q[0] = q[1] = q[2] = 0.0f, q[3] = 1.0f;
}

int _WTuniverse_setviewpoint(WTviewpoint *viewpoint) {
  if (!universe || !viewpoint) return 0;
  for (WTviewpoint *v = universe->viewpoints; v; v = v->next)
    if (v == viewpoint) {
      universe->current = viewpoint;
      universe->sceneunchanged = 0;
      return 1;
    }
  return 0;
}

WTviewpoint *_WTuniverse_getviewpoint(void) { return universe ? universe->current : nullptr; }
WTviewpoint *WTuniverse_getviewpoints(void) { return universe ? universe->viewpoints : nullptr; }
WTwindow *_WTuniverse_getwindows(void) { return universe ? universe->windows : nullptr; }
WTsensor *_WTuniverse_getsensors(void) { return universe ? universe->sensors : nullptr; }
WTlight *_WTuniverse_getlights(void) { return universe ? universe->lights : nullptr; }
WTpath *_WTuniverse_getpaths(void) { return universe ? universe->paths : nullptr; }
WTmotionlink *_WTuniverse_getmotionlinks(void) { return universe ? universe->links : nullptr; }

WTwindow *_WTuniverse_getcurrentwindow(void) {
  if (!universe) return nullptr;
  for (WTwindow *w = universe->windows; w; w = w->next)
    if (w->hwnd == universe->currentsystemwindow) return w;
  return nullptr;
}

// ---- Scene bounds ----------------------------------------------------------------------------

float _WTuniverse_getradius(void) {
  if (!universe) return 0.0f;
  scenebounds();
  return universe->radius;
}

void _WTuniverse_getmidpoint(WTp3 m) {
  if (!universe || !m) return;
  scenebounds();
  memcpy(m, universe->mid, sizeof(WTp3));
}

void _WTuniverse_getextents(WTp3 lo, WTp3 hi) {
  if (!universe) return;
  scenebounds();
  if (lo) memcpy(lo, universe->extmin, sizeof(WTp3));
  if (hi) memcpy(hi, universe->extmax, sizeof(WTp3));
}

int _WTuniverse_numpolygons(void) {
  if (!universe) return 0;
  int n = universe->rootobject ? _WTobject_numpolys(universe->rootobject) : 0;
  for (WTobject *o = universe->objects; o; o = o->next)
    if (active(o)) n += _WTobject_numpolys(o);
  return n;
}

// ---- Name, universe files and their callbacks ------------------------------------------------

const char *_WTuniverse_getname(void) { return universe ? universe->name : nullptr; }

void _WTuniverse_setname(const char *name) {
  if (!universe || !name) return;
  char *base = _WTfile_basename(name);
  if (!base) return;
  _WTmem_free(universe->name);
  universe->name = base;
}

int _WTuniverse_loadfile(const char *name, WTpq *pose, float scale) {
  if (!universe || !name) return 0;
  if (scale < 1e-20f) {
    _WTmsg_warning("Nonsensical scale factor.\n");
    return 0;
  }
  if (pose) identitypose(pose);
  const char *found = _WTfile_findmodel(name);
  if (!found) return 0;
  char *path = _WTmem_strdup(found);
  int type = _WTfile_gettype(path);
  bool text = type == WTFILE_DXF || type == WTFILE_NFF || type == WTFILE_WFRONT || type == WTFILE_SLP;
  FILE *f = _WTfile_open(path, text ? "rt" : "rb");
  if (!f) {
    _WTmem_free(path);
    return 0;
  }
  resetcontents();
  WTobject *root = universe ? readuniverse(f, name, type, scale, pose) : nullptr;
  fclose(f);
  if (root) finishload(root, path, pose);
  _WTmem_free(path);
  return root ? 1 : 0;
}

void _WTuniverse_setloadcallback(const char *name, WTuniversefn fn) {
  if (universe) setcallback(universe->loadcallbacks, name, fn);
}

void _WTuniverse_setunloadcallback(const char *name, WTuniversefn fn) {
  if (universe) setcallback(universe->unloadcallbacks, name, fn);
}

WTuniversefn _WTuniverse_getloadcallback(const char *name) {
  return universe ? reported(findcallback(universe->loadcallbacks, name, false)) : nullptr;
}

WTuniversefn _WTuniverse_getunloadcallback(const char *name) {
  return universe ? reported(findcallback(universe->unloadcallbacks, name, false)) : nullptr;
}

// ---- Frame rate --------------------------------------------------------------------------------

float _WTuniverse_getframerate(void) { return universe ? universe->framerate : 0.0f; }

unsigned int _WTuniverse_getframecount(void) { return universe ? universe->framecount : 0; }

void _WTuniverse_resetframecount(void) {
  if (universe) universe->framecount = 0;
}

float _WTuniverse_framerateover(int n) {
  if (!universe || n < 1 || n > kRing) return -1.0f;
  if (n == kRing) return universe->framerate;
  const int32_t *ring = universe->ring;
  int newest = (universe->ringindex + kRing - 1) % kRing;
  int older = (newest + kRing - n) % kRing;
  int32_t ms = ring[newest] - ring[older];
  return ms > 0 ? n / (ms / 1000.0f) : -1.0f;
}

float _WTuniverse_frametime(void) {
  if (!universe) return 0.0f;
  int newest = (universe->ringindex + kRing - 1) % kRing;
  return (universe->ring[newest] - universe->ring[universe->ringindex]) / 1000.0f;
}

void _WTuniverse_resetframerate(void) {
  if (!universe) return;
  int newest = (universe->ringindex + kRing - 1) % kRing;
  int32_t latest = universe->ring[newest];
  for (int32_t &r : universe->ring) r = 0;
  universe->ring[0] = latest;
  universe->ringindex = 0;
  universe->framerate = 0.0f;
}

// ---- Small accessors -------------------------------------------------------------------------

void _WTuniverse_getstartpose(WTpq *pose) {
  if (!pose) return;
  if (universe)
    *pose = universe->startpose;
  else
    identitypose(pose);
}

unsigned char _WTuniverse_getconfiguration(void) { return universe ? universe->configuration : 0; }
void _WTuniverse_setconfiguration(unsigned char value) {
  if (universe) universe->configuration = value;
}
unsigned char _WTuniverse_getportalsenabled(void) { return universe ? universe->portalsenabled : 0; }
void _WTuniverse_setportalsenabled(unsigned char on) {
  if (universe) universe->portalsenabled = on;
}
unsigned char _WTuniverse_gettrailing(void) { return universe ? universe->trailing : 0; }
void _WTuniverse_settrailing(unsigned char value) {
  if (universe) universe->trailing = value;
}
unsigned char _WTuniverse_getgraphicsresult(void) { return universe ? universe->graphics : 0; }
unsigned char _WTuniverse_getspare(void) { return universe ? universe->sparebyte : 0; }
void _WTuniverse_forceredraw(void) { _WTuniverse_scenechanged(); }
void _WTuniverse_setscales(float x, float y, float z) {
  if (!universe) return;
  universe->scales[0] = x, universe->scales[1] = y, universe->scales[2] = z;
}
void _WTuniverse_setcolorscale(float scale) { colorscale = scale; }
float _WTuniverse_getcolorscale(void) { return colorscale; }
}
