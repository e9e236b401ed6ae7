#include "support/scriptedprompter.h"

void ScriptedPrompter::showMessage(const QString& text, const QString& caption, MessageIcon icon)
{
    messages.append({text, caption, icon});
}

QString ScriptedPrompter::askText(const QString& prompt, const QString& title)
{
    questions.append({prompt, title});
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

bool ScriptedPrompter::askYesNo(const QString& text, const QString& caption)
{
    messages.append({text, caption, MessageIcon::None});
    return !yesNoAnswers.isEmpty() && yesNoAnswers.takeFirst();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Message& m : messages)
        out.append(m.text);
    return out;
}

QStringList ScriptedPrompter::errorReports() const
{
    QStringList out;
    for (const Message& m : messages)
        if (m.caption == u"Application Error")
            out.append(m.text);
    return out;
}
