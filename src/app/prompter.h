#pragma once

#include <QString>

enum class MessageIcon { None, Warning };

// The one seam for modal message and input boxes, so tests can answer them.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual void showMessage(const QString& text, const QString& caption, MessageIcon icon) = 0;
    // The typed answer; the empty text when the user cancels.
    virtual QString askText(const QString& prompt, const QString& title) = 0;
    // A question answered with Yes or No; No is the default, so a stray Enter changes nothing.
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;
};

// The prompter in force: the Qt one unless a ScopedPrompter replaced it.
Prompter& prompter();

// Installs another prompter for its lifetime.
class ScopedPrompter
{
public:
    explicit ScopedPrompter(Prompter& replacement);
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* previous_;
};

// A plain message box: OK only, no icon, the application title as caption.
void MsgBox(const QString& text);
// An input box with an empty answer field; the empty text when cancelled.
QString InputBox(const QString& prompt, const QString& title);
