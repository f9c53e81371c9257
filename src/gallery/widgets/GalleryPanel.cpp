#include "gallery/widgets/GalleryPanel.h"

#include "gallery/CoverPictures.h"
#include "gallery/GalleryPages.h"
#include "ui/ClickableLabel.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHideEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

// Geometry in twips.
constexpr int PictureWidth = 1305;
constexpr int PictureHeight = 2040;
constexpr int ColumnLefts[gallery::SlotsPerRow] = {225, 1800, 3375, 4950, 6525, 8100, 9675};
constexpr int RowTops[3] = {405, 2760, 5130};
constexpr int NameWidth = 1425;
constexpr int NameHeight = 555;
constexpr int NameAbovePicture = 180;
constexpr int RangeTop = 7200;
constexpr int RangeHeight = 300;
constexpr int PagingButtonLeft = 11310;
constexpr int PagingButtonWidth = 390;
constexpr int PagingButtonHeight = 3240;

// An arrow drawn for the paging buttons, pointing up or down, on a transparent background.
QPixmap arrowPicture(bool up, QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    QPainterPath arrow;
    // A head over half the height and a shaft a third as wide as the head.
    arrow.moveTo(w / 2, 0);
    arrow.lineTo(w, h * 0.5);
    arrow.lineTo(w * 2 / 3, h * 0.5);
    arrow.lineTo(w * 2 / 3, h);
    arrow.lineTo(w / 3, h);
    arrow.lineTo(w / 3, h * 0.5);
    arrow.lineTo(0, h * 0.5);
    arrow.closeSubpath();
    if (!up) {
        painter.translate(0, h);
        painter.scale(1, -1);
    }
    painter.setPen(QPen(QColor(40, 70, 140), 1));
    painter.setBrush(QColor(90, 130, 210));
    painter.drawPath(arrow);
    return pixmap;
}

} // namespace

