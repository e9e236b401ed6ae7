#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QProgressDialog;

// Acts on the next long command's progress dialog the way a user does: the command's first turn of
// events is held past the dialog's delay (so the dialog shows however quick the machine), then
// `act` runs as soon as the dialog is on screen.
class ProgressShown : public QObject
{
public:
    // `openedFirst`: a window the command shows before its long part; the hold waits until it is gone.
    explicit ProgressShown(std::function<void(QProgressDialog&)> act, QObject* openedFirst = nullptr);
    // Whether the dialog showed and was acted on: a test that did nothing proves nothing.
    bool acted() const { return acted_; }

private:
    void poll();

    std::function<void(QProgressDialog&)> act_;
    QPointer<QObject> openedFirst_;
    QTimer poll_;
    bool stalled_ = false;
    bool acted_ = false;
};

// Clicks Cancel on the next long command's progress dialog as soon as it shows.
class ProgressCancel : public ProgressShown
{
public:
    explicit ProgressCancel(QObject* openedFirst = nullptr);
    bool pressed() const { return acted(); }
};
