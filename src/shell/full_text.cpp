#include "shell/full_text.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

namespace fundlens {

bool TextIsElided(const QFontMetrics& metrics, const QString& text, int width) {
    return !text.isEmpty() && metrics.horizontalAdvance(text) > width;
}

bool TextIsClipped(const QFontMetrics& metrics, const QString& text, QSize room) {
    if (text.isEmpty())
        return false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (metrics.lineSpacing() * (lines.size() - 1) + metrics.height() > room.height())
        return true;
    for (const QString& line : lines) {
        // A line whose advance fits is inked inside it; a wider one may still be inked inside
        // (a trailing full-width colon is mostly blank), and only its ink counts.
        if (metrics.horizontalAdvance(line) > room.width() &&
            metrics.boundingRect(line).right() >= room.width())
            return true;
    }
    return false;
}

QString PlainToolTip(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (Qt::mightBeRichText(text))
        return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
               QStringLiteral("</p>");
    return text;
}

FullTextLabel::FullTextLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

bool FullTextLabel::TextCut() const {
    const int margin = this->margin();
    const QRect room = contentsRect().adjusted(margin, margin, -margin, -margin);
    if (wordWrap())
        return fontMetrics()
                   .boundingRect(room, static_cast<int>(alignment()) | Qt::TextWordWrap, text())
                   .height() > room.height();
    return TextIsClipped(fontMetrics(), text(), room.size());
}

bool FullTextLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !toolTip().isEmpty())
        return QLabel::event(event);
    if (!TextCut()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), PlainToolTip(text()), this, rect());
    return true;
}

} // namespace fundlens
