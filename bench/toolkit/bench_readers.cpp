// Speed of the model readers over one generated furnished house, written as Wavefront OBJ, DXF,
// VRML 1.0 and NFF with the same triangles: the read call of every format whose reader the
// toolkit has, warm cache, median of five, beside a plain read of the same file and the goal.
//   bench_readers            a quarter of the full size
//   bench_readers --full     a quarter, a half and the full size, and the growth per triangle
//   bench_readers [--full] NAME...   only the formats named (OBJ, DXF, VRML, NFF)
//   bench_readers --digest   also a digest of everything read (vertices, polygons, their
//                            statistics), to show that a faster reader reads the same
// The files are written next to the program (the build folder) and removed at the end.
#include <math.h>
#include <stdio.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "toolkit/core/filetypes.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

namespace {

// ---- The house -------------------------------------------------------------------------------

struct Piece {
  std::vector<float> v;    // x, y, z (up is y)
  std::vector<int> t;      // corners, three a triangle
  int colour;              // 1 .. 255
};

void grid(std::vector<Piece> &out, const float o[3], const float a[3], const float b[3], int nu, int nv,
          int colour) {
  Piece p;
  p.colour = colour;
  for (int j = 0; j <= nv; j++)
    for (int i = 0; i <= nu; i++)
      for (int k = 0; k < 3; k++) p.v.push_back(o[k] + a[k] * i / nu + b[k] * j / nv);
  for (int j = 0; j < nv; j++)
    for (int i = 0; i < nu; i++) {
      int c = j * (nu + 1) + i;
      p.t.insert(p.t.end(), {c, c + 1, c + nu + 2, c, c + nu + 2, c + nu + 1});
    }
  out.push_back(std::move(p));
}

void sphere(std::vector<Piece> &out, float x, float y, float z, float r, int lat, int lon, int colour) {
  Piece p;
  p.colour = colour;
  for (int j = 0; j <= lat; j++)
    for (int i = 0; i < lon; i++) {
      float a = 3.14159265f * (j + 0.5f) / (lat + 1), b = 6.2831853f * i / lon;
      p.v.insert(p.v.end(), {x + r * sinf(a) * cosf(b), y + r * cosf(a), z + r * sinf(a) * sinf(b)});
    }
  for (int j = 0; j < lat; j++)
    for (int i = 0; i < lon; i++) {
      int c = j * lon + i, d = j * lon + (i + 1) % lon;
      p.t.insert(p.t.end(), {c, d, d + lon, c, d + lon, c + lon});
    }
  out.push_back(std::move(p));
}

// Rooms of walls, floor and ceiling, furnished with round pieces, until the triangle count.
std::vector<Piece> house(long triangles) {
  std::vector<Piece> out;
  long made = 0;
  for (int room = 0; made < triangles; room++) {
    const float x = float(room % 8) * 5000, z = float(room / 8) * 4000;
    const float o[3] = {x, 0, z}, top[3] = {x, 2600, z}, far[3] = {x, 0, z + 4000};
    const float ax[3] = {5000, 0, 0}, az[3] = {0, 0, 4000}, ay[3] = {0, 2600, 0};
    size_t first = out.size();
    grid(out, o, ax, az, 40, 32, 8);
    grid(out, top, ax, az, 40, 32, 9);
    grid(out, o, ax, ay, 40, 20, 30 + room % 10);
    grid(out, far, ax, ay, 40, 20, 30 + room % 10);
    grid(out, o, az, ay, 32, 20, 50);
    for (int k = 0; k < 8; k++)
      sphere(out, x + 600 + k * 500, 400, z + 1000 + (k % 3) * 900, 300, 24, 32, 10 + (k * 20 + room) % 230);
    for (size_t i = first; i < out.size(); i++) made += long(out[i].t.size() / 3);
  }
  // The last pieces cut to the count, so that every format holds the same triangles.
  while (made > triangles) {
    Piece &last = out.back();
    long drop = std::min(made - triangles, long(last.t.size() / 3));
    last.t.resize(last.t.size() - size_t(drop) * 3);
    made -= drop;
    if (last.t.empty()) out.pop_back();
  }
  return out;
}

// ---- Writers -----------------------------------------------------------------------------------

FILE *create(const std::string &path) {
  FILE *f = fopen(path.c_str(), "wb");
  if (f) setvbuf(f, nullptr, _IOFBF, 1 << 20);
  return f;
}

void writeobj(const std::vector<Piece> &house, FILE *f) {
  long base = 1;
  int n = 0;
  for (const Piece &p : house) {
    fprintf(f, "g part%d\n", n++);
    for (size_t i = 0; i < p.v.size(); i += 3) fprintf(f, "v %.4f %.4f %.4f\n", p.v[i], p.v[i + 1], p.v[i + 2]);
    for (size_t i = 0; i < p.t.size(); i += 3)
      fprintf(f, "f %ld %ld %ld\n", base + p.t[i], base + p.t[i + 1], base + p.t[i + 2]);
    base += long(p.v.size() / 3);
  }
}

// Polyface meshes in DXF axes (z up).
void writedxf(const std::vector<Piece> &house, FILE *f) {
  fprintf(f, "  0\nSECTION\n  2\nENTITIES\n");
  for (const Piece &p : house) {
    fprintf(f, "  0\nPOLYLINE\n  8\n0\n 62\n%d\n 66\n1\n 70\n64\n 71\n%zu\n 72\n%zu\n", p.colour,
            p.v.size() / 3, p.t.size() / 3);
    for (size_t i = 0; i < p.v.size(); i += 3)
      fprintf(f, "  0\nVERTEX\n  8\n0\n 10\n%.3f\n 20\n%.3f\n 30\n%.3f\n 70\n192\n", p.v[i], -p.v[i + 2], p.v[i + 1]);
    for (size_t i = 0; i < p.t.size(); i += 3)
      fprintf(f, "  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 70\n128\n 71\n%d\n 72\n%d\n 73\n%d\n", p.t[i] + 1,
              p.t[i + 1] + 1, p.t[i + 2] + 1);
    fprintf(f, "  0\nSEQEND\n");
  }
  fprintf(f, "  0\nENDSEC\n  0\nEOF\n");
}

void writevrml(const std::vector<Piece> &house, FILE *f) {
  fprintf(f, "#VRML V1.0 ascii\nSeparator {\n");
  for (const Piece &p : house) {
    fprintf(f, "Separator {\nMaterial { diffuseColor %.3f 0.5 0.5 }\nCoordinate3 { point [\n", p.colour / 255.0);
    for (size_t i = 0; i < p.v.size(); i += 3) fprintf(f, "%.6f %.6f %.6f,\n", p.v[i], p.v[i + 1], p.v[i + 2]);
    fprintf(f, "] }\nIndexedFaceSet { coordIndex [\n");
    for (size_t i = 0; i < p.t.size(); i += 3) fprintf(f, "%d, %d, %d, -1,\n", p.t[i], p.t[i + 1], p.t[i + 2]);
    fprintf(f, "] }\n}\n");
  }
  fprintf(f, "}\n");
}

void writenff(const std::vector<Piece> &house, FILE *f) {
  fprintf(f, "nff\nversion 2.0\n");
  int n = 0;
  for (const Piece &p : house) {
    fprintf(f, "part%d\n%zu\n", n++, p.v.size() / 3);
    for (size_t i = 0; i < p.v.size(); i += 3) fprintf(f, "%.6f %.6f %.6f\n", p.v[i], p.v[i + 1], p.v[i + 2]);
    fprintf(f, "%zu\n", p.t.size() / 3);
    for (size_t i = 0; i < p.t.size(); i += 3)
      fprintf(f, "3 %d %d %d 0x%02x8080\n", p.t[i], p.t[i + 1], p.t[i + 2], p.colour);
  }
}

// ---- Formats -------------------------------------------------------------------------------

// One line a format: a reader that comes into the toolkit is switched on here.
struct Format {
  const char *name, *extension;
  int type;           // the file type _WTgeometry_load reads
  bool reader;        // the toolkit has a reader for it
  bool nodes;         // read into nodes (WTnode_load), not into a list of geometries
  long triangles;     // at full size
  double goal;        // seconds at full size
  void (*write)(const std::vector<Piece> &, FILE *);
};

const Format kFormats[] = {
    {"OBJ", "obj", WTFILE_WFRONT, true, false, 2900000, 0.89, writeobj},
    {"DXF", "dxf", WTFILE_DXF, true, false, 1240000, 0.62, writedxf},
    {"VRML 1.0", "wrl", WTFILE_VRML1, true, true, 1240000, 0.81, writevrml},
    {"NFF", "nff", WTFILE_NFF, true, false, 1240000, 0.37, writenff},
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double plainread(const std::string &path) {
  std::vector<char> buffer(1 << 20);
  auto start = std::chrono::steady_clock::now();
  FILE *f = fopen(path.c_str(), "rb");
  while (f && fread(buffer.data(), 1, buffer.size(), f) > 0) {
  }
  if (f) fclose(f);
  return seconds(start);
}

// One read call into nodes under a separator of the root; -1 when nothing was read.
// ---- Digest of what was read ------------------------------------------------------------------

bool digestwanted = false;
uint64_t lastdigest = 0;

void fold(uint64_t &h, const void *data, size_t size) {
  for (size_t i = 0; i < size; i++) h = (h ^ static_cast<const unsigned char *>(data)[i]) * 0x100000001b3ull;
}

void foldgeometry(uint64_t &h, WTgeometry *g) {
  for (WTvertex *v = g->vertices; v; v = v->next) fold(h, v->position, sizeof(WTp3));
  for (WTpoly *p = g->polys; p; p = p->next) {
    for (const float *f : {p->normal, p->centre}) fold(h, f, sizeof(WTp3));
    for (float f : {p->radius, p->d}) fold(h, &f, sizeof f);
    for (int i : {int(p->matid), int(p->id), int(p->flags), int(p->rflags), int(p->nverts)}) fold(h, &i, sizeof i);
    for (WTvertexlink *l = p->links; l; l = l->next) {
      fold(h, l->vertex->position, sizeof(WTp3));
      if (l->vertex->normal) fold(h, l->vertex->normal, sizeof(WTp3));
    }
  }
}

void foldnodes(uint64_t &h, WTnode *node) {
  if (WTgeometry *g = WTnode_gettype(node) == WTNODE_GEOMETRY ? WTnode_getgeometry(node) : nullptr)
    foldgeometry(h, g);
  for (int i = 0; i < WTnode_numchildren(node); i++) foldnodes(h, WTnode_getchild(node, i));
}

// ---- Reading -------------------------------------------------------------------------------------

double readnodes(const std::string &path, long *polys) {
  static WTnode *root = WTrootnode_new();
  WTnode *parent = WTsepnode_new(root);
  auto start = std::chrono::steady_clock::now();
  WTnode *node = WTnode_load(parent, path.c_str(), 1.0f);
  double took = seconds(start);
  *polys = WTnode_numpolys(parent);
  lastdigest = 0xcbf29ce484222325ull;
  if (digestwanted) foldnodes(lastdigest, parent);
  WTnode_delete(parent);
  return node ? took : -1;
}

// One read call into geometries; -1 when nothing was read.
double readonce(const Format &format, const std::string &path, long *polys) {
  if (format.nodes) return readnodes(path, polys);
  FILE *f = _WTfile_open(path.c_str(), format.type == WTFILE_DXF || format.type == WTFILE_NFF || format.type == WTFILE_WFRONT ? "r" : "rb");
  if (!f) return -1;
  WTpq pose;
  auto start = std::chrono::steady_clock::now();
  WTgeomlist *list = _WTgeometry_load(f, path.c_str(), format.type, &pose, 1.0f, 0);
  double took = seconds(start);
  *polys = 0;
  lastdigest = 0xcbf29ce484222325ull;
  for (WTgeomlist *c = list; c; c = c->next) {
    *polys += WTgeometry_numpolys(c->geometry);
    if (digestwanted) foldgeometry(lastdigest, c->geometry);
    WTgeometry_delete(c->geometry);
  }
  _WTgeomlist_delete(list);
  return list ? took : -1;
}

struct Result {
  double seconds = -1;
  long triangles = 0;
};

Result measure(const Format &format, double fraction, const std::string &folder) {
  Result r;
  r.triangles = long(format.triangles * fraction);
  const std::string path = folder + "/house-" + std::to_string(r.triangles) + "." + format.extension;
  FILE *f = create(path);
  if (!f) {
    printf("%-9s cannot write %s\n", format.name, path.c_str());
    return r;
  }
  format.write(house(r.triangles), f);
  fclose(f);
  const double mb = double(std::filesystem::file_size(path)) / 1e6;
  const double goal = format.goal * fraction;
  std::vector<double> plain, reads;
  plainread(path);
  for (int i = 0; i < 5; i++) plain.push_back(plainread(path));
  const double base = median(plain);
  if (!format.reader) {
    printf("%-9s %5.2f x %8ld triangles %7.1f MB  plain read %7.1f ms  no reader yet (goal %.0f ms)\n",
           format.name, fraction, r.triangles, mb, base * 1e3, goal * 1e3);
  } else {
    long polys = 0;
    readonce(format, path, &polys);
    for (int i = 0; i < 5; i++) reads.push_back(readonce(format, path, &polys));
    r.seconds = median(reads);
    printf("%-9s %5.2f x %8ld triangles %7.1f MB  read %8.1f ms (goal %6.0f ms, %s)  %6.1f MB/s  "
           "%5.1f x plain read (%.1f ms)%s",
           format.name, fraction, r.triangles, mb, r.seconds * 1e3, goal * 1e3,
           r.seconds >= 0 && r.seconds <= goal ? "met" : "missed", mb / r.seconds, r.seconds / base, base * 1e3,
           polys == r.triangles ? "" : "  polygon count differs");
    if (digestwanted) printf("  digest %016llx", static_cast<unsigned long long>(lastdigest));
    printf("\n");
  }
  fflush(stdout);
  std::filesystem::remove(path);
  return r;
}

}  // namespace

int main(int argc, char **argv) {
  bool full = false;
  std::vector<std::string> chosen;
  for (int i = 1; i < argc; i++) {
    if (!strcmp(argv[i], "--full")) full = true;
    else if (!strcmp(argv[i], "--digest")) digestwanted = true;
    else chosen.push_back(argv[i]);
  }
  auto wanted = [&](const Format &format) {
    if (chosen.empty()) return true;
    for (const std::string &name : chosen)
      if (!strncmp(format.name, name.c_str(), name.size())) return true;
    return false;
  };
  std::string folder = std::filesystem::absolute(argv[0]).parent_path().string() + "/readers-data";
  std::filesystem::create_directories(folder);
  for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
  WTuniverse_new(512, 0);
  std::vector<double> fractions = {0.25};
  if (full) fractions = {0.25, 0.5, 1.0};
  for (const Format &format : kFormats) {
    if (!wanted(format)) continue;
    std::vector<Result> results;
    for (double fraction : fractions) results.push_back(measure(format, fraction, folder));
    if (full && results.front().seconds > 0 && results.back().seconds > 0) {
      double growth = (results.back().seconds / double(results.back().triangles)) /
                      (results.front().seconds / double(results.front().triangles));
      printf("%-9s time per triangle, full size against a quarter: %.2f x (goal at most 1.25 x, %s)\n",
             format.name, growth, growth <= 1.25 ? "met" : "missed");
    }
  }
  std::filesystem::remove_all(folder);
  WTuniverse_delete();
  return 0;
}
