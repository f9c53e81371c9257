#include "app/MainWindow.h"
#include "app/UserFolder.h"
#include "history/FolderLock.h"
#include "store/Cp932.h"
#include "ui/QtDialogs.h"
#include "ui/logic/InstalledFiles.h"
#include "ui/logic/Safeguards.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace {

// Without options the program works on the current folder.
void describeOptions(QCommandLineParser& parser, const QCommandLineOption& userFolder)
{
    parser.setApplicationDescription(QStringLiteral("タナミルＰｒｏ: マンガの巻ごとの収集状況を管理します。\n"
                                                    "オプションがなければ、現在のフォルダのデータを使います。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(userFolder);
}

// --help and --version are answered on the terminal, also where no display is available.
bool asksOnlyForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("tanamiru"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TANAMIRU_VERSION));
    const QCommandLineOption userFolder(
        QStringLiteral("user-folder"),
        QStringLiteral(
            "利用者のデータフォルダ（%1）のデータを使います。初めて使うときはサンプルデータを入れて作ります。")
            .arg(userfolder::location()));
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication terminal(argc, argv);
        QCommandLineParser parser;
        describeOptions(parser, userFolder);
        parser.process(terminal); // prints and exits
        return 0;
    }

    QApplication app(argc, argv);
    // The windows carry the program's icon, and the desktop matches them to the installed menu entry.
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/tanamiru-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("tanamiru"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    // Standard buttons and dialogs in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtDialogs dialogs;
    if (!cp932::isAvailable()) {
        dialogs.messageBox(
            QStringLiteral("文字コード Shift-JIS (CP932) の変換機能が見つからないため、起動できません。"),
            Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
        return 1;
    }

    QCommandLineParser parser;
    describeOptions(parser, userFolder);
    parser.process(app);
    if (parser.isSet(userFolder)) {
        const QString problem = userfolder::enter(userfolder::location(), installedfiles::sampleFolder());
        if (!problem.isEmpty()) {
            dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
            return 1;
        }
    }

    // One program per data folder: a second one ends before it writes anything.
    FolderLock folderLock(QDir::currentPath());
    if (const QString held = folderLock.acquire(); !held.isEmpty()) {
        safeguards::tellFolderHeld(dialogs, held);
        return 1;
    }

    MainWindow window(dialogs);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
