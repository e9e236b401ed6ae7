#include "app/hoverpointer.h"

#include "app/pointerkind.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QEvent>
#include <QHash>
#include <QSinglePointEvent>
#include <QWidget>

namespace {

class PointerRule : public QObject
{
public:
    explicit PointerRule(QWidget* window) : QObject(window), window_(window) {}

    void watch(QWidget* control, int kind)
    {
        watchPart(control, control, kind);
        if (qobject_cast<QAbstractScrollArea*>(control)) {
            for (QWidget* part : control->findChildren<QWidget*>())
                watchPart(part, control, kind);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::Enter)
            return false;
        const auto target = targets_.constFind(watched);
        if (target == targets_.cend())
            return false;
        // A move that reaches a frame or the window from one of its controls is not over its surface.
        auto* widget = static_cast<QWidget*>(watched);
        const QWidget* under = widget->childAt(position(widget, event));
        if (under && targets_.value(under).control != target->control)
            return false;
        if (pointerKind(window_) != pointerHourglass && pointerKind(window_) != target->kind)
            setPointerKind(window_, target->kind);
        return false;
    }

private:
    struct Target
    {
        const QWidget* control = nullptr;
        int kind = pointerDefault;
    };

    void watchPart(QWidget* part, const QWidget* control, int kind)
    {
        targets_.insert(part, Target{control, kind});
        // Without tracking, a move with no mouse button held never reaches the widget.
        part->setMouseTracking(true);
        part->installEventFilter(this);
        connect(part, &QObject::destroyed, this, [this](QObject* gone) { targets_.remove(gone); });
    }

    static QPoint position(const QWidget* widget, const QEvent* event)
    {
        if (event->isSinglePointEvent())
            return static_cast<const QSinglePointEvent*>(event)->position().toPoint();
        return widget->mapFromGlobal(QCursor::pos());
    }

    QWidget* window_;
    QHash<const QObject*, Target> targets_;
};

} // namespace

void installPointerRule(QWidget* window, const QList<QWidget*>& handControls, const QList<QWidget*>& arrowControls)
{
    auto* rule = new PointerRule(window);
    rule->watch(window, pointerDefault);
    for (QWidget* control : arrowControls)
        rule->watch(control, pointerDefault);
    for (QWidget* button : handControls) {
        button->unsetCursor();
        rule->watch(button, pointerCustom);
    }
}
