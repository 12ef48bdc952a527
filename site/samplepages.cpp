#include "site/samplepages.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>

namespace zd {
namespace {

struct KnownPlace {
    const char* zip;
    const char* nameCellHtml;
};

// Invented places. The cells vary in shape on purpose: plain names, "<nobr>",
// a leading "<b>" and "&nbsp;" all occur, as the lookup expects of real pages.
constexpr std::array<KnownPlace, 12> kKnownPlaces = {{
    {"03053", "<nobr>Harrowmere Falls, NH</nobr>"},
    {"01830", "<nobr><b>Ostenbrook Mills, MA</nobr>"},
    {"02134", "<nobr>Pellory Junction, MA</nobr>"},
    {"05401", "<nobr>Vorrin Lake,&nbsp;VT</nobr>"},
    {"10027", "<nobr>Marrowgate Heights, NY</nobr>"},
    {"19104", "<b>Tessaly Hills, PA"},
    {"30309", "<nobr>Caddock Mill, GA</nobr>"},
    {"48104", "Wenlow,&nbsp;MI"},
    {"60614", "<nobr>Brackenvale Flats, IL</nobr>"},
    {"73301", "<nobr>Sorrelwyn Creek, TX</nobr>"},
    {"80302", "<nobr><b>Hallorin Ridge, CO</nobr>"},
    {"94110", "<nobr>Mistrelle&nbsp;Point, CA</nobr>"},
}};

// A small deterministic generator, so that a ZIP code always shows the same figures.
class FigureSource {
public:
    explicit FigureSource(const QString& zip)
    {
        m_state = 2166136261u;
        for (const QChar c : zip)
            m_state = (m_state ^ c.unicode()) * 16777619u;
        if (m_state == 0)
            m_state = 1;
    }
    // A whole number from low to high, both included.
    int between(int low, int high)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return low + static_cast<int>(m_state % static_cast<std::uint32_t>(high - low + 1));
    }

private:
    std::uint32_t m_state;
};

// Syllables of invented place names, and states by the first digit of the ZIP
// code, roughly where that digit's codes lie.
constexpr std::array<const char*, 24> kNameStarts = {
    "Brann", "Coll", "Dorn", "Ebb", "Farr", "Gilm", "Hask", "Ives", "Jarr", "Kest", "Lorr", "Marl",
    "Nesk", "Orrin", "Pell", "Quill", "Rask", "Sten", "Tarr", "Ulm", "Vess", "Wrenn", "Yarr", "Zell"};
constexpr std::array<const char*, 12> kNameEnds = {"ford", "wick", "mere", "dale", "holt", "stead",
                                                   "by", "worth", "ton", "bury", "field", "moor"};
constexpr std::array<const char*, 8> kNameFeatures = {"", " Falls", " Crossing", " Hollow",
                                                      " Springs", " Ridge", " Landing", " Point"};
constexpr std::array<std::array<const char*, 3>, 10> kStatesByFirstDigit = {{
    {"NH", "MA", "VT"}, {"NY", "PA", "DE"}, {"VA", "NC", "SC"}, {"GA", "FL", "AL"},
    {"MI", "OH", "KY"}, {"MN", "IA", "WI"}, {"IL", "KS", "NE"}, {"TX", "OK", "LA"},
    {"CO", "AZ", "UT"}, {"CA", "OR", "WA"},
}};

QString grouped(qint64 number)
{
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

QString tenths(int value) { return QString::number(value / 10) + '.' + QString::number(value % 10); }
QString percent(int valueInTenths) { return tenths(valueInTenths) + '%'; }
QString dollars(qint64 amount) { return '$' + grouped(amount); }

QList<SampleRow> peopleFigures(FigureSource& source, int population)
{
    const int males = population * source.between(470, 510) / 1000;
    return {
        {"<b>Total population", "&nbsp;" + grouped(population)},
        {"&nbsp;&nbsp;Male", grouped(males)},
        {"&nbsp;&nbsp;Female", grouped(population - males)},
        {"Median age", tenths(source.between(280, 480)) + " years"},
        {"Under 18 years", percent(source.between(140, 280))},
        {"65 years and over", percent(source.between(90, 240))},
    };
}

QList<SampleRow> householdAndHousingFigures(FigureSource& source, int population, int& households)
{
    const int sizeInHundredths = source.between(210, 295);
    households = population * 100 / sizeInHundredths;
    const int housingUnits = households * source.between(1030, 1120) / 1000;
    return {
        {"<b>Households", grouped(households)},
        {"Average household size",
         QString::number(sizeInHundredths / 100) + '.'
             + QString::number(sizeInHundredths % 100).rightJustified(2, QLatin1Char('0'))},
        {"Family households", percent(source.between(480, 760))},
        {"<b>Housing units", grouped(housingUnits)},
        {"Owner-occupied", percent(source.between(400, 850))},
        {"Median home value", dollars(source.between(150, 650) * 1000 + source.between(0, 9) * 100)},
        {"Median gross rent", dollars(source.between(850, 2400))},
    };
}

QList<SampleRow> educationAndAreaFigures(FigureSource& source, int population, int medianIncome)
{
    const int areaInTenths = source.between(30, 600);
    return {
        {"<nobr>High school graduate or higher</nobr>", percent(source.between(820, 975))},
        {"<nobr>Bachelor's degree or higher</nobr>", percent(source.between(180, 650))},
        {"Land area", tenths(areaInTenths) + " sq. mi."},
        {"Population density", grouped(qint64(population) * 10 / areaInTenths) + " per sq. mi."},
        {"Median household income", dollars(medianIncome)},
    };
}

// Ten brackets whose shares (in tenths of a percent) add up to exactly 100.0%.
QList<SampleRow> incomeBrackets(FigureSource& source, int medianIncome)
{
    static const std::array<const char*, 10> labels = {
        "Less than $10,000",    "$10,000 to $14,999",   "$15,000 to $24,999",
        "$25,000 to $34,999",   "$35,000 to $49,999",   "$50,000 to $74,999",
        "$75,000 to $99,999",   "$100,000 to $149,999", "$150,000 to $199,999",
        "$200,000 or more",
    };
    const int peak = qBound(2, medianIncome / 15000, 8);
    std::array<int, 10> weights{};
    int total = 0;
    for (int i = 0; i < 10; ++i) {
        weights[i] = (12 - std::abs(i - peak)) * 10 + source.between(0, 40);
        total += weights[i];
    }
    QList<SampleRow> rows;
    int given = 0;
    for (int i = 0; i < 10; ++i) {
        const int share = i == 9 ? 1000 - given : weights[i] * 1000 / total;
        given += share;
        rows.append({labels[i], "<nobr>" + tenths(share) + "&nbsp;%</nobr>"});
    }
    return rows;
}

QString pageHead(const QString& title)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1252\">\n<title>" + title
           + "</title></head>\n<body>\n"
             "<p class=\"notice\">(Sample page of the zipdemographics sample site: the place "
             "name and every figure below are made up.)</p>\n";
}

const QString kPageFoot = QStringLiteral(
    "<p class=\"footer\">Invented figures for trying zipdemographics offline. They describe "
    "no real place.</p>\n</body></html>\n");

QString figureTable(const QList<SampleRow>& figures)
{
    QString html = "<table class=\"figures\">\n";
    for (const SampleRow& row : figures) {
        html += "<tr><td class=\"text\">" + row.labelHtml + "</td><td class=\"figure\">"
                + row.valueHtml + "</td></tr>\n";
    }
    return html + "</table>\n";
}

// The heading row of the income table is right-aligned too, but it does not follow
// "</tr>", so it is no bracket row.
QString incomeTable(const QList<SampleRow>& rows)
{
    QString html = "<table class=\"income\">\n<tr><td class=\"text\" align=\"right\"><b>Household "
                   "income</b></td><td class=\"text\" align=\"right\"><b>Share</b></td>\n";
    for (const SampleRow& row : rows) {
        html += "</tr><tr><td class=\"text\" align=\"right\">" + row.labelHtml
                + "</td><td class=\"text\" align=\"right\">" + row.valueHtml + "</td>\n";
    }
    return html + "</tr></table>\n";
}

}  // namespace

