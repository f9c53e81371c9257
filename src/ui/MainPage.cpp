#include "ui/MainPage.h"

#include "history/RecordChanges.h"
#include "ui/Artwork.h"
#include "ui/CoverLabel.h"
#include "ui/Dialogs.h"
#include "ui/HiddenTextBox.h"
#include "ui/QuickVolumeEntry.h"
#include "ui/Twips.h"
#include "ui/VolumeGrid.h"
#include "ui/logic/AppState.h"
#include "ui/logic/MainPageLogic.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringListModel>

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

// Replaces a combo's items at once through a list model: tens of thousands of titles must not be added one
// item at a time.
void setItems(QComboBox* box, const QStringList& items)
{
    const QString text = box->isEditable() ? box->currentText() : QString();
    const QSignalBlocker blocker(box);
    auto* model = qobject_cast<QStringListModel*>(box->model());
    if (!model) {
        model = new QStringListModel(box);
        box->setModel(model);
    }
    model->setStringList(items);
    if (box->isEditable()) {
        // The list's current entry must be the value shown, or the arrow keys would step from the first entry.
        box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        box->setEditText(text);
    } else {
        box->setCurrentIndex(-1);
    }
}

// Shows a value in an editable combo; the list's current item follows it, so that the list opens on it.
void showInBox(QComboBox* box, const QString& value, int row)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(row);
    box->setEditText(value);
}

