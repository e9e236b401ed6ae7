#pragma once

// Whether the program waits for the user and nothing else: no dialog, menu or long command is open.
// Work the user did not start in this window (a file handed over) waits for such a moment, so that
// its dialog never opens over another one.
bool programIsIdle();
