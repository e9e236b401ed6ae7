#pragma once

// Marks a failure that is no fault of the program but a limit the user meets, such as a ledger they
// may only read: the error trap says it in a plain message box, not as an error report.
class PlainRefusal
{
public:
    virtual ~PlainRefusal() = default;
};
