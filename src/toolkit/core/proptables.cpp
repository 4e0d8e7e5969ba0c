// Built-in properties of nodes, viewpoints, windows, sensors and paths: one fixed table per
// class of names, value types and setter/getter pairs, so that the property layer reads, writes
// and lists the fields of these objects by name and fires handlers on them.  The pairs are bound
// by their exported names when the tables are first needed.
#include <stdint.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/layers.h"

namespace {

struct Row {
  const char *name;
  int type;
  const char *setname, *getname;
  void *set, *get;
};

Row noderows[] = {
    {"BoundingBox", WTINT, "WTnode_boundingbox", "WTnode_getboundingbox", 0, 0},
    {"Enabled", WTINT, "WTnode_enable", "WTnode_getenabled", 0, 0},
    {"Children", WTSTRING, "WTnode_setchildren", "WTnode_getchildren", 0, 0},
    {"Rotation", WTM3, "WTnode_setrotation", "WTnode_getrotation", 0, 0},
    {"Translation", WTP3, "WTnode_settranslation", "WTnode_gettranslation", 0, 0},
    {"URL", WTSTRING, "WTanchornode_setlocation", "WTanchornode_getlocation", 0, 0},
    {"Color", WTQ, "WTfognode_setcolor2", "WTfognode_getcolor2", 0, 0},
    {"Linear Start", WTFLOAT, "WTfognode_setlinearstart", "WTfognode_getlinearstart", 0, 0},
    {"Is Exponential", WTINT, "WTfognode_setmode", "WTfognode_getmode", 0, 0},
    {"Range", WTFLOAT, "WTfognode_setrange", "WTfognode_getrange", 0, 0},
    {"Location", WTSTRING, "WTinlinenode_setlocation", "WTinlinenode_getlocation", 0, 0},
    {"LtAm", WTP3, "WTlightnode_setambient2", "WTlightnode_getambient2", 0, 0},
    {"Angle", WTFLOAT, "WTlightnode_setangle", "WTlightnode_getangle", 0, 0},
    {"Attenuation", WTP3, "WTlightnode_setattenuation2", "WTlightnode_getattenuation2", 0, 0},
    {"LtDi", WTP3, "WTlightnode_setdiffuse2", "WTlightnode_getdiffuse2", 0, 0},
    {"Exponent", WTFLOAT, "WTlightnode_setexponent", "WTlightnode_getexponent", 0, 0},
    {"Intensity", WTFLOAT, "WTlightnode_setintensity", "WTlightnode_getintensity", 0, 0},
    {"LtSp", WTP3, "WTlightnode_setspecular2", "WTlightnode_getspecular2", 0, 0},
    {"LtPs", WTP3, "WTlightnode_setposition", "WTlightnode_getposition", 0, 0},
    {"LtDr", WTP3, "WTlightnode_setdirection", "WTlightnode_getdirection", 0, 0},
    {"LoCe", WTP3, "WTlodnode_setcenter", "WTlodnode_getcenter", 0, 0},
    {"Ranges", WTSTRING, "WTlodnode_setranges", "WTlodnode_getranges", 0, 0},
    {"MvAt", WTSTRING, "_WTmovnode_setattached", "_WTmovnode_getattachedtext", 0, 0},
    {"SeCu", WTINT, "WTsepnode_setcullmode", "WTsepnode_getcullmode", 0, 0},
    {"Active Child", WTINT, "WTswitchnode_setwhichchild", "WTswitchnode_getwhichchild", 0, 0},
};

Row viewpointrows[] = {
    {"AspectRatio", WTFLOAT, "WTviewpoint_setaspect", "WTviewpoint_getaspect", 0, 0},
    {"ConvergenceDist", WTFLOAT, "WTviewpoint_setconvergencedist",
     "WTviewpoint_getconvergencedist", 0, 0},
    {"Convergence", WTINT, "WTviewpoint_setconvergence", "WTviewpoint_getconvergence", 0, 0},
    {"Orientation", WTQ, "WTviewpoint_setorientation", "WTviewpoint_getorientation", 0, 0},
    {"Parallax", WTFLOAT, "WTviewpoint_setparallax", "WTviewpoint_getparallax", 0, 0},
    {"Position", WTP3, "WTviewpoint_setposition", "WTviewpoint_getposition", 0, 0},
};

// Rows whose API calls take other arguments bind adapters of the property form.
Row windowrows[] = {
    {"Backgroud color", WTP3, "WTwindow_setbgcolor", "WTwindow_getbgcolor", 0, 0},
    {"FrustumBR", WTP2, "WTwindow_setfrustumbr", "WTwindow_getfrustumbr", 0, 0},
    {"Enabled", WTINT, "WTwindow_enable", "WTwindow_getenabled", 0, 0},
    {"Eye", WTINT, "WTwindow_seteye", "WTwindow_geteye", 0, 0},
    {"Hither Clipping", WTFLOAT, "WTwindow_sethither", "WTwindow_gethither", 0, 0},
    {"Position", WTP2, "_WTwindow_setpositionprop", "_WTwindow_getpositionprop", 0, 0},
    {"Projection", WTINT, "WTwindow_setprojection", "WTwindow_getprojection", 0, 0},
    {"Root Node", WTSTRING, "_WTwindow_setrootnodeprop", "_WTwindow_getrootnodeprop", 0, 0},
    {"Size", WTP2, "WTwindow_setsize", "WTwindow_getsize", 0, 0},
    {"FrustumTL", WTP2, "WTwindow_setfrustumtl", "WTwindow_getfrustumtl", 0, 0},
    {"Viewpoint", WTSTRING, "_WTwindow_setviewpointprop", "_WTwindow_getviewpointprop", 0, 0},
    {"Viewpoint2", WTSTRING, "_WTwindow_setviewpoint2prop", "_WTwindow_getviewpoint2prop", 0, 0},
    {"View Angle", WTFLOAT, "WTwindow_setviewangle", "WTwindow_getviewangle", 0, 0},
    {"Yon Clipping", WTFLOAT, "WTwindow_setyon", "WTwindow_getyon", 0, 0},
    {"Key", WTINT, "WTwindow_setkey", "WTwindow_getkey", 0, 0},
    {"LeftButton", WTINT, "WTwindow_setlbutton", "WTwindow_getlbutton", 0, 0},
    {"LeftButtonDbl", WTINT, "WTwindow_setlbuttondblclk", "WTwindow_getlbuttondblclk", 0, 0},
    {"RightButton", WTINT, "WTwindow_setrbutton", "WTwindow_getrbutton", 0, 0},
    {"RightButtonDbl", WTINT, "WTwindow_setrbuttondblclk", "WTwindow_getrbuttondblclk", 0, 0},
    {"MiddleButton", WTINT, "WTwindow_setmbutton", "WTwindow_getmbutton", 0, 0},
    {"MiddleButtonDbl", WTINT, "WTwindow_setmbuttondblclk", "WTwindow_getmbuttondblclk", 0, 0},
};

// "Snlt" and "Snlr" are the sensor's last record.
Row sensorrows[] = {
    {"Angular rate", WTFLOAT, "_WTsensor_setangularrate", "_WTsensor_getangularrate", 0, 0},
    {"Snlt", WTP3, "_WTsensor_setlasttranslation", "_WTsensor_getlasttranslation", 0, 0},
    {"Snlr", WTQ, "_WTsensor_setlastrotation", "_WTsensor_getlastrotation", 0, 0},
    {"Misc data", WTINT, "_WTsensor_setmiscdata", "_WTsensor_getmiscdata", 0, 0},
    {"SnRa", WTPOINTER, "_WTsensor_setrawdata", "_WTsensor_getrawdata", 0, 0},
    {"Rotation", WTQ, "_WTsensor_setrotation", "_WTsensor_getrotation", 0, 0},
    {"SnRf", WTQ, "_WTsensor_setreference", "_WTsensor_getreference", 0, 0},
    {"Sensitivity", WTFLOAT, "_WTsensor_setsensitivity", "_WTsensor_getsensitivity", 0, 0},
    {"Translation", WTP3, "_WTsensor_settranslation", "_WTsensor_gettranslation", 0, 0},
    {"SnUp", WTPOINTER, "_WTsensor_setupdatefn", "_WTsensor_getupdatefn", 0, 0},
};

// "PtTr" and "PtRo" are the current element's position and orientation.
Row pathrows[] = {
    {"PtCo", WTINT, "_WTpath_setconstraints", "_WTpath_getconstraints", 0, 0},
    {"Forward", WTINT, "_WTpath_setdirection", "_WTpath_getdirection", 0, 0},
    {"PtMa", WTPOINTER, "_WTpath_setmarkergeometry", "_WTpath_getmarkergeometry", 0, 0},
    {"PtMo", WTINT, "_WTpath_setmode", "_WTpath_getmode", 0, 0},
    {"Playing", WTINT, "_WTpath_setplaying", "_WTpath_getplaying", 0, 0},
    {"Speed", WTINT, "_WTpath_setspeed", "_WTpath_getspeed", 0, 0},
    {"Recording", WTINT, "_WTpath_setrecording", "_WTpath_getrecording", 0, 0},
    {"Record From", WTPOINTER, "_WTpath_setrecordfrom", "_WTpath_getrecordfrom", 0, 0},
    {"PtRo", WTQ, "_WTpath_setcurrentrotation", "_WTpath_getcurrentrotation", 0, 0},
    {"PtSa", WTINT, "_WTpath_setrate", "_WTpath_getrate", 0, 0},
    {"PtTr", WTP3, "_WTpath_setcurrenttranslation", "_WTpath_getcurrenttranslation", 0, 0},
    {"PtVi", WTINT, "_WTpath_showmarkers", "_WTpath_getmarkersshown", 0, 0},
};

struct Table {
  Row *rows;
  int count;
  const char *failure;
  WThashtable *hash;
};

#define ROWS(a) a, static_cast<int>(sizeof a / sizeof a[0])
Table tables[5] = {
    {ROWS(noderows), "Error initializing WTnode functions\n", nullptr},
    {ROWS(viewpointrows), "Error initializing WTviewpoint functions\n", nullptr},
    {ROWS(windowrows), "Error initializing WTwindow functions\n", nullptr},
    {ROWS(sensorrows), "Error initializing WTsensor functions\n", nullptr},
    {ROWS(pathrows), "Error initializing WTpath functions\n", nullptr},
};
#undef ROWS

typedef int (*TypeFn)(void *node);
TypeFn nodetype, lighttype;

// Names each node type lists, as row numbers of the node table ending in -1.
const int kPlain[] = {0, 2, -1};
const int kGroup[] = {0, 1, 2, -1};
const int kTransform[] = {2, 3, 4, -1};
const int kLod[] = {0, 2, 20, 21, -1};
const int kMovLod[] = {0, 2, 3, 4, 22, 20, 21, -1};
const int kSwitch[] = {0, 2, 24, -1};
const int kMovSwitch[] = {0, 2, 3, 4, 22, 24, -1};
const int kMovGroup[] = {0, 1, 2, 3, 4, 22, -1};
const int kSep[] = {0, 1, 2, 23, -1};
const int kMovSep[] = {0, 1, 2, 3, 4, 22, 23, -1};
const int kAnchor[] = {0, 2, 5, -1};
const int kInline[] = {0, 2, 10, -1};
const int kFog[] = {1, 2, 6, 7, 8, 9, -1};
const int kAmbient[] = {1, 2, 11, 16, -1};
const int kLight[3][12] = {{1, 2, 11, 14, 17, 16, 19, -1},
                           {1, 2, 11, 14, 17, 16, 19, 18, 13, -1},
                           {1, 2, 11, 14, 17, 16, 19, 18, 13, 12, 15, -1}};
const int kMovLight[] = {0, 1, 2, 3, 4, 22};
const int kNone[] = {-1};

const int *plainlist(int type) {
  switch (type) {
    case 1: return kTransform;
    case 2: return kLod;
    case 3: return kMovLod;
    case 4: return kSwitch;
    case 5: return kMovSwitch;
    case 6: case 16: return kGroup;
    case 7: return kMovGroup;
    case 8: return kPlain;
    case 9: return kSep;
    case 10: return kMovSep;
    case 14: return kAnchor;
    case 15: return kInline;
    case 18: return kFog;
    case 19: return kAmbient;
    default: return kNone;
  }
}

int listlength(const int *list) {
  int n = 0;
  while (list[n] >= 0) n++;
  return n;
}

// A movable light lists the movable's names, then its light's names after "Enabled" and
// "Children", which the movable's names hold already.
int lightcount(int kind, bool movable) { return listlength(kLight[kind]) + (movable ? 4 : 0); }

int lightrow(int kind, bool movable, int i) {
  if (!movable) return kLight[kind][i];
  return i < 6 ? kMovLight[i] : kLight[kind][i - 4];
}

// Light kind 0 directed, 1 point, 2 spot, 3 ambient.
WT_BOUNDCALL int lightkind(void *node) {
  int kind = lighttype ? lighttype(node) : 0;
  return kind < 0 || kind > 3 ? 0 : kind;
}

// An ambient light answers type 12 and lists the ambient names.
WT_BOUNDCALL int nodetypeof(void *node) {
  int type = nodetype ? nodetype(node) : -1;
  return type == 12 && lightkind(node) == 3 ? 19 : type;
}

bool lighttype12or13(int type) { return type == 12 || type == 13; }

void bindclass(int c) {
  Table &t = tables[c];
  bool ok = true;
  for (int i = 0; i < t.count; i++) {
    void *set = _WTsys_findexport(t.rows[i].setname);
    void *get = _WTsys_findexport(t.rows[i].getname);
    if (!_WTpropertytable_bind(c, i, set, get)) ok = false;
  }
  if (c == WTBASE_NODE) {
    nodetype = reinterpret_cast<TypeFn>(_WTsys_findexport("WTnode_gettype"));
    lighttype = reinterpret_cast<TypeFn>(_WTsys_findexport("WTlightnode_gettype"));
    if (!nodetype || !lighttype) ok = false;
  }
  if (!ok) _WTmsg_info("%s", t.failure);
}

void enternames(Table &t) {
  t.hash = _WThashtable_new(_WThashtable_picksize(20), _WThashtable_strhash,
                            _WThashtable_strcompare);
  for (intptr_t i = 0; i < t.count; i++)
    _WThashtable_insert(t.hash, const_cast<char *>(t.rows[i].name),
                        reinterpret_cast<void *>(i + 1));
}

// The class table of the object; null for a missing object or name and for other objects.
Table *tablefor(void *object, const char *name) {
  if (!object || !name || !*name) return nullptr;
  int c = _WTbase_class(object);
  if (c < WTBASE_NODE || c > WTBASE_PATH) return nullptr;
  _WTpropertytable_init();
  return &tables[c];
}

Row *rowof(void *object, const char *name) {
  Table *t = tablefor(object, name);
  int i = t ? _WTpropertytable_index(object, name) : -1;
  return i >= 0 ? &t->rows[i] : nullptr;
}

typedef int (*SetWordFn)(void *, int32_t);
typedef int (*SetFloatFn)(void *, float);
typedef int (*SetPtrFn)(void *, const void *);
typedef int32_t (*GetWordFn)(void *);
typedef float (*GetFloatFn)(void *);
typedef void *(*GetPtrFn)(void *);
typedef int (*FillFn)(void *, void *);

bool composite(int type) { return type == WTP2 || type == WTP3 || type == WTQ || type == WTM3; }

WT_BOUNDCALL int callsetter(void *object, const Row &row, const void *value) {
  if (!value && row.type != WTSTRING && row.type != WTPOINTER) return 0;
  if (row.type == WTINT) {
    int32_t v;
    memcpy(&v, value, sizeof v);
    return reinterpret_cast<SetWordFn>(row.set)(object, v);
  }
  if (row.type == WTFLOAT) {
    float v;
    memcpy(&v, value, sizeof v);
    return reinterpret_cast<SetFloatFn>(row.set)(object, v);
  }
  if (composite(row.type) || row.type == WTSTRING || row.type == WTPOINTER)
    return reinterpret_cast<SetPtrFn>(row.set)(object, value);
  return 0;
}

WT_BOUNDCALL int callgetter(void *object, const Row &row, void *out) {
  switch (row.type) {
    case WTINT: {
      int32_t v = reinterpret_cast<GetWordFn>(row.get)(object);
      memcpy(out, &v, sizeof v);
      return 1;
    }
    case WTFLOAT: {
      float v = reinterpret_cast<GetFloatFn>(row.get)(object);
      memcpy(out, &v, sizeof v);
      return 1;
    }
    case WTSTRING:
    case WTPOINTER: {
      void *v = reinterpret_cast<GetPtrFn>(row.get)(object);
      memcpy(out, &v, sizeof v);
      return 1;
    }
    default: return composite(row.type) ? reinterpret_cast<FillFn>(row.get)(object, out) : 0;
  }
}

}  // namespace

