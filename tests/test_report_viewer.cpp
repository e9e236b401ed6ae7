// The report's own preview window: the first page shows before the others are painted, it pages
// and zooms from the keyboard, and Save as PDF writes the whole report.
#include "output/preview/reportviewer.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/pdftext.h"
#include "support/windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ReportViewerTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QList<Entry> entries;
        for (int i = 0; i < 2000; ++i) {
            Entry e = sampleEntry(u"Rent"_s, QString::number(i + 1), i % 2 ? Direction::PaidOut : Direction::Received);
            e.fromCompany = u"Payer %1"_s.arg(i);
            entries.append(e);
        }
        listEntries(entries);
    }

    // Presses Create/Print Report and runs `use` on the preview once it has painted its first page.
    void withViewer(const std::function<void(ReportViewer&)>& use)
    {
        bool used = false;
        whenModalOpens([&](QWidget* modal) {
            // Whatever fails below, the window is closed, so the suite never waits on it.
            const auto closeIt = qScopeGuard([modal] { modal->close(); });
            auto* viewer = qobject_cast<ReportViewer*>(modal);
            ASSERT_NE(viewer, nullptr) << modal->metaObject()->className();
            ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->paintedPages() > 0; }, 30000));
            use(*viewer);
            used = true;
        });
        press(&window, u"PushButton5"_s);
        EXPECT_TRUE(used);
    }

    static void key(ReportViewer& viewer, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(viewer.windowHandle(), key, modifiers);
    }
};

} // namespace

TEST_F(ReportViewerTest, ShowsTheFirstPageWithoutPaintingTheRest)
{
    withViewer([](ReportViewer& viewer) {
        EXPECT_EQ(viewer.windowTitle(), u"DataReport1");
        EXPECT_GT(viewer.pageCount(), 40);
        EXPECT_EQ(viewer.currentPage(), 1);
        EXPECT_LE(viewer.paintedPages(), 3) << "only the pages in view are painted";
    });
}

TEST_F(ReportViewerTest, PagesAndZoomsFromTheKeyboard)
{
    withViewer([](ReportViewer& viewer) {
        const int painted = viewer.paintedPages();
        key(viewer, Qt::Key_End);
        EXPECT_EQ(viewer.currentPage(), viewer.pageCount());
        key(viewer, Qt::Key_PageUp);
        EXPECT_EQ(viewer.currentPage(), viewer.pageCount() - 1);
        key(viewer, Qt::Key_Home);
        EXPECT_EQ(viewer.currentPage(), 1);
        key(viewer, Qt::Key_PageDown);
        EXPECT_EQ(viewer.currentPage(), 2);
        EXPECT_EQ(control<QSpinBox>(&viewer, u"PageNumber"_s)->value(), 2);
        QTest::qWait(50);
        EXPECT_LT(viewer.paintedPages() - painted, 12) << "paging paints the pages passed to, not those between";

        viewer.setZoom(1.0);
        key(viewer, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(viewer.zoom(), 1.5);
        key(viewer, Qt::Key_Minus, Qt::ControlModifier);
        key(viewer, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(viewer.zoom(), 0.75);
        EXPECT_EQ(viewer.currentPage(), 2) << "zooming keeps the page in view";
    });
}

TEST_F(ReportViewerTest, SaveAsPdfWritesEveryPage)
{
    // In the folder the chooser opens in (the test's own HOME); the extension is added.
    const QString path = QDir::home().filePath(u"ledger report"_s);
    int pages = 0;
    withViewer([&](ReportViewer& viewer) {
        pages = viewer.pageCount();
        // The file chooser opens over the preview: answer it once it is the window in front.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser || !chooser->isVisible())
                return;
            answer.stop();
            // Typed into the name field, as a user does: the chooser keeps a typed name, while its
            // selectFile() leaves a field that has the focus as it is.
            auto* name = chooser->findChild<QLineEdit*>(u"fileNameEdit"_s);
            ASSERT_NE(name, nullptr);
            name->setText(path);
            QMetaObject::invokeMethod(chooser, "accept");
        });
        answer.start(10);
        key(viewer, Qt::Key_S, Qt::ControlModifier);
        answer.stop();
    });
    const QStringList text = pdfPages(path + u".pdf"_s);
    ASSERT_EQ(text.size(), pages);
    EXPECT_TRUE(text.first().contains(u"Payer 0"_s)) << text.first().toStdString();
    EXPECT_TRUE(text.last().contains(u"Total IN"_s) || text[text.size() - 2].contains(u"Payer 1999"_s));
    EXPECT_TRUE(text.join(u'\n').contains(u"Payer 1999"_s));
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}
