#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QStringList>

class Dialogs;
class ListPrinter;
class QLabel;
class QPushButton;

// frmQr: the missing volumes as QR codes, one at a time with "1 / 3", the arrows (also ←, →, PageUp and
// PageDown) and printing, one code per page. Each code is made when it is first shown.
class QrListWindow final : public QDialog {
    Q_OBJECT
public:
    QrListWindow(QList<QStringList> codes, Dialogs& dialogs, ListPrinter& printer, QWidget* parent = nullptr);

    int page() const { return m_page; }
    int pageCount() const { return int(m_codes.size()); }
    // The code shown, one pixel per module with its quiet zone.
    QImage shownCode() const { return m_images.value(m_page); }
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
    QList<QImage> m_images;
    Dialogs& m_dialogs;
    ListPrinter& m_printer;
    int m_page = -1;

    QLabel* m_imgQr = nullptr;
    QLabel* m_lblQrPage = nullptr;
    QLabel* m_lblQrLines = nullptr;
    QPushButton* m_cmdQrPrev = nullptr;
    QPushButton* m_cmdQrNext = nullptr;
};
