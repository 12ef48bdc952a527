#include "export/jsonlwriter.h"

#include "export/figurenumber.h"
#include "export/jsontext.h"
#include "export/resultfile.h"
#include "export/resultstable.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zd {
namespace {

// Equal to the code unit: a plain comparison of the bytes, several times faster
// than QString's ordering comparison that == goes through.
bool sameText(const QString& a, const QString& b)
{
    return a.size() == b.size() && std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(QChar)) == 0;
}

// The `{"label":"..."` that opens a figure, escaped once for each place in the
// figures rather than once per entry: entries mostly carry the same labels in
// the same places.
class LabelTexts {
public:
    const QByteArray& of(const Figure& figure, qsizetype place)
    {
        if (size_t(place) >= m_byPlace.size())
            m_byPlace.resize(size_t(place) + 1);
        Label& label = m_byPlace[size_t(place)];
        if (label.text.isEmpty() || !sameText(label.label, figure.label)) {
            label.label = figure.label;
            label.text = "{\"label\":";
            appendJsonString(label.text, figure.label);
        }
        return label.text;
    }

private:
    struct Label {
        QString label;
        QByteArray text;
    };
    std::vector<Label> m_byPlace;
};

char* copied(char* out, QByteArrayView bytes) { return std::copy_n(bytes.data(), bytes.size(), out); }

constexpr QByteArrayView kNumberKey = "\"number\":";
constexpr QByteArrayView kValueKey = ",\"value\":";
constexpr QByteArrayView kMarginKey = ",\"moe\":{";
constexpr QByteArrayView kVariableKey = ",\"variable\":";
constexpr QByteArrayView kUnitKey = ",\"unit\":";
constexpr QByteArrayView kUniverseKey = ",\"universe\":";

// The most bytes `,"variable":"ID"` takes; none without an ID.
qsizetype longestVariable(const QString& variable)
{
    return variable.isEmpty() ? 0 : kVariableKey.size() + longestJsonString(variable.size());
}

// ,"variable":"ID" after a figure's or a margin's value, when the source names it.
char* writeVariable(char* out, const QString& variable)
{
    if (variable.isEmpty())
        return out;
    out = copied(out, kVariableKey);
    return writeJsonString(out, variable);
}

// The most bytes `"number":N,"value":"text"` takes.
qsizetype longestNumberAndValue(const QString& value)
{
    return kNumberKey.size() + kLongestJsonNumber + kValueKey.size() + longestJsonString(value.size());
}

constexpr QByteArrayView kCvKey = "\"cv\":";
constexpr QByteArrayView kReliabilityKey = ",\"reliability\":";

// The most bytes a margin's "cv":"7.3%", and ,"reliability":"word" take; none without them.
qsizetype longestReliability(const Figure& figure)
{
    return (figure.cv.isEmpty() ? 0 : kCvKey.size() + longestJsonString(figure.cv.size()) + 1)
           + (figure.reliability.isEmpty() ? 0
                                           : kReliabilityKey.size() + longestJsonString(figure.reliability.size()));
}

// "cv":"7.3%", at the start of a margin's object when it has one.
char* writeCv(char* out, const QString& cv)
{
    if (cv.isEmpty())
        return out;
    out = copied(out, kCvKey);
    out = writeJsonString(out, cv);
    *out++ = ',';
    return out;
}

// The most bytes `,"unit":"percent","universe":"text"` take; none when the source says neither.
qsizetype longestUnitAndUniverse(const Figure& figure)
{
    return (figure.unit.isEmpty() ? 0 : kUnitKey.size() + longestJsonString(figure.unit.size()))
           + (figure.universe.isEmpty() ? 0 : kUniverseKey.size() + longestJsonString(figure.universe.size()));
}

// ,"key":"text" when there is a text.
char* writeOptionalText(char* out, QByteArrayView key, const QString& text)
{
    if (text.isEmpty())
        return out;
    out = copied(out, key);
    return writeJsonString(out, text);
}

// "number":N,"value":"text": the text read as a number, or null; between them
// in the keys' sorted order a margin's reliability word, a figure's unit and
// universe.
char* writeNumberAndValue(char* out, const QString& value, const QString& reliability = {},
                          const Figure* unitOf = nullptr, bool bound = false)
{
    out = copied(out, kNumberKey);
    // A bound's number is the bound: "250,000+" is 250000.
    const std::optional<double> number = readFigureValue(bound ? value.chopped(1) : value);
    out = number ? writeJsonNumber(out, *number) : copied(out, "null");
    out = writeOptionalText(out, kReliabilityKey, reliability);
    if (unitOf) {
        out = writeOptionalText(out, kUnitKey, unitOf->unit);
        out = writeOptionalText(out, kUniverseKey, unitOf->universe);
    }
    out = copied(out, kValueKey);
    return writeJsonString(out, value);
}

