// The picture box: shows one decoded image at its top-left corner, unscaled.
#pragma once

#include <QImage>
#include <QWidget>

namespace fundlens {

class PictureBoxWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureBoxWidget(QWidget* parent = nullptr);

    // Decodes `data` (PNG, JPEG, GIF, BMP...) and shows it. Empty or undecodable data clears
    // the box. Returns whether an image is shown.
    bool ShowImageData(const QByteArray& data);
    void ClearImage();

    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

} // namespace fundlens
