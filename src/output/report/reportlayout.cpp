#include "output/report/reportlayout.h"

#include "output/report/reportdata.h"
#include "output/report/reportformat.h"

#include <QDate>
#include <QHash>
#include <array>
#include <bit>
#include <optional>

namespace {

// One control with what it needs from the data: its column, or for a sum its finished text.
struct Binding
{
    const ReportControl* control;
    int column = -1;
    QString text;
    // Dates and amounts repeat (a zero on every line, the same day on many): each distinct
    // value is formatted once, up to a bound that keeps a ledger of unique amounts small.
    QHash<std::pair<int, quint64>, QString> shown;
};

constexpr qsizetype shownBound = 4096;

// The value as a key for Binding::shown; nothing for values that are cheap to show.
std::optional<std::pair<int, quint64>> memoKey(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return std::pair{value.typeId(), quint64(value.toDate().toJulianDay())};
    case QMetaType::Double:
        return std::pair{value.typeId(), std::bit_cast<quint64>(value.toDouble())};
    default:
        return std::nullopt;
    }
}

class PageWriter
{
public:
    PageWriter(const ReportDesign& design, const ReportData& data, QSize pageSize, ReportPages& out)
        : design_(std::make_shared<const ReportDesign>(design)), data_(data), out_(out), pageHeight_(pageSize.height())
    {
        for (const ReportSection& s : design_->sections)
            bind(s);
    }

    void run(const ProgressCheck& progress)
    {
        startPage();
        place(SectionRole::ReportHeader);
        place(SectionRole::PageHeader);
        const int detailHeight = height(SectionRole::Detail);
        for (qsizetype row = 0; row < data_.rowCount(); ++row) {
            checkProgress(progress, row);
            if (linesOnPage_ > 0 && y_ + detailHeight > footerTop())
                nextPage();
            place(SectionRole::Detail, row);
            ++linesOnPage_;
        }
        if (linesOnPage_ > 0 && y_ + height(SectionRole::ReportFooter) > footerTop())
            nextPage();
        place(SectionRole::ReportFooter);
        endPage();
    }

private:
    const ReportSection* section(SectionRole role) const { return design_->sectionFor(role); }
    int height(SectionRole role) const { return section(role) ? section(role)->height : 0; }
    int footerTop() const { return pageHeight_ - design_->margins.bottom() - height(SectionRole::PageFooter); }

    void bind(const ReportSection& s)
    {
        std::vector<Binding>& bindings = bindings_[size_t(s.role)];
        for (const ReportControl& c : s.controls) {
            Binding b{&c, -1, {}, {}};
            if (c.kind == ControlKind::TextBox)
                b.column = data_.column(c.dataField);
            else if (c.kind == ControlKind::Sum)
                b.text = formatReportValue(sum(data_.column(c.dataField)), c.format, locale_);
            else if (c.kind == ControlKind::Label)
                b.text = c.caption;
            bindings.push_back(std::move(b));
        }
    }

    double sum(int column) const
    {
        double total = 0;
        for (qsizetype row = 0; row < data_.rowCount(); ++row)
            total += data_.value(row, column).toDouble();
        return total;
    }

    void startPage()
    {
        out_.pages.push_back({design_, {}, {}});
        y_ = design_->margins.top();
        linesOnPage_ = 0;
    }

    void endPage()
    {
        y_ = footerTop();
        place(SectionRole::PageFooter);
    }

    void nextPage()
    {
        endPage();
        startPage();
        place(SectionRole::PageHeader);
    }

    void place(SectionRole role, qsizetype row = -1)
    {
        ReportPage& page = out_.pages.back();
        const QPoint origin(design_->margins.left(), y_);
        for (Binding& b : bindings_[size_t(role)]) {
            const ReportControl& c = *b.control;
            if (c.kind == ControlKind::Line) {
                const QPoint from = origin + c.rect.topLeft();
                page.lines.push_back({QLine(from, from + QPoint(c.rect.width(), c.rect.height())), &c});
                continue;
            }
            page.texts.push_back(
                {c.rect.translated(origin), b.column >= 0 ? show(b, data_.value(row, b.column)) : b.text, &c});
        }
        y_ += height(role);
    }

    QString show(Binding& b, const QVariant& value) const
    {
        const auto key = memoKey(value);
        if (!key)
            return formatReportValue(value, b.control->format, locale_);
        if (const auto it = b.shown.constFind(*key); it != b.shown.constEnd())
            return *it;
        QString text = formatReportValue(value, b.control->format, locale_);
        if (b.shown.size() < shownBound)
            b.shown.insert(*key, text);
        return text;
    }

    const std::shared_ptr<const ReportDesign> design_;
    const ReportData& data_;
    ReportPages& out_;
    const int pageHeight_;
    const QLocale locale_;
    std::array<std::vector<Binding>, 5> bindings_; // by SectionRole
    int y_ = 0;
    int linesOnPage_ = 0;
};

} // namespace

ReportPages layoutReport(const ReportDesign& design, const ReportData& data, QSize pageSize,
                         const ProgressCheck& progress)
{
    ReportPages out;
    out.pageSize = pageSize;
    PageWriter(design, data, pageSize, out).run(progress);
    return out;
}
