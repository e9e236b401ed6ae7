#include "app/pointerkind.h"

#include <QCursor>
#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kindProperty = "quorvanePointerKind";
constexpr const char* imageProperty = "quorvanePointerImage";
} // namespace

int pointerKind(const QWidget* window)
{
    return window->property(kindProperty).toInt();
}

void setPointerKind(QWidget* window, int kind)
{
    window->setProperty(kindProperty, kind);
    switch (kind) {
    case pointerHourglass:
        window->setCursor(Qt::WaitCursor);
        break;
    case pointerCustom: {
        const QVariant image = window->property(imageProperty);
        window->setCursor(image.isValid() ? image.value<QCursor>() : QCursor(Qt::PointingHandCursor));
        break;
    }
    default:
        window->unsetCursor();
        break;
    }
}

void setPointerImage(QWidget* window, const QCursor& image)
{
    window->setProperty(imageProperty, QVariant::fromValue(image));
}
