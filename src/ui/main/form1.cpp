#include "ui/main/form1.h"

#include "app/errortrap.h"
#include "app/hoverpointer.h"
#include "app/pointerkind.h"
#include "app/prompter.h"
#include "app/twips.h"
#include "app/windowlook.h"
#include "base/apptitle.h"
#include "base/paths.h"
#include "instance/instanceserver.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "ledgerlist/listcolumns.h"
#include "money/moneyformat.h"
#include "money/storedcurrency.h"
#include "output/spreadsheet/spreadsheetworkbook.h"
#include "store/ledgerwatcher.h"
#include "store/programconnection.h"
#include "ui/backups/backupsdialog.h"
#include "ui/backups/safetynet.h"
#include "ui/currency/form3.h"
#include "ui/main/findbar.h"
#include "ui/main/handedfiles.h"
#include "ui/main/ledgerhistory.h"
#include "ui/main/printedreport.h"
#include "ui/main/spreadsheetexport.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <algorithm>

namespace {

// The designed widths of the list's columns (twips), in the order of their titles.
constexpr std::array<int, listColumnTitles.size()> columnWidths = {400, 1200, 1200, 1200, 1500, 1500, 1000, 2200, 1000};

constexpr int designWidth = 11640;
constexpr int designHeight = 4605;
constexpr int firstButtonRowTop = 2800;
constexpr int secondButtonRowTop = 3310;

int tickBoxWidth(const QWidget* list)
{
    return list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list) +
           2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 4;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* button = new QPushButton(caption, parent);
    placeControl(button, QString::fromLatin1(name), left, top, 2760, 405);
    return button;
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), ledger_(programLedger())
{
    buildControls();
    connectEvents();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    resize(twips(designWidth), twips(designHeight));
    setMinimumSize(twips(designWidth), twips(designHeight));

    model_ = new LedgerModel(this);
    view_ = new LedgerView(model_, this);
    history_ = new LedgerHistory(
        ledger_, [this](const QList<qint64>& ids) { refillAndSelect(ids); }, this);
    safetyNet_ = new SafetyNet([this] { reconnect(); }, this);
    handedFiles_ = new HandedFiles(
        [this](const QString& path) {
            if (!closing_)
                importFile(path);
        },
        this);
    watcher_ = new LedgerWatcher(this);
    followLater_ = new QTimer(this);
    followLater_->setSingleShot(true);
    ListView1 = new QTableView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(tr("Ledger entries"));
    ListView1->setModel(view_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->setWordWrap(false);
    ListView1->setShowGrid(false);
    ListView1->setAlternatingRowColors(true);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as tight as a list's, not the roomy default of a grid.
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 6);
    // Clickable for sorting; the list keeps the refill's order until the user asks for another.
    ListView1->horizontalHeader()->setSectionsClickable(true);
    ListView1->horizontalHeader()->setSortIndicatorShown(false);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // A statement or workbook dropped anywhere on the window is imported.
    setAcceptDrops(true);

    PushButton2 = makeButton(this, "PushButton2", tr("Add New"), 120, firstButtonRowTop);
    PushButton4 = makeButton(this, "PushButton4", tr("Duplicate Selected"), 3000, firstButtonRowTop);
    PushButton1 = makeButton(this, "PushButton1", tr("Edit Selected"), 5880, firstButtonRowTop);
    PushButton3 = makeButton(this, "PushButton3", tr("Delete Selected"), 8760, firstButtonRowTop);
    PushButton7 = makeButton(this, "PushButton7", tr("Currency Option"), 120, secondButtonRowTop);
    PushButton5 = makeButton(this, "PushButton5", tr("Create/Print Report"), 3000, secondButtonRowTop);
    PushButton6 = makeButton(this, "PushButton6", tr("Save Database To Excel"), 5880, secondButtonRowTop);
    PushButton8 = makeButton(this, "PushButton8", tr("Help"), 8760, secondButtonRowTop);

    findBar_ = new FindBar(*view_, this);

    Frame1 = new QGroupBox(tr("Summary"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(tr("Received:"), Frame1);
    Label2 = new QLabel(tr("Paid:"), Frame1);
    Label3 = new QLabel(tr("Balance:"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3->setObjectName(QStringLiteral("Label3"));
}

void Form1::connectEvents()
{
    installPointerRule(
        this, {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6, PushButton7, PushButton8},
        QList<QWidget*>{Frame1, ListView1});
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(ListView1, &QWidget::customContextMenuRequested, this, &Form1::showListMenu);
    connect(watcher_, &LedgerWatcher::changed, this, &Form1::followLedger);
    connect(followLater_, &QTimer::timeout, this, &Form1::followLedger);
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, &Form1::sortByColumn);
    findAction_ = new QAction(tr("Find…"), this);
    findAction_->setShortcut(QKeySequence::Find);
    findAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(findAction_);
    connect(findAction_, &QAction::triggered, findBar_, &FindBar::open);
    statisticsAction_ = new QAction(tr("Statistics…"), this);
    statisticsAction_->setShortcut(QKeySequence(Qt::Key_F9));
    statisticsAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(statisticsAction_);
    connect(statisticsAction_, &QAction::triggered, this, &Form1::showStatistics);
    connect(findBar_, &FindBar::visibilityChanged, this, [this] { layOut(); });
    connect(findBar_, &FindBar::toList, this, [this] {
        ListView1->setFocus();
        if (!ListView1->selectionModel()->hasSelection())
            keepSelection(0);
    });
    buildListMenu();
    // The keyboard's ways to the same menu, opened at the current row.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        connect(new QShortcut(keys, ListView1, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
                [this] {
                    const QRect row = ListView1->visualRect(ListView1->currentIndex());
                    showListMenu(row.isValid() ? row.center() : QPoint(0, 0));
                });
    }
}

void Form1::buildListMenu()
{
    // Built once and kept: the accessibility layer caches one entry per shared action, tied to the
    // first menu that showed it, so a menu made afresh per opening would lose Undo, Redo and Find…
    // for screen readers once the first one is gone.
    listMenu_ = new QMenu(this);
    listMenu_->addAction(history_->undoAction());
    listMenu_->addAction(history_->redoAction());
    listMenu_->addSeparator();
    listMenu_->addAction(findAction_);
    listMenu_->addAction(statisticsAction_);
    listMenu_->addAction(tr("Repeat…"), this, &Form1::repeatSelected);
    listMenu_->addAction(tr("Repeating entries…"), this, &Form1::showRepeatingRules);
    listMenu_->addAction(tr("Import…"), this, &Form1::chooseImportFile);
    listMenu_->addAction(tr("Backups…"), this, &Form1::showBackups);
    listMenu_->addAction(tr("Ledger location…"), this, &Form1::chooseLedgerLocation);
    listMenu_->addAction(tr("Copy this ledger to a server…"), this, &Form1::copyToServer);
    listMenu_->addAction(tr("Copy this ledger to a file…"), this, &Form1::copyToFile);
}

void Form1::showListMenu(const QPoint& position)
{
    listMenu_->exec(ListView1->viewport()->mapToGlobal(position));
}

void Form1::sortByColumn(int column)
{
    const Qt::SortOrder order = view_->sortColumn() == column && view_->sortOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    // The entry selected before stays selected wherever the new order puts it.
    const int selected = view_->sourceRow(ListView1->currentIndex().row());
    view_->sort(column, order);
    QHeaderView* header = ListView1->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, order);
    const int row = view_->rowOfSource(selected);
    if (row >= 0) {
        keepSelection(row);
        ListView1->scrollTo(view_->index(row, 0));
    }
}

