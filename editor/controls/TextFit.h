// Text that must stay inside its rectangle: the font keeps its chosen size
// unless the text would be wider than the room, and then shrinks just enough;
// text set lower than centre moves only as far as its descent allows.
#pragma once

#include "toolkit/DrawContext.h"

inline void setFontToFit(CDrawContext* context, const CFontDesc& font, const char* text, CCoord room)
{
    context->setFont(font);
    if (!text || !*text || room <= 0) return;
    const CCoord width = context->getStringWidth(text);
    if (width > room) context->setFont(font, font.getSize() * room / width);
}

// How far (up to `wanted` pixels) text vertically centred in `rect` may move
// down before its descent reaches the rectangle's last row (kept for a
// frame line), with the font already set.
inline CCoord lowerInside(CDrawContext* context, const char* text, const CRect& rect, CCoord wanted)
{
    if (!text || !*text) return wanted;
    const TextMetrics m = context->getTextMetrics(text);
    const CCoord baseline = rect.top + (rect.getHeight() + m.ascent - m.descent) / 2;
    const CCoord room = rect.bottom - 1 - (baseline + m.descent);
    return room < 0 ? 0 : (room < wanted ? room : wanted);
}
