#pragma once

#include "store/statements.h"
#include "support/scriptedprompter.h"
#include "ui/main/form1.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

// The main window as the program starts it, on screen: Form_Load makes the ledger in the test's
// HOME from the template and opens the connection on it. Every box shown is kept in `boxes`.
class MainWindowTest : public testing::Test
{
protected:
    void SetUp() override;
    // Adds the entries to the ledger in one batch, then refills the list as a command does after
    // changing the ledger.
    void listEntries(const QList<Entry>& entries);

    ScriptedPrompter boxes;
    Form1 window;
};

// Ticks a row of the list the way a click in its tick box does.
void tick(Form1& window, int row);
void tickAll(Form1& window);

// The Received, Paid and Balance captions of the summary.
QStringList summaryCaptions(const Form1& window);

// The list menu's command with this caption, run as a click on it does.
void runMenuCommand(Form1& window, const QString& caption);
