#pragma once
// The extraction's progress bar: keeps its own range, position and step and
// paints itself - the filled part in the highlight colour, the rest in the
// window colour, and the percentage centred on top in the opposite colour of
// whatever lies beneath each half, drawn off-screen first. Setting the
// position repaints only when the filled width in pixels changes.

#include <QWidget>

namespace dravolo {

class CProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit CProgressBar(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetStep(int step) { step_ = step; }
    void SetPos(int position);
    void StepIt() { SetPos(pos_ + step_); }

    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int pos() const { return pos_; }
    int step() const { return step_; }
    // Paints so far (for tests of the repaint rule).
    int paintCount() const { return paints_; }
    int FilledWidth() const;
    int Percent() const;

    QSize sizeHint() const override { return {200, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int min_ = 0, max_ = 100, pos_ = 0, step_ = 1;
    int paintedWidth_ = -1;
    int paints_ = 0;
};

}  // namespace dravolo
