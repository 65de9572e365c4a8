// Identifiers of the resources built into the executable.
#pragma once

#define IDI_VELMORA 1
#define IDR_SPLASH_BMP 100
#define IDR_BLANK_PNG 200
#define IDR_IMAGEVIEWER_PNG 201
#define IDR_SHORTCUT_PNG 202
#define IDR_BLANK_SWF 203
#define IDR_SKIN_BMP 210
#define IDR_BUTTON_UP_BMP 211
#define IDR_BUTTON_DOWN_BMP 212
#define IDR_BUTTON_DISABLED_BMP 213
#define IDR_SPLASH_2X_PNG 220
#define IDR_SKIN_2X_PNG 221
#define IDR_BUTTON_UP_2X_PNG 222
#define IDR_BUTTON_DOWN_2X_PNG 223
#define IDR_BUTTON_DISABLED_2X_PNG 224
