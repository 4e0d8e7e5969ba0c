// What the core needs of the devices layer before it exists: serial ports are never opened, so
// closing one has nothing to do.
#include "toolkit/wt.h"

extern "C" {
void _WTserial_close(void *) {}
}
