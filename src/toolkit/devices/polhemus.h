// What the Polhemus files share (polhemus.cpp, polhemusboot.cpp); all work on the current
// tracker's port.
#pragma once

#include "toolkit/devices/vtdevices.h"

// A command text: the letter, the station number (none when below 0), the rest and CR; or
// one letter alone.
int polhemus_send(char letter, int station, const char *rest);
int polhemus_letter(int letter);
int polhemus_hemi(int station, int sign, char axis);
// 'S', then the 55-byte status record.
int polhemus_status(void);
