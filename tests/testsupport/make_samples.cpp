// Writes the sample logs into the folder given as the only argument; with --generated N FILE, a
// generated whole log of N input files (for measuring the program on large logs).
#include "Samples.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    const bool generated = argc == 4 && std::string(argv[1]) == "--generated";
    if (argc != 2 && !generated) {
        std::fprintf(stderr, "usage: make_samples <folder>\n"
                             "       make_samples --generated <files> <log.mpr>\n");
        return 2;
    }
    try {
        if (generated) {
            WriteFileBytes(argv[3], MprFile(GeneratedLog(std::atoi(argv[2]))));
            return 0;
        }
        for (const SampleLog& sample : AllSamples())
            WriteFileBytes(std::string(argv[1]) + "/" + sample.FileName,
                           MprFile(sample.Document, sample.Options));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
