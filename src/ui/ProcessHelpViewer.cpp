#include "ui/ProcessHelpViewer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ProcessHelpViewer::~ProcessHelpViewer()
{
    closeAll();
}

bool ProcessHelpViewer::open(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    for (const QString& reader : {QStringLiteral("xchm"), QStringLiteral("kchmviewer")}) {
        const QString program = QStandardPaths::findExecutable(reader);
        if (program.isEmpty())
            continue;
        auto* process = new QProcess;
        process->setProgram(program);
        process->setArguments({QFileInfo(path).absoluteFilePath()});
        process->start();
        if (process->waitForStarted(3000)) {
            QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
            m_processes.append(process);
            return true;
        }
        delete process;
    }
    return false;
}

void ProcessHelpViewer::closeAll()
{
    for (const QPointer<QProcess>& process : std::as_const(m_processes)) {
        if (!process)
            continue;
        process->disconnect();
        process->terminate();
        if (!process->waitForFinished(1000))
            process->kill();
        process->waitForFinished(1000);
        delete process.data();
    }
    m_processes.clear();
}
