#include "toolkit/Font.h"

#include "toolkit/Platform.h"

bool CFontDesc::registerFontFile(const char* path, const char* familyName)
{
    if (!path || !familyName || !*familyName) return false;
    return backend::registerFont(path, familyName);
}

bool CFontDesc::isRegisteredFamily(const char* familyName)
{
    return familyName && backend::isRegisteredFont(familyName);
}

CFontDesc kNormalFont() { return CFontDesc("Arial", 12, kNormalFace); }
