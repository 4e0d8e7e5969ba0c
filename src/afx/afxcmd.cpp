#include "afx/afxcmd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
