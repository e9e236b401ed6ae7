#pragma once

class QIcon;
class QWidget;

// Gives the window and its option buttons, check boxes, frames and labels the desktop's button-face
// background. Other controls keep their own look.
void ApplyBackColors(QWidget* window);

// Only when the skin file lies beside the program as a plain file: the main window's background colours as
// ApplyBackColors gives them, then the skin. Without the file nothing changes. Throws when the skin fails.
void ApplySkin(QWidget* mainWindow);

// The program icon that every window shows.
QIcon programIcon();

class ErrorTrap;

// The entry window's and the currency dialog's first load steps: ApplyBackColors (100), the program
// icon (102) and, when the hand cursor file lies beside the program, its picture (104, 106).
void applyDialogLook(ErrorTrap& trap, QWidget* window);

// Loads the hand cursor file as the window's custom pointer image when it exists (steps `testStep` and
// `testStep` + 2 of the caller).
void applyHandCursor(ErrorTrap& trap, int testStep, QWidget* window);
