// Feeds arbitrary bytes to the log reader as the body of a file. With a valid header most inputs
// reach the body parser instead of stopping at the magic.
#include "Errors.h"
#include "FuzzInput.h"
#include "TMatchDocument.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = ScratchPath(".mpr");
    WriteFuzzLog(path, data, size);
    TMatchDocument doc;
    try {
        doc.LoadFromFile(path);
    } catch (const Exception&) {
    }
    return 0;
}
