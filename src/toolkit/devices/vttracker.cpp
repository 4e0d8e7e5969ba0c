// Trackers: the record, the table of models with their boot and pose conversions, opening a
// tracker's port (alone or behind a glove server), the hooks of the current tracker's maker,
// and the offsets that turn device values into the library's poses.
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "toolkit/devices/vtdevices.h"

namespace {

const float kDegree = 3.14159265358979323846f / 180.0f;

struct Model {
  const char *name;
  int (*boot)(VtTrackerSetup *setup);
  int (*encode)(int receiver);
  int (*decode)(int receiver);
  bool ascension;
};

const Model models[] = {
    {"fastrak", vt_fastrak_boot, vt_polhemus_encode_pose, vt_polhemus_decode_pose, false},
    {"isotrak", vt_isotrak_boot, vt_polhemus_encode_pose, vt_polhemus_decode_pose, false},
    {"isotrakII", vt_isotrak2_boot, vt_polhemus_encode_pose, vt_polhemus_decode_pose, false},
    {"bird", vt_ascension_boot, vt_ascension_encode_pose, vt_ascension_decode_pose, true},
    {"flock", vt_ascension_boot, vt_ascension_encode_pose, vt_ascension_decode_pose, true},
    {"off", nullptr, nullptr, nullptr, false},
};

VtTracker *current;

float floatbits(uint32_t bits) {
  float f;
  memcpy(&f, &bits, sizeof f);
  return f;
}

// The model of the current tracker when it has a boot (not "off", not unknown), else null.
const Model *modelof(const VtTracker *t) {
  return t && t->model >= VT_FASTRAK && t->model < VT_TRACKER_OFF ? &models[t->model] : nullptr;
}

// The current tracker's model when its port is open.
const Model *openmodel() { return current && current->port >= 0 ? modelof(current) : nullptr; }

bool receiverok(int r) { return current && r >= 1 && r <= VT_RECEIVERS; }

void setscales(VtTracker *t, float position, float angle) {
  for (auto &receiver : t->calibration->pairs)
    for (int i = 0; i < 6; i++) receiver[i][1] = i < 3 ? position : angle;
}

}  // namespace

extern "C" {

VtTracker *allocate_Tracker(void) {
  vt_say("\nAllocating Tracker structure ... ");
  VtTracker *t = static_cast<VtTracker *>(calloc(1, sizeof(VtTracker)));
  VtTrackerCalibration *c = static_cast<VtTrackerCalibration *>(calloc(1, sizeof(VtTrackerCalibration)));
  if (!t || !c) {
    free(t);
    free(c);
    vt_perror("allocate_Tracker", "calloc");
    return nullptr;
  }
  t->calibration = c;
  vt_say("done.");
  return t;
}

int init_Tracker(VtTracker *t, const char *name) {
  t->port = -1;
  t->model = -1;
  for (int i = 0; i <= VT_TRACKER_OFF; i++)
    if (name && strcasecmp(name, models[i].name) == 0) t->model = i;
  if (t->model < 0) return vt_set_error("init_Tracker", VT_ETRACKER), 0;
  if (t->model == VT_BIRD || t->model == VT_FLOCK) {
    setscales(t, floatbits(0x3B36E148), floatbits(0x38C90FDB));
    for (int32_t &w : t->calibration->words) w = -1;
  } else if (t->model != VT_TRACKER_OFF) {
    setscales(t, floatbits(0x3BA65304), floatbits(0x39000100));
  }
  return 1;
}

VtTracker *vt_create_Tracker(const char *model, int open, const char *port, int baud, VtTrackerSetup *setup) {
  VtTracker *t = allocate_Tracker();
  if (!t) return vt_print_error("vt_create_Tracker"), nullptr;
  current = t;
  if (init_Tracker(t, model) < 1) {
    vt_print_error("vt_create_Tracker");
    return t;
  }
  if (modelof(t) && open && vt_open_tracker_port(port, baud, setup) < 0) vt_print_error("vt_create_Tracker");
  return t;
}

int vt_open_tracker_port(const char *port, int baud, VtTrackerSetup *setup) {
  const Model *model = modelof(current);
  if (!model || !port) return vt_set_error("vt_open_tracker_port", VT_ETRACKER), -1;
  vt_say("\nOpening tracker port %s at %d baud ... ", port, baud);
  char name[VT_SERIAL_NAME_MAX + 16];
  int handle = strchr(port, ':') ? vt_open_server_device(vt_server_device_name(port, 3, name, sizeof name), baud)
                                 : vt_serial_open(port, baud);
  if (handle < 0) return vt_print_error("vt_open_tracker_port"), -1;
  current->port = handle;
  vt_say("done.");
  vt_say("\nBooting Tracker");
  VtTrackerSetup fallback = {};
  fallback.first = 1;
  if (model->boot(setup ? setup : &fallback) < 1) {
    vt_serial_close(handle);
    current->port = -1;
    return vt_print_error("vt_open_tracker_port"), -1;
  }
  vt_say("done.");
  return handle;
}

int vt_close_tracker_port(VtTracker *t) {
  if (!t) return 0;
  int result = t->port >= 0 ? vt_serial_close(t->port) : 1;
  t->port = -1;
  return result;
}

void vt_destroy_Tracker(VtTracker *t) {
  if (!t) return;
  vt_close_tracker_port(t);
  free(t->calibration);
  free(t);
  if (current == t) current = nullptr;
}

int vt_write_tracker(const void *bytes, int n) {
  if (!current || current->port < 0) return current ? current->port : -1;
  int r = vt_serial_write_bytes(current->port, bytes, n);
  return r < 1 ? vt_print_error("vt_write_tracker") : r;
}

int vt_read_tracker(void *buffer, int n) {
  if (!current || current->port < 0) return current ? current->port : -1;
  int r = vt_serial_read_bytes(current->port, buffer, n);
  if (r == 1) return n;
  vt_print_error("vt_read_tracker");
  return -r;
}

void vt_select_tracker(VtTracker *t) {
  if (t) current = t;
}

VtTracker *vt_current_tracker(void) { return current; }

// ---- Poses -------------------------------------------------------------------------------------

int vt_tracker_set_pose(int r, const float pose[6]) {
  if (!receiverok(r)) return 0;
  memcpy(current->pose[r - 1], pose, sizeof current->pose[0]);
  const Model *m = modelof(current);
  return m ? m->encode(r) : vt_tracker_calibrate_pose(r);
}

float *vt_tracker_get_pose(int r) {
  if (!receiverok(r)) return nullptr;
  const Model *m = modelof(current);
  if (m)
    m->decode(r);
  else
    vt_tracker_uncalibrate_pose(r);
  return current->pose[r - 1];
}

int vt_tracker_calibrate_pose(int r) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) {
    float value = current->pose[r - 1][i] - pairs[i][0];
    current->raw[r - 1][i] = i < 3 ? value : value / kDegree;
  }
  return 1;
}

