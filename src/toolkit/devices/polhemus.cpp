// Polhemus Fastrak, Isotrak and Isotrak II: text commands ended by CR, and binary sample records
// framed by a three-byte head and a CR LF tail.
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "toolkit/devices/polhemus.h"
#include "toolkit/devices/vtrotation.h"

namespace {

const double kRadians = 3.14159265358979323846 / 180.0;

char status[56];

VtTracker *tracker() { return vt_current_tracker(); }
int port() { return tracker()->port; }

bool ischannel(int handle) { return (handle & VT_CHANNEL_BIT) != 0; }

// The sign and axis letter as the x, y and z of a hemisphere.
void hemisphere(int sign, char axis, int out[3]) {
  int a = tolower(static_cast<unsigned char>(axis)) - 'x';
  for (int i = 0; i < 3; i++) out[i] = i == a ? sign : 0;
}

int align(int station, const VtRotation *r) {
  VtMatrix m = vt_identity_matrix();
  vt_turn_matrix(&m, 'x', 90.0);
  vt_turn_matrix(&m, 'y', 90.0);
  for (int i = 0; i < vt_rotation_steps(r); i++) vt_turn_matrix(&m, r->axes[i], -r->angles[i]);
  // The images of the x and y axes: the matrix's first two rows, without the rounding noise of
  // right angles (which would print as -0.000000).
  double x[3], y[3];
  for (int i = 0; i < 3; i++) {
    x[i] = fabs(m.m[0][i]) < 1e-9 ? 0.0 : m.m[0][i];
    y[i] = fabs(m.m[1][i]) < 1e-9 ? 0.0 : m.m[1][i];
  }
  vt_debugf("\n  New Xaxis: %8.3f,%8.3f,%8.3f\n  New Yaxis: %8.3f,%8.3f,%8.3f", x[0], x[1], x[2], y[0], y[1], y[2]);
  char text[160];
  if (tracker()->model == VT_ISOTRAK)
    snprintf(text, sizeof text, "%c1,0,0,0,%d,%d,%d,%d,%d,%d\r", 'A', static_cast<int>(x[0] * 10),
             static_cast<int>(x[1] * 10), static_cast<int>(x[2] * 10), static_cast<int>(y[0] * 10),
             static_cast<int>(y[1] * 10), static_cast<int>(y[2] * 10));
  else
    snprintf(text, sizeof text, "%c%d,0.00,0.00,0.00,%8.6f,%8.6f,%8.6f,%8.6f,%8.6f,%8.6f\r", 'A', station, x[0], x[1],
             x[2], y[0], y[1], y[2]);
  vt_debugf("\n  Alignment string: <%s>\n", text);
  return vt_serial_write_string(port(), text) < 1 ? vt_print_error("polhemus_align") : 1;
}

int boresight(int station, const VtRotation *r) {
  if (vt_rotation_steps(r) > 0 && tolower(static_cast<unsigned char>(r->axes[0])) == 't') {
    fprintf(stderr, "\n\nWaiting to boresight (Press any key when ready): ");
    fflush(stderr);
    getchar();
    if (polhemus_send('B', station, "") < 1) return vt_print_error("polhemus_boresight");
    fprintf(stderr, "BORESIGHT SET.\n\n");
    return 1;
  }
  VtMatrix m = vt_identity_matrix();
  for (int i = 0; i < vt_rotation_steps(r); i++) vt_turn_matrix(&m, r->axes[i], r->angles[i]);
  double angles[3];
  vt_matrix_angles(m, angles);
  float(*pairs)[2] = tracker()->calibration->pairs[station - 1];
  for (int i = 0; i < 3; i++) pairs[3 + i][0] += static_cast<float>(angles[i]);
  vt_debugf("\n  Offsets: a:%8.4f  e:%8.4f  r:%8.4f", pairs[3][0] / kRadians, pairs[4][0] / kRadians,
            pairs[5][0] / kRadians);
  return 1;
}

int head(int station) {
  unsigned char h[3];
  if (vt_serial_read_bytes(port(), h, 3) < 1) return vt_print_error("polhemus_head");
  if (h[0] != '0' || h[1] != '0' + station) {
    vt_serial_flush_in(port());
    return vt_set_errorf(VT_EHEAD, "polhemus_head: head string = %c%c%c ", h[0], h[1], h[2]), 0;
  }
  if (h[2] != ' ') {
    vt_set_error("polhemus_head", VT_EPOLHEMUS);
    vt_print_errorf("&Code %d returned by polhemus", h[2]);
  }
  return 1;
}

int tail() {
  unsigned char t[2] = {0, 0};
  if (vt_serial_read_bytes(port(), t, 2) == 1 && t[0] == '\r' && t[1] == '\n') return 1;
  return vt_set_errorf(VT_ETAIL, "polhemus_tail: tail bytes = %#X %#X", t[0], t[1]), 0;
}

// One station's record: head, six values, tail.
int record(int station) {
  VtTracker *t = tracker();
  float *raw = t->raw[station - 1];
  if (head(station) < 1) return 0;
  if (t->model == VT_FASTRAK) {
    unsigned char body[24];
    if (vt_serial_read_bytes(port(), body, 24) < 1) return 0;
    memcpy(raw, body, sizeof body);
  } else {
    int16_t *words = t->words[station - 1];
    if (vt_serial_read_shorts(port(), words, 6) < 1) return 0;
    for (int i = 0; i < 6; i++) raw[i] = words[i];
  }
  return tail();
}

}  // namespace

int polhemus_send(char letter, int station, const char *rest) {
  char text[32];
  if (station >= 0)
    snprintf(text, sizeof text, "%c%d%s\r", letter, station, rest);
  else
    snprintf(text, sizeof text, "%c%s\r", letter, rest);
  return vt_serial_write_string(port(), text);
}

