// The common look of the windows: button-face backgrounds, the skin, the hand cursor file, the program icon
// and the design font. Colours are checked on the rendered window, as the user sees them.
#include "app/cursorfileloader.h"
#include "app/fonts.h"
#include "app/pointerkind.h"
#include "app/skinframework.h"
#include "app/windowlook.h"
#include "base/failure.h"
#include "base/paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const QColor buttonFace(0xc8, 0xa8, 0x78);
const QColor surfaceColour(0xe0, 0xe6, 0xd0);
const QColor panelColour(0x90, 0xc0, 0x90);

// A window with one control of each kind. The option, check box, frame and label stand on a panel of its
// own colour, so they show the button face only if they paint it themselves.
struct SampleWindow
{
    SampleWindow()
    {
        window.setObjectName(QStringLiteral("Form1"));
        window.resize(420, 320);
        panel = place(new QWidget(&window), 0, 0, 220, 200);
        QPalette panelPalette;
        panelPalette.setColor(QPalette::Window, panelColour);
        panel->setPalette(panelPalette);
        panel->setAutoFillBackground(true);
        option = place(new QRadioButton(QStringLiteral("Received"), panel), 10, 10, 180, 24);
        check = place(new QCheckBox(QStringLiteral("Paid"), panel), 10, 40, 180, 24);
        frame = place(new QGroupBox(QStringLiteral("Direction"), panel), 10, 70, 180, 90);
        frameLabel = place(new QLabel(QStringLiteral("In"), frame), 10, 30, 150, 20);
        label = place(new QLabel(QStringLiteral("Amount"), panel), 10, 170, 180, 20);
        button = place(new QPushButton(QStringLiteral("OK"), &window), 10, 205, 120, 30);
        edit = place(new QLineEdit(QStringLiteral("12.50"), &window), 10, 240, 120, 26);
        combo = place(new QComboBox(&window), 10, 275, 120, 26);
        combo->addItem(QStringLiteral("Cash"));
        list = place(new QTableView(&window), 230, 10, 180, 200);
        list->setModel(&model);
    }

    template <class W> static W* place(W* widget, int x, int y, int width, int height)
    {
        widget->setGeometry(x, y, width, height);
        return widget;
    }

    QImage shot() { return window.grab().toImage(); }
    // Empty parts right of each caption, inside the frame below its label and of the label in the frame.
    static QList<QPoint> controlSpots() { return {{180, 22}, {180, 52}, {170, 150}, {150, 105}, {180, 180}}; }
    static constexpr QPoint windowSpot{300, 300};
    static constexpr QPoint panelSpot{210, 100};
    // The controls that keep their own look: a push button, a text box, a combo box and a list.
    QList<QRect> ownLookAreas() const
    {
        QList<QRect> areas;
        for (const QWidget* control : std::initializer_list<const QWidget*>{button, edit, combo, list})
            areas << control->geometry().adjusted(3, 3, -3, -3);
        return areas;
    }

    QWidget window;
    QStandardItemModel model{4, 3};
    QWidget* panel = nullptr;
    QRadioButton* option = nullptr;
    QCheckBox* check = nullptr;
    QGroupBox* frame = nullptr;
    QLabel* frameLabel = nullptr;
    QLabel* label = nullptr;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    QComboBox* combo = nullptr;
    QTableView* list = nullptr;
};

// A desktop colour scheme whose button face differs from its window colour, so either can be told apart.
class WindowLookTest : public testing::Test
{
protected:
    void SetUp() override
    {
        saved_ = QApplication::palette();
        QPalette scheme(buttonFace, surfaceColour);
        QApplication::setPalette(scheme);
    }
    void TearDown() override { QApplication::setPalette(saved_); }

    // Styles may shade the inside of a frame a little; another colour is far away.
    static void expectColourAt(const QImage& shot, QPoint spot, const QColor& colour)
    {
        const QColor seen = shot.pixelColor(spot);
        const int distance = std::max({std::abs(seen.red() - colour.red()), std::abs(seen.green() - colour.green()),
                                       std::abs(seen.blue() - colour.blue())});
        EXPECT_LE(distance, 4) << "at " << spot.x() << "," << spot.y() << ": " << seen.name().toStdString()
                               << " instead of " << colour.name().toStdString();
    }

private:
    QPalette saved_;
};

