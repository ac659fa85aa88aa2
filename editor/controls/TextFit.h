// Text that must stay inside its rectangle: the font keeps its chosen size
// unless the text would be wider than the room, and then shrinks just enough.
#pragma once

#include "toolkit/DrawContext.h"

inline void setFontToFit(CDrawContext* context, const CFontDesc& font, const char* text, CCoord room)
{
    context->setFont(font);
    if (!text || !*text || room <= 0) return;
    const CCoord width = context->getStringWidth(text);
    if (width > room) context->setFont(font, font.getSize() * room / width);
}
