// Node paths as the motion code needs them.
#pragma once

#include "toolkit/core/node.h"

struct WTnodepath {
  void *spare[3];
  WTnodelink **links;  // root first
  int count;
  int isfree;
  void *spare2;
};

extern "C" {
// The transform node that a link to the path drives: the path's node, or a movable's transform
// node; null when there is none.
WTnode *_WTnodepath_lastxform(WTnodepath *path);
// When the path ends in a path marker ("WTMarker"), the marked path element takes the node's pose.
void _WTnodepath_followmarker(WTnodepath *path, WTnode *node);
}
