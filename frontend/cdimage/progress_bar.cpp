#include "frontend/cdimage/progress_bar.h"

#include <QPainter>
#include <QPixmap>

namespace dravolo {

CProgressBar::CProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(16);
}

void CProgressBar::SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum;
    paintedWidth_ = -1;
    update();
}

int CProgressBar::FilledWidth() const {
    const long long span = static_cast<long long>(max_) - min_;
    if (span <= 0) return 0;
    long long done = static_cast<long long>(pos_) - min_;
    done = done < 0 ? 0 : done > span ? span : done;
    return static_cast<int>(done * width() / span);
}

int CProgressBar::Percent() const {
    const long long span = static_cast<long long>(max_) - min_;
    if (span <= 0) return 0;
    long long done = static_cast<long long>(pos_) - min_;
    done = done < 0 ? 0 : done > span ? span : done;
    return static_cast<int>(done * 100 / span);
}

void CProgressBar::SetPos(int position) {
    pos_ = position;
    // Thousands of chunks go by on a long disc: only a visible change repaints.
    if (FilledWidth() != paintedWidth_) update();
}

void CProgressBar::resizeEvent(QResizeEvent* event) {
    paintedWidth_ = -1;
    QWidget::resizeEvent(event);
}

void CProgressBar::paintEvent(QPaintEvent*) {
    ++paints_;
    const int filled = FilledWidth();
    paintedWidth_ = filled;
    const QPalette& pal = palette();
    const QColor highlight = pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Highlight);
    const QColor window = pal.color(QPalette::Base);
    const QString text = QString::asprintf("%d%%", Percent());

    QPixmap canvas(size() * devicePixelRatioF());
    canvas.setDevicePixelRatio(devicePixelRatioF());
    QPainter p(&canvas);
    const QRect all = rect();
    const QRect done(0, 0, filled, height());
    const QRect rest(filled, 0, width() - filled, height());
    p.fillRect(done, highlight);
    p.fillRect(rest, window);
    p.setFont(font());
    p.setClipRect(done);
    p.setPen(window);
    p.drawText(all, Qt::AlignCenter, text);
    p.setClipRect(rest);
    p.setPen(highlight);
    p.drawText(all, Qt::AlignCenter, text);
    p.setClipping(false);
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(all.adjusted(0, 0, -1, -1));
    p.end();

    QPainter(this).drawPixmap(0, 0, canvas);
}

}  // namespace dravolo
