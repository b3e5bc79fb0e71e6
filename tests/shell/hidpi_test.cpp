// On a screen of device pixel ratio 2 (this executable scales its screens by 2): the windows
// keep their designed layout in logical pixels, the chart panel draws at the device's resolution
// (a 1-pixel line is 2 device pixels wide, never a blur; text finer than a logical pixel), and the
// picture boxes show the images at their natural size, scaled smoothly.
#include "shell/control_dump.h"
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/picture_box.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace fundlens::test {
namespace {

// Before main makes the application: every screen at twice its pixels.
const bool ScreensScaled = setenv("QT_SCALE_FACTOR", "2", 1) == 0;

constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);

class HighDpiTest : public ProgramFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(ScreensScaled);
        ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
        InstallSeams();
        ASSERT_TRUE(StartPortal());
        StartMainWindow(false);
    }
    // Runs `body` while the chart window is open.
    void WithChartWindow(const std::function<void(Window)>& body) {
        Routines().chartWindowCreated = [&] {
            body(ChartWindow());
            ChartWindow().Close();
        };
        OpenChartWindowModal();
    }
};

// The colours found in a block of device pixels.
std::set<QRgb> ColoursIn(const QImage& image, QRect block) {
    std::set<QRgb> colours;
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            colours.insert(image.pixel(x, y) | 0xff000000u);
    return colours;
}

// Checks a horizontal line from logical x1 to x2 at logical row y in a device image of ratio 2:
// rows 2y and 2y+1 wholly `colour`, the rows above and below untouched.
void ExpectSharpRow(const QImage& device, int x1, int x2, int y, QRgb colour) {
    const QRect line(2 * x1, 2 * y, 2 * (x2 - x1 + 1), 2);
    EXPECT_EQ(ColoursIn(device, line), std::set<QRgb>{colour}) << "the line, 2 device pixels";
    EXPECT_EQ(ColoursIn(device, line.translated(0, -1).adjusted(0, 0, 0, -1)),
              std::set<QRgb>{White})
        << "above it";
    EXPECT_EQ(ColoursIn(device, line.translated(0, 2).adjusted(0, 0, 0, -1)), std::set<QRgb>{White})
        << "below it";
    // The end pixels are whole, nothing beyond them.
    EXPECT_EQ(ColoursIn(device, QRect(line.left() - 1, line.top(), 1, 2)), std::set<QRgb>{White});
    EXPECT_EQ(ColoursIn(device, QRect(line.right() + 1, line.top(), 1, 2)), std::set<QRgb>{White});
}

TEST_F(HighDpiTest, TheWindowsKeepTheirDesignedPlacesInLogicalPixels) {
    QWidget* main = MainWindow().widget();
    EXPECT_EQ(main->devicePixelRatioF(), 2.0);
    EXPECT_EQ(FindControl(MainWindow(), "高级表格1")->geometry(), QRect(8, 8, 960, 576));
    EXPECT_EQ(FindControl(MainWindow(), "搜索框")->geometry(), QRect(1264, 8, 216, 48));
    EXPECT_EQ(FindControl(MainWindow(), "标签19")->geometry(), QRect(1056, 64, 208, 24));
    WithChartWindow([](Window chart) {
        EXPECT_EQ(FindControl(chart, "画板1")->geometry(), QRect(792, 32, 632, 328));
        EXPECT_EQ(FindControl(chart, "图片框1")->geometry(), QRect(8, 8, 770, 270));
    });
}

