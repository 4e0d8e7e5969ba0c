// Serial port records of sensors: a port handle and one word for the owner.
#include <stdio.h>

#include "toolkit/devices/devices.h"
#include "toolkit/devices/port.h"

extern "C" {

WTserialport *_WTserial_open(const char *name) {
  void *port = _WTport_open(name);
  if (!port) return nullptr;
  if (!_WTport_configure(port, "baud=9600 parity=N data=8 stop=1")) {
    _WTport_close(port);
    return nullptr;
  }
  WTserialport *record = static_cast<WTserialport *>(_WTmem_alloc(sizeof(WTserialport)));
  record->handle = port;
  record->data = 0;
  return record;
}

void _WTserial_close(void *serial) {
  WTserialport *record = static_cast<WTserialport *>(serial);
  if (!record) return;
  _WTport_close(record->handle);
  _WTmem_free(record);
}

int _WTserial_setbaud(WTserialport *port, int32_t baud) { return port ? _WTport_setbaud(port->handle, baud) : 0; }
int _WTserial_getbaud(WTserialport *port) { return port ? _WTport_getbaud(port->handle) : -1; }
int _WTserial_setdatabits(WTserialport *port, unsigned char bits) {
  return port ? _WTport_setdatabits(port->handle, bits) : 0;
}
int _WTserial_getdatabits(WTserialport *port) { return port ? _WTport_getdatabits(port->handle) : -1; }
int _WTserial_setrts(WTserialport *port, unsigned char on) { return port ? _WTport_setrts(port->handle, on) : 0; }
int _WTserial_inqueue(WTserialport *port) { return port ? _WTport_inqueue(port->handle) : -1; }

void _WTserial_setdata(WTserialport *port, int32_t word) {
  if (port) port->data = word;
}

int32_t _WTserial_getdata(WTserialport *port) { return port ? port->data : 0; }
}
