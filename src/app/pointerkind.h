#pragma once

class QCursor;
class QWidget;

// A window's pointer kind: 0 the default arrow, 11 the hourglass, 99 its custom (hand) image.
enum PointerKind { pointerDefault = 0, pointerHourglass = 11, pointerCustom = 99 };

int pointerKind(const QWidget* window);
void setPointerKind(QWidget* window, int kind);
// The image kind 99 shows; without one the hand is Qt's pointing hand.
void setPointerImage(QWidget* window, const QCursor& image);
