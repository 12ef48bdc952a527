#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zd {

// Which side of an open-ended interval a coded median lies on.
enum class CensusBound {
    None,
    AtLeast,  // "250,000+": the median is the bound or more
    AtMost,   // "2,500-": the median is the bound or less
};

// The values the Bureau writes for a median of one kind that falls in its
// lowest or highest, open-ended interval: the bound one below or above it
// (2499 for "2,500-", 250001 for "250,000+"). Empty where the kind has none.
struct MedianCoding {
    QString atMostValue;   // "2499"
    QString atLeastValue;  // "250001"

    bool isCoded() const { return !atMostValue.isEmpty() || !atLeastValue.isEmpty(); }
};

// The coding of the median a label of the year's list names, by the Bureau's
// notes on medians: household, family, nonfamily income and earnings 2,500- and
// 250,000+; home value 10,000- and 2,000,000+ (1,000,000+ before 2015); gross
// rent 100- and 3,500+ (2,000+ before 2015); monthly owner costs with a
// mortgage 200- and 4,000+, without one 100- and 1,500+. None for any other
// figure: a count of 2499 is a count.
MedianCoding medianCodingOf(const QString& label, int year);

// A bound and its side.
struct CodedBound {
    CensusBound side = CensusBound::None;
    QString value;  // the bound as a plain decimal: "250000"
};

// The bound a coded median stands for: the Bureau writes the bound one above
// ("250001" for 250,000+) or one below ("2499" for 2,500-). With the coding, a
// value it names; without (a margin of -333333333 says the median is coded),
// a whole value ending in 1 or 9. Nothing for any other value.
std::optional<CodedBound> codedBoundOf(QStringView plain, const MedianCoding& coding);
std::optional<CodedBound> codedBoundOf(QStringView plain);

}  // namespace zd
