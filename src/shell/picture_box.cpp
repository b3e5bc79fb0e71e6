#include "shell/picture_box.h"

#include <QPainter>

namespace fundlens {

PictureBoxWidget::PictureBoxWidget(QWidget* parent) : QWidget(parent) {}

bool PictureBoxWidget::ShowImageData(const QByteArray& data) {
    QImage decoded;
    if (data.isEmpty() || !decoded.loadFromData(data)) {
        ClearImage();
        return false;
    }
    m_image = std::move(decoded);
    update();
    return true;
}

void PictureBoxWidget::ClearImage() {
    m_image = QImage();
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

} // namespace fundlens
