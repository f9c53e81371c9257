#include "support/ScriptedDialogs.h"

ScriptedDialogs& ScriptedDialogs::expectMessage(const QString& title, int answer)
{
    m_expected.append({false, title, answer, QString()});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& title, const QString& answer)
{
    m_expected.append({true, title, Ok, answer});
    return *this;
}

int ScriptedDialogs::messageBox(const QString& text, int style, const QString& title)
{
    m_messages.append({text, style, title});
    if (m_expected.isEmpty() || m_expected.first().input || m_expected.first().title != title) {
        m_problems << QStringLiteral("unexpected message box \"%1\": %2").arg(title, text.left(80));
        return (style & 0x0F) == YesNo ? No : ((style & 0x0F) == OkCancel ? Cancel : Ok);
    }
    return m_expected.takeFirst().answer;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    m_inputs.append({prompt, 0, title});
    m_defaults.append(defaultText);
    if (m_expected.isEmpty() || !m_expected.first().input || m_expected.first().title != title) {
        m_problems << QStringLiteral("unexpected input box \"%1\"").arg(title);
        return QString();
    }
    return m_expected.takeFirst().text;
}

QString ScriptedDialogs::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& e : m_expected)
        all << QStringLiteral("expected %1 \"%2\" was never shown").arg(e.input ? "input box" : "message box", e.title);
    return all.join(QLatin1Char('\n'));
}

void ScriptedDialogs::reset()
{
    m_expected.clear();
    m_messages.clear();
    m_inputs.clear();
    m_defaults.clear();
    m_problems.clear();
    m_beeps = 0;
}
