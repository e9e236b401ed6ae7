#pragma once

#include "importing/xlsxarchive.h"

#include <vector>

// How a number format shows a cell's number.
enum class NumberKind { Number, Date, Time };

// The kind of each cell style of xl/styles.xml, in the order the cells' s attribute counts them. A
// format code with day or year letters shows a date; with hour or second letters a time, unless its
// hours are elapsed ones such as "[h]:mm", which count on past a day; with month letters alone a date.
// Quoted text, escaped characters and bracketed colours, conditions and locales are not read as codes.
std::vector<NumberKind> readCellKinds(XlsxMember styles);
