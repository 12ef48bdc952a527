#pragma once

#include "core/dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace zd {

// Dialogs that answer from a script and record what they were asked, for tests
// and for running the commands without a display (the benchmarks).
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        int style = 0;
        QString title;
    };
    struct FileRequest {
        bool save = false;
        FileDialogSettings settings;
    };

    void showMessage(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString showOpen(const FileDialogSettings& settings) override;
    SaveAnswer showSave(const FileDialogSettings& settings) override;
    KeyAnswer askForKey(const QString& prompt, const QString& title, const QString& keepText) override;

    // Answers are taken in order; an exhausted queue answers with empty text (Cancel).
    void queueInput(const QString& answer) { m_inputAnswers.append(answer); }
    void queueOpen(const QString& answer) { m_openAnswers.append(answer); }
    void queueSave(const QString& path, int filterIndex = 1) { m_saveAnswers.append({path, filterIndex}); }
    void queueKey(const QString& key, bool keep) { m_keyAnswers.append({key, keep}); }

    // Runs while a message box is "up", before it is closed: a test can act there.
    std::function<void(const Message&)> onMessage;
    // Runs while the input box is "up".
    std::function<void(const QString& prompt)> onInput;

    const QList<Message>& messages() const { return m_messages; }
    const QStringList& inputPrompts() const { return m_inputPrompts; }
    const QStringList& inputTitles() const { return m_inputTitles; }
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    const QStringList& keyPrompts() const { return m_keyPrompts; }
    void clearRecords();

private:
    static QString takeFirstOrEmpty(QStringList& queue);

    QList<Message> m_messages;
    QStringList m_inputPrompts;
    QStringList m_inputTitles;
    QList<FileRequest> m_fileRequests;
    QStringList m_inputAnswers;
    QStringList m_openAnswers;
    QList<SaveAnswer> m_saveAnswers;
    QStringList m_keyPrompts;
    QList<KeyAnswer> m_keyAnswers;
};

}  // namespace zd