GalleryPanel::GalleryPanel(AppState& state, Dialogs& /*dialogs*/, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_host(host), m_loader(std::make_unique<CoverLoader>())
{
    setObjectName(QStringLiteral("fraPic"));
    setFont(twips::uiFont());
    buildControls();
    connect(m_loader.get(), &CoverLoader::coverReady, this, &GalleryPanel::showCover);
    connect(m_loader.get(), &CoverLoader::pageComplete, this, [this](int page) {
        if (page == m_GalleryPage)
            unsetCursor();
    });
    hide();
}

GalleryPanel::~GalleryPanel()
{
    // Before the slots go: no cover may arrive for them, and no decode outlives the panel.
    m_loader.reset();
}

void GalleryPanel::buildControls()
{
    for (int k = 1; k <= Slots; ++k) {
        const int left = ColumnLefts[(k - 1) % gallery::SlotsPerRow];
        const int top = RowTops[(k - 1) / gallery::SlotsPerRow];

        auto* picture = new ClickableLabel(this);
        picture->setObjectName(QStringLiteral("imgPIc_%1").arg(k));
        picture->setGeometry(twips::rect(left, top, PictureWidth, PictureHeight));
        picture->setAlignment(Qt::AlignCenter);
        connect(picture, &ClickableLabel::clicked, this, [this, k] { imgPIc_Click(k); });
        m_imgPIc[size_t(k)] = picture;

        auto* name = new ClickableLabel(this);
        name->setObjectName(QStringLiteral("lblName_%1").arg(k));
        name->setGeometry(twips::rect(left, top - NameAbovePicture, NameWidth, NameHeight));
        name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        name->setWordWrap(true);
        name->setTextFormat(Qt::PlainText);
        name->setFont(twips::uiFont(9));
        // The name lies over the top of its cover, readable on any picture yet letting the cover show through.
        name->setStyleSheet(QStringLiteral("background-color: rgba(255, 255, 240, 200); color: black;"));
        name->setAutoFillBackground(false);
        connect(name, &ClickableLabel::clicked, this, [this, k] { lblName_Click(k); });
        m_lblName[size_t(k)] = name;
    }
    // Names over pictures wherever they overlap, including the next row's names under a cover's foot.
    for (int k = 1; k <= Slots; ++k)
        m_lblName[size_t(k)]->raise();

    const struct {
        int left;
        int width;
        Qt::Alignment alignment;
        QString text;
    } range[3] = {
        {9375, 900, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1")},
        {10725, 900, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("21")},
        {10275, 450, Qt::AlignCenter, QStringLiteral("～")},
    };
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(range[i].text, this);
        label->setObjectName(QStringLiteral("lblPicKan_%1").arg(i));
        label->setGeometry(twips::rect(range[i].left, RangeTop, range[i].width, RangeHeight));
        label->setAlignment(range[i].alignment);
        label->setFont(twips::uiFont(11));
        m_lblPicKan[size_t(i)] = label;
    }

    const QSize arrowSize(twips::toPixels(PagingButtonWidth) - 8, twips::toPixels(PagingButtonHeight) / 4);
    const qreal ratio = devicePixelRatioF();
    m_cmdDown = new QPushButton(this);
    m_cmdDown->setObjectName(QStringLiteral("cmdDown"));
    m_cmdDown->setGeometry(twips::rect(PagingButtonLeft, 375, PagingButtonWidth, PagingButtonHeight));
    m_cmdDown->setIcon(QIcon(arrowPicture(true, arrowSize, ratio)));
    m_cmdDown->setIconSize(arrowSize);
    m_cmdDown->setToolTip(QStringLiteral("前の２１作品を表示します"));
    connect(m_cmdDown, &QPushButton::clicked, this, &GalleryPanel::cmdDown_Click);

    m_cmdUp = new QPushButton(this);
    m_cmdUp->setObjectName(QStringLiteral("cmdUp"));
    m_cmdUp->setGeometry(twips::rect(PagingButtonLeft, 3900, PagingButtonWidth, PagingButtonHeight));
    m_cmdUp->setIcon(QIcon(arrowPicture(false, arrowSize, ratio)));
    m_cmdUp->setIconSize(arrowSize);
    m_cmdUp->setToolTip(QStringLiteral("次の２１作品を表示します"));
    connect(m_cmdUp, &QPushButton::clicked, this, &GalleryPanel::cmdUp_Click);
}

void GalleryPanel::cmdPic_Click()
{
    if (!isHidden())
        return;
    m_host.HidePanels();
    const int titleCount = m_state.titles.count();

    if (m_state.GalleryBuilt && !m_state.GalleryStale) {
        show();
        m_loader->decodeAhead(pagesAround(m_GalleryPage));
        letWindowRepaint();
        return;
    }

    // The titles or their covers may have changed since anything was decoded.
    m_loader->forget();
    unsetCursor();
    if (m_state.GalleryBuilt) {
        // Titles were added, deleted or given a cover since the page was filled: the same page, filled anew.
        show();
        m_state.GalleryStale = false;
        m_GalleryPageCount = qint16(gallery::pageCount(titleCount));
        if (titleCount == 0) {
            m_state.GalleryBuilt = false;
            m_GalleryPage = 1;
            showPage(1);
            return;
        }
        showPage(gallery::keptPage(m_GalleryPage, m_GalleryPageCount));
    } else {
        m_GalleryPage = 1;
        m_lblPicKan[0]->setText(gallery::firstNumberText(1));
        m_lblPicKan[1]->setText(gallery::lastNumberText(1));
        clearSlots();
        show();
        letWindowRepaint();
        m_GalleryPageCount = qint16(gallery::pageCount(titleCount));
        m_state.GalleryStale = false;
        // An empty collection is not marked built: the next opening tries again.
        if (titleCount == 0)
            return;
        showPage(1);
        m_state.GalleryBuilt = true;
    }

    m_state.TourText = tour::gallery();
    m_host.ShowTourMessage();
}

void GalleryPanel::cmdUp_Click()
{
    if (m_GalleryPage >= m_GalleryPageCount)
        return;
    showPage(m_GalleryPage + 1);
}

void GalleryPanel::cmdDown_Click()
{
    if (m_GalleryPage <= 1)
        return;
    showPage(m_GalleryPage - 1);
}

void GalleryPanel::imgPIc_Click(int slot)
{
    jumpToSlot(slot);
}

void GalleryPanel::lblName_Click(int slot)
{
    jumpToSlot(slot);
}

void GalleryPanel::showPage(int page)
{
    m_GalleryPage = qint16(page);
    m_lblPicKan[0]->setText(gallery::firstNumberText(page));
    m_lblPicKan[1]->setText(gallery::lastNumberText(page));
    clearSlots();
    for (int k = 1; k <= Slots; ++k)
        fillName(k);
    // The busy pointer while covers are still to come; the window answers all the while.
    setCursor(Qt::BusyCursor);
    m_coverRatio = devicePixelRatioF();
    m_loader->show(pageFiles(page), pagesAround(page));
}

void GalleryPanel::hideEvent(QHideEvent* event)
{
    // Not when the whole window is minimised: the user is still on this screen.
    if (!event->spontaneous())
        m_loader->stopAhead();
    QFrame::hideEvent(event);
}

void GalleryPanel::clearSlots()
{
    for (int k = 1; k <= Slots; ++k) {
        m_lblName[size_t(k)]->clear();
        m_lblName[size_t(k)]->hide();
        m_imgPIc[size_t(k)]->clear();
        m_imgPIc[size_t(k)]->setFocusPolicy(Qt::NoFocus);
    }
}

void GalleryPanel::fillName(int slot)
{
    const int n = gallery::recordOf(m_GalleryPage, slot);
    if (!m_state.titles.isValidIndex(n))
        return;
    ClickableLabel* name = m_lblName[size_t(slot)];
    name->setText(m_state.titles.at(n).title);
    name->show();
    // A filled slot is reached with Tab, in slot order, and opened with Enter.
    m_imgPIc[size_t(slot)]->setFocusPolicy(Qt::StrongFocus);
}

void GalleryPanel::showCover(int page, int slot, const QImage& cover)
{
    if (page != m_GalleryPage || cover.isNull())
        return;
    QPixmap pixmap = QPixmap::fromImage(cover);
    pixmap.setDevicePixelRatio(m_coverRatio);
    m_imgPIc[size_t(slot)]->setPixmap(pixmap);
}

gallery::PageFiles GalleryPanel::pageFiles(int page) const
{
    gallery::PageFiles files;
    files.page = page;
    // Decoded for the screen's pixels, so that a high-density screen gets a sharp cover.
    const qreal ratio = devicePixelRatioF();
    files.box = QSizeF(twips::toPixels(PictureWidth) * ratio, twips::toPixels(PictureHeight) * ratio).toSize();
    for (int k = 1; k <= Slots; ++k) {
        const int n = gallery::recordOf(page, k);
        files.slotFiles.append(m_state.titles.isValidIndex(n)
                                   ? covers::coverFiles(m_state.store, m_state.titles.at(n).title)
                                   : QStringList());
    }
    return files;
}

QList<gallery::PageFiles> GalleryPanel::pagesAround(int page) const
{
    QList<gallery::PageFiles> pages;
    for (const int other : {page + 1, page - 1})
        if (other >= 1 && other <= m_GalleryPageCount)
            pages.append(pageFiles(other));
    return pages;
}

void GalleryPanel::jumpToSlot(int slot)
{
    const int n = gallery::recordOf(m_GalleryPage, slot);
    if (slot < 1 || slot > Slots || n > m_state.titles.count())
        return;
    // Through the page scroll bar only: PickedIndex stays as it was.
    m_host.showMainPage(n);
    letWindowRepaint();
}
