#pragma once

// Opens the entry window the way the main window does and drives it like a user would.

#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/printers.h"
#include "ui/entry/form2.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

// Sets m_ID, then the caption (which loads the window), then shows it without a modal loop.
inline std::unique_ptr<Form2> openEntryWindow(const QString& id = {})
{
    auto form = std::make_unique<Form2>();
    form->m_ID = id;
    form->setCaption(id.isEmpty() ? u"Add New"_s : u"Edit Data"_s);
    form->show();
    return form;
}

template <class T> T* control(const QWidget& form, const QString& name)
{
    T* found = form.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline QComboBox* combo(const QWidget& form, int number)
{
    return control<QComboBox>(form, u"Combo%1"_s.arg(number));
}

inline QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items.append(list->itemText(row));
    return items;
}

// Chooses the first item with exactly this text.
inline void pick(QComboBox* list, const QString& text)
{
    const int row = list->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    ASSERT_GE(row, 0) << text.toStdString();
    list->setCurrentIndex(row);
}

inline void press(const QWidget& form, const QString& button)
{
    QTest::mouseClick(control<QPushButton>(form, button), Qt::LeftButton);
}

// The id of the newest ledger row, as the main window's list would hand it over.
inline QString newestId()
{
    Recordset rs;
    rs.open(u"select max(id) as id from tblData"_s, Conn());
    return rs.field(u"id").toString();
}

inline int rowCount()
{
    Recordset rs;
    rs.open(u"select count(*) as n from tblData"_s, Conn());
    return rs.field(u"n").toInt();
}
