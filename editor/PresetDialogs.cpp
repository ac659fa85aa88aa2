#include "editor/PresetDialogs.h"

#include "editor/controls/TextFit.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Frame.h"

#include <cstdio>
#include <cstring>

namespace {

std::string bracketed(const std::string& text) { return "[   " + text + "   ]"; }

void styleButton(CTextButton* button)
{
    button->setFillColor(CColor(75, 75, 75));
    button->setFillColorPressed(CColor(122, 122, 122));
    button->setFrameColor(CColor(32, 32, 32));
    button->setTextColor(dialog::kText);
}

}  // namespace

// ---------------------------------------------------------------- the dialog with actions

MultiActionDialog::MultiActionDialog(const CRect& size, const char* action0, const char* action1) : CViewContainer(size)
{
    setBackgroundColor(dialog::kVeil);
    m_panel = new CViewContainer(CRect());
    m_panel->setBackgroundColor(dialog::kPanel);
    m_panel->setMouseEnabled(false);
    addView(m_panel);
    m_promptLabel = new CSimpleLabel(CRect(), false, kLeftText);
    m_promptLabel->setFontColor(dialog::kText);
    m_promptLabel->setMouseEnabled(false);
    addView(m_promptLabel);
    m_textEdit = new CTextEdit(CRect(), this, -1, "", kNoFrame);
    m_textEdit->setBackColor(CColor(188, 188, 188));
    m_textEdit->setFontColor(CColor(35, 35, 35));
    addView(m_textEdit);
    const char* titles[2] = {action0, action1};
    for (int tag = 0; tag < 2; ++tag) {
        m_actionButtons[tag] = new CTextButton(CRect(), this, tag, titles[tag]);
        styleButton(m_actionButtons[tag]);
        addView(m_actionButtons[tag]);
    }
    m_cancelButton = new CTextButton(CRect(), this, -1, "Cancel");
    styleButton(m_cancelButton);
    addView(m_cancelButton);
    layout();
}

void MultiActionDialog::layout()
{
    const CCoord W = getWidth(), H = getHeight();
    const CCoord p = 0.38 * W, q = 0.39 * H;
    const CRect panel(0.38 * p, 0.39 * q, 0.38 * p + p, 0.39 * q + q);
    m_panel->setViewSize(panel);
    m_panel->setMouseableArea(panel);
    const CCoord L = panel.left + 0.05 * p, R = panel.left + 0.95 * p, T = panel.top, h = 0.1 * q;
    auto place = [&](CView* view, double at) {
        const CRect r(L, T + at * q, R, T + at * q + h);
        view->setViewSize(r);
        view->setMouseableArea(r);
    };
    place(m_promptLabel, 0.01);
    place(m_textEdit, 0.22);
    place(m_actionButtons[0], 0.42);
    place(m_actionButtons[1], 0.62);
    place(m_cancelButton, 0.82);
    const CFontDesc buttonFont("Arial", 0.689 * h, kNormalFace);
    for (CTextButton* b : {m_actionButtons[0], m_actionButtons[1], m_cancelButton}) b->setFont(buttonFont);
    m_textEdit->setFont(CFontDesc("Arial", 0.689 * h, kBoldFace));
}

void MultiActionDialog::setViewSize(const CRect& rect, bool invalid)
{
    CViewContainer::setViewSize(rect, invalid);
    layout();
}

void MultiActionDialog::setTexts(const char* prompt, const char* text)
{
    m_promptLabel->setText(prompt);
    m_textEdit->setText(text);
    prepare();
}

void MultiActionDialog::accept()
{
    if (m_resultHandler) m_resultHandler->dialogAccepted();
}

void MultiActionDialog::cancel()
{
    if (m_resultHandler) m_resultHandler->dialogCancelled();
}

