// Full texts where a control cuts them: a grid cell or a label whose text does not fit shows the
// whole text as its tooltip, and only while it is cut.
#pragma once

#include <QLabel>

class QFontMetrics;

namespace fundlens {

// Whether a one-line `text` is elided in `width` pixels: an item view shortens a text ("…")
// whose advance is wider than its room.
bool TextIsElided(const QFontMetrics& metrics, const QString& text, int width);

// Whether drawing `text` (lines separated by '\n') from the top-left of a `room`-sized box clips
// any of its glyphs: a line inked beyond the box's width, or more lines than its height holds.
bool TextIsClipped(const QFontMetrics& metrics, const QString& text, QSize room);

// A tooltip that shows `text` as typed: a text that looks like markup is escaped, not rendered.
QString PlainToolTip(QString text);

// A label of plain text that shows its whole text as its tooltip while it cuts it. A tooltip set
// on the label (Control::SetToolTip) is shown instead.
class FullTextLabel : public QLabel {
    Q_OBJECT
public:
    explicit FullTextLabel(QWidget* parent = nullptr);

    // Whether the label cuts its text at its present size and font.
    bool TextCut() const;

protected:
    bool event(QEvent* event) override;
};

} // namespace fundlens
