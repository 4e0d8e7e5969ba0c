// Picking from a window pixel: the ray through a pixel as the window's projection sees it, and
// the window under a point of a system window.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/raycast.h"
#include "toolkit/render/context.h"
#include "toolkit/render/view.h"

namespace {

struct Viewport {
  float xmin, ymin, xmax, ymax;  // pixels, y down from the top of the parent's client area
};

Viewport viewportof(WTwindow *w, const WTwindow *p) {
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  Viewport v;
  v.xmin = W * w->viewport[0];
  v.ymin = (1.0f - w->viewport[2] - w->viewport[3]) * H;
  v.xmax = v.xmin + W * w->viewport[1];
  v.ymax = v.ymin + H * w->viewport[3];
  return v;
}

// Split stereo: the half the pixel lies in picks the eye; the gap between them picks nothing.
bool splithalf(Viewport &v, float py, int *eye) {
  WTrendercontext *rc = _WTrender_context();
  int g = rc ? rc->splitgap : 18;
  float half = truncf((v.ymax - v.ymin - static_cast<float>(g)) / 2.0f);
  if (py > v.ymin + half) {
    if (py < v.ymax - half) return false;
    v.ymin = v.ymax - half;
    *eye = 1;
  } else {
    v.ymax = v.ymin + half;
    *eye = 0;
  }
  return true;
}

// Slopes at unit distance of the four sides, as the projection uses them.
struct Slopes {
  float left, right, top, bottom, nearlimit;
};

Slopes slopesof(WTwindow *w, WTviewpoint *v, int eye, int projection, const WTwindow *p) {
  const float *fr = w->frustum[eye];
  if (projection == 3) return {-fr[0] / fr[4], fr[1] / fr[4], fr[2] / fr[4], -fr[3] / fr[4], fr[4]};
  if (projection != 1 && projection != 2) return {fr[0], fr[1], fr[2], fr[3], fr[4]};
  float vw = truncf(static_cast<float>(p->width) * w->viewport[1]);
  float vh = truncf(static_cast<float>(p->height) * w->viewport[3]);
  float aspect = (vw < 1 ? 1 : vw) * v->aspect / (vh < 1 ? 1 : vh);
  float t = v->overrides[3] ? v->viewtangent : w->viewtangent, tv = t / aspect;
  float h = v->overrides[1] ? v->hither : w->hither;
  if (projection == 1) return {t, t, tv, tv, h};
  float k = 0.5f * v->parallax / v->convergencedist;
  return {eye == 1 ? t + k : t - k, eye == 1 ? t - k : t + k, tv, tv, h};
}

// Rows 0 to 2 of the viewpoint's matrix are its x, y and z axes in the world, as the view
// matrix takes them.
void toworld(const WTm4 m, const float *local, float *out) {
  for (int i = 0; i < 3; i++) out[i] = m[0][i] * local[0] + m[1][i] * local[1] + m[2][i] * local[2];
}

struct Ray {
  float origin[3], direction[3], nearlimit;
};

// The ray through the pixel (y down in the parent's client area); false in the split gap or
// without a viewpoint.
bool makeray(WTwindow *w, const float *pixel, Ray *ray) {
  WTviewpoint *v = w->viewpoint;
  WTwindow *p = _WTwindow_liveparent(w);
  if (!v || !p) return false;
  int eye = w->displaymode == 1 ? w->eye : 0;
  Viewport vp = viewportof(w, p);
  float px = pixel[0], py = pixel[1];
  if (w->displaymode == 4 && !splithalf(vp, py, &eye)) return false;
  // The projection shifts eye 1's image left by the convergence, eye 0's right.
  px += eye == 1 ? v->convergence : -v->convergence;
  if (vp.xmax <= vp.xmin || vp.ymax <= vp.ymin) return false;
  float nx = 2.0f * (px - vp.xmin) / (vp.xmax - vp.xmin) - 1.0f;
  float ny = 2.0f * (py - vp.ymin) / (vp.ymax - vp.ymin) - 1.0f;
  int projection = _WTwindow_effectiveprojection(w);
  Slopes s = slopesof(w, v, eye, projection, p);
  WTm4 m;
  _WTviewpoint_getm4(v, m, eye);
  ray->nearlimit = s.nearlimit;
  if (projection >= 1 && projection <= 3) {
    float local[3] = {nx * (s.left + s.right) / 2 + (s.right - s.left) / 2,
                      ny * (s.top + s.bottom) / 2 + (s.bottom - s.top) / 2, 1.0f};
    memcpy(ray->origin, m[3], sizeof ray->origin);
    toworld(m, local, ray->direction);
    float len = sqrtf(ray->direction[0] * ray->direction[0] + ray->direction[1] * ray->direction[1] +
                      ray->direction[2] * ray->direction[2]);
    if (!(len > 0.0f)) return false;
    for (float &c : ray->direction) c /= len;
    return true;
  }
  // Parallel: the frustum's sides themselves, the direction along the view axis.
  float local[3] = {(s.right - s.left) / 2 * nx + (s.right + s.left) / 2,
                    (s.top - s.bottom) / 2 * ny - (s.top + s.bottom) / 2, 0.0f}, shift[3];
  toworld(m, local, shift);
  for (int i = 0; i < 3; i++) ray->origin[i] = m[3][i] + shift[i], ray->direction[i] = m[2][i];
  return true;
}

// The point relative to the parent's client area within the window's viewport.
bool inviewport(WTwindow *w, const WTwindow *p, int x, int y) {
  if (x < 0 || x >= p->width || y < 0 || y >= p->height) return false;
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  int left = static_cast<int>(W * w->viewport[0]), width = static_cast<int>(W * w->viewport[1]);
  int height = static_cast<int>(H * w->viewport[3]);
  int top = p->height - (static_cast<int>(H * w->viewport[2]) + height);
  return left <= x && x < left + width && top <= y && y < top + height;
}

WTwindow *windowat(void *hwnd, const float *point, bool enabledonly) {
  int x = static_cast<int>(point[0]), y = static_cast<int>(point[1]);
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next) {
    WTwindow *p = _WTwindow_liveparent(w);
    if (!p || w->hwnd != hwnd || (enabledonly && !w->enabled)) continue;
    if (inviewport(w, p, x, y)) return w;
  }
  return nullptr;
}

