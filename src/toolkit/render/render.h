// What the scene graph and the universe need of lights, viewpoints and windows, and the frame
// loop's drawing, pumping and graphics start.
#pragma once

#include <stdint.h>

#include "toolkit/wt.h"

struct WTdrawstate;

struct WTlight {
  WTnode *node;  // the light node wrapping it, or null
  int kind;      // 0 directed, 1 point, 2 spot
  float ambient[3];
  float diffuse[3];
  float specular[3];
  float intensity;
  float position[3];
  float direction[3];
  float attenuation[3];
  float angle;
  float exponent;
  int slot;  // OpenGL light slot 0-7; 8 or more = none
  WTlight *next;
};

struct WTviewpoint {
  unsigned char tag;  // 31
  unsigned char spare[2];
  unsigned char hashandlers;
  WTviewpoint *next;
  float position[3];
  float orientation[4];
  float prevposition[3];
  float prevorientation[4];
  float direction[3];
  float parallax;
  int16_t convergence;
  int16_t convergenceineffect;
  float hither;
  float viewtangent;
  float aspect;
  float yon;
  float convergencedist;
  float eyeoffset[3];
  float eyerotation[4];
  int16_t eyemode;
  uint16_t projection;
  unsigned char overrides[4];  // projection, hither, yon, view angle
  char *name;
  void *data;
};


struct WTwindow {
  unsigned char tag;  // 32
  unsigned char spare[2];
  unsigned char hashandlers;
  char *name;
  void *prevproc;  // the caller's window procedure when the window took over the caller's
  void *dc;
  WTwindowfn overlayfn;
  WTwindowfn drawfn;
  unsigned char indraw;
  unsigned char inoverlay;
  uint32_t displaymode;
  WTviewpoint *viewpoint;
  WTviewpoint *viewpoint2;
  WTnode *root;
  WTdrawstate *state;
  uint32_t npolys;
  uint32_t bgcolor;
  uint16_t eye;
  int32_t width, height;
  int32_t x, y;
  float aspect;
  uint32_t display;
  uint32_t statebits;  // 1 shown, 32 moved or resized
  unsigned char enabled;
  void *hwnd;
  uint16_t projection;
  float frustum[2][6];  // per eye: left, right, top, bottom, hither, yon
  float hither;
  float yon;
  float viewtangent;
  float vfactor;
  uint32_t projkey;
  float projmatrix[4][4];
  WTwindow *parent;
  uint32_t subwindow;
  float viewport[4];  // left, width, bottom, height as fractions of the parent's client area
  void *data;
  int64_t frametime;
  WTwindow *next;
};

extern "C" {
// Lights: the kind's record, or null when a directed or spot light gets a zero direction.
WTlight *_WTlight_new(const float *position, const float *direction, float intensity, float a,
                      float angle, int kind);
void _WTlight_delete(WTlight *light);
void _WTlight_markdirty(WTlight *light);
void _WTlight_deleteall(void);
WTlight *_WTlight_first(void);
int _WTlight_setintensity(WTlight *light, float f);
float _WTlight_getintensity(WTlight *light);
int _WTlight_setposition(WTlight *light, const float *p);
int _WTlight_getposition(WTlight *light, float *p);
int _WTlight_setdirection(WTlight *light, const float *d);
int _WTlight_getdirection(WTlight *light, float *d);
int _WTlight_setangle(WTlight *light, float a);
float _WTlight_getangle(WTlight *light);
int _WTlight_setexponent(WTlight *light, float e);
float _WTlight_getexponent(WTlight *light);
int _WTlight_setattenuation(WTlight *light, float c, float l, float q);
int _WTlight_getattenuation(WTlight *light, float *c, float *l, float *q);

// Viewpoints and windows.
// A sensor's record moves the link's viewpoint (the motion-link pass).
void _WTviewpoint_motionupdate(WTmotionlink *link);
void _WTviewpoint_delete(WTviewpoint *viewpoint);
void _WTviewpoint_setviewangle(WTviewpoint *viewpoint, float halfangle);
void _WTviewpoint_deleteall(void);
void _WTwindow_deleteall(void);
void _WTwindow_setbgrgb24(WTwindow *window, unsigned rgb);
void _WTwindow_bgchanged(void);

// Lights that sensors drive follow them (the motion-link step).
void _WTlight_followsensors(void);

// The frame loop's calls.
void _WTwindow_pumpmessages(void);
void _WTwindow_firekeyevents(void);
void _WTuniverse_predraw(int flag);
void _WTwindow_drawall(void);
unsigned char _WTwindow_initgl(int a, int b);
void _WTwindow_exitgl(void);
void _WTfont3d_deleteall(void);
// A font from geometries already read (the loader's second half); it owns the list.
WTfont3d *_WTfont3d_fromgeometries(const char *name, WTgeomlist *list);
void _WTtexture_deleteall(void);
void _WTtexture_applynamescurrent(void);
// Sorts the geometry for drawing when it is not sorted yet; result bits 1 and 2 tell whether it
// has polygons for the opaque and for the blended pass.
int _WTgeometry_compilenode(WTnode *node, WTgeometry *geometry, WTnodestate *state);
}
