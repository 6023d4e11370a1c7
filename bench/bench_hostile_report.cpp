// The PDF of every valid hostile log (the test support's family: huge texts and cells, long names,
// many files, columns, ratings and info lines) as the exporter writes it: pages, seconds, CPU
// seconds, pages per second, peak memory and the characters measured or laid out per page. A
// plain program rather than a Google Benchmark: each log runs in a process of its own, for its own
// peak memory. What a log costs should follow its pages, not the text it holds unprinted.
//
//   bench_hostile_report [FOLDER] [NAME...]
//
// The logs are written into FOLDER (a temporary folder by default) and the PDFs beside them;
// names pick some logs of the family, all valid ones by default.
#include "ExportCommand.h"
#include "HostileLogs.h"
#include "MprWriter.h"
#include "TQRCanvas.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int Pages(const std::string& pdf)
{
    // The page tree's count; the direct output writes one /Count per tree node, the root last.
    std::ifstream file(pdf, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    const std::string text = bytes.str();
    const std::size_t at = text.rfind("/Type /Pages");
    if (at == std::string::npos)
        return 0;
    const std::size_t count = text.find("/Count ", at);
    return count == std::string::npos ? 0 : std::atoi(text.c_str() + count + 7);
}

// The program run for one log: exports it and reports on stdout the characters the report's text
// cost.
int ExportOne(const std::string& log, const std::string& pdf)
{
    std::ostringstream out;
    std::ostringstream err;
    int argc = 1;
    char name[] = "bench_hostile_report";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const int rc = RunExport({"--pdf", pdf, log}, out, err);
    if (rc != 0)
        std::fprintf(stderr, "%s: exit %d: %s", log.c_str(), rc, err.str().c_str());
    std::printf("%llu\n", static_cast<unsigned long long>(TQRCanvas::MeasuredCharacters()));
    std::fflush(stdout);
    return rc;
}

struct Result {
    bool ok = false;
    double seconds = 0;
    double cpu = 0;
    long peakKb = 0;
    unsigned long long characters = 0;
};

Result RunChild(const std::string& log, const std::string& pdf)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const auto start = std::chrono::steady_clock::now();
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        // A program of its own, so that its peak memory is its own.
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDOUT_FILENO);
        execl("/proc/self/exe", "bench_hostile_report", "--one", log.c_str(), pdf.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string reported;
    char buffer[64];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        reported.append(buffer, std::size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Result result;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    result.peakKb = usage.ru_maxrss;
    result.characters = std::strtoull(reported.c_str(), nullptr, 10);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    if (argc == 4 && std::string(argv[1]) == "--one")
        return ExportOne(argv[2], argv[3]);
    QTemporaryDir temporary;
    std::string folder = temporary.path().toStdString();
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i == 1 && arg.find('/') != std::string::npos)
            folder = arg;
        else
            names.push_back(arg);
    }
    std::printf("%-26s %8s %8s %8s %9s %9s %12s\n", "log", "pages", "s", "CPU s", "pages/s",
                "peak MB", "chars/page");
    for (const HostileLog& log : HostileLogs()) {
        if (log.Refused)
            continue;
        if (!names.empty() && std::find(names.begin(), names.end(), log.Name) == names.end())
            continue;
        const std::string path = folder + "/" + log.Name + ".mpr";
        const std::string pdf = folder + "/" + log.Name + ".pdf";
        WriteFileBytes(path, MprFile(log.Build()));
        const Result result = RunChild(path, pdf);
        const int pages = Pages(pdf);
        std::printf("%-26s %8d %8.2f %8.2f %9.1f %9.1f %12.0f%s\n", log.Name.c_str(), pages,
                    result.seconds, result.cpu, pages / result.seconds, result.peakKb / 1024.0,
                    pages ? double(result.characters) / pages : 0.0, result.ok ? "" : "  FAILED");
        std::fflush(stdout);
    }
    return 0;
}