// Room is made once for the figure's longest form and it is written through a
// pointer: a figure is a dozen pieces, and an append each cost more than the rest.
constexpr QByteArrayView kAtLeast = "{\"bound\":\"at least\",";
constexpr QByteArrayView kAtMost = "{\"bound\":\"at most\",";

// A figure's opening: `{"label":...`, after `{"bound":"at least",` for a bound.
char* writeOpening(char* out, const Figure& figure, const QByteArray& labelText)
{
    if (figure.bound == FigureBound::None)
        return copied(out, labelText);
    out = copied(out, figure.bound == FigureBound::AtLeast ? kAtLeast : kAtMost);
    return copied(out, QByteArrayView(labelText).sliced(1));
}

void appendFigure(QByteArray& json, const Figure& figure, const QByteArray& labelText)
{
    const qsizetype start = json.size();
    const bool bound = figure.bound != FigureBound::None && !figure.value.isEmpty();
    const qsizetype margin = figure.margin ? kMarginKey.size() + longestNumberAndValue(*figure.margin)
                                                 + longestVariable(figure.marginVariable) + 1
                                                 + longestReliability(figure)
                                           : 0;
    json.resize(start + kAtLeast.size() + labelText.size() + margin + 1 + longestNumberAndValue(figure.value)
                + longestUnitAndUniverse(figure) + longestVariable(figure.variable) + 1);
    char* out = writeOpening(json.data() + start, figure, labelText);
    if (figure.margin) {
        out = copied(out, kMarginKey);
        out = writeCv(out, figure.cv);
        out = writeNumberAndValue(out, *figure.margin, figure.reliability);
        out = writeVariable(out, figure.marginVariable);
        *out++ = '}';
    }
    *out++ = ',';
    out = writeNumberAndValue(out, figure.value, {}, &figure, bound);
    out = writeVariable(out, figure.variable);
    *out++ = '}';
    json.resize(out - json.constData());
}

// The keys in the order Qt's JSON objects keep them, sorted, so that a line reads
// the same as it always has; source and vintage only when the source names them.
void appendEntryJsonLine(QByteArray& json, const EntryResult& entry, const FigureSource& source,
                         LabelTexts& labels)
{
    json.reserve(json.size() + 128 + 96 * entry.figures.size());
    json.append("{\"entry\":");
    appendJsonString(json, entry.entry);
    json.append(",\"figures\":[");
    for (qsizetype i = 0; i < entry.figures.size(); ++i) {
        if (i > 0)
            json.append(',');
        appendFigure(json, entry.figures[i], labels.of(entry.figures[i], i));
    }
    json.append("],\"location\":");
    if (entry.location)
        appendJsonString(json, *entry.location);
    else
        json.append("null");
    if (!entry.note.isEmpty()) {
        json.append(",\"note\":");
        appendJsonString(json, entry.note);
    }
    if (source.isNamed()) {
        json.append(",\"source\":");
        appendJsonString(json, source.publisher);
    }
    json.append(",\"status\":");
    appendJsonString(json, entryStatusText(entry.status, entry.httpStatus));
    if (source.isNamed()) {
        json.append(",\"vintage\":");
        appendJsonString(json, source.vintage);
    }
    json.append(",\"zip\":");
    appendJsonString(json, entry.zip);
    json.append('}');
}

}  // namespace

QByteArray entryJsonLine(const EntryResult& entry, const FigureSource& source)
{
    QByteArray json;
    LabelTexts labels;
    appendEntryJsonLine(json, entry, source, labels);
    return json;
}

TableWriteOutcome writeJsonLines(const ResultsTable& table, const QString& path, const FigureSource& source)
{
    ResultFile file(path);
    if (!file.open())
        return {false, file.description()};
    LabelTexts labels;
    QByteArray line;  // one buffer for every line, its room kept
    const bool written = table.forEachEntry(
        [&](const EntryResult& entry, const QList<int>&) {
            line.resize(0);
            appendEntryJsonLine(line, entry, source, labels);
            file.append(line);
            return file.endLine("\n");
        },
        ResultsTable::Columns::Skipped);
    if (!written || !file.commit())
        return {false, file.description()};
    return {true, QString()};
}

}  // namespace zd
