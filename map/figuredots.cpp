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
        const bool bound = figure.bound != FigureBound::None && !figure.value.isEmpty();
        const QString number = bound ? figure.value.chopped(1) : figure.value;
        dot.value = readFigureValue(number);
        m_valueCount += dot.value ? 1 : 0;
        if (dot.value && bound)
            noteBound(figure.bound, *dot.value);
        else if (dot.value)
            m_valueTexts.append(number);  // a bound shows no unit ("250,000+"): the others say how values read
        break;
    }
    m_dots.push_back(std::move(dot));
}

// A bound is the highest or lowest a value can be shown: it falls in the top
// or bottom class, which the legend marks.
void FigureDots::noteBound(FigureBound bound, double value)
{
    std::optional<double>& kept = bound == FigureBound::AtLeast ? m_bounds.atLeast : m_bounds.atMost;
    kept = value;
}

ValueStyle FigureDots::style() const { return valueStyleOf(m_valueTexts); }

}  // namespace zd
