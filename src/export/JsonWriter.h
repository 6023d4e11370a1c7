#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// A compact JSON text writer: values are appended in order, commas are placed automatically, and
// the text goes to the stream in pieces as it grows, so a document of any size costs the memory
// of one piece. Strings given to it must already be UTF-8.
//
// A stream that fails (a full disk, a closed output) throws EOutputError at the next piece or at
// Flush, with the reason taken from errno as the failed write left it.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);
    // What was not flushed is dropped: a document cut short by an error stays unfinished.
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& utf8);
    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Hands everything written so far to the stream and flushes it.
    void Flush();

    static std::string Escape(const std::string& utf8);

private:
    void BeforeValue();
    void Append(const std::string& text);
    void writePiece();

    std::ostream& m_out;
    std::string m_text;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
