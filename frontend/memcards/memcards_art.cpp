#include "frontend/memcards/memcards_art.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "common/platform/native_text.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/memcards/slot_listing.h"

namespace dravolo::memcards {

namespace {

constexpr int kListSize = 16;
constexpr int kButtonSize = 24;

QPixmap Blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A small flag-like badge with two letters for the region pictures.
QPixmap RegionBadge(const QColor& background, const QColor& ink, const QString& letters, bool sun) {
    QPixmap pixmap = Blank(kListSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(80, 80, 80));
    p.setBrush(background);
    p.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 2, 2);
    if (sun) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(8, 8), 3.5, 3.5);
        return pixmap;
    }
    QFont font;
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRect(0, 2, 16, 12), Qt::AlignCenter, letters);
    return pixmap;
}

// A memory card seen from the front: the generic picture.
QPixmap CardPicture() {
    QPixmap pixmap = Blank(kListSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.moveTo(3.5, 1.5);
    outline.lineTo(12.5, 1.5);
    outline.lineTo(12.5, 14.5);
    outline.lineTo(3.5, 14.5);
    outline.lineTo(3.5, 4.5);
    outline.closeSubpath();
    p.setPen(QColor(70, 70, 70));
    p.setBrush(QColor(200, 200, 205));
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 130));
    p.drawRect(QRectF(5, 10, 6, 3));
    return pixmap;
}

QPixmap ButtonPicture(PageButton button, bool hot) {
    QPixmap pixmap = Blank(kButtonSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (button == PageButton::Erase) {
        const QColor red = hot ? QColor(235, 60, 50) : QColor(190, 30, 30);
        p.setPen(QPen(red, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        return pixmap;
    }
    const QColor green = hot ? QColor(60, 180, 60) : QColor(30, 130, 40);
    QPainterPath arrow;
    arrow.moveTo(3, 9);
    arrow.lineTo(13, 9);
    arrow.lineTo(13, 4);
    arrow.lineTo(21, 12);
    arrow.lineTo(13, 20);
    arrow.lineTo(13, 15);
    arrow.lineTo(3, 15);
    arrow.closeSubpath();
    if (button == PageButton::CopyLeft) p.setTransform(QTransform(-1, 0, 0, 1, kButtonSize, 0));
    p.setPen(QPen(green.darker(140), 1));
    p.setBrush(green);
    p.drawPath(arrow);
    return pixmap;
}

}  // namespace

QIcon SaveIcon(const memcard::IconPixels& pixels) {
    QImage image(memcard::kIconWidth, memcard::kIconHeight, QImage::Format_ARGB32);
    for (int y = 0; y < memcard::kIconHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < memcard::kIconWidth; ++x)
            line[x] = pixels[static_cast<std::size_t>(y * memcard::kIconWidth + x)];
    }
    return QIcon(QPixmap::fromImage(image));
}

QIcon ListPicture(int image) {
    // Made once: every refresh of both lists uses them.
    static const QIcon america(RegionBadge(QColor(40, 70, 160), Qt::white, QStringLiteral("US"), false));
    static const QIcon europe(RegionBadge(QColor(0, 51, 153), QColor(255, 204, 0), QStringLiteral("EU"), false));
    static const QIcon japan(RegionBadge(Qt::white, QColor(200, 16, 46), QString(), true));
    static const QIcon generic(CardPicture());
    switch (image) {
    case kRegionAmericaImage: return america;
    case kRegionEuropeImage: return europe;
    case kRegionJapanImage: return japan;
    default: return generic;
    }
}

QIcon ButtonIcon(PageButton button) {
    QIcon icon;
    icon.addPixmap(ButtonPicture(button, false), QIcon::Normal);
    icon.addPixmap(ButtonPicture(button, true), QIcon::Active);
    return icon;
}

QString SaveNameText(const std::string& saveName) {
    QString text;
    for (const TitlePiece& piece : SplitTitleText(saveName)) {
        if (!piece.shiftJis) {
            text += ToQt(piece.bytes);
            continue;
        }
        // Through the platform layer: Qt's own decoder needs ICU, which Qt
        // for Windows is built without. Pairs that do not convert show as
        // they would in ANSI.
        const auto utf8 = Utf8FromShiftJis(piece.bytes);
        text += utf8 ? QString::fromStdString(*utf8) : ToQt(piece.bytes);
    }
    return text;
}

}  // namespace dravolo::memcards
