#pragma once

#include <QFrame>

class QLabel;

// Beside a setting that the file leaves open, so that the user's region chose it: a warning icon and a
// short text on an amber ground, hard to miss, and the same words in the accessible description of
// the setting and its caption, for screen readers.
class OpenGuessNotice : public QFrame
{
    Q_OBJECT

public:
    // `text` is shown, `detail` says why in the tooltip; `caption` is the setting's label, whose buddy
    // is the setting.
    OpenGuessNotice(const QString& text, const QString& detail, QLabel* caption, QWidget* parent);

    void setOpen(bool open);

private:
    QLabel* caption_;
    QString description_;
};
