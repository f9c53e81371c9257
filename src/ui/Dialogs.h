#pragma once

#include <QString>

// The one door to the user for modal boxes: every message box, input box and beep of the program goes
// through here, so that a test can script the answers.
class Dialogs {
public:
    // Buttons.
    static constexpr int OkOnly = 0;
    static constexpr int OkCancel = 1;
    static constexpr int YesNo = 4;
    // Icons.
    static constexpr int Critical = 16;
    static constexpr int Question = 32;
    static constexpr int Exclamation = 48;
    static constexpr int Information = 64;
    // The second button is the default.
    static constexpr int DefaultButton2 = 256;

    // Answers.
    static constexpr int Ok = 1;
    static constexpr int Cancel = 2;
    static constexpr int Yes = 6;
    static constexpr int No = 7;

    virtual ~Dialogs() = default;

    // style = buttons + icon (+ DefaultButton2); returns Ok, Cancel, Yes or No.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    // The entered text, or an empty string on Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    virtual void beep() = 0;
    // The file chosen to read or to write, or an empty string when the user cancelled. filter is in the
    // file dialog's syntax ("表計算 (*.csv);;すべて (*)"); suggestedName is a bare file name.
    virtual QString openFileName(const QString& caption, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& suggestedName, const QString& filter) = 0;
};
