#include "AllocationLimit.h"
#include "ExportCommand.h"
#include "FifoWatch.h"
#include "HostileLogs.h"
#include "MprWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ExportMemory, RunningOutOfMemoryIsAGermanMessageAndExitOne)
{
    // One cell of 12 million "ü": read in 12 MB, written as 24 MB of UTF-8. With no single
    // allocation above 16 MB possible, loading works and every output runs out of memory; a
    // cell twice that size runs out while loading.
    TempDir dir;
    const auto logWithCell = [&dir](const std::string& name, size_t length) {
        TMatchDocument doc = PlainFilesLog(1);
        TMatchDocAddColEntry column;
        column.Cells = {"Notiz", "", std::string(length, '\xFC'), "", ""};
        doc.AddedColumns = {column};
        doc.Columns.push_back(1);
        const std::string path = dir.Path(name);
        WriteFileBytes(path, MprFile(doc));
        return path;
    };
    const std::string log = logWithCell("wide.mpr", 12000000);
    const std::string huge = logWithCell("huge.mpr", 24000000);
    const std::string pdf = dir.Path("out.pdf");
    const std::vector<std::vector<std::string>> runs = {
        {"--json", log}, {"--csv", "files", log}, {"--pdf", pdf, log}, {"--csv", "files", huge}};
    for (const auto& args : runs) {
        SCOPED_TRACE(args.front() + " " + args.back());
        std::ostringstream out, err;
        int code = -1;
        {
            const ScopedAllocationLimit limit(16u << 20);
            code = RunExport(args, out, err);
        }
        EXPECT_EQ(code, 1);
        EXPECT_EQ(err.str(), "Zu wenig Arbeitsspeicher\n");
    }
    // Without the limit the same export succeeds: it was the memory.
    std::ostringstream out, err;
    EXPECT_EQ(RunExport({"--csv", "files", log}, out, err), 0) << err.str();
    EXPECT_GT(out.str().size(), 24000000u);
}

TEST(ExportInput, AFifoIsRefusedWithoutWaitingForAWriter)
{
    TempDir dir;
    FifoWatch fifo(dir.Path("log.mpr"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--json", dir.Path("log.mpr")},
             {"--csv", "files", dir.Path("log.mpr")},
             {"--pdf", dir.Path("out.pdf"), dir.Path("log.mpr")}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunExport(args, out, err), 1);
        EXPECT_EQ(err.str(), "Dateizugriff verweigert\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_FALSE(fifo.OpenedForReading());
}
