#pragma once

#include "history/Change.h"
#include "store/DataFiles.h"

#include <QList>
#include <functional>

// A field of one record changed on the main page (author, magazine, rating, volume count, split start, either
// issue date): the collection file rewritten with the record before or after.
class RecordEdit final : public Change {
public:
    // what names the field in the step's text ("著者"); stale is what the edit marks stale.
    RecordEdit(ChangeData& data, int index, const TitleRecord& after, const QString& what, unsigned stale);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override { return m_fileBefore ? m_fileBefore->size() : 0; }

private:
    int m_index;
    TitleRecord m_before;
    TitleRecord m_after;
    unsigned m_stale;
    // The file as another program wrote it, put back when the edit is undone.
    FileBytes m_fileBefore;
};

// A click on a volume (on the main page or the status list), or a run of volumes typed on the main page: the
// states the user asked for applied to the title's volume file as it is at the moment of writing, so that a
// change another program made there since the page read it is kept. Only the volumes whose state this changed
// belong to the step; undo and redo put the file back byte for byte.
class VolumeToggle final : public Change {
public:
    // volume is the clicked entry (1 to 50), state what it is to hold; screen is where the click was made, where
    // undoing and redoing it is shown.
    VolumeToggle(ChangeData& data, const QString& title, int volume, qint16 state,
                 ChangeOutcome::Screen screen = ChangeOutcome::Screen::MainPage);
    // Several entries (1 to 50) set to one state at once, one step.
    VolumeToggle(ChangeData& data, const QString& title, const QList<int>& volumes, qint16 state);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    bool changedNothing() const override { return m_made && m_volumes.isEmpty(); }
    qsizetype heldBytes() const override;
    // The entries whose state the step changed.
    const QList<int>& volumes() const { return m_volumes; }

private:
    QString m_title;
    QString m_fileName;
    QList<int> m_volumes;
    qint16 m_state;
    ChangeOutcome::Screen m_screen = ChangeOutcome::Screen::MainPage;
    bool m_made = false;
    FileBytes m_before;
    FileBytes m_after;
};

// A memo saved: the title's memo file as it was before (or no file) and as saved.
class MemoSave final : public Change {
public:
    MemoSave(ChangeData& data, const QString& title, const QString& memo);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override;

private:
    QString m_title;
    QString m_memo;
    QString m_diskName;
    bool m_made = false;
    FileBytes m_before;
    FileBytes m_after;
};

// A cover picture imported for a title: the picture file as it was (or no file) and as written.
class CoverImport final : public Change {
public:
    // install puts the new cover in place (and may remove covers that would hide it), returning an error text
    // that means nothing was changed. The step keeps every cover file of the title as it was before and after,
    // by its spelling on disk, so that undo and redo put them all back byte for byte.
    CoverImport(ChangeData& data, const QString& title, std::function<QString()> install);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override;

private:
    struct CoverFile {
        QString diskName;
        FileBytes before;
        FileBytes after;
    };
    QList<CoverFile> snapshot() const;

    QString m_title;
    std::function<QString()> m_install;
    bool m_made = false;
    QList<CoverFile> m_files;
};
