#pragma once

#include <QList>

class QWidget;

// Switches the window's pointer kind as the mouse moves: the hand (kind 99) over `handControls`, the arrow
// (kind 0) over the window's bare surface and over `arrowControls`. Over any other control the kind stays as
// it was, and nothing changes it while the window shows the hourglass (kind 11). A list or text box counts
// with all its parts (viewport, header, scroll bars); a frame only where none of its own controls lies.
// The hand controls show the window's pointer instead of one of their own.
void installPointerRule(QWidget* window, const QList<QWidget*>& handControls, const QList<QWidget*>& arrowControls);
