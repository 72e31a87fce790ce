// Index texts: parsing [uvw]/(hkl) texts, three/four-index conversion, writing indices as text.
#pragma once

#include <cstddef>
#include <string_view>

#include "lattixtype.h"

namespace lattix {

// Reads a text "passed by value": at most 16 characters up to the first NUL.
std::string_view indexTextView(const char* text16);
// Reads a NUL-terminated text of any length.
std::string_view textView(const char* text);

bool parseIndices(std::string_view text, bool direction, TIndices& out);
void miller2Bravais(bool direction, const TIndices& in, TIndices& out);
void bravais2Miller(bool direction, const TIndices& in, TIndices& out);
// Divides values[0..count) by their common divisor (see the index-text rules).
void reduceCommonDivisor(int* values, int count);
// Writes the index text NUL-terminated into out (capacity outSize >= 2);
// returns the number of characters written without the NUL.  Four-index form
// when four is set and laue is 6..9.
std::size_t indicesToText(bool direction, int laue, const TIndices& idx, bool four, char* out,
                          std::size_t outSize);

}  // namespace lattix
