// The one-pixel band lines written into the image: exact pixels, closing, clipping.
#include "band_raster.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

QImage blank(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu);
    return n;
}

}  // namespace

TEST(BandRaster, SegmentsIncludeBothEndsOnePixelPerMajorStep) {
    struct Case {
        ebsp::IntPoint a, b;
    };
    for (const Case& c :
         {Case{{2, 3}, {17, 8}}, Case{{17, 8}, {2, 3}}, Case{{5, 1}, {7, 18}}, Case{{9, 9}, {9, 9}},
          Case{{0, 10}, {19, 10}}, Case{{3, 19}, {3, 0}}, Case{{0, 0}, {19, 19}}}) {
        QImage image = blank(20, 20);
        const ebsp::IntPoint points[] = {c.a, c.b};
        ebsp::drawBandPolyline(image, points, 2, false, qRgb(255, 0, 0));
        const int major = std::max(std::abs(c.b.x - c.a.x), std::abs(c.b.y - c.a.y));
        EXPECT_EQ(count(image, qRgb(255, 0, 0)), major + 1);
        EXPECT_EQ(image.pixel(c.a.x, c.a.y) & 0xFFFFFFu, rgb(255, 0, 0));
        EXPECT_EQ(image.pixel(c.b.x, c.b.y) & 0xFFFFFFu, rgb(255, 0, 0));
        // Every drawn pixel lies within half a pixel of the ideal line, across the major axis.
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                if ((image.pixel(x, y) & 0xFFFFFFu) != rgb(255, 0, 0) || major == 0) continue;
                const double t = std::abs(c.b.x - c.a.x) >= std::abs(c.b.y - c.a.y)
                                     ? double(x - c.a.x) / (c.b.x - c.a.x)
                                     : double(y - c.a.y) / (c.b.y - c.a.y);
                const double ix = c.a.x + t * (c.b.x - c.a.x), iy = c.a.y + t * (c.b.y - c.a.y);
                EXPECT_LE(std::fabs(ix - x) + std::fabs(iy - y), 0.5 + 1e-12);
            }
    }
}

TEST(BandRaster, ClosedPolylineAndOpenOne) {
    const ebsp::IntPoint square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    QImage open = blank(16, 16), closed = blank(16, 16);
    ebsp::drawBandPolyline(open, square, 4, false, qRgb(0, 0, 255));
    ebsp::drawBandPolyline(closed, square, 4, true, qRgb(0, 0, 255));
    EXPECT_EQ(count(closed, qRgb(0, 0, 255)), 40);
    EXPECT_EQ(count(open, qRgb(0, 0, 255)), 31);
    EXPECT_EQ(closed.pixel(2, 7) & 0xFFFFFFu, rgb(0, 0, 255));
    EXPECT_EQ(open.pixel(2, 7) & 0xFFFFFFu, rgb(255, 255, 255));
}

TEST(BandRaster, FarPointsAreClippedNotTraced) {
    QImage image = blank(30, 20);
    const ebsp::IntPoint row[] = {{-100000000, 5}, {100000000, 5}};
    ebsp::drawBandPolyline(image, row, 2, false, qRgb(0, 255, 0));
    EXPECT_EQ(count(image, qRgb(0, 255, 0)), 30);
    const ebsp::IntPoint outside[] = {{-50, -50}, {-10, 80}, {100, 100}};
    QImage untouched = blank(30, 20);
    ebsp::drawBandPolyline(untouched, outside, 3, false, qRgb(0, 255, 0));
    EXPECT_EQ(count(untouched, qRgb(0, 255, 0)), 0);
    const ebsp::IntPoint diagonal[] = {{-10, -10}, {40, 40}};
    QImage cut = blank(30, 20);
    ebsp::drawBandPolyline(cut, diagonal, 2, false, qRgb(0, 255, 0));
    EXPECT_EQ(count(cut, qRgb(0, 255, 0)), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(cut.pixel(i, i) & 0xFFFFFFu, rgb(0, 255, 0));
}
