#include "toolkit/win32/GdiplusGraphics.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

Color toColor(const CColor& c) { return Color(c.alpha, c.red, c.green, c.blue); }

bool isOddWhole(double width)
{
    const double r = std::round(width);
    return std::fabs(width - r) < 1e-9 && static_cast<long>(r) % 2 == 1;
}

// Moves whole coordinates of odd-width strokes onto pixel centres.
REAL align(double v, bool odd)
{
    if (odd && std::fabs(v - std::round(v)) < 1e-9) v += 0.5;
    return static_cast<REAL>(v);
}

RectF toRectF(const CRect& r)
{
    return RectF(static_cast<REAL>(r.left), static_cast<REAL>(r.top), static_cast<REAL>(r.getWidth()),
                 static_cast<REAL>(r.getHeight()));
}

// Fonts registered from files: the private collection and, per registered
// name, the family it contains. Kept for the life of the process.
struct PrivateFonts {
    std::vector<PrivateFontCollection*> collections;
    std::map<std::string, FontFamily*> families;
};

PrivateFonts& privateFonts()
{
    static PrivateFonts* fonts = new PrivateFonts;
    return *fonts;
}

// A family for a name: a registered one, an installed one, or the generic sans serif.
std::unique_ptr<FontFamily> familyFor(const std::string& name)
{
    auto& fonts = privateFonts();
    auto it = fonts.families.find(name);
    if (it != fonts.families.end()) return std::unique_ptr<FontFamily>(it->second->Clone());
    // The named family, else a common sans serif, else any installed family.
    for (const char* candidate :
         {name.c_str(), "Arial", "Tahoma", "Microsoft Sans Serif", "DejaVu Sans", "Liberation Sans"}) {
        auto family = std::make_unique<FontFamily>(widen(candidate).c_str());
        if (family->GetLastStatus() == Ok && family->IsAvailable()) return family;
    }
    InstalledFontCollection installed;
    FontFamily any;
    INT found = 0;
    if (installed.GetFamilyCount() > 0 && installed.GetFamilies(1, &any, &found) == Ok && found == 1)
        return std::unique_ptr<FontFamily>(any.Clone());
    return nullptr;
}

struct ResolvedFont {
    std::unique_ptr<FontFamily> family;
    std::unique_ptr<Font> font;
    int style = FontStyleRegular;
    bool syntheticBold = false;
    REAL ascent = 0;
    REAL descent = 0;
};

ResolvedFont resolve(const CFontDesc& desc)
{
    ResolvedFont r;
    r.family = familyFor(desc.getName());
    if (!r.family) return r;
    int wanted = FontStyleRegular;
    if (desc.isBold()) wanted |= FontStyleBold;
    if (desc.isItalic()) wanted |= FontStyleItalic;
    // Fall back style by style: a private file often holds one style only.
    for (int style : {wanted, wanted & ~FontStyleItalic, wanted & ~FontStyleBold, int(FontStyleRegular)}) {
        if (r.family->IsStyleAvailable(style)) {
            r.style = style;
            break;
        }
    }
    r.syntheticBold = desc.isBold() && !(r.style & FontStyleBold);
    const REAL size = static_cast<REAL>(std::max<CCoord>(desc.getSize(), 0.1));
    r.font = std::make_unique<Font>(r.family.get(), size, r.style, UnitPixel);
    const REAL em = r.family->GetEmHeight(r.style);
    if (em > 0) {
        r.ascent = size * r.family->GetCellAscent(r.style) / em;
        r.descent = size * r.family->GetCellDescent(r.style) / em;
    }
    return r;
}

const StringFormat* typographic()
{
    static StringFormat* format = [] {
        auto* f = StringFormat::GenericTypographic()->Clone();
        f->SetFormatFlags(f->GetFormatFlags() | StringFormatFlagsMeasureTrailingSpaces | StringFormatFlagsNoWrap);
        return f;
    }();
    return format;
}

bool pngEncoder(CLSID& clsid)
{
    UINT count = 0;
    UINT size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, codecs) != Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

std::wstring widen(const char* utf8)
{
    if (!utf8 || !*utf8) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(std::max(n, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], n);
    out.resize(static_cast<size_t>(std::max(n - 1, 0)));
    return out;
}

