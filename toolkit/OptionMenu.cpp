#include "toolkit/OptionMenu.h"

#include "toolkit/Frame.h"

#include <algorithm>
#include <cmath>

CMenuItem::CMenuItem(const char* title, int32_t flags, COptionMenu* submenu)
    : m_title(title ? title : ""), m_flags(flags), m_submenu(submenu, true)
{}

CMenuItem::~CMenuItem() = default;

// ---------------------------------------------------------------------------

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, int32_t style)
    : CParamDisplay(size, style)
{
    setListener(listener);
    setTag(tag);
    m_defaultValue = 0.f;
    m_max = 0.f;
}

COptionMenu::~COptionMenu() { removeAllEntry(); }

void COptionMenu::updateMax() { m_max = static_cast<float>(std::max(0, getNbEntries() - 1)); }

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index)
{
    if (!item) return nullptr;
    if (index < 0 || index >= getNbEntries())
        m_items.push_back(item);
    else
        m_items.insert(m_items.begin() + index, item);
    updateMax();
    setDirty();
    return item;
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index, int32_t itemFlags)
{
    if (title && title[0] == '-' && title[1] == 0) return addSeparator(index);
    return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const char* title)
{
    return addEntry(new CMenuItem(title, CMenuItem::kNoFlags, submenu));
}

CMenuItem* COptionMenu::addSeparator(int32_t index)
{
    return addEntry(new CMenuItem("", CMenuItem::kSeparator), index);
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || index >= getNbEntries()) return false;
    m_items[static_cast<size_t>(index)]->forget();
    m_items.erase(m_items.begin() + index);
    updateMax();
    if (m_value > m_max) m_value = m_max;
    setDirty();
    return true;
}

