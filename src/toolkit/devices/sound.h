// Inside the sound API: the device and sound records and the operations every driver supplies.
#pragma once

#include "toolkit/devices/devices.h"

struct WTsounddevice {
  WTsound *pending;  // waveOut: the sound that asked to play while the voice was taken
  char *name;
  void *data;
  int32_t type;
  unsigned char updated;
  int32_t channels;
  float range;
  float property0, property1;  // server properties
  unsigned char enabled;
  WTviewpoint *listener;
  float lastposition[3], lastdirection[3];  // server: the listener pose last sent
  WTsound *sounds;
  WTsounddevice *next;
};

struct WTsound {
  void *driver;  // the driver's own record of the sound
  WTsounddevice *device;
  void *data;
  WTsoundfn finished;
  unsigned char spatial;
  char *name;
  int32_t voice;
  int32_t priority;
  uint32_t param6;
  float pan;
  float param4;
  float gain;
  float level;
  int32_t repeat;
  int32_t playsdone;
  float param9;
  float pitch;
  WTnodepath *path;
  float position[3];
  unsigned char positionset;
  float lastsent[3];
  WTsound *next;
};

struct WTsounddriver {
  int (*open)(WTsounddevice *device);
  int (*close)(WTsounddevice *device);
  void (*update)(WTsounddevice *device);
  void (*setparam)(WTsounddevice *device, int code, float value);
  float (*getparam)(WTsounddevice *device, int code);
  int (*load)(WTsound *sound);
  int (*unload)(WTsound *sound);
  int (*play)(WTsound *sound);
  int (*stop)(WTsound *sound);
  int (*isplaying)(WTsound *sound);
  void (*setsoundparam)(WTsound *sound, int code, float value);
};

extern "C" {
// The driver of a type (1, 5, 6), or null.
const WTsounddriver *_WTsound_driver(int type);
extern const WTsounddriver _WTsound_waveoutdriver;
extern const WTsounddriver _WTsound_librarydriver;
extern const WTsounddriver _WTsound_serverdriver;

// Device parameters of the waveOut and library devices (1 enabled, 5 and 7 range).
void _WTsound_setlocalparam(WTsounddevice *device, int code, float value);
float _WTsound_getlocalparam(WTsounddevice *device, int code);
// Levels and pans of every sound of a waveOut or library device from the listener's pose.
void _WTsound_spatialize(WTsounddevice *device);
// Where a spatial sound is: its explicit position, else the end of its node path, else the
// listener position given; for a sound that is not spatial, the listener position.
void _WTsound_source(WTsound *sound, const float listener[3], float out[3]);
// The stereo levels (left, right) of a level and pan on a scale: the louder side full, the
// other (1 - |pan|) of it; negatives give 0.
void _WTsound_stereo(float level, float pan, float scale, float *left, float *right);
// Unlinks and frees a device record.
void _WTsound_freedevice(WTsounddevice *device);
}

extern "C" {
// True when a 957 message with these parameters reports the end of this waveOut sound's play.
int _WTsound_waveoutmatches(WTsound *sound, uintptr_t wparam, intptr_t lparam);
}
