#pragma once
// Font descriptions. A family name is looked up first among the font files
// registered with CFontDesc::registerFontFile, then among the system's fonts.

#include "toolkit/Geometry.h"

#include <string>

enum CTxtFace : int32_t {
    kNormalFace = 0,
    kBoldFace = 1 << 0,
    kItalicFace = 1 << 1,
    kUnderlineFace = 1 << 2,
};

class CFontDesc {
public:
    CFontDesc() = default;
    CFontDesc(std::string name, CCoord size = 12, int32_t style = kNormalFace)
        : m_name(std::move(name)), m_size(size), m_style(style)
    {}

    const std::string& getName() const { return m_name; }
    CCoord getSize() const { return m_size; }
    int32_t getStyle() const { return m_style; }
    bool isBold() const { return (m_style & kBoldFace) != 0; }
    bool isItalic() const { return (m_style & kItalicFace) != 0; }

    void setName(std::string name) { m_name = std::move(name); }
    void setSize(CCoord size) { m_size = size; }
    void setStyle(int32_t style) { m_style = style; }

    bool operator==(const CFontDesc& f) const
    {
        return m_name == f.m_name && m_size == f.m_size && m_style == f.m_style;
    }
    bool operator!=(const CFontDesc& f) const { return !(*this == f); }

    // Makes the TrueType file at `path` usable under `familyName` in this
    // process. False when the file cannot be read as a font.
    static bool registerFontFile(const char* path, const char* familyName);
    // Whether a family name was registered by registerFontFile.
    static bool isRegisteredFamily(const char* familyName);

private:
    std::string m_name = "Arial";
    CCoord m_size = 12;
    int32_t m_style = kNormalFace;
};

// The toolkit's normal font, used where a view was given no other.
CFontDesc kNormalFont();
