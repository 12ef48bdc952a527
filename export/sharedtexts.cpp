#include "export/sharedtexts.h"

namespace zd {
namespace {

constexpr qint32 kWholeText = -1;
constexpr qint32 kNewSharedText = -2;
constexpr qint32 kNullText = -3;  // no text at all, as most beside a figure are
constexpr qsizetype kLongestSharedText = 8;
constexpr qsizetype kMostSharedTexts = 16384;  // a bound on the room the numbering takes

bool worthSharing(const QString& text)
{
    return !text.isEmpty() && text.size() <= kLongestSharedText
           && (text.back() == QLatin1Char('%') || text.front().isLetter());
}

}  // namespace

void SharedTextsOut::write(QDataStream& out, const QString& text)
{
    if (text.isNull()) {
        out << kNullText;
        return;
    }
    if (!worthSharing(text)) {
        out << kWholeText << text;
        return;
    }
    const auto known = m_numbers.constFind(text);
    if (known != m_numbers.constEnd()) {
        out << *known;
        return;
    }
    if (m_numbers.size() >= kMostSharedTexts) {
        out << kWholeText << text;
        return;
    }
    m_numbers.insert(text, qint32(m_numbers.size()));
    out << kNewSharedText << text;
}

QString SharedTextsIn::read(QDataStream& in)
{
    qint32 number = kWholeText;
    in >> number;
    if (number >= 0 && number < m_texts.size())
        return m_texts[number];
    QString text;
    if (number == kNullText)
        return text;
    if (number == kWholeText || number == kNewSharedText)
        in >> text;
    else
        in.setStatus(QDataStream::ReadCorruptData);
    if (number == kNewSharedText)
        m_texts.append(text);
    return text;
}

}  // namespace zd
