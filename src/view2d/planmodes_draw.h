// Drawing what the editing modes show over the plan (Windows).
#pragma once
#include "afx/afxwin.h"

class CTopView;

// Whether a rubber band (device, may be null) is big enough to be drawn.
bool BandShown(const CRect* band, int minimum);
// The door or window modes' opening on the wall under the mouse, where it fits.
void DrawOpeningPreview(CTopView& view, CDC& out, CDC& mapping);
