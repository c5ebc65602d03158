#include "app/qt/group_frame.h"

#include <QFontMetrics>
#include <QPainter>

namespace snipwell::qt {

namespace {
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;
const QColor kBorderShadow(160, 160, 160);
}  // namespace

GroupFrame::GroupFrame(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setAutoFillBackground(true);
    if (!caption.isEmpty()) setAccessibleName(caption);
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // The border's top edge runs through the middle of the caption's line.
    const int top = caption_.isEmpty() ? 0 : metrics.height() / 2;
    const QRect border = rect().adjusted(0, top, -1, -1);

    // An etched edge: a grey line with a light one inside it.
    painter.setPen(kBorderShadow);
    painter.drawRect(border.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.adjusted(1, 1, 0, 0));

    if (caption_.isEmpty()) return;
    const QRect captionRect(kCaptionIndent, 0,
                            metrics.horizontalAdvance(caption_) + 2 * kCaptionPadding,
                            metrics.height());
    painter.fillRect(captionRect, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignCenter, caption_);
}

}  // namespace snipwell::qt
