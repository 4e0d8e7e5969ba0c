// The program's own exception, thrown by value: the source that raised it, the line and a code.
// Code 1: the file is not a model file this program can read (the document's load).
#pragma once

struct MyCodeException {
  const char* source;
  int line;
  int code;
};
