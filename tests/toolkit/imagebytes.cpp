#include "imagebytes.h"

#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

namespace tk {
namespace img {

namespace {

void put16le(std::string &s, int v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>((v >> 8) & 255);
}

void put16be(std::string &s, size_t at, int v) {
  s[at] = static_cast<char>((v >> 8) & 255);
  s[at + 1] = static_cast<char>(v & 255);
}

void put32be(std::string &s, unsigned v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 255);
}

}  // namespace

Tga tga(int type, int width, int height, int depth, const std::string &data, int descriptor) {
  Tga t;
  t.type = type, t.width = width, t.height = height, t.depth = depth, t.descriptor = descriptor;
  t.data = data;
  return t;
}

std::string bytes(const Tga &t) {
  std::string s;
  s += static_cast<char>(t.id.size());
  s += static_cast<char>(t.maptype);
  s += static_cast<char>(t.type);
  put16le(s, t.maporigin);
  put16le(s, t.maplength);
  s += static_cast<char>(t.mapbits);
  put16le(s, 0);
  put16le(s, 0);
  put16le(s, t.width);
  put16le(s, t.height);
  s += static_cast<char>(t.depth);
  s += static_cast<char>(t.descriptor);
  return s + t.id + t.map + t.data;
}

std::string bgr(int r, int g, int b) {
  return {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
}

std::string sgiheader(int storage, int width, int height, int channels) {
  std::string s(512, '\0');
  put16be(s, 0, 474);
  s[2] = static_cast<char>(storage);
  s[3] = 1;
  put16be(s, 4, 3);
  put16be(s, 6, width);
  put16be(s, 8, height);
  put16be(s, 10, channels);
  s[19] = '\xFF';
  return s;
}

std::string sgitables(const std::vector<unsigned> &starts, const std::vector<unsigned> &lengths) {
  std::string s;
  for (unsigned v : starts) put32be(s, v);
  for (unsigned v : lengths) put32be(s, v);
  return s;
}

std::string sgiverbatim(int width, int height, const std::vector<std::string> &planes) {
  std::string s = sgiheader(0, width, height, static_cast<int>(planes.size()));
  for (const std::string &p : planes) s += p;
  return s;
}

std::string sgirunlength(int width, int height, const std::vector<std::string> &planes, bool rowmajor) {
  int channels = static_cast<int>(planes.size()), rows = height * channels;
  std::vector<unsigned> starts(rows), lengths(rows, width + 2);
  std::string data;
  unsigned at = 512 + 8 * rows;
  for (int i = 0; i < rows; i++) {
    int y = rowmajor ? i / channels : i % height, c = rowmajor ? i % channels : i / height;
    starts[y + c * height] = at + static_cast<unsigned>(data.size());
    data += static_cast<char>(0x80 | width);
    data += planes[c].substr(static_cast<size_t>(y) * width, width);
    data += '\0';
  }
  return sgiheader(1, width, height, channels) + sgitables(starts, lengths) + data;
}

std::string jpeg(int width, int height, int components, const std::string &samples) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char *out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        const_cast<char *>(samples.data()) + static_cast<size_t>(info.next_scanline) * width * components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string s(reinterpret_cast<char *>(out), size);
  free(out);
  return s;
}

}  // namespace img
}  // namespace tk
