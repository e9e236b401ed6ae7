#include "output/preview/reportviewer.h"

#include "app/prompter.h"
#include "output/preview/reportpainter.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int gap = 12; // pixels around and between the pages
constexpr double zoomSteps[] = {0.5, 0.75, 1.0, 1.5, 2.0, 4.0};
constexpr int fitWidthChoice = 0, fitPageChoice = 1, firstPercentChoice = 2;

} // namespace

// The pages one under the other on a grey desk; only those in view are painted.
class PageArea : public QAbstractScrollArea
{
public:
    enum class Fit { None, Width, Page };

    PageArea(const ReportPages& pages, QWidget* parent) : QAbstractScrollArea(parent), pages_(&pages)
    {
        setFocusPolicy(Qt::StrongFocus);
        viewport()->setAutoFillBackground(false);
    }

    void setPages(const ReportPages& pages)
    {
        pages_ = &pages;
        relayout();
    }

    void setFit(Fit fit)
    {
        fit_ = fit;
        relayout();
    }

    void setZoom(double zoom)
    {
        fit_ = Fit::None;
        const int page = currentPage();
        zoom_ = std::clamp(zoom, 0.1, 8.0);
        relayout();
        goToPage(page);
    }

    double zoom() const { return zoom_; }
    int painted() const { return painted_; }

    int currentPage() const
    {
        // The page whose top is nearest above the middle of the view.
        const int middle = verticalScrollBar()->value() + viewport()->height() / 3;
        return std::clamp(middle / pageStride() + 1, 1, std::max(1, pageCount()));
    }

    void goToPage(int number)
    {
        number = std::clamp(number, 1, std::max(1, pageCount()));
        verticalScrollBar()->setValue((number - 1) * pageStride());
    }

    int pageCount() const { return int(pages_->pages.size()); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), palette().color(QPalette::Dark));
        const QSize page = pageSize();
        const int left = std::max(gap, (viewport()->width() - page.width()) / 2) - horizontalScrollBar()->value();
        const int scrolled = verticalScrollBar()->value();
        for (int index = std::max(0, (scrolled + event->rect().top()) / pageStride()); index < pageCount(); ++index) {
            const int top = gap + index * pageStride() - scrolled;
            if (top > event->rect().bottom())
                break;
            const QRect paper(left, top, page.width(), page.height());
            painter.fillRect(paper.translated(3, 3), palette().color(QPalette::Shadow));
            painter.fillRect(paper, Qt::white);
            painter.save();
            painter.setClipRect(paper);
            painter.translate(paper.topLeft());
            painter.scale(zoom_, zoom_);
            paintPage(painter, pages_->pages[size_t(index)]);
            painter.restore();
            ++painted_;
        }
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        relayout();
    }

