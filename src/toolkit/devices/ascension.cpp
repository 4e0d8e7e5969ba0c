// Ascension birds and flocks: one-byte commands and examine queries to a bird address, the
// rotation words of alignment and reference frame, and sample records of 7-bit packed words.
#include <math.h>
#include <stdio.h>

#include "toolkit/devices/ascension.h"
#include "toolkit/devices/vtrotation.h"

namespace {

struct Command {
  int number;
  const char *name;
  int (*run)(int port, int value, const void *data);
  bool sized;  // its bytes depend on the flock's addressing
};

struct Query {
  int number;
  const char *name;
  int parameter;
  int size, expandedsize;
};

const double kRadians = 3.14159265358979323846 / 180.0;

VtTrackerCalibration *calibration() { return vt_current_tracker()->calibration; }

int sendbytes(int port, const unsigned char *bytes, int n) { return vt_serial_write_bytes(port, bytes, n); }

int flagcommand(int port, int parameter, int value, bool padded) {
  unsigned char b[4] = {'P', static_cast<unsigned char>(parameter), static_cast<unsigned char>(value), 0};
  return sendbytes(port, b, padded ? 4 : 3);
}

// A value of -1 to 1 as a signed word of 15 fraction bits.
int16_t fraction(double v) {
  if (v >= 1.0) return 32767;
  if (v < -1.0) return static_cast<int16_t>(-32768);
  return static_cast<int16_t>(static_cast<int>(v * 32768.0));
}

// The six words of a rotation: sines and cosines of its azimuth, elevation and roll; a turn
// about y within a tenth of a degree of a right angle stops a tenth short of it.
void rotationwords(const VtRotation *r, int16_t words[6], double angles[3]) {
  VtMatrix m = vt_identity_matrix();
  for (int i = 0; i < vt_rotation_steps(r); i++) {
    double a = r->angles[i];
    if ((r->axes[i] == 'y' || r->axes[i] == 'Y') && fabs(fabs(a) - 90.0) <= 0.1) a = a > 0 ? 89.9 : -89.9;
    vt_turn_matrix(&m, r->axes[i], a);
  }
  vt_matrix_angles(m, angles);
  for (int i = 0; i < 3; i++) {
    words[2 * i] = fraction(sin(angles[i]));
    words[2 * i + 1] = fraction(cos(angles[i]));
  }
}

int rotationcommand(int port, char letter, const VtRotation *r) {
  int16_t words[6];
  double angles[3];
  rotationwords(r, words, angles);
  if (letter == 'H') {
    vt_say("\nAscension ref. frame reorientation:");
    vt_say("\n az = %6.3f, el = %6.3f, roll = %6.3f", angles[0] / kRadians, angles[1] / kRadians, angles[2] / kRadians);
  }
  unsigned char b[13] = {static_cast<unsigned char>(letter)};
  for (int i = 0; i < 6; i++) {
    b[1 + 2 * i] = static_cast<unsigned char>(words[i] & 0xFF);
    b[2 + 2 * i] = static_cast<unsigned char>((words[i] >> 8) & 0xFF);
  }
  return sendbytes(port, b, 13);
}

int replysize(int size, int expandedsize) { return expandedsize && UsingExpandedAddresses() ? expandedsize : size; }

int setscaling(int port, int value, const void *) { return flagcommand(port, 3, value != 0, true); }
int setfilter(int port, int value, const void *) { return flagcommand(port, 4, value & 0xFF, true); }
int setoutputlock(int port, int value, const void *) { return flagcommand(port, 14, value != 0, false); }
int setposrefframe(int port, int value, const void *) { return flagcommand(port, 17, value != 0, false); }
int setgroupmode(int port, int value, const void *) { return flagcommand(port, 35, value != 0, false); }

int setfbbconfig(int port, int, const void *data) {
  unsigned char b[9] = {'P', 33};
  int n = replysize(5, 7);
  for (int i = 0; i < n; i++) b[2 + i] = static_cast<const unsigned char *>(data)[i];
  return sendbytes(port, b, 2 + n);
}

int setfbbarm(int port, int, const void *data) {
  vt_sleep(300);
  unsigned char b[3] = {'P', 34, 1};
  int n = replysize(14, 30);
  if (sendbytes(port, b, 3) < 1) return 0;
  vt_sleep(300);
  unsigned char local[30];
  unsigned char *out = data ? static_cast<unsigned char *>(const_cast<void *>(data)) : local;
  int r = vt_serial_read_bytes(port, out, n);
  if (r < 1) fprintf(stderr, "\nNum bytes read = %d", -r);
  return r;
}

int autosetfbbconfig(int port, int value, const void *) {
  unsigned char b[3] = {'P', 50, static_cast<unsigned char>(value)};
  int r = sendbytes(port, b, 3);
  vt_sleep(500);
  return r;
}

int align(int port, int, const void *data) { return rotationcommand(port, 'J', static_cast<const VtRotation *>(data)); }

int referenceframe(int port, int, const void *data) {
  return rotationcommand(port, 'H', static_cast<const VtRotation *>(data));
}

int hemisphere(int port, int value, const void *data) {
  char axis = data ? *static_cast<const char *>(data) : 0;
  unsigned char b[3] = {'L', static_cast<unsigned char>(axis == 'y' ? 0x06 : axis == 'z' ? 0x0C : 0x00),
                        static_cast<unsigned char>(value == -1 ? 1 : 0)};
  return sendbytes(port, b, 3);
}

int nexttransmitter(int port, int value, const void *) {
  if ((value & 15) > 14) {
    vt_set_error("ascension_next_transmitter", 0);
    vt_print_error("&transmitter address > 14.");
    return 0;
  }
  unsigned char b[2] = {'0', static_cast<unsigned char>(value << 4)};
  return sendbytes(port, b, 2);
}

int onebyte(int port, int byte) {
  unsigned char b = static_cast<unsigned char>(byte);
  return sendbytes(port, &b, 1);
}

int posangleoutput(int port, int, const void *) { return onebyte(port, 'Y'); }

int requestsample(int port, int, const void *) {
  if (vt_serial_flush_in(port) < 1) return 0;
  return onebyte(port, 'B');
}

int run(int port, int, const void *) {
  int r = onebyte(port, 'F');
  vt_sleep(750);
  return r;
}

int gotosleep(int port, int, const void *) { return onebyte(port, 'G'); }

int sendsync(int port, int value, const void *) {
  unsigned char b[2] = {'A', static_cast<unsigned char>(value)};
  return sendbytes(port, b, 2);
}

const Command commands[] = {
    {0, "ascension_set_position_scaling", setscaling, false},
    {1, "ascension_set_filter", setfilter, false},
    {9, "ascension_set_output_lock", setoutputlock, false},
    {10, "ascension_set_pos_ref_frame", setposrefframe, false},
    {12, "ascension_set_fbb_config", setfbbconfig, true},
    {13, "ascension_set_fbb_arm", setfbbarm, true},
    {14, "ascension_set_group_mode", setgroupmode, false},
    {15, "ascension_auto_set_fbb_config", autosetfbbconfig, false},
    {16, "ascension_align", align, false},
    {17, "ascension_hemi", hemisphere, false},
    {18, "ascension_next_transmitter", nexttransmitter, false},
    {19, "ascension_pos_angle_output", posangleoutput, false},
    {20, "ascension_reference_frame", referenceframe, false},
    {21, "ascension_request_single_sample", requestsample, false},
    {22, "ascension_run", run, false},
    {23, "ascension_sleep", gotosleep, false},
    {24, "ascension_send_sync", sendsync, false},
};

const Query queries[] = {
    {12, "ascension_get_fbb_config", 33, 5, 7},     {13, "ascension_get_fbb_arm", 34, 14, 30},
    {14, "ascension_get_group_mode", 35, 1, 0},     {15, "ascension_auto_get_fbb_config", 50, 5, 0},
    {16, "ascension_get_bird_status", 0, 2, 0},     {19, "ascension_get_error", 10, 1, 0},
    {22, "ascension_get_flock_status", 36, 14, 30},
};

// Whether the address prefix needs to know the flock's addressing first.
bool needsaddressing(int address) { return address >= 16 && address <= 30; }

// One record of six words (and, in group mode, the bird's address byte after it).
int readrecord(int port, int bird) {
  VtTracker *t = vt_current_tracker();
  unsigned char b[12];
  int r = vt_serial_read_bytes(port, b, 12);
  if (r < 1) return vt_print_error("vt_ascension_raw_read");
  if (!(b[0] & 0x80)) {
    vt_serial_flush_in(port);
    return vt_set_error("check_ascension_head", VT_EASCENSION), 0;
  }
  for (int i = 0; i < 6; i++) {
    // Low byte first, 7 data bits in each; bit 7 of a record's first byte marks its start.
    int16_t word = static_cast<int16_t>(((b[2 * i + 1] << 8) | ((b[2 * i] & 0x7F) << 1)) << 1);
    t->words[bird][i] = word;
    t->raw[bird][i] = word;
    vt_debugf("%#06x ", word & 0xFFFF);
  }
  if (calibration()->words[1] == 1 && vt_serial_read_byte(port) < 0) return vt_print_error("vt_ascension_raw_read");
  return 1;
}

}  // namespace

