// Writes the sample logs into the folder given as the only argument.
#include "Samples.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <folder>\n");
        return 2;
    }
    try {
        for (const SampleLog& sample : AllSamples())
            WriteFileBytes(std::string(argv[1]) + "/" + sample.FileName,
                           MprFile(sample.Document, sample.Options));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
