#include "export/workbookwriter.h"

#include "core/cuttext.h"
#include "core/escapedcontrols.h"
#include "export/figurenumber.h"
#include "export/resultfile.h"
#include "export/resultstable.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace zd {
namespace {

constexpr int kFixedColumns = 4;  // entry, zip, status, location
constexpr double kWidestColumn = 80;
constexpr int kLongestCellText = 32767;  // characters in one cell, the format's limit

QString tooLargeText()
{
    return QStringLiteral("the results do not fit in a workbook sheet (%1 rows, %2 columns at most)")
        .arg(LXW_ROW_MAX)
        .arg(LXW_COL_MAX);
}

QString libraryError(lxw_error error)
{
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return QStringLiteral("a text is longer than a workbook cell holds (%1 characters)")
            .arg(kLongestCellText);
    return QString::fromUtf8(lxw_strerror(error));
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};
using WorkbookHandle = std::unique_ptr<lxw_workbook, WorkbookCloser>;

// The About sheet's rows, label and value.
QList<std::pair<QString, QString>> aboutRows(const RunInfo& run)
{
    QList<std::pair<QString, QString>> rows{{QStringLiteral("Site"), run.site}};
    if (run.figureSource.isNamed())
        rows += {{QStringLiteral("Vintage"), run.figureSource.vintage},
                 {QStringLiteral("Source"), run.figureSource.publisher}};
    for (const QString& note : run.notes)
        rows.append({QStringLiteral("Note"), note});
    rows += {{QStringLiteral("Time of the run"), run.time.toString(Qt::ISODate)},
             {QStringLiteral("Program version"), run.version}};
    return rows;
}

// The shade of a figure of low reliability: a light orange.
constexpr lxw_color_t kLowReliabilityShade = 0xFCE4D6;

// A workbook under construction: the cells, their formats and the column widths.
class WorkbookBuilder {
public:
    WorkbookBuilder(lxw_workbook* workbook, const ResultsTable& table)
        : m_workbook(workbook), m_table(table)
    {
        m_bold = workbook_add_format(workbook);
        format_set_bold(m_bold);
        m_text = workbook_add_format(workbook);
        format_set_num_format(m_text, "@");
    }

    lxw_error buildDemographics()
    {
        lxw_worksheet* sheet = workbook_add_worksheet(m_workbook, "Demographics");
        if (!sheet)
            return LXW_ERROR_MEMORY_MALLOC_FAILED;
        sizeColumns(sheet);
        worksheet_freeze_panes(sheet, 1, 0);
        lxw_error error = writeHeader(sheet);
        lxw_row_t row = 0;
        m_table.forEachEntry([&](const EntryResult& entry, const QList<int>& columns) {
            if (error == LXW_NO_ERROR)
                error = writeEntry(sheet, ++row, entry, columns);
            return error == LXW_NO_ERROR;
        });
        return error;
    }

    lxw_error buildAbout(const RunInfo& run)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(m_workbook, "About");
        if (!sheet)
            return LXW_ERROR_MEMORY_MALLOC_FAILED;
        worksheet_set_column(sheet, 0, 0, 18, nullptr);
        worksheet_set_column(sheet, 1, 1, 40, nullptr);
        const QList<std::pair<QString, QString>> rows = aboutRows(run);
        lxw_error error = LXW_NO_ERROR;
        for (int row = 0; error == LXW_NO_ERROR && row < rows.size(); ++row) {
            error = writeText(sheet, row, 0, rows[row].first, m_bold);
            if (error == LXW_NO_ERROR)
                error = writeText(sheet, row, 1, rows[row].second, nullptr);
        }
        return error;
    }

private:
    static lxw_error writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column,
                               const QString& text, lxw_format* format)
    {
        return worksheet_write_string(sheet, row, column, workbookCellText(text).constData(), format);
    }

    lxw_error writeHeader(lxw_worksheet* sheet)
    {
        lxw_col_t column = 0;
        for (const QString& name : headerTexts()) {
            if (const lxw_error error = writeText(sheet, 0, column++, name, m_bold))
                return error;
        }
        return LXW_NO_ERROR;
    }

    lxw_error writeEntry(lxw_worksheet* sheet, lxw_row_t row, const EntryResult& entry, const QList<int>& columns)
    {
        lxw_error error = writeText(sheet, row, 0, entry.entry, m_text);
        if (!error) error = writeText(sheet, row, 1, entry.zip, m_text);
        if (!error) error = writeText(sheet, row, 2, entryStatusText(entry.status, entry.httpStatus), nullptr);
        if (!error && entry.location)
            error = writeText(sheet, row, 3, *entry.location, nullptr);
        for (qsizetype k = 0; !error && k < entry.figures.size(); ++k)
            error = writeFigure(sheet, row, lxw_col_t(kFixedColumns + columns[k]), entry.figures[k]);
        return error;
    }

    // A figure of low reliability is shaded (the About sheet's key says so).
    lxw_error writeFigure(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, const Figure& figure)
    {
        const bool shaded = figure.reliability == QLatin1StringView("low");
        const std::optional<FigureNumber> number = readFigureNumber(figure.value);
        const QString code = number ? workbookNumberFormat(*number) : QString();
        // A unit too long for a number format's field would be cut inside its quotes.
        if (!number || code.toUtf8().size() >= LXW_FORMAT_FIELD_LEN)
            return writeText(sheet, row, column, figure.value, shaded ? cellFormat(QString(), true) : nullptr);
        return worksheet_write_number(sheet, row, column, number->stored, cellFormat(code, shaded));
    }

    // The format of a number format's code (none: text), shaded or not, made once.
    lxw_format* cellFormat(const QString& code, bool shaded)
    {
        lxw_format*& format = m_numberFormats[shaded ? code + QStringLiteral("\nshaded") : code];
        if (!format) {
            format = workbook_add_format(m_workbook);
            if (!code.isEmpty())
                format_set_num_format(format, code.toUtf8().constData());
            if (shaded) {
                format_set_pattern(format, LXW_PATTERN_SOLID);
                format_set_bg_color(format, kLowReliabilityShade);
            }
        }
        return format;
    }

    QStringList headerTexts() const
    {
        return wideFixedColumns() + m_table.figureColumns();
    }

    // Each column as wide as its longest text, a little room added, within bounds.
    void sizeColumns(lxw_worksheet* sheet) const
    {
        const QList<qsizetype>& widths = m_table.longestTexts();
        for (qsizetype column = 0; column < widths.size(); ++column) {
            const double width = std::min(kWidestColumn, double(widths[column]) + 2);
            worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
        }
    }

    lxw_workbook* m_workbook;
    const ResultsTable& m_table;
    lxw_format* m_bold = nullptr;
    lxw_format* m_text = nullptr;
    QHash<QString, lxw_format*> m_numberFormats;
};

