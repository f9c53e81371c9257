// The main page's controls: each one made, named and placed, its signals wired to the page's handlers.
#include "ui/MainPage.h"

#include "ui/Artwork.h"
#include "ui/CoverLabel.h"
#include "ui/HiddenTextBox.h"
#include "ui/QuickVolumeEntry.h"
#include "ui/Twips.h"
#include "ui/VolumeGrid.h"
#include "ui/logic/AppState.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

const QString ComboTip = QStringLiteral("コンボで選んで変更できます");

QLabel* fieldLabel(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// Turning the mouse wheel over a box the user has not clicked into would change, and save, its field while the
// user merely scrolls: only the box with the keyboard focus takes the wheel.
class FocusedWheelOnly final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && !widget->hasFocus()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QComboBox* combo(QWidget* parent, const QString& name, bool editable, const QRect& geometry)
{
    auto* box = new QComboBox(parent);
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(new FocusedWheelOnly(box));
    box->setObjectName(name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setGeometry(geometry);
    if (editable) {
        box->setCompleter(nullptr); // a typed name is the user's own; never complete it into another
        // Leaving the box with a typed text that matches an item would otherwise count as choosing that item:
        // only a choice from the list, or Enter where Enter stores, may change the record.
        QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    }
    return box;
}

} // namespace

MainPage::MainPage(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("fraMain"));
    buildFields();

    m_grid = new VolumeGrid(this);
    m_grid->move(twips::toPixels(60), twips::toPixels(2160));
    connect(m_grid, &VolumeGrid::volumeClicked, this, &MainPage::lblKan_Click);
    // Under the grid, next to it in the tab order.
    fieldLabel(this, QStringLiteral("まとめて入力"), twips::rect(150, 5640, 1500, 330));
    auto* quick = new QuickVolumeEntry(m_state, m_dialogs, *this);
    quick->setGeometry(twips::rect(1710, 5640, 2700, 330));
    auto* keys = new QLabel(QStringLiteral("Enter：所持　Shift+Enter：未所持"), this);
    keys->setGeometry(twips::rect(4500, 5640, 3120, 330));

    buildPictureAndMemo();

    m_hsbData = new QScrollBar(Qt::Horizontal, this);
    m_hsbData->setObjectName(QStringLiteral("hsbData"));
    m_hsbData->setGeometry(twips::rect(150, 7080, 9855, 255));
    m_hsbData->setRange(1, 1);
    m_hsbData->setPageStep(1);
    m_hsbData->setSingleStep(1);
    connect(m_hsbData, &QScrollBar::valueChanged, this, &MainPage::hsbData_Change);

    m_lblKensu = new QLabel(this);
    m_lblKensu->setObjectName(QStringLiteral("lblKensu"));
    m_lblKensu->setGeometry(twips::rect(10140, 7020, 1620, 375));
    m_lblKensu->setAlignment(Qt::AlignCenter);
    m_lblKensu->setFont(twips::uiFont(11));
}

