#include "app/skinframework.h"

#include "base/failure.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// One style object serves every skinned widget; it lives as long as the application, which outlives the
// windows (a widget does not own the style it is given).
QStyle* skinStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(u"Fusion"_s);
        ensure(style != nullptr, u"The skin's drawing style \"Fusion\" is not available."_s);
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

SkinFramework::SkinFramework(QObject* parent) : QObject(parent) {}

void SkinFramework::LoadSkin(const QString& skinPath, const QString& /*section: the file holds one*/)
{
    skinPath_ = skinPath;
}

int SkinFramework::applyOptions()
{
    return options_;
}

void SkinFramework::setApplyOptions(int options)
{
    options_ = options;
}

void SkinFramework::setColorsEnabled(bool enabled)
{
    colorsEnabled_ = enabled;
}

void SkinFramework::setStyleEnabled(bool enabled)
{
    styleEnabled_ = enabled;
}

void SkinFramework::ApplyWindow(QWidget* window)
{
    ensure(!skinPath_.isEmpty(), u"No skin was loaded before it was applied to a window."_s);
    QList<QWidget*> targets{window};
    if (options_ & skinChildControls)
        targets += window->findChildren<QWidget*>();
    if (styleEnabled_) {
        QStyle* style = skinStyle();
        for (QWidget* widget : targets)
            widget->setStyle(style);
    }
    // The skin's colours replace those the window and its controls were given.
    if (colorsEnabled_) {
        const QPalette palette = skinPalette();
        for (QWidget* widget : targets)
            widget->setPalette(palette);
    }
}

QPalette SkinFramework::skinPalette()
{
    const QColor face(0xc8, 0xd2, 0xdd);
    const QColor surface(0xd6, 0xde, 0xe7);
    const QColor ink(0x1e, 0x2b, 0x38);
    QPalette palette(face, surface);
    palette.setColor(QPalette::Base, QColor(0xf8, 0xfa, 0xfc));
    palette.setColor(QPalette::AlternateBase, QColor(0xe9, 0xee, 0xf3));
    palette.setColor(QPalette::Highlight, QColor(0x4a, 0x6a, 0x8c));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0xfd, 0xfd, 0xf4));
    // Disabled texts keep the greyed colours the palette derived from the face.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, ink);
    }
    return palette;
}
