// Shared by the scene-graph and universe tests: a universe for the length of a test, and files
// written into a scratch folder.
#pragma once

#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

#include "toolkit/core/node.h"

namespace tk {

class Universe : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  WTnode *root = nullptr;
};

// A file with the text in the test's scratch folder; returns its path.
std::string writefile(const std::string &name, const std::string &text);
std::string readfile(const std::string &path);  // line ends as LF
// A file under folder\name, the way the toolkit's search joins them (on Windows the folder is
// made first; elsewhere the backslash is part of the file's name).
std::string writeinfolder(const std::string &folder, const std::string &name,
                          const std::string &text);

}  // namespace tk
