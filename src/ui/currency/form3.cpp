#include "ui/currency/form3.h"

#include "money/storedcurrency.h"

#include "app/errortrap.h"
#include "app/fonts.h"
#include "app/hoverpointer.h"
#include "app/twips.h"
#include "app/windowlook.h"
#include "money/moneyformat.h"
#include "settings/settings.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

constexpr int designWidth = 4200;
constexpr int designHeight = 2370;

// Only the blank counts: a tab typed into the symbol is kept as typed.
QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

Form3::Form3(std::function<void()> refillList, QWidget* parent) : QDialog(parent), refillList_(std::move(refillList))
{
    buildControls();
    connectEvents();
    Form_Load();
}

Form3::~Form3() = default;

void Form3::buildControls()
{
    setObjectName(u"Form3"_s);
    setWindowTitle(tr("Currency Option"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twips(designWidth), twips(designHeight));
    setFont(designFont(9, true));

    // The run of blanks pushes the bracketed advice onto the label's second line. The label reaches down
    // to Text1 so that a face with taller lines than Arial keeps that line whole.
    Label1 = new QLabel(tr("Currency Symbol") + QString(43, u' ') + tr("(Leave Blank To Set Back To Default)"), this);
    placeControl(Label1, u"Label1"_s, 120, 105, 3915, 510);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAccessibleName(Label1->text().simplified());

    Text1 = new QLineEdit(this);
    placeControl(Text1, u"Text1"_s, 120, 615, 3960, 345);
    Label1->setBuddy(Text1);
    Text1->setAccessibleName(Label1->accessibleName());

    Frame1 = new QGroupBox(tr("Currency Symbol"), this);
    placeControl(Frame1, u"Frame1"_s, 120, 1020, 3960, 735);
    Option1 = new QRadioButton(tr("Before Amount"), Frame1);
    // Wide enough for the indicator and the caption together; the captions stay where they were designed.
    placeControl(Option1, u"Option1"_s, 240, 300, 1800, 255);
    Option2 = new QRadioButton(tr("After Amount"), Frame1);
    placeControl(Option2, u"Option2"_s, 2040, 300, 1800, 255);

    PushButton2 = new QPushButton(tr("OK"), this);
    placeControl(PushButton2, u"PushButton2"_s, 120, 1860, 1920, 405);
    PushButton1 = new QPushButton(tr("Cancel"), this);
    placeControl(PushButton1, u"PushButton1"_s, 2160, 1860, 1920, 405);
    for (QPushButton* button : {PushButton2, PushButton1})
        button->setFont(designFont(11.25, true));

    setTabOrder(Text1, Option1);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, PushButton2);
    setTabOrder(PushButton2, PushButton1);
    Text1->setFocus();
    centreOnScreen();
}

void Form3::connectEvents()
{
    installPointerRule(this, {PushButton1, PushButton2}, {Frame1});
    connect(PushButton2, &QPushButton::clicked, this, &Form3::PushButton2_Click);
    connect(PushButton1, &QPushButton::clicked, this, &Form3::PushButton1_Click);
}

// The dialog opens in the middle of the screen, wherever the main window stands.
void Form3::centreOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

void Form3::reject()
{
    PushButton1_Click();
}

void Form3::Form_Load()
{
    ErrorTrap trap(u"Form3", u"Form_Load");
    applyDialogLook(trap, this);
    QString symbol;
    trap.step(108, [&] { symbol = storedCurrencySymbol(); });
    if (trap.test(110, [&] { return symbol.isEmpty(); }))
        trap.step(112, [&] { symbol = DefaultCurrencySymbol(); });
    trap.step(114, [&] { Text1->setText(symbol); });
    // A stored position that cannot be read counts as 0, "After Amount".
    int before = 0;
    trap.step(116, [&] { before = currencyBeforeValue(storedCurrencyBefore()); });
    if (trap.test(118, [&] { return before == 1; }))
        trap.step(120, [&] { Option1->setChecked(true); });
    else
        trap.step(122, [&] { Option2->setChecked(true); });
}

void Form3::PushButton2_Click()
{
    ErrorTrap trap(u"Form3", u"PushButton2_Click");
    QString symbol;
    trap.step(100, [&] { symbol = trimSpaces(Text1->text()); });
    // An empty box stores the regional symbol of this moment, never an empty setting.
    if (trap.test(102, [&] { return symbol.isEmpty(); }))
        trap.step(104, [&] { symbol = DefaultCurrencySymbol(); });
    trap.step(106, [&] { SaveSetting(u"CurrencySymbol"_s, symbol); });
    int before = 0;
    if (trap.test(108, [&] { return Option1->isChecked(); }))
        trap.step(110, [&] { before = 1; });
    else
        trap.step(112, [&] { before = 0; });
    trap.step(114, [&] { SaveSetting(u"CurrencyBefore"_s, QString::number(before)); });
    trap.step(116, [&] { buildStoredMoneyFormat(); });
    trap.step(118, [&] { refillList_(); });
    trap.step(120, [&] { accept(); });
}

void Form3::PushButton1_Click()
{
    ErrorTrap trap(u"Form3", u"PushButton1_Click");
    trap.step(100, [&] { QDialog::reject(); });
}
