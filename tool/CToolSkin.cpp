#include "tool/CToolSkin.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

#include "common/platform/winfs.h"
#include "tool/core/skin_layout.h"

namespace dravolo::tool {

namespace {

QRect ToQt(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// A picture with magenta (0xFF00FF) made transparent.
QPixmap Transparent(const QImage& image) {
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == kSkinTransparent) line[x] = 0;
        }
    }
    return QPixmap::fromImage(argb);
}

QVector<QPixmap> Cells(const QImage& strip) {
    QVector<QPixmap> cells;
    for (int x = 0; x + 16 <= strip.width(); x += 16) cells.push_back(Transparent(strip.copy(x, 0, 16, 16)));
    return cells;
}

// --- The built-in pictures: simple drawings in the cells of the layout. ---

void Monitor(QPainter& p, QRect c) {
    p.setPen(QColor(40, 40, 60));
    p.setBrush(QColor(70, 130, 200));
    p.drawRect(c.x() + 1, c.y() + 2, 13, 9);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(c.x() + 5, c.y() + 12, 5, 2);
}

void Speaker(QPainter& p, QRect c) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(230, 180, 40));
    QPolygon cone;
    cone << QPoint(c.x() + 2, c.y() + 5) << QPoint(c.x() + 5, c.y() + 5) << QPoint(c.x() + 9, c.y() + 2)
         << QPoint(c.x() + 9, c.y() + 13) << QPoint(c.x() + 5, c.y() + 10) << QPoint(c.x() + 2, c.y() + 10);
    p.drawPolygon(cone);
    p.setBrush(Qt::NoBrush);
    p.drawArc(c.x() + 8, c.y() + 4, 5, 8, -60 * 16, 120 * 16);
    p.drawArc(c.x() + 8, c.y() + 2, 8, 12, -60 * 16, 120 * 16);
}

void Disc(QPainter& p, QRect c) {
    p.setPen(QColor(90, 90, 110));
    p.setBrush(QColor(200, 205, 220));
    p.drawEllipse(c.x() + 1, c.y() + 1, 13, 13);
    p.setBrush(QColor(255, 0, 255));
    p.drawEllipse(c.x() + 6, c.y() + 6, 3, 3);
}

void Pad(QPainter& p, QRect c, const QString& label) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(c.x() + 1, c.y() + 4, 14, 8, 3, 3);
    p.setPen(QColor(20, 20, 20));
    if (!label.isEmpty()) {
        QFont f = p.font();
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(c.x() + 1, c.y() + 4, 14, 8), Qt::AlignCenter, label);
    } else {
        p.drawPoint(c.x() + 4, c.y() + 8);
        p.drawPoint(c.x() + 11, c.y() + 7);
        p.drawPoint(c.x() + 11, c.y() + 9);
    }
}

void Network(QPainter& p, QRect c) {
    p.setPen(QColor(30, 90, 40));
    p.setBrush(QColor(90, 190, 100));
    p.drawRect(c.x() + 1, c.y() + 1, 5, 4);
    p.drawRect(c.x() + 9, c.y() + 10, 5, 4);
    p.drawLine(c.x() + 3, c.y() + 5, c.x() + 3, c.y() + 12);
    p.drawLine(c.x() + 3, c.y() + 12, c.x() + 9, c.y() + 12);
}

void Module(QPainter& p, QRect c) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(180, 180, 140));
    p.drawRect(c.x() + 3, c.y() + 2, 10, 12);
    for (int y = 4; y < 14; y += 3) {
        p.drawLine(c.x() + 1, c.y() + y, c.x() + 3, c.y() + y);
        p.drawLine(c.x() + 13, c.y() + y, c.x() + 15, c.y() + y);
    }
}

