// Identifiers of the texts and dialog templates in Vlexifres.dll. Included by
// the resource script too, so it holds plain defines only.
#pragma once

#define IDS_MESSAGE_CAPTION 2001
#define IDS_SHORT_TEXT 2002
#define IDS_DISPLAY_TEXT_1 2003
#define IDS_DISPLAY_TEXT_2 2004
#define IDS_SUMMARY_FORMAT 2005
// Appended to the summary, one per colour mode in the modes' order.
#define IDS_SUMMARY_COLOUR_AUTO 2006
#define IDS_SUMMARY_COLOUR_EXACT 2007
#define IDS_SUMMARY_COLOUR_ALWAYS 2008
#define IDS_NO_MEMORY 3000
#define IDS_DISK_FULL 3001
#define IDS_FILE_ERROR 3002
#define IDS_BAD_FORMAT 3003
#define IDS_SAVED_BESIDE 3004
#define IDS_PAGE_TOO_LARGE 3005
#define IDS_PLUGIN_IN_USE 3006
#define IDS_JOB_CHANGED 3007

#define IDC_RATE_TRACKBAR 1007
#define IDC_RATE_EDIT 1008
// The colour modes' radio buttons, in the modes' order.
#define IDC_COLOUR_AUTO 1009
#define IDC_COLOUR_EXACT 1010
#define IDC_COLOUR_ALWAYS 1011
