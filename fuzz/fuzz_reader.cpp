// Feeds arbitrary bytes to the log reader as the body of a file. With a valid header most inputs
// reach the body parser instead of stopping at the magic.
#include "Errors.h"
#include "TMatchDocFile.h"
#include "TMatchDocument.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath()
{
    return "/tmp/zelmora-fuzz-" + std::to_string(getpid()) + ".mpr";
}

void WriteLog(const std::string& path, const uint8_t* data, size_t size, bool withHeader)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (withHeader) {
        unsigned char header[TSafeFile::kHeaderSize] = {};
        for (int i = 0; i < TSafeFile::kMagicSize; ++i)
            header[i] = TMatchDocFile::CurrentMagic[i];
        header[32] = static_cast<unsigned char>(1 + (size ? data[0] % 6 : 5));
        // Seed word equal to the mask: a key state of 0, so bodies can be crafted.
        header[36] = 0x73;
        header[37] = 0xe8;
        header[38] = 0x4b;
        header[39] = 0x2f;
        std::fwrite(header, 1, sizeof header, f);
        if (size) {
            ++data;
            --size;
        }
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = ScratchPath();
    const bool withHeader = size == 0 || data[0] != 'Z';
    WriteLog(path, data, size, withHeader);
    TMatchDocument doc;
    try {
        doc.LoadFromFile(path);
    } catch (const Exception&) {
    }
    return 0;
}
