// The toolkit's windows on Win32 with WGL: the window class, taking over a caller's window, the
// pixel format, the window procedure, the message pump and the graphics start and stop.
#include <windows.h>
#include <mmsystem.h>
#include <GL/gl.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/filetable.h"
#include "toolkit/core/options.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/gl_win32.h"
#include "toolkit/render/input.h"
#include "toolkit/render/mousemsg.h"
#include "toolkit/render/view.h"

static_assert(WTMSG_MOUSEMOVE == WM_MOUSEMOVE && WTMSG_LBUTTONDOWN == WM_LBUTTONDOWN &&
                  WTMSG_RBUTTONUP == WM_RBUTTONUP && WTMSG_MBUTTONDBLCLK == WM_MBUTTONDBLCLK,
              "mouse messages");

namespace {

HGLRC shared;
HWND pendinghwnd;
bool releasing;  // while the toolkit destroys a system window itself
PIXELFORMATDESCRIPTOR pfd = {sizeof(PIXELFORMATDESCRIPTOR), 1,
                             PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                             PFD_TYPE_RGBA, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0,
                             PFD_MAIN_PLANE, 0, 0, 0, 0};

WTmousestate &mouse = *_WTmouse_state();

LRESULT CALLBACK windowproc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

void destroy(HWND hwnd) {
  releasing = true;
  DestroyWindow(hwnd);
  releasing = false;
}

void quit() {
  PostQuitMessage(0);
  _WTuniverse_stop();
}

int envnumber(const char *name) {
  const char *s = getenv(name);
  return s ? atoi(s) : 0;
}

void probeformat(HDC dc, WTdisplay *d) {
  int z = envnumber("WTKZBUFFERSIZE");
  if (z >= 2 && z <= 32) pfd.cDepthBits = static_cast<BYTE>(z);
  if (int a = envnumber("WTKALPHAENABLE")) pfd.cAlphaBits = static_cast<BYTE>(a), pfd.cColorBits = 32;
  if (!d->stencil) {
    if (!envnumber("WTKNOSTEREO")) pfd.dwFlags |= PFD_STEREO;
  } else {
    pfd.cStencilBits = 1;
  }
  int format = ChoosePixelFormat(dc, &pfd);
  PIXELFORMATDESCRIPTOR chosen;
  DescribePixelFormat(dc, format, sizeof chosen, &chosen);
  d->quadstereo = (chosen.dwFlags & PFD_STEREO) != 0;
}

bool setformat(HDC dc) {
  int samples = envnumber("WTKMULTISAMPLE");
  if (samples >= 1 && (samples & (samples - 1)))
    _WTmsg_warning("WTKMULTISAMPLE must be a power of 2\n");
  int format = ChoosePixelFormat(dc, &pfd);
  return format && SetPixelFormat(dc, format, &pfd);
}

void bind(WTwindow *w, HWND hwnd) {
  w->hwnd = hwnd;
  w->dc = GetDC(hwnd);
  setformat(static_cast<HDC>(w->dc));
  if (!shared) shared = wglCreateContext(static_cast<HDC>(w->dc));
  RECT r;
  GetClientRect(hwnd, &r);
  w->width = r.right - r.left;
  w->height = r.bottom - r.top;
  w->statebits |= 32;
  POINT p = {0, 0};
  ClientToScreen(hwnd, &p);
  w->x = p.x, w->y = p.y;
}

bool vetoed(WTwindow *w, const char *property) { return w && !WTproperty_firehandlers_pre(w, property); }

// A button change the window's pre-handlers refuse leaves the mouse state as it was.  The
// handlers may pump messages of their own, so the step starts from the state after them.
void mousemessage(WTwindow *w, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const char *property = _WTmouse_step(message, wparam, lparam, hwnd, &mouse).property;
  if (property && vetoed(w, property)) return;
  const WTmousestep step = _WTmouse_step(message, wparam, lparam, hwnd, &mouse);
  if (!step.mouse) return;
  mouse = step.state;
  if (step.capture > 0) SetCapture(hwnd);
  if (step.capture < 0) ReleaseCapture();
  if (step.property && w) WTproperty_firehandlers(w, step.property, &step.value);
}

void moved(WTwindow *w, HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  if (!WTproperty_firehandlers_pre(w, "Position")) _WTmsg_warning("Can't stop the window move\n");
  w->x = r.left, w->y = r.top;
  w->statebits |= 32;
  float xy[2] = {static_cast<float>(w->x), static_cast<float>(w->y)};
  WTproperty_firehandlers(w, "Position", xy);
}

void sized(WTwindow *w, WPARAM wparam, LPARAM lparam) {
  if (wparam == SIZE_MINIMIZED) {
    w->statebits &= ~1u;
    return;
  }
  if (!WTproperty_firehandlers_pre(w, "Size")) _WTmsg_warning("Can't stop the window size\n");
  w->statebits |= 1 | 32;
  w->width = LOWORD(lparam), w->height = HIWORD(lparam);
  float wh[2] = {static_cast<float>(w->width), static_cast<float>(w->height)};
  WTproperty_firehandlers(w, "Size", wh);
}

// Keys without a character of their own: function keys, paging, Home, End and the arrows.
int keycode(WPARAM key) {
  if (key >= VK_F1 && key <= VK_F12) return WTKEY_F1 + static_cast<int>(key - VK_F1);
  switch (key) {
    case VK_PRIOR: return WTKEY_PAGEUP;
    case VK_NEXT: return WTKEY_PAGEDOWN;
    case VK_END: return WTKEY_END;
    case VK_HOME: return WTKEY_HOME;
    case VK_LEFT: return WTKEY_LEFT;
    case VK_UP: return WTKEY_UP;
    case VK_RIGHT: return WTKEY_RIGHT;
    case VK_DOWN: return WTKEY_DOWN;
    default: return 0;
  }
}

int charcode(WPARAM c) {
  switch (c) {
    case 8: return WTKEY_BACKSPACE;
    case 9: return WTKEY_TAB;
    case 13: return WTKEY_RETURN;
    default: return static_cast<int>(c & 0xFFFF);
  }
}

// Handles the message for a toolkit window (w may be null); true when it must not go further.
bool handle(WTwindow *w, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_USER:
      bind(reinterpret_cast<WTwindow *>(lparam), hwnd);
      return true;
    case WM_DESTROY:
      // Windows the toolkit destroys itself (deleted through the API, the base window at the
      // end) leave no quit message behind for a later frame to find.
      if (!releasing && !*_WTuniverse_windowslot()) quit();
      break;
    case WM_MOVE: if (w) moved(w, hwnd); break;
    case WM_SIZE: if (w) sized(w, wparam, lparam); break;
    case WM_SETFOCUS: _WTuniverse_setactivewindow(hwnd); break;
    case WM_KILLFOCUS: _WTuniverse_setactivewindow(nullptr); break;
    case WM_CLOSE:
      if (!w) break;
      WTwindow_delete(w);
      if (!*_WTuniverse_windowslot()) quit();
      break;
    case WM_SHOWWINDOW:
      if (w && wparam) w->statebits |= 33;
      else if (w) w->statebits &= ~1u;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (int code = keycode(wparam)) _WTkeyboard_push(w, code);
      break;
    case WM_CHAR: _WTkeyboard_push(w, charcode(wparam)); break;
    case MM_WOM_DONE: _WTsound_playdone(wparam, lparam); break;
    default: mousemessage(w, hwnd, message, wparam, lparam); break;
  }
  return false;
}