// A scratch file for the workbook beside the target, or in the temporary folder
// when the target's folder takes no new file (a device such as /dev/stdout).
std::unique_ptr<QTemporaryFile> scratchFile(const QString& path)
{
    const QString name = QStringLiteral(".%1.XXXXXX.xlsx").arg(QFileInfo(path).fileName());
    for (const QString& folder : {QFileInfo(path).absolutePath(), QDir::tempPath()}) {
        auto scratch = std::make_unique<QTemporaryFile>(QDir(folder).filePath(name));
        if (scratch->open()) {
            scratch->close();
            return scratch;
        }
    }
    return nullptr;
}

// Builds the workbook at scratchPath; empty text when done, else why not.
QString buildWorkbook(const ResultsTable& table, const RunInfo& run, const QString& scratchPath)
{
    if (table.size() >= LXW_ROW_MAX
        || kFixedColumns + table.figureColumns().size() > LXW_COL_MAX)
        return tooLargeText();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
    const QByteArray name = QFile::encodeName(scratchPath);
    WorkbookHandle workbook(workbook_new_opt(name.constData(), &options));
    if (!workbook)
        return libraryError(LXW_ERROR_MEMORY_MALLOC_FAILED);
    WorkbookBuilder builder(workbook.get(), table);
    lxw_error error = builder.buildDemographics();
    if (!error)
        error = builder.buildAbout(run);
    const lxw_error closed = workbook_close(workbook.release());
    if (error != LXW_NO_ERROR)
        return libraryError(error);
    return closed == LXW_NO_ERROR ? QString() : libraryError(closed);
}

// The file format reads "_xHHHH_" as the character HHHH; in a literal one the
// "_" that opens it is written "_x005F_" (its closing "_" may open the next).
QString withLiteralEscapesKept(const QString& text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString escaped = text;
    escaped.replace(escapeLike, QStringLiteral("_x005F_"));
    return escaped;
}

// Copies the finished workbook into place through the result file, which replaces
// the target only once every byte is written.
bool copyInto(ResultFile& target, QFile& scratch)
{
    if (!scratch.open(QIODevice::ReadOnly))
        return false;
    while (!scratch.atEnd()) {
        target.append(scratch.read(ResultFile::kBlockSize));
        if (!target.flush())
            return false;
    }
    return scratch.error() == QFileDevice::NoError;
}

}  // namespace

QByteArray workbookCellText(const QString& text)
{
    const QString shown = escapedControlBytes(text);
    QString stored = withLiteralEscapesKept(shown);
    // Cut to the cell's limit as stored: each kept "_x005F_" counts in full.
    for (qsizetype most = kLongestCellText; stored.size() > kLongestCellText;) {
        most -= stored.size() - kLongestCellText;
        stored = withLiteralEscapesKept(cutToLength(shown, most));
    }
    return stored.toUtf8();
}

QString workbookNumberFormat(const FigureNumber& number)
{
    QString code = number.currency ? QStringLiteral("$") : QString();
    code += number.grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (number.decimals > 0)
        code += QLatin1Char('.') + QString(number.decimals, QLatin1Char('0'));
    if (number.percent)
        code += QLatin1Char('%');
    if (!number.unit.isEmpty())
        code += QStringLiteral("\" %1\"").arg(number.unit);
    return code;
}

TableWriteOutcome writeWorkbook(const ResultsTable& table, const QString& path, const RunInfo& run)
{
    ResultFile target(path);
    if (!target.open())
        return {false, target.description()};
    const std::unique_ptr<QTemporaryFile> scratch = scratchFile(path);
    if (!scratch)
        return {false, QStringLiteral("no room for the workbook's scratch file")};
    const QString problem = buildWorkbook(table, run, scratch->fileName());
    if (!problem.isEmpty())
        return {false, problem};
    if (!copyInto(target, *scratch))
        return {false, target.description().isEmpty() ? describeFileFailure(*scratch)
                                                       : target.description()};
    if (!target.commit())
        return {false, target.description()};
    return {true, QString()};
}

}  // namespace zd
