// The puck's control answers and its event records, as spw_get_event takes them from the ring:
// the input is an 86-byte control answer, then up to 32 records of 148 bytes, then pairs of
// bytes asking for events (a slot or button message, and the averaging flag).
#include <stdint.h>
#include <string.h>

#include "toolkit/devices/puck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < sizeof(SpwControl)) return 0;
  SpwControl answer;
  memcpy(&answer, data, sizeof answer);
  char name[SPW_NAMESIZE];
  spw_answerhandle(&answer, name);
  data += sizeof answer, size -= sizeof answer;
  SpwDevice *device = spw_adddevice(1);
  device->message = 0xC000;
  for (int slot = 0; slot < SPW_RING && size >= sizeof(SpwEvent); slot++) {
    SpwEvent record;
    memcpy(&record, data, sizeof record);
    spw_publish(&device->ring[slot], &record);
    data += sizeof record, size -= sizeof record;
  }
  for (; size >= 2; data += 2, size -= 2) {
    uintptr_t parameter = data[0] < 64 ? data[0] % SPW_RING : 2000u + (data[0] & 1) * 1000u + data[0] % 16;
    SpwEvent out;
    spw_get_event(1, 0xC000, parameter, &out, data[1] & 1);
  }
  spw_removedevice(1);
  return 0;
}
