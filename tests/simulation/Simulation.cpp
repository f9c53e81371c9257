#include "simulation/Simulation.h"

#include "simulation/SimModel.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace simulation {

namespace {

const char* const Names[] = {"show",    "click",     "typed",      "status",     "field",   "add",
                             "delete",  "memo",      "cover",      "favourites", "order",   "sort",
                             "sheet",   "undo",      "redo",       "newday",     "restore", "outvolume",
                             "outmemo", "outrecord", "outranking", "outdelete",  "outadd"};
static_assert(std::size(Names) == size_t(Kind::Count));

const char* const Faults[] = {"", "full", "fail", "crash"};

// How often each kind is drawn: changes and undo most, the rarer outside events and restores less.
const int Weights[] = {6, 10, 4, 5, 6, 5, 3, 4, 2, 2, 2, 1, 2, 12, 7, 1, 2, 3, 2, 2, 1, 1, 1};
static_assert(std::size(Weights) == size_t(Kind::Count));

bool faultable(Kind kind)
{
    return kind != Kind::Show && kind != Kind::NewDay && kind < Kind::OutsideVolume;
}

} // namespace

QString describe(const Op& op)
{
    QString text = QStringLiteral("%1 %2 %3 %4").arg(QLatin1String(Names[int(op.kind)])).arg(op.a).arg(op.b).arg(op.c);
    if (op.fault)
        text += QStringLiteral(" !%1%2").arg(QLatin1String(Faults[op.fault])).arg(op.nth);
    return text;
}

QString describe(const QList<Op>& ops)
{
    QStringList lines;
    for (const Op& op : ops)
        lines << describe(op);
    return lines.join(QStringLiteral("; "));
}

QList<Op> parse(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\w+) (\\d+) (\\d+) (\\d+)(?: !([a-z]+)(\\d+))?$"));
    QList<Op> ops;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = form.match(part.trimmed());
        if (!match.hasMatch())
            continue;
        Op op;
        const auto kind = std::find(std::begin(Names), std::end(Names), match.captured(1).toStdString());
        if (kind == std::end(Names))
            continue;
        op.kind = Kind(kind - std::begin(Names));
        op.a = match.captured(2).toInt();
        op.b = match.captured(3).toInt();
        op.c = match.captured(4).toInt();
        const auto fault = std::find(std::begin(Faults), std::end(Faults), match.captured(5).toStdString());
        op.fault = fault == std::end(Faults) ? 0 : int(fault - std::begin(Faults));
        op.nth = match.captured(6).isEmpty() ? 1 : match.captured(6).toInt();
        ops << op;
    }
    return ops;
}

QList<Op> generate(quint32 seed, int length)
{
    QRandomGenerator random(seed);
    int total = 0;
    for (int weight : Weights)
        total += weight;
    QList<Op> ops;
    for (int i = 0; i < length; ++i) {
        int draw = random.bounded(total);
        int kind = 0;
        while (draw >= Weights[kind])
            draw -= Weights[kind++];
        Op op;
        op.kind = Kind(kind);
        op.a = random.bounded(1000);
        op.b = random.bounded(1000);
        op.c = random.bounded(1000);
        if (faultable(op.kind) && random.bounded(10) == 0) {
            op.fault = 1 + random.bounded(3);
            op.nth = 1 + random.bounded(3);
        }
        ops << op;
    }
    return ops;
}

Result run(const QList<Op>& ops)
{
    SimModel model;
    Result result;
    if (QString problem = model.start(); !problem.isEmpty()) {
        result.failure = QStringLiteral("setup: ") + problem;
        return result;
    }
    for (const Op& op : ops) {
        ++result.steps;
        const QString failure = model.step(op);
        if (!failure.isEmpty()) {
            result.failure = failure + QStringLiteral(" (step %1, %2)").arg(result.steps).arg(describe(op));
            return result;
        }
    }
    return result;
}

QString category(const QString& failure)
{
    return failure.section(u':', 0, 0);
}

QList<Op> shrink(const QList<Op>& ops, const QString& failure, int seconds)
{
    QElapsedTimer timer;
    timer.start();
    const QString wanted = category(failure);
    auto fails = [&](const QList<Op>& candidate) { return category(run(candidate).failure) == wanted; };
    QList<Op> best = ops;
    // Delta debugging: remove ever smaller runs of steps while the failure stays.
    int parts = 2;
    while (best.size() >= 2 && timer.elapsed() < seconds * 1000) {
        const int chunk = int((best.size() + parts - 1) / parts);
        bool removed = false;
        for (int start = 0; start < best.size() && timer.elapsed() < seconds * 1000; start += chunk) {
            QList<Op> candidate = best;
            candidate.remove(start, std::min<qsizetype>(chunk, best.size() - start));
            if (fails(candidate)) {
                best = candidate;
                parts = std::max(parts - 1, 2);
                removed = true;
                break;
            }
        }
        if (!removed) {
            if (parts >= best.size())
                break;
            parts = std::min<int>(int(best.size()), parts * 2);
        }
    }
    for (qsizetype i = 0; i < best.size() && timer.elapsed() < seconds * 1000; ++i) {
        if (!best[i].fault)
            continue;
        QList<Op> candidate = best;
        candidate[i].fault = 0;
        if (fails(candidate))
            best = candidate;
    }
    return best;
}

} // namespace simulation