TEST_F(WindowLookTest, BackColorsPaintOptionsCheckBoxesFramesLabelsAndTheWindow)
{
    SampleWindow sample;
    const QImage before = sample.shot();
    for (QPoint spot : SampleWindow::controlSpots())
        expectColourAt(before, spot, panelColour);
    expectColourAt(before, SampleWindow::windowSpot, surfaceColour);

    ApplyBackColors(&sample.window);

    const QImage after = sample.shot();
    for (QPoint spot : SampleWindow::controlSpots())
        expectColourAt(after, spot, buttonFace);
    expectColourAt(after, SampleWindow::windowSpot, buttonFace);
    expectColourAt(after, SampleWindow::panelSpot, panelColour);
    for (const QRect& area : sample.ownLookAreas())
        EXPECT_EQ(after.copy(area), before.copy(area)) << "a control of another kind changed its look";
}

TEST_F(WindowLookTest, BackColorsFollowTheColourSchemeAfterwards)
{
    SampleWindow sample;
    ApplyBackColors(&sample.window);

    const QColor newFace(0x70, 0x90, 0xb0);
    QApplication::setPalette(QPalette(newFace, surfaceColour));
    QCoreApplication::processEvents(); // the change reaches the widgets as posted events

    const QImage shot = sample.shot();
    for (QPoint spot : SampleWindow::controlSpots())
        expectColourAt(shot, spot, newFace);
    expectColourAt(shot, SampleWindow::windowSpot, newFace);
}

class SkinTest : public WindowLookTest
{
protected:
    void SetUp() override
    {
        WindowLookTest::SetUp();
        ASSERT_TRUE(programDir_.isValid());
        ASSERT_TRUE(QDir(programDir_.path()).mkdir(QStringLiteral("x")));
    }

    QString skinPath() const { return programDir_.path() + QStringLiteral("/x/o.cjs"); }
    void makeSkinFile() const
    {
        QFile file(skinPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("skin");
    }

    QTemporaryDir programDir_;
    ScopedProgramFolder folder_{programDir_.path()};
};

TEST_F(SkinTest, PlainSkinFileSwitchesTheSkinOnInSixCalls)
{
    makeSkinFile();
    SampleWindow sample;

    ApplySkin(&sample.window);

    auto* skin = sample.window.findChild<SkinFramework*>(QStringLiteral("SkinFramework1"));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->applyOptions(), int(SkinFramework::skinChildControls));

    // The skin's style reaches the controls, and its own button face replaces the desktop's.
    EXPECT_NE(sample.window.style(), QApplication::style());
    EXPECT_EQ(sample.window.style()->name(), QStringLiteral("fusion"));
    EXPECT_EQ(sample.button->style(), sample.window.style());
    EXPECT_EQ(sample.list->viewport()->style(), sample.window.style());
    const QImage shot = sample.shot();
    const QColor skinFace = SkinFramework::skinPalette().color(QPalette::Button);
    for (QPoint spot : SampleWindow::controlSpots())
        expectColourAt(shot, spot, skinFace);
    expectColourAt(shot, SampleWindow::windowSpot, skinFace);
}

TEST_F(SkinTest, NoSkinWithoutThePlainFile)
{
    // Without the file, and with a folder of that name in its place.
    for (bool folderInstead : {false, true}) {
        if (folderInstead) {
            ASSERT_TRUE(QDir().mkdir(skinPath()));
        }
        SampleWindow sample;
        const QImage before = sample.shot();

        ApplySkin(&sample.window);

        EXPECT_EQ(sample.window.findChild<SkinFramework*>(), nullptr);
        EXPECT_EQ(sample.window.style(), QApplication::style());
        EXPECT_EQ(sample.shot(), before) << "the designed colours changed; folder: " << folderInstead;
    }
}

TEST(SkinFramework, RefusesToSkinAWindowBeforeASkinIsLoaded)
{
    QWidget window;
    SkinFramework skin;
    skin.setStyleEnabled(true);
    EXPECT_THROW(skin.ApplyWindow(&window), Failure);
    EXPECT_EQ(window.style(), QApplication::style());
}