TEST_F(HighDpiTest, AOnePixelLineIsTwoDevicePixelsWideNotABlur) {
    WithChartWindow([](Window chart) {
        auto* widget = FindControl<DrawPanelWidget>(chart, "画板1");
        DrawPanel panel = chart.PanelNamed("画板1");
        panel.Clear();
        ASSERT_EQ(widget->canvas().devicePixelRatio(), 2.0);
        ASSERT_EQ(widget->canvas().size(), QSize(1264, 656));
        EXPECT_EQ(panel.Width(), 632) << "the drawing stays in logical pixels";

        panel.SetPenStyle(PenStyle::Solid);
        panel.SetPenColor(RgbBlack);
        for (int width : {1, 0}) { // the axes' pen and the thinnest
            SCOPED_TRACE(width);
            panel.Clear();
            panel.SetPenWidth(width);
            panel.Line(10, 10, 100, 10);
            panel.Line(200, 20, 200, 80);
            const QImage canvas = widget->canvas();
            ExpectSharpRow(canvas, 10, 100, 10, Black);
            EXPECT_EQ(ColoursIn(canvas, QRect(400, 40, 2, 122)), std::set<QRgb>{Black});
            EXPECT_EQ(ColoursIn(canvas, QRect(399, 40, 1, 122)), std::set<QRgb>{White});
            EXPECT_EQ(ColoursIn(canvas, QRect(402, 40, 1, 122)), std::set<QRgb>{White});
            // Black and white only: no grey of a scaled-up ratio-1 drawing.
            EXPECT_EQ(ColoursIn(canvas, canvas.rect()), (std::set<QRgb>{Black, White}));

            // On the screen, pixel for pixel.
            const QImage shown = widget->grab().toImage();
            ASSERT_EQ(shown.size(), QSize(1264, 656));
            ExpectSharpRow(shown, 10, 100, 10, Black);
        }
    });
}

TEST_F(HighDpiTest, DottedLinesKeepTheirDotsAndBoxesTheirEdges) {
    WithChartWindow([](Window chart) {
        auto* widget = FindControl<DrawPanelWidget>(chart, "画板1");
        DrawPanel panel = chart.PanelNamed("画板1");
        panel.Clear();
        panel.SetPenColor(RgbBlack);
        panel.SetPenWidth(0);
        panel.SetPenStyle(PenStyle::Dotted);
        panel.Line(10, 30, 40, 30);
        QImage canvas = widget->canvas();
        // One logical pixel on, two off, from the first end: as at ratio 1, twice as large.
        for (int x = 10; x <= 40; ++x) {
            const bool on = (x - 10) % 3 == 0;
            EXPECT_EQ(ColoursIn(canvas, QRect(2 * x, 60, 2, 2)), std::set<QRgb>{on ? Black : White})
                << "logical x " << x;
        }

        // A box outline covers its box's outer logical pixels, right and bottom edges exclusive.
        panel.Clear();
        panel.SetPenStyle(PenStyle::Solid);
        panel.SetPenWidth(1);
        panel.Rectangle(300, 100, 310, 110);
        canvas = widget->canvas();
        EXPECT_EQ(ColoursIn(canvas, QRect(600, 200, 20, 2)), std::set<QRgb>{Black}) << "top";
        EXPECT_EQ(ColoursIn(canvas, QRect(600, 218, 20, 2)), std::set<QRgb>{Black}) << "bottom";
        EXPECT_EQ(ColoursIn(canvas, QRect(600, 200, 2, 20)), std::set<QRgb>{Black}) << "left";
        EXPECT_EQ(ColoursIn(canvas, QRect(618, 200, 2, 20)), std::set<QRgb>{Black}) << "right";
        EXPECT_EQ(ColoursIn(canvas, QRect(602, 202, 16, 16)), std::set<QRgb>{White}) << "inside";
        EXPECT_EQ(ColoursIn(canvas, QRect(620, 200, 1, 20)), std::set<QRgb>{White}) << "beyond";

        // A filled box: exactly its device pixels.
        panel.SetBrushColor(RgbGrey);
        panel.FillRect(200, 100, 210, 110);
        canvas = widget->canvas();
        EXPECT_EQ(ColoursIn(canvas, QRect(400, 200, 20, 20)), std::set<QRgb>{qRgb(192, 192, 192)});
        EXPECT_EQ(ColoursIn(canvas, QRect(420, 200, 1, 20)), std::set<QRgb>{White});
    });
}

TEST_F(HighDpiTest, TextIsDrawnFinerThanALogicalPixel) {
    WithChartWindow([](Window chart) {
        auto* widget = FindControl<DrawPanelWidget>(chart, "画板1");
        DrawPanel panel = chart.PanelNamed("画板1");
        panel.Clear();
        panel.SetTextColor(RgbBlack);
        panel.SetFontSize(9);
        panel.DrawText(100, 100, "涨跌（%）0.25"_gbk);
        const QImage canvas = widget->canvas();
        // A ratio-1 text scaled up would fill every 2×2 block of a logical pixel with one colour.
        int finer = 0, inked = 0;
        for (int y = 100; y < 116; ++y) {
            for (int x = 100; x < 180; ++x) {
                const std::set<QRgb> block = ColoursIn(canvas, QRect(2 * x, 2 * y, 2, 2));
                inked += block != std::set<QRgb>{White};
                finer += block.size() > 1;
            }
        }
        EXPECT_GT(inked, 50);
        EXPECT_GT(finer, inked / 4) << "the glyphs are drawn at the device's resolution";
    });
}

