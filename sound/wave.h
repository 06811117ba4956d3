// The WAV file reader: finds the format and the sample data of a RIFF WAVE file.
#pragma once

#include <cstdio>

#include "platform/audio.h"

struct WaveInfo {
    platform::WaveFormat format;  // always PCM, 8 or 16 bits, 1 or 2 channels
    unsigned long dataOffset;     // where the samples start in the file
    unsigned long dataSize;       // bytes of samples, all of them inside the file
};

// Walks the chunks of an open RIFF WAVE file to its "fmt " and "data" chunks. True for
// 8- and 16-bit PCM (plain or in the extensible record) whose data lies in the file;
// anything else, truncated or malformed, is false.
bool ReadWaveHeader(FILE* file, WaveInfo* info);
