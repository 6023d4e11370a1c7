#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A compact JSON text builder: values are appended in order, commas are placed automatically.
// Strings given to it must already be UTF-8.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& utf8);
    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_text; }

    static std::string Escape(const std::string& utf8);

private:
    void BeforeValue();

    std::string m_text;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
