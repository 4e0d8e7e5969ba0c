// The waveOut sound driver: PCM wave files played one at a time through the wave mapper, the
// level and pan of the playing sound set as its output's stereo volume, and the end of a play
// reported to the toolkit's base window.
#include <windows.h>
#include <mmsystem.h>

#include <string.h>

#include "toolkit/devices/sound.h"
#include "toolkit/render/context.h"

namespace {

struct Wave {
  PCMWAVEFORMAT format;
  void *data;
  DWORD size;
  HGLOBAL datablock;
  HGLOBAL headerblock;
  WAVEHDR *header;
  HWAVEOUT out;
  int replay;
};

Wave *waveof(WTsound *s) { return static_cast<Wave *>(s->driver); }

HWND basewindow() {
  WTdisplay *d = _WTdisplay_count() > 0 ? _WTdisplay_get(0) : nullptr;
  return d ? static_cast<HWND>(d->basehwnd) : nullptr;
}

// ---- Loading ------------------------------------------------------------------------------------

bool readformat(HMMIO file, MMCKINFO *riff, Wave *w) {
  riff->fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioDescend(file, riff, nullptr, MMIO_FINDRIFF)) return false;
  MMCKINFO chunk = {};
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(file, &chunk, riff, MMIO_FINDCHUNK)) return false;
  LONG want = chunk.cksize < sizeof w->format ? static_cast<LONG>(chunk.cksize) : static_cast<LONG>(sizeof w->format);
  if (mmioRead(file, reinterpret_cast<HPSTR>(&w->format), want) != want) return false;
  if (want < static_cast<LONG>(sizeof w->format) || w->format.wf.wFormatTag != WAVE_FORMAT_PCM) return false;
  return mmioAscend(file, &chunk, 0) == 0;
}

bool readdata(HMMIO file, MMCKINFO *riff, Wave *w) {
  MMCKINFO chunk = {};
  chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(file, &chunk, riff, MMIO_FINDCHUNK)) return false;
  w->size = chunk.cksize;
  w->datablock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, w->size ? w->size : 1);
  void *p = w->datablock ? GlobalLock(w->datablock) : nullptr;
  if (!p) return false;
  LONG got = mmioRead(file, static_cast<HPSTR>(p), static_cast<LONG>(w->size));
  GlobalUnlock(w->datablock);
  return got == static_cast<LONG>(w->size);
}

int load(WTsound *s) {
  HMMIO file = mmioOpenA(s->name, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  if (!file) return 0;
  Wave *w = static_cast<Wave *>(_WTmem_alloc(sizeof(Wave)));
  memset(w, 0, sizeof *w);
  MMCKINFO riff = {};
  bool ok = readformat(file, &riff, w) && readdata(file, &riff, w);
  mmioClose(file, 0);
  if (!ok) {
    if (w->datablock) GlobalFree(w->datablock);
    _WTmem_free(w);
    return 0;
  }
  s->driver = w;
  return 1;
}

// ---- Playing -------------------------------------------------------------------------------------

// Closes the output and lets go of the locked blocks: the sound is idle again.
void release(Wave *w) {
  if (w->out) {
    if (w->header) waveOutUnprepareHeader(w->out, w->header, sizeof(WAVEHDR));
    waveOutClose(w->out);
    w->out = nullptr;
  }
  if (w->header) GlobalUnlock(w->headerblock);
  if (w->data) GlobalUnlock(w->datablock);
  w->header = nullptr;
  w->data = nullptr;
}

bool lockblocks(Wave *w) {
  w->data = GlobalLock(w->datablock);
  if (!w->headerblock) w->headerblock = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(WAVEHDR));
  w->header = w->headerblock ? static_cast<WAVEHDR *>(GlobalLock(w->headerblock)) : nullptr;
  return w->data && w->header;
}

MMRESULT startoutput(Wave *w) {
  WAVEFORMATEX format = {};
  memcpy(&format, &w->format, sizeof w->format);
  MMRESULT r = waveOutOpen(&w->out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(basewindow()), 0,
                           CALLBACK_WINDOW);
  if (r) {
    w->out = nullptr;
    return r;
  }
  memset(w->header, 0, sizeof(WAVEHDR));
  w->header->lpData = static_cast<LPSTR>(w->data);
  w->header->dwBufferLength = w->size;
  if ((r = waveOutPrepareHeader(w->out, w->header, sizeof(WAVEHDR)))) return r;
  return waveOutWrite(w->out, w->header, sizeof(WAVEHDR));
}

