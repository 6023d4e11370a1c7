#pragma once

#include "TSafeFile.h"

// The container kind of statistics logs: either magic, versions 1 to 6.
class TMatchDocFile : public TSafeFile {
public:
    static constexpr int32_t kCurrentVersion = 6;
    // 31 characters and the byte 0x1A each.
    static const unsigned char CurrentMagic[kMagicSize];
    static const unsigned char LegacyMagic[kMagicSize];

protected:
    bool IsVersionSupported(int32_t version) const override;
    bool IsMagic(const unsigned char* magic) const override;
    std::string KindName() const override;
};