void Card(QPainter& p, QRect c, QColor colour) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(colour);
    QPolygon body;
    body << QPoint(c.x() + 3, c.y() + 1) << QPoint(c.x() + 13, c.y() + 1) << QPoint(c.x() + 13, c.y() + 14)
         << QPoint(c.x() + 3, c.y() + 14);
    p.drawPolygon(body);
    p.setBrush(QColor(230, 200, 60));
    p.drawRect(c.x() + 5, c.y() + 10, 6, 3);
}

void Sliders(QPainter& p, QRect c) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i < 3; ++i) p.drawLine(c.x() + 2, c.y() + 3 + i * 5, c.x() + 14, c.y() + 3 + i * 5);
    p.setBrush(QColor(200, 80, 60));
    p.drawRect(c.x() + 9, c.y() + 1, 3, 4);
    p.drawRect(c.x() + 4, c.y() + 6, 3, 4);
    p.drawRect(c.x() + 10, c.y() + 11, 3, 4);
}

void Star(QPainter& p, QRect c, QColor colour) {
    QPainterPath path;
    const QPointF centre(c.x() + 8, c.y() + 8);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2) ? 3.0 : 7.0;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    path.closeSubpath();
    p.setPen(QColor(80, 60, 0));
    p.setBrush(colour);
    p.drawPath(path);
}

void Check(QPainter& p, QRect c, QColor colour) {
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygon tick;
    tick << QPoint(c.x() + 3, c.y() + 8) << QPoint(c.x() + 6, c.y() + 12) << QPoint(c.x() + 13, c.y() + 3);
    p.drawPolyline(tick);
}

void Badge(QPainter& p, QRect c, const QString& text, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c.adjusted(1, 1, -1, -1));
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(text.size() > 1 ? 7 : 10);
    f.setBold(true);
    p.setFont(f);
    p.drawText(c, Qt::AlignCenter, text);
}

void Folder(QPainter& p, QRect c, QColor colour) {
    p.setPen(QColor(110, 80, 20));
    p.setBrush(colour);
    p.drawRect(c.x() + 1, c.y() + 4, 14, 10);
    p.drawRect(c.x() + 1, c.y() + 2, 6, 2);
}

// Where the built-in canvas keeps the cheat tree's game picture: a state
// image the layout leaves unused.
constexpr int kBuiltInGameImage = 13;
constexpr int kSharedGameImage = 9;

QRect Cell(int piece, int index) {
    const SkinRect& r = SkinPiece(piece);
    return QRect(r.left + index * 16, r.top, 16, 16);
}

}  // namespace

