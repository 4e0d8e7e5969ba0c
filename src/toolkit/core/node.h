// The node record, its link cells and what the node files share with each other and with the
// toolkit's other folders.
#pragma once

#include "toolkit/core/core.h"

struct WTnodelink;

// Cached bounds of a group node.
struct WTbounds {
  float mid[3];
  float ext[3];
  float radius;
};

struct WTlodpayload {
  float center[3];
  int nranges;
  float *squares; // the ranges squared
  char *text;     // the ranges printed with "%f", joined by ","
};

struct WTmaterialpayload {
  float diffuse[3];
  float opacity;
  float ambient[3];
  float specular[3];
  float emission[3];
  float shininess;
  int mask;
};

struct WTfogpayload {
  float color[4];
  float linearstart;
  float range;
  int mode;
};

struct WTcallbackpayload {
  void (*fn)(WTnode *node, void *data);
  void *data;
  float boxmin[3];
  float boxmax[3];
  int flags;
};

struct WTnode {
  // Header shared by every node (and, in its first fields, by the link cells).
  unsigned char kind;
  unsigned char flags;
  uint16_t nparents;  // real parents: a link to the default parent does not count
  WTnodelink *firstparent;
  void *data;
  char *name;
  char *mvattext;
  // Group kinds and the object node.
  WTnodelink *firstchild;
  WTnodelink *lastchild;
  char *childrentext;
  WTbounds bounds;
  // The transforms a group, anchor or switch passes on to its following siblings, kept with the
  // bounds (valid while flag 2 is set and the node is not changed).
  float passon[4][4];
  int passonkind;
  // Per kind.
  union {
    int cullmode;   // separator, root
    int whichchild; // switch
    char *location; // anchor, inline
    WTlodpayload lod;
    struct {
      WTobject *object;
      float m[4][4];
    } obj;
    struct {
      float m[4][4];
      int xkind; // 1 rotation block not identity, 2 translation not zero
    } xform;
    WTgeometry *geometry;
    struct {
      WTlight *light;
      int one;
    } light;
    struct {
      float rgb[3];
      float intensity;
    } ambient;
    WTmaterialpayload material;
    WTfogpayload fog;
    WTcallbackpayload callback;
    int mtable[2];
  } u;
};

// Joins one parent to one child.
struct WTnodelink {
  unsigned char kind; // WTNODE_LINK
  unsigned char flags; // 1, and 4 while marked by the change propagation
  uint16_t zero;
  WTnode *parent;
  void *spare[3];
  WTnodelink *nextofchild; // the child's parent chain
  WTnodelink *prevofchild; // in the chain's first link: the chain's last link (null when alone)
  WTnodelink *nextsibling; // the parent's ordered child list
  WTnodelink *prevsibling;
  WTnode *child;
};

// Node flags.
enum : unsigned char {
  WTNF_ENABLED = 1,
  WTNF_PASSONVALID = 2,
  WTNF_CHANGED = 4,
  WTNF_HOLDER = 8,
  WTNF_SHOWBOX = 16,
  WTNF_BOUNDSVALID = 32,
  WTNF_MOVABLE = 64,
  WTNF_INNER = 128,
};

// Link flag: marked by the change propagation until the update pass.
enum : unsigned char { WTLF_MARKED = 4 };

// The kinds of a walk's entries: a walk's stack holds nodes and link cells alike.
inline unsigned char _WTkindof(const void *p) { return *static_cast<const unsigned char *>(p); }

extern "C" {

// The hidden parent of detached nodes.
WTnode *_WTnode_defaultparent(void);
int _WTnode_checkparent(WTnode *node);
// The node that receives, counts and yields children: a movable head stands for its content.
WTnode *_WTnode_resolveparent(WTnode *node);
// The node whose own data an attribute operation reads: a movable head stands for its last
// child, a movable's inner group for its first child.
WTnode *_WTnode_resolve(WTnode *node);
// A transform operation's node: a movable head stands for its first child.
WTnode *_WTnode_resolvexform(WTnode *node);
// A new node of the kind under the resolved parent (the default parent for null), or null
// when that parent takes no children.
WTnode *_WTnode_create(WTnode *parent, int kind);
// Raw link cells: a new cell, the parent's ordered child list and the child's parent chain.
WTnodelink *_WTnodelink_new(WTnode *parent, WTnode *child);
void _WTnodelink_siblingappend(WTnode *parent, WTnodelink *l);
void _WTnodelink_siblingunlink(WTnode *parent, WTnodelink *l);
void _WTnodelink_chainappend(WTnode *child, WTnodelink *l);
void _WTnodelink_chainunlink(WTnode *child, WTnodelink *l);
// Appends without checks or events.
void _WTnode_addchildraw(WTnode *parent, WTnode *child);
// Marks changed upward from a link cell.
void _WTnode_markupward(WTnodelink *link);
// Marks a node changed: a root directly, else upward from its first parent link.
void _WTnode_markchanged(WTnode *node);
WTnodelink *_WTnode_childlink(WTnode *parent, int index);
// Rebuilds the children text and fires the post "Children" event when a handler wants it.
void _WTnode_postchildren(WTnode *node);
int _WTnode_firepre(void *object, const char *name);
void _WTnode_firepost(void *object, const char *name, const void *value);
int _WTnode_haspost(void *object, const char *name);
// Name table.
void _WTnode_unname(WTnode *node);
// Frees the node's own resources by kind (not its links or children).
void _WTnode_freepayload(WTnode *node);
// The update pass over one child list into bounds; true when anything contributed.
int _WTnode_update(WTnodelink *first, WTbounds *out);
// Update pass into the node's cached bounds when it is changed.
void _WTnode_refreshbounds(WTnode *node);
// Affine product a * b into out (the translation row of a goes through b).
void _WTm4_affine(const float a[4][4], const float b[4][4], float out[4][4]);
// Composes a transform node's matrix after the current one, by its kind word.
void _WTnode_composexform(const WTnode *xform, float current[4][4], int *kind);
// The link of a switch's active child as drawing chooses it: the first child link when every
// child is active (-3), null when none is.
WTnodelink *_WTswitchnode_getactivechild(WTnode *node);
// The node's root list cell helpers, kept by the universe.
void _WTnode_addroot(WTnode *root);
void _WTnode_removeroots(void);
}

extern "C" {
// The process-wide switch of the node operations' property events (on at start).
void _WTnode_setevents(int on);
int _WTnode_getevents(void);
}
