#include "app/CommandLine.h"

#include "app/UserFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

const QString UserFolderOption = QStringLiteral("user-folder");

// The options QGuiApplication, QApplication and the X11 platform take out of the command line themselves.
// Declared here only so that they are not refused; they are never shown in the help.
void acceptToolkitOptions(QCommandLineParser& parser)
{
    const char* const withValue[] = {"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "geometry",
                                     "qwindowtitle",
                                     "title",
                                     "qwindowicon",
                                     "icon",
                                     "session",
                                     "style",
                                     "stylesheet",
                                     "display",
                                     "name",
                                     "visual",
                                     "qmljsdebugger"};
    const char* const flags[] = {"reverse", "testability", "widgetcount", "nograb", "dograb", "sync", "qdevel"};
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's own options are single-dash words (-platform offscreen); ours take two dashes or are one letter.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("タナミルＰｒｏ: マンガの巻ごとの収集状況を管理します。\n"
                                                    "オプションがなければ、現在のフォルダのデータを使います。"));
    // Qt's translation lacks the texts of its own help and version options, so both are declared here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                  QStringLiteral("この説明を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("バージョンを表示します。"));
    parser.addOption(help);
    parser.addOption(version);
    // The parser wraps a line by its count of characters, not by the columns a terminal gives them, and breaks
    // Japanese anywhere: one short sentence a line keeps every word whole.
    parser.addOption(
        QCommandLineOption(UserFolderOption, QStringLiteral("利用者のデータフォルダのデータを使います。\n"
                                                            "%1\n"
                                                            "メニューから起動したときと同じデータです。\n"
                                                            "初めて使うときは、サンプルデータを入れて作ります。")
                                                 .arg(userfolder::location())));
    acceptToolkitOptions(parser);

    if (!parser.parse(arguments)) {
        m_action = Action::Refuse;
        m_text = QStringLiteral("%1\n「%2 --help」で使えるオプションを表示します。\n")
                     .arg(parser.errorText(), QCoreApplication::applicationName());
    } else if (parser.isSet(help)) {
        m_action = Action::ShowText;
        m_text = parser.helpText();
    } else if (parser.isSet(version)) {
        m_action = Action::ShowText;
        m_text =
            QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
    }
    m_userFolder = parser.isSet(UserFolderOption);
}

QStringList CommandLine::argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int CommandLine::answerOnTerminal(int argc, char* argv[])
{
    QCoreApplication terminal(argc, argv);
    QTranslator qtTexts;
    if (loadToolkitTranslation(qtTexts))
        QCoreApplication::installTranslator(&qtTexts);
    const CommandLine line(QCoreApplication::arguments());
    print(line.action() == Action::Refuse ? stderr : stdout, line.text());
    return line.exitCode();
}

bool loadToolkitTranslation(QTranslator& translator)
{
    return translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
