// The list's context menu as a screen reader meets it: at every opening, by the mouse or either key,
// each entry it draws is in the accessibility tree and says what the menu shows.
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/windowdriver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

using namespace Qt::StringLiterals;

namespace {

struct MenuEntry
{
    QString name;
    bool enabled;
    QString shortcut;

    bool operator==(const MenuEntry&) const = default;
};

void PrintTo(const MenuEntry& entry, std::ostream* out)
{
    *out << entry.name.toStdString() << (entry.enabled ? "" : " (disabled)") << " [" << entry.shortcut.toStdString()
         << "]";
}

// What the menu draws, separators left out: they are lines, not entries.
QList<MenuEntry> drawnEntries(const QMenu* menu)
{
    QList<MenuEntry> entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->isVisible())
            entries.append({QString(action->text()).remove(u'&'), action->isEnabled(),
                            action->shortcut().toString(QKeySequence::NativeText)});
    }
    return entries;
}

// What a screen reader finds under the menu: only children that are valid and lead back up to it
// are in the tree it walks.
QList<MenuEntry> spokenEntries(QMenu* menu)
{
    QList<MenuEntry> entries;
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(menu);
    if (!tree)
        return entries;
    for (int i = 0; i < tree->childCount(); ++i) {
        QAccessibleInterface* item = tree->child(i);
        if (!item || !item->isValid() || item->parent() != tree || item->role() == QAccessible::Separator)
            continue;
        entries.append({item->text(QAccessible::Name), !item->state().disabled, item->text(QAccessible::Accelerator)});
    }
    return entries;
}

class ListMenuTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        listEntries({sampleEntry(u"Gig"_s, u"100"_s), sampleEntry(u"Rent"_s, u"40"_s, Direction::PaidOut)});
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        // As when a screen reader has connected to the desktop.
        QAccessible::setActive(true);
    }

    void TearDown() override { QAccessible::setActive(false); }

    void rightClickFirstRow()
    {
        QWidget* rows = window.listView()->viewport();
        const QPoint firstRow = window.listView()->visualRect(window.listView()->model()->index(0, 1)).center();
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, rows->mapTo(&window, firstRow));
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&window);
        window.listView()->setFocus();
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }

    // Opens the menu with `open`, compares what it draws with what the accessibility tree offers,
    // and closes it with Escape. The menu is looked for until it shows: QMenu::exec runs its own loop.
    void checkMenuOpenedBy(const std::function<void()>& open)
    {
        bool inspected = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            inspected = true;
            const QList<MenuEntry> drawn = drawnEntries(menu);
            const QStringList names = {u"Undo"_s,
                                       u"Redo"_s,
                                       u"Find…"_s,
                                       u"Statistics…"_s,
                                       u"Repeat…"_s,
                                       u"Repeating entries…"_s,
                                       u"Import…"_s,
                                       u"Backups…"_s,
                                       u"Ledger location…"_s,
                                       u"Copy this ledger to a server…"_s,
                                       u"Copy this ledger to a file…"_s};
            EXPECT_EQ(drawn.size(), names.size());
            for (qsizetype i = 0; i < std::min(drawn.size(), names.size()); ++i)
                EXPECT_TRUE(drawn[i].name.startsWith(names[i])) << drawn[i].name.toStdString();
            EXPECT_EQ(spokenEntries(menu), drawn);
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        poll.start();
        open();
        EXPECT_TRUE(QTest::qWaitFor([&] { return inspected; }, 5000)) << "no menu opened";
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the menu stayed open";
    }
};

} // namespace

TEST_F(ListMenuTest, EveryOpeningOffersEveryEntryToAssistiveTechnology)
{
    const std::function<void()> rightClick = [this] { rightClickFirstRow(); };
    const std::function<void()> menuKey = [this] { key(Qt::Key_Menu); };
    const std::function<void()> shiftF10 = [this] { key(Qt::Key_F10, Qt::ShiftModifier); };
    // Between openings Undo and Redo change their names and enabled states, which the tree must follow.
    const struct
    {
        const char* opening;
        std::function<void()> open;
        std::function<void()> before;
    } openings[] = {
        {"Menu key", menuKey, [] {}},
        {"right-click after a delete", rightClick, [this] { press(&window, u"PushButton3"_s); }},
        {"Shift+F10 after an undo", shiftF10, [this] { key(Qt::Key_Z, Qt::ControlModifier); }},
        {"Menu key after a redo", menuKey, [this] { key(Qt::Key_Y, Qt::ControlModifier); }},
        {"right-click", rightClick, [] {}},
    };
    window.listView()->selectRow(0);
    for (const auto& o : openings) {
        SCOPED_TRACE(o.opening);
        o.before();
        checkMenuOpenedBy(o.open);
    }
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}
