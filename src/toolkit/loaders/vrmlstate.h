// What the VRML 1.0 document reader and its node builders share: the traversal state of each
// Separator level, DEF records, the load's bookkeeping and the error that ends a document.
#pragma once

#include <string>
#include <vector>

#include "toolkit/loaders/vrml.h"

namespace vrml {

// Raised by a syntax or value error; the document's read ends at its unwind point.
struct Error {};

struct State {
  WTnode *material = nullptr;  // material-table node in force
  std::string texture;         // texture name in force, empty for none
  bool hasglom = false;
  std::string glomname;
  float texmatrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  int free = 0;
  WTvrmlrange coords{0, 0}, normals{0, 0}, texcoords{0, 0};
  WTvrmlrange ambient{0, 0}, diffuse{0, 0}, specular{0, 0}, emissive{0, 0};
  WTvrmlrange shininess{0, 0}, transparency{0, 0};
  int materialbinding = VB_OVERALL;
  int normalbinding = VB_DEFAULT;
  int vertexordering = 0, shapetype = 0, facetype = 1;
  float crease = 0.5f;
  int info = 0;  // 1 glom, 2 "Moveable", 4 "Attachment"
};

enum { INFO_GLOM = 1, INFO_MOVEABLE = 2, INFO_ATTACHMENT = 4 };

enum DefKind { DEF_NONE = 0, DEF_NODE = 1, DEF_MATERIAL = 2, DEF_TEXTURE = 3 };

struct Def {
  std::string name;
  DefKind kind = DEF_NONE;
  WTnode *node = nullptr;  // the node, or the material-table node
  std::string texture;
};

// ---- The reader's services to the builders (vrmlread.cpp) ------------------------------------

State &state();
// The state of the enclosing Separator level (null at the top).
State *outerstate();
void pushstate();
void popstate();
// Raises the error report for the current token.
[[noreturn]] void fail();
// The next token must be the code given.
void expect(int code);
int token();
// The table held by a material-table node (null for none).
WTmtable *tableof(WTnode *mtablenode);
// Registers a material-table node made by this load with its table.
WTnode *newmtablenode(WTnode *parent, WTmtable *table);
// Reads children until "}" under the node.
void readchildren(WTnode *node);
// The base reference of the document being read, the inline depth and the first-camera flag.
const std::string &base();
bool takecamera();
// Queues an inline request.
void queueinline(WTnode *node, WTnode *parent, const std::string &reference);
// Replaces a node by its only child when that child has no other parent; the node left.
WTnode *replacebychild(WTnode *node);
// Names a node (and its geometry) with the DEF name and records it.
void define(Def *def, WTnode *node);

// ---- Node builders (vrmlbuild.cpp) -----------------------------------------------------------

// Builds a node of the keyword's number under the parent; the node made, or null.
WTnode *build(int keyword, WTnode *parent, Def *def);
// Skips a leading "fields [ ... ]" declaration after "{".
void skipfields();

}  // namespace vrml
