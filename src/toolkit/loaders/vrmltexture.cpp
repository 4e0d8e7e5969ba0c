// VRML 1.0 Texture2 nodes: inline images, file names resolved along the image path or beside the
// document, and textures fetched over HTTP (GIF images converted to Targa on the way).
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/tcp.h"
#include "toolkit/loaders/vrmlstate.h"
#include "toolkit/render/context.h"
#include "toolkit/render/images.h"

namespace vrml {
namespace {

bool endswith(const std::string &s, const char *tail) {
  const size_t n = strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

std::string withextension(const std::string &name, const char *extension) {
  size_t dot = name.rfind('.');
  size_t slash = name.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + extension;
  return name.substr(0, dot) + extension;
}

bool onimagepath(const std::string &name, std::string *found) {
  char *path = _WTfile_findpath(name.c_str(), "WTIMAGES");
  if (!path) return false;
  *found = path;
  return true;
}

// A plain file name: no folder, drive or parent reference.
bool plainname(const std::string &name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
         name.find("..") == std::string::npos;
}

// Writes the reply after its first block (dropped when it is the HTTP header).
bool savereply(WTsocket s, FILE *out) {
  char block[1024];
  int n = _WTvrml_recv(s, block, sizeof block);
  if (n < 6 || strncmp(block, "<HTML>", 6) == 0) return false;
  if (strncmp(block, "HTTP", 4) == 0) n = _WTvrml_recv(s, block, sizeof block);
  bool ok = true;
  for (; n > 0; n = _WTvrml_recv(s, block, sizeof block))
    ok = fwrite(block, 1, static_cast<size_t>(n), out) == static_cast<size_t>(n) && ok;
  return ok;
}

bool isgif(const std::string &path) {
  FILE *f = _WTfile_open(path.c_str(), "rb");
  if (!f) return false;
  char head[3] = {0, 0, 0};
  bool gif = fread(head, 1, 3, f) == 3 && memcmp(head, "GIF", 3) == 0;
  fclose(f);
  return gif;
}

// The local file of an HTTP texture in the temporary folder, or empty.
std::string fetch(const std::string &reference) {
  const std::string leaf = reference.substr(reference.rfind('/') + 1);
  WTsocket s = plainname(leaf) ? _WTvrml_openurl(reference.c_str()) : -1;
  if (s < 0) {
    _WTmsg_warning("Could not retrieve %s\n", reference.c_str());
    return std::string();
  }
  const std::string local = _WTplat_tempfolder() + leaf;
  FILE *out = _WTfile_open(local.c_str(), "wb");
  bool ok = out && savereply(s, out);
  if (out) ok = fclose(out) == 0 && ok;
  _WTvrml_closesocket(s);
  if (!ok) {
    _WTmsg_warning("Could not retrieve %s\n", reference.c_str());
    if (out) remove(local.c_str());
    return std::string();
  }
  if (!isgif(local)) return local;
  const std::string tga = withextension(local, ".tga");
  return _WTgif_totga(local.c_str(), tga.c_str()) ? tga : local;
}

// The file name a Texture2 filename resolves to.
std::string resolve(const std::string &filename) {
  const std::string leaf = filename.substr(filename.rfind('/') + 1);
  std::string found;
  if (endswith(leaf, ".gif") && onimagepath(withextension(leaf, ".tga"), &found))
    return withextension(leaf, ".tga");
  if (onimagepath(leaf, &found)) return leaf;
  std::string reference = filename;
  if (filename.compare(0, 7, "http://") != 0) {
    size_t cut = base().rfind('/');
    if (cut != std::string::npos) reference = base().substr(0, cut + 1) + filename;
  }
  if (reference.compare(0, 7, "http://") == 0) return fetch(reference);
  if (onimagepath(reference, &found)) return found;
  if (onimagepath(withextension(reference, ".tga"), &found)) return found;
  return filename;
}

std::string imagename(Def *def) {
  if (def) return def->name;
  static int counter;
  char name[32];
  do snprintf(name, sizeof name, "SFImage%d", counter++);
  while (_WTtexture_find(name));
  return name;
}

}  // namespace

WTnode *buildtexture(Def *def) {
  State &s = state();
  const int at = s.free;
  std::string filename;
  uint32_t *pixels = nullptr;
  int width = 0, height = 0;
  try {
    expect(VT_LBRACE);
    skipfields();
    for (int t = token(); t != VT_RBRACE; t = token()) {
      const int f = _WTvrml_intvalue(), filenamefield = 54, imagefield = 55;
      int wrap, transparent = 0;
      if (t != VT_FIELD) fail();
      if (f == filenamefield) {
        if (_WTvrml_readsfstring(at) < 0) fail();
        filename = reinterpret_cast<const char *>(_WTvrml_pool() + at);
      } else if (f == imagefield) {
        _WTmem_free(pixels);
        pixels = _WTvrml_readsfimage(at, &transparent);
        if (!pixels) fail();
        width = _WTvrml_poolint(at), height = _WTvrml_poolint(at + 1);
      } else if (f == 56 || f == 57) {
        if (!_WTvrml_readwrap(&wrap)) fail();
      } else {
        fail();
      }
    }
  } catch (...) {
    _WTmem_free(pixels);
    throw;
  }
  std::string name;
  if (pixels && width > 0 && height > 0) {
    name = imagename(def);
    if (!_WTtexture_newfromimage(name.c_str(), reinterpret_cast<unsigned char *>(pixels), width,
                                 height))
      name.clear();
  } else {
    _WTmem_free(pixels);
    if (!filename.empty()) name = resolve(filename);
    if (!name.empty()) _WTtexture_get(name.c_str());
  }
  state().texture = name;
  if (def && !name.empty()) {
    def->kind = DEF_TEXTURE;
    def->texture = name;
  }
  return nullptr;
}

}  // namespace vrml
