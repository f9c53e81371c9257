#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <utility>

namespace timing {

double elapsedMs(const QElapsedTimer& timer);

template <typename Work> double measureMs(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    std::forward<Work>(work)();
    return elapsedMs(timer);
}

double median(QList<double> samples);

// One line of the report: the median time of a step and the median time of the bare file reading that the
// step cannot avoid.
struct Measurement {
    QString name;
    double medianMs = 0;
    double floorMs = 0;
    double ratio() const { return floorMs > 0 ? medianMs / floorMs : 0; }
};

// What a group of measurements hands back: its lines, and why it stopped when it did not finish.
struct Results {
    QList<Measurement> measurements;
    QString error; // empty when every step showed and wrote what it should
};

// Lets the event loop run for windowMs and returns the longest time it went without turning: how long the
// window would have stopped answering the user.
double longestEventLoopGapMs(int windowMs);
// The same, for as long as onTurn, called at every turn with the time since the start, returns true.
double longestEventLoopGapMs(const std::function<bool(qint64 elapsedNs)>& onTurn);

// Samples of a step and of its floor, collected run by run.
class Samples final {
public:
    explicit Samples(QString name) : m_name(std::move(name)) {}
    void add(double ms, double floorMs)
    {
        m_ms.append(ms);
        m_floorMs.append(floorMs);
    }
    int count() const { return int(m_ms.size()); }
    Measurement result() const { return {m_name, median(m_ms), median(m_floorMs)}; }

private:
    QString m_name;
    QList<double> m_ms;
    QList<double> m_floorMs;
};

// "name  median_ms  floor_ms  ratio", columns aligned.
QString columnsLine();
QString formatLine(const Measurement& measurement);

} // namespace timing
