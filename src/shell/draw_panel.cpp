#include "shell/draw_panel.h"

#include "shell/controls.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

constexpr QRgb Background = qRgb(255, 255, 255);

// The box with exclusive right and bottom edges as a QRect, or an empty rect.
QRect BoxRect(int x1, int y1, int x2, int y2) {
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

// A blank canvas of `size` logical pixels at `ratio` device pixels each.
QImage BlankCanvas(QSize size, qreal ratio) {
    const QSize pixels(static_cast<int>(std::ceil(std::max(1, size.width()) * ratio)),
                       static_cast<int>(std::ceil(std::max(1, size.height()) * ratio)));
    QImage canvas(pixels, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Background);
    return canvas;
}

// Where a scaled canvas strokes a figure: at ratio 1 a pen of odd width draws right of and below
// the mathematical point, so its stroke is centred half a pixel further on.
double StrokeOffset(int penWidth) {
    return std::max(1, penWidth) % 2 == 1 ? 0.5 : 0.0;
}

// A line on a scaled canvas covering the pixels it covers at ratio 1: both end pixels whole
// (half a pixel more at either end; the flat cap keeps dotted lines' dots), a point as the
// square the pen covers.
void StrokeScaledLine(QPainter& painter, QLineF line, int penWidth) {
    const double offset = StrokeOffset(penWidth);
    line.translate(offset, offset);
    const double length = line.length();
    if (length == 0) {
        const double side = std::max(1, penWidth);
        painter.fillRect(QRectF(line.p1() - QPointF(side / 2, side / 2), QSizeF(side, side)),
                         painter.pen().color());
        return;
    }
    const QPointF half = (line.p2() - line.p1()) * (0.5 / length);
    painter.drawLine(QLineF(line.p1() - half, line.p2() + half));
}

} // namespace

int PointsToPixels(int points) {
    return points * 96 / 72;
}

DrawPanelWidget::DrawPanelWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas = BlankCanvas(size(), devicePixelRatioF());
}

void DrawPanelWidget::FitCanvas() {
    const qreal ratio = devicePixelRatioF();
    const QSize logical(std::max(1, width()), std::max(1, height()));
    if (m_canvas.deviceIndependentSize() == QSizeF(logical) && m_canvas.devicePixelRatio() == ratio)
        return;
    QImage fitted = BlankCanvas(logical, ratio);
    QPainter painter(&fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_canvas.devicePixelRatio() != ratio);
    painter.drawImage(QPointF(0, 0), m_canvas);
    painter.end();
    m_canvas = std::move(fitted);
}

QPen DrawPanelWidget::CurrentPen() const {
    QPen pen(m_invert ? QColor(Qt::white) : ToQColor(m_penColor));
    // The thinnest pen is one device pixel at ratio 1 and one logical pixel on a scaled canvas.
    pen.setWidth(Scaled() ? std::max(1, m_penWidth) : m_penWidth);
    pen.setStyle(m_penStyle == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont DrawPanelWidget::CurrentFont() const {
    QFont font(QString::fromUtf8(UiFontFamily));
    font.setPixelSize(std::max(1, PointsToPixels(m_fontSize)));
    return font;
}

void DrawPanelWidget::Clear() {
    FitCanvas();
    m_canvas.fill(Background);
    update();
}

void DrawPanelWidget::Line(int x1, int y1, int x2, int y2) {
    QPainter painter(&m_canvas);
    ApplyDrawingMode(painter);
    painter.setPen(CurrentPen());
    if (Scaled()) {
        StrokeScaledLine(painter, QLineF(x1, y1, x2, y2), m_penWidth);
    } else if (x1 == x2 && y1 == y2) {
        painter.drawPoint(x1, y1);
    } else {
        painter.drawLine(x1, y1, x2, y2);
    }
    const int margin = m_penWidth + 2;
    update(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                 QPoint(std::max(x1, x2), std::max(y1, y2)))
               .adjusted(-margin, -margin, margin, margin));
}

void DrawPanelWidget::Rectangle(int x1, int y1, int x2, int y2) {
    StrokeBox(BoxRect(x1, y1, x2, y2),
              [](QPainter& painter, const QRectF& inner) { painter.drawRect(inner); });
}

void DrawPanelWidget::Ellipse(int x1, int y1, int x2, int y2) {
    StrokeBox(BoxRect(x1, y1, x2, y2),
              [](QPainter& painter, const QRectF& inner) { painter.drawEllipse(inner); });
}

void DrawPanelWidget::StrokeBox(const QRect& box,
                                const std::function<void(QPainter&, const QRectF&)>& draw) {
    if (box.width() < 1 || box.height() < 1) {
        return;
    }
    QPainter painter(&m_canvas);
    ApplyDrawingMode(painter);
    painter.setPen(CurrentPen());
    painter.setBrush(Qt::NoBrush);
    // A stroked shape covers one pixel more than its size: shrink it to stay inside the box.
    const double offset = Scaled() ? StrokeOffset(m_penWidth) : 0.0;
    draw(painter, QRectF(box.x() + offset, box.y() + offset, box.width() - 1, box.height() - 1));
    update(box.adjusted(-m_penWidth - 1, -m_penWidth - 1, m_penWidth + 1, m_penWidth + 1));
}

void DrawPanelWidget::ApplyDrawingMode(QPainter& painter) const {
    if (m_invert) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
}

void DrawPanelWidget::FillRect(int x1, int y1, int x2, int y2) {
    const QRect box = BoxRect(x1, y1, x2, y2);
    if (box.isEmpty()) {
        return;
    }
    QPainter painter(&m_canvas);
    if (m_invert) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(box, Qt::white);
    } else {
        painter.fillRect(box, ToQColor(m_brushColor));
    }
    update(box);
}

