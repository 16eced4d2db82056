#include "frontend/shell/shell_art.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace dravolo {

namespace {

struct KindLook {
    QColor colour;
    const char* large;
    const char* small;
};
// In the kinds' order.
const std::array<KindLook, kEmulatorKinds.size()> kKindLooks = {{
    {QColor(0x1f, 0x5f, 0xbf), "eP", "e"},
    {QColor(0x2e, 0x8b, 0x3a), "FP", "F"},
    {QColor(0xd0, 0x70, 0x10), "PS", "S"},
    {QColor(0x7a, 0x3d, 0xb0), "AD", "A"},
    {QColor(0xb8, 0x24, 0x2c), "PC", "C"},
}};

QPixmap Blank(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void DrawDisc(QPainter& p, QRectF r, QColor tint) {
    QRadialGradient g(r.center(), r.width() / 2);
    g.setColorAt(0.0, QColor(245, 245, 250));
    g.setColorAt(0.7, tint.lighter(170));
    g.setColorAt(1.0, tint);
    p.setPen(QPen(tint.darker(150), 1));
    p.setBrush(g);
    p.drawEllipse(r);
    const qreal hole = r.width() / 5;
    p.setBrush(Qt::white);
    p.drawEllipse(r.center(), hole, hole);
}

}  // namespace

QPixmap EmulatorIcon(EmulatorKind kind, int size) {
    const KindLook& look = kKindLooks[KindIndex(kind)];
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A disc behind, the emulator's badge in front.
    DrawDisc(p, QRectF(s * 0.30, 0.5, s * 0.68, s * 0.68), look.colour);
    QRectF badge(0.5, s * 0.40, s * 0.62, s * 0.58);
    p.setPen(QPen(look.colour.darker(160), 1));
    p.setBrush(look.colour);
    p.drawRoundedRect(badge, s * 0.12, s * 0.12);
    QFont f;
    f.setBold(true);
    f.setPixelSize(size >= 32 ? 12 : 9);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, QString::fromLatin1(size >= 32 ? look.large : look.small));
    return pm;
}

QPixmap EmulatorBarIcon() {
    // A small game pad.
    QPixmap pm = Blank(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pad;
    pad.addRoundedRect(QRectF(1, 4, 14, 8), 4, 4);
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(QColor(170, 172, 185));
    p.drawPath(pad);
    p.setPen(QPen(QColor(40, 40, 50), 1.4));
    p.drawLine(QPointF(4, 8), QPointF(7, 8));
    p.drawLine(QPointF(5.5, 6.5), QPointF(5.5, 9.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 50));
    p.drawEllipse(QPointF(11, 7), 1.1, 1.1);
    p.setBrush(QColor(40, 90, 200));
    p.drawEllipse(QPointF(12.5, 9), 1.1, 1.1);
    return pm;
}

namespace {

void DrawPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13.5, 5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 5));
    p.drawLine(QPointF(10, 5), QPointF(13.5, 5));
}

QPixmap DrawTool(ToolPicture picture) {
    const bool big = picture == ToolPicture::IsoExtractor || picture == ToolPicture::MemcardTool;
    QPixmap pm = Blank(big ? 32 : 16, big ? 32 : 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case ToolPicture::NewProfile:
        DrawPage(p);
        p.setPen(QPen(QColor(30, 140, 50), 2));
        p.drawLine(QPointF(8, 7), QPointF(8, 13));
        p.drawLine(QPointF(5, 10), QPointF(11, 10));
        break;
    case ToolPicture::DeleteProfile:
        p.setPen(QPen(QColor(200, 30, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case ToolPicture::ConfigureSettings: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(95, 100, 115));
        p.translate(8, 8);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-1.3, -7.2, 2.6, 3.5));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 5, 5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 2, 2);
        break;
    }
    case ToolPicture::EditProfile:
        DrawPage(p);
        p.setPen(QPen(QColor(200, 140, 20), 2.6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(6, 12), QPointF(13, 5));
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawLine(QPointF(4.5, 13.5), QPointF(6, 12));
        break;
    case ToolPicture::LargeIcons:
        p.setPen(QPen(QColor(40, 70, 140), 1));
        p.setBrush(QColor(120, 160, 230));
        p.drawRect(QRectF(1.5, 1.5, 5.5, 5.5));
        p.drawRect(QRectF(9, 1.5, 5.5, 5.5));
        p.drawRect(QRectF(1.5, 9, 5.5, 5.5));
        p.drawRect(QRectF(9, 9, 5.5, 5.5));
        break;
    case ToolPicture::SmallIcons:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 100, 190));
        for (int r = 0; r < 3; ++r) {
            p.drawRect(QRectF(1.5, 2 + r * 4.5, 3, 3));
            p.drawRect(QRectF(8.5, 2 + r * 4.5, 3, 3));
        }
        p.setBrush(QColor(90, 90, 90));
        for (int r = 0; r < 3; ++r) {
            p.drawRect(QRectF(5, 3 + r * 4.5, 2.5, 1));
            p.drawRect(QRectF(12, 3 + r * 4.5, 2.5, 1));
        }
        break;
    case ToolPicture::Details:
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 4; ++r) {
            p.setBrush(QColor(60, 100, 190));
            p.drawRect(QRectF(1.5, 1.5 + r * 3.6, 2.5, 2.5));
            p.setBrush(QColor(90, 90, 90));
            p.drawRect(QRectF(5.5, 2.2 + r * 3.6, 9, 1.2));
        }
        break;
    case ToolPicture::About:
        p.setPen(QPen(QColor(20, 60, 150), 1));
        p.setBrush(QColor(60, 120, 220));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(Qt::white);
        {
            QFont f;
            f.setBold(true);
            f.setPixelSize(11);
            p.setFont(f);
        }
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case ToolPicture::IsoExtractor:
        DrawDisc(p, QRectF(1.5, 1.5, 24, 24), QColor(120, 130, 160));
        p.setPen(QPen(QColor(30, 130, 60), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24, 16), QPointF(24, 29));
        p.drawLine(QPointF(19.5, 24.5), QPointF(24, 29));
        p.drawLine(QPointF(28.5, 24.5), QPointF(24, 29));
        break;
    case ToolPicture::MemcardTool: {
        QPainterPath card;
        card.moveTo(6, 2);
        card.lineTo(22, 2);
        card.lineTo(27, 7);
        card.lineTo(27, 30);
        card.lineTo(6, 30);
        card.closeSubpath();
        p.setPen(QPen(QColor(50, 50, 60), 1));
        p.setBrush(QColor(95, 98, 110));
        p.drawPath(card);
        p.setBrush(QColor(230, 230, 235));
        p.drawRect(QRectF(9, 6, 14, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(215, 175, 60));
        for (int i = 0; i < 5; ++i) p.drawRect(QRectF(8.5 + i * 3.6, 23, 2.2, 5));
        break;
    }
    }
    return pm;
}

}  // namespace

QIcon ToolIcon(ToolPicture picture) { return QIcon(DrawTool(picture)); }

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pm = Blank(size, size);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        DrawDisc(p, QRectF(0.5, 0.5, size - 1, size - 1), QColor(40, 80, 170));
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace dravolo
