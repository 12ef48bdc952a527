#include "tests/support/scripteddialogs.h"

namespace zd {

void ScriptedDialogs::showMessage(const QString& text, int style, const QString& title)
{
    const Message message{text, style, title};
    m_messages.append(message);
    if (onMessage)
        onMessage(message);
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                  const QString& /*defaultText*/)
{
    m_inputPrompts.append(prompt);
    m_inputTitles.append(title);
    if (onInput)
        onInput(prompt);
    return takeFirstOrEmpty(m_inputAnswers);
}

QString ScriptedDialogs::showOpen(const FileDialogSettings& settings)
{
    m_fileRequests.append({false, settings});
    return takeFirstOrEmpty(m_openAnswers);
}

SaveAnswer ScriptedDialogs::showSave(const FileDialogSettings& settings)
{
    m_fileRequests.append({true, settings});
    return m_saveAnswers.isEmpty() ? SaveAnswer{} : m_saveAnswers.takeFirst();
}

KeyAnswer ScriptedDialogs::askForKey(const QString& prompt, const QString& /*title*/, const QString& /*keepText*/)
{
    m_keyPrompts.append(prompt);
    if (onInput)
        onInput(prompt);
    return m_keyAnswers.isEmpty() ? KeyAnswer{} : m_keyAnswers.takeFirst();
}

void ScriptedDialogs::clearRecords()
{
    m_messages.clear();
    m_inputPrompts.clear();
    m_inputTitles.clear();
    m_fileRequests.clear();
    m_keyPrompts.clear();
}

QString ScriptedDialogs::takeFirstOrEmpty(QStringList& queue)
{
    return queue.isEmpty() ? QString() : queue.takeFirst();
}

}  // namespace zd
