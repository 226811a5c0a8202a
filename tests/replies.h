#pragma once

// The extension's replies byte for byte, as hexadecimal text: to a version request (type VERSION
// and the text "reaper ext 1.1"), to a spot command, and to a project-path request when the
// project has no path.
inline const char* const versionReply = "0803BA06100A0E7265617065722065787420312E31";
inline const char* const spotDoneReply = "0804";
inline const char* const emptyProjectPathReply = "0801AA06021200";
