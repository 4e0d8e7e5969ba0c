// Files that devices behind the glove server take and give in pieces (the box's configurations,
// the gesture unit's recognition databases), and the status answers those devices send.
#include <stdio.h>
#include <string.h>

#include "toolkit/devices/vtdevices.h"

namespace {

const int kPiece = 256;

void printanswer(int always, const char *format, const char *text) {
  if (always) {
    fprintf(stderr, format, text);
    fflush(stderr);
  } else {
    vt_debugf(format, text);
  }
}

}  // namespace

extern "C" {

int vt_transfer_arguments(const char *operation, const void *first, const char *file) {
  const char *fault = !first ? "pointer to first argument is bad."
                      : !file ? "host file name is NULL."
                      : !file[0] ? "host file name is empty string."
                                 : nullptr;
  if (fault) fprintf(stderr, "ERROR in %s: %s\n", operation, fault);
  return fault ? 0 : 1;
}

int vt_send_named(int handle, int letter, const char *name) {
  char command[kPiece + 2];
  int n = snprintf(command, sizeof command, "%c%s", letter, name ? name : "");
  if (n >= static_cast<int>(sizeof command)) n = sizeof command - 1;
  return vt_serial_write_bytes(handle, command, n + 1);
}

int vt_send_file_pieces(int handle, void *file) {
  FILE *f = static_cast<FILE *>(file);
  char piece[kPiece - 1];
  size_t n;
  while ((n = fread(piece, 1, sizeof piece, f)) > 0)
    if (vt_serial_write_bytes(handle, piece, static_cast<int>(n)) < 1) return vt_print_error("vt_send_file_pieces");
  if (vt_serial_write_byte(handle, 0) < 1) return vt_print_error("vt_send_file_pieces");
  return 1;
}

int vt_receive_file_pieces(int handle, void *file, const char *refusalprefix, char *refusal) {
  FILE *f = static_cast<FILE *>(file);
  char piece[kPiece];
  for (bool first = true;; first = false) {
    int n = vt_serial_read_to_terminator(handle, 0, piece, kPiece);
    if (n <= 0) return vt_print_error("vt_receive_file_pieces"), -1;
    if (piece[n - 1] != 0) {
      if (n < kPiece) return vt_print_error("vt_receive_file_pieces"), -1;
      vt_serial_clear_to_terminator(handle, 0);
      return 0;
    }
    if (first && refusalprefix && strncmp(piece, refusalprefix, strlen(refusalprefix)) == 0) {
      memcpy(refusal, piece, static_cast<size_t>(n));
      return 2;
    }
    fwrite(piece, 1, static_cast<size_t>(n - 1), f);
    if (n < kPiece) return 1;
  }
}

int vt_read_answer(int handle, const char *okformat, const char *errorformat, int errorsalways) {
  const char *name = "vt_read_answer";
  char text[3 + kPiece + 1];
  if (vt_serial_read_bytes(handle, text, 3) < 1) return vt_print_error(name);
  text[3] = 0;
  if (text[0] != 'e') {
    vt_debugf(okformat, text);
    return 1;
  }
  if (vt_serial_read_string(handle, text + 3, kPiece) < 0) return vt_print_error(name);
  printanswer(errorsalways, errorformat, text);
  while (vt_serial_bytes_ready(handle) > 0) {
    if (vt_serial_read_string(handle, text, kPiece) < 0) return vt_print_error(name);
    printanswer(errorsalways, errorformat, text);
  }
  return 1;
}
}
