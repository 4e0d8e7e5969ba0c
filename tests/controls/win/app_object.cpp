#include "controlstest.h"

CTestApp theTestApp;
