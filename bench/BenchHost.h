#pragma once

#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"

#include <QByteArray>
#include <QEvent>
#include <QPoint>
#include <QString>
#include <memory>

class AppState;
class MainWindow;
class QWidget;

// What every benchmark shares to drive the program: the window or a panel hosted on its own, the boxes answered
// without a user, and the plain file and mouse steps the floors and drags are made of.
namespace bench {

// Lets the window run what is pending: the repaint after a step.
void repaint();

QByteArray readAll(const QString& path);
// Writes bytes the way every save does: a staging file, flushed and checked, renamed over the old one.
bool writeAtomically(const QString& path, const QByteArray& bytes);
double atomicWriteMs(const QString& path, const QByteArray& bytes);

// A plain mouse event at pos of widget; held is the buttons down after it.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons held);

// Answers every box at once: a Yes/No question with questionAnswer, every other box with OK, an input box with
// an empty text, a file dialog with fileAnswer. Counts them, so that a box no step should show is noticed.
class BenchDialogs final : public Dialogs {
public:
    int questionAnswer = No;

    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    void beep() override {}
    // File dialogs answer the path set (empty: cancelled) without being counted.
    QString openFileName(const QString&, const QString&) override { return fileAnswer; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return fileAnswer; }
    QString fileAnswer;

    int boxes() const { return m_boxes; }
    // The boxes that were not Yes/No questions.
    int otherBoxes() const { return m_otherBoxes; }
    QString lastText() const { return m_lastText; }
    // Forgets the boxes counted so far; the answer stays.
    void reset()
    {
        m_boxes = 0;
        m_otherBoxes = 0;
        m_lastText.clear();
    }

private:
    int m_boxes = 0;
    int m_otherBoxes = 0;
    QString m_lastText;
};

// The host of a panel driven in a window of its own: hiding the panels hides it, the main page is never shown,
// a reload reads the collection into the state (when there is one) and updates its lists as the window does,
// and ending the program is counted.
class PanelHost final : public ScreenHost {
public:
    explicit PanelHost(AppState* state = nullptr);
    ~PanelHost() override;
    QWidget* panel = nullptr;
    int ends = 0;

    // A window of the main window's size, for the panel to be made in.
    QWidget* window();
    // Makes panel, made in window(), the panel hosted, fills the window with it, shows it and paints it once.
    void showInWindow(QWidget* shown);

    void HidePanels() override;
    void ShowTourMessage() override {}
    void showMainPage(int) override { HidePanels(); }
    QString LoadTitleTable() override;
    void endProgram() override { ++ends; }
    // Loads the collection into the state: empty when it loaded whole, count titles, else why not.
    QString loadWhole(int count);

private:
    AppState* m_state;
    std::unique_ptr<QWidget> m_window;
};

// The main window started in folder, made the current folder for the purpose, shown and painted once; the
// folder the process was in is current again when it goes.
class WindowInFolder final {
public:
    WindowInFolder(const QString& folder, Dialogs& dialogs);
    ~WindowInFolder();
    WindowInFolder(const WindowInFolder&) = delete;
    WindowInFolder& operator=(const WindowInFolder&) = delete;

    MainWindow& window() const { return *m_window; }
    MainWindow* operator->() const { return m_window.get(); }
    // Milliseconds from the construction up to show(), and up to the first page painted.
    double constructedMs() const { return m_constructedMs; }
    double shownMs() const { return m_shownMs; }

private:
    QString m_previousFolder;
    std::unique_ptr<MainWindow> m_window;
    double m_constructedMs = 0;
    double m_shownMs = 0;
};

} // namespace bench
