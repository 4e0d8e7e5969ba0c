// Resource ids of vedra.exe. Each part of the program adds its own.
#ifndef VEDRA_RES_RESOURCE_H
#define VEDRA_RES_RESOURCE_H

#define IDR_MAINFRAME 128   // main frame: icon, caption
#define IDR_VEDRATYPE 129   // model documents: icon, template string
#define IDR_MENU_KOREAN 132
#define IDR_MENU_ENGLISH 133
#define IDR_MENU_CHINESE 134
#define IDB_PROGRESS 442    // the progress window's picture
#define IDB_ABOUT 447       // the About picture
#define IDD_ABOUTBOX 503
#define IDB_SPLASH 1000     // the start-up picture
#define IDC_ABOUT_PICTURE 1249

// Menu commands.
#define ID_HELP_TOPICS 32781
#define ID_DEVICE_MOUSE 32782
#define ID_SPECIAL_LIBRARY 32783
#define ID_DEVICE_STEREO 32784
#define ID_NEW_INTERIOR 32785
#define ID_NEW_EXTERIOR 32786
#define ID_FILE_SAVE_MODEL 32787
#define ID_FILE_SAVE_MODEL_AS 32788
#define ID_CONFIG_WINDOWS 32789
#define ID_FILE_CAPTURE 32790
#define ID_FILE_EXIT 32791
#define ID_CONFIG_GRID 32792
#define ID_SPECIAL_ESTIMATE 32793
#define ID_VIEW_CAMERA_BUTTONS 32794
#define ID_FILE_OPEN_MODEL 32795
#define ID_FILE_PRINT_MODEL 32799
#define ID_FILE_PREVIEW 32800
#define ID_WEB_MAKER 32804
#define ID_WEB_HOMEPAGE 32805
#define ID_WEB_QUESTIONS 32806
#define ID_WEB_DOWNLOAD 32808
#define ID_NEW_RECOMMENDED 32813
#define ID_NEW_USER 32814
#define ID_KOREAN_ONLY_1 32815
#define ID_WEB_LIBRARY 32819
#define ID_SPECIAL_ANIMATION 32820
#define ID_VIEW_FULL_SCREEN 32821
#define ID_SPECIAL_DOCUMENT 32822
#define ID_FILE_VRML 32824
#define ID_SPECIAL_LIGHT 32827
#define ID_KOREAN_ONLY_2 32829

// The 3D control bar (sim.rc): its template, its controls and its pictures.
#define IDD_SIM_BAR 300
#define IDC_SIM_PLAN 4004    // back to the plan (double click)
#define IDC_SIM_STATUS 4006  // the status text
#define IDB_SIM_PLAN 2047
// The 3D control bar's menu buttons.
#define IDC_SIM_FILE 4038
#define IDC_SIM_CONFIGURE 4040
#define IDC_SIM_DEVICE 4041
#define IDC_SIM_SPECIAL 4045
#define IDC_SIM_VIEW 4046
#define IDC_SIM_HELP 4048

#endif  // VEDRA_RES_RESOURCE_H
