#pragma once
// The tool's pictures: the skin "skins\kestrine.bmp" drawn onto its canvas and
// cut into pieces, or the built-in canvas with the same layout when there is
// no usable skin. Gives the window icons and the two image lists.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QVector>
#include <string_view>

namespace dravolo::tool {

class CToolSkin {
public:
    // Reads the skin file (a Windows path); false, and the built-in pictures,
    // when it is missing or fails a check.
    bool Load(std::string_view skinPath);
    void UseBuiltIn();
    bool loaded() const { return loaded_; }

    const QImage& canvas() const { return canvas_; }
    // Pieces 1 to 15 as cut from the canvas.
    QImage Piece(int number) const;

    QIcon windowIcon() const { return windowIcon_; }
    // The 16 by 16 image lists with magenta transparent: small (groups, tabs)
    // and state (marks). An out-of-range index gives a null pixmap.
    QPixmap SmallImage(int index) const;
    QPixmap StateImage(int index) const;
    // The pictures of the cheat tree (state images 9 to 12). Image 9 is also
    // the card list's mark for a card in both slots; the built-in pictures
    // give the tree a game picture of its own there instead of that badge.
    QPixmap CheatTreeImage(int index) const;
    int smallImageCount() const { return static_cast<int>(small_.size()); }
    int stateImageCount() const { return static_cast<int>(state_.size()); }

    // The canvas the tool draws when it has no skin.
    static QImage BuiltInCanvas();

private:
    void CutFrom(QImage canvas);

    bool loaded_ = false;
    QImage canvas_;
    QIcon windowIcon_;
    QVector<QPixmap> small_;
    QVector<QPixmap> state_;
};

}  // namespace dravolo::tool