int vt_tracker_uncalibrate_pose(int r) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) {
    float value = current->raw[r - 1][i];
    current->pose[r - 1][i] = pairs[i][0] + (i < 3 ? value : value * kDegree);
  }
  return 1;
}

int vt_tracker_decode_words(int r) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) current->pose[r - 1][i] = current->words[r - 1][i] * pairs[i][1] + pairs[i][0];
  return 1;
}

int vt_tracker_encode_words(int r) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) {
    current->words[r - 1][i] = static_cast<int16_t>((current->pose[r - 1][i] - pairs[i][0]) / pairs[i][1]);
    current->raw[r - 1][i] = current->words[r - 1][i];
  }
  return 1;
}

int vt_tracker_set_offsets(int r, const float pose[6]) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) pairs[i][0] = pose[i] + (i < 3 ? current->calibration->reference[i] : 0.0f);
  return 1;
}

int vt_tracker_get_offsets(int r, float out[6]) {
  if (!receiverok(r)) return 0;
  float(*pairs)[2] = current->calibration->pairs[r - 1];
  for (int i = 0; i < 6; i++) out[i] = pairs[i][0] - (i < 3 ? current->calibration->reference[i] : 0.0f);
  return 1;
}

void vt_tracker_set_reference(const float position[3]) {
  if (!current) return;
  float *reference = current->calibration->reference;
  for (auto &receiver : current->calibration->pairs)
    for (int i = 0; i < 3; i++) receiver[i][0] += position[i] - reference[i];
  memcpy(reference, position, 3 * sizeof(float));
}

void vt_tracker_get_reference(float out[3]) {
  if (current) memcpy(out, current->calibration->reference, 3 * sizeof(float));
}

int vt_tracker_calibration_size(int n) { return 8 * n; }

float (*vt_tracker_receiver_calibration(VtTracker *t, int r))[2] {
  return t && r >= 1 && r <= VT_RECEIVERS ? t->calibration->pairs[r - 1] : nullptr;
}

// ---- Hooks of the current tracker's maker --------------------------------------------------------

int vt_tracker_send_command(int number, int arg, int value, const void *data) {
  const Model *m = openmodel();
  if (!m) return 0;
  return m->ascension ? vt_send_ascension_command(number, arg, value, data)
                      : vt_send_polhemus_command(number, arg, value, data);
}

int vt_tracker_send_query(int number, int address, void *result) {
  const Model *m = openmodel();
  return m && m->ascension ? vt_send_ascension_query(number, address, result) : 0;
}

int vt_tracker_request_sample(void) {
  const Model *m = openmodel();
  if (!m) return 0;
  return m->ascension ? vt_send_ascension_command(21, 0, 0, nullptr)
                      : vt_send_polhemus_command(VT_POLHEMUS_SAMPLE, 0, 0, nullptr);
}

int vt_tracker_read_sample(void) {
  const Model *m = openmodel();
  if (!m) return 0;
  return m->ascension ? vt_ascension_processed_read() : vt_polhemus_processed_read();
}
}
