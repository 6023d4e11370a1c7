#pragma once

#include <cstdint>

// A boxed 32-bit integer, the payload object of an entry in a list of texts (for instance the
// code of a paper bin next to its name). Whoever fills the list owns these objects.
class TInteger {
public:
    explicit TInteger(int32_t value)
        : m_value(value)
    {
    }

    int32_t Value() const { return m_value; }

private:
    int32_t m_value;
};
