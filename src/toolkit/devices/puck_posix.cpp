// Without Windows there is no puck service to reach: no device opens.
#include "toolkit/devices/puck.h"

extern "C" {
uint16_t spw_open_device(void *, int, char *) { return 0; }
int spw_close_device(uint16_t handle) {
  spw_removedevice(handle);
  return 0;
}
int spw_send_command(uint16_t, const char *) { return 0; }
}
