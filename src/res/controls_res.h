// Resource ids of the UI controls (src/controls), shared by vedra.rc and the tests' resources.
#ifndef VEDRA_RES_CONTROLS_RES_H
#define VEDRA_RES_CONTROLS_RES_H

#define IDD_COLORPICKER 500
#define IDC_COLORPICKER_OTHER 4255
#define IDC_COLORPICKER_FIRST 4278  // swatch i has id 4278 + i
#define IDC_COLORPICKER_LAST 4297

#endif  // VEDRA_RES_CONTROLS_RES_H
