#include "map/figuredots.h"

#include "census/figurechoice.h"
#include "export/figurenumber.h"

namespace zd {

bool isFigureNamed(const Figure& figure, const QString& wanted)
{
    return isFigureNamed(figure.label, figure.variable, wanted);
}

FigureDots::FigureDots(QString wanted, const PlaceNames& places) : m_wanted(std::move(wanted)), m_places(places) {}

void FigureDots::noteFigures(const EntryResult& result)
{
    for (const Figure& figure : result.figures) {
        const QString name = figure.variable.isEmpty() ? figure.label : figure.label + " [" + figure.variable + "]";
        if (!m_seenNames.contains(name)) {
            m_seenNames.insert(name);
            m_figuresSeen.append(name);
        }
        // Found wherever it is held: in a ZIP code the map cannot place too.
        if (m_label.isEmpty() && isFigureNamed(figure, m_wanted))
            m_label = figure.label;
    }
}

void FigureDots::take(const EntryResult& result)
{
    noteFigures(result);
    if (result.zip.isEmpty() || m_zipsTaken.contains(result.zip))
        return;
    m_zipsTaken.insert(result.zip);
    const std::optional<Place> place = m_places.find(result.zip);
    const std::optional<MapPoint> point = place ? projectUsa(place->latitude, place->longitude) : std::nullopt;
    if (!point) {
        ++m_unplaced;
        return;
    }
    MapDot dot{result.zip, *point, std::nullopt};
    for (const Figure& figure : result.figures) {
        if (!isFigureNamed(figure, m_wanted))
            continue;
        dot.value = readFigureValue(figure.value);
        if (dot.value)
            m_valueTexts.append(figure.value);
        break;
    }
    m_dots.push_back(std::move(dot));
}

ValueStyle FigureDots::style() const { return valueStyleOf(m_valueTexts); }

}  // namespace zd
