#include "TPrintPreview.h"

#include "TPrintSetter.h"
#include "TnewPrinterForm.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

struct TPrintPreview::Part {
    QString Name;
    std::function<std::unique_ptr<TnewPrinterForm>(TQROutput& layout)> Build;
    std::unique_ptr<TnewPrinterForm> Form;
    // Bookmarks of Form: as built, every so many pages, and where counting goes on.
    std::shared_ptr<const TQRBookmark> Start;
    std::vector<std::shared_ptr<const TQRBookmark>> Marks;
    std::shared_ptr<const TQRBookmark> Resume;
    int Spacing = 1;
    // Pages begun so far; all of them once Counted.
    int Pages = 0;
    bool Counted = false;
    int FirstPage = 0;
    int LastPage = 0;
    std::uint64_t LastUse = 0;
};

TPrintPreview::TPrintPreview(QPagedPaintDevice& layout, std::vector<TPreviewPart> parts)
    : m_layout(layout)
    , m_layoutOutput(layout)
{
    m_parts.resize(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        m_parts[i].Name = std::move(parts[i].Name);
        m_parts[i].Build = std::move(parts[i].Build);
    }
}

TPrintPreview::~TPrintPreview() = default;

int TPrintPreview::PageCount() const
{
    int pages = 0;
    for (const Part& part : m_parts) {
        pages += shownPages(part);
        if (!part.Counted)
            break;
    }
    return pages;
}

bool TPrintPreview::Counted() const
{
    return std::all_of(m_parts.begin(), m_parts.end(), [](const Part& p) { return p.Counted; });
}

bool TPrintPreview::CountMore(int milliseconds)
{
    const QDeadlineTimer deadline(std::max(0, milliseconds));
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        if (m_parts[i].Counted)
            continue;
        count(i, 0, deadline);
        if (deadline.hasExpired())
            break;
    }
    releaseReports();
    return Counted();
}

bool TPrintPreview::HasPage(int n)
{
    if (n < 1)
        return false;
    std::size_t index = 0;
    int page = 0;
    while (!locate(n, index, page) && !Counted()) {
        const auto open =
            std::find_if(m_parts.begin(), m_parts.end(), [](const Part& p) { return !p.Counted; });
        const std::size_t i = std::size_t(open - m_parts.begin());
        // The pages still wanted from this part, if they are in it.
        const int wanted = n - PageCount() + shownPages(m_parts[i]);
        const int stop = m_parts[i].FirstPage > 0 ? m_parts[i].FirstPage + wanted - 1 : wanted;
        count(i, stop, QDeadlineTimer(QDeadlineTimer::Forever));
    }
    releaseReports();
    return locate(n, index, page);
}

QString TPrintPreview::PartName(int n) const
{
    std::size_t index = 0;
    int page = 0;
    return locate(n, index, page) ? m_parts[index].Name : QString();
}

int TPrintPreview::PageInPart(int n) const
{
    std::size_t index = 0;
    int page = 0;
    return locate(n, index, page) ? page : 0;
}

QPageLayout TPrintPreview::PageLayout() const { return m_layout.pageLayout(); }

