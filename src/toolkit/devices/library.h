// Outside libraries of the devices: loaded by name with the loaders' functions, freed here.
#pragma once

void _WTdevice_freelibrary(void *library);
// True on Win32s (a system that is not NT with a major version below 4).
int _WTdevice_iswin32s();
