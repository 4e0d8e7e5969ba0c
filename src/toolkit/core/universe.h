// What the toolkit's own files reach of the universe record, which stays private to
// universe.cpp.
#pragma once

#include "toolkit/wt.h"

extern "C" {
// Addresses of the universe's list heads; null while there is no universe.
WTviewpoint **_WTuniverse_viewpointslot(void);
WTwindow **_WTuniverse_windowslot(void);
WTlight **_WTuniverse_lightslot(void);
// The current viewpoint slot.
WTviewpoint **_WTuniverse_currentviewpointslot(void);
// The ambient colour bytes / 255 times the ambient intensity, alpha 1 (white without a universe).
void _WTuniverse_getambient(float rgba[4]);
// The universe's default view: half view angle, hither and yon.
void _WTuniverse_getviewdefaults(float *halfangle, float *hither, float *yon);
// The universe's default material table (null while there is none).
void *_WTuniverse_defaultmtable(void);
// The running byte, cleared by a quit message.
void _WTuniverse_setrunning(int on);
// Sound devices and the active window handle kept for the devices and rendering layers.
void *_WTuniverse_getsounddevices(void);
void **_WTuniverse_sounddeviceslot(void);
void *_WTuniverse_getactivewindow(void);
void _WTuniverse_setactivewindow(void *handle);
// The start-up options record.
struct WTopts *_WTuniverse_getoptions(void);
// The head of the object list (null while there is no universe).
WTobject **_WTuniverse_objectslot(void);
// The static scene: the one object the universe holds outside its list (null slot without a
// universe).
WTobject **_WTuniverse_rootobjectslot(void);
// Marks the scene changed (clears the scene-unchanged byte).
void _WTuniverse_scenechanged(void);
// The axis mapping: its count (0 without one) and up to three permutation, target and sign entries.
int _WTuniverse_getaxismapping(int *permutation, int *target, int *sign);
// The heads of the animated-sequence and portal lists (null while there is no universe).
void **_WTuniverse_sequenceslot(void);
void **_WTuniverse_portalslot(void);
// One motion-pass step of every animated sequence; freeing every sequence with its frames.
void _WTanimseq_stepall(void);
void _WTanimseq_deleteall(void);
// The first enabled portal of the list that the current viewpoint crossed this frame, or null;
// removing every portal.
WTportal *_WTportal_findcrossed(void);
void _WTportal_removeall(void);
}
