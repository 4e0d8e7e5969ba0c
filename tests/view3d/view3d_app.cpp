// The framework's application object of this test program: the 3D frame and view need nothing
// more of the application than the framework's own.
#include "afx/winapp.h"

CWinApp theTestApp("VedraSimTests");
