#pragma once

#include <QLineEdit>

class AppState;
class Dialogs;
class MainPage;

// The main page's box for a typed run of volumes (txtQuickKan): Enter marks the listed volumes of the shown
// title collected, Shift+Enter marks them missing. The numbers are those on the volume labels. A list that
// names a volume not shown, or text that is no list, changes nothing and a box says what could not be used;
// a good list is one write of the volume file and one undo step, and the box empties.
class QuickVolumeEntry final : public QLineEdit {
    Q_OBJECT
public:
    QuickVolumeEntry(AppState& state, Dialogs& dialogs, MainPage& page);

    // Applies the typed list to the shown title; missing marks the volumes missing, else collected.
    void enter(bool missing);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppState& m_state;
    Dialogs& m_dialogs;
    MainPage& m_page;
};
