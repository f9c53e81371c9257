#pragma once

#include "lists/SearchList.h"

#include <QFrame>

class AppState;
class Dialogs;
class ScreenHost;
class SearchResultModel;
class QGroupBox;
class QLineEdit;
class QListView;
class QStringListModel;

// fraKensaku, the search screen: a title keyword (txtNamae, Enter), an author (lstSakusya), a magazine
// (lstKeisai) or a rating (lstHyouka) lists the matching titles in lstDaimei and their number in the caption of
// fraKensu; a double-click on a result opens the main page on it. Each search stands alone and reads the title
// table afresh. The lists, the keyword and the last result stay between visits; they are refilled only while the
// state's SearchListStale is set.
class SearchPanel final : public QFrame {
    Q_OBJECT
public:
    SearchPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~SearchPanel() override;

    // Handlers. A list search acts on the list's current entry, and runs whenever that changes, by mouse or by
    // keyboard, and on a click of the entry already current.
    void cmdKensaku_Click();
    // Enter (13) with a keyword searches and sets keyAscii to 0, so that the key goes no further.
    void txtNamae_KeyPress(qint16& keyAscii);
    void lstSakusya_Click();
    void lstKeisai_Click();
    void lstHyouka_Click();
    void lstDaimei_DblClick();

    const search::Results& results() const;
    QString countCaption() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QListView* addList(const char* name, const char* label, QStringListModel* model, int left, int top, int width,
                       int height, void (SearchPanel::*handler)());
    void searchList(QListView* list, search::Field field);
    void showResults(search::Results results);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    SearchResultModel* m_results = nullptr;
    QStringListModel* m_authors = nullptr;
    QStringListModel* m_magazines = nullptr;
    QStringListModel* m_ratings = nullptr;
    // A press on a criteria list moved its current entry, so the click that ends it has searched already.
    bool m_entryMoved = false;

    QGroupBox* m_fraKenKoumoku = nullptr;
    QGroupBox* m_fraKensu = nullptr;
    QLineEdit* m_txtNamae = nullptr;
    QListView* m_lstSakusya = nullptr;
    QListView* m_lstKeisai = nullptr;
    QListView* m_lstHyouka = nullptr;
    QListView* m_lstDaimei = nullptr;
};
