#pragma once
// The library's small about panel, shown inside a host's window.

#include <QWidget>

namespace dravolo::kstuff {

class AboutPanel : public QWidget {
public:
    explicit AboutPanel(QWidget* parent);
};

}  // namespace dravolo::kstuff
