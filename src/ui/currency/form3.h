#pragma once

// Form3, the currency option dialog: the currency symbol and whether it stands before or after amounts.
//
//   Label1       instruction above Text1, "(Leave Blank To Set Back To Default)" on its second line
//   Text1        the currency symbol; empty means the regional symbol
//   Frame1       "Currency Symbol" frame holding the two position options
//   Option1      Before Amount
//   Option2      After Amount
//   PushButton2  OK: stores both settings, rebuilds the money format and refills the main list
//   PushButton1  Cancel: closes without storing (so do the close box and Escape)

#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Form3 : public QDialog
{
    Q_OBJECT

public:
    // `refillList` redraws the main window's list and summary after the money format changed.
    // The dialog shows the stored choice as soon as it is constructed.
    explicit Form3(std::function<void()> refillList, QWidget* parent = nullptr);
    ~Form3() override;

    // Escape and the close box end up here; they behave like Cancel.
    void reject() override;

private:
    void buildControls();
    void connectEvents();
    void centreOnScreen();
    void Form_Load();
    void PushButton2_Click();
    void PushButton1_Click();

    std::function<void()> refillList_;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton1 = nullptr;
};
