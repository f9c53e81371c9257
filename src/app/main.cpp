#include "app/MainWindow.h"
#include "app/UserFolder.h"
#include "store/Cp932.h"
#include "ui/QtDialogs.h"
#include "ui/logic/InstalledFiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tanamiru"));
    QApplication::setApplicationVersion(QStringLiteral(TANAMIRU_VERSION));
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

    // Without options the program works on the current folder.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("タナミルＰｒｏ: マンガの巻ごとの収集状況を管理します。\n"
                                                    "オプションがなければ、現在のフォルダのデータを使います。"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption userFolder(
        QStringLiteral("user-folder"),
        QStringLiteral(
            "利用者のデータフォルダ（%1）のデータを使います。初めて使うときはサンプルデータを入れて作ります。")
            .arg(userfolder::location()));
    parser.addOption(userFolder);
    parser.process(app);
    if (parser.isSet(userFolder)) {
        const QString problem = userfolder::enter(userfolder::location(), installedfiles::sampleFolder());
        if (!problem.isEmpty()) {
            dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
            return 1;
        }
    }

    MainWindow window(dialogs);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
