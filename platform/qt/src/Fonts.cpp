// Template fonts and their base units.
//
// The templates are laid out in dialog units of MS Sans Serif 8, a font that does not exist
// here. It becomes an installed sans serif font at the same pixel size, narrowed (when
// needed) to the average character width of the original, so that the texts fill the space
// the templates give them as they did there.
#include "Internal.h"
#include "platform/qt/QtBackend.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace platform::qt {

namespace {

const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The original dialog face's average width of the alphabet, per pixel of font size.
constexpr double kOriginalAverageWidth = 0.54;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Faces of the original system that have no installed counterpart of the same name.
bool isSystemDialogFace(const std::string& face) {
    static const char* const faces[] = {"ms sans serif",  "ms shell dlg",
                                        "ms shell dlg 2", "microsoft sans serif",
                                        "tahoma",         "segoe ui",
                                        "system",         "arial",
                                        "helvetica",      ""};
    std::string name = lower(face);
    return std::any_of(std::begin(faces), std::end(faces),
                       [&](const char* f) { return name == f; });
}

int pixelSizeFor(int pointSize) {
    int points = pointSize > 0 ? pointSize : 8;
    return static_cast<int>(std::lround(points * 96.0 / 72.0)); // 96 dots per inch
}

} // namespace

QFont fontFor(const FontSpec& templateFont) {
    QFont font;
    QStringList families;
    bool mapped = isSystemDialogFace(templateFont.face);
    if (!mapped) families << QString::fromStdString(templateFont.face);
    families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans")
             << QStringLiteral("Sans Serif");
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    int pixels = pixelSizeFor(templateFont.pointSize);
    font.setPixelSize(pixels);
    font.setWeight(templateFont.weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(templateFont.italic);
    if (mapped) {
        // Narrow the stand-in to the original's average width (never widen it).
        double natural =
            QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(kAlphabet)) / 52.0;
        double target = kOriginalAverageWidth * pixels;
        if (natural > target) {
            int stretch = static_cast<int>(std::lround(100.0 * target / natural));
            font.setStretch(std::clamp(stretch, 80, 100));
        }
    }
    return font;
}

SIZE baseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    QFontMetricsF exact(font);
    // Horizontal: the average width of the alphabet, rounded as the original framework does.
    int width = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
    LONG x = std::max(1, (width / 26 + 1) / 2);
    // Vertical: the font's height, ascent and descent each rounded up to whole pixels.
    LONG y = static_cast<LONG>(std::ceil(exact.ascent()) + std::ceil(exact.descent()));
    return SIZE{x, std::max<LONG>(1, y)};
}

QFont fontOfWindow(const Window& window) {
    for (const Window* w = &window; w != nullptr; w = w->parent())
        if (const DialogTemplate* tpl = w->dialogTemplate()) return fontFor(tpl->font);
    return fontFor(FontSpec{});
}

} // namespace platform::qt
