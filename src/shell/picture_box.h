// The picture box: shows one decoded image from its top-left corner at its natural size, a
// pixel of the image to a logical pixel of the window; an image larger than the box is shrunk
// to fit it, its proportions kept. The image is scaled smoothly to the screen's resolution, so a
// screen of device pixel ratio 2 shows it as large as ratio 1 does, without blocky pixels.
#pragma once

#include <QImage>
#include <QWidget>

namespace fundlens {

// The logical size an image of `image` pixels is shown at in a box of `box`: its own when it
// fits, else the largest size of its proportions that fits (never below one pixel).
QSize ShownImageSize(QSize image, QSize box);

class PictureBoxWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureBoxWidget(QWidget* parent = nullptr);

    // Decodes `data` (PNG, JPEG, GIF, BMP...) and shows it. Empty or undecodable data clears
    // the box. Returns whether an image is shown.
    bool ShowImageData(const QByteArray& data);
    void ClearImage();

    // The decoded image, at its own size.
    const QImage& image() const { return m_image; }
    // Where it is shown, in the box's coordinates; empty without an image.
    QRect ImageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The image at the device pixels of ImageRect() for the screen's ratio.
    const QImage& ShownImage();

    QImage m_image;
    QImage m_shown; // made when first painted at a size, dropped with the image
};

} // namespace fundlens
