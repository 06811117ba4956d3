// The language's string value.
#include "lang/VXStr.h"

#include <cstring>

namespace {

// Decimal text of n into out (at least 12 bytes); returns its length.
int FormatInt(int n, char* out) {
    char digits[12];
    int count = 0;
    // Work in unsigned so the smallest int has a magnitude too.
    unsigned int magnitude = n < 0 ? 0u - (unsigned int)n : (unsigned int)n;
    do {
        digits[count++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    int length = 0;
    if (n < 0) out[length++] = '-';
    while (count) out[length++] = digits[--count];
    out[length] = 0;
    return length;
}

}  // namespace

VXStr::VXStr(const char* s) {
    buffer[0] = 0;
    *this = s;
}

VXStr::VXStr(int n) {
    FormatInt(n, buffer);
}

int VXStr::SetAt(int i, char c) {
    if ((unsigned int)i >= (unsigned int)std::strlen(buffer)) return 0;
    buffer[i] = c;
    return 1;
}

void VXStr::Left(int n) {
    // Past the end there is nothing to cut; outside the buffer there is nothing to write.
    if (n < 0 || n >= (int)sizeof(buffer)) return;
    buffer[n] = 0;
}

VXStr& VXStr::operator=(const char* s) {
    if (!s) return *this;
    size_t length = std::strlen(s);
    if (length > (size_t)kMaxLength) return *this;
    std::memmove(buffer, s, length + 1);
    return *this;
}

VXStr& VXStr::operator=(const int& n) {
    FormatInt(n, buffer);
    return *this;
}

VXStr& VXStr::operator=(const VXStr& o) {
    if (this != &o) std::memcpy(buffer, o.buffer, sizeof(buffer));
    return *this;
}

VXStr& VXStr::operator+=(const char* s) {
    if (!s) return *this;
    size_t have = std::strlen(buffer);
    size_t add = std::strlen(s);
    if (have + add > (size_t)kMaxLength) return *this;
    std::memmove(buffer + have, s, add + 1);
    return *this;
}

VXStr& VXStr::operator+=(const VXStr& o) {
    return *this += o.buffer;
}

VXStr& VXStr::operator+=(const int& n) {
    VXStr text(n);
    return *this += text;
}

int VXStr::Compare(const VXStr& o) const {
    return std::strcmp(buffer, o.buffer);
}

int VXStr::Compare(const int& n) const {
    VXStr text(n);
    return Compare(text);
}

void VXStr::TrimRight() {
    for (int i = (int)std::strlen(buffer); i >= 0; --i)
        if ((signed char)buffer[i] <= 31) buffer[i] = 0;
}

VXStr::operator int() const {
    const char* p = buffer;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Accumulate in unsigned: out-of-range text wraps instead of overflowing.
    unsigned int value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10u + (unsigned int)(*p++ - '0');
    return (int)(negative ? 0u - value : value);
}