extern "C" {

void _WTpropertytable_init(void) {
  for (int c = WTBASE_NODE; c <= WTBASE_PATH; c++) {
    if (tables[c].hash) continue;
    enternames(tables[c]);
    bindclass(c);
  }
}

int _WTpropertytable_bind(int c, int index, void *setter, void *getter) {
  if (c < 0 || c > WTBASE_PATH) return 1;
  if (!setter || !getter || index < 0 || index >= tables[c].count) return 0;
  tables[c].rows[index].set = setter;
  tables[c].rows[index].get = getter;
  return 1;
}

int _WTpropertytable_lookup(void *object, const char *name) {
  Table *t = tablefor(object, name);
  if (!t) return -1;
  intptr_t i = reinterpret_cast<intptr_t>(WThashtable_find(t->hash, name));
  return i > 0 ? static_cast<int>(i - 1) : -1;
}

int _WTpropertytable_index(void *object, const char *name) {
  int i = _WTpropertytable_lookup(object, name);
  if (i < 0) return -1;
  return strcmp(tables[_WTbase_class(object)].rows[i].name, name) == 0 ? i : -1;
}

void *_WTpropertytable_cell(void *object, int row, int column) {
  int c = _WTbase_class(object);
  if (c < WTBASE_NODE || c > WTBASE_PATH || row < 0 || column < 0 || column > 3) return nullptr;
  _WTpropertytable_init();
  if (row >= tables[c].count) return nullptr;
  const Row &r = tables[c].rows[row];
  switch (column) {
    case 0: return const_cast<char *>(r.name);
    case 1: return reinterpret_cast<void *>(static_cast<intptr_t>(r.type));
    case 2: return r.set;
    default: return r.get;
  }
}

int _WTpropertytable_gettype(void *object, const char *name) {
  Row *r = rowof(object, name);
  return r ? r->type : WTNOTYPE;
}

int _WTpropertytable_getsetter(void *object, const char *name, void **setter, int *index) {
  Row *r = rowof(object, name);
  if (!r) return 0;
  if (!r->set) {
    _WTmsg_info("Serious internal error setting property!\n");
    return 0;
  }
  if (setter) *setter = r->set;
  if (index) *index = static_cast<int>(r - tables[_WTbase_class(object)].rows);
  return 1;
}

int _WTproperty_setbuiltin(void *object, const char *name, const void *value) {
  Row *r = rowof(object, name);
  if (!r) return 0;
  if (!r->set) {
    _WTmsg_info("Serious internal error setting property!\n");
    return 0;
  }
  return callsetter(object, *r, value);
}

int _WTproperty_setbuiltinfromvalue(void *object, const char *name, const WTvalue *record) {
  Row *r = rowof(object, name);
  if (!r || !record || _WTvalue_gettype(record) != r->type) return 0;
  if (r->type != WTSTRING) {
    double content[5] = {0, 0, 0, 0, 0}; // room for nine floats
    if (!_WTvalue_get(record, content)) return 0;
    const void *value = content;
    if (r->type == WTPOINTER) memcpy(&value, content, sizeof value);
    return _WTproperty_setbuiltin(object, name, value);
  }
  char *text = nullptr;
  _WTvalue_get(record, &text);
  char *copy = _WTmem_strdup(text ? text : "");
  int ok = _WTproperty_setbuiltin(object, name, copy);
  _WTmem_free(copy);
  return ok;
}

int _WTproperty_getbuiltin(void *object, const char *name, void *out) {
  Row *r = rowof(object, name);
  if (!r || !out) return 0;
  if (!r->get) {
    _WTmsg_info("Serious internal error getting property!\n");
    return 0;
  }
  return callgetter(object, *r, out);
}

WT_BOUNDCALL int _WTproperty_numbuiltin(void *object) {
  int c = _WTbase_class(object);
  if (c < WTBASE_NODE || c > WTBASE_PATH) return 0;
  _WTpropertytable_init();
  if (c != WTBASE_NODE) return tables[c].count;
  int type = nodetypeof(object);
  if (lighttype12or13(type)) return lightcount(lightkind(object), type == 13);
  return listlength(plainlist(type));
}

WT_BOUNDCALL const char *_WTproperty_builtinname(void *object, int index) {
  if (index < 0 || index >= _WTproperty_numbuiltin(object)) return nullptr;
  int c = _WTbase_class(object);
  if (c != WTBASE_NODE) return tables[c].rows[index].name;
  int type = nodetypeof(object);
  int row = lighttype12or13(type) ? lightrow(lightkind(object), type == 13, index)
                                     : plainlist(type)[index];
  return row >= 0 ? noderows[row].name : nullptr;
}
}
