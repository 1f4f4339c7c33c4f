// Fonts and text. Faces are mapped to the scalable Liberation fonts that the machine setup
// installs (DejaVu when they are missing) and drawn hinted and antialiased, so that digits stay
// distinguishable at the small sizes the plots and panes ask for. A font request follows the
// system's rules: a negative height is the character (em) height, a positive one the cell height
// (ascent + descent), 0 the default; a width of 0 keeps the face's own aspect, another width is
// the average character width, reached by stretching.
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"
#include "platform/internal/Fonts.h"
#include "platform/ui/HostHooks.h"

namespace platform {

using namespace gdi;

namespace gdi {
namespace {

constexpr int kDefaultCellHeight = 16;  // a height of 0 asks for the face's default size
constexpr int kLargestPixelSize = 2000;
// The faces the system keeps as bitmaps come in fixed sizes, the smallest with a 13-pixel cell
// (8 points on a 96-dpi screen); the font mapper gives that size to any smaller request, at the
// face's own width.
constexpr int kSmallestBitmapCell = 13;
// Metrics are taken at this size and scaled, so that they do not depend on hinted roundings.
constexpr int kReferencePixelSize = 1024;

std::string Lower(const std::string& s) {
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool IsBitmapFace(const std::string& lower) {
    return lower == "helv" || lower == "ms sans serif" || lower == "tms rmn" ||
           lower == "ms serif" || lower == "courier" || lower == "system";
}

// The installed family that stands in for a face the system asks for.
QString SubstituteFamily(const std::string& face) {
    const std::string f = Lower(face);
    // The system font is a compact bold face.
    if (f == "system") return QStringLiteral("Liberation Sans Narrow");
    if (f.find("courier") != std::string::npos || f.find("mono") != std::string::npos) {
        return QStringLiteral("Liberation Mono");
    }
    if (f.find("times") != std::string::npos || f.find("roman") != std::string::npos ||
        f == "tms rmn" || f == "ms serif" ||
        (f.find("serif") != std::string::npos && f.find("sans") == std::string::npos)) {
        return QStringLiteral("Liberation Serif");
    }
    // "Arial", "Helv", "MS Sans Serif", "MS Shell Dlg", "System" and every other face.
    return QStringLiteral("Liberation Sans");
}

QFont BaseFont(const QString& family, int weight, bool italic, bool underline, bool strike_out) {
    QFont font(family);
    font.setStyleStrategy(
        static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::NoFontMerging));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    const int w = weight <= 0 ? FW_NORMAL : std::clamp(weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(w));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strike_out);
    return font;
}

// The DejaVu face of the same kind, for a machine that lacks the Liberation faces.
QString SecondChoice(const QString& family) {
    if (family.endsWith(QStringLiteral("Serif"))) return QStringLiteral("DejaVu Serif");
    if (family.endsWith(QStringLiteral("Mono"))) return QStringLiteral("DejaVu Sans Mono");
    if (family.endsWith(QStringLiteral("Narrow"))) return QStringLiteral("DejaVu Sans Condensed");
    return QStringLiteral("DejaVu Sans");
}

// Cell height (ascent + descent) per pixel of em height.
double CellPerEm(QFont font) {
    font.setPixelSize(kReferencePixelSize);
    const QFontMetricsF m(font);
    return (m.ascent() + m.descent()) / kReferencePixelSize;
}

// The face's own average character width per pixel of em height, as the system states it for a
// scalable face: the lowercase letters and the space weighted by their frequency in text.
double AverageWidthPerEm(QFont font) {
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                         56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    constexpr int kSpaceWeight = 166;
    font.setPixelSize(kReferencePixelSize);
    font.setStretch(QFont::Unstretched);
    const QFontMetricsF m(font);
    double sum = kSpaceWeight * m.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * m.horizontalAdvance(QLatin1Char(static_cast<char>('a' + i)));
    return sum / 1000.0 / kReferencePixelSize;
}

}  // namespace

FontObject MakeFont(int height, int width, int weight, bool italic, bool underline, bool strike_out,
                    const std::string& face) {
    const QString family = SubstituteFamily(face);
    QFont font = BaseFont(family, weight, italic, underline, strike_out);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) {
        font = BaseFont(SecondChoice(family), weight, italic, underline, strike_out);
    }
    const double cell_per_em = std::max(CellPerEm(font), 0.5);
    // A cell height asked for: the nearest em height, made smaller while its whole-pixel cell
    // is still taller than asked.
    auto for_cell = [&](int cell) {
        int size = std::max(1, static_cast<int>(std::lround(cell / cell_per_em)));
        for (; size > 1; --size) {
            font.setPixelSize(size);
            const QFontMetrics m(font);
            if (m.ascent() + m.descent() <= cell) break;
        }
        return size;
    };
    int pixel_size = 1;
    if (height < 0) {
        pixel_size = std::min(-height, kLargestPixelSize);
    } else {
        pixel_size =
            for_cell(height == 0 ? kDefaultCellHeight : std::min(height, kLargestPixelSize));
    }
    if (IsBitmapFace(Lower(face)) && pixel_size * cell_per_em < kSmallestBitmapCell - 0.5) {
        pixel_size = for_cell(kSmallestBitmapCell);
        width = 0;
    }
    font.setPixelSize(pixel_size);
    if (width > 0) {
        const double natural = AverageWidthPerEm(font) * pixel_size;
        if (natural > 0) {
            const int stretch = static_cast<int>(std::lround(100.0 * width / natural));
            font.setStretch(std::clamp(stretch, 1, 4000));
        }
    }
    const QFontMetrics m(font);
    return {font, m.ascent() + m.descent(), m.ascent()};
}

}  // namespace gdi

