#include "toolkit/cairo/CairoGraphics.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <map>
#include <string>

namespace {

// Fonts: family names registered from files, and Cairo font faces made
// once per family and style for the life of the process.
struct FontRegistry {
    std::map<std::string, FcPattern*> registered;  // family -> pattern of the file
    std::map<std::string, cairo_font_face_t*> faces;

    ~FontRegistry()
    {
        for (auto& entry : faces) cairo_font_face_destroy(entry.second);
        for (auto& entry : registered) FcPatternDestroy(entry.second);
    }
};

FontRegistry& fonts()
{
    static FontRegistry registry;
    return registry;
}

cairo_font_face_t* createFace(const CFontDesc& font)
{
    FontRegistry& registry = fonts();
    const bool bold = font.isBold();
    const bool italic = font.isItalic();
    FcPattern* pattern = nullptr;
    auto it = registry.registered.find(font.getName());
    if (it != registry.registered.end()) {
        // A registered file: that face exactly, emboldened or slanted by the
        // renderer when the file has no such style of its own.
        pattern = FcPatternDuplicate(it->second);
        int weight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
        if (bold && weight < FC_WEIGHT_DEMIBOLD) FcPatternAddBool(pattern, FC_EMBOLDEN, FcTrue);
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
        if (italic && slant == FC_SLANT_ROMAN) {
            FcMatrix matrix;
            FcMatrixInit(&matrix);
            matrix.xy = 0.2;
            FcPatternAddMatrix(pattern, FC_MATRIX, &matrix);
        }
    } else {
        FcPattern* request = FcPatternCreate();
        FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.getName().c_str()));
        FcPatternAddInteger(request, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(request, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, request, FcMatchPattern);
        FcDefaultSubstitute(request);
        FcResult result = FcResultNoMatch;
        pattern = FcFontMatch(nullptr, request, &result);
        FcPatternDestroy(request);
    }
    if (!pattern)
        return cairo_toy_font_face_create("sans-serif", italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                          bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    return face;
}

cairo_font_face_t* fontFace(const CFontDesc& font)
{
    const std::string key = font.getName() + '\n' + std::to_string(font.getStyle() & (kBoldFace | kItalicFace));
    auto& faces = fonts().faces;
    auto it = faces.find(key);
    if (it != faces.end()) return it->second;
    cairo_font_face_t* face = createFace(font);
    faces.emplace(key, face);
    return face;
}

bool isOddWhole(double width)
{
    const double r = std::round(width);
    return std::fabs(width - r) < 1e-9 && static_cast<long>(r) % 2 == 1;
}

// Moves whole coordinates of odd-width strokes onto pixel centres.
double align(double v, bool odd)
{
    if (!odd) return v;
    return std::fabs(v - std::round(v)) < 1e-9 ? v + 0.5 : v;
}

}  // namespace

// ---------------------------------------------------------------------------

CairoBitmap::CairoBitmap(int width, int height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
{}

CairoBitmap::CairoBitmap(cairo_surface_t* surface) : m_surface(surface) {}

CairoBitmap::~CairoBitmap() { cairo_surface_destroy(m_surface); }

bool CairoBitmap::isValid() const { return cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS; }

int CairoBitmap::width() const { return cairo_image_surface_get_width(m_surface); }

int CairoBitmap::height() const { return cairo_image_surface_get_height(m_surface); }

CColor CairoBitmap::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) return kTransparentCColor;
    cairo_surface_flush(m_surface);
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    uint32_t pixel;
    std::memcpy(&pixel, data + y * stride + x * 4, 4);
    const uint32_t a = pixel >> 24;
    auto channel = [a](uint32_t premultiplied) {
        return static_cast<uint8_t>(a == 0 ? 0 : (premultiplied * 255 + a / 2) / a);
    };
    return CColor(channel((pixel >> 16) & 0xFF), channel((pixel >> 8) & 0xFF), channel(pixel & 0xFF),
                  static_cast<uint8_t>(a));
}

bool CairoBitmap::savePng(const char* path) const
{
    cairo_surface_flush(m_surface);
    return cairo_surface_write_to_png(m_surface, path) == CAIRO_STATUS_SUCCESS;
}

// ---------------------------------------------------------------------------

CairoGraphics::CairoGraphics(cairo_surface_t* target) : m_cr(cairo_create(target)), m_target(target)
{
    cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_MITER);
}

