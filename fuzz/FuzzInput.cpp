#include "FuzzInput.h"

#include "TMatchDocFile.h"

#include <cstdio>

#include <unistd.h>

std::string ScratchPath(const std::string& extension)
{
    return "/tmp/zelmora-fuzz-" + std::to_string(getpid()) + extension;
}

void WriteFuzzLog(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    const bool withHeader = size == 0 || data[0] != 'Z';
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
