// The language's string value: one fixed 1024-byte buffer, at most 1022 characters.
#pragma once

class VXStr {
public:
    // Longest text the type's own operations build.
    static constexpr int kMaxLength = 1022;

    VXStr() { buffer[0] = 0; }
    // Copies the whole buffer, bytes behind the terminator included.
    VXStr(const VXStr& o) = default;
    VXStr(const char* s);
    VXStr(int n);

    // The byte at position i, as a signed char.
    int GetAt(int i) const { return (unsigned)i < sizeof(buffer) ? (signed char)buffer[i] : 0; }
    // Replaces the byte at i when i lies inside the text; 1 if replaced, else 0.
    int SetAt(int i, char c);
    // Keeps the first n characters.
    void Left(int n);

    VXStr& operator=(const char* s);
    VXStr& operator=(const int& n);
    VXStr& operator=(const VXStr& o);
    VXStr& operator+=(const char* s);
    VXStr& operator+=(const VXStr& o);
    VXStr& operator+=(const int& n);

    // Byte-wise comparison as unsigned values, like strcmp.
    int Compare(const VXStr& o) const;
    // Compares with the decimal text of n.
    int Compare(const int& n) const;
    // Cuts the text before its first byte whose signed value is 31 or less.
    void TrimRight();

    operator const char*() const { return buffer; }
    // The text read as a decimal integer, as atoi does.
    operator int() const;

private:
    char buffer[1024];
};

static_assert(sizeof(VXStr) == 1024, "VXStr is its buffer and nothing else");
