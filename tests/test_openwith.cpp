// "Open with": a later start of the program hands its file to the window open on the same ledger,
// which imports it once no other dialog is open; without such a window the program opens one.
#include "instance/handoff.h"
#include "instance/handoffprotocol.h"
#include "instance/instancename.h"
#include "instance/instanceserver.h"
#include "store/ledgerlocation.h"
#include "support/importsamples.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/windowdriver.h"
#include "ui/main/runwindow.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// The window the tests start is on the ledger file.
QString ledgerKey()
{
    return LedgerLocation().key();
}

// handToRunningProgram blocks until the window answers, so it runs beside the test's event loop.
bool handOverWhileEventsRun(const QString& path)
{
    auto handed = std::async(std::launch::async, [path, key = ledgerKey()] { return handToRunningProgram(path, key); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed.wait_for(0s) == std::future_status::ready; }, 10000));
    return handed.get();
}

// The paths `server` passes on while a later start hands `path` over.
QStringList handOver(InstanceServer& server, const QString& path)
{
    QSignalSpy handed(&server, &InstanceServer::fileHanded);
    EXPECT_TRUE(handOverWhileEventsRun(path));
    // The sender is done once its confirmation is sent; the server reads it next.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !handed.isEmpty(); }, 5000)) << "nothing passed on";
    QStringList paths;
    for (const QList<QVariant>& arguments : handed)
        paths.append(arguments[0].toString());
    return paths;
}

QByteArray requestHeader(QByteArrayView magic, quint32 length)
{
    QByteArray header = magic.toByteArray();
    header.resize(handoff::headerSize);
    qToBigEndian(length, header.data() + handoff::headerSize - 4);
    return header;
}

QString importTitle(const QString& path)
{
    return u"Import Entries - "_s + QFileInfo(path).fileName();
}

// The title of the next modal window, closed as soon as it shows.
std::shared_ptr<QString> closeNextModal(std::chrono::milliseconds patience = 5s)
{
    auto title = std::make_shared<QString>();
    whenModalOpens(
        [title](QWidget* modal) {
            *title = modal->windowTitle();
            qobject_cast<QDialog*>(modal)->reject();
        },
        patience);
    return title;
}

const QString handedPath = u"/home/someone/Kontoauszüge März/statement 1.csv"_s;

} // namespace

TEST(OpenWith, TheServerReceivesTheFileAStartHandsOver)
{
    InstanceServer server;
    ASSERT_TRUE(server.listen(ledgerKey()));
    EXPECT_EQ(handOver(server, handedPath), QStringList{handedPath});
}

TEST(OpenWith, TheServerRefusesWhatIsNoSoundHandOverAndGoesOn)
{
    InstanceServer server;
    ASSERT_TRUE(server.listen(ledgerKey()));
    QSignalSpy handed(&server, &InstanceServer::fileHanded);
    const QByteArray sound = handoff::request(handedPath);
    const struct
    {
        const char* what;
        QByteArray sent;
        // What the sender says once acknowledged (nothing: it hangs up); none when no acknowledgement is due.
        std::optional<QByteArray> afterAcknowledgement;
    } cases[] = {
        {"another program's greeting", "GET / HTTP/1.0\r\n\r\n", {}},
        {"no path", requestHeader(handoff::magic, 0), {}},
        {"a length past the limit", requestHeader(handoff::magic, handoff::maxPathBytes + 1), {}},
        {"a flood past the length", requestHeader(handoff::magic, 16) + QByteArray(4 << 20, 'x'), {}},
        {"a path that is no UTF-8", requestHeader(handoff::magic, 11) + "/tmp/\xff\xfe.csv", {}},
        {"a relative path", requestHeader(handoff::magic, 8) + "file.csv", {}},
        {"a NUL in the path", requestHeader(handoff::magic, 10) + QByteArray("/tmp/\0.csv", 10), {}},
        {"two requests", sound + sound, {}},
        {"the confirmation unasked", sound + handoff::confirmed, {}},
        {"a sender that gave up waiting", sound, ""},
        {"another answer than the confirmation", sound, "X"},
        {"more than the confirmation", sound, "CC"},
    };
    for (const auto& [what, sent, afterAcknowledgement] : cases) {
        SCOPED_TRACE(what);
        QLocalSocket sender;
        sender.connectToServer(instanceName(ledgerKey()));
        ASSERT_TRUE(sender.waitForConnected(1000));
        sender.write(sent);
        if (afterAcknowledgement) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return sender.bytesAvailable() > 0; }, 5000));
            EXPECT_EQ(sender.readAll(), QByteArray(1, handoff::acknowledged));
            sender.write(*afterAcknowledgement);
            if (afterAcknowledgement->isEmpty())
                sender.disconnectFromServer();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return sender.state() == QLocalSocket::UnconnectedState; }, 5000));
        EXPECT_TRUE(sender.readAll().isEmpty());
    }
    EXPECT_EQ(handed.count(), 0);

    // Nor does a sender that stays silent hold up the next one.
    QLocalSocket silent;
    silent.connectToServer(instanceName(ledgerKey()));
    ASSERT_TRUE(silent.waitForConnected(1000));
    EXPECT_EQ(handOver(server, handedPath), QStringList{handedPath});
}

