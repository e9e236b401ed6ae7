#include "support/modal.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {

void poll(std::shared_ptr<std::function<void(QWidget*)>> action, std::shared_ptr<QElapsedTimer> clock)
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
    if (clock->elapsed() < 5000)
        QTimer::singleShot(10, [action, clock] { poll(action, clock); });
}

} // namespace

void whenModalOpens(std::function<void(QWidget*)> action)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto shared = std::make_shared<std::function<void(QWidget*)>>(std::move(action));
    QTimer::singleShot(0, [shared, clock] { poll(shared, clock); });
}
