// The WAV file reader. Chunks are walked rather than read at fixed offsets, so an
// 18-byte format record or a LIST chunk before the data does not shift the samples.
#include "sound/wave.h"

#include <cstdint>
#include <cstring>

namespace {

uint16_t Get16(const uint8_t* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}

uint32_t Get32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

constexpr uint16_t kFormatExtensible = 0xFFFE;
// The PCM sub-format identifier of the extensible record.
constexpr uint8_t kSubtypePcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                     0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool ReadAt(FILE* file, uint64_t offset, void* out, size_t bytes) {
    if (offset > 0x7FFFFFFF || std::fseek(file, (long)offset, SEEK_SET) != 0) return false;
    return std::fread(out, 1, bytes, file) == bytes;
}

// Parses a format chunk body of `size` bytes (only the first 40 are read).
bool ParseFormat(const uint8_t* body, uint32_t size, platform::WaveFormat* format) {
    if (size < 16) return false;
    uint16_t tag = Get16(body);
    if (tag == kFormatExtensible) {
        // The extensible record: 22 more bytes after its extra-size field.
        if (size < 40 || Get16(body + 16) < 22) return false;
        if (std::memcmp(body + 24, kSubtypePcm, sizeof(kSubtypePcm)) != 0) return false;
    } else if (tag != platform::WAVE_FORMAT_PCM) {
        return false;
    }
    format->formatTag = platform::WAVE_FORMAT_PCM;
    format->channels = Get16(body + 2);
    format->samplesPerSec = Get32(body + 4);
    format->blockAlign = Get16(body + 12);
    format->bitsPerSample = Get16(body + 14);
    format->avgBytesPerSec = format->samplesPerSec * format->blockAlign;
    return (format->channels == 1 || format->channels == 2) &&
           (format->bitsPerSample == 8 || format->bitsPerSample == 16) &&
           format->blockAlign == format->channels * format->bitsPerSample / 8 &&
           format->samplesPerSec >= platform::DSBFREQUENCY_MIN &&
           format->samplesPerSec <= platform::DSBFREQUENCY_MAX;
}

}  // namespace

bool ReadWaveHeader(FILE* file, WaveInfo* info) {
    if (!file || !info) return false;
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long end = std::ftell(file);
    if (end < 12) return false;
    const uint64_t fileSize = (uint64_t)end;

    uint8_t riff[12];
    if (!ReadAt(file, 0, riff, sizeof(riff))) return false;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

    bool haveFormat = false, haveData = false;
    uint64_t at = 12;
    while (!(haveFormat && haveData) && at + 8 <= fileSize) {
        uint8_t head[8];
        if (!ReadAt(file, at, head, sizeof(head))) return false;
        const uint32_t size = Get32(head + 4);
        const uint64_t body = at + 8;
        if (size > fileSize - body) {
            // A chunk that runs past the end: for the data, samples that are not there.
            if (std::memcmp(head, "data", 4) == 0 || std::memcmp(head, "fmt ", 4) == 0)
                return false;
            break;
        }
        if (std::memcmp(head, "fmt ", 4) == 0 && !haveFormat) {
            uint8_t record[40] = {};
            uint32_t take = size < sizeof(record) ? size : (uint32_t)sizeof(record);
            if (!ReadAt(file, body, record, take)) return false;
            if (!ParseFormat(record, size, &info->format)) return false;
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0 && !haveData) {
            info->dataOffset = (unsigned long)body;
            info->dataSize = size;
            haveData = true;
        }
        at = body + size + (size & 1);  // chunks are padded to even sizes
    }
    return haveFormat && haveData && info->dataSize > 0;
}
