#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/UserFolder.h"
#include "history/FolderLock.h"
#include "store/Cp932.h"
#include "ui/FocusRing.h"
#include "ui/QtDialogs.h"
#include "ui/logic/InstalledFiles.h"
#include "ui/logic/Safeguards.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("tanamiru"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TANAMIRU_VERSION));
    const CommandLine commandLine(CommandLine::argumentsOf(argc, argv));
    if (commandLine.action() != CommandLine::Action::Run)
        return CommandLine::answerOnTerminal(argc, argv);

    QApplication app(argc, argv);
    // The windows carry the program's icon, and the desktop matches them to the installed menu entry.
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/tanamiru-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("tanamiru"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    // Standard buttons and dialogs in Japanese.
    QTranslator qtTexts;
    if (loadToolkitTranslation(qtTexts))
        QApplication::installTranslator(&qtTexts);

    // Where the keyboard focus is, in every window.
    const FocusRing focusRing;

    QtDialogs dialogs;
    if (!cp932::isAvailable()) {
        dialogs.messageBox(
            QStringLiteral("文字コード Shift-JIS (CP932) の変換機能が見つからないため、起動できません。"),
            Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
        return 1;
    }

    if (commandLine.userFolder()) {
        const QString problem = userfolder::enter(userfolder::location(), installedfiles::sampleFolder());
        if (!problem.isEmpty()) {
            dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
            return 1;
        }
    }

    // Told before the window makes an empty collection here: on the terminal, where a user who typed the command
    // looks, and in the window's first box.
    QString notice;
    if (!commandLine.userFolder()) {
        notice = userfolder::startNotice(QDir::currentPath(), userfolder::location());
        if (!notice.isEmpty())
            std::fprintf(stderr, "%s\n", notice.toLocal8Bit().constData());
    }

    // One program per data folder: a second one ends before it writes anything.
    FolderLock folderLock(QDir::currentPath());
    if (const QString held = folderLock.acquire(); !held.isEmpty()) {
        if (!folderLock.heldElsewhere()) {
            safeguards::tellFolderHeld(dialogs, held);
            return 1;
        }
        // A lock another computer left: the user has said whether that program still runs.
        if (!safeguards::askTakeOver(dialogs, held))
            return 1;
        if (!folderLock.takeOver()) {
            safeguards::tellFolderHeld(dialogs, QStringLiteral("このデータフォルダを引き継げませんでした。"));
            return 1;
        }
    }

    MainWindow window(dialogs);
    dialogs.setParent(&window);
    window.setStartNotice(notice);
    window.show();
    return app.exec();
}
