#pragma once

#include <benchmark/benchmark.h>
#include <functional>

class Form1;

// Times the main window from its creation to its first paint, as the program starts it, with
// `whenShown` run on it before the paint is waited for; the close is not timed.
void timeStartupToShownWindow(benchmark::State& state, const std::function<void(Form1&)>& whenShown = {});
