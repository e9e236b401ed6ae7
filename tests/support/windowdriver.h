#pragma once

// Drives a window as a user would: finds its controls by object name, presses its buttons and
// reads back what its lists show. A control that is not there fails the test that asked for it.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

class Form2;
class QAbstractItemModel;
class QComboBox;

// The child of `window` with this object name and type, or null after failing the current test.
template <class T> T* control(const QWidget* window, const QString& name)
{
    T* found = window->findChild<T*>(name);
    if (!found)
        ADD_FAILURE() << "no control " << name.toStdString() << " in " << window->objectName().toStdString();
    return found;
}

// A mouse click on the named button (or tick box, or option) of a window on screen.
void press(QWidget* window, const QString& buttonName);

// The texts of a drop-down list, in order.
QStringList itemsOf(const QComboBox* list);

// Chooses the first item with exactly this text.
void pick(QComboBox* list, const QString& text);

// The texts one row of a list shows, column by column.
QStringList rowTexts(const QAbstractItemModel* model, int row);

// The entry window's pick lists Combo1 (Reason) to Combo4 (Payment Method).
QComboBox* combo(const QWidget* entryWindow, int number);

// Opens the entry window the way the main window does: m_ID, then the caption (which loads the
// window), then shown, but without a modal loop so the test keeps control.
std::unique_ptr<Form2> openEntryWindow(const QString& id = {});
