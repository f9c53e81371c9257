#pragma once

#include "lists/widgets/QrListWindow.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class Dialogs;
class ListPrinter;
class QPushButton;
class UncollectedModel;

// cmdQr ("スマホで見る") on the panel: shown exactly while the uncollected view is, it opens frmQr on the view's
// rows as they are when it is pressed. Nothing is built before that; pressing again replaces the window.
class QrListButton final : public QObject {
    Q_OBJECT
public:
    QrListButton(QWidget* panel, QWidget* view, const QRect& geometry, const UncollectedModel& rows, Dialogs& dialogs,
                 std::function<ListPrinter&()> printer);

    void cmdQr_Click();
    QrListWindow* window() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_panel;
    QWidget* m_view;
    const UncollectedModel& m_rows;
    Dialogs& m_dialogs;
    std::function<ListPrinter&()> m_printer;
    QPushButton* m_button = nullptr;
    QPointer<QrListWindow> m_window;
};
