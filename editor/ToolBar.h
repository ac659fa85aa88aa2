// The strip across the top of the editor: category and program menus with
// their previous/next steppers, compare (with the marker of an edited
// preset), save, the editor size, the colour scheme, and the about menu
// (manual page, credits, user preset folder). Not a view: it builds its
// controls in the editor's frame at every open and hears their changes.
#pragma once

#include "toolkit/Control.h"

#include <string>
#include <vector>

class CFrame;
class CKickPreviousNext;
class CKickTwiceZoom;
class COptionMenu;
class CSimpleLabel;
class MultiActionDialogButton;
class NotificationsInterface;
class PresetManager;
class Program;
class SaveDialog;

// What the tool bar tells the editor.
class ToolBarListener {
public:
    virtual ~ToolBarListener() = default;
    virtual void colourSchemeChanged(const CColor& colour1, const CColor& colour2, int scheme) = 0;
    virtual void zoomChanged(int zoomIndex) = 0;
};

// The credit lines of the about box, made once per library load.
class AboutBoxText {
public:
    static const AboutBoxText& instance();
    const char* const* lines() const { return m_lines.data(); }
    int lineCount() const { return (int)m_lines.size(); }

private:
    AboutBoxText();
    std::vector<const char*> m_lines;
};

class ToolBar : public IControlListener {
public:
    static constexpr const char* kManualEntry = "Ondrel manual (ondrel.html)";
    static constexpr const char* kAboutEntry = "about";
    static constexpr const char* kExploreEntry = "explore presets";

    ToolBar(PresetManager* presetManager, NotificationsInterface* notifications, ToolBarListener* listener);

    // Creates the controls in the frame (every open of the editor).
    void build(const CRect& frameRect, CFrame* frame, float scaleX, float scaleY, int32_t zoomTag,
               const std::string& fontFamily, int zoomSteps);
    // Selects the scheme (an unknown index selects 0) and the size, keeps
    // the about box, and shows the library's current category and program.
    void setup(int scheme, int zoomValue, const AboutBoxText* aboutBox);
    // The frame's views are gone (the editor window closed).
    void clear();
    // The editor took a new size: the dialog covers the whole frame again,
    // the menus' fonts follow the height.
    void resized(const CRect& frameRect, float absoluteScaleY);

    // Empties and refills both menus and selects the given category and
    // program (indices of the library).
    void refreshMenus(int categoryIndex, int programIndex);
    // Turns the compare label red at the first edit of the current program.
    void refreshEditedMarker();

    void valueChanged(CControl* control) override;

    // State, for tests and tools.
    COptionMenu* aboutMenu() const { return m_aboutMenu; }
    COptionMenu* categoryMenu() const { return m_categoryMenu; }
    COptionMenu* programMenu() const { return m_programMenu; }
    COptionMenu* colourMenu() const { return m_colourMenu; }
    CKickPreviousNext* categoryStepper() const { return m_categoryStepper; }
    CKickPreviousNext* programStepper() const { return m_programStepper; }
    CKickTwiceZoom* zoomControl() const { return m_zoomControl; }
    CSimpleLabel* compareLabel() const { return m_compareLabel; }
    CSimpleLabel* compareStateLabel() const { return m_compareStateLabel; }
    MultiActionDialogButton* saveButton() const { return m_saveButton; }
    SaveDialog* saveDialog() const { return m_saveDialog; }
    const CColor* colours() const { return m_colours; }
    bool shownModified() const { return m_shownModified; }

    static constexpr CColor kEdited{255, 0, 0};
    static constexpr CColor kUnedited{102, 102, 104};

private:
    CRect scaled(double l, double t, double r, double b) const;
    void fillCategoryMenu();
    void fillProgramMenu();
    void categoryChanged();
    void programChosen();
    void compare();
    void aboutChosen();
    void prepareSave();
    void completeSave();
    void showMessage(const std::string& text);
    void updateCompareDisplay();
    void applyColourScheme();
    Program* currentProgram() const;

    PresetManager* m_presetManager;
    NotificationsInterface* m_notifications;
    ToolBarListener* m_listener;
    CColor m_colours[2] = {CColor(255, 255, 255), CColor(255, 255, 255)};
    CFrame* m_frame = nullptr;
    float m_scaleX = 1, m_scaleY = 1;
    COptionMenu* m_aboutMenu = nullptr;
    COptionMenu* m_categoryMenu = nullptr;
    COptionMenu* m_programMenu = nullptr;
    COptionMenu* m_colourMenu = nullptr;
    CKickPreviousNext* m_categoryStepper = nullptr;
    CKickPreviousNext* m_programStepper = nullptr;
    CKickTwiceZoom* m_zoomControl = nullptr;
    SaveDialog* m_saveDialog = nullptr;  // held by the save button
    MultiActionDialogButton* m_saveButton = nullptr;
    CSimpleLabel* m_compareLabel = nullptr;
    CSimpleLabel* m_compareStateLabel = nullptr;
    bool m_shownModified = false;
    const AboutBoxText* m_aboutBox = nullptr;
};
