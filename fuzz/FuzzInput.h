#pragma once

// How the fuzz targets turn their bytes into a log file.

#include <cstddef>
#include <cstdint>
#include <string>

// A scratch file of this process for the targets' logs (and outputs).
std::string ScratchPath(const std::string& extension);

// Writes the bytes as a log. Input that does not start with 'Z' is a body after a valid header
// (version chosen by its first byte, key state 0 so bodies can be crafted); input that does,
// like the sample logs, is the whole file.
void WriteFuzzLog(const std::string& path, const uint8_t* data, size_t size);
