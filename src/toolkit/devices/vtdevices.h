// The glove library's devices on its serial layer: the glove server box that puts several
// devices on one line, the trackers of two makers, and the gesture unit.  Each kind keeps one
// current record that its operations work on.  C linkage, not exported.
#pragma once

#include <stdint.h>

#include "toolkit/devices/vtlib.h"

extern "C" {

// ---- Glove server ------------------------------------------------------------------------------
// Packets both ways: device id, payload length (0-255), payload, a zero tail; id 255 is the box.
enum { VT_SERVER_ID = 255 };

struct VtServer {
  int port;  // the box's own channel, -1 when closed
  int32_t block;
  VtServer *next;
};

VtServer *vt_create_server(int open, const char *port, int baud, const char *configuration);
void vt_destroy_server(VtServer *server);
VtServer *vt_current_server(void);
int vt_open_server_multiplexor(const char *name, int baud, const char *configuration);
// "port:device": a channel to that device id behind the box on the port (made when missing).
int vt_open_server_device(const char *name, int baud);
// The port part of a name into port (at most size - 1 characters); the device number, -1 when
// the name gives none.
int vt_server_split_name(const char *name, char *port, int size);
// "port:device" composed into out (at most size - 1 characters) from a name whose device part
// may be missing or hold no number: then the fallback device goes in its place.
const char *vt_server_device_name(const char *name, int fallback, char *out, int size);
// Where vt_open_server_device finds the configuration a new box loads: the port's, or null.
typedef const char *(*VtServerConfigFn)(const char *port);
VtServerConfigFn vt_set_server_configuration(VtServerConfigFn fn);

int vt_server_multiplexor_read(int port, unsigned char *packet);
int vt_server_multiplexor_write(int port, int channel, int count, const void *data);
int vt_write_server_packet(int port, int id, int count, const void *data);
int vt_read_server_packet(int port, int *id, int *length, unsigned char *data);
int vt_read_server_head(int port, int *id, int *length);
int vt_read_server_tail(int port);
int vt_server_deliver(const unsigned char *packet, VtChannelBuffer *buffer);
int vt_server_channel_of(int port, const unsigned char *packet);
int vt_server_map(int handle, int id);
// The device id a channel of a port is mapped to, -1 when none.
int vt_server_id_of(int port, int channel);

enum { VT_SERVER_INIT = 0, VT_SERVER_GETCONFIG = 2, VT_SERVER_PUTCONFIG = 3 };
// InitServerDevice (a: configuration), GetConfigFile and PutConfigFile (a: configuration name,
// b: host file) on the current server; 1 when there is none open.
int vt_send_server_command(int number, const char *a, const char *b);

// ---- Trackers ----------------------------------------------------------------------------------
enum {
  VT_FASTRAK = 0,
  VT_ISOTRAK = 1,
  VT_ISOTRAK2 = 2,
  VT_BIRD = 3,
  VT_FLOCK = 4,
  VT_TRACKER_OFF = 5,
  VT_RECEIVERS = 4,
};

// Turns in order about axis letters by angles in degrees (up to 6).
struct VtRotation {
  unsigned char usedefault;
  char axes[7];
  float angles[6];
};

struct VtReceiverSetup {
  unsigned char enabled;
  VtRotation a;  // Ascension: alignment; Polhemus: boresight
  VtRotation b;  // Ascension: reference frame; Polhemus: alignment
  int32_t hemisign;
  char hemiaxis;
};

// How a tracker boots; the default has only the first word set, to 1.
struct VtTrackerSetup {
  int32_t first;       // Ascension: the filter value (low byte); Polhemus: 1 'K', else 'm'
  int32_t sync;        // Ascension: the byte sent with 'A'; Polhemus: 1 enables CRT sync
  int32_t outputlock;  // Ascension
  int32_t scaling;     // Ascension: position scaling
  int32_t configfile;  // Ascension: send "ascension.config"
  VtReceiverSetup receiver[VT_RECEIVERS];
};

// Per receiver and pose value (x, y, z, three angles) an offset and a scale; the Ascension
// words are standalone, group mode, expanded addressing (-1 not asked yet), master address.
struct VtTrackerCalibration {
  int32_t words[4];
  float pairs[VT_RECEIVERS][6][2];
  float reference[3];
};

// Poses are the library's (position plus offset, angles in radians); device values are the
// unit's (Fastrak floats, else its 16-bit words, also kept as floats).
struct VtTracker {
  int port;
  int model;
  int32_t device;  // the receivers read in each sample, bit 0 receiver 1
  float pose[VT_RECEIVERS][6];
  float raw[VT_RECEIVERS][6];
  int16_t words[VT_RECEIVERS][6];
  VtTrackerCalibration *calibration;
};

VtTracker *vt_create_Tracker(const char *model, int open, const char *port, int baud, VtTrackerSetup *setup);
VtTracker *allocate_Tracker(void);
int init_Tracker(VtTracker *tracker, const char *model);
int vt_open_tracker_port(const char *port, int baud, VtTrackerSetup *setup);
int vt_close_tracker_port(VtTracker *tracker);
void vt_destroy_Tracker(VtTracker *tracker);
int vt_write_tracker(const void *bytes, int n);
int vt_read_tracker(void *buffer, int n);
void vt_select_tracker(VtTracker *tracker);
VtTracker *vt_current_tracker(void);
int vt_tracker_set_pose(int receiver, const float pose[6]);
float *vt_tracker_get_pose(int receiver);
int vt_tracker_calibrate_pose(int receiver);
int vt_tracker_uncalibrate_pose(int receiver);
int vt_tracker_set_offsets(int receiver, const float pose[6]);
int vt_tracker_get_offsets(int receiver, float out[6]);
void vt_tracker_set_reference(const float position[3]);
void vt_tracker_get_reference(float out[3]);
int vt_tracker_calibration_size(int n);
float (*vt_tracker_receiver_calibration(VtTracker *tracker, int receiver))[2];
// Poses from the current tracker's 16-bit words and back (word times scale plus offset).
int vt_tracker_decode_words(int receiver);
int vt_tracker_encode_words(int receiver);
// The hooks of the current tracker's maker (0 until its port is open): a command or query with
// its numbers and arguments, the request of one sample, and reading it into the poses.
int vt_tracker_send_command(int number, int arg, int value, const void *data);
int vt_tracker_send_query(int number, int address, void *result);
int vt_tracker_request_sample(void);
int vt_tracker_read_sample(void);

// Ascension: commands and queries by number to a bird address (0 the one addressed directly).
int vt_send_ascension_command(int number, int address, int value, const void *data);
int vt_send_ascension_query(int number, int address, void *result);
int vt_ascension_boot(VtTrackerSetup *setup);
int vt_ascension_raw_read(void);
int vt_ascension_processed_read(void);
int vt_ascension_encode_pose(int receiver);
int vt_ascension_decode_pose(int receiver);
int ascension_config(const char *file);
int SendFBBPrefix(int address);
int UsingExpandedAddresses(void);
int FactoryTest(void);

// Polhemus: commands by number (arg: the station, or on/off for CRT sync; value: a sign;
// data: a rotation or an axis letter).
enum { VT_POLHEMUS_ALIGN, VT_POLHEMUS_BORESIGHT, VT_POLHEMUS_HEMI, VT_POLHEMUS_SAMPLE, VT_POLHEMUS_CRTSYNC, VT_POLHEMUS_REBOOT };
int vt_send_polhemus_command(int number, int arg, int value, const void *data);
int vt_fastrak_boot(VtTrackerSetup *setup);
int vt_isotrak_boot(VtTrackerSetup *setup);
int vt_isotrak2_boot(VtTrackerSetup *setup);
int vt_polhemus_raw_read(void);
int vt_polhemus_processed_read(void);
int vt_polhemus_encode_pose(int receiver);
int vt_polhemus_decode_pose(int receiver);
int vt_polhemus_request_single_sample(void);
int vt_polhemus_crt_sync(int on);
int vt_polhemus_reboot(void);
// The last status record (55 bytes and a zero).
const char *polhemus_status_record(void);

// ---- Gesture unit ------------------------------------------------------------------------------
struct VtGesture {
  int channel;  // -1 when closed
  int32_t block;
};

enum {
  VT_GESTURE_LOADUSER,
  VT_GESTURE_DELETEUSER,
  VT_GESTURE_USERLEVEL,
  VT_GESTURE_SYMBOLTABLE,
  VT_GESTURE_PUTRDB,
  VT_GESTURE_GETRDB,
  VT_GESTURE_RECOGNITION,
  VT_GESTURE_TRAIN,
  VT_GESTURE_DELETEALL,
  VT_GESTURE_DELETELAST,
};

VtGesture *vt_create_GesturePlus(int open, const char *port, int baud, int unused);
int vt_open_gesture_port(const char *port, int baud);
int vt_close_gesture_port(VtGesture *gesture);
void vt_destroy_GesturePlus(VtGesture *gesture);
VtGesture *vt_current_gesture(void);
void vt_select_gesture(VtGesture *gesture);
int vt_get_gesture(int channel);
// Arguments by command: a text (user name) or a pointer to an int (level, on/off, symbol), a
// pointer to the symbol count with the symbol bytes, or the user name and the host file.
int vt_send_gesture_command(int number, const void *a, const void *b);

// ---- Files sent and received in pieces (the box's configurations, the unit's databases) -------
// The checks of a transfer's arguments, each refusal printed naming the operation.
int vt_transfer_arguments(const char *operation, const void *first, const char *file);
// A command letter with a name and its zero byte (names cut at 256 characters).
int vt_send_named(int handle, int letter, const char *name);
// The open file's bytes in pieces, then a zero byte.
int vt_send_file_pieces(int handle, void *file);
// Pieces of at most 256 bytes, each ended by a zero byte, into the open file until a shorter
// one: 1; 0 when a full piece had no zero byte (the input then cleared to the next one), -1
// when the line failed.  With a refusal prefix, a first piece beginning with it is not written:
// 2, and the piece in refusal.
int vt_receive_file_pieces(int handle, void *file, const char *refusalprefix, char *refusal);
// A device's answer: 3 status bytes, then for an 'e' status the rest of its text and further
// texts while bytes wait.  Answers print with okformat and error texts with errorformat, in
// debug mode only unless errorsalways; 1, or the chain value of a failed read.
int vt_read_answer(int handle, const char *okformat, const char *errorformat, int errorsalways);
}
