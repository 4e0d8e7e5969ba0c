// The command set of the 3D-audio server: listener and source settings and poses, server
// properties, waves on the server, queries and the wave upload.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <initializer_list>

#include "toolkit/devices/cre.h"
#include "toolkit/wt.h"

namespace {

const uint32_t kAllSources = 0xFFFFFFFFu;
const char kEcho[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz";
int wavecounter;
float sourcetable[25];

CreLink &L() { return _WTcre_link(); }
bool booted() { return L().sources > 0; }
bool sourceok(int s) { return s >= 0 && s < L().sources; }
bool listenerok(int l) { return l >= 0 && l < 64 && (L().listenermask >> l & 1); }
void mark(int s) { L().pending |= s >= 0 && s < 32 ? 1u << s : kAllSources; }

void puts_(std::initializer_list<int> bytes) {
  for (int b : bytes) _WTcre_put(b);
}

void finish() {
  _WTcre_putu7(L().client);
  _WTcre_put(0x04);
  _WTcre_send();
}

void end() {
  _WTcre_put(0x04);
  _WTcre_send();
}

float wrapangle(float a) {
  while (a > 3.14159f) a -= 2.0f * 3.14159f;
  while (a < -3.14159f) a += 2.0f * 3.14159f;
  return a;
}

void putpose(const float pose[6], bool angles) {
  for (int i = 0; i < 3; i++) _WTcre_putposition(pose[i]);
  if (angles)
    for (int i = 3; i < 6; i++) _WTcre_putangle(wrapangle(pose[i]));
}

// The wave number arriving in the reply to a wave open.
int wavenumber(CreWave *wave, int) {
  int value = _WTcre_readreply(16);
  if (value >= 1) {
    wave->number = static_cast<int16_t>(value);
    return 1;
  }
  wave->number = -1;
  if (L().debug) {
    time_t now = time(nullptr);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%s", ctime(&now));
    stamp[strcspn(stamp, "\n")] = 0;
    fprintf(stderr, "\n\nLOG: %s: failed file open, %s\n\n", stamp, wave->name);
  }
  return 0;
}


// The listener settings' values by item; false when values are missing.
bool putlistenervalues(int item, int count, const float *values, const char *text) {
  if (item == 5) {
    for (int i = 0; i < count; i++) _WTcre_put(text[i] & 0x7F);
    return true;
  }
  if (!values) return false;
  int n = item == 3 ? (count < 3 ? count : 3) : item == 7 ? (count < 265 ? count : 265) : 1;
  for (int i = 0; i < n; i++) {
    if (item == 7) _WTcre_putu7(static_cast<int>(values[i]));
    else _WTcre_putdecimal(values[i]);
  }
  return true;
}

// The item a source setting sends and whether its count is acceptable.
int sourceitem(int item, int *count, bool values, int source) {
  if (item == 0) return *count >= 0 && *count <= 2 ? 0 : -2;
  if (item == 1) {
    if (*count < 0 || *count > 30) return -2;
    L().sourcemodes[source] = static_cast<unsigned char>(*count);
    return values ? 1 : 2;
  }
  if (item == 3 || item == 5) {
    if (*count >= 0) return item;
    *count = 0;
    return item + 1;
  }
  return *count == 0 ? item : -2;
}

void putwaveoperand(int code, const void *operand) {
  if (code == 9) _WTcre_putu7(operand ? static_cast<const CreWave *>(operand)->number : 0);
  if (code == 10) _WTcre_putdecimal(operand ? *static_cast<const float *>(operand) : 0.0f);
  if (code == 11)
    for (int i = 0; i < 3; i++) _WTcre_putword(operand ? static_cast<const int32_t *>(operand)[i] : 0);
}

int readwaveinfo(CreWave *wave) {
  int r = _WTcre_readreply(16);
  if (r < 0) return r;
  // The name the server reports is the one the wave was opened with.
  for (int i = 0, n = _WTcre_readbyte(L().slot); i < n; i++) _WTcre_readbyte(L().slot);
  _WTcre_readbyte(L().slot);
  wave->format[1] = static_cast<int16_t>(_WTcre_readbyte(L().slot));
  wave->rate = _WTcre_readword() / 1000.0;
  for (int32_t &w : wave->reported) w = _WTcre_readword();
  return r;
}

double transmissiondivisor(int baud) {
  switch (baud) {
    case 96: return 50000.0;
    case 192: return 100000.0;
    case 384: return 200000.0;
    case 576: return 300000.0;
    case 768: return 400000.0;
    case 1152: return 600000.0;
    default: return 0.0;
  }
}

// Sends the file in blocks of 100 bytes and a last shorter one; false on a refused block.
bool uploadblocks(FILE *file, int verbose) {
  unsigned char block[100];
  for (;;) {
    size_t n = fread(block, 1, sizeof block, file);
    bool last = n < sizeof block;
    _WTcre_writebyte(L().slot, last ? 2 : 1);
    if (last) {
      _WTcre_writebyte(L().slot, static_cast<int>(n & 0xFF));
      _WTcre_writebyte(L().slot, static_cast<int>(n >> 8));
    }
    if (n) _WTcre_writeblock(L().slot, block, static_cast<int>(n));
    if (_WTcre_readreply(124) <= 0) {
      if (verbose) printf(last ? "\nCRE: Transmission Error\n" : "\n CRE ERROR: Transmission Error\n");
      return false;
    }
    if (last) return true;
  }
}

}  // namespace

int _WTcre_listenersettings(int listener, int item, int count, const float *values, const char *text) {
  if (item < 0 || item > 9 || item == 6) return -1;
  if (item == 5) count = text ? static_cast<int>(strlen(text)) : -1;
  if (count < 0 || count > 16383) return -2;
  if (!listenerok(listener)) return -4;
  puts_({0xC1, listener & 0x7F});
  if (count > 127) puts_({(item + 0x40) & 0x7F, count & 0x7F, (count >> 7) & 0x7F});
  else puts_({item, count});
  if (item == 9) return -1;
  if (count == 0) return 1;
  if (!putlistenervalues(item, count, values, text)) return -2;
  end();
  return _WTcre_ack(1);
}

int _WTcre_listenerpose(int listener, const float pose[6]) {
  if (!booted()) return 0;
  if (!pose) return -1;
  if (!listenerok(listener)) return -2;
  puts_({0x81, listener & 0x7F});
  putpose(pose, true);
  end();
  L().pending = kAllSources;
  return _WTcre_ack(1);
}

int _WTcre_sourcepose(int source, const float pose[6]) {
  if (!sourceok(source) || !pose) return 0;
  bool angles = L().sourcemodes[source] != 0;
  puts_({angles ? 0x83 : 0x82, source & 0x7F});
  putpose(pose, angles);
  end();
  mark(source);
  return _WTcre_ack(angles ? 3 : 2);
}

int _WTcre_sourcegain(int source, float gain) {
  if (!sourceok(source)) return 0;
  if (fabsf(gain) > 2000.0f) return -1;
  puts_({0x84, source & 0x7F});
  _WTcre_puttenths(gain);
  _WTcre_send();
  mark(source);
  return _WTcre_ack(4);
}

int _WTcre_sourcesettings(int source, int item, int count, const float *values) {
  if (!sourceok(source)) return 0;
  if (item < 0 || item > 7) return -1;
  if (count > 16383) return -2;
  int sent = sourceitem(item, &count, values != nullptr, source);
  if (sent < 0) return sent;
  puts_({0xC3, source & 0x7F, sent, count & 0x7F});
  if (values && item == 0) {
    for (int i = 0; i < 2; i++) _WTcre_puthalfturn(i < count ? values[i] : 0.0f);
  } else if (values) {
    for (int i = 0; i < count; i++) _WTcre_puttenths(values[i]);
  }
  end();
  mark(source);
  return _WTcre_ack(3);
}

int _WTcre_sourceselector(int source, int value) {
  if (!sourceok(source)) return 0;
  if (value > 15) return -1;
  puts_({0xC2, source & 0x7F, value & 0x7F});
  _WTcre_send();
  return _WTcre_ack(2);
}

int _WTcre_serverproperty(int property, int count, const float *value) {
  if (!booted()) return 0;
  if (property != 0 && property != 1) return -1;
  if (count > 1 || (count == 1 && !value)) return -2;
  if (count == 1) {
    puts_({0xCE, 0, property, 1});
    _WTcre_putdecimal(*value);
  } else {
    puts_({0x8E, 0, property, count & 0x7F});
  }
  _WTcre_send();
  return _WTcre_ack(14);
}

int _WTcre_readsources(int source, float *out) {
  if (!L().handshake) return 0;
  _WTcre_flush(L().slot);
  puts_({0x91, source & 0x7F, L().client & 0x7F});
  _WTcre_send();
  int max = L().sources < 24 ? L().sources : 24;
  int n = _WTcre_readpayload(17, 3, max, sourcetable);
  if (n < 0) return n;
  if (source == -1) memcpy(out, sourcetable, sizeof(float) * static_cast<size_t>(max));
  else if (source >= 0 && source < max) *out = sourcetable[source];
  return n;
}

CreWave *_WTcre_waveopen(const char *name, int flags) {
  if (!name || !_WTcre_openlink()) return nullptr;
  CreWave *wave = static_cast<CreWave *>(_WTmem_alloc(sizeof(CreWave)));
  wave->name = static_cast<char *>(_WTmem_alloc(strlen(name) + 1));
  strcpy(wave->name, name);
  wave->rate = 44100.0;
  wave->format[0] = 1, wave->format[1] = 2, wave->format[2] = 2;
  wave->number = -1;
  for (int32_t &w : wave->reported) w = -1;
  _WTcre_flush(L().slot);
  puts_({0xD0, 0, flags & 0x7F});
  _WTcre_puttext(name);
  finish();
  if (L().handshake) {
    L().replyfn = wavenumber;
    L().replywave = wave;
    L().replyflag = 0;
  } else {
    wave->number = static_cast<int16_t>(++wavecounter);
  }
  return wave;
}

// Reads the number of the wave just opened, if its reply is still awaited.
int _WTcre_wavenumber(CreWave *wave) {
  if (L().replyfn && L().replywave == wave) {
    L().replyfn = nullptr;
    wavenumber(wave, L().replyflag);
  }
  return wave->number;
}

int _WTcre_waveclose(CreWave *wave) {
  if (!wave) return -1;
  if (L().replywave == wave) L().replyfn = nullptr, L().replywave = nullptr;
  if (wave->number == -1) {
    _WTmem_free(wave->name);
    _WTmem_free(wave);
    return -1;
  }
  puts_({0xD0, wave->number & 0x7F, 0, 0});
  _WTcre_send();
  _WTmem_free(wave->name);
  _WTmem_free(wave);
  return _WTcre_ack(16);
}

int _WTcre_wavecontrol(CreWave *wave, int source, int code, const void *operand) {
  if (!wave) return -1;
  if (wave->number == -1) return -3;
  if (code == 0 || code == 1 || code > 13 || code < 0) return -2;
  if (!sourceok(source)) return 0;
  puts_({0x90, wave->number & 0x7F, source & 0x7F, code});
  putwaveoperand(code, operand);
  finish();
  mark(source);
  if (code == 12) return readwaveinfo(wave);
  if (code == 8 && !L().acknowledge && L().handshake) return _WTcre_readreply(16);
  return _WTcre_ack(16);
}

int _WTcre_sourcevalue8d(int source, float value) {
  if (!sourceok(source)) return 0;
  puts_({0x8D, source & 0x7F});
  _WTcre_putdecimal(value);
  _WTcre_send();
  return _WTcre_ack(13);
}

int _WTcre_global8a(int item, float value) {
  if (item < 0 || item > 5) return 0;
  puts_({0x8A, item});
  _WTcre_puttenths(value);
  _WTcre_send();
  L().pending = kAllSources;
  return _WTcre_ack(10);
}

int _WTcre_global8c(int value) {
  if (value < 0 || value > 255) return 0;
  puts_({0x8C, 0});
  _WTcre_puts14(static_cast<signed char>(value));
  _WTcre_send();
  L().pending = kAllSources;
  return _WTcre_ack(12);
}

int _WTcre_global98(const float values[6]) {
  puts_({0x98, 0});
  for (int i = 0; i < 6; i++) _WTcre_puts21(static_cast<int>(values[i]) * L().scale);
  _WTcre_send();
  L().pending = kAllSources;
  return _WTcre_ack(24);
}

int _WTcre_global99(int on) {
  puts_({0x99, on ? 1 : 0});
  _WTcre_send();
  L().pending = kAllSources;
  return 1;
}

int _WTcre_servermode(int mode) {
  puts_({0x9D, mode & 0x7F});
  _WTcre_send();
  return 1;
}

int _WTcre_sourcevalue9f(int source, float value) {
  if (!sourceok(source)) return 0;
  if (fabsf(value) > 2000.0f) return -1;
  puts_({0x9F, source & 0x7F});
  _WTcre_puttenths(value);
  _WTcre_send();
  mark(source);
  return _WTcre_ack(31);
}

int _WTcre_query9e() {
  puts_({0x9E, 0, L().client & 0x7F});
  _WTcre_send();
  return _WTcre_readreply(30);
}

int _WTcre_sourceflags(int *out) {
  _WTcre_flush(L().slot);
  puts_({0x9C, 0, L().client & 0x7F});
  _WTcre_send();
  int r = _WTcre_readreply(28);
  if (r <= 0) {
    printf("CRE warning: Read response returned %d!\n", r);
    return -1;
  }
  uint32_t bits = static_cast<uint32_t>(_WTcre_readword());
  for (int i = 0; i < L().sources && i < 32; i++) out[i] = bits >> i & 1;
  return 1;
}

int _WTcre_command9x(int command, int x) {
  _WTcre_flush(L().slot);
  puts_({command == 0x93 ? 0x93 : 0x92, x & 0x7F});
  end();
  return 1;
}

int _WTcre_command94(float position) {
  _WTcre_flush(L().slot);
  puts_({0x94, 0});
  _WTcre_putposition(position);
  end();
  return 1;
}

int _WTcre_command9596(int command, int a, int b) {
  _WTcre_flush(L().slot);
  bool second = command == 0x96;
  puts_({second ? 0x96 : 0x95, a & 0x7F, b & 0x7F});
  end();
  return L().handshake ? _WTcre_readreply(second ? 22 : 21) : 1;
}

float _WTcre_query97(int a, float position) {
  puts_({0x97, 0, a & 0x7F});
  _WTcre_putposition(position);
  end();
  return static_cast<float>(_WTcre_readreply(23) / 10.0);
}

int _WTcre_echotest(int debug) {
  L().debug = debug;
  if (!L().handshake) return 0;
  _WTcre_put(0xFD);
  _WTcre_puttext(kEcho);
  finish();
  char text[257] = {};
  int n = _WTcre_readpayload(125, 1, 256, text);
  if (n != static_cast<int>(strlen(kEcho))) return -2;
  if (L().debug) printf("%.*s", static_cast<int>(strcspn(text, "\n")), text);
  return 1 + (text[0] - 'A');
}

int _WTcre_wavedirectory(char ***names) {
  *names = nullptr;
  _WTcre_put(0xFB);
  finish();
  int count = _WTcre_readreply(123);
  if (count <= 0) return count;
  if (count > 1000) count = 1000;
  char **list = static_cast<char **>(calloc(static_cast<size_t>(count), sizeof(char *)));
  if (!list) {
    printf("\nWAVE DIRECTORY struct:  handle malloc fail.");
    return 0;
  }
  int got = 0;
  for (; got < count; got++) {
    int length = _WTcre_readreply(123);
    if (length < 0) break;
    list[got] = static_cast<char *>(malloc(static_cast<size_t>(length) + 1));
    if (!list[got]) {
      printf("\nWAVE DIRECTORY struct: entry malloc fail.");
      break;
    }
    for (int i = 0; i < length; i++) list[got][i] = static_cast<char>(_WTcre_readreply(123));
    list[got][length] = 0;
  }
  *names = list;
  return got;
}

int _WTcre_deletewave(const char *name, int verbose) {
  _WTcre_put(0xFA);
  _WTcre_puttext(name);
  _WTcre_putu7(L().client);
  _WTcre_send();
  int r = _WTcre_readreply(122);
  if (verbose && r > 0) printf("\nCRE - Successfully deleted wavefile: %s\n", name);
  if (verbose && r <= 0) printf("\n CRE Warning - Could not delete wavefile: %s\n", name);
  return r;
}

int _WTcre_upload(int verbose, const char *path) {
  if (!_WTcre_openlink()) return -1;
  FILE *file = fopen(path, "rb");
  if (!file) return -1;
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  if (verbose) {
    double d = transmissiondivisor(L().baud);
    printf("\nCRE - Sending wave file: %s to Acoustetron II\n", path);
    printf("CRE-  Estimated transmission time: %3.1f minutes...\n", d > 0.0 ? size / d : 0.0);
  }
  const char *base = strrchr(path, '/');
  _WTcre_flush(L().slot);
  _WTcre_put(0xFC);
  _WTcre_puttext(base ? base + 1 : path);
  _WTcre_putu7(L().client);
  _WTcre_send();
  int status = _WTcre_readreply(124) <= 0 ? -2 : uploadblocks(file, verbose) ? 1 : -3;
  fclose(file);
  if (status != 1) return status;
  _WTcre_put(0x04);
  if (verbose) printf("CRE-  ...Done.\n");
  return 1;
}

int _WTcre_errortext(int code) {
  if (L().debug) printf("CRE_ERROR: %d is unsupported.", code);
  return 0;
}

int _WTcre_relativeposition(int a, int b, float x, float y, float z) {
  if (L().debug) printf("CRE_SET_REL_POS(%d, %d, %g, %g %g) is unsupported.", a, b, x, y, z);
  return 0;
}
