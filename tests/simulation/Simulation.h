#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A seeded simulation of the store and history floors: random sequences of every kind of change, undo and redo,
// backups and restores, another program writing files in place and by rename, failing writes and crash points,
// each step checked against a model of the folder's files kept in memory.
namespace simulation {

enum class Kind {
    Show,
    Click,
    Typed,
    StatusClick,
    Field,
    Add,
    Delete,
    Memo,
    Cover,
    Favourites,
    Order,
    SortToMain,
    Spreadsheet,
    Undo,
    Redo,
    NewDay,
    Restore,
    OutsideVolume,
    OutsideMemo,
    OutsideRecord,
    OutsideRanking,
    OutsideDelete,
    OutsideAdd,
    Count
};

// One step; a, b and c choose what it works on, taken modulo what there is, so that any subsequence of a
// sequence is a sequence too. fault (0 none, 1 full disk, 2 the nth write fails, 3 a crash at the nth write) applies
// to the program's own writes during the step.
struct Op {
    Kind kind = Kind::Show;
    int a = 0;
    int b = 0;
    int c = 0;
    int fault = 0;
    int nth = 1;
};

QString describe(const Op& op);
QString describe(const QList<Op>& ops);
// Reads what describe(ops) wrote; ops that cannot be read are skipped.
QList<Op> parse(const QString& text);

QList<Op> generate(quint32 seed, int length);

// Runs the sequence in a fresh folder; empty when every check held, else "category: what broke" with the step.
struct Result {
    QString failure;
    int steps = 0;
};
Result run(const QList<Op>& ops);
// The category of a failure, which a shortened sequence must keep.
QString category(const QString& failure);
// The shortest subsequence (removing runs of steps, then faults) that still fails in the same category, within
// seconds.
QList<Op> shrink(const QList<Op>& ops, const QString& failure, int seconds);

} // namespace simulation
