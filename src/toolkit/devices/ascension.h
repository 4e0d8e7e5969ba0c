// What the Ascension files share (ascension.cpp, ascensionboot.cpp).
#pragma once

#include "toolkit/devices/vtdevices.h"

// The bird status word of an address, -1 when the query failed.
int ascension_status(int address);