void showInBox(QComboBox* box, const QString& value)
{
    showInBox(box, value, box->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// Row of value in a list kept in textLessThan order, or -1; a binary search, since the author and magazine
// lists may hold tens of thousands of names and a page change must stay quick.
int sortedRow(const QStringList& list, const QString& value)
{
    for (auto it = std::lower_bound(list.begin(), list.end(), value, textLessThan);
         it != list.end() && !textLessThan(value, *it); ++it) {
        if (*it == value)
            return int(it - list.begin());
    }
    return -1;
}

QString forDisplay(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
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

void MainPage::applySelectionLists()
{
    const SelectionLists& lists = m_state.lists;
    setItems(m_cboName, lists.titles);
    setItems(m_cboSakusya, lists.authors);
    setItems(m_cboKeisai, lists.magazines);
    setItems(m_cboKoukai, lists.issueMonths);
    setItems(m_cboKoukai3, lists.issueYears);
    // Lowering the maximum below the value moves the page, which shows the title now there.
    m_hsbData->setMaximum(std::max(1, m_state.titles.count()));
}

void MainPage::showEmptyCollection()
{
    m_grid->hideAll();
    m_hsbData->setMaximum(1);
    m_hsbData->setValue(1);
    clearFieldTexts();
    m_cboSakusya->setEditText(QString());
    ShowTitle();
}

void MainPage::attachMemoPanel(QWidget* panel)
{
    m_fraMemo = panel;
    m_fraMemo->setParent(this);
    m_fraMemo->setGeometry(twips::rect(7920, 4680, 3750, 2280));
    m_fraMemo->hide();
}

void MainPage::attachCoverImportPanel(QWidget* panel)
{
    if (m_fraPicget != panel)
        delete m_fraPicget;
    m_fraPicget = panel;
    m_fraPicget->setParent(this);
    // Beside the cover, which shows the preview, below the title and over the fields and the volume grid.
    m_fraPicget->setGeometry(twips::rect(4230, 660, 3570, 6420));
    m_fraPicget->hide();
}

void MainPage::previewCover(const QImage& image)
{
    if (image.isNull())
        return;
    const QSize box = m_imgGazou->size();
    QPixmap pixmap = QPixmap::fromImage(image);
    if (pixmap.width() > box.width() || pixmap.height() > box.height())
        pixmap = pixmap.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_imgGazou->setPixmap(pixmap);
}

QSize MainPage::coverSize() const
{
    return m_imgGazou->size();
}

void MainPage::showMemoLabel(const QString& memo)
{
    m_lblMemo->setText(forDisplay(memo));
}

void MainPage::cmdCmnt_Click()
{
    if (!m_fraMemo)
        return;
    m_fraMemo->show();
    m_fraMemo->raise();
    m_fraMemo->setFocus();
}

void MainPage::clearFieldTexts()
{
    for (QComboBox* box : {m_cboKansu, m_cboKeisai, m_cboSyo, m_cboHyouka})
        box->setEditText(QString());
    m_txtStHan->clear();
    m_txtEdHan->clear();
}

void MainPage::fillFixedLists()
{
    QStringList counts;
    for (int i = 1; i <= 50; ++i)
        counts << QString::number(i);
    QStringList starts;
    for (int i = 0; i <= 500; i += 50)
        starts << QString::number(i + 1);
    setItems(m_cboKansu, counts);
    setItems(m_cboSyo, starts);
    setItems(m_cboHyouka, {QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("△")});
}

int MainPage::currentIndex() const
{
    return m_hsbData->value();
}

void MainPage::setCurrentIndex(int index)
{
    m_hsbData->setValue(index);
}

void MainPage::hsbData_Change()
{
    ShowTitle();
}

void MainPage::cboName_Click(int listPosition)
{
    if (listPosition < 0)
        return;
    setCurrentIndex(listPosition + 1);
    // The drop-down list takes no typing; keep it naming the shown title even when the value did not change.
    m_cboName->setCurrentIndex(currentIndex() - 1);
}

void MainPage::ShowTitle()
{
    int i = currentIndex();
    const int titleCount = m_state.titles.count();
    QString title;
    if (titleCount != 0 && m_state.titles.isValidIndex(i)) {
        const mainpage::PageFields f = mainpage::pageFields(m_state.titles.at(i));
        title = f.title;
        m_state.VolumeFilePath = mainpage::volumeFileName(title);
        {
            const QSignalBlocker blocker(m_cboName);
            m_cboName->setCurrentIndex(i - 1);
        }
        showInBox(m_cboKansu, f.volumeCount);
        showInBox(m_cboSyo, f.startVolume);
        showInBox(m_cboSakusya, f.author, sortedRow(m_state.lists.authors, f.author));
        showInBox(m_cboKeisai, f.magazine, sortedRow(m_state.lists.magazines, f.magazine));
        showInBox(m_cboHyouka, f.rating);
        m_txtStHan->setText(f.firstIssue);
        m_txtEdHan->setText(f.lastIssue);
        showFace(f.face);
    }
    ReadVolumeFile();
    if (titleCount == 0)
        i = 0;
    m_lblKensu->setText(mainpage::pageCounter(i, titleCount));
    showCover(title);
    showMemo(title);
}

void MainPage::ReadVolumeFile()
{
    m_state.VolumeStatus = m_state.store.readVolumeFile(m_state.VolumeFilePath);
    m_grid->apply(mainpage::layoutVolumes(m_cboKansu->currentText(), m_cboSyo->currentText(), m_state.VolumeStatus));
}

void MainPage::lblKan_Click(int index)
{
    const int current = currentIndex();
    if (!m_state.titles.isValidIndex(current))
        return;
    const qint16 before = m_state.VolumeStatus[index];
    VolumeStates after = m_state.VolumeStatus;
    after[index] = mainpage::toggledState(before);
    m_grid->label(index)->setBackground(mainpage::volumeColor(after[index]));

    // The file is named from the shown record, never from text typed anywhere on the page.
    const QString title = m_state.titles.at(current).title;
    m_state.VolumeFilePath = mainpage::volumeFileName(title);
    const ChangeHistory::Result result =
        m_state.history.perform(std::make_unique<VolumeToggle>(m_state.changes, title, index, after));
    if (!result.error.isEmpty()) {
        // Nothing on disk changed, so the page must not claim it did.
        m_grid->label(index)->setBackground(mainpage::volumeColor(before));
        m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }
    m_state.VolumeStatus = after;
    m_state.stale.StatusListStale = true;
    m_state.stale.UncollectedStale = true;
}

void MainPage::showFace(int face)
{
    for (QLabel* img : m_imgFace1)
        img->hide();
    m_imgFace1[face]->show();
}

void MainPage::showCover(const QString& title)
{
    m_imgGazou->clear();
    // Decoded at the size it is shown: a whole 8000 × 12000 scan would take hundreds of MiB.
    previewCover(m_state.store.loadCover(title, coverSize()));
}

void MainPage::showMemo(const QString& title)
{
    const QString memo = title.isEmpty() && m_state.titles.isEmpty() ? QString() : m_state.store.readMemo(title);
    emit memoShown(memo);
    showMemoLabel(memo);
}
