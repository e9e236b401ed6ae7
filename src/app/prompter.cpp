#include "app/prompter.h"

#include "base/apptitle.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class QtPrompter final : public Prompter
{
public:
    void showMessage(const QString& text, const QString& caption, MessageIcon icon) override
    {
        QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    QString askText(const QString& prompt, const QString& title) override
    {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? answer : QString();
    }

    bool askYesNo(const QString& text, const QString& caption) override
    {
        return QMessageBox::question(QApplication::activeWindow(), caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
};

Prompter*& current()
{
    static QtPrompter qtPrompter;
    static Prompter* installed = &qtPrompter;
    return installed;
}

} // namespace

Prompter& prompter()
{
    return *current();
}

ScopedPrompter::ScopedPrompter(Prompter& replacement) : previous_(current())
{
    current() = &replacement;
}

ScopedPrompter::~ScopedPrompter()
{
    current() = previous_;
}

void MsgBox(const QString& text)
{
    prompter().showMessage(text, appTitle(), MessageIcon::None);
}

QString InputBox(const QString& prompt, const QString& title)
{
    return prompter().askText(prompt, title);
}