void MultiActionDialog::valueChanged(CControl* control)
{
    if (control == m_textEdit) {
        textChanged();
        return;
    }
    // Buttons act at the release of a click (value back to 0).
    if (control->getValue() != 0.f) return;
    if (control == m_cancelButton) {
        cancel();
    } else if (control == m_actionButtons[0] || control == m_actionButtons[1]) {
        if (!performAction(control->getTag(), control->getValue())) cancel();
    }
}

// ---------------------------------------------------------------- the save dialog

SaveDialog::SaveDialog(const CRect& size, PresetManager* presetManager)
    : MultiActionDialog(size, kSaveNew, kOverwriteCurrent), m_presetManager(presetManager)
{}

cMessageDialogue* SaveDialog::getMessage() const
{
    for (int i = getNbViews() - 1; i >= 0; --i)
        if (auto* message = dynamic_cast<cMessageDialogue*>(getView(i)); message && message->isVisible())
            return message;
    return nullptr;
}

void SaveDialog::prepare()
{
    m_overwrite = false;
    // Questions answered earlier are gone.
    for (int i = getNbViews() - 1; i >= 0; --i)
        if (dynamic_cast<cMessageDialogue*>(getView(i))) removeView(getView(i));
    const Program* current = m_presetManager ? m_presetManager->getCurrentProgram() : nullptr;
    m_actionButtons[1]->setVisible(current && !current->readOnly);
}

void SaveDialog::putUpMessage(const char* text, const char* yesMessage)
{
    for (int i = getNbViews() - 1; i >= 0; --i)
        if (auto* old = dynamic_cast<cMessageDialogue*>(getView(i)); old && !old->isVisible()) removeView(old);
    addView(new cMessageDialogue(CRect(0, 0, getWidth(), getHeight()), text, yesMessage, yesMessage ? this : nullptr));
}

bool SaveDialog::performAction(int32_t tag, float)
{
    const Program* current = m_presetManager ? m_presetManager->getCurrentProgram() : nullptr;
    if (!current) return false;
    const std::string name = getText();
    if (tag == 0) {
        if (!current->readOnly && name == current->name)
            putUpMessage(kNameUnchanged, dialog::kOverwrite);
        else if (m_presetManager->isUserPresetName(name))
            putUpMessage(kNameTaken, nullptr);
        else {
            m_overwrite = false;
            accept();
        }
        return true;
    }
    if (tag == 1) {
        if (current->readOnly) {
            std::fprintf(stderr, "Expecting a user preset here, not factory / project preset %s\n",
                         current->name.c_str());
            return false;
        }
        m_overwrite = true;
        accept();
        return true;
    }
    return false;
}

CMessageResult SaveDialog::notify(CBaseObject* sender, CMessage message)
{
    if (message && std::strcmp(message, dialog::kOverwrite) == 0) {
        m_overwrite = true;
        accept();
        return kMessageNotified;
    }
    if (message && std::strcmp(message, dialog::kNo) == 0) return kMessageNotified;
    return MultiActionDialog::notify(sender, message);
}

// ---------------------------------------------------------------- the save button

MultiActionDialogButton::MultiActionDialogButton(const CRect& size, IControlListener* listener, int32_t tag,
                                                 const char* title, MultiActionDialog* dialog)
    : CSplashScreen(size, listener, tag, dialog), m_label(makeOwned<CSimpleLabel>(size, true, kCenterText))
{
    m_label->setText(title);
    if (dialog) dialog->setResultHandler(this);
}

MultiActionDialogButton::~MultiActionDialogButton()
{
    if (auto* dialog = dynamic_cast<MultiActionDialog*>(m_splashView.get())) dialog->setResultHandler(nullptr);
}

void MultiActionDialogButton::dialogAccepted()
{
    unSplash();
    if (m_listener) m_listener->valueChanged(this);
}

void MultiActionDialogButton::dialogCancelled() { unSplash(); }

void MultiActionDialogButton::draw(CDrawContext* context)
{
    m_label->draw(context);
    setDirty(false);
}

CMouseEventResult MultiActionDialogButton::onMouseEntered(CPoint& where, const CButtonState& buttons)
{
    return m_label->onMouseEntered(where, buttons);
}

