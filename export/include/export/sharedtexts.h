#pragma once

#include <QDataStream>
#include <QHash>
#include <QList>
#include <QString>

namespace zd {

// Short texts of few kinds (percents, as a CV is, and words, as a reliability
// word is) come again and again in a scratch file of results: they are written
// whole the first time and then by their number, and read back sharing one text
// rather than each made anew. Any other text (counts are mostly distinct) is
// written whole each time. A null text stays null.
class SharedTextsOut {
public:
    void write(QDataStream& out, const QString& text);

private:
    QHash<QString, qint32> m_numbers;
};

// Reads what SharedTextsOut wrote, in the same order; a number it never gave
// marks the stream corrupt.
class SharedTextsIn {
public:
    QString read(QDataStream& in);

private:
    QList<QString> m_texts;
};

}  // namespace zd
