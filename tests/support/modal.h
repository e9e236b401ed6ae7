#pragma once

#include <chrono>
#include <functional>

class QWidget;

// Runs `action` on the next modal window as soon as it is shown (from the event loop of its exec()),
// if one shows within `patience`. A modal window still open a few seconds after `action` is closed,
// so a fault never hangs the suite.
void whenModalOpens(std::function<void(QWidget* modal)> action,
                    std::chrono::milliseconds patience = std::chrono::seconds(5));
