#pragma once

#include "lists/QrCodeImages.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QStringList>

class Dialogs;
class ListPrinter;
class QLabel;
class QPushButton;

// frmQr: the missing volumes as QR codes, one at a time with "1 / 3", the arrows (also ←, →, PageUp and
// PageDown) and printing, one code per page. The first code is made before the window opens; the others are made
// on worker threads meanwhile, or at once when a page is turned to before its turn.
class QrListWindow final : public QDialog {
    Q_OBJECT
public:
    QrListWindow(QList<QStringList> codes, Dialogs& dialogs, ListPrinter& printer, QWidget* parent = nullptr);

    int page() const { return m_page; }
    int pageCount() const { return int(m_codes.size()); }
    // The code shown, one pixel per module with its quiet zone.
    QImage shownCode() { return m_images.image(m_page); }
    QrCodeImages& codeImages() { return m_images; }
    const QStringList& shownLines() const { return m_codes.at(m_page); }

    void showPage(int index);
    void cmdQrPrev_Click() { showPage(m_page - 1); }
    void cmdQrNext_Click() { showPage(m_page + 1); }
    void cmdQrPrint_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool turnPage(int key);

    QList<QStringList> m_codes;
    QrCodeImages m_images;
    Dialogs& m_dialogs;
    ListPrinter& m_printer;
    int m_page = -1;

    QLabel* m_imgQr = nullptr;
    QLabel* m_lblQrPage = nullptr;
    QLabel* m_lblQrLines = nullptr;
    QPushButton* m_cmdQrPrev = nullptr;
    QPushButton* m_cmdQrNext = nullptr;
};
