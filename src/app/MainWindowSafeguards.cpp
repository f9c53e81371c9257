#include "app/MainWindow.h"

#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/logic/Safeguards.h"

#include <QApplication>
#include <QTimer>

void MainWindow::installSafeguards()
{
    // Installed after the start-up, which may create an empty collection file: that is no change of the day.
    m_state->store.folder().setBeforeChange([this] { safeguards::beforeChange(*m_state, m_dialogs); });
    m_state->store.setOutsideChangeHandler([this](const QString&) {
        // The operation that was refused ends first (it puts its memory back and tells the user); then the files
        // are read again.
        if (m_reloadQueued)
            return;
        m_reloadQueued = true;
        QTimer::singleShot(0, this, &MainWindow::reloadChangedFiles);
    });
}

void MainWindow::reloadChangedFiles()
{
    // Not under the box that tells about the change: its operation is still running.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(100, this, &MainWindow::reloadChangedFiles);
        return;
    }
    m_reloadQueued = false;
    AppState& s = *m_state;
    const QString problem = LoadTitleTable();
    s.favourites = s.store.readRanking();
    s.stale.setAll();
    s.GalleryStale = true;
    const int index = std::clamp(m_fraMain->currentIndex(), 1, std::max(1, s.titles.count()));
    showMainPage(index);
    m_fraMain->ShowTitle();
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データファイルの異常"));
}
