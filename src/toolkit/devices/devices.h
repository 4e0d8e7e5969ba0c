// The toolkit's devices and sound: sound devices and sound objects with their three drivers
// (waveOut, the outside sound library, the serial 3D-audio server), the serial port records of
// sensors, and the six-axis puck.  The open and create functions are the toolkit's own (not
// exported); the rest of the API is exported like the other WT names.
#pragma once

#include <stdint.h>

#include "toolkit/wt.h"

typedef struct WTsounddevice WTsounddevice;
typedef struct WTsound WTsound;
typedef void (*WTsoundfn)(WTsound *sound);

extern "C" {

// ---- Sound devices ---------------------------------------------------------------------------
// Driver types: 1 waveOut, 5 the 3D-audio server, 6 the outside sound library.
enum { WTSOUND_WAVEOUT = 1, WTSOUND_SERVER = 5, WTSOUND_LIBRARY = 6 };

WTsounddevice *WTsounddevice_open(int type, int channels, WTviewpoint *listener);
WTAPI int _WTsound_closedevice(WTsounddevice *device);
WTAPI void _WTsound_updatelistener(WTsounddevice *device);
WTAPI void WTsounddevice_setparam(WTsounddevice *device, int code, float value);
WTAPI float WTsounddevice_getparam(WTsounddevice *device, int code);
WTAPI int WTsounddevice_setlistener(WTsounddevice *device, WTviewpoint *viewpoint);
WTAPI WTviewpoint *WTsounddevice_getlistener(WTsounddevice *device);
WTAPI WTsound *WTsounddevice_findsound(WTsounddevice *device, const char *name);
WTAPI WTsound *WTsounddevice_getsounds(WTsounddevice *device);
WTAPI int WTsounddevice_getchannels(WTsounddevice *device);
WTAPI void WTsounddevice_setname(WTsounddevice *device, const char *name);
WTAPI const char *WTsounddevice_getname(WTsounddevice *device);
WTAPI void WTsounddevice_setdata(WTsounddevice *device, void *data);
WTAPI void *WTsounddevice_getdata(WTsounddevice *device);

// ---- Sound objects ---------------------------------------------------------------------------
WTsound *WTsound_new(WTsounddevice *device, const char *name);
WTAPI int WTsound_delete(WTsound *sound);
WTAPI int WTsound_play(WTsound *sound);
WTAPI int WTsound_stop(WTsound *sound);
WTAPI int WTsound_isplaying(WTsound *sound);
WTAPI void WTsound_setparam(WTsound *sound, int code, float value);
WTAPI float WTsound_getparam(WTsound *sound, int code);
WTAPI WTsound *WTsound_next(WTsound *sound);
WTAPI const char *WTsound_getname(WTsound *sound);
WTAPI void WTsound_setname(WTsound *sound, const char *name);
WTAPI void WTsound_setdata(WTsound *sound, void *data);
WTAPI void *WTsound_getdata(WTsound *sound);
WTAPI void WTsound_setfinishedfn(WTsound *sound, WTsoundfn fn);
WTAPI WTsoundfn WTsound_getfinishedfn(WTsound *sound);
WTAPI void WTsound_setposition(WTsound *sound, const WTp3 p);
WTAPI void WTsound_getposition(WTsound *sound, WTp3 p);
WTAPI int WTsound_setnodepath(WTsound *sound, WTnodepath *path);
WTAPI WTnodepath *WTsound_getnodepath(WTsound *sound);
// End of play of a library sound; the waveOut driver's end of a buffer.
WTAPI void _WTsound_sourcefinished(WTsound *sound);
WTAPI void _WTsound_waveoutdone(WTsound *sound);
// A voice for the sound (lowest free, or the one of the first sound of no higher priority,
// which is stopped), or -1.
int _WTsound_allocvoice(WTsounddevice *device, WTsound *sound);

// ---- Serial port records of sensors ------------------------------------------------------------
// A record holds a system port handle and one word for its owner.  _WTserial_open opens a port
// by name (raw 8N1 at 9600 baud, reads returning at once) into a new record, or gives null.
struct WTserialport {
  void *handle;
  int32_t data;
};
WTserialport *_WTserial_open(const char *name);
int _WTserial_setbaud(WTserialport *port, int32_t baud);
int _WTserial_getbaud(WTserialport *port);
int _WTserial_setdatabits(WTserialport *port, unsigned char bits);
int _WTserial_getdatabits(WTserialport *port);
int _WTserial_setrts(WTserialport *port, unsigned char on);
int _WTserial_inqueue(WTserialport *port);
void _WTserial_setdata(WTserialport *port, int32_t word);
int32_t _WTserial_getdata(WTserialport *port);

// ---- The six-axis puck sensor driver -------------------------------------------------------------
int _WTspaceball_open(WTsensor *sensor);
uint16_t _WTspaceball_opendevice(void *window);
WTAPI void _WTspaceball_close(WTsensor *sensor);
WTAPI void _WTspaceball_update(WTsensor *sensor);
WTAPI void _WTspaceball_updatedominant(WTsensor *sensor);
WTAPI int _WTspaceball_rezero(WTsensor *sensor);
WTAPI int _WTspaceball_setwindow(WTsensor *sensor, WTwindow *window);

// ---- Waits of the device links -------------------------------------------------------------------
// Milliseconds of the device clock: the monotonic clock times the speed (1 unless a test sped it
// up); every wait of the device links runs on it.  Returns the speed it replaced.
int64_t _WTdevice_clock(void);
int _WTdevice_setspeed(int factor);
// Waits until the device clock has advanced by ms.
void _WTdevice_pause(int ms);
}
