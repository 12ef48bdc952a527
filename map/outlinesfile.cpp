#include "map/outlinesfile.h"

#include <QtEndian>
#include <QtNumeric>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace zd {
namespace {

constexpr char kMagic[] = "ZDOUTL1\n";
constexpr char kEnd[] = "END\n";

// Thrown inside the decoder only; the message becomes OutlinesFile::problem.
struct Damage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A cursor over the file's bytes that never reads past their end.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype left() const { return m_bytes.size() - m_at; }

    QByteArrayView take(qsizetype count)
    {
        if (count < 0 || count > left())
            throw Damage("it ends too early");
        const QByteArrayView view(m_bytes.constData() + m_at, count);
        m_at += count;
        return view;
    }
    quint8 byte() { return static_cast<quint8>(take(1)[0]); }
    quint32 uint32() { return qFromLittleEndian<quint32>(take(4).data()); }
    double float64()
    {
        const quint64 bits = qFromLittleEndian<quint64>(take(8).data());
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    quint64 varint()
    {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const quint8 next = byte();
            value |= quint64(next & 0x7F) << shift;
            if (!(next & 0x80))
                return value;
        }
        throw Damage("a number runs on too long");
    }
    qint64 zigzag()
    {
        const quint64 folded = varint();
        return static_cast<qint64>(folded >> 1) ^ -static_cast<qint64>(folded & 1);
    }
    // A count of things that each take at least minimumBytes more of the file.
    qsizetype count(quint64 value, qsizetype minimumBytes)
    {
        if (value > quint64(left() / minimumBytes))
            throw Damage("a count is larger than the file");
        return static_cast<qsizetype>(value);
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

// Grid steps -> longitude and latitude.
struct Grid {
    double scaleX, scaleY, translateX, translateY;
};

Grid readGrid(ByteReader& reader)
{
    Grid grid{reader.float64(), reader.float64(), reader.float64(), reader.float64()};
    for (const double value : {grid.scaleX, grid.scaleY, grid.translateX, grid.translateY}) {
        if (!std::isfinite(value))
            throw Damage("its grid is not a number");
    }
    if (grid.scaleX <= 0 || grid.scaleY <= 0)
        throw Damage("its grid has no size");
    return grid;
}

// One step along the grid from a point; a step beyond the grid's range is damage.
qint64 stepped(qint64 at, qint64 step)
{
    qint64 next = 0;
    if (qAddOverflow(at, step, &next))
        throw Damage("a point lies off the globe");
    return next;
}

QString shortText(ByteReader& reader) { return QString::fromUtf8(reader.take(reader.byte())); }

void addRing(ByteReader& reader, const Grid& grid, MapRegion region, QPainterPath& path)
{
    const qsizetype points = reader.count(reader.varint(), 2);
    qint64 x = 0;
    qint64 y = 0;
    for (qsizetype i = 0; i < points; ++i) {
        x = stepped(x, reader.zigzag());
        y = stepped(y, reader.zigzag());
        const double longitude = double(x) * grid.scaleX + grid.translateX;
        const double latitude = double(y) * grid.scaleY + grid.translateY;
        if (!(std::abs(longitude) <= 180.0 && std::abs(latitude) <= 85.0))
            throw Damage("a point lies off the globe");
        const QPointF at = projectInRegion(region, latitude, longitude);
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    path.closeSubpath();
}

Outline readOutline(ByteReader& reader, const Grid& grid)
{
    Outline outline;
    outline.name = shortText(reader);
    outline.stateCode = QString::fromLatin1(reader.take(2));
    outline.fips = QString::fromLatin1(reader.take(reader.byte()));
    const std::optional<MapRegion> region = regionOfState(outline.stateCode);
    if (!region)
        throw Damage("an outline names no state");
    outline.region = *region;
    outline.path.setFillRule(Qt::OddEvenFill);
    const qsizetype rings = reader.count(reader.varint(), 1);
    for (qsizetype i = 0; i < rings; ++i)
        addRing(reader, grid, outline.region, outline.path);
    return outline;
}

std::vector<Outline> readOutlines(ByteReader& reader, const Grid& grid, qsizetype count)
{
    std::vector<Outline> outlines;
    outlines.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        outlines.push_back(readOutline(reader, grid));
    return outlines;
}

}  // namespace

OutlinesFile decodeOutlinesFile(const QByteArray& bytes)
{
    OutlinesFile file;
    try {
        ByteReader reader(bytes);
        if (reader.left() < qsizetype(sizeof kMagic - 1) || reader.take(sizeof kMagic - 1) != kMagic)
            throw Damage("it is not an outlines file");
        const Grid grid = readGrid(reader);
        file.sourceLine = QString::fromUtf8(reader.take(reader.count(reader.uint32(), 1)));
        // An outline takes at least 6 bytes: its texts' lengths, state and rings.
        const qsizetype states = reader.count(reader.uint32(), 6);
        const qsizetype counties = reader.count(reader.uint32(), 6);
        file.states = readOutlines(reader, grid, states);
        file.counties = readOutlines(reader, grid, counties);
        if (reader.take(reader.left()) != kEnd)
            throw Damage("it does not end where it should");
    } catch (const Damage& damage) {
        return OutlinesFile{{}, {}, {}, QString::fromUtf8(damage.what())};
    }
    return file;
}

}  // namespace zd
