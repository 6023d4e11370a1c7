#include "TPrintPlan.h"

#include "QtText.h"
#include "TPrintSetter.h"
#include "TPrintSetupState.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

TPrintPlan::TPrintPlan(const TReportSource& source, const TPrintSetupState& state)
    : m_source(source)
    , m_state(state)
    , m_measures(source)
{
}

TPrintOffer TPrintPlan::Offer(const TReportSource& source)
{
    return {source.Files().FileCount > 1, source.Ratings().Visible(), source.Matrix().Visible()};
}

bool TPrintPlan::PrintsSection(const TReportSource& source, const TPrintSetupState& state,
                               ReportSection section, int singleLogNumber)
{
    switch (section) {
    case ReportSection::File:
        return state.TitleAndTable || singleLogNumber > 0;
    case ReportSection::Matrix:
        return state.Matrix && Offer(source).Matrix && singleLogNumber <= 0;
    case ReportSection::Ratings:
        return state.Ratings && Offer(source).Ratings && singleLogNumber <= 0;
    case ReportSection::Idle:
        break;
    }
    return false;
}

void TPrintPlan::DirectPdfElseQt(const std::function<void(bool direct)>& print)
{
    try {
        print(true);
        return;
    } catch (const EPdfUnsupported&) {
    }
    print(false);
}

bool TPrintPlan::WholeLog() const
{
    for (ReportSection section :
         {ReportSection::File, ReportSection::Matrix, ReportSection::Ratings}) {
        if (PrintsSection(m_source, m_state, section, 0))
            return true;
    }
    return false;
}

bool TPrintPlan::Singles() const { return m_state.Singles && Offer(m_source).Singles; }

std::vector<TPrintPart> TPrintPlan::Parts() const
{
    std::vector<TPrintPart> parts;
    if (WholeLog())
        parts.push_back({true, m_source.Document().SingleNumber});
    if (Singles()) {
        for (int i = 0; i < m_source.Files().FileCount; ++i)
            parts.push_back({false, i + 1});
    }
    return parts;
}

QString TPrintPlan::Title() const { return FromCp1252(m_source.Document().HeadText); }

int TPrintPlan::PrintPart(TQROutput& output, const TPrintPart& part,
                          const std::function<void(TnewPrinterForm& form)>& prepare)
{
    const std::unique_ptr<TnewPrinterForm> form = BuildPart(output, part, prepare);
    form->Setter().Prepare();
    form->Setter().Print();
    return form->QuickRep1.PageNumber();
}

std::unique_ptr<TnewPrinterForm>
TPrintPlan::BuildPart(TQROutput& output, const TPrintPart& part,
                      const std::function<void(TnewPrinterForm& form)>& prepare)
{
    auto form = std::make_unique<TnewPrinterForm>(m_measures, output);
    if (prepare)
        prepare(*form);
    form->BuildDocument(m_source.Document(), m_state, part.SingleLogNumber, Title());
    return form;
}

std::vector<TPreviewPart>
TPrintPlan::PreviewParts(const std::function<void(TnewPrinterForm& form, int singleLog)>& prepare)
{
    std::vector<TPreviewPart> parts;
    for (const TPrintPart& part : Parts()) {
        const int single = part.SingleLog();
        const QString name = part.WholeLog ? QStringLiteral("Gesamtprotokoll")
                                           : QStringLiteral("Einzelprotokoll %1").arg(single);
        parts.push_back({name, [this, part, single, prepare](TQROutput& layout) {
                             return BuildPart(layout, part, [&](TnewPrinterForm& form) {
                                 if (prepare)
                                     prepare(form, single);
                             });
                         }});
    }
    return parts;
}
