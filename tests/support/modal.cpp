#include "support/modal.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {

void poll(std::shared_ptr<std::function<void(QWidget*)>> action, std::shared_ptr<QElapsedTimer> clock,
          std::chrono::milliseconds patience)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        QPointer<QWidget> guard(modal);
        (*action)(modal);
        // Never leave a fault hanging in exec().
        QTimer::singleShot(5000, [guard] {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()); dialog && dialog->isVisible())
                dialog->done(QDialog::Rejected);
        });
        return;
    }
    if (clock->elapsed() < patience.count())
        QTimer::singleShot(10, [action, clock, patience] { poll(action, clock, patience); });
}

} // namespace

void whenModalOpens(std::function<void(QWidget*)> action, std::chrono::milliseconds patience)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto shared = std::make_shared<std::function<void(QWidget*)>>(std::move(action));
    QTimer::singleShot(0, [shared, clock, patience] { poll(shared, clock, patience); });
}
