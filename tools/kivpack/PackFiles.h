// The file operations kivpack builds a package with.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>

// True when path is a regular file, links followed.
bool IsRegularFile(const std::filesystem::path& path);

// Writes bytes as the file path; false with the C library's reason in error.
bool WriteBytes(const std::filesystem::path& path, const std::string& bytes, std::error_code& error);

// Copies a file, keeping its last-write time; false with the reason in error.
bool CopyKeepingTime(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);
