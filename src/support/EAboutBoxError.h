#pragma once

#include <stdexcept>
#include <string>

// The about box was asked to fill a text slot its window has no label for. The message is
// UTF-8 text, "SetAboutBoxInfo(<index>, <text>)".
class EAboutBoxError : public std::runtime_error {
public:
    explicit EAboutBoxError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};
