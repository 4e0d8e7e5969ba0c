// The application framework's portable core: everything a model or file class needs.
//   afxtypes.h    basic Windows types, ASSERT/VERIFY/TRACE
//   afxobj.h      CObject (with 32-bit object ids), CRuntimeClass, DECLARE/IMPLEMENT macros
//   afxcmd.h      CCmdTarget
//   afxstr.h      CString (UTF-8)
//   afxexcept.h   CException and its family (thrown as pointers, ended with Delete())
//   afxfile.h     CFile, CMemFile
//   afxarchive.h  CArchive
//   afxarray.h    CArray, CObArray, CPtrArray, CByteArray, CWordArray, CDWordArray, CUIntArray,
//                 CStringArray
//   afxlist.h     POSITION, CList, CObList, CPtrList, CStringList
//   afxmap.h      CMap and the CMap... classes
//   afxgeom.h     CPoint, CSize, CRect
//   afxdoc.h      CDocument (its data side: title, path, modified flag, file reading and writing)
// Window classes (Windows only) have headers of their own.
#ifndef VEDRA_AFX_AFX_H
#define VEDRA_AFX_AFX_H

#include "afx/afxtypes.h"
#include "afx/afxobj.h"
#include "afx/afxcmd.h"
#include "afx/afxstr.h"
#include "afx/afxexcept.h"
#include "afx/afxfile.h"
#include "afx/afxarchive.h"
#include "afx/afxarray.h"
#include "afx/afxlist.h"
#include "afx/afxmap.h"
#include "afx/afxgeom.h"
#include "afx/afxdoc.h"

#endif  // VEDRA_AFX_AFX_H
