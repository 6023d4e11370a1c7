#include "TSafeFile.h"

#include "Errors.h"

TSafeFile::TSafeFile()
    : File(std::make_unique<TFile>())
{
}

TSafeFile::~TSafeFile()
{
    if (File && File->IsOpen())
        File->Close();
}

void TSafeFile::SetFileName(const std::string& path)
{
    if (!File->IsOpen())
        File->SetName(path);
}

void TSafeFile::Fail(const std::string& format) const
{
    std::string message = format;
    const auto at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, GetFileName());
    throw Exception(message);
}

void TSafeFile::Open()
{
    File->Open();
    const std::string notThisKind = "\"%s\" ist kein " + KindName();
    if (File->Size() < kHeaderSize)
        Fail(notThisKind);
    unsigned char header[kHeaderSize];
    File->Read(header, kHeaderSize);
    if (!IsMagic(header) || ReadLE32(header + 40) != 0)
        Fail(notThisKind);
    const int32_t version = ReadLE32(header + 32);
    if (!IsVersionSupported(version))
        Fail(KindName() + " \"%s\": ungültige Version");
    Version = version;
    KeyState = static_cast<uint32_t>(ReadLE32(header + 36)) ^ kSeedMask;
}

void TSafeFile::Close()
{
    File->Close();
    Version = 0;
}

void TSafeFile::RequireRemaining(int64_t n) const
{
    if (n > Remaining())
        throw EInOutError::EndOfFile();
}

void TSafeFile::ReadBlock(void* buffer, int64_t n)
{
    if (n <= 0)
        return;
    File->Read(buffer, n);
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t state = KeyState;
    for (int64_t i = 0; i < n; ++i)
        bytes[i] ^= NextKeyByte(state);
    KeyState = state;
}

int32_t TSafeFile::ReadInt32()
{
    unsigned char raw[4];
    ReadBlock(raw, 4);
    return ReadLE32(raw);
}

std::string TSafeFile::ReadString()
{
    const int32_t length = ReadInt32();
    if (length < 1)
        return std::string();
    RequireRemaining(length);
    std::string text(static_cast<size_t>(length), '\0');
    ReadBlock(text.data(), length);
    return text;
}
