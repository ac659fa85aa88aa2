// The panel behind the controls: section lines, the signal-flow drawing,
// labels, the header strip behind the tool bar and the logo, drawn with
// vectors at any size. The same drawing pass computes the rectangles of the
// controls the panel places, so layout and graphics always agree. Drawn
// once per open, size change or scheme change into an offscreen bitmap.
#pragma once

#include "editor/EditorLayout.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Font.h"

#include <string>

class ONDBackgroundBitmap : public CBitmap {
public:
    // Loads the logo from the data folder; a missing logo is reported to
    // the user (once per background) and the panel is drawn without it.
    ONDBackgroundBitmap(CCoord width, CCoord height, const CColor& accent, const std::string& fontFamily);
    ~ONDBackgroundBitmap() override;

    // Draws the panel scaled to `rect` and fills `rects`.
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(), float alpha = 1.f) override;

    // Control rectangles at the drawn size; zero for the slots the editor places.
    CRect rects[layout::kNumSlots];

    static constexpr CColor kPanel{24, 26, 29};
    static constexpr CColor kLightLines{192, 192, 192};
    static constexpr CColor kDarkLines{5, 5, 7};
    static constexpr CColor kHeaderMarks{203, 203, 203};
    static constexpr CColor kLabelText{192, 192, 192};
    static constexpr CColor kNameBar{101, 101, 104};

private:
    CColor accent;
    CFontDesc font;
    SharedPointer<CBitmap> logo;
};
