// A toolkit universe for the length of a test, with the scene's node deleter installed.
#pragma once
#include <gtest/gtest.h>

#include "models/scene_node.h"
#include "toolkit/wt.h"
#include "view3d/nodedata.h"

class SimUniverse : public ::testing::Test {
protected:
  void SetUp() override {
    _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);  // no banner
    WTuniverse_new(512, 0);
    root = WTuniverse_getrootnodes();
    InstallSceneNodeDeleter();
  }
  // The records that a test leaves go with the nodes.
  void TearDown() override {
    DeleteNodeTree(root);
    SetNodeTreeDeleter(nullptr);
    WTuniverse_delete();
  }

  // A named block under the parent.
  static WTnode* Block(WTnode* parent, const char* name, float x, float y, float z) {
    WTnode* node = WTgeometrynode_new(parent, WTgeometry_newblock(x, y, z, 0));
    WTnode_setname(node, name);
    return node;
  }

  WTnode* root = nullptr;
};
