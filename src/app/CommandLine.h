#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// The program's command line. It is read before any window system is contacted, so that a request for help or
// the version, and a mistyped option, are answered on the terminal also where no display is available. Qt's
// own options (-platform, -style, ...) are accepted and left to the application object.
class CommandLine final {
public:
    enum class Action {
        Run,      // start the window
        ShowText, // print text() on standard output and end with exit code 0
        Refuse,   // print text() on standard error and end with exit code 2
    };
    static constexpr int RefusedExitCode = 2;

    // arguments as QCoreApplication::arguments() gives them, the program first. The texts are in the language
    // of the translators installed when this is made.
    explicit CommandLine(const QStringList& arguments);

    Action action() const { return m_action; }
    // --user-folder: work in the user's data folder instead of the current folder.
    bool userFolder() const { return m_userFolder; }
    QString text() const { return m_text; }
    int exitCode() const { return m_action == Action::Refuse ? RefusedExitCode : 0; }

    // The arguments of main() before any application object exists.
    static QStringList argumentsOf(int argc, char* argv[]);
    // For a command line whose action is not Run: reads it again under a terminal-only application object with
    // Qt's Japanese texts installed, prints the answer and returns the exit code.
    static int answerOnTerminal(int argc, char* argv[]);

private:
    Action m_action = Action::Run;
    bool m_userFolder = false;
    QString m_text;
};

// Loads Qt's own Japanese texts (standard buttons and dialogs, the command line's help and errors) from the
// translations installed with Qt. Returns false when they are not installed.
bool loadToolkitTranslation(QTranslator& translator);
