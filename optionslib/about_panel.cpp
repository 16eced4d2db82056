#include "optionslib/about_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace dravolo::kstuff {

namespace {

// A disc with a pad-like cross: drawn, so the library carries no image files.
QPixmap Emblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shine(size * 0.35, size * 0.35, size * 0.6);
    shine.setColorAt(0, QColor(0xE8, 0xEE, 0xF6));
    shine.setColorAt(1, QColor(0x8A, 0x9B, 0xB4));
    p.setBrush(shine);
    p.setPen(QPen(QColor(0x40, 0x4C, 0x60), 1.5));
    p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    p.setBrush(QColor(0x40, 0x4C, 0x60));
    p.drawEllipse(QPointF(size / 2.0, size / 2.0), size * 0.12, size * 0.12);
    p.setPen(QPen(QColor(0x2E, 0x5C, 0xA8), size * 0.08, Qt::SolidLine, Qt::RoundCap));
    const double c = size / 2.0, arm = size * 0.3;
    p.drawLine(QPointF(c - arm, c), QPointF(c - size * 0.17, c));
    p.drawLine(QPointF(c + size * 0.17, c), QPointF(c + arm, c));
    p.drawLine(QPointF(c, c - arm), QPointF(c, c - size * 0.17));
    p.drawLine(QPointF(c, c + size * 0.17), QPointF(c, c + arm));
    return pixmap;
}

}  // namespace

AboutPanel::AboutPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KestrineAbout"));
    auto* picture = new QLabel;
    picture->setPixmap(Emblem(64));
    picture->setAlignment(Qt::AlignTop);

    auto* product = new QLabel(QStringLiteral("<b>KestrineStuff</b>"));
    product->setObjectName(QStringLiteral("ProductLine"));
    auto* what = new QLabel(QStringLiteral("ePSXe options and emulator start library"));
    auto* detail =
        new QLabel(QStringLiteral("Keeps the BIOS, sound, CD-ROM, country, pad and command-line options of an ePSXe "
                                  "configuration, and starts ePSXe with them."));
    detail->setWordWrap(true);

    auto* text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(what);
    text->addSpacing(6);
    text->addWidget(detail);
    text->addStretch(1);

    auto* row = new QHBoxLayout(this);
    row->addWidget(picture);
    row->addLayout(text, 1);
}

}  // namespace dravolo::kstuff
