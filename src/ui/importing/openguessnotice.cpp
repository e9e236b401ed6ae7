#include "ui/importing/openguessnotice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

using namespace Qt::StringLiterals;

OpenGuessNotice::OpenGuessNotice(const QString& text, const QString& detail, QLabel* caption, QWidget* parent)
    : QFrame(parent), caption_(caption), description_(text + u' ' + detail)
{
    // Dark text on amber whatever the colour scheme, as the preview marks its rows.
    setStyleSheet(u"OpenGuessNotice { background: #ffd666; border: 1px solid #bf8200; border-radius: 3px; }"
                  " QLabel { color: black; background: transparent; }"_s);

    auto* icon = new QLabel(this);
    const int size = fontMetrics().height();
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    auto* words = new QLabel(text, this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 6, 1);
    layout->setSpacing(4);
    layout->addWidget(icon);
    layout->addWidget(words);
    setToolTip(detail);
    setAccessibleName(text);
    setAccessibleDescription(detail);
    hide();
}

void OpenGuessNotice::setOpen(bool open)
{
    setVisible(open);
    const QString description = open ? description_ : QString();
    caption_->setAccessibleDescription(description);
    caption_->buddy()->setAccessibleDescription(description);
}
