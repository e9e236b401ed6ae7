#pragma once

#include "repeating/repeatrule.h"

#include <QDate>
#include <QList>
#include <vector>

class Connection;

// One occurrence of a rule: the entry it posts, dated on the occurrence, its amount open to editing.
struct Occurrence
{
    qint64 ruleId = 0;
    Entry entry;
};

// The repeating entries' rules and the record of which occurrences were dealt with, kept in the
// ledger. Every operation throws StoreError.
class RepeatStore
{
public:
    explicit RepeatStore(Connection& connection) : connection_(connection) {}

    // In the order they were added.
    std::vector<RepeatRule> rules() const;
    // Returns the new rule's id. The amount is read as the user types it.
    qint64 add(const RepeatRule& rule) const;
    void update(const RepeatRule& rule) const;
    void setPaused(qint64 ruleId, bool paused) const;
    // The rule goes with its record of occurrences; the entries it posted stay in the ledger.
    void remove(qint64 ruleId) const;

    // The occurrences due by `today` that were neither posted nor skipped, in date order.
    std::vector<Occurrence> dueOccurrences(QDate today) const;
    // Adds the occurrences' entries and records them, all in one transaction. An occurrence recorded
    // already (by another window or process, or of a rule deleted meanwhile) adds nothing. Returns
    // the new entries' ids.
    QList<qint64> post(const std::vector<Occurrence>& occurrences) const;
    // Records the occurrences as dealt with, adding no entry.
    void skip(const std::vector<Occurrence>& occurrences) const;

private:
    Connection& connection_;
};
