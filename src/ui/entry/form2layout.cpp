// The controls of the entry window, placed as designed (in twips).
#include "app/twips.h"
#include "ui/entry/entrydesign.h"
#include "ui/entry/form2.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int clientWidth = 4200;
constexpr int clientHeight = 7470;
constexpr int left = 120;
constexpr int fullWidth = 3960;
constexpr int labelHeight = 255;
constexpr int fieldHeight = 375;
constexpr int listWidth = 3000;
constexpr int smallButtonWidth = 360;

// The regional short date, always with the full year so that no century is ever guessed.
QString fourDigitYearFormat(const QString& format)
{
    QString out = format;
    static const QRegularExpression year(u"y+"_s);
    return out.replace(year, u"yyyy"_s);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, int top, QWidget* field)
{
    auto* label = new QLabel(caption, parent);
    placeControl(label, name, left, top, fullWidth, labelHeight);
    // The label names its field for screen readers.
    label->setBuddy(field);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, int x, int y, int width)
{
    auto* button = new QPushButton(caption, parent);
    placeControl(button, name, x, y, width, fieldHeight);
    return button;
}

QPushButton* makeListButton(QWidget* parent, const QString& name, const QString& caption, const QString& purpose, int x,
                            int y)
{
    QPushButton* button = makeButton(parent, name, caption, x, y, smallButtonWidth);
    button->setAccessibleName(purpose);
    button->setToolTip(purpose);
    return button;
}

} // namespace

void Form2::buildControls()
{
    setObjectName(u"Form2"_s);
    setWindowTitle(tr("Add New"));
    setFixedSize(twips(clientWidth), twips(clientHeight));

    DateTimePicker1 = new QDateEdit(this);
    placeControl(DateTimePicker1, u"DateTimePicker1"_s, left, 400, fullWidth, fieldHeight);
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(fourDigitYearFormat(QLocale().dateFormat(QLocale::ShortFormat)));
    makeLabel(this, u"Label1_0"_s, tr("Date"), 120, DateTimePicker1);

    Text1 = new QLineEdit(this);
    placeControl(Text1, u"Text1"_s, left, 1100, fullWidth, fieldHeight);
    makeLabel(this, u"Label1_2"_s, tr("Amount"), 820, Text1);

    QComboBox** combos[] = {&Combo1, &Combo2, &Combo3, &Combo4};
    QPushButton** adds[] = {&PushButton3, &PushButton5, &PushButton7, &PushButton9};
    QPushButton** removes[] = {&PushButton4, &PushButton6, &PushButton8, &PushButton10};
    const QString labelNames[] = {u"Label1_1"_s, u"lblDetails_0"_s, u"lblDetails_1"_s, u"lblDetails_3"_s};
    for (int list = 0; list < 4; ++list) {
        const int top = 1800 + 700 * list;
        const QString label = tr(pickListDesign[list].label);
        auto* combo = new QComboBox(this);
        placeControl(combo, QString::fromUtf16(pickListDesign[list].key), left, top, listWidth, fieldHeight);
        combo->setEditable(false);
        makeLabel(this, labelNames[list], label, top - 280, combo);
        *combos[list] = combo;
        *adds[list] =
            makeListButton(this, u"PushButton%1"_s.arg(3 + 2 * list), u"+"_s, tr("Add %1").arg(label), 3240, top);
        *removes[list] =
            makeListButton(this, u"PushButton%1"_s.arg(4 + 2 * list), u"-"_s, tr("Remove %1").arg(label), 3720, top);
    }

    Text2 = new QPlainTextEdit(this);
    placeControl(Text2, u"Text2"_s, left, 4575, fullWidth, 1470);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setTabChangesFocus(true);
    makeLabel(this, u"lblDetails_2"_s, tr("Notes"), 4320, Text2);

    Frame1 = new QGroupBox(tr("Direction"), this);
    placeControl(Frame1, u"Frame1"_s, left, 6090, fullWidth, 750);
    Option1 = new QRadioButton(tr("Received"), Frame1);
    placeControl(Option1, u"Option1"_s, 120, 330, 1800, 300);
    Option2 = new QRadioButton(tr("Paid Out"), Frame1);
    placeControl(Option2, u"Option2"_s, 2040, 330, 1800, 300);
    Option1->setChecked(true);

    PushButton2 = makeButton(this, u"PushButton2"_s, tr("OK"), left, 6960, 1920);
    PushButton2->setDefault(true);
    PushButton1 = makeButton(this, u"PushButton1"_s, tr("Cancel"), 2160, 6960, 1920);

    QWidget* const tabOrder[] = {DateTimePicker1, Text1,       Combo1,      PushButton3,  PushButton4,
                                 Combo2,          PushButton5, PushButton6, Combo3,       PushButton7,
                                 PushButton8,     Combo4,      PushButton9, PushButton10, Text2,
                                 Option1,         Option2,     PushButton2, PushButton1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}
