// Environment lookups for value expansion. Names match exactly first, then ignoring case,
// so a configuration written for Windows ("%Temp%") finds "TEMP" on Linux as well.
#pragma once

// The value of the first variable that matches name, or null. The text belongs to the
// environment and is valid until the environment next changes.
const char* FindEnvironmentValue(const char* name);

// The C library's environment block ("NAME=value" strings, null-terminated), which each
// system declares under its own name.
char** EnvironmentBlock();
