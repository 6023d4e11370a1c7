#pragma once

#include <memory>

class TPrinterDriver;

// The printer driver of the platform the program is built for: the process's driver unless
// one is installed in its place (TPrinterDriver::Replace).
std::unique_ptr<TPrinterDriver> MakePlatformPrinterDriver();
