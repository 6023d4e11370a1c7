#include "TPrintPlan.h"

#include "QtText.h"
#include "TPrintSetter.h"
#include "TPrintSetupState.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

TPrintPlan::TPrintPlan(const TReportSource& source, const TPrintSetupState& state)
    : m_source(source)
    , m_state(state)
    , m_measures(source)
{
}

bool TPrintPlan::WholeLog() const
{
    return m_state.TitleAndTable || (m_state.Matrix && m_source.FileCount > 1) ||
           (m_state.Ratings && m_source.RatingsPageVisible);
}

bool TPrintPlan::Singles() const { return m_state.Singles && m_source.FilesGrid().RowCount() > 5; }

std::vector<TPrintPart> TPrintPlan::Parts() const
{
    std::vector<TPrintPart> parts;
    if (WholeLog())
        parts.push_back({true, m_source.Document().SingleNumber});
    if (Singles()) {
        for (int i = 0; i < m_source.FileCount; ++i)
            parts.push_back({false, i + 1});
    }
    return parts;
}

QString TPrintPlan::Title() const
{
    return FromCp1252(m_source.Document().HeadText);
}

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
    form->BuildDocument(m_source.Document(), m_state, part.SingleLogNumber, Title(),
                        m_source.SumPanelsEnabled);
    return form;
}
