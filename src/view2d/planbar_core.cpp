#include "view2d/planbar_core.h"

#include <algorithm>

#include "models/planhost.h"

RewrittenLength RewriteLength(const char* text, int caret, std::optional<int32_t> minimum) {
  RewrittenLength out;
  out.value = ParseBarMillimetres(text ? text : "");
  if (minimum && out.value < *minimum) out.value = *minimum;
  CString number;
  number.Format("%d", out.value);
  out.text = number + "mm";
  out.caret = std::clamp(caret, 0, number.GetLength());
  return out;
}
