#include "shell/draw_panel.h"

#include "shell/controls.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

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

} // namespace

int PointsToPixels(int points) {
    return points * 96 / 72;
}

DrawPanelWidget::DrawPanelWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    m_canvas.fill(Background);
}

QPen DrawPanelWidget::CurrentPen() const {
    QPen pen(m_invert ? QColor(Qt::white) : ToQColor(m_penColor));
    pen.setWidth(m_penWidth);
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
    m_canvas.fill(Background);
    update();
}

void DrawPanelWidget::Line(int x1, int y1, int x2, int y2) {
    QPainter painter(&m_canvas);
    ApplyDrawingMode(painter);
    painter.setPen(CurrentPen());
    if (x1 == x2 && y1 == y2) {
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
              [](QPainter& painter, const QRect& inner) { painter.drawRect(inner); });
}

void DrawPanelWidget::Ellipse(int x1, int y1, int x2, int y2) {
    StrokeBox(BoxRect(x1, y1, x2, y2),
              [](QPainter& painter, const QRect& inner) { painter.drawEllipse(inner); });
}

void DrawPanelWidget::StrokeBox(const QRect& box,
                                const std::function<void(QPainter&, const QRect&)>& draw) {
    if (box.width() < 1 || box.height() < 1) {
        return;
    }
    QPainter painter(&m_canvas);
    ApplyDrawingMode(painter);
    painter.setPen(CurrentPen());
    painter.setBrush(Qt::NoBrush);
    // A stroked shape covers one pixel more than its size: shrink it to stay inside the box.
    draw(painter, QRect(box.x(), box.y(), box.width() - 1, box.height() - 1));
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
    painter.fillRect(m_canvas.rect(), Background);
    painter.drawImage(0, 0, image);
    update();
}

void DrawPanelWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, QColor(Background));
    painter.drawImage(area, m_canvas, area);
}

void DrawPanelWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Q_EMIT mouseMoved(at.x(), at.y());
    QWidget::mouseMoveEvent(event);
}

void DrawPanelWidget::resizeEvent(QResizeEvent* event) {
    if (m_canvas.size() != size() && width() > 0 && height() > 0) {
        QImage grown(size(), QImage::Format_RGB32);
        grown.fill(Background);
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_canvas);
        painter.end();
        m_canvas = std::move(grown);
    }
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
