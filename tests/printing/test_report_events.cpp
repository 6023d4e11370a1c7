#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

struct Script {
    const char* name;
    double detailHeight;
    int rows;
    int breakBefore;
    bool breakAtEnd;
    QStringList log;
    // The words of each printed page, top to bottom.
    std::vector<QStringList> pages;
};

QStringList words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

// Page geometry of ScriptedReport: 1900 units high, header 100, footer 80, column header 60;
// a detail of 500 leaves room for three rows a page.
const std::vector<Script>& scripts()
{
    static const std::vector<Script> table = {
        {"rows on one page",
         50,
         3,
         -1,
         false,
         {"before", "start 1 Seite1 leer", "need 0", "need 1", "need 2", "need 3", "end 1 1"},
         {words("Kopf Spalten Zeile0 Zeile1 Zeile2 Seite1")}},
        {"band that does not fit",
         500,
         5,
         -1,
         false,
         {"before", "start 1 Seite1 leer", "need 0", "need 1", "need 2", "need 3", "end 1 1",
          "start 2 Seite2 Zeile3", "need 4", "need 5", "end 2 2"},
         {words("Kopf Spalten Zeile0 Zeile1 Zeile2 Seite1"),
          words("Kopf Spalten Zeile3 Zeile4 Seite2")}},
        {"forced break inside need data",
         500,
         6,
         1,
         false,
         {"before", "start 1 Seite1 leer", "need 0", "need 1", "end 1 0", "start 2 Seite1 Zeile0",
          "after break", "need 2", "need 3", "need 4", "end 2 1", "start 3 Seite2 Zeile4", "need 5",
          "need 6", "end 3 2"},
         {words("Kopf Spalten Zeile0 Seite1"), words("Kopf Spalten Zeile1 Zeile2 Zeile3 Seite1"),
          words("Kopf Spalten Zeile4 Zeile5 Seite2")}},
        {"forced break before the end",
         50,
         2,
         -1,
         true,
         {"before", "start 1 Seite1 leer", "need 0", "need 1", "need 2", "end 1 1",
          "start 2 Seite2 Zeile1", "end 2 2"},
         {words("Kopf Spalten Zeile0 Zeile1 Seite1"), words("Kopf Seite2")}},
        {"no rows",
         50,
         0,
         -1,
         false,
         {"before", "start 1 Seite1 leer", "need 0", "end 1 1"},
         {words("Kopf Seite1")}},
    };
    return table;
}

void load(ScriptedReport& report, const Script& script)
{
    report.Rows = script.rows;
    report.BreakBefore = script.breakBefore;
    report.BreakAtEnd = script.breakAtEnd;
}

std::vector<QStringList> pageWords(const PdfFile& pdf)
{
    auto all = pdf.Words();
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
        return a.page != b.page ? a.page < b.page : a.yMin < b.yMin;
    });
    std::vector<QStringList> pages(pdf.Pages());
    for (const auto& word : all)
        pages.at(word.page - 1) << word.text;
    return pages;
}

} // namespace

TEST(ReportEvents, FireInTheEngineOrderInBothPassesOnEveryDevice)
{
    for (const Script& script : scripts()) {
        for (PdfDevice kind : AllPdfDevices()) {
            SCOPED_TRACE(std::string(script.name) + " on " + PdfDeviceName(kind));
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("report.pdf"));
            ScriptedReport report(script.detailHeight);
            load(report, script);
            auto device = MakePdfDevice(kind, path);

            report.Report.Prepare(*device);
            EXPECT_EQ(report.Log, script.log) << "preparing pass";
            EXPECT_EQ(report.Report.PageNumber(), int(script.pages.size()));
            EXPECT_FALSE(QFileInfo::exists(path)) << "the preparing pass wrote output";

            report.Log.clear();
            PrintReport(report.Report, kind, *device, path);
            EXPECT_EQ(report.Log, script.log) << "printing pass";
            device.reset();
            const PdfFile pdf(path);
            EXPECT_EQ(pageWords(pdf), script.pages);
        }
    }
}

