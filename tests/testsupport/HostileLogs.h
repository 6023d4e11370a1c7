#pragma once

// Valid logs that are absurd in one dimension each: codes that repeat, huge cells and texts, many
// columns, files, ratings or matrix cells. Every one is a well-formed log of at most about 10 MB;
// the reader, the pages and the outputs must either take it in bounded time and memory or refuse
// it with a message.

#include "TMatchDocument.h"

#include <functional>
#include <string>
#include <vector>

struct HostileLog {
    std::string Name;
    // Whether the pages of this log are beyond what the program shows (refused at load).
    bool Refused;
    std::function<TMatchDocument()> Build;
};

std::vector<HostileLog> HostileLogs();

// n files with ident and file name columns, number and gross counts, and no added column.
TMatchDocument PlainFilesLog(int32_t n);
