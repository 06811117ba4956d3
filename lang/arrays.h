// The language's integer and string arrays of one to eight dimensions, sized at
// run time with ARY and reached only through the index-checked GETARR and PUTARR.
#pragma once

#include "lang/VXStr.h"

// Fields as the language lays them out; a global array starts with no block and ndim 0.
class VXIntArray {
public:
    constexpr VXIntArray() : data(nullptr), mul{}, dim{}, ndim(0) {}
    ~VXIntArray();
    VXIntArray(const VXIntArray&) = delete;
    VXIntArray& operator=(const VXIntArray&) = delete;

    int* data;   // element block, first index fastest; null until sized
    int mul[7];  // running products of the sizes, each below 1 counted as 1
    int dim[8];  // declared sizes d0 to d7
    int ndim;    // number of dimensions given to ARY
};

class VXStrArray {
public:
    constexpr VXStrArray() : data(nullptr), mul{}, dim{}, ndim(0) {}
    ~VXStrArray();
    VXStrArray(const VXStrArray&) = delete;
    VXStrArray& operator=(const VXStrArray&) = delete;

    char (*data)[1024];  // 1024-byte slots, each a text of at most 1023 characters
    int mul[7];
    int dim[8];
    int ndim;
};

// Sizes the array (old contents discarded, all elements cleared); 0, or 7 (recorded)
// when the element count does not fit a 32-bit count or no block can be obtained,
// which leaves the array without a block.
int ARY(VXIntArray& array, int n, int d0, int d1, int d2, int d3, int d4, int d5, int d6, int d7);
int ARY(VXStrArray& array, int n, int d0, int d1, int d2, int d3, int d4, int d5, int d6, int d7);

// Reads one element into target; 0, 8 (wrong number of indices, or no block) or
// 9 (index out of range), the target unchanged on failure.
int GETARR(int& target, int n, VXIntArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7);
int GETARR(VXStr& target, int n, VXStrArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7);

// Writes one element; 0, 8 or 9 as GETARR, the element unchanged on failure.
int PUTARR(int value, int n, VXIntArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7);
int PUTARR(VXStr& value, int n, VXStrArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7);
