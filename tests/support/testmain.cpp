// Test entry point: a QApplication, offscreen, and a fresh HOME / XDG folders for every test.
#include "store/programconnection.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FreshHome : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo&) override
    {
        home_ = std::make_unique<QTemporaryDir>();
        const QString root = home_->path();
        for (const char* sub : {"data", "config", "runtime"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        qputenv("HOME", root.toUtf8());
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
        QFile::setPermissions(root + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toUtf8());
        // QSettings caches its folder; point it at this test's one.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root + QStringLiteral("/config"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        ConnSlot().reset();
        home_.reset();
    }

    std::unique_ptr<QTemporaryDir> home_;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime; // QApplication wants a private runtime folder before the first test starts
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshHome);
    return RUN_ALL_TESTS();
}
