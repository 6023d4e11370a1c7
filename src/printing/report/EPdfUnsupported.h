#pragma once

#include <stdexcept>

// Raised when a page needs what the PDF document does not write (a font without TrueType
// outlines or one whose licence forbids embedding, a patterned brush, decorated text). The
// caller then prints through Qt's PDF output, which does all of it.
class EPdfUnsupported : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
