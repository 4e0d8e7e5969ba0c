// Booting an Ascension bird or flock: the status check, the flock's addressing, master and
// present birds, each bird's parameters, and the configuration file some units take.
#include <stdio.h>
#include <string.h>

#include "toolkit/devices/ascension.h"

namespace {

// The module's default alignment and reference frame: no turns.
const VtRotation defaultalignment = {};
const VtRotation defaultframe = {};

struct Flock {
  unsigned char status[30];
  int addresses;
  int status0;
};

VtTrackerCalibration *calibration() { return vt_current_tracker()->calibration; }

int command(int number, int address, int value, const void *data = nullptr) {
  return vt_send_ascension_command(number, address, value, data);
}

int ErrorCheck() {
  int status = ascension_status(0);
  if (status < 0) return vt_print_error("ErrorCheck");
  if (status == 0) {
    vt_set_error("ErrorCheck", 0);
    return vt_print_error("&status word == 0, bird is probably in standby mode aborting boot.");
  }
  if (status & 0x2000) {
    unsigned char code = 0;
    vt_send_ascension_query(19, 0, &code);
    vt_set_error("ErrorCheck", 0);
    vt_print_errorf("&Ascension error code = %d, attempting boot anyhow.", code);
  }
  return 1;
}

int BirdInitialization(int address, const VtTrackerSetup *setup, int block) {
  const VtReceiverSetup &r = setup->receiver[block - 1];
  bool ok = command(19, address, 0) >= 1 && command(1, address, setup->first) >= 1 &&
            command(9, address, setup->outputlock) >= 1 && command(0, address, setup->scaling) >= 1 &&
            command(17, address, r.hemisign, &r.hemiaxis) >= 1 &&
            command(16, address, 0, r.a.usedefault ? &defaultalignment : &r.a) >= 1 && command(10, address, 1) >= 1 &&
            command(20, address, 0, r.b.usedefault ? &defaultframe : &r.b) >= 1;
  return ok ? 1 : vt_print_error("BirdInitialization");
}

void FindMaster(const Flock &flock) {
  VtTrackerCalibration *c = calibration();
  c->words[3] = 0;
  if (flock.status0 & 0x8000) return;
  for (int a = 1; a <= flock.addresses; a++) {
    if (!(flock.status[a - 1] & 15)) continue;
    int status = ascension_status(a);
    if (status >= 0 && (status & 0x8000)) {
      c->words[3] = a;
      return;
    }
  }
}

int CheckFlockStatus(VtTrackerSetup *setup, Flock *flock) {
  VtTrackerCalibration *c = calibration();
  flock->status0 = ascension_status(0);
  if (flock->status0 < 0) return vt_print_error("CheckFlockStatus");
  if (flock->status0 & 0x20) vt_say("\nAscension status check: Bird asleep!");
  c->words[2] = (flock->status0 >> 10) & 1;
  flock->addresses = c->words[2] ? 30 : 14;
  if (vt_send_ascension_query(22, 0, flock->status) < 1) return vt_print_error("CheckFlockStatus");
  bool changed = false;
  int enabled = 0;
  for (int a = 1; a <= VT_RECEIVERS; a++) {
    unsigned char on = (flock->status[a - 1] & 0xA0) == 0xA0;
    changed |= on != (setup->receiver[a - 1].enabled != 0);
    setup->receiver[a - 1].enabled = on;
    enabled += on;
  }
  if (changed)
    vt_say("\nWarning in CheckFlockStatus: Ascension hardware setup does not match\n\tRarudodIder Resource file "
           "settings. Ignoring RarudodIder file.");
  FindMaster(*flock);
  c->words[0] = 0;
  c->words[1] = enabled >= 2;
  return 1;
}

int InitFlock(VtTrackerSetup *setup) {
  VtTrackerCalibration *c = calibration();
  unsigned char config[7] = {};
  if (vt_send_ascension_query(12, 0, config) < 1) return vt_print_error("InitFlock");
  if (config[0] == 0) {
    c->words[0] = 1;
    c->words[1] = c->words[2] = c->words[3] = 0;
    return 1;
  }
  Flock flock = {};
  if (CheckFlockStatus(setup, &flock) < 1) return vt_print_error("InitFlock");
  int accessible = 0;
  for (int a = 0; a < flock.addresses; a++) accessible += (flock.status[a] & 0x80) != 0;
  if (command(15, 1, accessible) < 1) return vt_print_error("InitFlock");
  return 1;
}

// The birds initialised: the mask of those read in each sample, or -1.
int InitBirds(const VtTrackerSetup *setup) {
  VtTrackerCalibration *c = calibration();
  if (c->words[0] == 1) {
    int status = ascension_status(0);
    if (status < 0 || ((status & 0x20) && command(22, 0, 0) < 1)) return -1;
    if (BirdInitialization(0, setup, 1) < 1) return -1;
    return setup->receiver[0].enabled ? 1 : 0;
  }
  int mask = 0;
  for (int block = 1; block <= VT_RECEIVERS; block++) {
    if (!setup->receiver[block - 1].enabled) continue;
    if (BirdInitialization(c->words[1] ? block : 0, setup, block) < 1) return -1;
    mask |= 1 << (block - 1);
  }
  if (c->words[1] && command(14, 0, 1) < 1) return -1;
  return mask;
}

// The first line of the configuration file, at most 80 characters (the rest of a longer line
// is dropped).
void firstline(FILE *f, char line[81]) {
  if (!fgets(line, 81, f)) line[0] = 0;
  if (!strchr(line, '\n'))
    for (int ch = 0; ch != '\n' && ch != EOF;) ch = fgetc(f);
}

int compareconfig(const unsigned char sent[36], const unsigned char back[36]) {
  for (int i = 0; i < 36; i++) {
    if (back[i] != sent[i])
      fprintf(stderr, "\nWARNING in ascension_config: bad param[%d], %4d != %4d", i, sent[i], back[i]);
    else
      vt_debugf("\n%4d", back[i]);
  }
  fflush(stderr);
  return 1;
}

}  // namespace

