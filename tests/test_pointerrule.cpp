// The pointer rule, driven with mouse moves delivered the way the window system delivers them.
#include "app/hoverpointer.h"
#include "app/pointerkind.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window with the kinds of control the rule meets: two push buttons (hand), a frame holding a label and a
// list (arrow), and a label and a combo box of its own that the rule does not list.
class PointerRuleTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        button1 = place(new QPushButton(QStringLiteral("Add New"), &window), 10, 10, 100, 30);
        button2 = place(new QPushButton(QStringLiteral("Help"), &window), 120, 10, 100, 30);
        frame = place(new QGroupBox(QStringLiteral("Summary"), &window), 10, 50, 200, 80);
        frameLabel = place(new QLabel(QStringLiteral("Balance:"), frame), 10, 25, 80, 20);
        list = place(new QTableView(&window), 230, 50, 160, 150);
        list->setModel(&model);
        label = place(new QLabel(QStringLiteral("Notes"), &window), 10, 150, 100, 20);
        combo = place(new QComboBox(&window), 10, 180, 100, 25);
        // A cursor of its own, as a designer might have left it: the rule must not let it hide the window's.
        button2->setCursor(Qt::IBeamCursor);

        installPointerRule(&window, {button1, button2}, {frame, list});
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        moveTo(surface);
    }

    template <class W> static W* place(W* widget, int x, int y, int width, int height)
    {
        widget->setGeometry(x, y, width, height);
        return widget;
    }

    void moveTo(QPoint windowPos) { QTest::mouseMove(window.windowHandle(), windowPos); }
    void moveTo(const QWidget* control) { moveTo(control->mapTo(&window, control->rect().center())); }

    int kind() const { return pointerKind(&window); }

    QWidget window;
    QStandardItemModel model{3, 2};
    QPushButton* button1 = nullptr;
    QPushButton* button2 = nullptr;
    QGroupBox* frame = nullptr;
    QLabel* frameLabel = nullptr;
    QTableView* list = nullptr;
    QLabel* label = nullptr;
    QComboBox* combo = nullptr;
    const QPoint surface{300, 260};
    const QPoint frameSurface{180, 115};
};

TEST_F(PointerRuleTest, HandOverButtonsArrowOverSurfaceFrameAndList)
{
    moveTo(button1);
    EXPECT_EQ(kind(), pointerCustom);
    EXPECT_EQ(button1->cursor().shape(), Qt::PointingHandCursor);
    moveTo(surface);
    EXPECT_EQ(kind(), pointerDefault);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

    moveTo(button2);
    EXPECT_EQ(kind(), pointerCustom);
    EXPECT_EQ(button2->cursor().shape(), Qt::PointingHandCursor) << "the button's own cursor hides the hand";
    moveTo(frameSurface);
    EXPECT_EQ(kind(), pointerDefault);

    moveTo(button1);
    moveTo(list->viewport());
    EXPECT_EQ(kind(), pointerDefault);

    moveTo(button1);
    moveTo(list->horizontalHeader());
    EXPECT_EQ(kind(), pointerDefault) << "the list's header is part of the list";
}

TEST_F(PointerRuleTest, ControlsOutsideTheRuleLeaveTheKindAsItWas)
{
    for (const QWidget* unlisted : std::initializer_list<const QWidget*>{label, combo, frameLabel}) {
        moveTo(button1);
        moveTo(unlisted);
        EXPECT_EQ(kind(), pointerCustom) << unlisted->metaObject()->className();
    }
    moveTo(surface);
    moveTo(label);
    EXPECT_EQ(kind(), pointerDefault);
}

TEST_F(PointerRuleTest, HourglassStaysWhateverThePointerCrosses)
{
    setPointerKind(&window, pointerHourglass);
    for (QPoint stop : {button1->geometry().center(), surface, frameSurface, list->geometry().center(),
                        button2->geometry().center()}) {
        moveTo(stop);
        EXPECT_EQ(kind(), pointerHourglass);
    }
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(button1->cursor().shape(), Qt::WaitCursor);
}

TEST_F(PointerRuleTest, EnteringAButtonShowsTheWindowsCustomImage)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::black);
    setPointerImage(&window, QCursor(picture, 3, 4));

    const QPointF inside(5, 5);
    QEnterEvent enter(inside, button1->mapTo(&window, inside), button1->mapToGlobal(inside));
    QApplication::sendEvent(button1, &enter);

    EXPECT_EQ(kind(), pointerCustom);
    EXPECT_EQ(button1->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(button1->cursor().hotSpot(), QPoint(3, 4));
}

TEST(PointerRule, TheKindBelongsToTheWindowThatHoldsTheControls)
{
    QWidget first;
    QWidget second;
    auto* button = new QPushButton(QStringLiteral("OK"), &first);
    button->setGeometry(0, 0, 80, 30);
    first.resize(200, 100);
    installPointerRule(&first, {button}, {});
    installPointerRule(&second, {}, {});
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));

    QTest::mouseMove(first.windowHandle(), QPoint(40, 15));

    EXPECT_EQ(pointerKind(&first), pointerCustom);
    EXPECT_EQ(pointerKind(button), pointerDefault);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(pointerKind(&second), pointerDefault);
}

} // namespace