QStringList sampleZipCodes()
{
    QStringList zips;
    for (const KnownPlace& place : kKnownPlaces)
        zips.append(QString::fromLatin1(place.zip));
    return zips;
}

std::optional<QString> sampleNameCell(const QString& zip)
{
    for (const KnownPlace& place : kKnownPlaces) {
        if (zip == QLatin1String(place.zip))
            return QString::fromLatin1(place.nameCellHtml);
    }
    return std::nullopt;
}

SamplePageContent generatedPageContent(const QString& zip, const QString& nameCellHtml)
{
    FigureSource source(zip);
    SamplePageContent content{zip, nameCellHtml, {}, {}};
    const int population = source.between(2000, 60000);
    int households = 0;
    content.figures = peopleFigures(source, population);
    content.figures += householdAndHousingFigures(source, population, households);
    const int medianIncome = source.between(38, 160) * 1000 + source.between(0, 19) * 50;
    content.figures += educationAndAreaFigures(source, population, medianIncome);
    content.incomeRows = incomeBrackets(source, medianIncome);
    return content;
}

std::optional<QString> samplePage(const QString& zip)
{
    const std::optional<QString> nameCell = sampleNameCell(zip);
    if (!nameCell)
        return std::nullopt;
    return renderSamplePage(generatedPageContent(zip, *nameCell));
}