CMouseEventResult MultiActionDialogButton::onMouseExited(CPoint& where, const CButtonState& buttons)
{
    return m_label->onMouseExited(where, buttons);
}

void MultiActionDialogButton::setViewSize(const CRect& rect, bool invalid)
{
    CSplashScreen::setViewSize(rect, invalid);
    m_label->setViewSize(rect, false);
}

void MultiActionDialogButton::setDisplayArea(const CRect& rect) { CSplashScreen::setDisplayArea(rect); }

// ---------------------------------------------------------------- message views

CRect cDialogueView::drawFrame(CDrawContext* context, CCoord insetX)
{
    context->setDrawMode(kAntiAliasing);
    context->setFillColor(dialog::kVeil);
    context->drawRect(m_size, kDrawFilled);
    context->setLineWidth(2);
    context->setFrameColor(dialog::kPanel);
    context->drawRect(m_size, kDrawStroked);
    CRect inner = m_size;
    inner.inset(insetX, 3.9 * e());
    context->setFillColor(dialog::kPanel);
    context->drawRect(inner, kDrawFilled);
    context->setFontColor(dialog::kText);
    return inner;
}

void cDialogueView::closeView()
{
    remember();
    setVisible(false);
    if (CFrame* frame = getFrame(); frame && frame->getModalView() == this) {
        frame->setModalView(nullptr);
    } else if (auto* parent = dynamic_cast<CViewContainer*>(getParentView())) {
        parent->invalid();
    }
    forget();
}

cMessageDialogue::cMessageDialogue(const CRect& size, const char* text, const char* yesMessage, CBaseObject* dependent)
    : cDialogueView(size), m_text(text ? text : ""), m_yesMessage(yesMessage ? yesMessage : "")
{
    if (dependent) addDependent(dependent);
}

CRect cMessageDialogue::yesRect() const
{
    const CCoord left = m_size.left + 2.3 * d(), top = m_size.top + 3.9 * e() + e();
    return CRect(left + 5.3 * d(), top + 5.3 * e(), left + 7.3 * d(), top + e() + 5.3 * e());
}

CRect cMessageDialogue::noRect() const { return CRect(yesRect()).offset(5 * d(), 0); }

void cMessageDialogue::draw(CDrawContext* context)
{
    const CRect inner = drawFrame(context, 2.3 * d());
    const CRect band(inner.left, inner.top + e(), inner.right, inner.top + 2 * e());
    context->setFont(kNormalFont(), 16);
    context->drawString(bracketed(m_text).c_str(), band, kCenterText, true);
    if (asks()) {
        for (const auto& [box, label] : {std::pair<CRect, const char*>{yesRect(), "YES"}, {noRect(), "NO"}}) {
            context->setFillColor(dialog::kButton);
            context->setFrameColor(dialog::kText);
            context->setLineWidth(1);
            context->drawRect(box, kDrawFilledAndStroked);
            context->drawString(label, box, kCenterText, true);
        }
    }
    setDirty(false);
}

void cMessageDialogue::answer(int result, const char* message)
{
    m_result = result;
    remember();
    closeView();
    changed(message);
    forget();
}

CMouseEventResult cMessageDialogue::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (!asks())
        answer(0, dialog::kNo);
    else if (yesRect().pointInsideClosed(where))
        answer(1, m_yesMessage.c_str());
    else if (noRect().pointInsideClosed(where))
        answer(0, dialog::kNo);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

cTimedResponse::cTimedResponse(const CRect& size, const char* text)
    : cDialogueView(size), m_timer(makeOwned<CVSTGUITimer>(this, kTickMs, true))
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
}

cTimedResponse::~cTimedResponse() { m_timer->stop(); }

std::string cTimedResponse::line() const { return bracketed(m_text) + " " + std::to_string(m_countdown); }

void cTimedResponse::draw(CDrawContext* context)
{
    const CRect inner = drawFrame(context, 1.4 * d());
    const CRect band(inner.left, inner.top + e(), inner.right, inner.top + 3 * e());
    context->setFont(kNormalFont(), 16);
    context->drawString(line().c_str(), band, kCenterText, true);
    setDirty(false);
}