private:
    QSize paperPixels() const
    {
        return QSize(qRound(pages_->pageSize.width() * logicalDpiX() / twipsPerInch),
                     qRound(pages_->pageSize.height() * logicalDpiY() / twipsPerInch));
    }

    QSize pageSize() const
    {
        const QSize paper = paperPixels();
        return QSize(qRound(paper.width() * zoom_), qRound(paper.height() * zoom_));
    }

    int pageStride() const { return std::max(1, pageSize().height() + gap); }

    void relayout()
    {
        const QSize paper = paperPixels();
        if (fit_ != Fit::None && !paper.isEmpty()) {
            const double byWidth = double(viewport()->width() - 2 * gap) / paper.width();
            const double byHeight = double(viewport()->height() - 2 * gap) / paper.height();
            zoom_ = std::clamp(fit_ == Fit::Width ? byWidth : std::min(byWidth, byHeight), 0.1, 8.0);
        }
        const QSize page = pageSize();
        verticalScrollBar()->setRange(0, std::max(0, gap + pageCount() * pageStride() - viewport()->height()));
        verticalScrollBar()->setPageStep(viewport()->height());
        verticalScrollBar()->setSingleStep(40);
        horizontalScrollBar()->setRange(0, std::max(0, page.width() + 2 * gap - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
        viewport()->update();
    }

    const ReportPages* pages_;
    Fit fit_ = Fit::Width;
    double zoom_ = 1.0;
    int painted_ = 0;
};

ReportViewer::ReportViewer(const ReportDesign& design, const ReportData& data, QWidget* owner,
                           const ProgressCheck& progress)
    : QDialog(owner), design_(design), data_(data)
{
    QPrinter printer(QPrinter::HighResolution);
    pages_ = layoutReport(design_, data_, pageSizeTwips(printer), progress);
    setWindowTitle(u"DataReport1"_s);
    setModal(true);
    buildControls();
    resize(900, 1000);
    showPosition();
}

ReportViewer::~ReportViewer() = default;

void ReportViewer::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    const auto tool = [&](const QString& text, const QString& tip, auto&& action) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setToolTip(tip);
        button->setAccessibleName(tip);
        connect(button, &QToolButton::clicked, this, action);
        bar->addWidget(button);
        return button;
    };
    tool(u"|◀"_s, tr("First page (Home)"), [this] { goToPage(1); });
    tool(u"◀"_s, tr("Previous page (Page Up)"), [this] { goToPage(currentPage() - 1); });
    pageNumber_ = new QSpinBox(this);
    pageNumber_->setObjectName(u"PageNumber"_s);
    pageNumber_->setAccessibleName(tr("Page"));
    pageNumber_->setRange(1, std::max(1, pageCount()));
    pageTotal_ = new QLabel(tr("of %1").arg(pageCount()), this);
    bar->addWidget(pageNumber_);
    bar->addWidget(pageTotal_);
    tool(u"▶"_s, tr("Next page (Page Down)"), [this] { goToPage(currentPage() + 1); });
    tool(u"▶|"_s, tr("Last page (End)"), [this] { goToPage(pageCount()); });
    bar->addSpacing(12);
    zoomChoice_ = new QComboBox(this);
    zoomChoice_->setObjectName(u"Zoom"_s);
    zoomChoice_->setAccessibleName(tr("Zoom"));
    zoomChoice_->addItems({tr("Fit width"), tr("Fit page")});
    for (double step : zoomSteps)
        zoomChoice_->addItem(tr("%1 %").arg(qRound(step * 100)));
    bar->addWidget(zoomChoice_);
    bar->addStretch(1);
    auto* print = new QPushButton(tr("&Print…"), this);
    print->setObjectName(u"PrintButton"_s);
    auto* pdf = new QPushButton(tr("&Save as PDF…"), this);
    pdf->setObjectName(u"SavePdfButton"_s);
    auto* close = new QPushButton(tr("Close"), this);
    for (QPushButton* button : {print, pdf, close}) {
        button->setAutoDefault(false);
        bar->addWidget(button);
    }
    layout->addLayout(bar);

    area_ = new PageArea(pages_, this);
    area_->setObjectName(u"Pages"_s);
    area_->setAccessibleName(tr("Report pages"));
    layout->addWidget(area_, 1);

    connect(pageNumber_, &QSpinBox::editingFinished, this, [this] { goToPage(pageNumber_->value()); });
    connect(area_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ReportViewer::showPosition);
    connect(zoomChoice_, &QComboBox::activated, this, &ReportViewer::applyZoomChoice);
    connect(print, &QPushButton::clicked, this, &ReportViewer::choosePrinter);
    connect(pdf, &QPushButton::clicked, this, &ReportViewer::choosePdfFile);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    const auto key = [this](const QKeySequence& keys, auto&& action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::Key_PageDown), [this] { goToPage(currentPage() + 1); });
    key(QKeySequence(Qt::Key_PageUp), [this] { goToPage(currentPage() - 1); });
    key(QKeySequence(Qt::Key_Home), [this] { goToPage(1); });
    key(QKeySequence(Qt::Key_End), [this] { goToPage(pageCount()); });
    key(QKeySequence::Print, &ReportViewer::choosePrinter);
    key(QKeySequence::Save, &ReportViewer::choosePdfFile);
    key(QKeySequence::ZoomIn, [this] { zoomBy(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomBy(1); });
    key(QKeySequence::ZoomOut, [this] { zoomBy(-1); });
    area_->setFocus();
}

int ReportViewer::pageCount() const
{
    return int(pages_.pages.size());
}

int ReportViewer::currentPage() const
{
    return area_->currentPage();
}

void ReportViewer::goToPage(int number)
{
    area_->goToPage(number);
    showPosition();
}

void ReportViewer::setZoom(double factor)
{
    area_->setZoom(factor);
    zoomChoice_->setCurrentIndex(-1);
    for (int i = 0; i < int(std::size(zoomSteps)); ++i) {
        if (std::abs(zoomSteps[i] - factor) < 1e-9)
            zoomChoice_->setCurrentIndex(firstPercentChoice + i);
    }
}

double ReportViewer::zoom() const
{
    return area_->zoom();
}

int ReportViewer::paintedPages() const
{
    return area_->painted();
}

void ReportViewer::showPosition()
{
    const QSignalBlocker quiet(pageNumber_);
    pageNumber_->setValue(currentPage());
}

void ReportViewer::applyZoomChoice(int index)
{
    if (index == fitWidthChoice)
        area_->setFit(PageArea::Fit::Width);
    else if (index == fitPageChoice)
        area_->setFit(PageArea::Fit::Page);
    else if (index >= firstPercentChoice)
        area_->setZoom(zoomSteps[index - firstPercentChoice]);
}

void ReportViewer::zoomBy(int steps)
{
    const double now = area_->zoom();
    const double* next = steps > 0 ? std::upper_bound(std::begin(zoomSteps), std::end(zoomSteps), now + 1e-9)
                                   : std::lower_bound(std::begin(zoomSteps), std::end(zoomSteps), now - 1e-9) - 1;
    if (next >= std::begin(zoomSteps) && next < std::end(zoomSteps))
        setZoom(*next);
}

void ReportViewer::print(QPrinter& printer)
{
    const QSize paper = pageSizeTwips(printer);
    if (paper == pages_.pageSize) {
        printReport(printer, pages_);
        return;
    }
    printReport(printer, layoutReport(design_, data_, paper));
}

void ReportViewer::saveAsPdf(const QString& path)
{
    renderReportToPdf(pages_, path);
}

void ReportViewer::choosePrinter()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        print(printer);
    } catch (const std::exception& error) {
        MsgBox(QString::fromUtf8(error.what()));
    }
}

void ReportViewer::choosePdfFile()
{
    QString path = QFileDialog::getSaveFileName(this, tr("Save as PDF"), QDir::home().filePath(u"DataReport1.pdf"_s),
                                                tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        path += u".pdf"_s;
    try {
        saveAsPdf(path);
    } catch (const std::exception& error) {
        MsgBox(QString::fromUtf8(error.what()));
    }
}
