#include "ui/MainPage.h"

#include "history/RecordChanges.h"
#include "ui/CoverLabel.h"
#include "ui/Dialogs.h"
#include "ui/Twips.h"
#include "ui/VolumeGrid.h"
#include "ui/logic/AppState.h"
#include "ui/logic/MainPageLogic.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringListModel>

namespace {

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
    // A list kept from before (the authors after a change of one record, most often) is shared, not compared,
    // and stays in the box as it is, its current entry included.
    const bool kept = model->stringList().constData() == items.constData() && model->rowCount() == items.size();
    if (kept && box->isEditable())
        return;
    if (!kept)
        model->setStringList(items);
    if (box->isEditable()) {
        // The list's current entry must be the value shown, or the arrow keys would step from the first entry.
        box->setCurrentIndex(int(items.indexOf(text)));
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
    // The click asks for the other state of the one the user sees; the step applies it to the file as it is now.
    const qint16 wanted = mainpage::toggledState(m_state.VolumeStatus[index]);
    m_grid->label(index)->setBackground(mainpage::volumeColor(wanted));

    // The file is named from the shown record, never from text typed anywhere on the page.
    const QString title = m_state.titles.at(current).title;
    m_state.VolumeFilePath = mainpage::volumeFileName(title);
    const ChangeHistory::Result result =
        m_state.history.perform(std::make_unique<VolumeToggle>(m_state.changes, title, index, wanted));
    // The page shows the file: the click, and whatever else the file holds now.
    ReadVolumeFile();
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }
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
