#include "editing/widgets/FieldEditor.h"

#include "editing/DateInput.h"
#include "editing/TitleInput.h"
#include "editing/widgets/UnstoredMark.h"
#include "history/RecordChanges.h"
#include "store/SelectionLists.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/logic/AppState.h"
#include "ui/logic/MainPageLogic.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

namespace {

constexpr int Enter = 13;

const QString Author = QStringLiteral("著者");
const QString Magazine = QStringLiteral("掲載誌");

const QString NotADate =
    QStringLiteral("その入力は日付の形式ではありません\r\n\r\n2002/02/18\u3000のように入力してみて下さい");

template <typename T> T* find(MainPage& page, const char* name)
{
    return page.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

FieldEditor::FieldEditor(MainPage& page, AppState& state, Dialogs& dialogs)
    : QObject(&page), m_page(page), m_state(state), m_dialogs(dialogs),
      m_cboSakusya(find<QComboBox>(page, "cboSakusya")), m_cboKeisai(find<QComboBox>(page, "cboKeisai")),
      m_cboHyouka(find<QComboBox>(page, "cboHyouka")), m_cboKansu(find<QComboBox>(page, "cboKansu")),
      m_cboSyo(find<QComboBox>(page, "cboSyo")), m_txtStHan(find<QLineEdit>(page, "txtStHan")),
      m_txtEdHan(find<QLineEdit>(page, "txtEdHan"))
{
    connect(m_cboSakusya, &QComboBox::activated, this, &FieldEditor::cboSakusya_Click);
    connect(m_cboKeisai, &QComboBox::activated, this, &FieldEditor::cboKeisai_Click);
    connect(m_cboHyouka, &QComboBox::activated, this, &FieldEditor::cboHyouka_Click);
    connect(m_cboKansu, &QComboBox::activated, this, &FieldEditor::cboKansu_Click);
    connect(m_cboSyo, &QComboBox::activated, this, &FieldEditor::cboSyo_Click);

    // Enter is the only way typed text is stored.
    for (QComboBox* box : {m_cboSakusya, m_cboKeisai}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    const auto storedField = [this](QString TitleRecord::*field) {
        return [this, field]() -> std::optional<QString> {
            const int index = m_page.currentIndex();
            if (!m_state.titles.isValidIndex(index))
                return std::nullopt;
            return m_state.titles.at(index).*field;
        };
    };
    m_authorMark = new UnstoredMark(m_cboSakusya, storedField(&TitleRecord::author));
    m_magazineMark = new UnstoredMark(m_cboKeisai, storedField(&TitleRecord::magazine));
    connect(m_txtStHan, &QLineEdit::returnPressed, this, [this] { txtStHan_KeyPress(Enter); });
    connect(m_txtEdHan, &QLineEdit::returnPressed, this, [this] { txtEdHan_KeyPress(Enter); });
}

bool FieldEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const bool author = watched == m_cboSakusya || watched == m_cboSakusya->lineEdit();
            if (author)
                cboSakusya_KeyPress(Enter);
            else
                cboKeisai_KeyPress(Enter);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool FieldEditor::save(int index, const QString& what, unsigned stale, const std::function<void(TitleRecord&)>& apply)
{
    if (!m_state.titles.isValidIndex(index))
        return true;
    TitleRecord after = m_state.titles.at(index);
    apply(after);
    const ChangeHistory::Result result =
        m_state.history.perform(std::make_unique<RecordEdit>(m_state.changes, index, after, what, stale));
    if (result.error.isEmpty()) {
        m_state.stale.SortListStale = true;
        // A name chosen from a list was already in its box before it was stored.
        m_authorMark->refresh();
        m_magazineMark->refresh();
        return true;
    }
    m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
    m_page.ShowTitle();
    return false;
}

void FieldEditor::cboSakusya_Click()
{
    chooseName(NameField::Author);
}

void FieldEditor::cboKeisai_Click()
{
    chooseName(NameField::Magazine);
}

void FieldEditor::cboSakusya_KeyPress(int keyAscii)
{
    typeName(NameField::Author, keyAscii);
}

void FieldEditor::cboKeisai_KeyPress(int keyAscii)
{
    typeName(NameField::Magazine, keyAscii);
}

void FieldEditor::chooseName(NameField field)
{
    if (m_state.titles.isEmpty())
        return;
    const QString name =
        titlerules::storedForm((field == NameField::Author ? m_cboSakusya : m_cboKeisai)->currentText());
    save(m_page.currentIndex(), field == NameField::Author ? Author : Magazine, 0,
         [&](TitleRecord& r) { (field == NameField::Author ? r.author : r.magazine) = name; });
}

void FieldEditor::typeName(NameField field, int keyAscii)
{
    if (keyAscii != Enter || m_state.titles.isEmpty())
        return;
    const bool author = field == NameField::Author;
    QComboBox* box = author ? m_cboSakusya : m_cboKeisai;
    const QString name = titlerules::storedForm(box->currentText());
    if (name.isEmpty())
        return;
    const QString problem =
        titleinput::storableProblem(name, author ? QStringLiteral("著者名") : QStringLiteral("掲載誌名"));
    if (!problem.isEmpty()) {
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("入力制限"));
        return;
    }
    if (!save(m_page.currentIndex(), author ? Author : Magazine, ChangeOutcome::SearchList,
              [&](TitleRecord& r) { (author ? r.author : r.magazine) = name; }))
        return;
    // Stored: the box's typing is over, and the undo keys now take back the stored change. The box shows what
    // was stored.
    if (box->currentText() != name)
        box->setEditText(name);
    box->lineEdit()->setModified(false);
    MembershipSet& set = author ? m_state.lists.authorSet : m_state.lists.magazineSet;
    if (!set.containsSubstring(name))
        insertName(box, author ? m_state.lists.authors : m_state.lists.magazines, set, name);
    m_dialogs.beep();
    m_state.stale.SearchListStale = true;
}

void FieldEditor::insertName(QComboBox* box, QStringList& list, MembershipSet& set, const QString& name)
{
    set.add(name);
    const auto at = std::lower_bound(list.begin(), list.end(), name, textLessThan);
    const int row = int(at - list.begin());
    list.insert(row, name);
    const QString text = box->currentText();
    if (auto* model = qobject_cast<QStringListModel*>(box->model()); model && model->insertRows(row, 1))
        model->setData(model->index(row), name);
    else
        box->insertItem(row, name);
    box->setEditText(text);
}

void FieldEditor::cboHyouka_Click()
{
    if (m_state.titles.isEmpty())
        return;
    const QString rating = m_cboHyouka->currentText();
    if (save(m_page.currentIndex(), QStringLiteral("評価"), 0, [&](TitleRecord& r) { r.rating = rating; }))
        m_page.showFace(mainpage::faceIndex(rating));
}

void FieldEditor::cboKansu_Click()
{
    if (m_state.titles.isEmpty())
        return;
    // The shown record, never a record found by a name typed somewhere.
    const int index = m_page.currentIndex();
    const auto count = qint16(mainpage::numericValue(m_cboKansu->currentText()));
    if (!save(index, QStringLiteral("巻数"), ChangeOutcome::StatusGrid, [&](TitleRecord& r) { r.volumeCount = count; }))
        return;
    m_state.VolumeFilePath = mainpage::volumeFileName(m_state.titles.at(index).title);
    m_page.ReadVolumeFile();
    m_state.stale.StatusGridStale = true;
    m_state.stale.SortListStale = true;
}

void FieldEditor::cboSyo_Click()
{
    if (m_state.titles.isEmpty())
        return;
    const int index = m_page.currentIndex();
    const auto start = qint16(mainpage::numericValue(m_cboSyo->currentText()) - 1);
    if (!save(index, QStringLiteral("分割"), ChangeOutcome::StatusGrid, [&](TitleRecord& r) { r.startVolume = start; }))
        return;
    m_state.VolumeFilePath = mainpage::volumeFileName(m_state.titles.at(index).title);
    m_page.ReadVolumeFile();
    m_state.stale.StatusGridStale = true;
    m_state.stale.SortListStale = true;
}

void FieldEditor::txtStHan_KeyPress(int keyAscii)
{
    typeDate(m_txtStHan, true, keyAscii);
}

void FieldEditor::txtEdHan_KeyPress(int keyAscii)
{
    typeDate(m_txtEdHan, false, keyAscii);
}

void FieldEditor::typeDate(QLineEdit* box, bool first, int keyAscii)
{
    if (keyAscii != Enter || m_state.titles.isEmpty() || box->text().isEmpty())
        return;
    const std::optional<QDate> date = dateinput::parse(box->text());
    if (!date) {
        m_dialogs.messageBox(NotADate, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("入力確認"));
        box->clear();
        return;
    }
    const QString text = dateinput::format(*date);
    box->setText(text);
    save(m_page.currentIndex(), first ? QStringLiteral("初刊発行日") : QStringLiteral("終刊発行日"), 0,
         [&](TitleRecord& r) { (first ? r.firstIssue : r.lastIssue) = text; });
}
