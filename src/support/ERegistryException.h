#pragma once

#include <stdexcept>
#include <string>

// A read from the settings store that found no value, or a value of another type. The message
// is UTF-8 German text naming the value, ready to be shown.
class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const std::string& message)
        : std::runtime_error(message)
    {
    }
};