TEST_F(HighDpiTest, InvertedDrawingAndTheSavedImageRestoreEveryDevicePixel) {
    WithChartWindow([](Window chart) {
        auto* widget = FindControl<DrawPanelWidget>(chart, "画板1");
        DrawPanel panel = chart.PanelNamed("画板1");
        panel.Clear();
        panel.SetPenColor(RgbRed);
        panel.SetPenWidth(3);
        panel.Line(40, 300, 500, 60);
        panel.DrawText(300, 200, "近1月"_gbk);
        const QImage chartImage = panel.CopyImage();
        EXPECT_EQ(chartImage.devicePixelRatio(), 2.0);

        panel.SetPenStyle(PenStyle::Dotted);
        panel.SetPenWidth(1);
        panel.SetInvertMode(true);
        for (int pass = 0; pass < 2; ++pass) {
            panel.Line(40, 150, 552, 150);
            panel.Line(300, 298, 300, 30);
        }
        EXPECT_TRUE(widget->canvas() == chartImage) << "the crosshair drawn twice is gone";
        panel.SetInvertMode(false);

        panel.Clear();
        panel.RestoreImage(chartImage);
        EXPECT_TRUE(widget->canvas() == chartImage);
    });
}

TEST_F(HighDpiTest, TheDumpsChartImageIsWrittenAtTheDevicesResolution) {
    const std::string path = TempPath("hidpi-dump.json");
    SetDumpFile(path);
    Routines().chartWindowCreated = [] {
        DrawPanel panel = ChartWindow().PanelNamed("画板1");
        panel.Clear();
        panel.SetPenColor(RgbRed);
        panel.Line(0, 0, 100, 0);
        ChartWindow().Close();
    };
    OpenChartWindowModal();
    SetDumpFile("");
    const QImage png(QString::fromStdString(path + ".chart.png"));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(1264, 656));
    EXPECT_EQ(png.pixel(100, 1), qRgb(255, 0, 0));
    std::remove(path.c_str());
    std::remove((path + ".chart.png").c_str());
}

QByteArray PngOf(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// Black on the left half, white on the right.
QImage HalvesImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::black);
    return image;
}

TEST_F(HighDpiTest, PicturesShowAtTheirNaturalSizeScaledSmoothly) {
    WithChartWindow([](Window chart) {
        auto* box = FindControl<PictureBoxWidget>(chart, "图片框1");
        ASSERT_TRUE(box->ShowImageData(PngOf(HalvesImage(QSize(100, 50)))));
        EXPECT_EQ(box->ImageRect(), QRect(0, 0, 100, 50)) << "a pixel to a logical pixel";
        const QImage shown = box->grab().toImage();
        ASSERT_EQ(shown.size(), QSize(1540, 540));
        // 200 × 100 device pixels: black well left of the edge, white well right of it, and
        // the edge itself blended, not a step of doubled pixels.
        EXPECT_EQ(shown.pixel(40, 50) | 0xff000000u, Black);
        EXPECT_EQ(shown.pixel(160, 50) | 0xff000000u, White);
        bool blended = false;
        for (int x = 96; x <= 104; ++x) {
            const int grey = qGray(shown.pixel(x, 50));
            blended = blended || (grey > 10 && grey < 245);
        }
        EXPECT_TRUE(blended) << "scaled smoothly";

        // An image of the box's size at twice its pixels: shrunk to the box, pixel for pixel.
        const QImage large = HalvesImage(QSize(1540, 540));
        ASSERT_TRUE(box->ShowImageData(PngOf(large)));
        EXPECT_EQ(box->ImageRect(), QRect(0, 0, 770, 270));
        QImage grabbed = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
        grabbed.setDevicePixelRatio(1);
        EXPECT_TRUE(grabbed == large.convertToFormat(QImage::Format_RGB32));
    });
}

} // namespace
} // namespace fundlens::test
