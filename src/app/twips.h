#pragma once

class QString;
class QWidget;

// Window geometry is designed in twips: 15 twips make one device-independent pixel.
constexpr int twips(int value)
{
    return value / 15;
}

// Gives a control its designer name and puts it at its designed place, all in twips.
void placeControl(QWidget* control, const QString& name, int left, int top, int width, int height);
