#pragma once

#include "store/entry.h"

#include <QDate>
#include <QString>
#include <vector>

// The values are the ones the ledger stores.
enum class RepeatUnit : quint8 { Days = 1, Weeks = 2, Months = 3, Years = 4 };
enum class RepeatEnd : quint8 { Never = 0, OnDate = 1, AfterCount = 2 };

// An entry that comes back on a schedule.
struct RepeatRule
{
    // For months and years: the month's last day rather than a numbered one.
    static constexpr int lastDayOfMonth = 0;

    qint64 id = 0; // 0 until the ledger has given it one
    Entry entry;   // what each occurrence posts; its own date is not used
    RepeatUnit unit = RepeatUnit::Months;
    int every = 1;
    // For months and years, 1..31 or lastDayOfMonth; a day past a month's end falls on its last day.
    int dayOfMonth = lastDayOfMonth;
    // For years the month comes from the start.
    QDate start;
    RepeatEnd end = RepeatEnd::Never;
    QDate endDate; // the last day an occurrence may fall on
    int endCount = 0;
    bool paused = false;
};

// Why the rule cannot be kept, or the empty text.
QString whyInvalid(const RepeatRule& rule);

// Every occurrence from the start up to and including `upTo`, in order, as far as the rule's end allows;
// whether the rule is paused does not matter here. None for an invalid rule.
std::vector<QDate> occurrencesUpTo(const RepeatRule& rule, QDate upTo);

// The first `count` occurrences on or after `from`, however far ahead they lie; fewer when the rule
// ends before.
std::vector<QDate> nextOccurrences(const RepeatRule& rule, QDate from, size_t count);

// The occurrences that are due by `today`: none while the rule is paused. Those that fell within a
// pause are due again once it ends, for the user to post or skip.
std::vector<QDate> dueDates(const RepeatRule& rule, QDate today);
