#include "site/faultmodes.h"

#include "core/windows1252.h"
#include "site/samplepages.h"

namespace zd {
namespace {

const QString kFigureCell = QStringLiteral("<td class=\"text\">");
const QString kIncomeRow = QStringLiteral("</tr><tr><td class=\"text\" align=\"right\">");

// Where the n-th (1-based) occurrence of marker starts, or -1.
qsizetype nthOccurrence(const QString& text, const QString& marker, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n; ++i) {
        at = text.indexOf(marker, at + 1);
        if (at < 0)
            return -1;
    }
    return at;
}

}  // namespace

const QList<FaultModeInfo>& faultModes()
{
    static const QList<FaultModeInfo> modes = {
        {FaultMode::NotFoundWithBody, "00404", "status 404, with a page in the body"},
        {FaultMode::EmptyBody, "00204", "status 200 and an empty body"},
        {FaultMode::TinyChunks, "00001", "a page sent in chunked encoding, 1 to 9 bytes a chunk"},
        {FaultMode::CutOff, "00002", "a page cut off halfway: the connection closes early"},
        {FaultMode::SlowDrip, "00003", "a page sent 64 bytes every 20 ms (a few seconds)"},
        {FaultMode::Redirect, "00301", "a redirect (302) to the page of 03053"},
        {FaultMode::RedirectLoop, "00310", "a redirect (302) to itself, without end"},
        {FaultMode::HighBytes, "00128", "a page with characters above 127 (Windows-1252)"},
        {FaultMode::BreaksOffInFigures, "00500", "a page that breaks off inside the figures"},
        {FaultMode::BreaksOffInIncome, "00501",
         "a page that breaks off inside the household income rows"},
        {FaultMode::TooManyRequests, "00429",
         "status 429 with \"Retry-After: 1\" on the 1st, 3rd, 5th... try, the page on the others"},
        {FaultMode::TooManyRequestsUntil, "00430",
         "status 429 with Retry-After as an HTTP date 2 s ahead, then the page, in turn"},
        {FaultMode::UnavailableTwice, "00503",
         "status 503 on the 1st and 2nd try, the page on the 3rd, and so on"},
        {FaultMode::ResetFirst, "00104",
         "the connection reset (RST) on the 1st, 3rd, 5th... try, the page on the others"},
    };
    return modes;
}

std::optional<FaultMode> faultModeForZip(const QString& zip)
{
    for (const FaultModeInfo& info : faultModes()) {
        if (zip == QLatin1String(info.zip))
            return info.mode;
    }
    return std::nullopt;
}

bool transientFaultStrikes(FaultMode mode, int attempt)
{
    switch (mode) {
    case FaultMode::TooManyRequests:
    case FaultMode::TooManyRequestsUntil:
    case FaultMode::ResetFirst: return attempt % 2 == 1;
    case FaultMode::UnavailableTwice: return attempt % 3 != 0;
    default: return true;
    }
}

QString faultModeDescription(FaultMode mode)
{
    for (const FaultModeInfo& info : faultModes()) {
        if (info.mode == mode)
            return QString::fromLatin1(info.description);
    }
    return {};
}

QString faultModeHelpText()
{
    QString text;
    for (const FaultModeInfo& info : faultModes())
        text += "  " + QLatin1String(info.zip) + "  " + QLatin1String(info.description) + '\n';
    return text;
}

QString faultModeListHtml()
{
    QString html = "<ul class=\"faults\">\n";
    for (const FaultModeInfo& info : faultModes())
        html += "<li>" + QLatin1String(info.zip) + ": " + QString::fromLatin1(info.description).toHtmlEscaped() + "</li>\n";
    return html + "</ul>\n";
}

QByteArray highBytesPage()
{
    SamplePageContent content = generatedPageContent(
        "00128", QString::fromUtf8("<nobr>Château-Ñorrel – Østerbü</nobr>"));
    const QList<SampleRow> accented = {
        {QString::fromUtf8("Residents’ median age"), QString::fromUtf8("41½ years")},
        {QString::fromUtf8("Margin of error ±"), QString::fromUtf8("3‰")},
        {QString::fromUtf8("Average rent in €"), QString::fromUtf8("€ 1.050")},
        {QString::fromUtf8("Byte 0x81, undefined in the code page: ") + QChar(0x81), "kept"},
    };
    content.figures = accented + content.figures;
    return encodeWindows1252(renderSamplePage(content));
}

// The page ends right after the label of the seventh figure, before its "</td>".
QByteArray breaksOffInFiguresPage()
{
    const QString page = renderSamplePage(
        generatedPageContent("00500", "<nobr>Broken Figures Test Page</nobr>"));
    const qsizetype cell = nthOccurrence(page, kFigureCell, 7);
    return encodeWindows1252(page.left(page.indexOf("</td>", cell)));
}

// The page ends after the label cell of the fourth income row, before its value cell.
QByteArray breaksOffInIncomePage()
{
    const QString page = renderSamplePage(
        generatedPageContent("00501", "<nobr>Broken Income Test Page</nobr>"));
    const qsizetype row = nthOccurrence(page, kIncomeRow, 4);
    return encodeWindows1252(page.left(page.indexOf("</td>", row) + 5));
}

QByteArray faultTestPage(const QString& zip, const QString& name)
{
    return encodeWindows1252(renderSamplePage(generatedPageContent(zip, "<nobr>" + name + "</nobr>")));
}

QByteArray notFoundBody()
{
    const QString page = renderSamplePage({"00404", "<nobr>Page not found</nobr>",
                                          {{"Status", "404"}}, {}});
    return encodeWindows1252(page);
}

}  // namespace zd
