#include "store/Cp932.h"
#include "app/MainWindow.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tanamiru"));
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

    MainWindow window(dialogs);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
