#pragma once

#include "simulation/SimProgram.h"
#include "simulation/Simulation.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace simulation {

// The folder's files as they must be, and the checks every step makes of the program against them.
class SimModel final {
public:
    using Files = QMap<QString, QByteArray>;
    using Bytes = std::optional<QByteArray>;

    SimModel();
    ~SimModel();
    // Writes the first collection and starts the program; empty, or what went wrong.
    QString start();
    // Runs one step and checks it; empty, or "category: what broke".
    QString step(const Op& op);

private:
    // A step the program keeps on its undo stack: the files it changed, before and after.
    struct Step {
        QMap<QString, Bytes> before;
        QMap<QString, Bytes> after;
    };

    // What a step of the program starts from: the files, the title table and the undo stack before it.
    struct Start {
        Files before;
        TitleTable titles;
        int count = 0;
        int index = 0;
    };
    // Notes what the step starts from and arms the step's fault.
    Start arm(const Op& op);
    // Disarms the fault, reads the files the step left and notes the generations it took; "silent failure" when
    // a write failed and the user was not told (what names the step in the message).
    QString settle(const Start& start, const SimProgram::Told& told, const QString& what, Files* after);
    // The step was cut off by a crash: the generations it took are noted and the next start checked.
    QString crashedAt(const Start& start, const Op& op);

    Files readDisk() const;
    QString changeStep(const Op& op);
    QString undoStep(bool undo, const Op& op);
    QString restoreStep(const Op& op);
    QString outside(const Op& op);
    QString crashed(const Files& before, const Op& op, const Files* restoring);
    QString checkChange(const Op& op, const SimProgram::Told& told, const Files& before, const Files& after) const;
    QString checkMemory();
    void noteGenerations(const Files& before, const TitleTable& titles);
    Files restored(const Files& before, const Files& generation, const TitleTable& titles) const;
    void syncSteps(int countBefore, int indexBefore, const Files& before, const Files& after);

    QTemporaryDir m_dir;
    QString m_data;
    QDateTime m_clock;
    std::unique_ptr<SimProgram> m_program;
    Files m_files;
    QList<Step> m_steps;
    QHash<QString, Files> m_generations; // by folder name, the files each must give back
    bool m_collectionOutside = false;    // the collection file was changed outside and not yet read again
};

} // namespace simulation