extern "C" {

int ascension_config(const char *file) {
  vt_say("\nOpening config file: %s ... ", file);
  FILE *f = fopen(file, "r");
  if (!f) return vt_perror("ascension_config", "fopen");
  char line[81];
  firstline(f, line);
  const char *c = strchr(line, 'C');
  if (!c || strncmp(c, "CONFIGURATION", 13) != 0) fprintf(stderr, "\nWARNING: Invalid Ascension config file.");
  int values[36] = {};
  int count = 0;
  while (count < 36 && fscanf(f, "%d", &values[count]) == 1) count++;
  fclose(f);
  if (count < 36) fprintf(stderr, "\nWARNING: Wrong number of parameters: read %d, should be %i.", count + 1, 36);
  unsigned char sent[37] = {'C'};
  for (int i = 0; i < 36; i++) sent[1 + i] = static_cast<unsigned char>(values[i]);
  int port = vt_current_tracker()->port;
  if (vt_serial_write_bytes(port, sent, 37) < 1) return vt_print_error("ascension_config");
  vt_say("\nAscension config parameters sent.");
  unsigned char examine[2] = {'O', 7}, back[36];
  if (vt_serial_write_bytes(port, examine, 2) < 1 || vt_serial_read_bytes(port, back, 36) < 1)
    return vt_print_error("ascension_config");
  return compareconfig(sent + 1, back);
}

int vt_ascension_boot(VtTrackerSetup *setup) {
  VtTracker *t = vt_current_tracker();
  vt_say(" ... ");
  vt_sleep(200);
  if (ErrorCheck() < 1) return vt_print_error("vt_ascension_boot");
  if (t->model == VT_BIRD) {
    t->calibration->words[0] = 1;
    unsigned char point = 0x20;
    if (vt_serial_write_bytes(t->port, &point, 1) < 1) return vt_print_error("vt_ascension_boot");
    vt_sleep(510);
    if (setup->configfile && ascension_config("ascension.config") < 1) return vt_print_error("vt_ascension_boot");
  } else if (InitFlock(setup) < 1) {
    return vt_print_error("vt_ascension_boot");
  }
  int mask = InitBirds(setup);
  if (mask < 0) return vt_print_error("vt_ascension_boot");
  t->device = mask;
  if (command(24, 0, setup->sync) < 1) return vt_print_error("vt_ascension_boot");
  return 1;
}
}
