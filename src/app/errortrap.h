#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <exception>
#include <type_traits>
#include <utility>

// Shows the error report in a warning box captioned "Application Error".
void showErrorReport(const QString& description, const QString& location, int step);

// Runs a procedure's numbered steps: a step that throws is reported with its number and the
// procedure goes on with the next step, so no user action is ever abandoned half-way silently.
// A step the user cancelled (Cancelled) fails without a report.
// Inside a loop, the same failure at the same step is reported once per procedure run.
class ErrorTrap
{
public:
    ErrorTrap(QStringView window, QStringView procedure);

    // Runs one step; false when it failed (and was reported).
    template <class F> bool step(int number, F&& f)
    {
        try {
            std::forward<F>(f)();
            return true;
        } catch (...) {
            report(number, std::current_exception());
            return false;
        }
    }

    // A guarded test: the condition, or true when evaluating it failed, so the guarded step runs.
    template <class F> bool test(int number, F&& condition)
    {
        try {
            return std::forward<F>(condition)();
        } catch (...) {
            report(number, std::current_exception());
            return true;
        }
    }

    // while (condition) body;  A failing head ends the loop after one report.  A body that
    // returns bool ends the loop by returning false (for a step whose failure would repeat forever).
    template <class C, class B> void loop(int headNumber, C&& condition, B&& body)
    {
        for (;;) {
            try {
                if (!condition())
                    return;
            } catch (...) {
                report(headNumber, std::current_exception());
                return;
            }
            ++loopDepth_;
            bool goOn = true;
            if constexpr (std::is_same_v<std::invoke_result_t<B>, bool>)
                goOn = body();
            else
                body();
            --loopDepth_;
            if (!goOn)
                return;
        }
    }

    const QString& location() const { return location_; }
    // How many steps, tests and loop heads have failed so far, each repeat in a loop counted
    // although reported once; a cancelled step is no failure.
    int failures() const { return failures_; }

private:
    void report(int number, std::exception_ptr error);

    QString location_;
    // What a loop body reported already: a loop failing the same way on every row says so once,
    // not a thousand times over.
    QSet<QPair<int, QString>> reportedInLoops_;
    int loopDepth_ = 0;
    int failures_ = 0;
};