void Form1::startSafetyNet()
{
    safetyNet_->start();
}

void Form1::showBackups()
{
    BackupsDialog dialog(*safetyNet_, ledger_, this);
    dialog.exec();
}

void Form1::showStatistics()
{
    if (!statistics_)
        statistics_ = new StatisticsWindow(
            *model_, *view_, [this](const LedgerFilter& filter) { findBar_->openWith(filter); }, this);
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
}

void Form1::reconnect()
{
    ErrorTrap trap(u"Form1", u"reconnect");
    trap.step(100, [&] {
        ConnSlot() = std::make_unique<Connection>();
        Conn().open(location_.connectionText());
    });
    history_->stack()->clear();
    trap.step(102, [&] { ListData(); });
}

void Form1::refillAndSelect(const QList<qint64>& ids)
{
    ListData();
    for (qint64 id : ids) {
        const int row = view_->rowOfSource(model_->rowOfId(id));
        if (row >= 0) {
            keepSelection(row);
            ListView1->scrollTo(view_->index(row, 0));
            return;
        }
    }
}

void Form1::PushButton5_Click()
{
    printLedgerReport(this, ledger_, balance_);
}

void Form1::PushButton6_Click()
{
    exportLedgerList(this, *model_, summaryLabels(), [this](bool exporting) { setExporting(exporting); });
}

void Form1::PushButton7_Click()
{
    ErrorTrap trap(u"Form1", u"PushButton7_Click");
    trap.step(100, [&] {
        Form3 dialog([this] { ListData(); }, this);
        dialog.exec();
    });
}

void Form1::setExporting(bool exporting)
{
    exporting_ = exporting;
    setPointerKind(this, exporting ? pointerHourglass : pointerDefault);
}

