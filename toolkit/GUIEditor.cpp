#include "toolkit/GUIEditor.h"

#include "toolkit/Timer.h"

namespace {
int32_t g_knobMode = kCircularMode;
}

GUIEditor::GUIEditor(EditorHost* host) : m_host(host) {}

GUIEditor::~GUIEditor() { closeFrame(); }

bool GUIEditor::openFrame(CFrame* frame, void* parent, PlatformType type)
{
    closeFrame();
    if (!frame) return false;
    if (!frame->open(parent, type)) {
        frame->forget();
        return false;
    }
    m_frame = frame;
    m_parent = parent;
    return true;
}

void GUIEditor::closeFrame()
{
    if (!m_frame) return;
    CFrame* frame = m_frame;
    m_frame = nullptr;
    m_parent = nullptr;
    frame->close();
    frame->forget();
}

void GUIEditor::idleFrame()
{
    if (m_inIdle || !m_frame) return;
    m_inIdle = true;
    m_frame->idle();
    m_inIdle = false;
}

int32_t GUIEditor::forwardKeyDown(const CKeyCode& key) { return m_frame ? m_frame->platformOnKeyDown(key) : -1; }

int32_t GUIEditor::forwardKeyUp(const CKeyCode& key) { return m_frame ? m_frame->platformOnKeyUp(key) : -1; }

bool GUIEditor::forwardWheel(float distance)
{
    if (!m_frame) return false;
    CPoint where;
    if (!m_frame->getCurrentMouseLocation(where)) return false;
    return m_frame->platformOnWheel(where, kMouseWheelAxisY, distance, m_frame->getCurrentMouseButtons());
}

void GUIEditor::setGlobalKnobMode(int32_t mode) { g_knobMode = mode; }

int32_t GUIEditor::getKnobMode() const { return g_knobMode; }

// Negative tags mark controls that are no parameter (menus, labels, dialog
// parts): the host never hears of them.
void GUIEditor::beginEdit(int32_t index)
{
    if (m_host && index >= 0) m_host->beginEdit(index);
}

void GUIEditor::endEdit(int32_t index)
{
    if (m_host && index >= 0) m_host->endEdit(index);
}

bool GUIEditor::requestResize(const CPoint& newSize)
{
    return m_host && m_host->requestResize(static_cast<int32_t>(newSize.x), static_cast<int32_t>(newSize.y));
}

void GUIEditor::setParameterAutomated(int32_t index, float value)
{
    if (m_host) m_host->setParameterAutomated(index, value);
}

uint32_t GUIEditor::getTicks() { return static_cast<uint32_t>(toolkitTicks()); }
