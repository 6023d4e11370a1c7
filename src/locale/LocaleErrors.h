#pragma once

#include <stdexcept>
#include <string>

// Failures of the locale. Messages are UTF-8 German text, ready to be shown.

// An index outside its range: a caller error, never caused by a log's content.
class ERangeError : public std::out_of_range {
public:
    ERangeError()
        : std::out_of_range(kMessage)
    {
    }

private:
    static constexpr char kMessage[] = "Fehler bei Bereichspr\xc3\xbc"
                                       "fung";
};

// A text of the language list that should hold an integer does not.
class EConvertError : public std::invalid_argument {
public:
    explicit EConvertError(const std::string& message)
        : std::invalid_argument(message)
    {
    }
};
