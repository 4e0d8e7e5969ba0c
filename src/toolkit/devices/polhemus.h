// What the Polhemus files share (polhemus.cpp, polhemusboot.cpp); all work on the current
// tracker's port.
#pragma once

#include "toolkit/devices/vtdevices.h"

// A command text formatted as printf does (at most 159 characters), or one letter.
int polhemus_send(const char *format, ...) VT_PRINTF(1, 2);
int polhemus_letter(int letter);
int polhemus_hemi(int station, int sign, char axis);
// 'S', then the 55-byte status record.
int polhemus_status(void);
