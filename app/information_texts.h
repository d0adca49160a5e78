#pragma once
// The three texts of the information dialog, in the bytes the multi-line edit
// control wants: Windows-1252, lines ended by CR LF, paragraphs separated by an
// empty line, each text ending with a line break.

// 0 the game rules, 1 the competition rules, 2 about Kvippa; nullptr otherwise.
const char* informationText(int index);