CMessageResult cTimedResponse::notify(CBaseObject* sender, CMessage message)
{
    if (sender != m_timer.get() || std::strcmp(message, CVSTGUITimer::kMsgTimer) != 0)
        return cDialogueView::notify(sender, message);
    if (--m_countdown <= 0) {
        m_countdown = 0;
        m_timer->stop();
        closeView();
    } else {
        setDirty();
    }
    return kMessageNotified;
}

CMouseEventResult cTimedResponse::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    m_timer->stop();
    closeView();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---------------------------------------------------------------- credits

cCustomDialogue::cCustomDialogue(const CRect& size, const char* title, const char* const* lines, int lineCount)
    : cDialogueView(size),
      m_title(title ? title : ""),
      m_logo(makeOwned<CBitmap>(Platform::pluginDataPath("zentorial_logo_3d_small.png").c_str())),
      m_linkTarget(Platform::pluginDataPath("ondrel.html"))
{
    for (int i = 0; lines && i < lineCount; ++i) m_lines.emplace_back(lines[i] ? lines[i] : "", 0, 1023);
    if (!m_logo->isLoaded()) std::fprintf(stderr, "Failed to load picture %s\n", "zentorial_logo_3d_small.png");
}

bool cCustomDialogue::hasLogo() const { return m_logo->isLoaded(); }

CRect cCustomDialogue::linkRect() const
{
    if (m_linkTarget.size() <= 10) return CRect();
    return CRect(m_size.left + 8 * d(), m_size.bottom - 8 * e(), m_size.right - 8 * d(), m_size.bottom - 7 * e());
}

CRect cCustomDialogue::okRect() const
{
    CRect inner = m_size;
    inner.inset(2.3 * d(), 3.9 * e());
    const CCoord centre = inner.getCenter().x;
    return CRect(centre - d(), inner.bottom - e(), centre + d(), inner.bottom);
}

void cCustomDialogue::draw(CDrawContext* context)
{
    const CRect inner = drawFrame(context, 2.3 * d());
    context->setFont(kNormalFont(), 14);
    context->drawString(bracketed(m_title).c_str(),
                        CRect(inner.left, inner.top + e(), inner.right, inner.top + 2 * e()), kCenterText, true);
    if (m_logo->isLoaded()) {
        const CCoord w = m_logo->getWidth(), h = m_logo->getHeight();
        const CRect at(inner.right - d() - w, inner.top + 2.5 * e(), inner.right - d(), inner.top + 2.5 * e() + h);
        context->drawBitmap(*m_logo, at, CPoint(), 1.0f);
    }
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const CCoord top = inner.top + (4 + (CCoord)i) * e();
        context->drawString(m_lines[i].c_str(), CRect(inner.left + d(), top, inner.right, top + e()), kLeftText, true);
    }
    const CRect link = linkRect();
    if (!link.isEmpty()) {
        context->setLineWidth(1);
        context->setFrameColor(dialog::kText);
        context->drawRect(link, kDrawStroked);
        setFontToFit(context, CFontDesc(kNormalFont().getName(), 14), kLinkText, link.getWidth() - 4);
        context->drawString(kLinkText, link, kCenterText, true);
        context->setFont(kNormalFont(), 14);
    }
    const CRect ok = okRect();
    context->setLineWidth(1);
    context->setFillColor(dialog::kButton);
    context->setFrameColor(dialog::kText);
    context->drawRect(ok, kDrawFilledAndStroked);
    context->drawString("OK", CRect(ok).offset(0, 2), kCenterText, true);
    setDirty(false);
}

CMouseEventResult cCustomDialogue::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    const CRect link = linkRect();
    if (!link.isEmpty() && link.pointInsideClosed(where)) {
        Platform::openInShell(m_linkTarget);  // a failure of the shell changes nothing here
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    closeView();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
