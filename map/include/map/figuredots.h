#pragma once

#include "census/placenames.h"
#include "export/resultstable.h"
#include "map/mappicture.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace zd {

// Whether a figure is the one asked for: its label, in any case, or its
// variable's ID ("DP03_0062E") when the source names its figures.
bool isFigureNamed(const Figure& figure, const QString& wanted);

// Gathers, entry after entry, the dots of one figure: each listed ZIP code the
// place table has coordinates for, once, with its value when the figure is
// there and reads as a number (a bound, "250,000+", as its number).
class FigureDots {
public:
    FigureDots(QString wanted, const PlaceNames& places);

    void take(const EntryResult& result);

    // Whether any entry held the figure; when none did, the figures there are.
    bool figureFound() const { return !m_label.isEmpty(); }
    // The figure's label as the entries show it ("Median household income (dollars)").
    const QString& label() const { return m_label; }
    // Every figure the entries held, in the order first seen: "LABEL" or "LABEL [ID]".
    const QStringList& figuresSeen() const { return m_figuresSeen; }

    std::vector<MapDot>& dots() { return m_dots; }
    qsizetype valueCount() const { return m_valueCount; }
    // ZIP codes the place table has no coordinates for, or outside the map's regions.
    qsizetype unplacedCount() const { return m_unplaced; }
    ValueStyle style() const;
    // The bounds among the values ("250,000+" as 250000 at least).
    const MapBounds& bounds() const { return m_bounds; }

private:
    void noteFigures(const EntryResult& result);
    void noteBound(FigureBound bound, double value);

    QString m_wanted;
    const PlaceNames& m_places;
    QString m_label;
    QStringList m_figuresSeen;
    QSet<QString> m_seenNames;
    QSet<QString> m_zipsTaken;
    std::vector<MapDot> m_dots;
    QStringList m_valueTexts;  // the values as shown, bounds left out
    qsizetype m_valueCount = 0;
    qsizetype m_unplaced = 0;
    MapBounds m_bounds;
};

}  // namespace zd
