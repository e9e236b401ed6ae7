#pragma once

#include <functional>

class QWidget;

// Runs `action` on the next modal window as soon as it is shown (from the event loop of its exec()).
// A modal window still open after a few seconds is closed, so a fault never hangs the suite.
void whenModalOpens(std::function<void(QWidget* modal)> action);
