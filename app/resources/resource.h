// Resource IDs of the program, shared by the resource script and the code
// that loads the resources. Plain #defines: the resource compiler reads this
// file too.
#ifndef QORVEL_TWEAKER_RESOURCE_H
#define QORVEL_TWEAKER_RESOURCE_H

// Icon group of the window and the executable: the first icon group is the
// one the shell shows for the file.
#define IDI_QORVEL 1

// The 240 x 40 banner, a 16 bpp bitmap.
#define IDB_BANNER 101

// GIF pictures, stored as raw file bytes (RCDATA), which the program decodes
// itself (app/gif_decoder.h).
#define IDR_MASCOT_GIF 201
#define IDR_PORTRAIT_GIF 202

// The window's access keys (Alt+A, Alt+V, Alt+F, Alt+E) and the commands
// they send.
#define IDA_MAIN 301
#define IDM_TAB_ABOUT 40001
#define IDM_TAB_VIDEO 40002
#define IDM_TAB_FOLDERS 40003
#define IDM_EXIT 40004

#endif