QString madeUpNameCell(const QString& zip)
{
    FigureSource source("name of " + zip);
    const int firstDigit = zip.isEmpty() ? 0 : qBound(0, zip.front().digitValue(), 9);
    const QString name = QString::fromLatin1(kNameStarts[source.between(0, int(kNameStarts.size()) - 1)])
                         + kNameEnds[source.between(0, int(kNameEnds.size()) - 1)]
                         + kNameFeatures[source.between(0, int(kNameFeatures.size()) - 1)];
    const QString state = kStatesByFirstDigit[firstDigit][source.between(0, 2)];
    return "<nobr>" + name + ", " + state + "</nobr>";
}

std::optional<QString> everyZipPage(const QString& zip)
{
    const bool fiveDigits = zip.size() == 5 && std::all_of(zip.begin(), zip.end(), [](QChar c) {
        return c >= '0' && c <= '9';
    });
    if (!fiveDigits)
        return std::nullopt;
    if (std::optional<QString> known = samplePage(zip))
        return known;
    return renderSamplePage(generatedPageContent(zip, madeUpNameCell(zip)));
}

QString renderSamplePage(const SamplePageContent& content)
{
    const QString zip = content.zip.toHtmlEscaped();
    return pageHead("ZIP code " + zip + " - sample demographics")
           + "<table class=\"place\"><tr><td class=\"zip\">ZIP code " + zip
           + "</td><td class=\"name\">(" + content.nameCellHtml + ")</td></tr></table>\n"
           + "<h2>Figures</h2>\n" + figureTable(content.figures) + "<h2>Household income</h2>\n"
           + incomeTable(content.incomeRows) + kPageFoot;
}

// The ZIP code is shown inside quotes, so no "(" can follow a tag's ">" here.
QString unknownZipPage(const QString& zip)
{
    return pageHead("ZIP code not known - sample demographics")
           + "<p class=\"missing\">The sample site has no page for the ZIP code \""
           + zip.toHtmlEscaped() + "\". Its front page lists the ones it knows.</p>\n" + kPageFoot;
}

QString indexPage(const QString& faultModeListHtml)
{
    QString html = pageHead("zipdemographics sample site")
                   + "<h1>Sample demographics</h1>\n<p>Pages: /index.php?zip=ZIP&amp;amppagetype=main"
                     "</p>\n<ul class=\"zips\">\n";
    for (const QString& zip : sampleZipCodes()) {
        html += "<li><a href=\"/index.php?zip=" + zip + "&amp;amppagetype=main\">" + zip
                + "</a></li>\n";
    }
    return html + "</ul>\n<h2>Fault modes</h2>\n" + faultModeListHtml + kPageFoot;
}

QString notAPageOfThisSite(const QString& target)
{
    return pageHead("Not found - sample demographics") + "<p class=\"missing\">\""
           + target.toHtmlEscaped()
           + "\" is not a page of the sample site. Pages are "
             "/index.php?zip=ZIP&amp;amppagetype=main.</p>\n"
           + kPageFoot;
}

}  // namespace zd
