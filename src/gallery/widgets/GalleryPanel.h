#pragma once

#include "gallery/CoverLoader.h"

#include <QFrame>
#include <array>
#include <memory>

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
//
// A page shows its names and range at once and each cover as soon as it is decoded, on worker threads, while the
// window goes on answering; the pages before and after it are decoded ahead while it is on show. Decoding ahead
// stops when the panel is hidden, so that a page turned to later is read as it is then.
class GalleryPanel final : public QFrame {
    Q_OBJECT
public:
    static constexpr int Slots = 21;

    GalleryPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    // Stops the decoding under way and waits for it.
    ~GalleryPanel() override;

    // Handlers. Slots count from 1.
    void cmdPic_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void imgPIc_Click(int slot);
    void lblName_Click(int slot);

    int GalleryPage() const { return m_GalleryPage; }
    int GalleryPageCount() const { return m_GalleryPageCount; }
    // Every slot of the page shown has its cover, or is known to have none.
    bool coversShown() const { return m_loader->shownComplete(); }
    // Covers are being decoded, for the page shown or ahead of it.
    bool decoding() const { return m_loader->decoding(); }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    // Shows page's range and names, clears the pictures and has the covers decoded, ahead too.
    void showPage(int page);
    void clearSlots();
    void fillName(int slot);
    void showCover(int page, int slot, const QImage& cover);
    // What decoding page takes; an invalid one for a page that does not exist.
    gallery::PageFiles pageFiles(int page) const;
    // The pages most likely turned to from page: the next, then the one before.
    QList<gallery::PageFiles> pagesAround(int page) const;
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
    // The screen's pixels per pixel the covers were decoded for.
    qreal m_coverRatio = 1;
    std::unique_ptr<CoverLoader> m_loader;
};
