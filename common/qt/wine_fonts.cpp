#include "common/qt/wine_fonts.h"

#include <QByteArray>
#include <QtGlobal>

namespace dravolo {

void PreferFreeTypeFontsUnderWine(bool underWine) {
    if (!underWine || qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=freetype"));
}

}  // namespace dravolo
