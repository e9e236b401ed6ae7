#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A statement with its quoted texts lifted out: `shape` holds a '?' where each text stood, `texts`
// the texts themselves (doubled apostrophes made single again). Statements that differ only in
// their texts, such as one insert per entry, then share one compiled form.
struct LiftedStatement
{
    QString shape;
    QStringList texts;
};
LiftedStatement liftTexts(QStringView sql);
