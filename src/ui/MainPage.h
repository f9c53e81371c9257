#pragma once

#include <QFrame>
#include <QImage>
#include <array>

class AppState;
class CoverLabel;
class Dialogs;
class HiddenTextBox;
class VolumeGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;

// The main page (fraMain): one title per page with its fields, rating face, volume grid, cover picture, memo
// and page counter. It always shows the title table as ShowTitle last saw it; the page position is the page
// scroll bar's value (CurrentIndex).
class MainPage final : public QFrame {
    Q_OBJECT
public:
    MainPage(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    // Refills the title, author, magazine and first-issue lists and the membership boxes from the state's
    // selection lists, and sets the page scroll bar's maximum (TitleCount, or 1 for an empty table).
    void applySelectionLists();
    // Empties the design-time texts of the field boxes.
    void clearFieldTexts();
    // Fills the fixed lists of the volume-count, split and rating boxes.
    void fillFixedLists();

    int currentIndex() const;
    // Moves the page scroll bar; the page follows through hsbData_Change when the value changes.
    void setCurrentIndex(int index);

    void ShowTitle();
    void ReadVolumeFile();
    // Shows exactly the one face of the three.
    void showFace(int face);
    // The page of an empty collection: no volume cells, the scroll bar at 1, empty volume-count and split boxes.
    void showEmptyCollection();

    // Handlers.
    void hsbData_Change();
    void cboName_Click(int listPosition);
    void lblKan_Click(int index);
    void cmdCmnt_Click();

    // The memo panel (fraMemo) that cmdCmnt opens over the page; the page places it and shows it on demand.
    void attachMemoPanel(QWidget* panel);
    // Shows a memo (lines joined with CR LF) in the memo label under the cover.
    void showMemoLabel(const QString& memo);

    // The cover import panel (fraPicget) that a click on the cover opens over the page; it replaces the page's
    // own empty stand-in of that name.
    void attachCoverImportPanel(QWidget* panel);
    // Shows a picture in the cover's place (shrunk to fit) until the page next shows a title; a null image
    // leaves the cover as it is.
    void previewCover(const QImage& image);
    // The size of the cover's place, in device-independent pixels.
    QSize coverSize() const;
    // Shows the cover the lookup finds for title (the last of its .jpg, .gif and .bmp that loads, else
    // NOPIC.JPG), or none.
    void showCover(const QString& title);

    VolumeGrid* volumeGrid() const { return m_grid; }

signals:
    // The page now shows the memo of the record shown, or an empty memo.
    void memoShown(const QString& memo);
    // The cover picture was clicked.
    void imgGazou_Click();
    // A file was dropped on the cover or pasted there; a picture was pasted there.
    void coverFileGiven(const QString& path);
    void coverImageGiven(const QImage& image);

private:
    void buildFields();
    void buildPictureAndMemo();
    void showMemo(const QString& title);

    AppState& m_state;
    Dialogs& m_dialogs;

    QComboBox* m_cboName = nullptr;
    QComboBox* m_cboKansu = nullptr;
    QComboBox* m_cboSyo = nullptr;
    QComboBox* m_cboSakusya = nullptr;
    QComboBox* m_cboKeisai = nullptr;
    QComboBox* m_cboHyouka = nullptr;
    QComboBox* m_cboKoukai = nullptr;
    QComboBox* m_cboKoukai3 = nullptr;
    std::array<QLabel*, 3> m_imgFace1{};
    std::array<HiddenTextBox*, 6> m_txtD{};
    QLineEdit* m_txtStHan = nullptr;
    QLineEdit* m_txtEdHan = nullptr;
    VolumeGrid* m_grid = nullptr;
    CoverLabel* m_imgGazou = nullptr;
    QLabel* m_lblMemo = nullptr;
    QWidget* m_fraMemo = nullptr;
    QWidget* m_fraPicget = nullptr;
    QLabel* m_lblKensu = nullptr;
    QScrollBar* m_hsbData = nullptr;
};
