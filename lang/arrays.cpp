// The language's arrays: one zeroed block per array, first index fastest, every
// access checked against the declared sizes before it reaches the block.
#include "lang/arrays.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/errors.h"
#include "platform/sizes.h"

namespace {

// Sizes `array` with slots of `slotBytes`. The old block goes first, so a failure
// leaves the array with no block (and its old sizes, which the access check
// answers with error 8 because there is no block).
template <class Array>
int Size(Array& array, size_t slotBytes, int n, const int (&d)[8]) {
    // Element numbers are ints, so the count must fit one; counted in 64 bits,
    // where a product of two 31-bit values cannot overflow.
    long long count = 1;
    bool fits = true;
    for (int k = 0; k < 8 && fits; ++k) {
        count *= d[k] < 1 ? 1 : d[k];
        fits = count <= INT_MAX;
    }
    std::free(array.data);
    array.data = nullptr;
    const std::optional<size_t> bytes = platform::BlockBytes(count, slotBytes);
    if (!fits || !bytes) return _Error(VX_ERR_RANGE);
    void* block = std::calloc(*bytes, 1);
    if (!block) return _Error(VX_ERR_RANGE);
    array.data = static_cast<decltype(array.data)>(block);

    array.ndim = n;
    // mul[k] = d0 x ... x dk, the stride of index k + 1, each size below 1 counted
    // as 1 as in the count: a stride of 0 would send different indices to one element.
    // Each product is at most the count, so it fits an int.
    int product = 1;
    for (int k = 0; k < 7; ++k) {
        product *= d[k] < 1 ? 1 : d[k];
        array.mul[k] = product;
    }
    for (int k = 0; k < 8; ++k) array.dim[k] = d[k];
    return 0;
}

// Checks the number of indices and each index (i0 first); sets `element` and
// returns 0, or returns the recorded error.
template <class Array>
int Locate(const Array& array, int n, const int (&index)[8], long long& element) {
    // An array without a block (never sized, or a failed ARY) has nothing to reach.
    if (!array.data || n != array.ndim) return _Error(VX_ERR_INDEX_COUNT);
    for (int k = 0; k < 8; ++k) {
        int size = array.dim[k];
        int i = index[k];
        // Size 0 takes only index 0; a negative size takes none.
        bool taken = size >= 1 ? (i >= 0 && i < size) : (size == 0 && i == 0);
        if (!taken) return _Error(VX_ERR_INDEX);
    }
    // Checked indices keep this below the element count.
    element = index[0];
    for (int k = 1; k < 8; ++k) element += (long long)array.mul[k - 1] * index[k];
    return 0;
}

}  // namespace

VXIntArray::~VXIntArray() {
    std::free(data);
}

VXStrArray::~VXStrArray() {
    std::free(data);
}

int ARY(VXIntArray& array, int n, int d0, int d1, int d2, int d3, int d4, int d5, int d6, int d7) {
    const int d[8] = {d0, d1, d2, d3, d4, d5, d6, d7};
    return Size(array, sizeof(int), n, d);
}

int ARY(VXStrArray& array, int n, int d0, int d1, int d2, int d3, int d4, int d5, int d6, int d7) {
    const int d[8] = {d0, d1, d2, d3, d4, d5, d6, d7};
    return Size(array, sizeof(array.data[0]), n, d);
}

int GETARR(int& target, int n, VXIntArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7) {
    const int index[8] = {i0, i1, i2, i3, i4, i5, i6, i7};
    long long element = 0;
    if (int error = Locate(array, n, index, element)) return error;
    target = array.data[element];
    return 0;
}

int GETARR(VXStr& target, int n, VXStrArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7) {
    const int index[8] = {i0, i1, i2, i3, i4, i5, i6, i7};
    long long element = 0;
    if (int error = Locate(array, n, index, element)) return error;
    // The value's own length rule: a slot text of 1023 characters is not taken.
    target = array.data[element];
    return 0;
}

int PUTARR(int value, int n, VXIntArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7) {
    const int index[8] = {i0, i1, i2, i3, i4, i5, i6, i7};
    long long element = 0;
    if (int error = Locate(array, n, index, element)) return error;
    array.data[element] = value;
    return 0;
}

int PUTARR(VXStr& value, int n, VXStrArray& array, int i0, int i1, int i2, int i3, int i4, int i5,
           int i6, int i7) {
    const int index[8] = {i0, i1, i2, i3, i4, i5, i6, i7};
    long long element = 0;
    if (int error = Locate(array, n, index, element)) return error;
    // At most 1023 characters, the rest of the slot cleared; the last byte stays 0.
    char* slot = array.data[element];
    const char* text = value;
    size_t length = strnlen(text, sizeof(array.data[0]) - 1);
    std::memcpy(slot, text, length);
    std::memset(slot + length, 0, sizeof(array.data[0]) - 1 - length);
    return 0;
}
