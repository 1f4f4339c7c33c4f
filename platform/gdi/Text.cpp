// Fonts and text. Faces are pinned to the Liberation fonts that the machine setup installs, drawn
// without antialiasing and hinted by the faces' own instructions, so that text lands on the same
// pixels on every machine with the same font packages.
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"

namespace platform {

using namespace gdi;

namespace gdi {
namespace {

constexpr int kDefaultCellHeight = 16;  // a height of 0 asks for the face's default size
constexpr int kLargestPixelSize = 2000;

std::string Lower(const std::string& s) {
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The installed family that stands in for a face the system asks for.
QString SubstituteFamily(const std::string& face) {
    const std::string f = Lower(face);
    if (f.find("courier") != std::string::npos || f.find("mono") != std::string::npos) {
        return QStringLiteral("Liberation Mono");
    }
    if (f.find("times") != std::string::npos || f.find("roman") != std::string::npos ||
        f == "tms rmn" ||
        (f.find("serif") != std::string::npos && f.find("sans") == std::string::npos)) {
        return QStringLiteral("Liberation Serif");
    }
    // "Arial", "Helv", "MS Sans Serif", "System" and every other face.
    return QStringLiteral("Liberation Sans");
}

QFont BaseFont(const QString& family, int weight, bool italic, bool underline, bool strike_out) {
    QFont font(family);
    font.setStyleStrategy(
        static_cast<QFont::StyleStrategy>(QFont::NoAntialias | QFont::NoFontMerging));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    const int w = weight <= 0 ? FW_NORMAL : std::clamp(weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(w));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strike_out);
    return font;
}

int CellHeight(const QFont& font) {
    const QFontMetrics m(font);
    return m.ascent() + m.descent();
}

// The DejaVu face of the same kind, for a machine that lacks the Liberation faces.
QString SecondChoice(const QString& family) {
    if (family.endsWith(QStringLiteral("Serif"))) return QStringLiteral("DejaVu Serif");
    if (family.endsWith(QStringLiteral("Mono"))) return QStringLiteral("DejaVu Sans Mono");
    return QStringLiteral("DejaVu Sans");
}

}  // namespace

FontObject MakeFont(int height, int width, int weight, bool italic, bool underline, bool strike_out,
                    const std::string& face) {
    const QString family = SubstituteFamily(face);
    QFont font = BaseFont(family, weight, italic, underline, strike_out);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) {
        font = BaseFont(SecondChoice(family), weight, italic, underline, strike_out);
    }
    int pixel_size = 1;
    if (height < 0) {
        pixel_size = std::min(-height, kLargestPixelSize);
    } else {
        // The largest pixel size whose cell (ascent + descent) is not above the height asked for.
        const int cell = std::min(height == 0 ? kDefaultCellHeight : height, kLargestPixelSize);
        int lo = 1;
        int hi = cell;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            font.setPixelSize(mid);
            if (CellHeight(font) <= cell) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        pixel_size = lo;
    }
    font.setPixelSize(pixel_size);
    if (width > 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        if (natural > 0) {
            const int stretch = static_cast<int>(std::lround(100.0 * width / natural));
            font.setStretch(std::clamp(stretch, 1, 4000));
        }
    }
    const QFontMetrics m(font);
    return {font, m.ascent() + m.descent(), m.ascent()};
}

}  // namespace gdi

namespace {

QString Latin1(const char* text, int length) { return QString::fromLatin1(text, length); }

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
    const std::int64_t width = QFontMetrics(font.font).horizontalAdvance(s);
    // Nothing to do when the cell misses the area; otherwise the position is near it.
    if (static_cast<std::int64_t>(x) + width <= area.left() || x > area.right() ||
        static_cast<std::int64_t>(y) + font.cell_height <= area.top() || y > area.bottom() ||
        area.isEmpty()) {
        return TRUE;
    }
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRect(area);
    if (dc->bk_mode == OPAQUE && width > 0) {
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
