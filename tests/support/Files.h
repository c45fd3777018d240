#pragma once

#include <string>

// The whole content of a file, bytes as stored; empty when it cannot be read.
std::string ReadFile(const std::string& strPath);

// Replaces the file's content with strBytes; false when that failed.
bool WriteFile(const std::string& strPath, const std::string& strBytes);

// The plain rule the exports' files follow: every LF becomes CR LF, nothing else changes.
std::string WithCrLf(const std::string& strText);
