// The client of the serial 3D-audio server: the byte link (creserial.cpp), the link state with
// its encodings, packets, replies and boot (crelink.cpp), the command set (crecmds.cpp) and the
// toolkit's sound driver on top (cresound.cpp).
#pragma once

#include <stdint.h>

extern "C" {

// ---- Byte link: 8 port slots, one byte of look-ahead, reads with a 5 ms time-out ---------------
int _WTcre_serialopen(int *slot, const char *name, int baud, char parity, int databits, int stopbits);
void _WTcre_serialclose(int slot);
int _WTcre_available(int slot);
int _WTcre_readbyte(int slot);
int _WTcre_writebyte(int slot, int byte);
// 0 when every byte went out, 1 otherwise.
int _WTcre_writeblock(int slot, const void *data, int length);
int _WTcre_writetext(int slot, const char *text);
int _WTcre_flush(int slot);
int _WTcre_expect(int slot, const char *text);
// The byte once it came, -1 after a second of time-outs.
int _WTcre_waitbyte(int slot, int byte);
int _WTcre_dump(int slot);
int _WTcre_read16(int slot);
float _WTcre_readfloat(int slot);
int _WTcre_readtext(int slot, char *buffer, int limit);
}

// ---- Link state ----------------------------------------------------------------------------------
struct CreWave {
  char *name;
  double rate;
  int16_t format[3];
  int16_t number;
  int32_t reported[4];
};

typedef int (*CreReplyFn)(CreWave *wave, int flag);

struct CreLink {
  int port, baud, handshake, timefactor, client, sources, listeners;
  uint64_t listenermask;
  int debug, acknowledge, open, slot;
  uint32_t pending;
  int scale, bootmode, bootchecks;
  unsigned char sourcemodes[24];
  uint32_t status;
  unsigned char out[512];
  int outn;
  int nextsource;  // the source number of the next sound loaded
  CreReplyFn replyfn;
  CreWave *replywave;
  int replyflag;
};

CreLink &_WTcre_link();
// Back to the defaults (the acknowledge value stays); the port, if open, is closed.
void _WTcre_defaults();
int _WTcre_openlink();
int _WTcre_boot(int driver, int listener, int sources, int flags);
int _WTcre_removelistener(int driver, int listener);
int _WTcre_commit();

// Packets: bytes into the out buffer (written in 512-byte pieces as it fills), then sent whole.
void _WTcre_put(int byte);
void _WTcre_putu7(int value);
void _WTcre_puts14(int value);
void _WTcre_puts21(int value);
void _WTcre_puttenths(float value);
void _WTcre_putangle(float radians);
void _WTcre_puthalfturn(float radians);
void _WTcre_putposition(float value);
void _WTcre_putdecimal(float value);
void _WTcre_puttext(const char *text);
void _WTcre_putword(int32_t word);
void _WTcre_send();
// The decimal encoding's 14-bit word of a value.
int _WTcre_decimalword(float value);

// Replies: the value of a reply with the code (below 0: any booted listener), or a negative
// status; payload replies of kind 1 (text) or 3 (tenths as floats) into buffer from the index
// the reply names, at most max items (a text buffer needs max + 1 bytes).
int _WTcre_readreply(int code);
int _WTcre_readpayload(int code, int kind, int max, void *buffer);
int _WTcre_reads14();
int32_t _WTcre_readword();
// With acknowledgements on: the client id queued and the reply of the code read; else 1.
int _WTcre_ack(int code);

// ---- Commands (sources below the granted count, listeners booted) -------------------------------
int _WTcre_listenersettings(int listener, int item, int count, const float *values, const char *text);
int _WTcre_listenerpose(int listener, const float pose[6]);
int _WTcre_sourcepose(int source, const float pose[6]);
int _WTcre_sourcegain(int source, float gain);
int _WTcre_sourcesettings(int source, int item, int count, const float *values);
int _WTcre_sourceselector(int source, int value);
// count 1 sends the value, -1 resets the property.
int _WTcre_serverproperty(int property, int count, const float *value);
int _WTcre_readsources(int source, float *out);
CreWave *_WTcre_waveopen(const char *name, int flags);
// The number of a wave just opened, read now if its reply is still awaited.
int _WTcre_wavenumber(CreWave *wave);
int _WTcre_waveclose(CreWave *wave);
int _WTcre_wavecontrol(CreWave *wave, int source, int code, const void *operand);
int _WTcre_sourcevalue8d(int source, float value);
int _WTcre_global8a(int item, float value);
int _WTcre_global8c(int value);
int _WTcre_global98(const float values[6]);
int _WTcre_global99(int on);
int _WTcre_servermode(int mode);
int _WTcre_sourcevalue9f(int source, float value);
int _WTcre_query9e();
int _WTcre_sourceflags(int *out);
int _WTcre_command9x(int command, int x);
int _WTcre_command94(float position);
int _WTcre_command9596(int command, int a, int b);
float _WTcre_query97(int a, float position);
int _WTcre_echotest(int debug);
int _WTcre_wavedirectory(char ***names);
int _WTcre_deletewave(const char *name, int verbose);
int _WTcre_upload(int verbose, const char *path);
int _WTcre_errortext(int code);
int _WTcre_relativeposition(int a, int b, float x, float y, float z);