CairoGraphics::~CairoGraphics()
{
    cairo_surface_flush(m_target);
    cairo_destroy(m_cr);
}

void CairoGraphics::setClip(const CRect& clip)
{
    cairo_reset_clip(m_cr);
    cairo_rectangle(m_cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
    cairo_clip(m_cr);
}

void CairoGraphics::setColor(const CColor& c)
{
    cairo_set_source_rgba(m_cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CairoGraphics::fillAndStroke(CDrawStyle style, const PaintState& state)
{
    cairo_set_antialias(m_cr, state.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    if (style == kDrawFilled || style == kDrawFilledAndStroked) {
        setColor(state.fillColor);
        if (style == kDrawFilled)
            cairo_fill(m_cr);
        else
            cairo_fill_preserve(m_cr);
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        setColor(state.frameColor);
        cairo_set_line_width(m_cr, state.lineWidth);
        cairo_stroke(m_cr);
    }
    cairo_new_path(m_cr);
}

void CairoGraphics::drawPolyline(const CPoint* points, size_t count, const PaintState& state)
{
    if (count < 2) return;
    const bool odd = isOddWhole(state.lineWidth);
    cairo_move_to(m_cr, align(points[0].x, odd), align(points[0].y, odd));
    for (size_t i = 1; i < count; ++i) cairo_line_to(m_cr, align(points[i].x, odd), align(points[i].y, odd));
    fillAndStroke(kDrawStroked, state);
}

void CairoGraphics::drawPolygon(const CPoint* points, size_t count, CDrawStyle style, const PaintState& state)
{
    if (count < 2) return;
    const bool odd = style == kDrawStroked && isOddWhole(state.lineWidth);
    cairo_move_to(m_cr, align(points[0].x, odd), align(points[0].y, odd));
    for (size_t i = 1; i < count; ++i) cairo_line_to(m_cr, align(points[i].x, odd), align(points[i].y, odd));
    cairo_close_path(m_cr);
    fillAndStroke(style, state);
}

void CairoGraphics::drawRect(const CRect& rect, CDrawStyle style, const PaintState& state)
{
    if (style != kDrawStroked) {
        cairo_rectangle(m_cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        fillAndStroke(kDrawFilled, state);
    }
    if (style != kDrawFilled) {
        const double h = state.lineWidth / 2;
        cairo_rectangle(m_cr, rect.left + h, rect.top + h, rect.getWidth() - 2 * h, rect.getHeight() - 2 * h);
        fillAndStroke(kDrawStroked, state);
    }
}

void CairoGraphics::drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style, const PaintState& state)
{
    auto path = [this, radius](CRect r) {
        const double rad = std::min({radius, r.getWidth() / 2, r.getHeight() / 2});
        cairo_new_sub_path(m_cr);
        cairo_arc(m_cr, r.right - rad, r.top + rad, rad, -M_PI / 2, 0);
        cairo_arc(m_cr, r.right - rad, r.bottom - rad, rad, 0, M_PI / 2);
        cairo_arc(m_cr, r.left + rad, r.bottom - rad, rad, M_PI / 2, M_PI);
        cairo_arc(m_cr, r.left + rad, r.top + rad, rad, M_PI, 3 * M_PI / 2);
        cairo_close_path(m_cr);
    };
    if (style != kDrawStroked) {
        path(rect);
        fillAndStroke(kDrawFilled, state);
    }
    if (style != kDrawFilled) {
        CRect inner = rect;
        inner.inset(state.lineWidth / 2, state.lineWidth / 2);
        path(inner);
        fillAndStroke(kDrawStroked, state);
    }
}

void CairoGraphics::drawEllipse(const CRect& rect, CDrawStyle style, const PaintState& state)
{
    if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
    cairo_save(m_cr);
    const CPoint c = rect.getCenter();
    cairo_translate(m_cr, c.x, c.y);
    cairo_scale(m_cr, rect.getWidth() / 2, rect.getHeight() / 2);
    cairo_arc(m_cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(m_cr);
    fillAndStroke(style, state);
}

void CairoGraphics::drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style,
                            const PaintState& state)
{
    if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
    const CPoint c = rect.getCenter();
    cairo_save(m_cr);
    cairo_translate(m_cr, c.x, c.y);
    cairo_scale(m_cr, rect.getWidth() / 2, rect.getHeight() / 2);
    if (style != kDrawStroked) cairo_move_to(m_cr, 0, 0);
    double end = endDeg;
    while (end < startDeg) end += 360;
    cairo_arc(m_cr, 0, 0, 1, startDeg * M_PI / 180, end * M_PI / 180);
    if (style != kDrawStroked) cairo_close_path(m_cr);
    cairo_restore(m_cr);
    fillAndStroke(style, state);
}

void CairoGraphics::setFont(const CFontDesc& font, bool antialias)
{
    cairo_set_font_face(m_cr, fontFace(font));
    cairo_set_font_size(m_cr, font.getSize());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(m_cr, options);
    cairo_font_options_destroy(options);
}

void CairoGraphics::drawText(const char* utf8, const CPoint& baselineLeft, const PaintState& state)
{
    if (state.font.getSize() <= 0) return;
    setFont(state.font, state.antialias);
    setColor(state.fontColor);
    cairo_move_to(m_cr, baselineLeft.x, baselineLeft.y);
    cairo_show_text(m_cr, utf8);
    cairo_new_path(m_cr);
}

TextMetrics CairoGraphics::measureText(const char* utf8, const CFontDesc& font)
{
    TextMetrics metrics;
    if (font.getSize() <= 0) return metrics;
    setFont(font, true);
    cairo_text_extents_t text;
    cairo_text_extents(m_cr, utf8, &text);
    cairo_font_extents_t extents;
    cairo_font_extents(m_cr, &extents);
    metrics.width = text.x_advance;
    metrics.ascent = extents.ascent;
    metrics.descent = extents.descent;
    return metrics;
}

void CairoGraphics::drawBitmap(const IPlatformBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset,
                               float alpha)
{
    const auto* source = dynamic_cast<const CairoBitmap*>(&bitmap);
    if (!source) return;
    cairo_save(m_cr);
    cairo_rectangle(m_cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(m_cr);
    cairo_set_source_surface(m_cr, source->surface(), dest.left - sourceOffset.x, dest.top - sourceOffset.y);
    cairo_paint_with_alpha(m_cr, alpha);
    cairo_restore(m_cr);
}

void CairoGraphics::flush() { cairo_surface_flush(m_target); }

// ---------------------------------------------------------------------------

namespace backend {

std::unique_ptr<IPlatformBitmap> createBitmap(int width, int height)
{
    if (width <= 0 || height <= 0) return nullptr;
    auto bitmap = std::make_unique<CairoBitmap>(width, height);
    if (!bitmap->isValid()) return nullptr;
    return bitmap;
}

std::unique_ptr<IPlatformBitmap> loadPng(const char* path)
{
    cairo_surface_t* png = cairo_image_surface_create_from_png(path);
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return nullptr;
    }
    // Same pixel format as every other bitmap, whatever the file held.
    auto bitmap =
        std::make_unique<CairoBitmap>(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
    if (!bitmap->isValid()) {
        cairo_surface_destroy(png);
        return nullptr;
    }
    cairo_t* cr = cairo_create(bitmap->surface());
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(png);
    return bitmap;
}

std::unique_ptr<IPlatformGraphics> createGraphics(IPlatformBitmap& target)
{
    auto* bitmap = dynamic_cast<CairoBitmap*>(&target);
    if (!bitmap) return nullptr;
    return std::make_unique<CairoGraphics>(bitmap->surface());
}

bool registerFont(const char* path, const char* familyName)
{
    int count = 0;
    FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path), 0, nullptr, &count);
    if (!pattern) return false;
    // The family resolves to the file itself (its pattern carries the path),
    // so the system's font set is left alone: adding the file there would
    // also cost memory that fontconfig never gives back.
    FontRegistry& registry = fonts();
    auto it = registry.registered.find(familyName);
    if (it != registry.registered.end()) FcPatternDestroy(it->second);
    registry.registered[familyName] = pattern;
    // Faces made for this family before are stale now.
    for (auto face = registry.faces.begin(); face != registry.faces.end();) {
        if (face->first.compare(0, face->first.find('\n'), familyName) == 0) {
            cairo_font_face_destroy(face->second);
            face = registry.faces.erase(face);
        } else {
            ++face;
        }
    }
    return true;
}

bool isRegisteredFont(const char* familyName) { return fonts().registered.count(familyName) != 0; }

}  // namespace backend
