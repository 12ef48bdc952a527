#include "census/jsonarrayscan.h"

namespace zd {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

qsizetype skipSpace(QByteArrayView text, qsizetype at)
{
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at;
}

// Where the string that starts at `at` (its opening quote) ends, after its
// closing quote; -1 when it does not end.
qsizetype stringEnd(QByteArrayView text, qsizetype at)
{
    for (++at; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            return at + 1;
    }
    return -1;
}

// Where the array or object that starts at `at` ends; -1 when it does not end.
qsizetype nestedEnd(QByteArrayView text, qsizetype at)
{
    int depth = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"') {
            at = stringEnd(text, at);
            if (at < 0)
                return -1;
            continue;
        }
        depth += (c == '[' || c == '{') ? 1 : (c == ']' || c == '}') ? -1 : 0;
        ++at;
        if (depth == 0)
            return at;
    }
    return -1;
}

// Where the value that starts at `at` ends; -1 when there is none.
qsizetype valueEnd(QByteArrayView text, qsizetype at)
{
    if (at >= text.size())
        return -1;
    if (text[at] == '"')
        return stringEnd(text, at);
    if (text[at] == '[' || text[at] == '{')
        return nestedEnd(text, at);
    const qsizetype start = at;
    while (at < text.size() && text[at] != ',' && text[at] != ']' && !isSpace(text[at]))
        ++at;
    return at > start ? at : -1;
}

}  // namespace

ArrayScan scanJsonArray(QByteArrayView text, const std::function<bool(QByteArrayView element)>& take)
{
    qsizetype at = skipSpace(text, 0);
    if (at >= text.size() || text[at] != '[')
        return ArrayScan::NotAnArray;
    at = skipSpace(text, at + 1);
    bool first = true;
    while (at < text.size() && !(first && text[at] == ']')) {
        const qsizetype end = valueEnd(text, at);
        if (end < 0)
            return ArrayScan::NotAnArray;
        if (!take(text.sliced(at, end - at)))
            return ArrayScan::Stopped;
        at = skipSpace(text, end);
        if (at < text.size() && text[at] == ']')
            break;
        if (at >= text.size() || text[at] != ',')
            return ArrayScan::NotAnArray;
        at = skipSpace(text, at + 1);
        first = false;
    }
    if (at >= text.size())
        return ArrayScan::NotAnArray;
    return skipSpace(text, at + 1) == text.size() ? ArrayScan::Whole : ArrayScan::NotAnArray;
}

}  // namespace zd
