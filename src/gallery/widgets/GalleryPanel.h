#pragma once

#include <QFrame>
#include <array>

class AppState;
class ClickableLabel;
class Dialogs;
class ScreenHost;
class QLabel;
class QPushButton;

// fraPic, the cover gallery: the title table as a wall of covers, 21 to a page in three rows of seven, each
// slot the cover of its title with the title over its top. The built page is kept between visits. Reordering
// the titles clears the state's GalleryBuilt, and the next opening builds from page 1; adding or deleting a
// title or importing a cover sets GalleryStale, and the next opening refills the kept page (the page count
// recomputed, the page kept within it).
class GalleryPanel final : public QFrame {
    Q_OBJECT
public:
    static constexpr int Slots = 21;

    GalleryPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);

    // Handlers. Slots count from 1.
    void cmdPic_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void imgPIc_Click(int slot);
    void lblName_Click(int slot);

    int GalleryPage() const { return m_GalleryPage; }
    int GalleryPageCount() const { return m_GalleryPageCount; }

private:
    void buildControls();
    // Shows page's range, clears the slots and fills them one by one, repainting after each.
    void showPage(int page);
    void clearSlots();
    void fillSlot(int slot);
    void jumpToSlot(int slot);

    AppState& m_state;
    ScreenHost& m_host;
    std::array<ClickableLabel*, Slots + 1> m_imgPIc{}; // entries 1..21
    std::array<ClickableLabel*, Slots + 1> m_lblName{};
    std::array<QLabel*, 3> m_lblPicKan{};
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdUp = nullptr;

    qint16 m_GalleryPage = 1;
    qint16 m_GalleryPageCount = 0;
};
