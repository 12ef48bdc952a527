#include "map/atlas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace zd {
namespace {

// The outlines drawn as a map draws them, the states filled and the counties
// lined, into outlines-look.png beside the test program, to be looked at by eye;
// the test checks land and sea at a few known places.
TEST(OutlinesDrawn, FillTheLandAndLeaveTheSea)
{
    const Atlas& atlas = Atlas::installed();
    ASSERT_EQ(atlas.error(), "");
    const QRectF extent = usaExtent().adjusted(-50, -50, 50, 50);
    QImage image(1600, qRound(1600 * extent.height() / extent.width()), QImage::Format_ARGB32);
    image.fill(Qt::white);
    const double scale = image.width() / extent.width();
    const QTransform toImage = QTransform::fromScale(scale, scale).translate(-extent.left(), -extent.top());
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(toImage);
        painter.setPen(QPen(QColor(200, 200, 200), 0));
        painter.setBrush(Qt::NoBrush);
        for (const Outline& county : atlas.counties())
            painter.drawPath(county.path);
        painter.setPen(QPen(QColor(60, 60, 60), 0));
        painter.setBrush(QColor(120, 170, 120, 90));
        for (const Outline& state : atlas.states())
            painter.drawPath(state.path);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(40, 90, 200), 0, Qt::DashLine));
        for (const MapRegion inset : {MapRegion::Alaska, MapRegion::Hawaii, MapRegion::PuertoRico})
            painter.drawRect(insetFrame(inset));
    }
    ASSERT_TRUE(image.save(QStringLiteral("outlines-look.png")));

    const auto pixelAt = [&](double latitude, double longitude) {
        return image.pixelColor(toImage.map(projectUsa(latitude, longitude)->at).toPoint());
    };
    const QColor sea = Qt::white;
    for (const auto& [latitude, longitude] : std::vector<std::pair<double, double>>{
             {38.5, -98.0}, {64.8, -147.7}, {19.6, -155.5}, {18.25, -66.5}, {44.0, -120.5}})
        EXPECT_NE(pixelAt(latitude, longitude), sea) << latitude << ", " << longitude;
    for (const auto& [latitude, longitude] : std::vector<std::pair<double, double>>{
             {30.0, -120.0}, {27.0, -89.0}, {38.0, -70.0}, {20.5, -158.5}, {18.3, -67.5}})
        EXPECT_EQ(pixelAt(latitude, longitude), sea) << latitude << ", " << longitude;
}

}  // namespace
}  // namespace zd
