// The draw panel: a surface the program draws on. Everything is drawn into an off-screen
// canvas that keeps what was drawn; painting only shows the canvas.
//
// Coordinates are the panel's logical pixels, whatever the screen. The canvas is held at the
// screen's resolution (its device pixel ratio set), so that on a screen of ratio 2 it has twice
// the panel's width and height in pixels and text and lines are drawn sharp: a figure covers the
// logical pixels it covers at ratio 1, each as ratio × ratio device pixels (the thinnest pen is
// one logical pixel wide there).
#pragma once

#include "shell/rgb.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

namespace fundlens {

enum class PenStyle { Solid, Dotted };

class DrawPanelWidget : public QWidget {
    Q_OBJECT
public:
    explicit DrawPanelWidget(QWidget* parent = nullptr);

    // Fills the canvas with the background (white).
    void Clear();
    // Line with the current pen, both end points drawn.
    void Line(int x1, int y1, int x2, int y2);
    // Outline of the rectangle / ellipse in the box from (x1, y1) to (x2, y2), right and bottom
    // edges exclusive, with the current pen; the inside is left as it is.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    // The box from (x1, y1) to (x2, y2), right and bottom edges exclusive, in the brush colour.
    void FillRect(int x1, int y1, int x2, int y2);
    // Text with its top-left corner at (x, y) in the text colour and font size.
    void DrawText(int x, int y, const QString& text);

    void SetPenStyle(PenStyle style) { m_penStyle = style; }
    void SetPenWidth(int width) { m_penWidth = width < 0 ? 0 : width; }
    void SetPenColor(Rgb color) { m_penColor = color; }
    // Invert mode: every pixel drawn is inverted, so drawing the same figure twice restores
    // what was there.
    void SetInvertMode(bool invert) { m_invert = invert; }
    void SetBrushColor(Rgb color) { m_brushColor = color; }
    void SetTextColor(Rgb color) { m_textColor = color; }
    // Points; 9 points are 12 pixels.
    void SetFontSize(int points) { m_fontSize = points > 0 ? points : 1; }

    PenStyle penStyle() const { return m_penStyle; }
    int penWidth() const { return m_penWidth; }
    Rgb penColor() const { return m_penColor; }
    bool invertMode() const { return m_invert; }
    Rgb brushColor() const { return m_brushColor; }
    Rgb textColor() const { return m_textColor; }
    int fontSize() const { return m_fontSize; }

    // The canvas at the device's resolution (see devicePixelRatio()).
    const QImage& canvas() const { return m_canvas; }
    // Puts `image` back onto the canvas (top-left aligned, at its own device pixel ratio; the
    // rest is cleared).
    void SetCanvas(const QImage& image);

Q_SIGNALS:
    void mouseMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The canvas at the panel's size and the screen's device pixel ratio, keeping what was drawn
    // (scaled when the ratio changed).
    void FitCanvas();
    // Whether the canvas has more device pixels than logical ones.
    bool Scaled() const { return m_canvas.devicePixelRatio() != 1.0; }
    // Outlines a shape inside `box` with the current pen.
    void StrokeBox(const QRect& box, const std::function<void(QPainter&, const QRectF&)>& draw);
    // Invert mode: every pixel drawn is XOR-ed, so drawing the same thing twice removes it.
    void ApplyDrawingMode(QPainter& painter) const;
    QPen CurrentPen() const;
    QFont CurrentFont() const;

    QImage m_canvas;
    PenStyle m_penStyle = PenStyle::Solid;
    int m_penWidth = 1;
    Rgb m_penColor = RgbBlack;
    bool m_invert = false;
    Rgb m_brushColor = RgbWhite;
    Rgb m_textColor = RgbBlack;
    int m_fontSize = 9;
};

// Pixels of a font size in points (96 dots per inch).
int PointsToPixels(int points);

// The font family every window uses.
inline constexpr const char* UiFontFamily = "WenQuanYi Micro Hei";

} // namespace fundlens
