#include "PlatformPrinterDriver.h"

#include "TCupsPrinterDriver.h"

std::unique_ptr<TPrinterDriver> MakePlatformPrinterDriver()
{
    return std::make_unique<TCupsPrinterDriver>();
}