LRESULT CALLBACK windowproc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  _WTspaceball_poll(hwnd, message, wparam, lparam);
  if (!_WTuniverse_exists()) return DefWindowProcA(hwnd, message, wparam, lparam);
  WTwindow *w = _WTwindow_findbyhandle(hwnd);
  WNDPROC previous = w ? reinterpret_cast<WNDPROC>(w->prevproc) : nullptr;
  if (message == WM_USER && !w) previous = nullptr;
  if (handle(w, hwnd, message, wparam, lparam)) return 0;
  if (message == WM_CLOSE) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (previous) return CallWindowProcA(previous, hwnd, message, wparam, lparam);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

void choosemode(WTwindow *w, int flags, WTdisplay *d) {
  if (flags & 0x4) {
    w->projection = 2;
    w->displaymode = d->quadstereo && !(flags & 0x200) ? 32 : 4;
  } else if (flags & 0x100) {
    w->displaymode = 8;
  } else {
    int bits = flags & 0x7000;
    if (bits == 0x1000 || bits == 0x3000 || bits == 0x5000 || bits == 0x7000) w->displaymode = static_cast<uint32_t>(bits);
  }
}

HWND createsystemwindow(int x, int y, int width, int height, int flags) {
  DWORD style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (flags & 1) {
    style |= WS_POPUP;
  } else {
    style |= WS_OVERLAPPEDWINDOW;
    width += 2 * GetSystemMetrics(SM_CYFRAME);
    height += GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME) + 1;
  }
  HWND hwnd = CreateWindowExA(0, "VAV", "ZodurUvizOdu", style, x, y, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (hwnd) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

void dither(WTdisplay *d) {
  PIXELFORMATDESCRIPTOR f;
  HDC dc = static_cast<HDC>(d->basedc);
  DescribePixelFormat(dc, GetPixelFormat(dc), sizeof f, &f);
  if ((f.dwFlags & PFD_NEED_PALETTE) || envnumber("WTKDITHER") >= 1) glEnable(GL_DITHER);
  else glDisable(GL_DITHER);
}

bool newbase(int display) {
  WTdisplay *d = _WTdisplay_get(display);
  HWND hwnd = CreateWindowExA(0, "VAV", "ZodurUvizOdu", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              0, 0, 32, 32, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return false;
  HDC dc = GetDC(hwnd);
  d->basedc = dc;
  probeformat(dc, d);
  setformat(dc);
  if (!shared) shared = wglCreateContext(dc);
  d->basehwnd = hwnd;
  wglMakeCurrent(dc, shared);
  _WTrender_initstate(display);
  return true;
}

}  // namespace

extern "C" {

int _WTwindow_registerclass(void) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  UnregisterClassA("VAV", instance);
  WNDCLASSA c;
  memset(&c, 0, sizeof c);
  c.style = CS_OWNDC | CS_DBLCLKS;
  c.lpfnWndProc = windowproc;
  c.hInstance = instance;
  c.hIcon = LoadIconA(instance, "VAV");
  c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  c.lpszClassName = "VAV";
  return RegisterClassA(&c) != 0;
}

int _WTwindow_attach(WTwindow *w, int x, int y, int width, int height, int flags) {
  HWND caller = pendinghwnd;
  pendinghwnd = nullptr;
  int display = (flags & 2) ? (flags >> 4) & 15 : 0;
  WTdisplay *d = _WTdisplay_get(display);
  if (!d || !d->usable) return 0;
  choosemode(w, flags, d);
  if (width > d->maxwidth) width = d->maxwidth;
  if (height > d->maxheight) height = d->maxheight;
  w->display = static_cast<uint32_t>(display);
  w->x = x, w->y = y, w->width = width, w->height = height;
  w->dc = nullptr;
  w->statebits = 1;
  w->projkey = 0;
  HWND hwnd = caller;
  if (caller) {
    w->prevproc = reinterpret_cast<void *>(SetWindowLongPtrA(caller, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowproc)));
    SetWindowLongPtrA(caller, GWL_STYLE, GetWindowLongPtrA(caller, GWL_STYLE) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  } else if (!(hwnd = createsystemwindow(x, y, width, height, flags))) {
    return 0;
  }
  SendMessageA(hwnd, WM_USER, 0, reinterpret_cast<LPARAM>(w));
  if (!w->dc) bind(w, hwnd);
  wglMakeCurrent(static_cast<HDC>(w->dc), shared);
  dither(d);
  wglMakeCurrent(static_cast<HDC>(d->basedc), shared);
  w->aspect = w->viewpoint ? w->width * w->viewpoint->aspect / w->height : static_cast<float>(w->width) / w->height;
  return 1;
}

void _WTwindow_release(WTwindow *w) {
  wglMakeCurrent(static_cast<HDC>(w->dc), nullptr);
  if (w->dc) ReleaseDC(static_cast<HWND>(w->hwnd), static_cast<HDC>(w->dc));
  if (w->prevproc)
    SetWindowLongPtrA(static_cast<HWND>(w->hwnd), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(w->prevproc));
  else
    destroy(static_cast<HWND>(w->hwnd));
  WTwindow *next = w->next ? w->next : *_WTuniverse_windowslot();
  if (next && next->dc) wglMakeCurrent(static_cast<HDC>(next->dc), shared);
}

WTwindow *WTwindow_newuser(void *hwnd, int flags) {
  pendinghwnd = static_cast<HWND>(hwnd);
  WTwindow *w = _WTwindow_new(0, 0, 64, 64, flags);
  pendinghwnd = nullptr;
  return w;
}

void _WTwindow_setpendinghwnd(void *hwnd) {
  if (!_WTuniverse_exists()) pendinghwnd = static_cast<HWND>(hwnd);
}

void WTwindow_setposition(WTwindow *w, int x, int y, int width, int height) {
  if (!_WTwindow_isvalid(w) || x < 0 || y < 0 || width < 1 || height < 1) return;
  WTdisplay *d = _WTdisplay_get(static_cast<int>(w->display));
  if (!d || width > d->maxwidth || height > d->maxheight) return;
  HWND hwnd = static_cast<HWND>(w->hwnd);
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  if ((style & WS_THICKFRAME) && (style & WS_CAPTION)) {
    width += 2 * GetSystemMetrics(SM_CXFRAME);
    height += GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
  }
  if (!WTproperty_firehandlers_pre(w, "Position") || !WTproperty_firehandlers_pre(w, "Size")) return;
  SetWindowPos(hwnd, nullptr, x, y, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

// The last window in list order on the system window under the cursor whose screen rectangle
// holds the cursor.
WTAPI WTwindow *_WTmouse_getwindow(void) {
  POINT p;
  if (!GetCursorPos(&p)) return nullptr;
  HWND under = WindowFromPoint(p);
  WTwindow *found = nullptr;
  for (WTwindow *w = *_WTuniverse_windowslot(); w; w = w->next)
    if (w->hwnd == under && _WTwindow_containspoint(w, p.x, p.y)) found = w;
  return found;
}

WTAPI int WTmouse_inwindow(WTsensor *sensor, WTwindow *window) {
  if (!sensor || !_WTwindow_isvalid(window)) return 0;
  POINT p;
  if (!GetCursorPos(&p) || !_WTwindow_containspoint(window, p.x, p.y)) return 0;
  return _WTmouse_getwindow() == window;
}

void _WTwindow_pumpmessages(void) {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) _WTuniverse_setrunning(0);
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void _WTwindow_makecurrent(WTwindow *w) {
  if (w && w->dc) {
    wglMakeCurrent(static_cast<HDC>(w->dc), shared);
    return;
  }
  WTdisplay *d = _WTdisplay_get(0);
  if (d && d->basedc) wglMakeCurrent(static_cast<HDC>(d->basedc), shared);
}

void _WTdisplay_makecurrent(int display) {
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (static_cast<int>(w->display) == display && w->dc) return _WTwindow_makecurrent(w);
  WTdisplay *d = _WTdisplay_get(display);
  if (d && d->basedc) wglMakeCurrent(static_cast<HDC>(d->basedc), shared);
}

void _WTrender_initstate(int display) {
  WTrendercontext *rc = _WTrender_context();
  dither(_WTdisplay_get(display));
  const char *vendor = reinterpret_cast<const char *>(glGetString(GL_VENDOR));
  if (!vendor || strncmp(vendor, "Intergraph", 10) != 0) rc->uploadfeature = 0;
  _WTrender_settings()->magdefault = _WTrender_settings()->mindefault = 1;
  glDisable(GL_TEXTURE_2D);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDisable(GL_BLEND);
  glAlphaFunc(GL_GREATER, rc->alpharef);
  glDisable(GL_ALPHA_TEST);
  glDrawBuffer(GL_BACK);
  glEnable(GL_DEPTH_TEST);
  glClearDepth(1.0);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  glHint(GL_FOG_HINT, GL_FASTEST);
  glDisable(GL_CULL_FACE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHT0);
  _WTrender_updateambient();
  glFlush();
}

unsigned char _WTwindow_initgl(int a, int b) {
  _WTmsg_info("OGL version\n");
  _WTwindow_registerclass();
  _WTrender_start(a);
  _WTfiletable_bindlibraries();
  WTdisplay *d = _WTdisplay_get(0);
  d->maxwidth = GetSystemMetrics(SM_CXFULLSCREEN);
  d->maxheight = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
  newbase(0);
  _WTfont_init();
  _WTfont_load();
  HDC dc = static_cast<HDC>(d->basedc);
  if (dc && GetDeviceCaps(dc, DESKTOPHORZRES) > 0) {
    d->maxwidth = GetDeviceCaps(dc, DESKTOPHORZRES);
    d->maxheight = GetDeviceCaps(dc, DESKTOPVERTRES);
  }
  int mode = a & ~0x1000;
  if (mode != 512) {
    WTopts *o = _WTuniverse_getoptions();
    int flags = b | (mode == 8 ? 0x100 : 0);
    if (!_WTwindow_new(o ? o->x : 0, o ? o->y : 0, o ? o->width : 640, o ? o->height : 480, flags))
      _WTmsg_fatal("Could not create base window\n");
  }
  return 0;
}

void _WTwindow_exitgl(void) {
  WTdisplay *d = _WTdisplay_get(0);
  if (shared) {
    _WTdisplay_makecurrent(0);
    _WTfont_exit();
    wglMakeCurrent(nullptr, nullptr);
    if (d && d->basehwnd) destroy(static_cast<HWND>(d->basehwnd));
    wglDeleteContext(shared);
    shared = nullptr;
  }
  _WTrender_stop();
}
}
