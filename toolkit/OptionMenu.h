#pragma once
// Option menus: a control whose value is the index of the chosen entry.
// A left press opens the entries as a list drawn by the toolkit above all
// other views (the frame's pop-up); entries can be disabled, checked,
// separators, titles or sub-menus. The choice is made with the mouse or
// with the keys (Up, Down, Right into a sub-menu, Left back, Return,
// Escape), so menus work the same in every back-end and headless.

#include "toolkit/ParamDisplay.h"

#include <string>
#include <vector>

class COptionMenu;

class CMenuItem : public CBaseObject {
public:
    enum Flags : int32_t { kNoFlags = 0, kDisabled = 1 << 0, kTitle = 1 << 1, kChecked = 1 << 2, kSeparator = 1 << 3 };

    explicit CMenuItem(const char* title, int32_t flags = kNoFlags, COptionMenu* submenu = nullptr);
    ~CMenuItem() override;

    const char* getTitle() const { return m_title.c_str(); }
    void setTitle(const char* title) { m_title = title ? title : ""; }
    bool isEnabled() const { return !(m_flags & kDisabled); }
    void setEnabled(bool state) { m_flags = state ? (m_flags & ~kDisabled) : (m_flags | kDisabled); }
    bool isChecked() const { return (m_flags & kChecked) != 0; }
    void setChecked(bool state) { m_flags = state ? (m_flags | kChecked) : (m_flags & ~kChecked); }
    bool isSeparator() const { return (m_flags & kSeparator) != 0; }
    bool isTitle() const { return (m_flags & kTitle) != 0; }
    // Whether the user can choose the entry.
    bool isSelectable() const { return isEnabled() && !isSeparator() && !isTitle() && !m_submenu; }
    COptionMenu* getSubmenu() const { return m_submenu.get(); }
    void setTag(int32_t tag) { m_tag = tag; }
    int32_t getTag() const { return m_tag; }

private:
    std::string m_title;
    int32_t m_flags;
    SharedPointer<COptionMenu> m_submenu;
    int32_t m_tag = -1;
};

enum COptionMenuStyle : int32_t {
    kCheckStyle = 1 << 11,          // the current entry is shown checked
    kMultipleCheckStyle = 1 << 12,  // choosing an entry toggles its own check mark
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, int32_t style = 0);
    ~COptionMenu() override;

    CLASS_METHODS(COptionMenu, CParamDisplay)

    // Adds at the end or before `index`; takes the caller's reference.
    CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    CMenuItem* addEntry(const char* title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
    // A sub-menu entry; takes the caller's reference to `submenu`.
    CMenuItem* addEntry(COptionMenu* submenu, const char* title);
    CMenuItem* addSeparator(int32_t index = -1);
    bool removeEntry(int32_t index);
    bool removeAllEntry();
    int32_t getNbEntries() const { return static_cast<int32_t>(m_items.size()); }
    CMenuItem* getEntry(int32_t index) const;
    CMenuItem* getCurrent() const { return getEntry(getCurrentIndex()); }
    int32_t getCurrentIndex() const { return static_cast<int32_t>(m_value + 0.5f); }
    // An index outside the entries leaves the menu unchanged (false).
    bool setCurrent(int32_t index);
    void setValue(float value) override;
    bool checkEntry(int32_t index, bool state);
    bool checkEntryAlone(int32_t index);
    bool isCheckEntry(int32_t index) const;

    // The menu (this one or a sub-menu) and index of the last choice.
    COptionMenu* getLastItemMenu(int32_t& indexInMenu) const;
    int32_t getLastResult() const { return m_lastResult; }

    // Opens the list under the control. False without a frame or entries.
    bool popup();
    bool isPopupOpen() const;
    // What a choice does: makes the entry current in its menu, remembers
    // it, and tells this menu's listener inside a begin/end edit pair.
    void choose(COptionMenu* menu, int32_t index);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

protected:
    std::string getDisplayText() const override;

private:
    void updateMax();

    std::vector<CMenuItem*> m_items;
    COptionMenu* m_lastMenu = nullptr;
    int32_t m_lastResult = -1;
};

// The open list of a menu and of its open sub-menus. Exposed so that tests
// and tools can find the entries' rectangles.
class COptionMenuPopup : public CView {
public:
    COptionMenuPopup(COptionMenu* menu, const CRect& frameSize);

    CLASS_METHODS(COptionMenuPopup, CView)

    int32_t getNbLevels() const { return static_cast<int32_t>(m_levels.size()); }
    // Rectangle of entry `index` of the open level `level` (frame coordinates).
    CRect getEntryRect(int32_t level, int32_t index) const;
    int32_t getHoverIndex(int32_t level) const;
    COptionMenu* getLevelMenu(int32_t level) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    int32_t onKeyDown(CKeyCode& key) override;

private:
    struct Level {
        COptionMenu* menu;
        CRect rect;
        int32_t hover;
    };
    void openLevel(COptionMenu* menu, const CRect& anchor, bool beside);
    bool findEntry(const CPoint& where, int32_t& level, int32_t& index) const;
    void activate(int32_t level, int32_t index);
    void close();
    CCoord rowHeight(const COptionMenu* menu) const;
    void moveHover(int32_t step);

    SharedPointer<COptionMenu> m_root;
    std::vector<Level> m_levels;
};
