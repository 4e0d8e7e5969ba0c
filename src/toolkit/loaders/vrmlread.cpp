// VRML 1.0 documents into nodes: the traversal state, DEF and USE, children, unknown nodes, the
// unwind after an error, inlines and the pass that tidies the result.
#include <string.h>

#include <deque>
#include <memory>
#include <unordered_set>

#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/vrmlstate.h"

namespace vrml {
namespace {

constexpr size_t kMaxDepth = 200;     // Separator levels
constexpr long kWalkBudget = 1000000;  // nodes visited by one USE

struct Request {
  WTnode *node;
  WTnode *parent;
  WTnode *material;
  std::string reference;
};

// A material-table node of this load and the pin that keeps its table alive while it is read.
struct TableNode {
  WTnode *node;
  std::unique_ptr<WTgeometry> pin;
};

struct Load {
  std::vector<State> stack;
  std::deque<Def> defs;
  std::deque<Request> requests;
  std::vector<TableNode> tables;
  std::vector<WTnode *> geometries;  // geometry nodes made, for the default table
  std::string base;
  std::string nextbase;  // set by _WTvrml_setbase for the next load
  bool camera = false;
  int depth = 0;  // inline depth
  FILE *file = nullptr;
  WTsocket socket = -1;
};

Load load;

// ---- Tokens and errors -----------------------------------------------------------------------

bool isname(int t, bool strings) {
  return t == VT_IDENT || t == VT_NODE || t == VT_FIELD || t == VT_INT || t == VT_VALUE ||
         (strings && t == VT_STRING);
}

Def *definition(const char *name) {
  for (Def &d : load.defs)
    if (d.name == name) {
      d = Def();
      d.name = name;
      return &d;
    }
  load.defs.emplace_back();
  load.defs.back().name = name;
  return &load.defs.back();
}

Def *finddef(const char *name) {
  for (Def &d : load.defs)
    if (d.name == name) return &d;
  return nullptr;
}

// Skips an unknown node: "{" and everything to its matching "}".
void toss(const char *name) {
  _WTmsg_warning("Tossing: %s\n", name);
  expect(VT_LBRACE);
  for (long depth = 1; depth > 0;) {
    int t = token();
    if (t == VT_END) fail();
    if (t == VT_LBRACE) depth++;
    if (t == VT_RBRACE) depth--;
  }
}

// ---- USE -------------------------------------------------------------------------------------

struct Walk {
  long budget = kWalkBudget;
  void step() {
    if (--budget < 0) fail();
  }
};

// True when some geometry of the tree has a table other than the one in force at it.
bool needsother(WTnode *node, WTmtable *&inforce, Walk &walk, size_t depth) {
  walk.step();
  if (depth > 2 * kMaxDepth) fail();
  if (node->kind == WTNODE_MTABLE) {
    inforce = tableof(node);
    return false;
  }
  if (node->kind == WTNODE_GEOMETRY) return node->u.geometry && node->u.geometry->mtable != inforce;
  if (!_WTnode_checkparent(node)) return false;
  WTmtable *scoped = inforce;
  WTmtable *&table = node->kind == WTNODE_SEP ? scoped : inforce;
  for (WTnodelink *l = node->firstchild; l; l = l->nextsibling)
    if (needsother(l->child, table, walk, depth + 1)) return true;
  return false;
}

WTnode *copynode(WTnode *node, WTnode *parent, WTmtable *&inforce, Walk &walk, size_t depth);

void copychildren(WTnode *from, WTnode *to, WTmtable *&inforce, Walk &walk, size_t depth) {
  WTmtable *scoped = inforce;
  WTmtable *&table = from->kind == WTNODE_SEP ? scoped : inforce;
  for (WTnodelink *l = from->firstchild; l; l = l->nextsibling)
    copynode(l->child, to, table, walk, depth + 1);
}

WTnode *copygeometry(WTnode *node, WTnode *parent, WTmtable *inforce) {
  WTgeometry *g = node->u.geometry ? WTgeometry_copy(node->u.geometry) : nullptr;
  if (!g) return nullptr;
  WTgeometry_setmtable(g, inforce);
  WTnode *copy = WTgeometrynode_new(parent, g);
  if (copy) load.geometries.push_back(copy);
  return copy;
}

WTnode *newlike(WTnode *node, WTnode *parent) {
  switch (node->kind) {
    case WTNODE_GROUP: return WTgroupnode_new(parent);
    case WTNODE_XFORMSEP: return WTxformsepnode_new(parent);
    case WTNODE_SEP: {
      WTnode *s = WTsepnode_new(parent);
      WTsepnode_setcullmode(s, WTsepnode_getcullmode(node));
      return s;
    }
    case WTNODE_ANCHOR: {
      WTnode *a = WTanchornode_new(parent);
      WTanchornode_setlocation(a, WTanchornode_getlocation(node));
      return a;
    }
    case WTNODE_INLINE: {
      WTnode *i = WTinlinenode_new(parent);
      WTinlinenode_setlocation(i, WTinlinenode_getlocation(node));
      return i;
    }
    case WTNODE_LOD: {
      WTnode *d = WTlodnode_new(parent);
      WTp3 c;
      WTlodnode_getcenter(node, c);
      WTlodnode_setcenter(d, c);
      std::vector<float> r(static_cast<size_t>(WTlodnode_numranges(node)) + 1);
      int n = WTlodnode_getrange(node, r.data(), static_cast<int>(r.size()));
      WTlodnode_setrange(d, r.data(), n);
      return d;
    }
    case WTNODE_SWITCH: return WTswitchnode_new(parent);
    default: return nullptr;
  }
}

// A copy of the tree under the parent with the table in force; transforms, lights, material
// tables and anything not copied are shared.
WTnode *copynode(WTnode *node, WTnode *parent, WTmtable *&inforce, Walk &walk, size_t depth) {
  walk.step();
  if (depth > 2 * kMaxDepth) fail();
  if (node->kind == WTNODE_MTABLE) inforce = tableof(node);
  if (node->kind == WTNODE_GEOMETRY) return copygeometry(node, parent, inforce);
  WTnode *copy = newlike(node, parent);
  if (!copy) {
    WTnode_addchild(parent, node);
    return node;
  }
  copychildren(node, copy, inforce, walk, depth);
  if (node->kind == WTNODE_SWITCH) WTswitchnode_setwhichchild(copy, WTswitchnode_getwhichchild(node));
  if (node->name) WTnode_setname(copy, node->name);
  return copy;
}

void usenode(WTnode *parent, Def *def) {
  WTnode *node = def->node;
  WTmtable *current = tableof(state().material);
  Walk walk;
  WTmtable *probe = current;
  if (!state().material || !needsother(node, probe, walk, 0)) {
    WTnode_addchild(parent, node);
    return;
  }
  WTmtable *inforce = current;
  def->node = copynode(node, parent, inforce, walk, 0);
}

void use(WTnode *parent) {
  int t = token();
  if (!isname(t, true)) fail();
  Def *def = finddef(_WTvrml_tokentext());
  if (!def || def->kind == DEF_NONE) {
    _WTmsg_warning("USE: %s not found on line %d\n", _WTvrml_tokentext(), _WTvrml_tokenline());
    return;
  }
  if (def->kind == DEF_TEXTURE) {
    state().texture = def->texture;
  } else if (def->kind == DEF_MATERIAL) {
    // Every USE of a material makes it current again.
    state().material = def->node;
    WTnode_addchild(parent, def->node);
  } else {
    usenode(parent, def);
  }
}

// ---- Post-pass -------------------------------------------------------------------------------

void unpin(TableNode &t) {
  WTmtable *table = t.pin->mtable;
  if (t.node) WTnode_delete(t.node);
  t.node = nullptr;
  if (table) _WTmtable_detach(table, t.pin.get());
}

// Removes the material-table nodes made from the given one on, and their unused tables.
void droptables(size_t from) {
  for (size_t i = from; i < load.tables.size(); i++) unpin(load.tables[i]);
  load.tables.resize(from);
}

bool samename(WTnode *a, WTnode *b) {
  return !a->name || !b->name || strcmp(a->name, b->name) == 0;
}

// A movable keeps its transform and its content as they are, and so does the content itself:
// its children are reached through the movable, so it cannot give way to one of them.
bool inmovable(WTnode *s) {
  const unsigned shape = WTNF_MOVABLE | WTNF_INNER;
  if (s->flags & shape) return true;
  for (WTnodelink *l = s->firstparent; l; l = l->nextofchild)
    if (l->parent->flags & shape) return true;
  return false;
}

// Separators left with one geometry child become that child.
WTnode *dissolve(WTnode *result) {
  std::vector<WTnode *> work{result}, seps;
  std::unordered_set<WTnode *> seen;
  while (!work.empty()) {
    WTnode *n = work.back();
    work.pop_back();
    if (!seen.insert(n).second || !_WTnode_checkparent(n)) continue;
    if (n->kind == WTNODE_SEP) seps.push_back(n);
    for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) work.push_back(l->child);
  }
  for (WTnode *s : seps) {
    WTnode *c = WTnode_numchildren(s) == 1 ? WTnode_getchild(s, 0) : nullptr;
    if (!c || c->kind != WTNODE_GEOMETRY || !samename(s, c) || inmovable(s)) continue;
    WTnode *kept = replacebychild(s);
    if (s == result) result = kept;
  }
  return result;
}

WTmtable *defaulttable() {
  WTmtable *t = WTmtable_new(WTAMBIENT | WTDIFFUSE | WTSHININESS, 3, nullptr);
  if (!t) return nullptr;
  int i = WTmtable_newentry(t);
  const float ambient[3] = {0.2f, 0.2f, 0.2f}, diffuse[3] = {0.8f, 0.8f, 0.8f}, shine = 0.2f;
  WTmtable_setvalue(t, i, ambient, WTAMBIENT);
  WTmtable_setvalue(t, i, diffuse, WTDIFFUSE);
  WTmtable_setvalue(t, i, &shine, WTSHININESS);
  return t;
}

WTnode *finish(WTnode *result) {
  droptables(0);
  if (result) result = dissolve(result);
  WTmtable *fallback = nullptr;
  for (WTnode *n : load.geometries) {
    WTgeometry *g = n->u.geometry;
    if (!g || g->mtable) continue;
    if (!fallback) fallback = defaulttable();
    WTgeometry_setmtable(g, fallback);
  }
  load.geometries.clear();
  return result;
}

// ---- Documents -------------------------------------------------------------------------------

bool opensource(const char *name) {
  load.file = nullptr;
  load.socket = -1;
  if (strncmp(name, "http://", 7) == 0) load.socket = _WTvrml_openurl(name);
  else load.file = _WTfile_open(name, "rt");
  return load.file || load.socket >= 0;
}

void closesource() {
  if (load.file) fclose(load.file);
  if (load.socket >= 0) _WTvrml_closesocket(load.socket);
  load.file = nullptr;
  load.socket = -1;
}

void topnode(WTnode *doc, Def *&def) {
  int t = token();
  if (t == VT_DEF) {
    t = token();
    if (!isname(t, false)) fail();
    def = definition(_WTvrml_tokentext());
  } else if (t == VT_NODE) {
    Def *pending = def;
    def = nullptr;
    build(_WTvrml_intvalue(), doc, pending);
  } else {
    toss(_WTvrml_tokentext());
  }
}

struct Marks {
  size_t tables, geometries;
};

// Reads the document's nodes under a new separator; the separator, or null after an error
// (which removes exactly that separator and the material-table nodes this document made).
WTnode *readdocument(WTnode *parent) {
  WTnode *doc = WTsepnode_new(parent);
  const Marks marks = {load.tables.size(), load.geometries.size()};
  Def *def = nullptr;
  try {
    for (;;) {
      int t = token();
      if (t == VT_END) break;
      _WTvrml_ungettoken(t);
      topnode(doc, def);
    }
  } catch (const Error &) {
    droptables(marks.tables);
    load.geometries.resize(marks.geometries);
    WTnode_delete(doc);
    load.requests.clear();
    return nullptr;
  }
  // A lone material-table node is removed when the read ends: the document stays, left empty.
  WTnode *only = WTnode_numchildren(doc) == 1 ? WTnode_getchild(doc, 0) : nullptr;
  return only && !tableof(only) ? replacebychild(doc) : doc;
}

WTnode *document(WTnode *parent, const char *name, WTnode *material) {
  if (!opensource(name)) {
    _WTmsg_warning("Could not open %s\n", name);
    return nullptr;
  }
  load.stack.assign(1, State());
  load.stack[0].material = material;
  WTnode *result = nullptr;
  if (!_WTvrml_openinput(load.file, load.socket)) _WTmsg_warning("Invalid VRML File (%s)\n", name);
  else result = readdocument(parent);
  load.defs.clear();
  closesource();
  return result;
}

void takerequests() {
  while (!load.requests.empty()) {
    Request r = load.requests.front();
    load.requests.pop_front();
    _WTmsg_info("Processing inline:%s\n", r.reference.c_str());
    load.base = r.reference;
    load.depth = 1;
    document(r.node, r.reference.c_str(), r.material);
    load.depth = 0;
  }
}

}  // namespace

