// Resource ids of vedra.exe. Each part of the program adds its own.
#ifndef VEDRA_RES_RESOURCE_H
#define VEDRA_RES_RESOURCE_H

#define IDR_MAINFRAME 128   // main frame: icon, caption
#define IDR_VEDRATYPE 129   // model documents: icon, template string

#endif  // VEDRA_RES_RESOURCE_H