TEST(ReportEvents, BeforePrintCanCancelThePass)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    ScriptedReport report;
    report.Report.BeforePrint = [&](TQuickRep&, bool& printReport) {
        report.Log << QStringLiteral("before");
        printReport = false;
    };
    auto device = MakePdfDevice(PdfDevice::Writer, path);
    report.Report.Print(*device);
    device.reset();
    EXPECT_EQ(report.Log, QStringList{QStringLiteral("before")});
    EXPECT_EQ(report.Report.PageNumber(), 0);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ReportEvents, PagesOutsideThePageRangeAreGeneratedButNotOutput)
{
    struct Case {
        int first, last;
        QStringList firstRows; // first row of each output page
    };
    // Ten rows of 500 make four pages starting with rows 0, 3, 6 and 9.
    const std::vector<Case> cases = {
        {0, 0, {"Zeile0", "Zeile3", "Zeile6", "Zeile9"}},
        {2, 3, {"Zeile3", "Zeile6"}},
        {3, 0, {"Zeile6", "Zeile9"}},
        {0, 1, {"Zeile0"}},
        {4, 9, {"Zeile9"}},
    };
    for (const Case& c : cases) {
        for (PdfDevice kind : {PdfDevice::Printer, PdfDevice::Direct}) {
            SCOPED_TRACE(testing::Message() << "pages " << c.first << " to " << c.last << " on "
                                            << PdfDeviceName(kind));
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("report.pdf"));
            ScriptedReport report(500);
            report.Rows = 10;
            report.Report.PrinterSettings().FirstPage = c.first;
            report.Report.PrinterSettings().LastPage = c.last;
            PrintReport(report.Report, kind, path);
            EXPECT_EQ(report.Report.PageNumber(), 4);
            EXPECT_EQ(report.Log.filter(QStringLiteral("start")).size(), 4);

            const PdfFile pdf(path);
            QStringList firstRows;
            for (const QStringList& page : pageWords(pdf))
                firstRows << page.value(2);
            EXPECT_EQ(firstRows, c.firstRows);
        }
    }
}

TEST(ReportEvents, AFailingEventEndsThePassAndTheReportRunsAgain)
{
    QTemporaryDir dir;
    ScriptedReport report(500);
    report.Rows = 5;
    const auto needData = report.Report.OnNeedData;
    int calls = 0;
    report.Report.OnNeedData = [&](TQuickRep& rep, bool& more) {
        if (++calls == 4)
            throw std::runtime_error("Lesefehler");
        needData(rep, more);
    };
    auto failing = MakePdfDevice(PdfDevice::Writer, dir.filePath(QStringLiteral("a.pdf")));
    EXPECT_THROW(report.Report.Print(*failing), std::runtime_error);
    EXPECT_EQ(report.Report.Canvas(), nullptr);

    report.Report.OnNeedData = needData;
    const QString path = dir.filePath(QStringLiteral("b.pdf"));
    auto device = MakePdfDevice(PdfDevice::Writer, path);
    report.Report.Print(*device);
    device.reset();
    EXPECT_EQ(PdfFile(path).Pages(), 2);
}

TEST(ReportEvents, PageBreaksOnlyWhereTheyCanEnd)
{
    ScriptedReport report;
    EXPECT_THROW(report.Report.NewPage(), std::logic_error);
    EXPECT_THROW(report.Report.AddBand(TQRBandType::Detail), std::logic_error);

    for (bool inStart : {true, false}) {
        SCOPED_TRACE(inStart ? "page start" : "page end");
        QTemporaryDir dir;
        auto device = MakePdfDevice(PdfDevice::Writer, dir.filePath(QStringLiteral("r.pdf")));
        ScriptedReport breaking;
        auto& event = inStart ? breaking.Report.OnStartPage : breaking.Report.OnEndPage;
        event = [](TQuickRep& rep) { rep.NewPage(); };
        EXPECT_THROW(breaking.Report.Prepare(*device), std::logic_error);
    }
}