QImage CToolSkin::BuiltInCanvas() {
    QImage canvas(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    // The image strips start transparent.
    for (int piece : {kSmallImagesPiece, kStateImagesPiece, kMenuImagesPiece, kLargeIconPiece, kSmallIconPiece})
        p.fillRect(ToQt(SkinPiece(piece)), QColor(0xFF, 0x00, 0xFF));

    // Small list: the plugin groups, then the tab pictures.
    Monitor(p, Cell(kSmallImagesPiece, 0));
    Speaker(p, Cell(kSmallImagesPiece, 1));
    Disc(p, Cell(kSmallImagesPiece, 2));
    Pad(p, Cell(kSmallImagesPiece, 3), QStringLiteral("1"));
    Pad(p, Cell(kSmallImagesPiece, 4), QStringLiteral("2"));
    Pad(p, Cell(kSmallImagesPiece, 5), QString());
    Network(p, Cell(kSmallImagesPiece, 6));
    for (int i = 7; i < 16; ++i) Module(p, Cell(kSmallImagesPiece, i));
    Card(p, Cell(kSmallImagesPiece, 16), QColor(60, 60, 70));
    Sliders(p, Cell(kSmallImagesPiece, 17));
    Star(p, Cell(kSmallImagesPiece, 18), QColor(250, 210, 40));

    // State list: the marks of the plugin groups, the card slots, the cheat tree.
    const QColor marks[] = {QColor(30, 100, 210), QColor(200, 140, 0),  QColor(110, 110, 130),
                            QColor(30, 150, 60),  QColor(20, 130, 130), QColor(170, 60, 170)};
    for (int i = 1; i <= 6; ++i) Check(p, Cell(kStateImagesPiece, i), marks[i - 1]);
    Badge(p, Cell(kStateImagesPiece, 7), QStringLiteral("1"), QColor(200, 40, 40));
    Badge(p, Cell(kStateImagesPiece, 8), QStringLiteral("2"), QColor(40, 80, 200));
    Badge(p, Cell(kStateImagesPiece, 9), QStringLiteral("1+2"), QColor(130, 40, 160));
    Folder(p, Cell(kStateImagesPiece, 10), QColor(250, 220, 90));
    Folder(p, Cell(kStateImagesPiece, kBuiltInGameImage), QColor(200, 200, 200));
    Star(p, Cell(kStateImagesPiece, 11), QColor(200, 200, 200));
    Star(p, Cell(kStateImagesPiece, 12), QColor(250, 210, 40));

    // The window icons: a card with a spark.
    const SkinRect& large = SkinPiece(kLargeIconPiece);
    p.setPen(QColor(30, 30, 50));
    p.setBrush(QColor(50, 70, 140));
    p.drawRoundedRect(QRectF(large.left + 2, large.top + 2, 28, 28), 5, 5);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.drawText(ToQt(large), Qt::AlignCenter, QStringLiteral("K"));
    const SkinRect& small = SkinPiece(kSmallIconPiece);
    p.setPen(QColor(30, 30, 50));
    p.setBrush(QColor(50, 70, 140));
    p.drawRoundedRect(QRectF(small.left + 1, small.top + 1, 14, 14), 3, 3);
    p.setPen(Qt::white);
    f.setPixelSize(11);
    p.setFont(f);
    p.drawText(ToQt(small), Qt::AlignCenter, QStringLiteral("K"));
    p.end();
    return canvas;
}

bool CToolSkin::Load(std::string_view skinPath) {
    loaded_ = false;
    const auto file = ReadWholeFile(skinPath);
    QImage picture;
    if (file && IsUsableSkinFile(*file) && picture.loadFromData(file->data(), static_cast<int>(file->size()), "BMP") &&
        !picture.isNull()) {
        // Onto a white canvas of the skin's size: as it is when it fits
        // exactly, stretched otherwise.
        QImage canvas(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        if (picture.width() == kSkinWidth && picture.height() == kSkinHeight) {
            p.drawImage(0, 0, picture);
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
            p.drawImage(canvas.rect(), picture);
        }
        p.end();
        CutFrom(std::move(canvas));
        loaded_ = true;
        return true;
    }
    UseBuiltIn();
    return false;
}

void CToolSkin::UseBuiltIn() {
    loaded_ = false;
    CutFrom(BuiltInCanvas());
}

void CToolSkin::CutFrom(QImage canvas) {
    canvas_ = std::move(canvas);
    small_ = Cells(Piece(kSmallImagesPiece));
    state_ = Cells(Piece(kStateImagesPiece));
    windowIcon_ = QIcon();
    windowIcon_.addPixmap(Transparent(Piece(kLargeIconPiece)));
    windowIcon_.addPixmap(Transparent(Piece(kSmallIconPiece)));
}

QImage CToolSkin::Piece(int number) const {
    if (number < 1 || number > static_cast<int>(kSkinPieces.size())) return {};
    return canvas_.copy(ToQt(SkinPiece(number)));
}

QPixmap CToolSkin::SmallImage(int index) const {
    return index >= 0 && index < small_.size() ? small_[index] : QPixmap();
}

QPixmap CToolSkin::CheatTreeImage(int index) const {
    return StateImage(!loaded_ && index == kSharedGameImage ? kBuiltInGameImage : index);
}

QPixmap CToolSkin::StateImage(int index) const {
    return index >= 0 && index < state_.size() ? state_[index] : QPixmap();
}

}  // namespace dravolo::tool