TEST(OpenWith, WithoutAProgramListeningTheHandOverFailsAtOnceAndTheNameIsFree)
{
    const QString name = instanceName(ledgerKey());
    ASSERT_TRUE(name.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/')) << name.toStdString();
    const struct
    {
        const char* what;
        bool leftBehind;
    } cases[] = {{"no socket", false}, {"the socket of a program that was killed", true}};
    for (const auto& [what, leftBehind] : cases) {
        SCOPED_TRACE(what);
        if (leftBehind) {
            // Bound and never unlinked: what a killed program leaves.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            const QByteArray file = QFile::encodeName(name);
            std::copy(file.begin(), file.end(), address.sun_path);
            ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
            ASSERT_TRUE(QFile::exists(name));
        }
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(handToRunningProgram(handedPath, ledgerKey()));
        EXPECT_LT(clock.elapsed(), 500);
        InstanceServer server;
        EXPECT_TRUE(server.listen(ledgerKey()));
    }
}

TEST(OpenWith, ASecondWindowLeavesTheFilesToTheFirst)
{
    InstanceServer first;
    ASSERT_TRUE(first.listen(ledgerKey()));
    InstanceServer second;
    EXPECT_FALSE(second.listen(ledgerKey()));
    EXPECT_EQ(handOver(first, handedPath), QStringList{handedPath});

    // Once the first window has closed, a later one takes the files.
    first.close();
    EXPECT_FALSE(handToRunningProgram(handedPath, ledgerKey()));
    EXPECT_TRUE(second.listen(ledgerKey()));
}

class OpenWithWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window.listenForHandedFiles());
    }
};

TEST_F(OpenWithWindowTest, TheProgramStartedWithAFileHandsItToTheOpenWindow)
{
    const QString statement = sampleStatementPath(u"separate_in_out.csv"_s);
    const auto opened = closeNextModal(60s);
    QProcess quorvane;
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {statement});
    ASSERT_TRUE(QTest::qWaitFor([&] { return quorvane.state() == QProcess::NotRunning; }, 60000))
        << "the program opened a window of its own";
    EXPECT_EQ(quorvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quorvane.exitCode(), 0) << quorvane.readAllStandardError().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened->isEmpty(); }, 5000));
    EXPECT_EQ(*opened, importTitle(statement));
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(OpenWithWindowTest, AFileHandedOverWhileADialogIsOpenWaitsUntilItCloses)
{
    const QString first = sampleStatementPath(u"semicolon_decimal_comma.csv"_s);
    const QString handed = sampleStatementPath(u"header_on_third_line.csv"_s);
    const struct
    {
        const char* what;
        std::function<void(Form1&)> open;
    } dialogs[] = {
        {"an entry window", [](Form1& form) { press(&form, u"PushButton2"_s); }},
        {"another handed import", [&](Form1& form) { form.importHandedFile(first); }},
    };
    for (const auto& [what, open] : dialogs) {
        SCOPED_TRACE(what);
        std::shared_ptr<QString> next;
        QString stacked;
        whenModalOpens([&](QWidget* dialog) {
            // A dialog opened over this one is noted and closed, so that a fault cannot hang the test.
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (auto* over = qobject_cast<QDialog*>(QApplication::activeModalWidget()); over && over != dialog) {
                    stacked = over->windowTitle();
                    over->reject();
                }
            });
            watch.start(10);
            EXPECT_TRUE(handOverWhileEventsRun(handed));
            QTest::qWait(500);
            next = closeNextModal();
            qobject_cast<QDialog*>(dialog)->reject();
        });
        open(window);
        const bool nextOpened = QTest::qWaitFor([&] { return next && !next->isEmpty(); }, 10000);
        EXPECT_EQ(stacked, QString());
        ASSERT_TRUE(nextOpened);
        EXPECT_EQ(*next, importTitle(handed));
    }
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST(OpenWith, StartedWithAFileAndNoWindowOpenTheProgramOpensOneWithTheImport)
{
    ScriptedPrompter boxes;
    const QString statement = sampleStatementPath(u"windows1252_umlauts.csv"_s);
    QString opened;
    bool overTheWindow = false;
    whenModalOpens(
        [&](QWidget* dialog) {
            opened = dialog->windowTitle();
            QWidget* window = dialog->parentWidget();
            overTheWindow = qobject_cast<Form1*>(window) && window->isVisible();
            qobject_cast<QDialog*>(dialog)->reject();
            // Closing the window ends the program's run.
            QTimer::singleShot(0, window, &QWidget::close);
        },
        30s);
    // A fault must fail the test, not hang it.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(60000);
    EXPECT_EQ(runWindow(statement), 0);
    EXPECT_EQ(opened, importTitle(statement));
    EXPECT_TRUE(overTheWindow);
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}
