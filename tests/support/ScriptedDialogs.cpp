#include "support/ScriptedDialogs.h"

namespace {

const char* kindName(int kind)
{
    static const char* const names[] = {"message box", "input box", "open-file dialog", "save-file dialog"};
    return names[kind];
}

} // namespace

ScriptedDialogs& ScriptedDialogs::expectMessage(const QString& title, int answer)
{
    m_expected.append({Kind::Message, title, answer, QString()});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& title, const QString& answer)
{
    m_expected.append({Kind::Input, title, Ok, answer});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectOpenFile(const QString& caption, const QString& path)
{
    m_expected.append({Kind::OpenFile, caption, Ok, path});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectSaveFile(const QString& caption, const QString& path)
{
    m_expected.append({Kind::SaveFile, caption, Ok, path});
    return *this;
}

bool ScriptedDialogs::takeExpected(Kind kind, const QString& title, const QString& what, Expectation* taken)
{
    if (m_expected.isEmpty() || m_expected.first().kind != kind || m_expected.first().title != title) {
        m_problems << QStringLiteral("unexpected %1 \"%2\"%3")
                          .arg(QLatin1String(kindName(int(kind))), title, what.isEmpty() ? QString() : ": " + what);
        return false;
    }
    *taken = m_expected.takeFirst();
    return true;
}

int ScriptedDialogs::messageBox(const QString& text, int style, const QString& title)
{
    m_messages.append({text, style, title});
    Expectation e;
    if (!takeExpected(Kind::Message, title, text.left(80), &e))
        return (style & 0x0F) == YesNo ? No : ((style & 0x0F) == OkCancel ? Cancel : Ok);
    return e.answer;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    m_inputs.append({prompt, 0, title});
    m_defaults.append(defaultText);
    Expectation e;
    return takeExpected(Kind::Input, title, QString(), &e) ? e.text : QString();
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString& filter)
{
    m_fileBoxes.append({caption, QString(), filter});
    Expectation e;
    return takeExpected(Kind::OpenFile, caption, QString(), &e) ? e.text : QString();
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString& suggestedName, const QString& filter)
{
    m_fileBoxes.append({caption, suggestedName, filter});
    Expectation e;
    return takeExpected(Kind::SaveFile, caption, suggestedName, &e) ? e.text : QString();
}

QString ScriptedDialogs::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& e : m_expected)
        all << QStringLiteral("expected %1 \"%2\" was never shown").arg(QLatin1String(kindName(int(e.kind))), e.title);
    return all.join(QLatin1Char('\n'));
}

void ScriptedDialogs::reset()
{
    m_expected.clear();
    m_messages.clear();
    m_inputs.clear();
    m_defaults.clear();
    m_fileBoxes.clear();
    m_problems.clear();
    m_beeps = 0;
}