WTpoly *pick(WTwindow *w, const float *point, WTnodepath **path, float *hit) {
  Ray ray;
  float pixel[2] = {truncf(point[0]), truncf(point[1])};
  if (!makeray(w, pixel, &ray)) return nullptr;
  return _WTray_cast(w->root, ray.origin, ray.direction, ray.nearlimit, path, hit);
}

}  // namespace

extern "C" {

int WTwindow_getray(WTwindow *window, const float *pixel, WTp3 origin, WTp3 direction) {
  if (!_WTwindow_isvalid(window) || !pixel || !origin || !direction) return 0;
  WTwindow *p = _WTwindow_liveparent(window);
  if (!p) return 0;
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  int left = static_cast<int>(W * window->viewport[0]);
  int top = static_cast<int>((1.0f - window->viewport[2] - window->viewport[3]) * H);
  int right = left + static_cast<int>(W * window->viewport[1]);
  int bottom = top + static_cast<int>(H * window->viewport[3]);
  if (pixel[0] < left || pixel[0] > right || pixel[1] < top || pixel[1] > bottom) return 0;
  Ray ray;
  if (!makeray(window, pixel, &ray)) return 0;
  memcpy(origin, ray.origin, sizeof(WTp3));
  memcpy(direction, ray.direction, sizeof(WTp3));
  return 1;
}

WTpoly *WTwindow_pickatpoint(void *hwnd, const float *point, WTnodepath **path, WTp3 hit) {
  if (path) *path = nullptr;
  if (hit) hit[0] = hit[1] = hit[2] = 0.0f;
  if (!point) return nullptr;
  WTwindow *w = windowat(hwnd, point, true);
  return w ? pick(w, point, path, hit) : nullptr;
}

WTpoly *_WTwindow_pickatscreenpoint(void *hwnd, const float *point) {
  if (!point || (_WTuniverse_getrendering() & 128)) return nullptr;
  WTwindow *w = windowat(hwnd, point, false);
  return w ? pick(w, point, nullptr, nullptr) : nullptr;
}

int _WTray_windowroot(WTnode *root) {
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->enabled && w->root == root) return 1;
  return 0;
}
}
