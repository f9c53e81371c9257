#pragma once

#include "ui/ScreenHost.h"
#include "ui/logic/AppState.h"

#include <QMainWindow>
#include <memory>

class CoverImportPanel;
class Dialogs;
class GalleryPanel;
class FieldEditor;
class HelpViewer;
class MainPage;
class MaintenancePanel;
class RankPanel;
class MemoPanel;
class SearchPanel;
class SortPanel;
class StatisticsPanel;
class StatusListPanel;
class TitleCommands;
class UndoActions;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QPushButton;

// frmMain: the button row, always visible, over seven screen panels (and the statistics screen, built when first
// asked for) of which exactly one is shown.
// Construction runs the start-up in the current folder; the start-up's messages (a damaged collection file,
// the help tour) are shown when the window is first shown.
class MainWindow final : public QMainWindow, public ScreenHost {
    Q_OBJECT
public:
    explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppState& state() { return *m_state; }
    MainPage* mainPage() const { return m_fraMain; }
    TitleCommands* titleCommands() const { return m_commands; }
    FieldEditor* fieldEditor() const { return m_editor; }
    MemoPanel* memoPanel() const { return m_fraMemo; }
    SortPanel* sortPanel() const { return m_fraIchiran; }
    SearchPanel* searchPanel() const { return m_fraKensaku; }
    UndoActions* undoActions() const { return m_undo; }
    void setHelpViewer(std::unique_ptr<HelpViewer> viewer);
    // A word about where the program works, shown as the first box when the window is first shown.
    void setStartNotice(const QString& notice) { m_startNotice = notice; }

    // Rereads the collection file into the title table and refills the lists built from it. Returns the
    // problem of a damaged file (already locked against writes), or an empty string.
    QString LoadTitleTable() override;
    void refillTitleLists() override;
    void ReadSettings();
    void HidePanels() override;
    void ShowTourMessage() override;
    void showMainPage(int index) override;
    void refreshMainPage() override;
    void showFavourites() override;
    void showStatusList() override;
    void showStatistics() override;
    void endProgram() override;

    // Handlers.
    void cmdMain_Click();
    void cmdHelp_Click();
    void cmdEnd_Click();
    void chkHelp_Click();

    // The first showing maps the window and then runs the start-up's messages, so that they appear over the
    // drawn window and have all been answered when show() returns.
    void setVisible(bool visible) override;

private:
    void buildButtonRow();
    void buildPanels();
    void Form_Load();
    // Backups before changes, and reading the files again when another program changed one this program was
    // about to rewrite.
    void installSafeguards();
    void reloadChangedFiles();

    Dialogs& m_dialogs;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<HelpViewer> m_helpViewer;
    QString m_loadProblem;
    QString m_startNotice;
    QString m_restoreNote;
    bool m_shownOnce = false;
    bool m_reloadQueued = false;

    TitleCommands* m_commands = nullptr;
    UndoActions* m_undo = nullptr;
    FieldEditor* m_editor = nullptr;
    MemoPanel* m_fraMemo = nullptr;
    QPushButton* m_cmdDel = nullptr;
    QCheckBox* m_chkHelp = nullptr;
    MainPage* m_fraMain = nullptr;
    StatusListPanel* m_fraList = nullptr;
    SortPanel* m_fraIchiran = nullptr;
    SearchPanel* m_fraKensaku = nullptr;
    RankPanel* m_fraRank = nullptr;
    GalleryPanel* m_fraPic = nullptr;
    MaintenancePanel* m_fraMaster = nullptr;
    CoverImportPanel* m_fraImport = nullptr;
    // Built when first shown.
    StatisticsPanel* m_fraToukei = nullptr;
};
