// The two dialogs' layout, shared by every language, in dialog units. Sized
// for the longest texts of all the languages; tests/dialogs/dialog-fit.sh
// measures every text against its control at 96, 144 and 192 dpi.
#pragma once

#define DIALOG_STYLE DS_MODALFRAME | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
#define DIALOG_FONT 8, "MS Shell Dlg"

// Both dialogs are placed by the plug-in when they open.
#define ABOUT_SIZE 0, 0, 250, 100
#define ABOUT_NAME 7, 7, 236, 10
#define ABOUT_VERSION 7, 19, 236, 10
#define ABOUT_RULE 7, 33, 236, 1
#define ABOUT_TEXT 7, 40, 236, 32
#define ABOUT_OK 100, 79, 50, 14

// Tab order: trackbar, rate box, the colour modes (one stop, arrows move
// within), OK, Cancel. The statics take no tab stop.
#define DETAILS_SIZE 0, 0, 266, 154
#define DETAILS_PROMPT 7, 7, 252, 30
#define DETAILS_TRACKBAR 7, 40, 198, 20
#define DETAILS_RATE 213, 43, 46, 14
#define DETAILS_BEST 10, 63, 96, 10
#define DETAILS_SMALLEST 106, 63, 96, 10
#define DETAILS_COLOUR 7, 80, 252, 10
#define DETAILS_AUTO 7, 92, 252, 10
#define DETAILS_EXACT 7, 104, 252, 10
#define DETAILS_ALWAYS 7, 116, 252, 10
#define DETAILS_OK 155, 133, 50, 14
#define DETAILS_CANCEL 209, 133, 50, 14