// ---- Services to the builders ----------------------------------------------------------------

State &state() { return load.stack.back(); }

State *outerstate() {
  return load.stack.size() >= 2 ? &load.stack[load.stack.size() - 2] : nullptr;
}

void pushstate() {
  if (load.stack.size() >= kMaxDepth) fail();
  State next = load.stack.back();
  next.info = 0;
  next.hasglom = false;
  next.glomname.clear();
  load.stack.push_back(next);
}

void popstate() {
  if (load.stack.size() > 1) load.stack.pop_back();
}

void fail() {
  _WTmsg_warning("VRML error on line %d with (%s)\n", _WTvrml_tokenline(), _WTvrml_tokentext());
  throw Error();
}

int token() { return _WTvrml_gettoken(); }

void expect(int code) {
  if (token() != code) fail();
}

WTmtable *tableof(WTnode *node) {
  if (!node) return nullptr;
  for (const TableNode &t : load.tables)
    if (t.node == node) return t.pin->mtable;
  return nullptr;
}

WTnode *newmtablenode(WTnode *parent, WTmtable *table) {
  WTnode *node = _WTmtablenode_new(parent);
  TableNode t{node, std::unique_ptr<WTgeometry>(new WTgeometry())};
  memset(t.pin.get(), 0, sizeof(WTgeometry));
  if (table) _WTmtable_attach(t.pin.get(), table);
  load.tables.push_back(std::move(t));
  return node;
}

