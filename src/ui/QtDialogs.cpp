#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

int QtDialogs::messageBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (style & 0xF0) {
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }

    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    int firstAnswer = Ok;
    int secondAnswer = Cancel;
    switch (style & 0x0F) {
    case OkCancel:
        first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        second = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    case YesNo:
        first = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        second = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        firstAnswer = Yes;
        secondAnswer = No;
        break;
    default:
        first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    }
    box.setDefaultButton((style & DefaultButton2) && second ? second : first);
    box.setEscapeButton(second ? second : first);
    box.exec();
    if (second && box.clickedButton() == second)
        return secondAnswer;
    if (box.clickedButton() == first)
        return firstAnswer;
    // Closed through the window frame: the box's escape answer.
    return second ? secondAnswer : firstAnswer;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

namespace {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace

QString QtDialogs::openFileName(const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, caption, documentsFolder(), filter);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& suggestedName, const QString& filter)
{
    // The dialog asks before replacing a file that exists.
    return QFileDialog::getSaveFileName(m_parent, caption, QDir(documentsFolder()).filePath(suggestedName), filter);
}
