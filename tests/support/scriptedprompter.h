#pragma once

#include "app/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records every box instead of showing it and answers input boxes from a queue.
class ScriptedPrompter : public Prompter
{
public:
    struct Message
    {
        QString text;
        QString caption;
        MessageIcon icon;
    };
    struct Question
    {
        QString prompt;
        QString title;
    };

    ScriptedPrompter() : scope_(*this) {}

    void showMessage(const QString& text, const QString& caption, MessageIcon icon) override;
    QString askText(const QString& prompt, const QString& title) override;
    // Recorded as a message; answered from yesNoAnswers (No when none is left).
    bool askYesNo(const QString& text, const QString& caption) override;

    QList<Message> messages;
    QList<Question> questions;
    QStringList answers; // taken from the front; the empty text when none is left
    QList<bool> yesNoAnswers;

    // The texts of the boxes shown so far.
    QStringList texts() const;
    // The error reports only (boxes captioned "Application Error").
    QStringList errorReports() const;

private:
    ScopedPrompter scope_;
};