bool ensureGdiplus()
{
    static const bool started = [] {
        GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return GdiplusStartup(&token, &input, nullptr) == Ok;
    }();
    return started;
}

// ---------------------------------------------------------------------------

GdiplusBitmap::GdiplusBitmap(int width, int height)
    : m_bitmap(std::make_unique<Bitmap>(width, height, PixelFormat32bppPARGB))
{
    if (isValid()) {
        // Start transparent, like every other back-end's bitmaps.
        Graphics g(m_bitmap.get());
        g.Clear(Color(0, 0, 0, 0));
    }
}

GdiplusBitmap::GdiplusBitmap(std::unique_ptr<Bitmap> bitmap) : m_bitmap(std::move(bitmap)) {}

GdiplusBitmap::~GdiplusBitmap() = default;

bool GdiplusBitmap::isValid() const { return m_bitmap && m_bitmap->GetLastStatus() == Ok; }

int GdiplusBitmap::width() const { return static_cast<int>(m_bitmap->GetWidth()); }

int GdiplusBitmap::height() const { return static_cast<int>(m_bitmap->GetHeight()); }

CColor GdiplusBitmap::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) return kTransparentCColor;
    Color c;
    m_bitmap->GetPixel(x, y, &c);
    return CColor(c.GetR(), c.GetG(), c.GetB(), c.GetA());
}

bool GdiplusBitmap::savePng(const char* path) const
{
    CLSID clsid;
    if (!pngEncoder(clsid)) return false;
    return m_bitmap->Save(widen(path).c_str(), &clsid, nullptr) == Ok;
}

// ---------------------------------------------------------------------------

GdiplusGraphics::GdiplusGraphics(Bitmap* target) : m_graphics(target)
{
    m_graphics.SetPixelOffsetMode(PixelOffsetModeHalf);
    m_graphics.SetCompositingQuality(CompositingQualityHighQuality);
}

GdiplusGraphics::~GdiplusGraphics() { m_graphics.Flush(FlushIntentionSync); }

void GdiplusGraphics::setClip(const CRect& clip) { m_graphics.SetClip(toRectF(clip)); }

void GdiplusGraphics::prepare(const PaintState& state, bool stroke)
{
    m_graphics.SetSmoothingMode(state.antialias ? SmoothingModeAntiAlias8x4 : SmoothingModeNone);
    // Coordinates arrive with pixel centres at +0.5. Areas are filled that
    // way; aliased lines are drawn with centres at whole coordinates, where
    // GDI+ puts them on exact pixels.
    const bool wholeCentres = stroke && !state.antialias;
    m_graphics.SetPixelOffsetMode(wholeCentres ? PixelOffsetModeNone : PixelOffsetModeHalf);
    m_shift = wholeCentres ? -0.5f : 0.f;
}

void GdiplusGraphics::drawPolyline(const CPoint* points, size_t count, const PaintState& state)
{
    if (count < 2) return;
    prepare(state, true);
    const bool odd = isOddWhole(state.lineWidth);
    std::vector<PointF> p;
    for (size_t i = 0; i < count; ++i)
        p.emplace_back(align(points[i].x, odd) + m_shift, align(points[i].y, odd) + m_shift);
    Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
    m_graphics.DrawLines(&pen, p.data(), static_cast<INT>(p.size()));
}

void GdiplusGraphics::drawPolygon(const CPoint* points, size_t count, CDrawStyle style, const PaintState& state)
{
    if (count < 2) return;
    const bool odd = style == kDrawStroked && isOddWhole(state.lineWidth);
    std::vector<PointF> p;
    for (size_t i = 0; i < count; ++i) p.emplace_back(align(points[i].x, odd), align(points[i].y, odd));
    if (style != kDrawStroked) {
        prepare(state, false);
        SolidBrush brush(toColor(state.fillColor));
        m_graphics.FillPolygon(&brush, p.data(), static_cast<INT>(p.size()));
    }
    if (style != kDrawFilled) {
        prepare(state, true);
        for (PointF& point : p) {
            point.X += m_shift;
            point.Y += m_shift;
        }
        Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
        m_graphics.DrawPolygon(&pen, p.data(), static_cast<INT>(p.size()));
    }
}

