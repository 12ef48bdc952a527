#include "window/qtdialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

namespace zd {
namespace {

QWidget* dialogParent() { return QApplication::activeWindow(); }

QString patternsForQt(const QString& patterns)
{
    QStringList result;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        result.append(pattern.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
    return result.join(QLatin1Char(' '));
}

// The description without a pattern list in parentheses at its end.
QString bareDescription(const QString& description)
{
    const QString trimmed = description.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (trimmed.endsWith(QLatin1Char(')')) && open > 0)
        return trimmed.left(open).trimmed();
    return trimmed;
}

QString commonFolder(const QStringList& paths)
{
    QString folder = QFileInfo(paths.constFirst()).absolutePath();
    const auto holds = [](const QString& folder, const QString& path) {
        const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        return QFileInfo(path).absoluteFilePath().startsWith(prefix);
    };
    for (const QString& path : paths) {
        while (!holds(folder, path)) {
            const QString parent = QFileInfo(folder).absolutePath();
            if (parent == folder)
                return folder;
            folder = parent;
        }
    }
    return folder;
}

void prepareFileDialog(QFileDialog& dialog, const FileDialogSettings& settings)
{
    dialog.setWindowTitle(settings.title);
    dialog.setWindowModality(Qt::ApplicationModal);
    const QStringList filters = qtNameFilters(settings.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!settings.fileName.isEmpty())
        dialog.selectFile(settings.fileName);
}

}  // namespace

QString displayedMessageText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QStringList qtNameFilters(const QString& filter)
{
    const QStringList pieces = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        if (pieces[i].isEmpty() && pieces[i + 1].isEmpty())
            continue;
        filters.append(bareDescription(pieces[i]) + QStringLiteral(" (")
                       + patternsForQt(pieces[i + 1]) + QLatin1Char(')'));
    }
    return filters;
}

QString classicOpenAnswer(const QStringList& chosenFiles)
{
    if (chosenFiles.isEmpty())
        return {};
    if (chosenFiles.size() == 1)
        return QDir::toNativeSeparators(QFileInfo(chosenFiles.constFirst()).absoluteFilePath());
    const QString folder = commonFolder(chosenFiles);
    const QDir base(folder);
    QStringList parts{QDir::toNativeSeparators(folder)};
    for (const QString& path : chosenFiles)
        parts.append(QDir::toNativeSeparators(base.relativeFilePath(QFileInfo(path).absoluteFilePath())));
    return parts.join(QChar(0));
}

void QtDialogs::showMessage(const QString& text, int style, const QString& title)
{
    QMessageBox box(dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayedMessageText(text));
    box.setIcon(style == kMessageExclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtDialogs::showOpen(const FileDialogSettings& settings)
{
    QFileDialog dialog(dialogParent());
    prepareFileDialog(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((settings.flags & kFileDialogAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                            : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return classicOpenAnswer(dialog.selectedFiles());
}

SaveAnswer QtDialogs::showSave(const FileDialogSettings& settings)
{
    QFileDialog dialog(dialogParent());
    prepareFileDialog(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The path is used exactly as chosen: no question about replacing, no extension added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const qsizetype filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return {QDir::toNativeSeparators(dialog.selectedFiles().constFirst()), int(std::max<qsizetype>(filter, 0)) + 1};
}

KeyAnswer QtDialogs::askForKey(const QString& prompt, const QString& title, const QString& keepText)
{
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("KeyDialog"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(title);
    auto* label = new QLabel(displayedMessageText(prompt), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* field = new QLineEdit(&dialog);
    field->setObjectName(QStringLiteral("KeyField"));
    field->setEchoMode(QLineEdit::Password);
    auto* keep = new QCheckBox(keepText, &dialog);
    keep->setObjectName(QStringLiteral("KeepKey"));
    keep->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    QObject::connect(field, &QLineEdit::textChanged, ok,
                     [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(keep);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(480);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {field->text().trimmed(), keep->isChecked()};
}

}  // namespace zd
