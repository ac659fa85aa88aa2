// The views through which the tool bar talks to the user, all lying over
// the whole editor: the save dialog (a name and a choice between a new user
// preset and overwriting the current one), a message with an optional
// YES/NO answer, a message that closes itself after a countdown, and the
// credits box.
#pragma once

#include "editor/controls/SimpleLabel.h"
#include "toolkit/Buttons.h"
#include "toolkit/ParamDisplay.h"
#include "toolkit/Timer.h"
#include "toolkit/View.h"

#include <string>
#include <vector>

class CBitmap;
class PresetManager;

namespace dialog {
constexpr CColor kPanel{53, 53, 53, 255};
constexpr CColor kVeil{40, 120, 255, 111};
constexpr CColor kButton{255, 102, 102, 144};
constexpr CColor kText{255, 255, 188, 255};
// The message a YES answer sends, and the one every other answer sends.
constexpr const char* kOverwrite = "Overwrite";
constexpr const char* kNo = "No";
}  // namespace dialog

class DialogResultHandler {
public:
    virtual ~DialogResultHandler() = default;
    virtual void dialogCancelled() = 0;
    virtual void dialogAccepted() = 0;
};

// A prompt, a text field, two action buttons (tags 0 and 1) and Cancel.
class MultiActionDialog : public CViewContainer, public IControlListener {
public:
    MultiActionDialog(const CRect& size, const char* action0, const char* action1);

    CLASS_METHODS(MultiActionDialog, CViewContainer)

    void setResultHandler(DialogResultHandler* handler) { m_resultHandler = handler; }
    // Shows the prompt (at most 127 characters) and the text, then prepare().
    void setTexts(const char* prompt, const char* text);
    const char* getPrompt() const { return m_promptLabel->getText(); }
    std::string getText() const { return m_textEdit->getText(); }
    CTextEdit* getTextEdit() const { return m_textEdit; }
    CTextButton* getActionButton(int tag) const { return m_actionButtons[tag ? 1 : 0]; }
    CTextButton* getCancelButton() const { return m_cancelButton; }

    // Lays the items out again for the new size.
    void setViewSize(const CRect& rect, bool invalid = true) override;
    void valueChanged(CControl* control) override;

    virtual bool performAction(int32_t tag, float value) = 0;
    virtual void textChanged() {}
    virtual void prepare() {}

protected:
    void accept();
    void cancel();

    DialogResultHandler* m_resultHandler = nullptr;
    CViewContainer* m_panel;
    CSimpleLabel* m_promptLabel;
    CTextEdit* m_textEdit;
    CTextButton* m_actionButtons[2];
    CTextButton* m_cancelButton;

private:
    void layout();
};

class SaveDialog : public MultiActionDialog {
public:
    static constexpr const char* kSaveNew = "Save new user preset";
    static constexpr const char* kOverwriteCurrent = "Overwrite current preset with same name";
    static constexpr const char* kNameUnchanged = "Name hasn't changed, overwrite current preset?";
    static constexpr const char* kNameTaken =
        "Name already used for different user preset. Please choose another name.";

    SaveDialog(const CRect& size, PresetManager* presetManager);

    CLASS_METHODS(SaveDialog, MultiActionDialog)

    bool performAction(int32_t tag, float value) override;
    void prepare() override;
    CMessageResult notify(CBaseObject* sender, CMessage message) override;

    // The choice made: overwrite the current preset (true) or save a new one.
    bool overwrite() const { return m_overwrite; }
    // The question or message shown inside the dialog, or null.
    class cMessageDialogue* getMessage() const;

private:
    void putUpMessage(const char* text, const char* yesMessage);

    PresetManager* m_presetManager;
    bool m_overwrite = false;
};

// The tool bar's "save" button: puts its dialog up as the frame's modal view
// and hears how the dialog ended.
class MultiActionDialogButton : public CSplashScreen, public DialogResultHandler {
public:
    MultiActionDialogButton(const CRect& size, IControlListener* listener, int32_t tag, const char* title,
                            MultiActionDialog* dialog);
    ~MultiActionDialogButton() override;

    CLASS_METHODS(MultiActionDialogButton, CSplashScreen)

    void dialogAccepted() override;
    void dialogCancelled() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    void setViewSize(const CRect& rect, bool invalid = true) override;
    void setDisplayArea(const CRect& rect) override;
    CSimpleLabel& label() { return *m_label; }

private:
    SharedPointer<CSimpleLabel> m_label;
};

// The frame every message view draws: veil, border, inner panel.
class cDialogueView : public CView {
public:
    explicit cDialogueView(const CRect& size) : CView(size) {}

protected:
    // Draws the frame and answers the inner area; d and e are 4 % of the
    // view's width and height.
    CRect drawFrame(CDrawContext* context, CCoord insetX);
    CCoord d() const { return 0.04 * getWidth(); }
    CCoord e() const { return 0.04 * getHeight(); }
    // Takes the view down: cleared as the frame's modal view, or hidden.
    void closeView();
};

// A message; with a yes-message it asks YES or NO and sends the yes-message
// (YES) or "No" to its dependents. Without one any click closes it.
class cMessageDialogue : public cDialogueView, public IDependency {
public:
    cMessageDialogue(const CRect& size, const char* text, const char* yesMessage, CBaseObject* dependent);

    const char* getClassName() const override { return "cMessageDialogue"; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    const std::string& getText() const { return m_text; }
    int getResult() const { return m_result; }
    bool asks() const { return !m_yesMessage.empty(); }
    // Where the answers are (after the first draw, or computed on demand).
    CRect yesRect() const;
    CRect noRect() const;

protected:
    CBaseObject* dependencySender() override { return this; }

private:
    void answer(int result, const char* message);

    std::string m_text;
    std::string m_yesMessage;
    int m_result = 0;
};

// A message that counts down from 10 twice a second and then closes itself;
// a click closes it at once.
class cTimedResponse : public cDialogueView {
public:
    static constexpr uint32_t kTickMs = 500;

    cTimedResponse(const CRect& size, const char* text);
    ~cTimedResponse() override;

    const char* getClassName() const override { return "cTimedResponse"; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMessageResult notify(CBaseObject* sender, CMessage message) override;

    const char* getText() const { return m_text; }
    int getCountdown() const { return m_countdown; }
    std::string line() const;

private:
    char m_text[512] = {};
    SharedPointer<CVSTGUITimer> m_timer;
    int m_countdown = 10;
};

// The credits: a title, lines of text, the maker's logo, a link that opens
// the manual page in the browser, and OK.
class cCustomDialogue : public cDialogueView {
public:
    static constexpr const char* kLinkText = "Click here to open Ondrel info in your browser.";

    cCustomDialogue(const CRect& size, const char* title, const char* const* lines, int lineCount);

    const char* getClassName() const override { return "cCustomDialogue"; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    const std::vector<std::string>& getLines() const { return m_lines; }
    const std::string& getLinkTarget() const { return m_linkTarget; }
    bool hasLogo() const;
    CRect linkRect() const;
    CRect okRect() const;

private:
    std::string m_title;
    std::vector<std::string> m_lines;
    SharedPointer<CBitmap> m_logo;
    std::string m_linkTarget;
};
