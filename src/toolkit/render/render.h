// What the scene graph and the universe need of lights, viewpoints and windows, and the frame
// loop's drawing, pumping and graphics start.  Until the drawing side exists, least.cpp keeps
// their records without drawing anything.
#pragma once

#include "toolkit/wt.h"

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
  WTlight *next;
};

struct WTviewpoint {
  unsigned char tag;  // 31
  unsigned char spare[3];
  WTviewpoint *next;
  float position[3];
  float orientation[4];
  float prevposition[3];
  float prevorientation[4];
  float viewangle;
  char *name;
  void *data;
};

struct WTwindow {
  unsigned char tag;  // 32
  unsigned char spare[3];
  WTwindow *next;
  WTnode *root;
  int index;
  void *handle;
  unsigned bgcolor;
  unsigned passflags;
  char *name;
  void *data;
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
void _WTtexture_deleteall(void);
void _WTtexture_applynamescurrent(void);
// Builds the geometry's display lists for the window of the traversal record; result bits 1 and 2
// tell which of the record's masks the geometry's state bits go into.
int _WTgeometry_compilenode(WTnode *node, WTgeometry *geometry, WTnodestate *state);
}
