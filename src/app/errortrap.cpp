#include "app/errortrap.h"

#include "base/progress.h"

#include "app/prompter.h"
#include "base/errorreport.h"
#include "base/plainrefusal.h"

#include <QCoreApplication>

void showErrorReport(const QString& description, const QString& location, int step)
{
    prompter().showMessage(errorReportText(description, location, step), QStringLiteral("Application Error"),
                           MessageIcon::Warning);
}

ErrorTrap::ErrorTrap(QStringView window, QStringView procedure) : location_(errorLocation(window, procedure)) {}

void ErrorTrap::report(int number, std::exception_ptr error)
{
    QString description;
    bool plain = false;
    try {
        std::rethrow_exception(error);
    } catch (const Cancelled&) {
        return; // the user's own choice, reported by nothing
    } catch (const std::exception& e) {
        description = QString::fromUtf8(e.what());
        plain = dynamic_cast<const PlainRefusal*>(&e) != nullptr;
    } catch (...) {
        description = QCoreApplication::translate("ErrorTrap", "Unknown error");
    }
    ++failures_;
    if (loopDepth_ > 0) {
        if (reportedInLoops_.contains({number, description}))
            return;
        reportedInLoops_.insert({number, description});
    }
    if (plain)
        MsgBox(description);
    else
        showErrorReport(description, location_, number);
}
