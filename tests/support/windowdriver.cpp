#include "support/windowdriver.h"

#include "store/programconnection.h"
#include "ui/entry/form2.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QTest>

using namespace Qt::StringLiterals;

void press(QWidget* window, const QString& buttonName)
{
    QAbstractButton* button = control<QAbstractButton>(window, buttonName);
    if (!button)
        return;
    // A user can only press what is on screen; a click on a hidden button would prove nothing.
    EXPECT_TRUE(button->isVisible()) << buttonName.toStdString() << " is not on screen";
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items.append(list->itemText(row));
    return items;
}

void pick(QComboBox* list, const QString& text)
{
    const int row = list->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    ASSERT_GE(row, 0) << text.toStdString();
    list->setCurrentIndex(row);
}

QStringList rowTexts(const QAbstractItemModel* model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts.append(model->index(row, column).data(Qt::DisplayRole).toString());
    return texts;
}

QComboBox* combo(const QWidget* entryWindow, int number)
{
    return control<QComboBox>(entryWindow, u"Combo%1"_s.arg(number));
}

std::unique_ptr<Form2> openEntryWindow(const QString& id)
{
    auto form = std::make_unique<Form2>(programLedger());
    form->m_ID = id;
    form->setCaption(id.isEmpty() ? u"Add New"_s : u"Edit Data"_s);
    form->show();
    return form;
}
