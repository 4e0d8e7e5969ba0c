// Booting a Polhemus tracker: a reboot, the status record, then per station output format,
// hemisphere, alignment and boresight, and the stations read in each sample.
#include <stdio.h>

#include "toolkit/devices/polhemus.h"

namespace {

// The module's default alignments (no turns), one for each model.
const VtRotation defaultalignment[3] = {};

const VtRotation *alignmentof(const VtReceiverSetup &r, int model) {
  return r.b.usedefault ? &defaultalignment[model] : &r.b;
}

int align(int station, const VtRotation *r) { return vt_send_polhemus_command(VT_POLHEMUS_ALIGN, station, 0, r); }

// The boresight reset ('b') for the default, else the description's.
int boresight(int station, const VtRotation *r) {
  return r->usedefault ? polhemus_send('b', station, "") : vt_send_polhemus_command(VT_POLHEMUS_BORESIGHT, station, 0, r);
}

int hemi(int station, const VtReceiverSetup &r) { return polhemus_hemi(station, r.hemisign, r.hemiaxis); }

bool ok(int result) { return result >= 1; }

bool pause(int ms) {
  vt_sleep(ms);
  return true;
}

int fastrakstation(int station, const VtReceiverSetup &r) {
  if (!r.enabled) return polhemus_send('l', station, ",0");
  return ok(polhemus_send('O', station, ",2,4,1")) && pause(250) && ok(polhemus_send('R', station, "")) &&
         ok(polhemus_send('b', station, "")) && ok(polhemus_send('N', station, ",0,0,0")) && pause(250) &&
         ok(polhemus_send('l', station, ",1")) && pause(250) && ok(hemi(station, r)) && pause(250) &&
         ok(align(station, alignmentof(r, VT_FASTRAK))) && pause(250) && ok(boresight(station, &r.a));
}

// The first steps of both Isotraks: reboot, status, the unit letter.
bool isotrakstart(const VtTrackerSetup *setup, bool flush) {
  return ok(vt_polhemus_reboot()) && (!flush || ok(vt_serial_flush_in(vt_current_tracker()->port))) &&
         ok(polhemus_status()) && ok(polhemus_letter(setup->first == 1 ? 'K' : 'm')) && pause(50);
}

bool finish(int mask) {
  vt_current_tracker()->device = mask;
  int r = polhemus_letter('u');
  vt_sleep(250);
  return ok(r);
}

int ActivateIsotrakIIStations(int wanted) {
  int port = vt_current_tracker()->port;
  unsigned char reply[7];
  if (vt_serial_flush_in(port) < 1 || polhemus_send('l', -1, "") < 1) return vt_print_error("ActivateIsotrakIIStations"), -1;
  vt_sleep(100);
  if (vt_serial_read_bytes(port, reply, 7) < 1) return vt_print_error("ActivateIsotrakIIStations"), -1;
  bool plugged[2] = {reply[3] == '1', reply[4] == '1'};
  for (int i = 0; i < 2; i++)
    if ((wanted >> i & 1) && !plugged[i])
      fprintf(stderr, "WARNING in ActivateIsotrakIIStations: the receiver for station %d is not plugged in.\n", i + 1);
  bool use1 = (wanted & 1) && plugged[0], use2 = (wanted & 2) && plugged[1];
  if (use1 && use2) return 3;
  if (polhemus_send('l', use1 ? 2 : 1, "") < 1) return vt_print_error("ActivateIsotrakIIStations"), -1;
  vt_sleep(100);
  return use1 ? 1 : use2 ? 2 : 0;
}

}  // namespace

extern "C" {

int vt_fastrak_boot(VtTrackerSetup *setup) {
  bool done = ok(vt_polhemus_reboot()) && ok(vt_serial_flush_in(vt_current_tracker()->port)) && ok(polhemus_status()) &&
              (setup->sync != 1 || ok(vt_send_polhemus_command(VT_POLHEMUS_CRTSYNC, 1, 0, nullptr)));
  int mask = 0;
  for (int station = 1; done && station <= VT_RECEIVERS; station++) {
    const VtReceiverSetup &r = setup->receiver[station - 1];
    done = ok(fastrakstation(station, r)) && pause(250);
    if (r.enabled) mask |= 1 << (station - 1);
  }
  return done && finish(mask) ? 1 : vt_print_error("vt_fastrak_boot");
}

int vt_isotrak_boot(VtTrackerSetup *setup) {
  const VtReceiverSetup &r = setup->receiver[0];
  bool done = isotrakstart(setup, false) &&
              (!r.enabled ||
               (ok(polhemus_send('O', -1, "2,4,1")) && pause(50) && ok(polhemus_send('R', 1, "")) &&
                ok(polhemus_send('b', 1, "")) && ok(hemi(1, r)) && pause(50) &&
                ok(align(1, alignmentof(r, VT_ISOTRAK))) && pause(50) && ok(boresight(1, &r.a)) && pause(50)));
  return done && finish(r.enabled ? 1 : 0) ? 1 : vt_print_error("vt_isotrak_boot");
}

int vt_isotrak2_boot(VtTrackerSetup *setup) {
  bool done = isotrakstart(setup, true) && ok(polhemus_send('O', -1, "2,4,1")) && pause(50) &&
              ok(polhemus_send('R', 1, "")) && ok(align(1, alignmentof(setup->receiver[0], VT_ISOTRAK2))) &&
              pause(50);
  const VtRotation &frame2 = setup->receiver[1].b;
  if (done && !frame2.usedefault && frame2.axes[0])
    fprintf(stderr, "WARNING in vt_isotrak2_boot: ignoring frame alignment for receiver 2.\n");
  int wanted = 0;
  for (int station = 1; done && station <= 2; station++) {
    const VtReceiverSetup &r = setup->receiver[station - 1];
    if (!r.enabled) continue;
    wanted |= 1 << (station - 1);
    done = ok(hemi(station, r)) && pause(50) && ok(boresight(station, &r.a)) && pause(50);
  }
  int mask = done ? ActivateIsotrakIIStations(wanted) : -1;
  return mask >= 0 && finish(mask) ? 1 : vt_print_error("vt_isotrak2_boot");
}
}
