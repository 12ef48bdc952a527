#include "window/skinframework.h"

#include "core/apperror.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

namespace zd {
namespace {

QString objectDoesNotSupport()
{
    return QStringLiteral("Object doesn't support this property or method");
}

QString invalidSkinFile() { return QStringLiteral("Invalid skin file"); }

}  // namespace

SkinFramework::SkinFramework(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("SkinFramework1"));
}

QString SkinFramework::describe(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.typeId() == QMetaType::QString)
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

QVariant SkinFramework::invoke(int member, const QVariantList& arguments)
{
    QStringList described;
    for (const QVariant& argument : arguments)
        described.append(describe(argument));
    m_callLog.append(QStringLiteral("invoke %1 (%2)").arg(member).arg(described.join(QStringLiteral(", "))));
    if (member == kLoadSkinMethod)
        loadSkin(arguments);
    else if (member == kApplyWindowMethod)
        applyToWindow(arguments);
    else
        throw AppError(objectDoesNotSupport());
    return {};
}

QVariant SkinFramework::propertyGet(int member)
{
    QVariant value;
    if (member == kOptionsProperty)
        value = m_options;
    else if (member == kApplicationWideProperty)
        value = m_applicationWide;
    else if (member == kScrollBarsProperty)
        value = m_scrollBars;
    m_callLog.append(QStringLiteral("get %1 -> %2").arg(member).arg(describe(value)));
    if (!value.isValid())
        throw AppError(objectDoesNotSupport());
    return value;
}

void SkinFramework::propertyPut(int member, const QVariant& value)
{
    m_callLog.append(QStringLiteral("put %1 = %2").arg(member).arg(describe(value)));
    if (member == kOptionsProperty)
        m_options = value.toInt();
    else if (member == kApplicationWideProperty)
        m_applicationWide = value.toBool();
    else if (member == kScrollBarsProperty)
        m_scrollBars = value.toBool();
    else
        throw AppError(objectDoesNotSupport());
}

void SkinFramework::loadSkin(const QVariantList& arguments)
{
    if (arguments.size() != 2 || !arguments.at(1).toString().isEmpty())
        throw AppError(errors::invalidArgument());
    QFile file(arguments.at(0).toString());
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(file.exists() ? errors::permissionDenied() : errors::fileNotFound());
    const QList<Rule> rules = parseRules(QString::fromUtf8(file.readAll()));
    if (rules.isEmpty())
        throw AppError(invalidSkinFile());
    m_rules = rules;
    m_loaded = true;
}

// A style sheet's rules, comments dropped: "selector { body }" one after another.
// Anything that does not read that way makes the file no skin.
QList<SkinFramework::Rule> SkinFramework::parseRules(const QString& sheet)
{
    QString text = sheet;
    for (qsizetype open = text.indexOf(QLatin1String("/*")); open >= 0;
         open = text.indexOf(QLatin1String("/*"), open)) {
        const qsizetype close = text.indexOf(QLatin1String("*/"), open + 2);
        if (close < 0)
            return {};
        text.remove(open, close + 2 - open);
    }
    QList<Rule> rules;
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), at);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('}'), open);
        const QString selector = text.mid(at, open - at).trimmed();
        if (close < 0 || selector.isEmpty() || selector.contains(QLatin1Char('}'))
            || text.mid(open + 1, close - open - 1).contains(QLatin1Char('{')))
            return {};
        rules.append({selector, text.mid(open + 1, close - open - 1).trimmed()});
        at = close + 1;
    }
    if (!text.mid(at).trimmed().isEmpty())
        return {};
    return rules;
}

QString SkinFramework::joinRules(const QList<Rule>& rules)
{
    QString sheet;
    for (const Rule& rule : rules)
        sheet += rule.selector + QStringLiteral(" { ") + rule.body + QStringLiteral(" }\n");
    return sheet;
}

bool SkinFramework::takesPart(const Rule& rule, const QString& windowName) const
{
    if (!m_scrollBars && rule.selector.contains(QLatin1String("QScrollBar")))
        return false;
    if (m_options & kOptionSkinControls)
        return true;
    // Without the controls option only the window's own rules apply.
    return !windowName.isEmpty() && rule.selector.contains(QLatin1Char('#') + windowName);
}

QString SkinFramework::windowStyleSheet(const QString& windowName) const
{
    QList<Rule> chosen;
    for (const Rule& rule : m_rules) {
        if (takesPart(rule, windowName))
            chosen.append(rule);
    }
    return joinRules(chosen);
}

void SkinFramework::applyToWindow(const QVariantList& arguments)
{
    if (arguments.size() != 1 || !m_loaded)
        throw AppError(errors::invalidArgument());
    QWidget* window = QWidget::find(static_cast<WId>(arguments.at(0).toULongLong()));
    if (!window)
        throw AppError(errors::invalidArgument());
    const QString sheet = windowStyleSheet(window->objectName());
    if (m_applicationWide && qApp)
        qApp->setStyleSheet(sheet);
    window->setStyleSheet(sheet);
}

}  // namespace zd
