// Ids of the framework's commands, windows and resources, for C++ and for .rc files alike
// (defines only).
#ifndef VEDRA_AFX_AFXRES_H
#define VEDRA_AFX_AFXRES_H

#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PAGE_SETUP 0xE105
#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_DIRECT 0xE108
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141

#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_DIALOGBAR 0xE805
#define AFX_IDW_PANE_FIRST 0xE900

// The print preview's bar (a child dialog template) and its buttons.
#define AFX_IDD_PREVIEW_TOOLBAR 136
#define AFX_ID_PREVIEW_CLOSE 0xE300
#define AFX_ID_PREVIEW_NUMPAGE 0xE301
#define AFX_ID_PREVIEW_NEXT 0xE302
#define AFX_ID_PREVIEW_PREV 0xE303
#define AFX_ID_PREVIEW_PRINT 0xE304
#define AFX_ID_PREVIEW_ZOOMIN 0xE305
#define AFX_ID_PREVIEW_ZOOMOUT 0xE306

#endif  // VEDRA_AFX_AFXRES_H
