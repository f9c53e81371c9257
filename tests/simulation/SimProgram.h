#pragma once

#include "ui/Dialogs.h"
#include "ui/logic/AppState.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <utility>

// Thrown by the simulation's writer or backup file operations at a crash point: the program is abandoned there,
// as a killed process would be, and the next start is simulated on the same folder.
struct SimCrash {};

// How the next operation's writes go wrong: every write refused as on a full disk, only the k-th write refused
// (a rename that fails part-way through an operation of many files), or a crash at the k-th write.
struct SimFault {
    enum Kind { None, FullDisk, FailNth, CrashNth } kind = None;
    int nth = 0;
};

// Dialogs that answer OK and Yes to everything and count what was shown, so that a refusal is known to have been
// told.
class SimDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, int, const QString& title) override
    {
        shown.append(title + QStringLiteral(": ") + text);
        return text.contains(QStringLiteral("？")) || text.contains(u'?') ? Yes : Ok;
    }
    QString inputBox(const QString&, const QString&, const QString& defaultText) override { return defaultText; }
    void beep() override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QStringList shown;
};

// The program as the window runs it, without widgets: every handler here does what the window's handler of the
// same action does with the store, the steps and the backups, so that a simulated run takes milliseconds.
class SimProgram final {
public:
    SimProgram(const QString& folder, QDateTime* clock);
    ~SimProgram();

    // What an action ended with: whether the user was told anything (an error or notice returned, or a box).
    struct Told {
        bool told = false;
        bool failed = false; // the change was not made (an error, not a notice)
        QString text;
        QString file;       // the volume file a volume action wrote
        QList<int> entries; // the entries it meant to change
        int wanted = -1;    // the state it asked for them
        QString generation; // the generation a restore put back
    };
    void setFault(const SimFault& fault);
    // Every (file name, bytes) the writer wrote since setFault, for the old-or-new check after a crash.
    const QList<std::pair<QString, QByteArray>>& written() const;
    // Writes the writer refused since setFault.
    int failedWrites() const;

    AppState& state() { return *m_state; }
    SimDialogs& dialogs() { return m_dialogs; }
    QString pageTitle() const { return m_pageTitle; }
    // What the start said of a restore cut off by a crash; empty when there was none.
    QString startNote;

    void showTitle(int index);
    Told clickVolume(int entry);
    Told typeVolumes(int from, int to, bool missing);
    Told clickStatusList(int index, int entry);
    Told editField(int index, int field, int value);
    Told addTitle(int number, int volumes);
    Told deleteTitle(int index);
    Told saveMemo(int index, int text);
    Told importCover(int index, int picture, const QString& scratch);
    Told saveFavourites(int seed);
    Told reorder(int seed, bool sortToMain);
    Told importSpreadsheet(int number, int rows);
    Told undo();
    Told redo();
    Told restore(int pick);

private:
    Told told(const QString& error, const QString& notice, int boxesBefore);
    Told afterStep(const ChangeHistory::Result& result, int boxesBefore);
    void reloadIfAsked();

    std::unique_ptr<AppState> m_state;
    SimDialogs m_dialogs;
    class Writer;
    Writer* m_writer = nullptr; // owned by the data folder
    class Files;
    Files* m_files = nullptr; // owned by the backups
    bool m_reloadAsked = false;
    QString m_pageTitle;
    VolumeStates m_page{};
};
