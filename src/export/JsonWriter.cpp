#include "JsonWriter.h"

#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <ostream>

namespace {

// Large enough that the stream sees few writes, small enough to be no memory at all.
constexpr std::size_t kPieceSize = 64 * 1024;

} // namespace

JsonWriter::JsonWriter(std::ostream& out)
    : m_out(out)
{
    m_text.reserve(kPieceSize + 1024);
}

JsonWriter::~JsonWriter() = default;

void JsonWriter::writePiece()
{
    errno = 0;
    m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
    m_text.clear();
    CheckOutputStream(m_out);
}

void JsonWriter::Append(const std::string& text)
{
    m_text += text;
    if (m_text.size() >= kPieceSize)
        writePiece();
}

void JsonWriter::Flush()
{
    writePiece();
    errno = 0;
    m_out.flush();
    CheckOutputStream(m_out);
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_text += ',';
        m_first.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_text += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_text += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_text += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_text += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key)
{
    BeforeValue();
    Append(Escape(key));
    m_text += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& utf8)
{
    BeforeValue();
    Append(Escape(utf8));
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value)
{
    BeforeValue();
    Append(std::to_string(value));
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
    return *this;
}

std::string JsonWriter::Escape(const std::string& utf8)
{
    std::string out = "\"";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}
