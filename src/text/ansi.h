// Conversions between the process's multibyte code page ("ANSI": the locale chosen at
// start-up) and UTF-16 units, through the C library's per-character conversions.
#pragma once

#include <cstdint>

// Converts up to n bytes, stopping at the first 0 byte; writes at most `capacity` units
// and a 0 unit after them (out must hold capacity + 1 units). A byte sequence that is not
// valid in the code page gives "?"; an incomplete sequence at the end is dropped.
// Returns the number of units written.
int32_t ConvertAnsiToWide(const char* bytes, int32_t n, char16_t* out, int32_t capacity);

// Converts up to n units, stopping at the first 0 unit; writes at most `capacity` bytes
// and a 0 byte after them (out must hold capacity + 1 bytes). A character the code page
// cannot hold gives "?". Returns the number of bytes written.
int32_t ConvertWideToAnsi(const char16_t* units, int32_t n, char* out, int32_t capacity);
