#pragma once

#include "repeating/repeatrule.h"

#include <QString>

// A short English text for the list of rules: "Every month on the 31st", "Every 2 weeks".
QString describe(const RepeatRule& rule);
