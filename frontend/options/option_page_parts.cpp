#include "frontend/options/option_page_parts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"

namespace dravolo {

QGroupBox* MakeCpuGroup(const char* first, const char* second, QRadioButton*& firstButton,
                        QRadioButton*& secondButton) {
    auto* group = new QGroupBox(QStringLiteral("CPU Options"));
    auto* box = new QVBoxLayout(group);
    firstButton = new QRadioButton(QString::fromLatin1(first));
    secondButton = new QRadioButton(QString::fromLatin1(second));
    box->addWidget(firstButton);
    box->addWidget(secondButton);
    return group;
}

QGroupBox* MakeCountryGroupOf(const std::string_view* entries, std::size_t count, QComboBox*& combo) {
    auto* group = new QGroupBox(QStringLiteral("Country Settings"));
    auto* row = new QHBoxLayout(group);
    auto* label = new QLabel(QStringLiteral("Country:"));
    combo = new QComboBox;
    combo->setObjectName(QStringLiteral("country"));
    for (std::size_t i = 0; i < count; ++i) combo->addItem(ToQt(entries[i]));
    label->setBuddy(combo);
    row->addWidget(label);
    row->addWidget(combo, 1);
    return group;
}

}  // namespace dravolo
