// The plan bar's length fields as text: what a field's text is worth and how it is written back
// ("%dmm") with the caret kept inside the number, apart from the window so that it is tested in
// both configurations.
#pragma once
#include <cstdint>
#include <optional>

#include "afx/afx.h"

struct RewrittenLength {
  int32_t value = 0;
  CString text;  // "%dmm"
  int caret = 0;
};

// The field's text read as millimetres (bounded, "-", "-mm" and "-0mm" giving -10), raised to
// the minimum when there is one, and the text it is rewritten to with the caret at the smaller of
// its old place and the number of characters of the value.
RewrittenLength RewriteLength(const char* text, int caret, std::optional<int32_t> minimum);
