#include "platform/fonts.h"

#include <cmath>

namespace torvika {

void installFontSubstitutions() {
    const QStringList replacements{QStringLiteral("DejaVu Sans Condensed"),
                                   QStringLiteral("Liberation Sans")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), replacements);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), replacements);
}

QFont layoutFont(const layout::FontSpec &spec) {
    QFont font(QString::fromLatin1(spec.family));
    font.setPixelSize(static_cast<int>(std::lround(spec.points * 96.0 / 72.0)));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace torvika
