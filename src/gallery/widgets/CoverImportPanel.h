#pragma once

#include <QFrame>
#include <QImage>

#include "gallery/CoverImport.h"

class AppState;
class Dialogs;
class DirectoryList;
class FileList;
class MainPage;
class ScreenHost;
class QComboBox;

// fraPicget, the cover import panel over the main page: a drive list (the mounted volumes and the home
// folder), a folder list and a list of the picture files in that folder. A click on a file previews it in the
// cover's place; "画像を取り込む" copies it in as the cover of the title shown. A picture file dropped on the
// cover, or a picture pasted there, is imported the same way without the panel. The lists are filled when the
// panel first opens, in the folder the program started in, and keep the folder last browsed to for the whole run.
class CoverImportPanel final : public QFrame {
    Q_OBJECT
public:
    CoverImportPanel(MainPage& page, AppState& state, Dialogs& dialogs, ScreenHost& host);

    // Handlers.
    void imgGazou_Click();
    void drvZukei_Moto_Change();
    void dirZukei_Moto_Change();
    void filZukei_Moto_Click();
    void cmdFileCopy_Click();
    void cmdYame_Click();

    // A picture file given on the cover (dropped, or pasted as a file) and a pasted picture: imported as if
    // chosen in the panel. A pasted picture is saved as "<title>.jpg".
    void importGivenFile(const QString& path);
    void importGivenImage(const QImage& image);

    // Fills the drive list anew and shows the drive of the current folder in it.
    void refreshDrives();

private:
    void buildControls();
    // Fills the lists at the panel's first opening, and reads the file list's folder again at every other.
    void fillLists();
    // The title of the record shown on the main page, or an empty string.
    QString shownTitle() const;
    // The import of a file or a pasted picture once the source is known. True when the panel's work is done.
    bool importSource(const QString& path);
    bool importPicture(const QImage& image);
    // Asks the overwrite question through the dialogs.
    coverimport::Confirm overwriteQuestion();
    // Makes the files an import changes one undo step.
    coverimport::Wrap asUndoStep();
    // Reports how an import ended; true when the cover was imported.
    bool finish(const coverimport::Outcome& outcome);
    void imported();
    void showDriveOf(const QString& folder);

    MainPage& m_page;
    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    QComboBox* m_drvZukei_Moto = nullptr;
    DirectoryList* m_dirZukei_Moto = nullptr;
    FileList* m_filZukei_Moto = nullptr;
    bool m_listsFilled = false;
};
