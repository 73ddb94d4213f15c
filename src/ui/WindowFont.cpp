#include "ui/WindowFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace przenosnik {

namespace {
// Faces with (nearly) the widths of the designed font, best first; when none
// is installed the default sans-serif is used.
const QStringList& preferredFamilies()
{
    static const QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                      QStringLiteral("Arial"),         QStringLiteral("Liberation Sans"),
                                      QStringLiteral("Arimo"),         QStringLiteral("Nimbus Sans"),
                                      QStringLiteral("Helvetica")};
    return families;
}

// Captions that must end before the control to their right, with the room the
// layout leaves them in pixels.
const std::pair<const char*, int> TightCaptions[] = {
    {"Atrybut KPR", 58},
    {"Opis operacji (w przypadku braku)", 168},
    {"Rejestr( )", 57},
    {"Wersje :", 50},
};

constexpr int NarrowestStretch = 75;
} // namespace

namespace {
bool captionsFit(const QFont& font)
{
    const QFontMetrics metrics(font);
    for (const auto& [text, room] : TightCaptions) {
        if (metrics.horizontalAdvance(QString::fromUtf8(text)) > room) {
            return false;
        }
    }
    return true;
}
} // namespace

int fittingStretch(const QFont& font)
{
    if (captionsFit(font)) {
        return 100;
    }
    // Narrowed glyphs do not shrink exactly in proportion: step down until all fit.
    QFont narrowed = font;
    int stretch = 99;
    for (; stretch > NarrowestStretch; --stretch) {
        narrowed.setStretch(stretch);
        if (captionsFit(narrowed)) {
            break;
        }
    }
    return stretch;
}

QFont windowFont()
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    for (const QString& family : preferredFamilies()) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamilies({family});
            break;
        }
    }
    font.setPointSize(8);
    const int stretch = fittingStretch(font);
    if (stretch < 100) {
        font.setStretch(stretch);
    }
    return font;
}

} // namespace przenosnik
