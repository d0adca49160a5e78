#pragma once
// Numeric ids of the resources in zifra.rc, shared by the resource script and
// the code. Plain macros, because windres reads this file too.

// Menu and its commands.
#define IDR_MAIN_MENU 128
#define IDM_NEW_GAME 40001
#define IDM_GAME_RULES 40002
#define IDM_QUIT 40003
#define IDM_COMPETITION_RULES 40004
#define IDM_ABOUT_KVIPPA 40005
#define IDM_REGISTER_SCORE 40006
#define IDM_CHALLENGE_FRIENDS 40007
#define IDM_MAKER_SITE 40008
#define IDM_COMPETITION_SITE 40009

// Dialogs and their controls.
#define IDD_INFORMATION 129
#define IDD_REGISTRATION 131
#define IDD_PROMPT 135
#define IDC_TEXT 1000
#define IDC_USER_NAME 1003
#define IDC_PASSWORD 1004
#define IDC_NEW_USER 3

// Palette bitmap and icon.
#define IDB_PALETTE 150
#define IDI_ZIFRA 180

// "pvb/rle" pictures (RCDATA).
#define IDP_DIGIT_0 111      /* 111-120: the digits 0-9 */
#define IDP_VAKTOR 136
#define IDP_SERVOBOT 137
#define IDP_SIGNAL 138
#define IDP_PANEL 139
#define IDP_TILE_0 151       /* 151-160: the tiles 0-9 */
#define IDP_STAR 162
#define IDP_SQUARE 163

// Sound cues (WAVE).
#define IDS_SPARE_CUE 164
#define IDS_DIGIT_1 165      /* 165-173: the digits 1-9; 0 is IDS_DIGIT_0 */
#define IDS_LIFE_LOST 174
#define IDS_VAKTOR_HIT 175
#define IDS_IMPULSE 176
#define IDS_NEW_WORLD 177
#define IDS_SIGNAL 178
#define IDS_DIGIT_0 179