bool COptionMenu::removeAllEntry()
{
    for (CMenuItem* item : m_items) item->forget();
    m_items.clear();
    m_value = 0.f;
    updateMax();
    m_lastMenu = nullptr;
    m_lastResult = -1;
    setDirty();
    return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const
{
    if (index < 0 || index >= getNbEntries()) return nullptr;
    return m_items[static_cast<size_t>(index)];
}

bool COptionMenu::setCurrent(int32_t index)
{
    if (index < 0 || index >= getNbEntries()) return false;
    m_value = static_cast<float>(index);
    setDirty();
    return true;
}

void COptionMenu::setValue(float value)
{
    if (value < -0.5f) return;
    setCurrent(static_cast<int32_t>(value + 0.5f));
}

bool COptionMenu::checkEntry(int32_t index, bool state)
{
    CMenuItem* item = getEntry(index);
    if (!item || item->isSeparator()) return false;
    item->setChecked(state);
    return true;
}

bool COptionMenu::checkEntryAlone(int32_t index)
{
    if (!getEntry(index)) return false;
    for (int32_t i = 0; i < getNbEntries(); ++i) m_items[static_cast<size_t>(i)]->setChecked(i == index);
    return true;
}

bool COptionMenu::isCheckEntry(int32_t index) const
{
    const CMenuItem* item = getEntry(index);
    if (!item) return false;
    if ((m_style & kCheckStyle) && index == getCurrentIndex()) return true;
    return item->isChecked();
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& indexInMenu) const
{
    indexInMenu = m_lastMenu ? m_lastResult : -1;
    return m_lastMenu;
}

std::string COptionMenu::getDisplayText() const
{
    const CMenuItem* item = getCurrent();
    return item ? item->getTitle() : "";
}

bool COptionMenu::popup()
{
    CFrame* frame = getFrame();
    if (!frame || getNbEntries() == 0) return false;
    frame->showPopup(new COptionMenuPopup(this, frame->getViewSize()));
    // The frame holds the pop-up now; drop the creation reference.
    frame->getPopupView()->forget();
    return true;
}

bool COptionMenu::isPopupOpen() const
{
    CFrame* frame = getFrame();
    auto* popup = frame ? dynamic_cast<COptionMenuPopup*>(frame->getPopupView()) : nullptr;
    return popup && popup->getLevelMenu(0) == this;
}

void COptionMenu::choose(COptionMenu* menu, int32_t index)
{
    if (!menu || !menu->getEntry(index)) return;
    beginEdit();
    if (menu->m_style & kMultipleCheckStyle) menu->checkEntry(index, !menu->getEntry(index)->isChecked());
    menu->setCurrent(index);
    m_lastMenu = menu;
    m_lastResult = index;
    valueChanged();
    setDirty();
    endEdit();
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---------------------------------------------------------------------------

namespace {
constexpr CCoord kCheckColumn = 18;
constexpr CCoord kArrowColumn = 16;
constexpr CCoord kTextPadding = 6;
const CColor kMenuBack(44, 44, 48);
const CColor kMenuFrame(120, 120, 126);
const CColor kMenuText(230, 230, 230);
const CColor kMenuDisabled(130, 130, 130);
const CColor kMenuHover(70, 110, 170);
}  // namespace

COptionMenuPopup::COptionMenuPopup(COptionMenu* menu, const CRect& frameSize) : CView(frameSize), m_root(menu)
{
    CRect anchor = menu->getViewSize();
    CPoint topLeft = anchor.getTopLeft();
    menu->localToFrame(topLeft);
    anchor.moveTo(topLeft.x, topLeft.y);
    openLevel(menu, anchor, false);
}

CCoord COptionMenuPopup::rowHeight(const COptionMenu* menu) const
{
    return std::max<CCoord>(12, menu->getFont().getSize() + 8);
}

void COptionMenuPopup::openLevel(COptionMenu* menu, const CRect& anchor, bool beside)
{
    // Width from the longest title, measured with the back-end's fonts.
    CCoord textWidth = 40;
    if (auto pixels = backend::createBitmap(1, 1)) {
        if (auto graphics = backend::createGraphics(*pixels)) {
            for (int32_t i = 0; i < menu->getNbEntries(); ++i)
                textWidth =
                    std::max(textWidth, graphics->measureText(menu->getEntry(i)->getTitle(), menu->getFont()).width);
        }
    }
    const CCoord width = std::ceil(kCheckColumn + textWidth + kTextPadding + kArrowColumn);
    const CCoord height = rowHeight(menu) * menu->getNbEntries() + 2;
    CRect r(0, 0, width, height);
    if (beside)
        r.moveTo(anchor.right, anchor.top - 1);
    else
        r.moveTo(anchor.left, anchor.bottom);
    // Keep the list inside the frame: above the anchor or further left when needed.
    if (r.bottom > m_size.bottom) r.offset(0, beside ? m_size.bottom - r.bottom : anchor.top - r.bottom);
    if (r.top < m_size.top) r.offset(0, m_size.top - r.top);
    if (r.right > m_size.right) r.offset(beside ? anchor.left - r.right : m_size.right - r.right, 0);
    if (r.left < m_size.left) r.offset(m_size.left - r.left, 0);
    m_levels.push_back({menu, r, -1});
    setDirty();
}

CRect COptionMenuPopup::getEntryRect(int32_t level, int32_t index) const
{
    if (level < 0 || level >= getNbLevels()) return {};
    const Level& l = m_levels[static_cast<size_t>(level)];
    const CCoord h = rowHeight(l.menu);
    return CRect(l.rect.left + 1, l.rect.top + 1 + index * h, l.rect.right - 1, l.rect.top + 1 + (index + 1) * h);
}

int32_t COptionMenuPopup::getHoverIndex(int32_t level) const
{
    return level >= 0 && level < getNbLevels() ? m_levels[static_cast<size_t>(level)].hover : -1;
}

COptionMenu* COptionMenuPopup::getLevelMenu(int32_t level) const
{
    return level >= 0 && level < getNbLevels() ? m_levels[static_cast<size_t>(level)].menu : nullptr;
}

bool COptionMenuPopup::findEntry(const CPoint& where, int32_t& level, int32_t& index) const
{
    for (int32_t l = getNbLevels() - 1; l >= 0; --l) {
        const Level& lv = m_levels[static_cast<size_t>(l)];
        if (!lv.rect.pointInside(where)) continue;
        level = l;
        index = static_cast<int32_t>((where.y - lv.rect.top - 1) / rowHeight(lv.menu));
        if (index < 0 || index >= lv.menu->getNbEntries()) index = -1;
        return true;
    }
    return false;
}

void COptionMenuPopup::draw(CDrawContext* context)
{
    for (int32_t l = 0; l < getNbLevels(); ++l) {
        const Level& lv = m_levels[static_cast<size_t>(l)];
        context->setDrawMode(kAliasing);
        context->setLineWidth(1);
        context->setFillColor(kMenuBack);
        context->setFrameColor(kMenuFrame);
        context->drawRect(lv.rect, kDrawFilledAndStroked);
        CFontDesc font = lv.menu->getFont();
        context->setFont(font);
        for (int32_t i = 0; i < lv.menu->getNbEntries(); ++i) {
            const CMenuItem* item = lv.menu->getEntry(i);
            const CRect row = getEntryRect(l, i);
            if (item->isSeparator()) {
                const CCoord y = std::floor(row.getCenter().y);
                context->setDrawMode(kAliasing);
                context->setFrameColor(kMenuFrame);
                context->drawLine(CPoint(row.left + 4, y), CPoint(row.right - 4, y));
                continue;
            }
            const bool hover = i == lv.hover && !item->isTitle() && item->isEnabled();
            if (hover) {
                context->setDrawMode(kAliasing);
                context->setFillColor(kMenuHover);
                context->drawRect(row, kDrawFilled);
            }
            const CColor text = item->isEnabled() && !item->isTitle() ? kMenuText : kMenuDisabled;
            if (lv.menu->isCheckEntry(i)) {
                // A check mark drawn as two strokes, independent of the font's glyphs.
                const CCoord cx = row.left + kCheckColumn / 2;
                const CCoord cy = row.getCenter().y;
                context->setDrawMode(kAntiAliasing);
                context->setLineWidth(2);
                context->setFrameColor(text);
                context->drawLines({CPoint(cx - 5, cy), CPoint(cx - 1, cy + 4), CPoint(cx + 5, cy - 4)});
                context->setLineWidth(1);
            }
            if (item->getSubmenu()) {
                const CCoord ax = row.right - kArrowColumn / 2;
                const CCoord ay = row.getCenter().y;
                context->setDrawMode(kAntiAliasing);
                context->setFillColor(text);
                context->drawPolygon({CPoint(ax - 3, ay - 4), CPoint(ax + 3, ay), CPoint(ax - 3, ay + 4)}, kDrawFilled);
            }
            CRect textRect = row;
            textRect.left += kCheckColumn;
            textRect.right -= kArrowColumn;
            context->setFontColor(text);
            context->drawString(item->getTitle(), textRect, kLeftText, true);
        }
    }
    setDirty(false);
}

void COptionMenuPopup::activate(int32_t level, int32_t index)
{
    Level& lv = m_levels[static_cast<size_t>(level)];
    CMenuItem* item = lv.menu->getEntry(index);
    if (!item || !item->isEnabled() || item->isSeparator() || item->isTitle()) return;
    if (COptionMenu* sub = item->getSubmenu()) {
        m_levels.resize(static_cast<size_t>(level) + 1);
        lv.hover = index;
        if (sub->getNbEntries() > 0) openLevel(sub, getEntryRect(level, index), true);
        invalid();
        return;
    }
    // Close first: the listener may rebuild or remove the menu.
    SharedPointer<COptionMenu> root = m_root;
    COptionMenu* menu = lv.menu;
    SharedPointer<COptionMenu> keep(menu);
    close();
    root->choose(menu, index);
}

void COptionMenuPopup::close()
{
    if (CFrame* frame = getFrame()) frame->closePopup();
}

CMouseEventResult COptionMenuPopup::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    int32_t level = -1;
    int32_t index = -1;
    if (!findEntry(where, level, index)) {
        close();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (index >= 0 && buttons.isLeftButton()) activate(level, index);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult COptionMenuPopup::onMouseMoved(CPoint& where, const CButtonState&)
{
    int32_t level = -1;
    int32_t index = -1;
    if (!findEntry(where, level, index)) return kMouseEventHandled;
    Level& lv = m_levels[static_cast<size_t>(level)];
    if (lv.hover != index) {
        lv.hover = index;
        // Hovering another entry closes deeper lists; a sub-menu entry opens its own.
        m_levels.resize(static_cast<size_t>(level) + 1);
        CMenuItem* item = lv.menu->getEntry(index);
        if (item && item->getSubmenu() && item->isEnabled() && item->getSubmenu()->getNbEntries() > 0)
            openLevel(item->getSubmenu(), getEntryRect(level, index), true);
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult COptionMenuPopup::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult COptionMenuPopup::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventHandled; }

bool COptionMenuPopup::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
    return true;
}

void COptionMenuPopup::moveHover(int32_t step)
{
    Level& lv = m_levels.back();
    const int32_t n = lv.menu->getNbEntries();
    int32_t i = lv.hover;
    for (int32_t tries = 0; tries < n; ++tries) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        const CMenuItem* item = lv.menu->getEntry(i);
        if (item->isEnabled() && !item->isSeparator() && !item->isTitle()) break;
    }
    lv.hover = i;
    invalid();
}

int32_t COptionMenuPopup::onKeyDown(CKeyCode& key)
{
    if (m_levels.empty()) return -1;
    const int32_t level = getNbLevels() - 1;
    Level& lv = m_levels.back();
    switch (key.virt) {
    case VirtualKey::Down:
        moveHover(1);
        return 1;
    case VirtualKey::Up:
        moveHover(-1);
        return 1;
    case VirtualKey::Right:
        if (lv.hover >= 0) {
            CMenuItem* item = lv.menu->getEntry(lv.hover);
            if (item && item->getSubmenu()) {
                activate(level, lv.hover);
                if (getNbLevels() > level + 1) m_levels.back().hover = 0;
            }
        }
        return 1;
    case VirtualKey::Left:
        if (level > 0) {
            m_levels.pop_back();
            invalid();
        }
        return 1;
    case VirtualKey::Return:
    case VirtualKey::Enter:
        if (lv.hover >= 0) activate(level, lv.hover);
        return 1;
    case VirtualKey::Escape:
        close();
        return 1;
    default:
        return 1;
    }
}
