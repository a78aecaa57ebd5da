#pragma once
// Identifiers of the screensaver's resources, shared by brevonne3d.rc and the
// code that loads them. Plain macros: the resource compiler reads this file.

// The screensaver's description, which Windows shows in its list.
#define IDS_SCREENSAVER_NAME 1

// The configuration dialog and its controls.
#define IDD_CONFIG 104
#define IDC_VIDEO_MODE 1005
#define IDC_TEXTURE_QUALITY 1007
#define IDC_VOLUME 1010
#define IDC_OK 1011
#define IDC_CANCEL 1012
#define IDC_USE_SHADERS 1013
#define IDC_ENABLE_SOUND 1014
#define IDC_VOLUME_LABEL 1015
#define IDC_GAMMA 1016
#define IDC_GAMMA_VALUE 1017
#define IDC_VOLUME_VALUE 1018
#define IDC_SHOW_FPS 1020
#define IDC_SHOW_CLOCK 1021
