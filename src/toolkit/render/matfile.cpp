// Material files: one material table as text, its property words and an entry per "matdef".
#include <stdio.h>
#include <string.h>

#include <string>

#include "toolkit/core/core.h"
#include "toolkit/core/filetypes.h"
#include "toolkit/geometry/geometry.h"

namespace {

// The property words in bit order 1, 2, 4 ... 64 and the labels of their values.
struct Property {
  unsigned bit;
  const char *word;
  int count;
  const char *label;
};
const Property properties[] = {
    {WTAMBIENT, "ambient", 3, "ambient value"},
    {WTDIFFUSE, "diffuse", 3, "diffuse value"},
    {WTSPECULAR, "specular", 3, "specular value"},
    {WTSHININESS, "shininess", 1, "shininess value"},
    {WTEMISSION, "emission", 3, "emission value"},
    {WTAMBIENTDIFFUSE, "ambientdiffuse", 3, "ambientdiffuse value"},
    {WTOPACITY, "opacity", 1, "Alpha value"},
};

const Property *propertynamed(const char *word) {
  if (strcmp(word, "alpha") == 0) word = "opacity";
  for (const Property &p : properties)
    if (strcmp(word, p.word) == 0) return &p;
  return nullptr;
}

// ---- Saving ------------------------------------------------------------------------------

bool writeentry(FILE *f, WTmtable *t, int n) {
  const char *name = _WTmtable_getentryname(t, n);
  bool ok = fputs("\nmatdef ", f) >= 0;
  if (name) ok = fprintf(f, "%s ", name) >= 0 && ok;
  ok = fprintf(f, "// id %d\n", n) >= 0 && ok;
  for (const Property &p : properties) {
    if (!(t->mask & p.bit)) continue;
    float v[4] = {0, 0, 0, 0};
    WTmtable_getvalue(t, n, v, p.bit);
    if (p.count == 3)
      ok = fprintf(f, "%s %f %f %f\n", p.word, v[0], v[1], v[2]) >= 0 && ok;
    else
      ok = fprintf(f, "%s %f\n", p.word, v[0]) >= 0 && ok;
  }
  return ok;
}

bool writetable(FILE *f, WTmtable *t) {
  bool ok = fputs("mat\nversion 3.00\nvalid", f) >= 0;
  for (const Property &p : properties)
    if (t->mask & p.bit) ok = fprintf(f, " %s", p.word) >= 0 && ok;
  ok = fputs("\n", f) >= 0 && ok;
  for (int n = 0; n < t->count; n++) ok = writeentry(f, t, n) && ok;
  return ok;
}

// ---- Loading -----------------------------------------------------------------------------

// The file of the name: "<name>.mat" along the model path, else the name itself.
std::string findfile(const char *name) {
  std::string withext = std::string(name) + ".mat";
  const char *found = _WTfile_findpath(withext.c_str(), "WTMODELS");
  if (!found) found = _WTfile_findmodel(name);
  return found ? std::string(found) : std::string();
}

// The magic word and the version; false (after the message) when the file has no data.
bool readheader(WTreader *r, const char *path) {
  char *t = _WTreader_nexttoken(r);
  if (!t) {
    _WTmsg_warning("File %s has no data\n", path);
    return false;
  }
  if (strcmp(t, "mat") != 0) {
    _WTmsg_warning("File %s. '%s' is not the magic string ('%s')\n", path, t, "mat");
    _WTreader_pushback(r);
  }
  t = _WTreader_nexttoken(r);
  if (!t) {
    _WTmsg_warning("File %s has no data\n", path);
    return false;
  }
  float version;
  if (strcmp(t, "version") == 0)
    _WTreader_getfloat(r, &version, "Version number");
  else
    _WTreader_pushback(r);
  return true;
}

// The property mask of the "valid" line; 0 (after the message) when there is none.
unsigned readmask(WTreader *r) {
  char *t;
  while ((t = _WTreader_nexttoken(r)) && strcmp(t, "valid") != 0) {
  }
  if (!t) {
    _WTmsg_warning("no 'valid' token found in .mat file\n");
    return 0;
  }
  unsigned mask = 0;
  while ((t = _WTreader_linetoken(r)))
    if (const Property *p = propertynamed(t)) mask |= p->bit;
  if (!mask) _WTmsg_warning("no valid properties defined for material table\n");
  return mask;
}

void readvalue(WTreader *r, WTmtable *table, int entry, const Property &p) {
  float v[3];
  int ok = p.count == 3 ? _WTreader_getfloat3(r, v, p.label) : _WTreader_getfloat(r, v, p.label);
  if (ok && (table->mask & p.bit)) WTmtable_setvalue(table, entry, v, p.bit);
}

// The entries; the number of "matdef" lines read.
int readentries(WTreader *r, WTmtable *table) {
  int entry = -1, count = 0;
  while (char *t = _WTreader_nexttoken(r)) {
    if (strcmp(t, "matdef") == 0) {
      entry = WTmtable_newentry(table);
      count++;
      if (char *name = _WTreader_linetoken(r)) _WTmtable_setentryname(table, entry, name);
    } else if (entry < 0) {
      _WTmsg_warning("%s precedes expected 'matdef' token: it will be ignored.\n", t);
    } else if (const Property *p = propertynamed(t)) {
      readvalue(r, table, entry, *p);
    }
  }
  return count;
}

void nametable(WTmtable *table, const char *name) {
  if (_WTmtable_takename(table, name)) return;
  _WTmsg_warning("invalid mtable name %s: no spaces allowed in name\n", name);
  char generated[16];
  if (_WTmtable_genname(generated)) {
    _WTmtable_takename(table, generated);
    _WTmsg_warning("generated table name %s used instead of given name %s\n", generated, name);
  }
}

WTmtable *readtable(WTreader *r, const char *path, const char *name) {
  if (!readheader(r, path)) return nullptr;
  unsigned mask = readmask(r);
  if (!mask) return nullptr;
  WTmtable *table = WTmtable_new(mask, 10, nullptr);
  if (!table) return nullptr;
  if (readentries(r, table) == 0) {
    _WTmtable_delete(table);
    return nullptr;
  }
  nametable(table, name);
  return table;
}

}  // namespace

extern "C" {

int _WTmtable_save(WTmtable *table) {
  if (!table) return 0;
  std::string path = std::string(table->name) + ".mat";
  FILE *f = _WTfile_open(path.c_str(), "wb");
  if (!f) return 0;
  bool ok = writetable(f, table);
  ok = fclose(f) == 0 && ok;
  if (!ok) {
    // A cut file would read back as a different table.
    remove(path.c_str());
    _WTmsg_warning("Could not write the material file %s\n", path.c_str());
  }
  return ok ? 1 : 0;
}

WTmtable *_WTmtable_load(const char *name) {
  if (!name) return nullptr;
  std::string path = findfile(name);
  if (path.empty() || _WTfile_gettype(path.c_str()) != WTFILE_MAT) return nullptr;
  WTreader *r = _WTreader_open(path.c_str(), nullptr, "//");
  if (!r) return nullptr;
  WTmtable *table = readtable(r, path.c_str(), name);
  _WTreader_close(r);
  return table;
}
}