// A cursor file as Windows writes it: header, one directory entry with the hotspot, then a 32-bit bitmap
// (stored bottom-up, twice the height for the AND mask that follows it). The top half is red, the rest blue.
QByteArray cursorFileBytes(int size, QPoint hotspot)
{
    QByteArray bitmap;
    QDataStream image(&bitmap, QIODevice::WriteOnly);
    image.setByteOrder(QDataStream::LittleEndian);
    image << quint32(40) << qint32(size) << qint32(2 * size) << quint16(1) << quint16(32) << quint32(0) << quint32(0)
          << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int row = size - 1; row >= 0; --row) {
        const QColor colour = row < size / 2 ? QColor(Qt::red) : QColor(Qt::blue);
        for (int x = 0; x < size; ++x)
            image << quint8(colour.blue()) << quint8(colour.green()) << quint8(colour.red()) << quint8(255);
    }
    const int maskRowBytes = (size + 31) / 32 * 4;
    for (int i = 0; i < maskRowBytes * size; ++i)
        image << quint8(0);

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(2) << quint16(1);
    out << quint8(size) << quint8(size) << quint8(0) << quint8(0) << quint16(hotspot.x()) << quint16(hotspot.y())
        << quint32(bitmap.size()) << quint32(6 + 16);
    return file + bitmap;
}

class HandCursorTest : public testing::Test
{
protected:
    void writeCursorFile(const QByteArray& bytes) const
    {
        QFile file(handCursorFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir programDir_;
    ScopedProgramFolder folder_{programDir_.path()};
};

TEST_F(HandCursorTest, CursorFileGivesItsPictureAndHotspot)
{
    writeCursorFile(cursorFileBytes(32, QPoint(9, 2)));

    const QCursor cursor = loadCursorFile(handCursorFile());

    EXPECT_EQ(cursor.hotSpot(), QPoint(9, 2));
    const QImage picture = cursor.pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(picture.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(4, 28), QColor(Qt::blue));
}

TEST_F(HandCursorTest, WindowShowsTheFilesPictureForTheHandOrQtsHandWithoutIt)
{
    QWidget window;
    ASSERT_FALSE(FileExists(handCursorFile()));
    setPointerKind(&window, pointerCustom);
    EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);

    writeCursorFile(cursorFileBytes(32, QPoint(11, 1)));
    setPointerImage(&window, loadCursorFile(handCursorFile()));
    setPointerKind(&window, pointerDefault);
    setPointerKind(&window, pointerCustom);
    EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window.cursor().hotSpot(), QPoint(11, 1));
}

TEST_F(HandCursorTest, BrokenCursorFilesAreRefusedWithTheirName)
{
    QByteArray truncated = cursorFileBytes(32, QPoint(1, 1));
    truncated.truncate(6 + 16 + 20);
    QByteArray icon = cursorFileBytes(32, QPoint(1, 1));
    icon[2] = 1; // an icon, not a cursor
    const QList<QByteArray> broken{
        QByteArrayLiteral("not a cursor at all, just some text"), truncated, icon,
        cursorFileBytes(32, QPoint(40, 3)), // hotspot outside the picture
    };
    for (const QByteArray& bytes : broken) {
        writeCursorFile(bytes);
        try {
            loadCursorFile(handCursorFile());
            ADD_FAILURE() << "accepted: " << bytes.left(12).toHex().constData();
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.description().contains(QStringLiteral("HAND-M.CUR"))) << failure.what();
        }
    }
}

TEST(ProgramIcon, OffersEverySizeFromTheResources)
{
    const QIcon icon = programIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    EXPECT_EQ(icon.availableSizes(), sizes);
    for (const QSize& size : sizes)
        EXPECT_EQ(icon.pixmap(size).size(), size);
    EXPECT_FALSE(QImage(QStringLiteral(":/icons/quorvane.png")).isNull());
}

TEST(DesignFont, UsesArialOrAMetricTwinWhereverOneIsInstalled)
{
    const QStringList twins{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                            QStringLiteral("Nimbus Sans")};
    const QFont font = designFont(11.25, true);
    const QFontInfo shown(font);
    EXPECT_TRUE(shown.bold());
    EXPECT_DOUBLE_EQ(shown.pointSizeF(), 11.25);

    const QStringList installed = QFontDatabase::families();
    const bool anyTwin =
        std::any_of(twins.begin(), twins.end(), [&](const QString& family) { return installed.contains(family); });
    if (anyTwin)
        EXPECT_TRUE(twins.contains(shown.family())) << shown.family().toStdString();
    else
        EXPECT_EQ(shown.styleHint(), QFont::SansSerif);
}

} // namespace
