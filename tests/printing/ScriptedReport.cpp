#include "ScriptedReport.h"

namespace {

TQRLabel& addLabel(TQRBand& band, const QString& caption)
{
    auto& label = band.Add<TQRLabel>();
    label.SetCaption(caption);
    label.SetAutoSize(true);
    label.SetHeight(45);
    return label;
}

TQRBand& addBand(TQuickRep& report, TQRBandType type, double height)
{
    TQRBand& band = report.AddBand(type);
    band.SetHeight(height);
    return band;
}

} // namespace

ScriptedReport::ScriptedReport(double detailHeight)
    : Header(addBand(Report, TQRBandType::PageHeader, 100))
    , Columns(addBand(Report, TQRBandType::ColumnHeader, 60))
    , Detail(addBand(Report, TQRBandType::Detail, detailHeight))
    , Footer(addBand(Report, TQRBandType::PageFooter, 80))
    , HeaderLabel(addLabel(Header, QStringLiteral("Kopf")))
    , ColumnLabel(addLabel(Columns, QStringLiteral("Spalten")))
    , RowLabel(addLabel(Detail, QString()))
    , PageLabel(addLabel(Footer, QString()))
{
    Report.BeforePrint = [this](TQuickRep&, bool& printReport) { beforePrint(printReport); };
    Report.OnStartPage = [this](TQuickRep&) { startPage(); };
    Report.OnEndPage = [this](TQuickRep&) { endPage(); };
    Report.OnNeedData = [this](TQuickRep&, bool& moreData) { needData(moreData); };
    struct State {
        int nextRow;
        int pageCounter;
        qsizetype logLength;
    };
    Report.SaveOwnerState = [this] { return std::any(State{m_nextRow, PageCounter, Log.size()}); };
    Report.RestoreOwnerState = [this](const std::any& saved) {
        const auto state = std::any_cast<State>(saved);
        m_nextRow = state.nextRow;
        PageCounter = state.pageCounter;
        Log = Log.mid(0, state.logLength);
    };
}

void ScriptedReport::beforePrint(bool&)
{
    Log << QStringLiteral("before");
    m_nextRow = 0;
    PageCounter = 0;
    RowLabel.SetCaption(QStringLiteral("leer"));
}

void ScriptedReport::startPage()
{
    PageLabel.SetCaption(QStringLiteral("Seite%1").arg(PageCounter + 1));
    Log << QStringLiteral("start %1 %2 %3")
               .arg(Report.PageNumber())
               .arg(PageLabel.Caption(), RowLabel.Caption());
}

void ScriptedReport::endPage()
{
    ++PageCounter;
    Log << QStringLiteral("end %1 %2").arg(Report.PageNumber()).arg(PageCounter);
}

void ScriptedReport::needData(bool& moreData)
{
    const int row = m_nextRow++;
    Log << QStringLiteral("need %1").arg(row);
    if (row == BreakBefore) {
        PageCounter = -1;
        Report.NewPage();
        Log << QStringLiteral("after break");
    }
    if (row >= Rows) {
        if (BreakAtEnd)
            Report.NewPage();
        moreData = false;
        return;
    }
    RowLabel.SetCaption(QStringLiteral("Zeile%1").arg(row));
}