int play(WTsound *s) {
  Wave *w = waveof(s);
  if (!w->replay && _WTsound_allocvoice(s->device, s) == -1) {
    s->device->pending = s;
    return 0;
  }
  w->replay = 0;
  if (!lockblocks(w)) {
    release(w);
    return 0;
  }
  if (MMRESULT r = startoutput(w)) {
    release(w);
    char text[MAXERRORLENGTH + 1] = {};
    waveOutGetErrorTextA(r, text, MAXERRORLENGTH);
    _WTmsg_warning("%s", text);
    return 0;
  }
  s->voice = 1;
  return 1;
}

int stop(WTsound *s) {
  Wave *w = waveof(s);
  if (!w->out) return 0;
  waveOutReset(w->out);
  release(w);
  s->voice = -1;
  s->playsdone = 1;
  return 1;
}

int unload(WTsound *s) {
  Wave *w = waveof(s);
  release(w);
  if (w->datablock) GlobalFree(w->datablock);
  if (w->headerblock) GlobalFree(w->headerblock);
  _WTmem_free(w);
  s->driver = nullptr;
  return 1;
}

void setsoundparam(WTsound *s, int code, float value) {
  if (code == 1) s->spatial = value != 0.0f;
  if (code == 7) s->priority = static_cast<int32_t>(value);
  if (code == 8) s->repeat = static_cast<int32_t>(value);
}

// ---- Volume --------------------------------------------------------------------------------------

void setvolume(WTsound *s) {
  float left, right;
  _WTsound_stereo(s->level, s->pan, 65535.0f, &left, &right);
  DWORD volume = (static_cast<DWORD>(left) & 0xFFFF) | (static_cast<DWORD>(right) & 0xFFFF) << 16;
  switch (waveOutSetVolume(waveof(s)->out, volume)) {
    case MMSYSERR_INVALHANDLE: _WTmsg_warning("Invalid sound device handle"); break;
    case MMSYSERR_NODRIVER: _WTmsg_warning("No driver installed"); break;
    case MMSYSERR_NOTSUPPORTED: _WTmsg_warning("Not supported by current sound device"); break;
    default: break;
  }
}

void update(WTsounddevice *d) {
  for (WTsound *s = d->sounds; s; s = s->next)
    if (s->voice != -1 && waveof(s)->out) setvolume(s);
}

int opendevice(WTsounddevice *d) {
  d->channels = 1;
  return 1;
}

int closedevice(WTsounddevice *) { return 1; }
int isplaying(WTsound *s) { return s->voice != -1; }

}  // namespace

extern "C" {

const WTsounddriver _WTsound_waveoutdriver = {opendevice, closedevice, update, _WTsound_setlocalparam,
                                              _WTsound_getlocalparam, load, unload, play, stop, isplaying,
                                              setsoundparam};

int _WTsound_waveoutmatches(WTsound *s, uintptr_t wparam, intptr_t lparam) {
  Wave *w = waveof(s);
  return w && w->out && reinterpret_cast<uintptr_t>(w->out) == wparam && w->header &&
         reinterpret_cast<intptr_t>(w->header) == lparam && (w->header->dwFlags & WHDR_DONE);
}

void _WTsound_waveoutdone(WTsound *s) {
  if (!s || !s->driver) return;
  Wave *w = waveof(s);
  if (s->voice != -1 && (s->repeat == -1 || (s->repeat > 1 && s->playsdone < s->repeat))) {
    release(w);
    w->replay = 1;
    if (play(s)) {
      s->playsdone++;
      return;
    }
    w->replay = 0;
  }
  s->voice = -1;
  s->playsdone = 1;
  release(w);
  WTsounddevice *d = s->device;
  if (WTsound *next = d->pending) {
    d->pending = nullptr;
    play(next);
  }
  if (s->finished) s->finished(s);
}
}