void GdiplusGraphics::drawRect(const CRect& rect, CDrawStyle style, const PaintState& state)
{
    if (style != kDrawStroked) {
        prepare(state, false);
        SolidBrush brush(toColor(state.fillColor));
        m_graphics.FillRectangle(&brush, toRectF(rect));
    }
    if (style != kDrawFilled) {
        prepare(state, true);
        Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
        CRect inner = rect;
        inner.inset(state.lineWidth / 2, state.lineWidth / 2);
        inner.offset(m_shift, m_shift);
        m_graphics.DrawRectangle(&pen, toRectF(inner));
    }
}

void GdiplusGraphics::drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style, const PaintState& state)
{
    auto path = [radius](CRect r, GraphicsPath& p) {
        const REAL d = static_cast<REAL>(2 * std::min({radius, r.getWidth() / 2, r.getHeight() / 2}));
        const REAL l = static_cast<REAL>(r.left);
        const REAL t = static_cast<REAL>(r.top);
        const REAL rr = static_cast<REAL>(r.right);
        const REAL b = static_cast<REAL>(r.bottom);
        p.AddArc(rr - d, t, d, d, 270, 90);
        p.AddArc(rr - d, b - d, d, d, 0, 90);
        p.AddArc(l, b - d, d, d, 90, 90);
        p.AddArc(l, t, d, d, 180, 90);
        p.CloseFigure();
    };
    if (style != kDrawStroked) {
        prepare(state, false);
        GraphicsPath p;
        path(rect, p);
        SolidBrush brush(toColor(state.fillColor));
        m_graphics.FillPath(&brush, &p);
    }
    if (style != kDrawFilled) {
        prepare(state, true);
        GraphicsPath p;
        CRect inner = rect;
        inner.inset(state.lineWidth / 2, state.lineWidth / 2);
        inner.offset(m_shift, m_shift);
        path(inner, p);
        Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
        m_graphics.DrawPath(&pen, &p);
    }
}

void GdiplusGraphics::drawEllipse(const CRect& rect, CDrawStyle style, const PaintState& state)
{
    if (style != kDrawStroked) {
        prepare(state, false);
        SolidBrush brush(toColor(state.fillColor));
        m_graphics.FillEllipse(&brush, toRectF(rect));
    }
    if (style != kDrawFilled) {
        prepare(state, true);
        Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
        CRect r = rect;
        r.offset(m_shift, m_shift);
        m_graphics.DrawEllipse(&pen, toRectF(r));
    }
}

void GdiplusGraphics::drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style,
                              const PaintState& state)
{
    double sweep = endDeg - startDeg;
    while (sweep < 0) sweep += 360;
    if (style != kDrawStroked) {
        prepare(state, false);
        SolidBrush brush(toColor(state.fillColor));
        m_graphics.FillPie(&brush, toRectF(rect), static_cast<REAL>(startDeg), static_cast<REAL>(sweep));
    }
    if (style != kDrawFilled) {
        prepare(state, true);
        Pen pen(toColor(state.frameColor), static_cast<REAL>(state.lineWidth));
        CRect r = rect;
        r.offset(m_shift, m_shift);
        m_graphics.DrawArc(&pen, toRectF(r), static_cast<REAL>(startDeg), static_cast<REAL>(sweep));
    }
}

void GdiplusGraphics::drawText(const char* utf8, const CPoint& baselineLeft, const PaintState& state)
{
    if (state.font.getSize() <= 0) return;
    const ResolvedFont f = resolve(state.font);
    if (!f.font) return;
    const std::wstring text = widen(utf8);
    m_graphics.SetTextRenderingHint(state.antialias ? TextRenderingHintAntiAlias
                                                    : TextRenderingHintSingleBitPerPixelGridFit);
    SolidBrush brush(toColor(state.fontColor));
    const PointF origin(static_cast<REAL>(baselineLeft.x), static_cast<REAL>(baselineLeft.y) - f.ascent);
    m_graphics.DrawString(text.c_str(), -1, f.font.get(), origin, typographic(), &brush);
    if (f.syntheticBold) {
        // The file has no bold face: thicken by drawing again a little to the right.
        const PointF shifted(origin.X + std::max<REAL>(0.5f, static_cast<REAL>(state.font.getSize()) / 28), origin.Y);
        m_graphics.DrawString(text.c_str(), -1, f.font.get(), shifted, typographic(), &brush);
    }
}