void DrawPanelWidget::DrawText(int x, int y, const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    QPainter painter(&m_canvas);
    ApplyDrawingMode(painter);
    painter.setFont(CurrentFont());
    painter.setPen(m_invert ? QColor(Qt::white) : ToQColor(m_textColor));
    QRect bounds;
    painter.drawText(QRect(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text,
                     &bounds);
    update(bounds.adjusted(-1, -1, 1, 1));
}

void DrawPanelWidget::SetCanvas(const QImage& image) {
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRectF(QPointF(0, 0), m_canvas.deviceIndependentSize()), Background);
    painter.drawImage(QPointF(0, 0), image);
    update();
}

void DrawPanelWidget::paintEvent(QPaintEvent* event) {
    FitCanvas();
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, QColor(Background));
    // The canvas's pixels of the area: one to each device pixel of the panel.
    const qreal ratio = m_canvas.devicePixelRatio();
    const QRectF source(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                        area.height() * ratio);
    painter.drawImage(QRectF(area), m_canvas, source);
}

void DrawPanelWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Q_EMIT mouseMoved(at.x(), at.y());
    QWidget::mouseMoveEvent(event);
}

void DrawPanelWidget::resizeEvent(QResizeEvent* event) {
    FitCanvas();
    QWidget::resizeEvent(event);
}

// ---- DrawPanel

DrawPanelWidget* DrawPanel::panel() const {
    return As<DrawPanelWidget>();
}

void DrawPanel::Clear() {
    if (auto* p = panel()) {
        p->Clear();
    }
}

void DrawPanel::Line(int x1, int y1, int x2, int y2) {
    if (auto* p = panel()) {
        p->Line(x1, y1, x2, y2);
    }
}

void DrawPanel::Rectangle(int x1, int y1, int x2, int y2) {
    if (auto* p = panel()) {
        p->Rectangle(x1, y1, x2, y2);
    }
}

void DrawPanel::Ellipse(int x1, int y1, int x2, int y2) {
    if (auto* p = panel()) {
        p->Ellipse(x1, y1, x2, y2);
    }
}

void DrawPanel::FillRect(int x1, int y1, int x2, int y2) {
    if (auto* p = panel()) {
        p->FillRect(x1, y1, x2, y2);
    }
}

void DrawPanel::DrawText(int x, int y, const Text& text) {
    if (auto* p = panel()) {
        p->DrawText(x, y, ToQString(text));
    }
}

void DrawPanel::SetPenStyle(PenStyle style) {
    if (auto* p = panel()) {
        p->SetPenStyle(style);
    }
}

void DrawPanel::SetPenWidth(int width) {
    if (auto* p = panel()) {
        p->SetPenWidth(width);
    }
}

void DrawPanel::SetPenColor(Rgb color) {
    if (auto* p = panel()) {
        p->SetPenColor(color);
    }
}

void DrawPanel::SetInvertMode(bool invert) {
    if (auto* p = panel()) {
        p->SetInvertMode(invert);
    }
}

bool DrawPanel::InvertMode() const {
    auto* p = panel();
    return p && p->invertMode();
}

void DrawPanel::SetBrushColor(Rgb color) {
    if (auto* p = panel()) {
        p->SetBrushColor(color);
    }
}

void DrawPanel::SetTextColor(Rgb color) {
    if (auto* p = panel()) {
        p->SetTextColor(color);
    }
}

Rgb DrawPanel::TextColor() const {
    auto* p = panel();
    return p ? p->textColor() : RgbBlack;
}

Rgb DrawPanel::PenColor() const {
    auto* p = panel();
    return p ? p->penColor() : RgbBlack;
}

void DrawPanel::SetFontSize(int points) {
    if (auto* p = panel()) {
        p->SetFontSize(points);
    }
}

int DrawPanel::FontSize() const {
    auto* p = panel();
    return p ? p->fontSize() : 0;
}

int DrawPanel::Width() const {
    auto* p = panel();
    return p ? p->width() : 0;
}

int DrawPanel::Height() const {
    auto* p = panel();
    return p ? p->height() : 0;
}

QImage DrawPanel::CopyImage() const {
    auto* p = panel();
    return p ? p->canvas().copy() : QImage();
}

void DrawPanel::RestoreImage(const QImage& image) {
    if (auto* p = panel()) {
        p->SetCanvas(image);
    }
}

} // namespace fundlens