namespace internal {

QFont FontOf(HFONT font) {
    const FontObject* f = FindFont(font);
    return f ? f->font : FindFont(HFONT::FromIndex(kSystemFont))->font;
}

bool FontExists(HFONT font) { return FindFont(font) != nullptr; }

SIZE FontBaseUnits(HFONT font) {
    const FontObject* f = FindFont(font);
    if (!f) f = FindFont(HFONT::FromIndex(kSystemFont));
    const int letters = QFontMetrics(f->font).horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return SIZE{(letters / 26 + 1) / 2, f->cell_height};
}

}  // namespace internal

namespace {

QString Latin1(const char* text, int length) { return QString::fromLatin1(text, length); }

void ReportDrawnText(const DcObject& dc, const QImage& image, int x, int y, const FontObject& font,
                     const QString& s, const char* text, int length) {
    if (dc.kind != DcKind::Surface && dc.kind != DcKind::Memory) return;
    const QRect ink = QFontMetrics(font.font).tightBoundingRect(s);
    if (ink.isEmpty()) return;
    const int left = x + ink.left();
    const int top = y + font.ascent + ink.top();
    Hooks().text_drawn(DrawnTextRecord{dc.kind == DcKind::Surface ? dc.hwnd : HWND{},
                                       std::string(text, static_cast<std::size_t>(length)),
                                       RECT{left, top, left + ink.width(), top + ink.height()},
                                       RECT{0, 0, image.width(), image.height()}});
}

}  // namespace

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !size || length < 0 || (!text && length > 0)) return FALSE;
    const FontObject& font = DcFont(*dc);
    size->cx = QFontMetrics(font.font).horizontalAdvance(Latin1(text, length));
    size->cy = font.cell_height;
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int length) {
    DcObject* dc = FindDc(hdc);
    if (!dc || length < 0 || (!text && length > 0)) return FALSE;
    QRect area;
    QImage* image = DcImage(*dc, &area);
    if (!image) return FALSE;
    const FontObject& font = DcFont(*dc);
    const QString s = Latin1(text, length);
    if (Hooks().text_drawn) ReportDrawnText(*dc, *image, x, y, font, s, text, length);
    // Nothing to do when the cell misses the area; otherwise the position is near it. The width
    // (a shaping of the text) is asked only where it decides that, or for an opaque background.
    if (x > area.right() || static_cast<std::int64_t>(y) + font.cell_height <= area.top() ||
        y > area.bottom() || area.isEmpty()) {
        return TRUE;
    }
    const bool opaque = dc->bk_mode == OPAQUE;
    const std::int64_t width =
        x < area.left() || opaque ? QFontMetrics(font.font).horizontalAdvance(s) : 0;
    if (x < area.left() && static_cast<std::int64_t>(x) + width <= area.left()) return TRUE;
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(area);
    if (opaque && width > 0) {
        painter.fillRect(QRect(x, y, static_cast<int>(width), font.cell_height),
                         QColor::fromRgb(ToRgb(dc->bk_colour)));
    }
    painter.setFont(font.font);
    painter.setPen(QColor::fromRgb(ToRgb(dc->text_colour)));
    painter.drawText(QPoint(x, y + font.ascent), s);
    painter.end();
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

}  // namespace platform
