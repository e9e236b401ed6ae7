#include "output/preview/reportpainter.h"

#include "app/fonts.h"
#include "base/failure.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal twipsPerPoint = 20;
constexpr qreal lineWidth = 15; // twips: one pixel of the design's screen

// Draws texts and rules given in twips on the painter's device, at the device's resolution.
class PagePainter
{
public:
    explicit PagePainter(QPainter& painter)
        : painter_(painter), sx_(painter.device()->logicalDpiX() / twipsPerInch),
          sy_(painter.device()->logicalDpiY() / twipsPerInch)
    {
    }

    void draw(const ReportPage& page)
    {
        painter_.save();
        painter_.setPen(QPen(Qt::black, lineWidth * sy_));
        for (const PlacedLine& l : page.lines)
            painter_.drawLine(QPointF(l.line.x1() * sx_, l.line.y1() * sy_),
                              QPointF(l.line.x2() * sx_, l.line.y2() * sy_));
        for (const PlacedText& t : page.texts)
            if (!t.text.isEmpty())
                draw(t);
        painter_.restore();
        current_ = nullptr;
    }

private:
    struct Face
    {
        QFont font;
        QFontMetricsF metrics;
        QHash<char16_t, qreal> advances; // of single letters, filled on first use
    };

    // A text wider than its box is narrowed so that it fits, on the line's baseline: a cut-off
    // amount would be a wrong amount, and an overflowing one would run into the next column.
    void draw(const PlacedText& t)
    {
        Face& face = faceFor(t.control->font);
        const qreal boxWidth = t.box.width() * sx_;
        const QPointF baseline(t.box.left() * sx_, t.box.top() * sy_ + face.metrics.ascent());
        const qreal width = fitsSurely(face, t.text, boxWidth) ? 0 : face.metrics.horizontalAdvance(t.text);
        if (width <= boxWidth)
            use(face);
        else
            useNarrowed(face, boxWidth / width);
        painter_.drawText(baseline, t.text);
    }

    // Condensed letters keep the line even; past half width the letters get smaller as well.
    void useNarrowed(const Face& face, qreal ratio)
    {
        constexpr qreal margin = 0.97; // condensed letters come out a little wider than asked
        constexpr qreal narrowest = 0.5;
        QFont narrowed = face.font;
        narrowed.setStretch(std::max(1, int(100 * std::max(ratio, narrowest) * margin)));
        if (ratio < narrowest)
            narrowed.setPointSizeF(face.font.pointSizeF() * ratio / narrowest);
        painter_.setFont(narrowed);
        current_ = nullptr;
    }

    // Measuring every text would cost as much as drawing it; the sum of the letters' own
    // widths settles most texts, and only those near their box's width are measured whole.
    bool fitsSurely(Face& face, const QString& text, qreal boxWidth) const
    {
        constexpr qreal safety = 0.95; // kerning and shaping may move the letters a little
        qreal width = 0;
        for (QChar c : text) {
            if (c.isSurrogate())
                return false;
            auto it = face.advances.constFind(c.unicode());
            if (it == face.advances.constEnd())
                it = face.advances.insert(c.unicode(), face.metrics.horizontalAdvance(c));
            width += *it;
        }
        return width <= boxWidth * safety;
    }

    void use(const Face& face)
    {
        if (current_ != &face) {
            painter_.setFont(face.font);
            current_ = &face;
        }
    }

    Face& faceFor(const ReportFont& f)
    {
        const auto key = std::make_pair(f.pointSize, f.bold);
        auto it = faces_.find(key);
        if (it == faces_.end()) {
            const QFont font = designFont(f.pointSize, f.bold);
            it = faces_.emplace(key, Face{font, QFontMetricsF(font, painter_.device()), {}}).first;
        }
        return it->second;
    }

    QPainter& painter_;
    const qreal sx_;
    const qreal sy_;
    std::map<std::pair<qreal, bool>, Face> faces_;
    const Face* current_ = nullptr; // the painter's font, when it is one of the faces
};

} // namespace

QSize pageSizeTwips(const QPrinter& printer)
{
    const QSizeF points = printer.pageLayout().fullRect(QPageLayout::Point).size();
    return QSize(qRound(points.width() * twipsPerPoint), qRound(points.height() * twipsPerPoint));
}

void printReport(QPrinter& printer, const ReportPages& pages)
{
    int first = 1;
    int last = int(pages.pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage());
        last = std::min(last, printer.toPage());
    }
    printer.setFullPage(true);
    QPainter painter;
    ensure(painter.begin(&printer), u"The printer could not be started."_s);
    PagePainter pagePainter(painter);
    for (int number = first; number <= last; ++number) {
        if (number > first)
            ensure(printer.newPage(), u"The printer could not start a new page."_s);
        pagePainter.draw(pages.pages[size_t(number - 1)]);
    }
    ensure(painter.end(), u"The printer could not finish the report."_s);
}

void paintPage(QPainter& painter, const ReportPage& page)
{
    PagePainter(painter).draw(page);
}

void renderReportToPdf(const ReportPages& pages, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QSizeF(pages.pageSize) / twipsPerPoint, QPageSize::Point));
    printer.setPageMargins(QMarginsF());
    printReport(printer, pages);
}