QImage TPrintPreview::PageImage(int n, double pixelsPerMm)
{
    std::size_t index = 0;
    int page = 0;
    if (!HasPage(n) || !locate(n, index, page))
        return QImage();
    Part& part = built(index);
    if (part.Pages < page)
        count(index, page, QDeadlineTimer(QDeadlineTimer::Forever));

    // The last bookmark of a row before the page: the pass outputs nothing until the page.
    std::shared_ptr<const TQRBookmark> from = part.Start;
    for (const auto& mark : part.Marks) {
        if (mark->Page() < page && mark->Page() > from->Page())
            from = mark;
    }
    if (part.Resume && part.Resume->Page() < page && part.Resume->Page() > from->Page())
        from = part.Resume;

    const QPageLayout layout = m_layout.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
    const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
    QImage image(qMax(1, qRound(paper.width() * pixelsPerMm)),
                 qMax(1, qRound(paper.height() * pixelsPerMm)), QImage::Format_RGB32);
    image.fill(Qt::white);
    // Text drawn directly takes its size from the resolution of what it is drawn on: the
    // image claims the device's, and the painter's scale brings the device's pixels down.
    image.setDotsPerMeterX(qRound(m_layout.logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(m_layout.logicalDpiY() / 0.0254));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(printable.left() * pixelsPerMm, printable.top() * pixelsPerMm);
    const double devicePerMm = m_layout.logicalDpiX() / 25.4;
    painter.scale(pixelsPerMm / devicePerMm, pixelsPerMm / (m_layout.logicalDpiY() / 25.4));

    TQROutput output(m_layout, painter);
    TPrintSetter& setter = part.Form->Setter();
    setter.SetOutput(&output);
    TQRRun how;
    how.From = from;
    how.OutputPage = page;
    how.StopAfterPage = page;
    try {
        setter.Run(how, true);
    } catch (...) {
        setter.SetOutput(&m_layoutOutput);
        throw;
    }
    setter.SetOutput(&m_layoutOutput);
    painter.end();
    releaseReports();
    return image;
}

std::size_t TPrintPreview::Bookmarks() const
{
    std::size_t count = 0;
    for (const Part& part : m_parts)
        count += part.Marks.size() + (part.Start ? 1 : 0) + (part.Resume ? 1 : 0);
    return count;
}

std::size_t TPrintPreview::BookmarkedControls() const
{
    std::size_t count = 0;
    for (const Part& part : m_parts) {
        for (const auto& mark : part.Marks)
            count += mark->ControlCount();
        count += part.Start ? part.Start->ControlCount() : 0;
        count += part.Resume ? part.Resume->ControlCount() : 0;
    }
    return count;
}

std::size_t TPrintPreview::BuiltReports() const
{
    return std::size_t(std::count_if(m_parts.begin(), m_parts.end(),
                                     [](const Part& p) { return p.Form != nullptr; }));
}

void TPrintPreview::SetBookmarkSpacing(int pages)
{
    m_spacing = std::max(1, pages);
    for (Part& part : m_parts)
        part.Spacing = m_spacing;
}

TPrintPreview::Part& TPrintPreview::built(std::size_t index)
{
    Part& part = m_parts[index];
    part.LastUse = ++m_uses;
    if (part.Form)
        return part;
    part.Form = part.Build(m_layoutOutput);
    part.Form->Setter().SetOutput(&m_layoutOutput);
    part.Start = part.Form->QuickRep1.Bookmark();
    part.Marks.clear();
    part.Resume.reset();
    part.Spacing = m_spacing;
    const TQRPrinterSettings& settings = part.Form->QuickRep1.PrinterSettings();
    part.FirstPage = settings.FirstPage;
    part.LastPage = settings.LastPage;
    return part;
}

void TPrintPreview::releaseReports()
{
    // The report of the part with the most pages (the whole log) would be the costly one to
    // build and count again: it stays, with its bookmarks. Of the others, however many pages
    // each has, the last used are kept.
    Part* largest = nullptr;
    for (Part& part : m_parts) {
        if (part.Form && (!largest || part.Pages > largest->Pages))
            largest = &part;
    }
    std::vector<Part*> others;
    for (Part& part : m_parts) {
        if (part.Form && &part != largest)
            others.push_back(&part);
    }
    if (others.size() <= kKeptReports)
        return;
    std::sort(others.begin(), others.end(),
              [](const Part* a, const Part* b) { return a->LastUse > b->LastUse; });
    for (std::size_t i = kKeptReports; i < others.size(); ++i) {
        Part& part = *others[i];
        // Its bookmarks belong to its report and go with it.
        part.Form.reset();
        part.Start.reset();
        part.Resume.reset();
        part.Marks.clear();
        part.Spacing = m_spacing;
        // A part not counted to its end is counted again from its beginning when built again.
        if (!part.Counted)
            part.Pages = 0;
    }
}

void TPrintPreview::count(std::size_t index, int stopPage, const QDeadlineTimer& until)
{
    Part& part = built(index);
    if (part.Counted)
        return;
    int rows = 0;
    bool mark = false;
    bool stop = false;
    TQRRun how;
    how.From = part.Resume ? part.Resume : part.Start;
    how.AtRow = [&](int page) {
        // A page is painted from a bookmark before it: a bookmark on the first page serves none.
        const int last = part.Marks.empty() ? 1 : part.Marks.back()->Page();
        mark = page > 1 && page >= last + part.Spacing;
        stop = (stopPage > 0 && page >= stopPage) || (rows > 0 && until.hasExpired());
        ++rows;
        if (stop)
            return TQRRowAction::BookmarkAndStop;
        return mark ? TQRRowAction::Bookmark : TQRRowAction::Go;
    };
    how.Bookmarked = [&](std::shared_ptr<const TQRBookmark> bookmark) {
        if (stop)
            part.Resume = bookmark;
        if (mark)
            keepBookmark(part, std::move(bookmark));
    };
    const TQRRunResult result = part.Form->Setter().Run(how, false);
    part.Pages = std::max(part.Pages, result.Pages);
    if (result.Finished) {
        part.Counted = true;
        part.Resume.reset();
    }
}

void TPrintPreview::keepBookmark(Part& part, std::shared_ptr<const TQRBookmark> bookmark)
{
    const std::size_t controls = std::max<std::size_t>(1, bookmark->ControlCount());
    const std::size_t room = std::max<std::size_t>(4, kBookmarkBudget / controls);
    part.Marks.push_back(std::move(bookmark));
    if (part.Marks.size() <= room)
        return;
    // Every second one goes: the spacing doubles, and so does the longest way to a page.
    std::vector<std::shared_ptr<const TQRBookmark>> kept;
    for (std::size_t i = 1; i < part.Marks.size(); i += 2)
        kept.push_back(part.Marks[i]);
    part.Marks = std::move(kept);
    part.Spacing *= 2;
}

bool TPrintPreview::inRange(const Part& part, int page) const
{
    return (part.FirstPage <= 0 || page >= part.FirstPage) &&
           (part.LastPage <= 0 || page <= part.LastPage);
}

int TPrintPreview::shownPages(const Part& part) const
{
    const int first = part.FirstPage > 0 ? part.FirstPage : 1;
    const int last = part.LastPage > 0 ? std::min(part.LastPage, part.Pages) : part.Pages;
    return std::max(0, last - first + 1);
}

bool TPrintPreview::locate(int n, std::size_t& index, int& page) const
{
    if (n < 1)
        return false;
    int before = 0;
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        const Part& part = m_parts[i];
        const int shown = shownPages(part);
        if (n <= before + shown) {
            index = i;
            page = (part.FirstPage > 0 ? part.FirstPage : 1) + (n - before) - 1;
            return true;
        }
        if (!part.Counted)
            return false;
        before += shown;
    }
    return false;
}