void MainPage::buildFields()
{
    m_cboName = combo(this, QStringLiteral("cboName"), false, twips::rect(150, 150, 7470, 450));
    m_cboName->setToolTip(QStringLiteral("コミックを切り替えます"));
    m_cboName->setFont(twips::uiFont(14));
    connect(m_cboName, &QComboBox::activated, this, &MainPage::cboName_Click);

    fieldLabel(this, QStringLiteral("巻数"), twips::rect(150, 780, 600, 330));
    m_cboKansu = combo(this, QStringLiteral("cboKansu"), true, twips::rect(810, 780, 900, 330));
    fieldLabel(this, QStringLiteral("分割"), twips::rect(1800, 780, 600, 330));
    m_cboSyo = combo(this, QStringLiteral("cboSyo"), true, twips::rect(2460, 780, 900, 330));
    fieldLabel(this, QStringLiteral("評価"), twips::rect(3450, 780, 600, 330));
    m_cboHyouka = combo(this, QStringLiteral("cboHyouka"), true, twips::rect(4110, 780, 750, 330));
    for (QComboBox* box : {m_cboKansu, m_cboSyo, m_cboHyouka}) {
        box->setToolTip(ComboTip);
        // These fields change only by choosing from the list; a typed text would never be stored.
        box->lineEdit()->setReadOnly(true);
    }

    const int faceSize = twips::toPixels(600);
    for (int i = 0; i < 3; ++i) {
        auto* face = new QLabel(this);
        face->setObjectName(QStringLiteral("imgFace1_%1").arg(i));
        face->setGeometry(twips::rect(4980, 645, 600, 600));
        face->setPixmap(artwork::ratingFace(i, faceSize));
        face->setScaledContents(true);
        face->hide();
        m_imgFace1[i] = face;
    }

    fieldLabel(this, QStringLiteral("著者"), twips::rect(150, 1320, 600, 330));
    m_cboSakusya = combo(this, QStringLiteral("cboSakusya"), true, twips::rect(810, 1320, 3000, 330));
    fieldLabel(this, QStringLiteral("掲載"), twips::rect(3900, 1320, 600, 330));
    m_cboKeisai = combo(this, QStringLiteral("cboKeisai"), true, twips::rect(4560, 1320, 3060, 330));
    m_cboSakusya->setToolTip(ComboTip);
    m_cboKeisai->setToolTip(ComboTip);

    fieldLabel(this, QStringLiteral("発行"), twips::rect(150, 1800, 600, 330));
    m_txtStHan = new QLineEdit(this);
    m_txtStHan->setObjectName(QStringLiteral("txtStHan"));
    m_txtStHan->setGeometry(twips::rect(810, 1800, 1500, 330));
    m_txtStHan->setToolTip(QStringLiteral("初刊が発行された年月日を入力してください"));
    auto* tilde = new QLabel(QStringLiteral("～"), this);
    tilde->setGeometry(twips::rect(2340, 1800, 300, 330));
    tilde->setAlignment(Qt::AlignCenter);
    m_txtEdHan = new QLineEdit(this);
    m_txtEdHan->setObjectName(QStringLiteral("txtEdHan"));
    m_txtEdHan->setGeometry(twips::rect(2670, 1800, 1500, 330));
    m_txtEdHan->setToolTip(QStringLiteral("終刊が発行された年月日を入力してください"));

    // Lists and membership strings that other screens read; never shown here.
    m_cboKoukai = combo(this, QStringLiteral("cboKoukai"), false, QRect());
    m_cboKoukai3 = combo(this, QStringLiteral("cboKoukai3"), false, QRect());
    m_cboKoukai->hide();
    m_cboKoukai3->hide();
    for (int i : {1, 2, 3, 4, 5}) {
        auto* box = new HiddenTextBox(this);
        box->setText(QStringLiteral(","));
        box->setObjectName(QStringLiteral("txtD_%1").arg(i));
        m_txtD[i] = box;
    }
    // The membership strings always read the lists as they are now.
    const SelectionLists& lists = m_state.lists;
    m_txtD[1]->setTextSource([&lists] { return lists.authorSet.text(); });
    m_txtD[2]->setTextSource([&lists] { return lists.magazineSet.text(); });
    m_txtD[4]->setTextSource([&lists] { return lists.issueYearSet.text(); });
    m_txtD[5]->setTextSource([&lists] { return lists.issueMonthSet.text(); });
}

void MainPage::buildPictureAndMemo()
{
    m_imgGazou = new CoverLabel(this);
    m_imgGazou->setObjectName(QStringLiteral("imgGazou"));
    m_imgGazou->setGeometry(twips::rect(7920, 150, 3750, 4500));
    m_imgGazou->setAlignment(Qt::AlignCenter);
    m_imgGazou->setToolTip(QStringLiteral("クリックすると画像取り込みができます"));
    connect(m_imgGazou, &CoverLabel::clicked, this, &MainPage::imgGazou_Click);
    connect(m_imgGazou, &CoverLabel::fileGiven, this, &MainPage::coverFileGiven);
    connect(m_imgGazou, &CoverLabel::imageGiven, this, &MainPage::coverImageGiven);

    m_lblMemo = new QLabel(this);
    m_lblMemo->setObjectName(QStringLiteral("lblMemo"));
    m_lblMemo->setGeometry(twips::rect(7920, 5100, 3750, 1860));
    m_lblMemo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblMemo->setWordWrap(true);
    m_lblMemo->setTextFormat(Qt::PlainText);
    m_lblMemo->setFrameShape(QFrame::StyledPanel);
    m_lblMemo->setMargin(4);

    auto* memoButton = new QPushButton(QStringLiteral("メモ"), this);
    memoButton->setObjectName(QStringLiteral("cmdCmnt"));
    memoButton->setGeometry(twips::rect(10920, 4740, 750, 330));
    connect(memoButton, &QPushButton::clicked, this, &MainPage::cmdCmnt_Click);

    // Stands in for the cover import panel until one is attached, so that the page always has a fraPicget.
    auto* standIn = new QFrame(this);
    standIn->setObjectName(QStringLiteral("fraPicget"));
    standIn->hide();
    m_fraPicget = standIn;
}