void readchildren(WTnode *node) {
  Def *def = nullptr;
  for (;;) {
    int t = token();
    if (t == VT_RBRACE) return;
    if (t == VT_DEF) {
      if (!isname(token(), true)) fail();
      def = definition(_WTvrml_tokentext());
    } else if (t == VT_USE) {
      use(node);
    } else if (t == VT_NODE) {
      Def *pending = def;
      def = nullptr;
      build(_WTvrml_intvalue(), node, pending);
    } else if (t == VT_IDENT) {
      toss(_WTvrml_tokentext());
    } else {
      fail();
    }
  }
}

const std::string &base() { return load.base; }

bool takecamera() {
  if (load.camera) return false;
  load.camera = true;
  return true;
}

void queueinline(WTnode *node, WTnode *parent, const std::string &reference) {
  load.requests.push_back({node, parent, state().material, reference});
}

WTnode *replacebychild(WTnode *node) {
  WTnode *child = WTnode_getchild(node, 0);
  if (!child || WTnode_numparents(child) > 1) return node;
  if (node->name) WTnode_setname(child, node->name);
  std::vector<std::pair<WTnode *, int>> places;
  std::unordered_set<WTnode *> parents;
  for (int i = 0; i < WTnode_numparents(node); i++) {
    WTnode *p = WTnode_getparent(node, i);
    if (!parents.insert(p).second) continue;
    // One walk along the children (a lookup by number walks from the first each time).
    WTnode *content = _WTnode_resolveparent(p);
    if (!_WTnode_checkparent(content)) continue;
    int k = 0;
    for (WTnodelink *l = content->firstchild; l; l = l->nextsibling, k++)
      if (l->child == node) places.push_back({p, k});
  }
  for (auto &place : places) WTnode_insertchild(place.first, child, place.second);
  if (places.empty()) WTnode_removechild(node, 0);
  WTnode_delete(node);
  return child;
}

