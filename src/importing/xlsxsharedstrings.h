#pragma once

#include <QByteArray>
#include <QStringList>

// The texts of xl/sharedStrings.xml, which cells of type "s" count from 0.
QStringList readSharedStrings(const QByteArray& xml);
