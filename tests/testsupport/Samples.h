#pragma once

// The sample logs of samples/, built from code so that tests and samples cannot drift apart.

#include "MprWriter.h"
#include "TMatchDocument.h"

#include <string>
#include <vector>

struct SampleLog {
    std::string FileName; // name inside samples/
    TMatchDocument Document;
    MprOptions Options;
};

// A whole log of eight input files of all four kinds, two added columns with sums, a
// compatibility matrix and ratings.
TMatchDocument SampleWholeLog();
// The single log of input file k (1-based) of a whole log.
TMatchDocument SingleLogOf(const TMatchDocument& whole, int32_t k);

std::vector<SampleLog> AllSamples();

// A whole log of n input files with all columns, for benchmarks and scale tests.
TMatchDocument GeneratedLog(int32_t n, uint8_t matrixKind = 0, uint32_t seed = 1);
