#pragma once

#include <QString>
#include <cstdio>

// One line to a terminal stream, in the terminal's encoding.
void say(FILE* to, const QString& text);