void Form1::keepSelection(int previousRow)
{
    const int rows = view_->rowCount();
    if (rows == 0)
        return;
    const int row = std::clamp(previousRow, 0, rows - 1);
    ListView1->selectionModel()->select(view_->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ListView1->selectionModel()->setCurrentIndex(view_->index(row, 0), QItemSelectionModel::NoUpdate);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void Form1::layOut()
{
    // The list and the summary stretch with the window; the buttons keep their place under the list.
    const int extraWidth = width() - twips(designWidth);
    const int extraHeight = height() - twips(designHeight);
    const int fullWidth = twips(11400) + extraWidth;
    // The find bar takes the bottom of the list's place while it is open.
    const int barHeight = findBar_->isVisible() ? findBar_->barHeight() : 0;
    const int listHeight = twips(2595) + extraHeight - barHeight;
    ListView1->setGeometry(twips(120), twips(120), fullWidth, listHeight);
    findBar_->setGeometry(twips(120), twips(120) + listHeight, fullWidth, barHeight);
    for (QPushButton* button : {PushButton2, PushButton4, PushButton1, PushButton3})
        button->move(button->x(), twips(firstButtonRowTop) + extraHeight);
    for (QPushButton* button : {PushButton7, PushButton5, PushButton6, PushButton8})
        button->move(button->x(), twips(secondButtonRowTop) + extraHeight);
    Frame1->setGeometry(twips(120), twips(3750) + extraHeight, fullWidth, twips(735));
    // The three totals keep their designed share of the frame's width, each ending before the next.
    const int lefts[] = {twips(360), twips(360) + fullWidth * (3960 - 360) / 11400,
                         twips(360) + fullWidth * (7920 - 360) / 11400, fullWidth - twips(120)};
    const std::array<QLabel*, 3> labels = {Label1, Label2, Label3};
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i]->setGeometry(lefts[i], twips(300), lefts[i + 1] - lefts[i] - twips(60), twips(300));
}

void Form1::Form_Load()
{
    ErrorTrap trap(u"Form1", u"Form_Load");
    location_ = LedgerLocation::chosen();
    safetyNet_->setLocation(location_);
    if (trap.test(100, [&] { return !pathExists(vendorFolder()); }))
        trap.step(102, [&] { makeFolder(vendorFolder()); });
    if (trap.test(104, [&] { return !pathExists(dataFolder()); }))
        trap.step(106, [&] { makeFolder(dataFolder()); });
    // A server ledger has no file to make or keep private.
    if (trap.test(108, [&] { return !location_.onServer() && !FileExists(databaseFile()); }))
        trap.step(110, [&] { copyLedgerTemplate(templateDatabase(), databaseFile()); });
    // A folder or ledger left with wider rights by an older version is made private again.
    keepPrivate(dataFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!location_.onServer())
        keepPrivate(databaseFile(), QFile::ReadOwner | QFile::WriteOwner);
    trap.step(112, [&] { ApplySkin(this); });
    applyHandCursor(trap, 116, this);
    trap.step(138, [&] {
        setWindowTitle(QString::fromUtf16(displayName));
        setWindowIcon(programIcon());
        SetAppTitle();
    });
    trap.step(140, [&] { ConnSlot() = std::make_unique<Connection>(); });
    trap.step(142, [&] { Conn().open(location_.connectionText()); });
    int step = 144;
    for (const char16_t* title : listColumnTitles) {
        trap.step(step, [&] { model_->addColumn(QString::fromUtf16(title)); });
        step += 2;
    }
    int index = 0;
    for (const int width : columnWidths) {
        // The tick box shares the first column with the id: give it room of its own.
        const int extra = index == 0 ? tickBoxWidth(ListView1) : 0;
        trap.step(step, [&] { ListView1->setColumnWidth(index, twips(width) + extra); });
        step += 2;
        ++index;
    }
    trap.step(180, [&] { buildStoredMoneyFormat(); });
    trap.step(182, [&] { ListData(); });
}

void Form1::Form_QueryUnload()
{
    ErrorTrap trap(u"Form1", u"Form_QueryUnload");
    if (trap.test(100, [&] { return Conn().state() != 0; }))
        trap.step(100, [&] { Conn().close(); });
    trap.step(102, [&] { ConnSlot().reset(); });
    trap.step(104, [&] { QCoreApplication::processEvents(); });
    trap.step(106, [&] { QCoreApplication::processEvents(); });
}

void Form1::closeEvent(QCloseEvent* event)
{
    closing_ = true;
    // Files handed over from now on go to a window of their own.
    if (instanceServer_)
        instanceServer_->close();
    Form_QueryUnload();
    safetyNet_->finish(history_->hasChanges());
    removeShownWorkbooks();
    event->accept();
    QCoreApplication::quit();
}
