// Small image files written byte by byte for the image reader tests: Targa, SGI RGB, and JPEG
// encoded with libjpeg.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

namespace tk {
namespace img {

// Bytes of a literal, embedded zeros included.
inline std::string operator""_b(const char *s, size_t n) { return std::string(s, n); }

struct Tga {
  int type, width, height, depth, descriptor;
  int maptype = 0, maporigin = 0, maplength = 0, mapbits = 0;
  std::string id, map, data;
};
Tga tga(int type, int width, int height, int depth, const std::string &data, int descriptor = 0);
std::string bytes(const Tga &t);
// One Targa value of 24 bits (stored blue, green, red).
std::string bgr(int r, int g, int b);

// The 512-byte header; one byte a channel.
std::string sgiheader(int storage, int width, int height, int channels);
// The run-length tables: start offsets then lengths, big-endian.
std::string sgitables(const std::vector<unsigned> &starts, const std::vector<unsigned> &lengths);
// planes[c] holds channel c, rows from the bottom, width bytes a row.
std::string sgiverbatim(int width, int height, const std::vector<std::string> &planes);
// The same, each row one literal run; rows stored row by row or channel by channel.
std::string sgirunlength(int width, int height, const std::vector<std::string> &planes, bool rowmajor);

// A JFIF (grey, colour) or Adobe (four components, CMYK) file of the samples, top row first.
std::string jpeg(int width, int height, int components, const std::string &samples);

}  // namespace img
}  // namespace tk