void define(Def *def, WTnode *node) {
  if (!node) return;
  if (node->kind == WTNODE_GEOMETRY) load.geometries.push_back(node);
  if (!def) return;
  def->kind = DEF_NODE;
  def->node = node;
  WTnode_setname(node, def->name.c_str());
  if (node->kind == WTNODE_GEOMETRY && node->u.geometry)
    WTgeometry_setname(node->u.geometry, def->name.c_str());
}

}  // namespace vrml

using namespace vrml;

extern "C" {

WTnode *_WTnode_loadvrml(WTnode *parent, const char *name) {
  if (!name) return nullptr;
  WTnode *root = parent ? nullptr : WTsepnode_new(nullptr);
  load.camera = false;
  load.base = load.nextbase.empty() ? name : load.nextbase;
  load.nextbase.clear();
  load.depth = 0;
  WTnode *result = document(parent ? parent : root, name, nullptr);
  if (result) takerequests();
  result = finish(result);
  load.requests.clear();
  if (!root) return result;
  if (result) {
    if (WTnode_numparents(result) == 1) WTnode_removechild(root, 0);
  }
  WTnode_delete(root);
  return result;
}

void _WTvrml_setbase(const char *base) { load.nextbase = base ? base : ""; }

void _WTvrml_cleanup(void) {
  load.stack.clear();
  load.stack.shrink_to_fit();
  _WTvrml_freepool();
  _WTvrml_freetoken();
}
}
