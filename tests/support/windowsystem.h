#pragma once

class QWidget;

// What the window system sends the program, delivered the way it does: queued behind the events
// already waiting and counted as the user's doing, so it arrives only when events run, and not
// while a command holds the user's input back.

// The window manager's close of `window`'s window: its title bar's close button, or Alt+F4.
void closeFromWindowManager(QWidget* window);

// A click of the left button in the middle of `widget`.
void clickFromWindowSystem(QWidget* widget);
