#include "demo-portal/chart_image.h"

#include "demo-portal/calendar.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace fundlens::demo {

namespace {

constexpr int MarginLeft = 62;
constexpr int MarginRight = 18;
constexpr int MarginTop = 34;
constexpr int MarginBottom = 36;
constexpr int ChartDays = 250;
constexpr int GridRows = 5;

const QColor kCurve(0x2f, 0x6f, 0xd6);
const QColor kFill(0x2f, 0x6f, 0xd6, 40);
const QColor kGrid(0xe3, 0xe3, 0xe3);
const QColor kAxis(0x66, 0x66, 0x66);
const QColor kText(0x33, 0x33, 0x33);

// A step of 1, 2 or 5 times a power of ten that splits `span` into about `parts` parts.
double NiceStep(double span, int parts) {
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10.0 * power;
}

} // namespace

bool CanDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

std::string RenderNetValueChart(const Universe& universe, const Fund& fund, bool withText) {
    const int last = universe.LatestIndex(fund);
    const int first = std::max(fund.firstIndex, last - ChartDays);
    double low = Universe::NavAt(fund, first);
    double high = low;
    for (int t = first; t <= last; ++t) {
        low = std::min(low, Universe::NavAt(fund, t));
        high = std::max(high, Universe::NavAt(fund, t));
    }
    const double step = NiceStep(std::max(high - low, 0.001), GridRows - 1);
    low = std::floor(low / step) * step;
    high = std::max(std::ceil(high / step) * step, low + step);

    QImage image(ChartWidth, ChartHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot(MarginLeft, MarginTop, ChartWidth - MarginLeft - MarginRight,
                      ChartHeight - MarginTop - MarginBottom);
    const int count = last - first;
    auto xOf = [&](int t) {
        return plot.left() + (count > 0 ? plot.width() * (t - first) / count : plot.width() / 2);
    };
    auto yOf = [&](double v) { return plot.bottom() - plot.height() * (v - low) / (high - low); };

    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    if (withText) {
        font.setPixelSize(11);
        painter.setFont(font);
    }
    // Horizontal grid with the value labels.
    for (double v = low; v <= high + step / 2; v += step) {
        const double y = yOf(v);
        painter.setPen(QPen(kGrid, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        if (withText) {
            painter.setPen(kText);
            painter.drawText(QRectF(0, y - 8, MarginLeft - 6, 16),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(v, 'f', step < 0.01 ? 3 : 2));
        }
    }
    // Vertical grid at each month's first trading day.
    int previousMonth = -1;
    for (int t = first; t <= last; ++t) {
        int y = 0, m = 0, d = 0;
        SplitDay(universe.TradingDays()[static_cast<std::size_t>(t)], y, m, d);
        if (m != previousMonth && previousMonth != -1) {
            const double x = xOf(t);
            painter.setPen(QPen(kGrid, 1));
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            if (withText && x < plot.right() - 20) {
                painter.setPen(kText);
                painter.drawText(QRectF(x - 30, plot.bottom() + 4, 60, 16),
                                 Qt::AlignHCenter | Qt::AlignTop,
                                 QString::asprintf("%04d-%02d", y, m));
            }
        }
        previousMonth = m;
    }
    // The curve with a light fill below it.
    QPainterPath curve;
    for (int t = first; t <= last; ++t) {
        const QPointF p(xOf(t), yOf(Universe::NavAt(fund, t)));
        if (t == first) {
            curve.moveTo(p);
        } else {
            curve.lineTo(p);
        }
    }
    QPainterPath area = curve;
    area.lineTo(xOf(last), plot.bottom());
    area.lineTo(xOf(first), plot.bottom());
    area.closeSubpath();
    painter.fillPath(area, kFill);
    painter.setPen(QPen(kCurve, 1.6));
    painter.drawPath(curve);
    // Axes.
    painter.setPen(QPen(kAxis, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (withText) {
        font.setPixelSize(13);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(kText);
        painter.drawText(
            QRectF(MarginLeft, 6, plot.width(), 22), Qt::AlignLeft | Qt::AlignVCenter,
            QString::fromUtf8((fund.name + "（" + fund.code + "）单位净值走势").c_str()));
        font.setPixelSize(11);
        font.setBold(false);
        painter.setFont(font);
        painter.drawText(
            QRectF(MarginLeft, 6, plot.width(), 22), Qt::AlignRight | Qt::AlignVCenter,
            QString::fromUtf8(("截止 " + FormatDay(universe.LatestDay(fund))).c_str()));
    }
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::shared_ptr<const std::string> ChartCache::Get(const Universe& universe, const Fund& fund) {
    const bool withText = CanDrawText();
    const std::string key = fund.code + (withText ? "+text" : "");
    {
        std::lock_guard lock(m_mutex);
        auto it = m_index.find(key);
        if (it != m_index.end()) {
            m_entries.splice(m_entries.begin(), m_entries, it->second);
            return it->second->second;
        }
    }
    std::shared_ptr<const std::string> png;
    {
        std::lock_guard render(m_renderMutex);
        png = std::make_shared<const std::string>(RenderNetValueChart(universe, fund, withText));
    }
    std::lock_guard lock(m_mutex);
    if (m_index.count(key) == 0) {
        m_entries.emplace_front(key, png);
        m_index.emplace(key, m_entries.begin());
        while (m_entries.size() > m_capacity) {
            m_index.erase(m_entries.back().first);
            m_entries.pop_back();
        }
    }
    return png;
}

std::size_t ChartCache::Size() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

} // namespace fundlens::demo
