// Writes the hostile logs into the folder given as the only argument, for measuring the viewer
// and the exporter on them.
#include "HostileLogs.h"
#include "MprWriter.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_hostile_logs <folder>\n");
        return 2;
    }
    try {
        for (const HostileLog& log : HostileLogs())
            WriteFileBytes(std::string(argv[1]) + "/" + log.Name + ".mpr", MprFile(log.Build()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
