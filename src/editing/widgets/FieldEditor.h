#pragma once

#include "store/TitleTable.h"

#include <QObject>
#include <QStringList>
#include <functional>

class AppState;
class Dialogs;
class MainPage;
class MembershipSet;
class QComboBox;
class QLineEdit;
class UnstoredMark;

// Edits the fields of the record shown on the main page in place: author and magazine (chosen, or typed and
// Enter), rating, volume count, split start and the two issue dates. Every accepted change is on disk when its
// handler returns; a change that cannot be saved is undone on the page and in the table and reported.
class FieldEditor final : public QObject {
    Q_OBJECT
public:
    FieldEditor(MainPage& page, AppState& state, Dialogs& dialogs);

    void cboSakusya_Click();
    void cboKeisai_Click();
    void cboSakusya_KeyPress(int keyAscii);
    void cboKeisai_KeyPress(int keyAscii);
    void cboHyouka_Click();
    void cboKansu_Click();
    void cboSyo_Click();
    void txtStHan_KeyPress(int keyAscii);
    void txtEdHan_KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class NameField { Author, Magazine };
    void chooseName(NameField field);
    void typeName(NameField field, int keyAscii);
    void typeDate(QLineEdit* box, bool first, int keyAscii);
    // Saves through apply as a step named after what (the field), which marks stale when undone or redone; on
    // failure shows the error and shows the stored record again.
    bool save(int index, const QString& what, unsigned stale, const std::function<void(TitleRecord&)>& apply);
    void insertName(QComboBox* box, QStringList& list, MembershipSet& set, const QString& name);

    MainPage& m_page;
    AppState& m_state;
    Dialogs& m_dialogs;
    QComboBox* m_cboSakusya;
    QComboBox* m_cboKeisai;
    QComboBox* m_cboHyouka;
    QComboBox* m_cboKansu;
    QComboBox* m_cboSyo;
    QLineEdit* m_txtStHan;
    QLineEdit* m_txtEdHan;
    UnstoredMark* m_authorMark;
    UnstoredMark* m_magazineMark;
};
