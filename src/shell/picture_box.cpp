#include "shell/picture_box.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace fundlens {

QSize ShownImageSize(QSize image, QSize box) {
    if (image.isEmpty())
        return QSize(0, 0);
    if (image.width() <= box.width() && image.height() <= box.height())
        return image;
    const QSize fitted = image.scaled(box.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

PictureBoxWidget::PictureBoxWidget(QWidget* parent) : QWidget(parent) {}

bool PictureBoxWidget::ShowImageData(const QByteArray& data) {
    QImage decoded;
    if (data.isEmpty() || !decoded.loadFromData(data)) {
        ClearImage();
        return false;
    }
    // The portal's images are of ordinary pixels, whatever a file may say of its resolution.
    decoded.setDevicePixelRatio(1);
    m_image = std::move(decoded);
    m_shown = QImage();
    update();
    return true;
}

void PictureBoxWidget::ClearImage() {
    m_image = QImage();
    m_shown = QImage();
    update();
}

QRect PictureBoxWidget::ImageRect() const {
    return QRect(QPoint(0, 0), ShownImageSize(m_image.size(), size()));
}

const QImage& PictureBoxWidget::ShownImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize logical = ImageRect().size();
    const QSize pixels(static_cast<int>(std::lround(logical.width() * ratio)),
                       static_cast<int>(std::lround(logical.height() * ratio)));
    if (m_shown.size() == pixels && m_shown.devicePixelRatio() == ratio)
        return m_shown;
    m_shown = pixels == m_image.size()
                  ? m_image
                  : m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_shown.setDevicePixelRatio(ratio);
    return m_shown;
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(this);
    // Scaled once above at the device's resolution; drawn pixel for pixel.
    painter.drawImage(ImageRect().topLeft(), ShownImage());
}

} // namespace fundlens
