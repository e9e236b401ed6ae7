#include "startuploop.h"

#include "ui/main/form1.h"

#include <QApplication>
#include <QTest>

void timeStartupToShownWindow(benchmark::State& state, const std::function<void(Form1&)>& whenShown)
{
    for (auto _ : state) {
        {
            Form1 window;
            window.Form_Load();
            window.show();
            benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
            if (whenShown)
                whenShown(window);
            QApplication::processEvents();
            state.PauseTiming();
            window.close();
        }
        state.ResumeTiming();
    }
}