int ascension_status(int address) {
  unsigned char b[2];
  if (vt_send_ascension_query(16, address, b) < 1) return -1;
  return b[0] | b[1] << 8;
}

extern "C" {

int SendFBBPrefix(int address) {
  int port = vt_current_tracker()->port;
  if (address == 0) return 1;
  if (address >= 1 && address <= 15) return onebyte(port, 0xF0 + address);
  if (address == 31 || (needsaddressing(address) && UsingExpandedAddresses()))
    return onebyte(port, 0xE0 + (address - 16));
  if (needsaddressing(address))
    fprintf(stderr, "\nERROR in SendFBBPrefix: birdAddress > 15 but flock is not using expanded addressing mode.");
  return vt_set_errorf(VT_EASCENSION, "SendFBBPrefix(%d)", address), 0;
}

int UsingExpandedAddresses(void) {
  VtTrackerCalibration *c = calibration();
  if (c->words[2] == -1) {
    int status = ascension_status(0);
    if (status < 0) return 0;
    c->words[2] = (status >> 10) & 1;
  }
  return c->words[2] == 1;
}

int vt_send_ascension_command(int number, int address, int value, const void *data) {
  VtTracker *t = vt_current_tracker();
  if (!t || t->port == -1) return 1;
  for (const Command &c : commands) {
    if (c.number != number) continue;
    // Asked before the prefix, which addresses the next command only.
    if (c.sized) UsingExpandedAddresses();
    if (SendFBBPrefix(address) < 1 || c.run(t->port, value, data) < 1) {
      vt_print_error(c.name);
      return vt_print_error("vt_send_ascension_command");
    }
    return 1;
  }
  return vt_set_errorf(VT_EASCENSION, "vt_send_ascension_command(%d)", number), 0;
}

int vt_send_ascension_query(int number, int address, void *result) {
  VtTracker *t = vt_current_tracker();
  if (!t || t->port == -1) return 1;
  for (const Query &q : queries) {
    if (q.number != number) continue;
    int n = replysize(q.size, q.expandedsize);
    unsigned char b[2] = {'O', static_cast<unsigned char>(q.parameter)};
    if (SendFBBPrefix(address) < 1 || sendbytes(t->port, b, 2) < 1 || vt_serial_read_bytes(t->port, result, n) < 1) {
      vt_print_error(q.name);
      return vt_print_error("vt_send_ascension_query");
    }
    return 1;
  }
  return vt_set_errorf(VT_EASCENSION, "vt_send_ascension_query(%d)", number), 0;
}

int vt_ascension_raw_read(void) {
  VtTracker *t = vt_current_tracker();
  if (!t || t->port < 0) return 0;
  for (int bird = 0; bird < VT_RECEIVERS; bird++)
    if ((t->device >> bird & 1) && readrecord(t->port, bird) < 1) return vt_print_error("vt_ascension_raw_read");
  vt_debugf("\n");
  return 1;
}

int vt_ascension_processed_read(void) {
  if (vt_ascension_raw_read() < 1) return vt_print_error("vt_ascension_processed_read");
  VtTracker *t = vt_current_tracker();
  for (int bird = 0; bird < VT_RECEIVERS; bird++)
    if (t->device >> bird & 1) vt_ascension_decode_pose(bird + 1);
  return 1;
}

int vt_ascension_decode_pose(int receiver) { return vt_tracker_decode_words(receiver); }

int vt_ascension_encode_pose(int receiver) { return vt_tracker_encode_words(receiver); }

int FactoryTest(void) {
  VtTracker *t = vt_current_tracker();
  if (!t || t->port < 0) return 0;
  unsigned char status[30];
  bool flock = t->model == VT_FLOCK;
  if (vt_send_ascension_query(flock ? 22 : 16, 0, status) < 1) return vt_print_error("FactoryTest");
  if (status[0] & 0x80) {
    fprintf(stderr, "\n  Ascension factory test not available.\n");
    return 1;
  }
  unsigned char b[3] = {'z', 'd', 0x04};
  if (sendbytes(t->port, b, 3) < 1) return vt_print_error("FactoryTest");
  int answer = vt_serial_read_byte(t->port);
  if (answer < 0) return vt_print_error("FactoryTest");
  if (answer != 0x97) {
    fprintf(stderr, "\nAscension factory test failed: returned byte, %#x != 0x97 :", answer);
    return 0;
  }
  return 1;
}
}
