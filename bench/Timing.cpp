#include "Timing.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace timing {

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double longestEventLoopGapMs(const std::function<bool(qint64 elapsedNs)>& onTurn)
{
    // A fine timer fires on every turn the loop gets to within a few milliseconds; a turn held up shows as a
    // gap between two firings.
    constexpr int TickMs = 2;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(TickMs);
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (!onTurn(now))
            loop.quit();
    });
    tick.start();
    loop.exec();
    return double(longest) / 1e6;
}

double longestEventLoopGapMs(int windowMs)
{
    return longestEventLoopGapMs([windowMs](qint64 now) { return now < qint64(windowMs) * 1000000; });
}

QString columnsLine()
{
    return QStringLiteral("# %1 %2 %3 %4")
        .arg(QStringLiteral("name"), -30)
        .arg(QStringLiteral("median_ms"), 12)
        .arg(QStringLiteral("floor_ms"), 12)
        .arg(QStringLiteral("ratio"), 10);
}

QString formatLine(const Measurement& m)
{
    const QString ratio = m.floorMs > 0 ? QString::number(m.ratio(), 'f', 2) : QStringLiteral("-");
    return QStringLiteral("%1 %2 %3 %4")
        .arg(m.name, -32)
        .arg(m.medianMs, 12, 'f', 3)
        .arg(m.floorMs, 12, 'f', 3)
        .arg(ratio, 10);
}

} // namespace timing
