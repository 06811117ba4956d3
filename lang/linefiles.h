// Line-addressed text files: read or replace one numbered line.
#pragma once
#include "lang/VXStr.h"

// Replaces line `line` (0..255) of `file` with `text`; 0, or 7 from _Error, or 3 when
// `file` is not a regular file or larger than 64 MiB (it is then left untouched).
int PutFile(const char* file, short line, VXStr& text);
// Reads line `line` of `file` into `result`; 0, or 7 or 3 from _Error (also for a
// file that is not a regular one or is larger than 64 MiB).
int GetFile(const char* file, short line, VXStr& result);

int GETFILE(VXStr file, int line, int& value);
int GETFILE(VXStr file, int line, VXStr& text);
int PUTFILE(VXStr file, int line, int value);
int PUTFILE(VXStr file, int line, VXStr text);
