#pragma once

#include <QObject>
#include <QPalette>
#include <QString>

class QWidget;

// The main window's skin: the Fusion style and a calm blue-grey palette of its own. It is switched on only
// by the skin file; it takes the file's path but keeps its looks in code.
class SkinFramework : public QObject
{
    Q_OBJECT

public:
    // Bits of applyOptions().
    enum ApplyOption { skinChildControls = 0x1 };

    explicit SkinFramework(QObject* parent = nullptr);

    // The skin file, and an optional section of it ("" for the default one).
    void LoadSkin(const QString& skinPath, const QString& section);
    // Which parts of a window the skin reaches (ApplyOption bits); by default the window alone.
    int applyOptions();
    void setApplyOptions(int options);
    // Whether the skin gives its palette / its drawing style to the windows it is applied to.
    void setColorsEnabled(bool enabled);
    void setStyleEnabled(bool enabled);
    // Skins one window. Throws when no skin was loaded or its style is missing.
    void ApplyWindow(QWidget* window);

    static QPalette skinPalette();

private:
    QString skinPath_;
    int options_ = 0;
    bool colorsEnabled_ = false;
    bool styleEnabled_ = false;
};
