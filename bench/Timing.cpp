#include "Timing.h"

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
