// The few file operations of the build tool that differ between systems: opening a file
// by a UTF-8 path, and creating a file that must not exist yet. Paths are UTF-8 on every
// system, so names typed on a Windows command line survive into the archive.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// UTF-8 text to a path the system's file calls understand.
inline std::filesystem::path PackPath(const std::string& utf8)
{
    return std::filesystem::u8path(utf8);
}

// fopen with a UTF-8 path; null with errno set on failure.
std::FILE* OpenPackFile(const std::string& utf8Path, const char* mode);

// Creates the file for binary writing, failing (null, errno EEXIST) when it already
// exists, so two runs never write into one temporary file.
std::FILE* CreateNewPackFile(const std::string& utf8Path);
