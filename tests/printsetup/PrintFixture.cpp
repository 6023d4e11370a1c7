#include "PrintFixture.h"

#include "Samples.h"
#include "TPrintSetupForm.h"
#include "TPrinterDriver.h"
#include "TQuickRep.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <cups/cups.h>

#include <algorithm>

const char* const kTestQueue = "ZelmoraTest";
QStringList g_shownErrors;

QString CaptureFolder() { return qEnvironmentVariable("ZELMORA_CUPS_CAPTURE"); }

bool TestQueueReady()
{
    return !qEnvironmentVariableIsEmpty("CUPS_SERVER") && !CaptureFolder().isEmpty() &&
           QDir(CaptureFolder()).exists() &&
           QPrinterInfo::availablePrinterNames().contains(QString::fromLatin1(kTestQueue));
}

QString CapturedJob::Option(const QString& name) const
{
    const QRegularExpression pattern(
        QStringLiteral("(?:^| )%1=(\\S*)").arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch match = pattern.match(Options);
    return match.hasMatch() ? match.captured(1) : QString();
}

namespace {

std::vector<CapturedJob> CompleteJobs(int aboveId)
{
    std::vector<CapturedJob> jobs;
    const QDir folder(CaptureFolder());
    const QRegularExpression name(QStringLiteral("^job-(\\d+)\\.options$"));
    for (const QString& entry : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = name.match(entry);
        if (!match.hasMatch() || match.captured(1).toInt() <= aboveId)
            continue;
        QFile file(folder.filePath(entry));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        CapturedJob job;
        job.Id = match.captured(1).toInt();
        job.DataPath = folder.filePath(QStringLiteral("job-%1.data").arg(job.Id));
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("title=")))
                job.Title = line.mid(6);
            else if (line.startsWith(QLatin1String("copies=")))
                job.Copies = line.mid(7).toInt();
            else if (line.startsWith(QLatin1String("options=")))
                job.Options = line.mid(8);
        }
        jobs.push_back(job);
    }
    std::sort(jobs.begin(), jobs.end(),
              [](const CapturedJob& a, const CapturedJob& b) { return a.Id < b.Id; });
    return jobs;
}

} // namespace

std::vector<CapturedJob> WaitForJobs(int aboveId, int count)
{
    // The spooler runs the backend on its own time; a stalled spooler fails the count below.
    QDeadlineTimer deadline(60000);
    std::vector<CapturedJob> jobs = CompleteJobs(aboveId);
    while (static_cast<int>(jobs.size()) < count && !deadline.hasExpired()) {
        QThread::msleep(100);
        jobs = CompleteJobs(aboveId);
    }
    // Jobs beyond the count would be a fault too: give them a moment to show up.
    QThread::msleep(300);
    return CompleteJobs(aboveId);
}

int LastCapturedJob()
{
    // A job an earlier test sent may still be on its way to the backend: the scheduler's own
    // highest job id covers it, so it is never taken for one of the jobs about to be sent.
    int last = 0;
    cups_job_t* scheduled = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &scheduled, nullptr, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < count; ++i)
        last = std::max(last, scheduled[i].id);
    cupsFreeJobs(count, scheduled);
    const std::vector<CapturedJob> jobs = CompleteJobs(0);
    return jobs.empty() ? last : std::max(last, jobs.back().Id);
}

namespace {

QString PdfInfo(const QString& path)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    if (!pdfinfo.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(pdfinfo.readAllStandardOutput());
}

} // namespace

bool PdfLandscape(const QString& path)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
            .match(PdfInfo(path));
    return match.hasMatch() && match.captured(1).toDouble() > match.captured(2).toDouble();
}

int PdfPages(const QString& path)
{
    const QString out = PdfInfo(path);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

ScriptedDialogs::ScriptedDialogs()
{
    TQuickRep::PrintDialog = [this](TQuickRep& report) {
        Calls << QStringLiteral("print dialog");
        if (!ConfirmPrinter)
            return false;
        TQRPrinterSettings& settings = report.PrinterSettings();
        settings.PrinterIndex = static_cast<int>(TPrinterDriver::PrinterNames().indexOf(Printer));
        settings.OutputFileName = PdfFile;
        settings.Copies = Copies;
        settings.FirstPage = FirstPage;
        settings.LastPage = LastPage;
        return true;
    };
    TPrintSetupForm::ShowModal = [this](TPrintSetupForm& form) {
        Calls << QStringLiteral("setup dialog");
        if (OnSetup)
            OnSetup(form);
        if (ConfirmSetup)
            form.OkButtonClick();
        else
            form.CancelButtonClick();
        return form.result();
    };
    TPrintSetupForm::ErrorReport = [](QWidget*, const QString& message) {
        g_shownErrors << message;
    };
    g_shownErrors.clear();
}

ScriptedDialogs::~ScriptedDialogs()
{
    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    TPrintSetupForm::ErrorReport = nullptr;
    // Each test starts with a dialog that shows no printer yet.
    TPrintSetupForm::Release();
}

LogWindow::LogWindow(int files)
    : Document(GeneratedLog(files))
{
    Source = std::make_unique<TReportSource>(Document);
}
