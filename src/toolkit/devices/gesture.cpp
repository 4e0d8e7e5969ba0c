// The gesture unit behind the glove server: its channel, the recognised symbols it reports, and
// its commands for users, symbol tables, training, recognition and recognition databases.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/devices/vtdevices.h"

namespace {

VtGesture *current;

int channel() { return current->channel; }

// The unit's answer once it comes (polls of 1 ms).
int answer(int polls) {
  vt_serial_wait_for_bytes(channel(), polls);
  return vt_read_answer(channel(), "GesturePlus response: %s\n\n", "\nCyberServer response: %s", 0);
}

int send(const char *name, const void *bytes, int n, int polls) {
  if (vt_serial_write_bytes(channel(), bytes, n) < 1 || answer(polls) < 1) return vt_print_error(name);
  return 1;
}

int badfirst(const char *name) {
  fprintf(stderr, "ERROR in %s: pointer to first argument is bad.\n", name);
  return 0;
}

int named(const char *name, int letter, const char *text) {
  if (vt_send_named(channel(), letter, text) < 1 || answer(10000) < 1) return vt_print_error(name);
  return 1;
}

int LoadUser(const void *a, const void *) {
  if (!a) return badfirst("LoadUser");
  const char *user = *static_cast<const char *>(a) ? static_cast<const char *>(a) : "default";
  vt_say("Loading GesturePlus user: \"%s\"\n", user);
  return named("LoadUser", 'U', user);
}

int DeleteUser(const void *a, const void *) {
  if (!a) return badfirst("DeleteUser");
  vt_say("Deleting GesturePlus user: %s\n", static_cast<const char *>(a));
  return named("DeleteUser", 'X', static_cast<const char *>(a));
}

int UserLevel(const void *a, const void *) {
  if (!a) return badfirst("UserLevel");
  int level = *static_cast<const int *>(a);
  vt_say("Setting user level: %d\n", level);
  char command[3];
  snprintf(command, sizeof command, "%c%d", 'L', level);
  return send("UserLevel", command, static_cast<int>(strlen(command)), 10000);
}

int SetSymbolTable(const void *a, const void *b) {
  if (!a) return 0;
  int count = *static_cast<const int *>(a);
  if (count == 0) return 1;
  if (count > 256) return fprintf(stderr, "ERROR in SetSymbolTable: symbol table too big.\n"), 0;
  if (count < 0) return fprintf(stderr, "ERROR in SetSymbolTable: negative table size.\n"), 0;
  if (!b) return 0;
  vt_say("Creating symbol table with %d symbols\n", count);
  unsigned char command[258] = {'S', static_cast<unsigned char>(count & 0xFF)};
  memcpy(command + 2, b, static_cast<size_t>(count));
  return send("SetSymbolTable", command, count + 2, 10000);
}

int PutRDBFile(const void *a, const void *b) {
  const char *user = static_cast<const char *>(a), *file = static_cast<const char *>(b);
  if (!vt_transfer_arguments("PutRDBFile", user, file)) return 0;
  FILE *f = fopen(file, "rb");
  if (!f) return fprintf(stderr, "ERROR in PutRDBFile: can't open host file \"%s\".\n", file), 0;
  if (user[0])
    vt_say("Downloading host file \"%s\" as the RDB file for user \"%s\" \n", file, user);
  else
    vt_say("Downloading host file \"%s\" as the RDB file for the current user\n", file);
  bool sent = vt_send_named(channel(), 'P', user) >= 1 && vt_send_file_pieces(channel(), f) >= 1;
  fclose(f);
  if (!sent || answer(10000) < 1) return vt_print_error("PutRDBFile");
  return 1;
}

int GetRDBFile(const void *a, const void *b) {
  const char *user = static_cast<const char *>(a), *file = static_cast<const char *>(b);
  if (!vt_transfer_arguments("GetRDBFile", user, file)) return 0;
  FILE *f = fopen(file, "wb");
  if (!f) return fprintf(stderr, "ERROR in GetRDBFile: can't open host file: %s\n", file), 0;
  int got = -1;
  if (vt_send_named(channel(), 'G', user) >= 1) {
    vt_say("\nUploading RDB file associated with user \"%s\" into host file \"%s\"\n", user, file);
    vt_serial_wait_for_bytes(channel(), 10000);
    got = vt_receive_file_pieces(channel(), f, nullptr, nullptr);
  }
  fclose(f);
  if (got == 0) fprintf(stderr, "ERROR in GetRDBFile: RDB file %s was not terminated.\n", user);
  return got < 0 ? vt_print_error("GetRDBFile") : got;
}

int RecognitionSwitch(const void *a, const void *) {
  if (!a) return badfirst("RecognitionSwitch");
  int on = *static_cast<const int *>(a);
  vt_say(on ? "Turning on recognition\n" : "Turning off recognition\n");
  unsigned char command[2] = {'R', static_cast<unsigned char>(on)};
  if (vt_serial_write_bytes(channel(), command, 2) < 1) return vt_print_error("RecognitionSwitch");
  vt_sleep(100);
  if (vt_serial_bytes_ready(channel()) > 0 && answer(0) < 1) return vt_print_error("RecognitionSwitch");
  return 1;
}

int TrainSymbol(const void *a, const void *) {
  if (!a) return badfirst("TrainSymbol");
  int symbol = *static_cast<const int *>(a);
  if (symbol >= 0 && symbol < 256 && isprint(symbol))
    vt_say("Training symbol: '%c'\n", symbol);
  else
    vt_say("Training symbol: 0x%X\n", symbol);
  unsigned char command[5] = {'T', 1, 0, static_cast<unsigned char>(symbol & 0xFF),
                              static_cast<unsigned char>((symbol >> 8) & 0xFF)};
  return send("TrainSymbol", command, 5, 5000);
}

int DeleteAllExamples(const void *, const void *) {
  vt_say("Deleting all training examples\n");
  return send("DeleteAllExamples", "M", 2, 5000);
}

int DeleteLastExample(const void *, const void *) {
  vt_say("Deleting last training example\n");
  return send("DeleteLastExample", "C", 2, 5000);
}

int (*const commands[])(const void *, const void *) = {LoadUser,   DeleteUser,        UserLevel,   SetSymbolTable,
                                                        PutRDBFile, GetRDBFile,        RecognitionSwitch,
                                                        TrainSymbol, DeleteAllExamples, DeleteLastExample};

}  // namespace

