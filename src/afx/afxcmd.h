// CCmdTarget: the base of objects that take commands (documents, windows, the application).
// Portable, so that documents can be stored and read in both configurations.
#ifndef VEDRA_AFX_AFXCMD_H
#define VEDRA_AFX_AFXCMD_H

#include "afx/afxobj.h"

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;
};

#endif  // VEDRA_AFX_AFXCMD_H