int polhemus_letter(int letter) { return vt_serial_write_byte(port(), letter); }

int polhemus_hemi(int station, int sign, char axis) {
  int h[3];
  hemisphere(sign, axis, h);
  char text[48];
  snprintf(text, sizeof text, "%c%d,%d,%d,%d\r", 'H', station, h[0], h[1], h[2]);
  return vt_serial_write_string(port(), text) < 1 ? vt_print_error("polhemus_hemi") : 1;
}

int polhemus_status(void) {
  if (polhemus_letter('S') < 1) return vt_print_error("polhemus_status");
  vt_sleep(50);
  int r = vt_serial_read_bytes(port(), status, 55);
  status[r == 1 ? 55 : (r < 0 ? -r : 0)] = 0;
  return r < 1 ? vt_print_error("polhemus_status") : 1;
}

extern "C" {

const char *polhemus_status_record(void) { return status; }

int vt_send_polhemus_command(int number, int arg, int value, const void *data) {
  VtTracker *t = tracker();
  if (!t || t->port < 0) return 1;
  int r = 0;
  switch (number) {
    case VT_POLHEMUS_ALIGN:
      r = align(arg, static_cast<const VtRotation *>(data));
      break;
    case VT_POLHEMUS_BORESIGHT:
      r = boresight(arg, static_cast<const VtRotation *>(data));
      break;
    case VT_POLHEMUS_HEMI:
      r = polhemus_hemi(arg, value, data ? *static_cast<const char *>(data) : 0);
      break;
    case VT_POLHEMUS_SAMPLE:
      r = vt_polhemus_request_single_sample();
      break;
    case VT_POLHEMUS_CRTSYNC:
      r = vt_polhemus_crt_sync(arg);
      break;
    case VT_POLHEMUS_REBOOT:
      r = vt_polhemus_reboot();
      break;
    default:
      return vt_set_errorf(VT_EPOLHEMUS, "vt_send_polhemus_command(%d)", number), 0;
  }
  return r < 1 ? vt_print_error("vt_send_polhemus_command") : r;
}

int vt_polhemus_request_single_sample(void) {
  return polhemus_letter('P') < 1 ? vt_print_error("vt_polhemus_request_single_sample") : 1;
}

int vt_polhemus_crt_sync(int on) {
  if (tracker()->model != VT_FASTRAK) return vt_set_error("vt_polhemus_crt_sync", VT_EPOLHEMUS), 0;
  char reply[81];
  if (on) {
    vt_say("\n  Enabling CRT sync ... ");
    if (polhemus_send('y', -1, "2") < 1) return vt_print_error("vt_polhemus_crt_sync");
    on = vt_serial_read_line(port(), reply, 80)[0] != 0;
  }
  if (!on && polhemus_send('y', -1, "0") < 1) return vt_print_error("vt_polhemus_crt_sync");
  if (vt_serial_flush_in(port()) < 1 || polhemus_send('y', -1, "") < 1) return vt_print_error("vt_polhemus_crt_sync");
  vt_serial_read_line(port(), reply, 80);
  vt_debugf("\n polhemus_crt_sync status: %s", reply);
  if (strlen(reply) >= 4 && reply[2] == 'y' && reply[3] == '2') vt_set_error("vt_polhemus_crt_sync", VT_EPOLHEMUS);
  return 1;
}

int vt_polhemus_reboot(void) {
  VtTracker *t = tracker();
  bool fastrak = t->model == VT_FASTRAK;
  if (polhemus_letter('c') < 1 || vt_serial_flush_in(t->port) < 1 || polhemus_letter(0x19) < 1)
    return vt_print_error("vt_polhemus_reboot");
  int seconds = fastrak && !ischannel(t->port) ? 15 : 5;
  for (int s = 0; s < seconds; s++) {
    vt_sleep(1000);
    if (fastrak) vt_say(".");
  }
  if (polhemus_letter('c') < 1) return vt_print_error("vt_polhemus_reboot");
  if (fastrak) vt_sleep(250);
  if (vt_serial_flush_in(t->port) < 1 || polhemus_letter('f') < 1) return vt_print_error("vt_polhemus_reboot");
  if (fastrak) vt_sleep(250);
  return 1;
}

int vt_polhemus_raw_read(void) {
  VtTracker *t = tracker();
  if (!t || t->port < 0) return 0;
  const char *name = t->model == VT_FASTRAK ? "polhemus_raw_read32" : "polhemus_raw_read16";
  for (int station = 1; station <= VT_RECEIVERS; station++)
    if ((t->device >> (station - 1) & 1) && record(station) < 1) return vt_print_error(name);
  return 1;
}

int vt_polhemus_processed_read(void) {
  VtTracker *t = tracker();
  if (vt_polhemus_raw_read() < 1)
    return vt_print_error(t && t->model == VT_FASTRAK ? "polhemus_read32" : "polhemus_read16");
  for (int station = 1; station <= VT_RECEIVERS; station++)
    if (t->device >> (station - 1) & 1) vt_polhemus_decode_pose(station);
  return 1;
}

int vt_polhemus_decode_pose(int receiver) {
  VtTracker *t = tracker();
  return t && t->model == VT_FASTRAK ? vt_tracker_uncalibrate_pose(receiver) : vt_tracker_decode_words(receiver);
}

int vt_polhemus_encode_pose(int receiver) {
  VtTracker *t = tracker();
  return t && t->model == VT_FASTRAK ? vt_tracker_calibrate_pose(receiver) : vt_tracker_encode_words(receiver);
}
}
