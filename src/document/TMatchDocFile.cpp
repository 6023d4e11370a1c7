#include "TMatchDocFile.h"

#include <cstring>

const unsigned char TMatchDocFile::CurrentMagic[kMagicSize] = {
    'Z', 'e', 'l', 'm', 'o', 'r', 'a', ' ', 'D', 'o', 'c', 'u', 'm', 'e', 'n', 't',
    ' ', '(', 'C', ')', 'K', 'o', 'r', 'v', 'a', 'n', 'd', 'e', 'l', 'i', 's', 0x1A};
const unsigned char TMatchDocFile::LegacyMagic[kMagicSize] = {
    'K', 'e', 'l', 'v', 'o', 'r', 'i', 'n', ' ', 'D', 'o', 'c', 'u', 'm', 'e', 'n',
    't', ' ', '(', 'C', ')', ' ', 'B', 'r', 'a', 's', 't', 'e', 'l', ' ', ' ', 0x1A};

bool TMatchDocFile::IsVersionSupported(int32_t version) const
{
    return static_cast<uint32_t>(version) - 1u < 6u;
}

bool TMatchDocFile::IsMagic(const unsigned char* magic) const
{
    return std::memcmp(magic, CurrentMagic, kMagicSize) == 0 ||
           std::memcmp(magic, LegacyMagic, kMagicSize) == 0;
}

std::string TMatchDocFile::KindName() const { return "Statistik-Protokoll"; }
