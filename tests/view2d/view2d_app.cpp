// The framework's application object of this test program: the plan editor needs nothing more of
// the application than the framework's own.
#include "afx/winapp.h"

CWinApp theTestApp("VedraPlanTests");
