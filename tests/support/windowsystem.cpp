#include "support/windowsystem.h"

#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

void closeFromWindowManager(QWidget* window)
{
    QWindowSystemInterface::handleCloseEvent(window->window()->windowHandle());
}

void clickFromWindowSystem(QWidget* widget)
{
    QWidget* window = widget->window();
    const QPoint centre = widget->rect().center();
    const QPointF local = widget->mapTo(window, centre);
    const QPointF global = widget->mapToGlobal(centre);
    QWindowSystemInterface::handleMouseEvent(window->windowHandle(), local, global, Qt::LeftButton, Qt::LeftButton,
                                             QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent(window->windowHandle(), local, global, Qt::NoButton, Qt::LeftButton,
                                             QEvent::MouseButtonRelease);
}
