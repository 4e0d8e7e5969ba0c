// Reads arbitrary bytes as a plan-symbol DXF file and draws the symbol at every scale the bytes
// ask for. Whatever the input, reading and drawing end without reading outside the data,
// overflowing, leaking or crashing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "models/holesymbol.h"

namespace {

class NullPainter : public SymbolPainter {
public:
  void Line(CPoint, CPoint) override {}
  void Ellipse(const CRect&) override {}
  void Arc(const CRect&, CPoint, CPoint) override {}
};

std::string InputPath() {
  return "/tmp/vedra-fuzz-dxf-" + std::to_string(static_cast<long long>(getpid())) + ".DXF";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = InputPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  Hole hole;
  auto* symbol = new HoleSymbol;
  hole.m_symbols.Add(symbol);
  symbol->ReadDxf(path.c_str());
  symbol->ReadDxf(path.c_str());  // a second read appends
  NullPainter painter;
  const int32_t sizes[] = {0, 1, 900, 2147483647, -2147483647 - 1};
  for (int32_t width : sizes)
    for (int32_t depth : sizes) hole.Draw(painter, CPoint(width, depth), width % 360, depth & 1, width, depth);
  hole.GetBounds(33.0);
  return 0;
}
