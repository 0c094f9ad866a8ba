// The file operations kivpack builds a package with.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

// True when path is a regular file, links followed.
bool IsRegularFile(const std::filesystem::path& path);

// Writes bytes as the file path; false with the system's reason, shown, in reason.
bool WriteBytes(const std::filesystem::path& path, const std::string& bytes, std::string& reason);

// Copies the file from to the new file to with the engine's copy
// (Platform::CopyNewSystemFile), keeping its last-write time; false with the
// system's reason, shown, in reason.
bool CopyKeepingTime(const std::filesystem::path& from, const std::filesystem::path& to, std::string& reason);

// Opens path for writing bytes, as fopen's "wb" does, by the name the system
// gives it (UTF-16 on Windows); null with the reason in errno.
FILE* OpenForWriting(const std::filesystem::path& path);
