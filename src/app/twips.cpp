#include "app/twips.h"

#include <QWidget>

void placeControl(QWidget* control, const QString& name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    control->setGeometry(twips(left), twips(top), twips(width), twips(height));
}