extern "C" {

VtGesture *vt_create_GesturePlus(int open, const char *port, int baud, int) {
  VtGesture *g = static_cast<VtGesture *>(calloc(1, sizeof(VtGesture)));
  if (!g) return vt_perror("allocate_GesturePlus", "calloc"), vt_print_error("vt_create_GesturePlus"), nullptr;
  g->channel = -1;
  current = g;
  if (open && vt_open_gesture_port(port, baud) < 0) vt_print_error("vt_create_GesturePlus");
  return g;
}

int vt_open_gesture_port(const char *port, int baud) {
  if (!current) {
    fprintf(stderr, "\nWARNING in vt_open_gesture_port: no current VTGesture structure Aborting open.");
    return 0;
  }
  if (current->channel != -1) {
    fprintf(stderr,
            "\nWARNING in vt_open_gesture_port: current VTGesture structure already is associated with an open "
            "port. Aborting open.");
    return 0;
  }
  char name[VT_SERIAL_NAME_MAX + 16];
  int handle = port ? vt_open_server_device(vt_server_device_name(port, 4, name, sizeof name), baud) : -1;
  current->channel = handle < 0 ? -1 : handle;
  if (handle < 0) return vt_print_error("vt_open_gesture_port"), -1;
  return handle;
}

int vt_close_gesture_port(VtGesture *g) {
  if (!g) return 0;
  int result = g->channel != -1 ? vt_serial_close(g->channel) : 1;
  g->channel = -1;
  return result;
}

void vt_destroy_GesturePlus(VtGesture *g) {
  if (!g) return;
  vt_close_gesture_port(g);
  free(g);
  if (current == g) current = nullptr;
}

VtGesture *vt_current_gesture(void) { return current; }

void vt_select_gesture(VtGesture *g) { current = g; }

int vt_get_gesture(int handle) {
  if (handle == -1 || vt_serial_bytes_ready(handle) <= 0) return -1;
  unsigned char r[3];
  if (vt_serial_read_bytes(handle, r, 3) < 1) return vt_print_error("vt_get_gesture"), -1;
  if (r[0] == 'R' && r[2] == 0) return r[1];
  char detail[64] = "";
  size_t n = 0;
  if (r[0] != 'R') n += snprintf(detail, sizeof detail, isprint(r[0]) ? "&Head byte = %c " : "&Head byte = 0x%X ", r[0]);
  if (r[2] != 0)
    snprintf(detail + n, sizeof detail - n, isprint(r[2]) ? "& Tail byte = %c" : "& Tail byte = 0x%X", r[2]);
  vt_set_error("vt_get_gesture", 0);
  vt_print_error(detail);
  return -1;
}

int vt_send_gesture_command(int number, const void *a, const void *b) {
  if (!current || current->channel == -1) return 1;
  if (number < 0 || number > VT_GESTURE_DELETELAST) return 0;
  int r = commands[number](a, b);
  return r < 1 ? vt_print_error("vt_send_gesture_command") : r;
}
}
