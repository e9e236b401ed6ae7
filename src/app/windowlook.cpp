#include "app/windowlook.h"

#include "app/cursorfileloader.h"
#include "app/errortrap.h"
#include "app/pointerkind.h"
#include "app/skinframework.h"
#include "base/paths.h"

#include <QCheckBox>
#include <QCursor>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// The background is the palette's button role, not a copy of its colour, so it follows the colour scheme
// (and the skin's palette). The palette itself stays untouched: styles derive control outlines from it.
void paintButtonFace(QWidget* widget)
{
    widget->setBackgroundRole(QPalette::Button);
    widget->setAutoFillBackground(true);
}

bool takesBackColor(const QWidget* control)
{
    return qobject_cast<const QRadioButton*>(control) || qobject_cast<const QCheckBox*>(control) ||
           qobject_cast<const QGroupBox*>(control) || qobject_cast<const QLabel*>(control);
}

} // namespace

void ApplyBackColors(QWidget* window)
{
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    // A control without a background role of its own takes its parent's: pin each one's present role first,
    // so that controls of other kinds keep their look under a window or frame that changes its role.
    for (QWidget* control : controls)
        control->setBackgroundRole(control->backgroundRole());
    paintButtonFace(window);
    for (QWidget* control : controls) {
        if (!control->isWindow() && takesBackColor(control))
            paintButtonFace(control);
    }
}

void ApplySkin(QWidget* mainWindow)
{
    const QString skin = skinFile();
    if (!QFileInfo(skin).isFile())
        return;
    ApplyBackColors(mainWindow);
    auto* skinFramework = new SkinFramework(mainWindow);
    skinFramework->setObjectName(u"SkinFramework1"_s);
    skinFramework->LoadSkin(skin, QString());
    skinFramework->setApplyOptions(skinFramework->applyOptions() | SkinFramework::skinChildControls);
    skinFramework->setColorsEnabled(true);
    skinFramework->setStyleEnabled(true);
    skinFramework->ApplyWindow(mainWindow);
}

QIcon programIcon()
{
    // The resources live in a static library: nothing else would pull them into the program.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(u":/icons/quorvane-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

void applyHandCursor(ErrorTrap& trap, int testStep, QWidget* window)
{
    if (trap.test(testStep, [] { return FileExists(handCursorFile()); }))
        trap.step(testStep + 2, [&] { setPointerImage(window, loadCursorFile(handCursorFile())); });
}

void applyDialogLook(ErrorTrap& trap, QWidget* window)
{
    trap.step(100, [&] { ApplyBackColors(window); });
    trap.step(102, [&] { window->setWindowIcon(programIcon()); });
    applyHandCursor(trap, 104, window);
}
