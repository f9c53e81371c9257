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