TextMetrics GdiplusGraphics::measureText(const char* utf8, const CFontDesc& font)
{
    TextMetrics metrics;
    if (font.getSize() <= 0) return metrics;
    const ResolvedFont f = resolve(font);
    if (!f.font) return metrics;
    const std::wstring text = widen(utf8);
    RectF bounds;
    if (!text.empty()) m_graphics.MeasureString(text.c_str(), -1, f.font.get(), PointF(0, 0), typographic(), &bounds);
    metrics.width = bounds.Width + (f.syntheticBold ? std::max<REAL>(0.5f, static_cast<REAL>(font.getSize()) / 28) : 0);
    metrics.ascent = f.ascent;
    metrics.descent = f.descent;
    return metrics;
}

void GdiplusGraphics::drawBitmap(const IPlatformBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset,
                                 float alpha)
{
    const auto* source = dynamic_cast<const GdiplusBitmap*>(&bitmap);
    if (!source) return;
    ImageAttributes attributes;
    ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, alpha, 0}, {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&matrix);
    m_graphics.SetSmoothingMode(SmoothingModeNone);
    m_graphics.SetPixelOffsetMode(PixelOffsetModeHalf);
    m_graphics.SetInterpolationMode(InterpolationModeNearestNeighbor);
    const Rect to(static_cast<INT>(dest.left), static_cast<INT>(dest.top), static_cast<INT>(dest.getWidth()),
                  static_cast<INT>(dest.getHeight()));
    m_graphics.DrawImage(source->bitmap(), to, static_cast<INT>(sourceOffset.x), static_cast<INT>(sourceOffset.y),
                         to.Width, to.Height, UnitPixel, alpha < 1.f ? &attributes : nullptr);
}

void GdiplusGraphics::flush() { m_graphics.Flush(FlushIntentionSync); }

// ---------------------------------------------------------------------------

namespace backend {

std::unique_ptr<IPlatformBitmap> createBitmap(int width, int height)
{
    if (width <= 0 || height <= 0 || !ensureGdiplus()) return nullptr;
    auto bitmap = std::make_unique<GdiplusBitmap>(width, height);
    if (!bitmap->isValid()) return nullptr;
    return bitmap;
}

std::unique_ptr<IPlatformBitmap> loadPng(const char* path)
{
    if (!ensureGdiplus()) return nullptr;
    // Copy the pixels so that the file is not kept open.
    Bitmap file(widen(path).c_str());
    if (file.GetLastStatus() != Ok || file.GetWidth() == 0) return nullptr;
    auto copy = std::make_unique<GdiplusBitmap>(static_cast<int>(file.GetWidth()), static_cast<int>(file.GetHeight()));
    if (!copy->isValid()) return nullptr;
    Graphics g(copy->bitmap());
    g.SetCompositingMode(CompositingModeSourceCopy);
    g.DrawImage(&file, 0, 0, static_cast<INT>(file.GetWidth()), static_cast<INT>(file.GetHeight()));
    return copy;
}

std::unique_ptr<IPlatformGraphics> createGraphics(IPlatformBitmap& target)
{
    auto* bitmap = dynamic_cast<GdiplusBitmap*>(&target);
    if (!bitmap) return nullptr;
    return std::make_unique<GdiplusGraphics>(bitmap->bitmap());
}

bool registerFont(const char* path, const char* familyName)
{
    if (!ensureGdiplus()) return false;
    // One collection per file, so that its family is the file's own.
    auto collection = std::make_unique<PrivateFontCollection>();
    if (collection->AddFontFile(widen(path).c_str()) != Ok || collection->GetFamilyCount() <= 0) return false;
    FontFamily family;
    INT found = 0;
    if (collection->GetFamilies(1, &family, &found) != Ok || found != 1) return false;
    auto& fonts = privateFonts();
    auto it = fonts.families.find(familyName);
    if (it != fonts.families.end()) delete it->second;
    fonts.families[familyName] = family.Clone();
    fonts.collections.push_back(collection.release());
    return true;
}

bool isRegisteredFont(const char* familyName) { return privateFonts().families.count(familyName) != 0; }

}  // namespace backend
