#include "toolkit/win32/Win32Window.h"

#include "toolkit/headless/HeadlessWindow.h"
#include "toolkit/win32/GdiplusGraphics.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace {

const wchar_t* kWindowClass = L"OndrelToolkitFrame";
int g_windowCount = 0;

HINSTANCE thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

VirtualKey virtualKey(WPARAM key)
{
    switch (key) {
    case VK_BACK:
        return VirtualKey::Back;
    case VK_TAB:
        return VirtualKey::Tab;
    case VK_RETURN:
        return VirtualKey::Return;
    case VK_ESCAPE:
        return VirtualKey::Escape;
    case VK_LEFT:
        return VirtualKey::Left;
    case VK_RIGHT:
        return VirtualKey::Right;
    case VK_UP:
        return VirtualKey::Up;
    case VK_DOWN:
        return VirtualKey::Down;
    case VK_HOME:
        return VirtualKey::Home;
    case VK_END:
        return VirtualKey::End;
    case VK_PRIOR:
        return VirtualKey::PageUp;
    case VK_NEXT:
        return VirtualKey::PageDown;
    case VK_INSERT:
        return VirtualKey::Insert;
    case VK_DELETE:
        return VirtualKey::Delete;
    default:
        return VirtualKey::None;
    }
}

uint8_t keyModifiers()
{
    uint8_t m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= kKeyShift;
    if (GetKeyState(VK_MENU) < 0) m |= kKeyAlternate;
    if (GetKeyState(VK_CONTROL) < 0) m |= kKeyCommand;
    return m;
}

LPCSTR cursorShape(CCursorType cursor)
{
    switch (cursor) {
    case kCursorWait:
        return IDC_WAIT;
    case kCursorHSize:
        return IDC_SIZEWE;
    case kCursorVSize:
        return IDC_SIZENS;
    case kCursorSizeAll:
        return IDC_SIZEALL;
    case kCursorNESWSize:
        return IDC_SIZENESW;
    case kCursorNWSESize:
        return IDC_SIZENWSE;
    case kCursorCopy:
        return IDC_CROSS;
    case kCursorNotAllowed:
        return IDC_NO;
    case kCursorHand:
        return IDC_HAND;
    default:
        return IDC_ARROW;
    }
}

}  // namespace

Win32Window::Win32Window(CFrame& frame, HWND parent) : m_frame(frame)
{
    if (!ensureGdiplus()) return;
    HINSTANCE instance = thisModule();
    if (g_windowCount == 0) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Win32Window::windowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        RegisterClassExW(&wc);
    }
    ++g_windowCount;
    m_width = std::max(1, static_cast<int>(frame.getWidth()));
    m_height = std::max(1, static_cast<int>(frame.getHeight()));
    m_cursor = LoadCursorA(nullptr, IDC_ARROW);
    m_hwnd = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                             m_width, m_height, parent, nullptr, instance, this);
    if (m_hwnd) allocateBuffer();
}

Win32Window::~Win32Window()
{
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
    m_graphics.reset();
    m_buffer.reset();
    if (--g_windowCount == 0) UnregisterClassW(kWindowClass, thisModule());
}

void Win32Window::allocateBuffer()
{
    m_graphics.reset();
    m_buffer = backend::createBitmap(m_width, m_height);
    if (m_buffer) m_graphics = backend::createGraphics(*m_buffer);
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->m_hwnd == hwnd) return self->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

CButtonState Win32Window::buttonsFrom(WPARAM wParam) const
{
    int32_t state = 0;
    if (wParam & MK_LBUTTON) state |= kLButton;
    if (wParam & MK_MBUTTON) state |= kMButton;
    if (wParam & MK_RBUTTON) state |= kRButton;
    if (wParam & MK_SHIFT) state |= kShift;
    if (wParam & MK_CONTROL) state |= kControl;
    if (GetKeyState(VK_MENU) < 0) state |= kAlt;
    return CButtonState(state);
}

void Win32Window::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    const CRect area(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    if (m_graphics && !area.isEmpty()) {
        {
            CDrawContext context(m_graphics.get(), CRect(0, 0, m_width, m_height));
            m_frame.platformDrawOpaque(&context, area);
            m_graphics->flush();
        }
        Gdiplus::Graphics screen(dc);
        screen.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        auto* buffer = static_cast<GdiplusBitmap*>(m_buffer.get());
        const Gdiplus::Rect to(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                               ps.rcPaint.bottom - ps.rcPaint.top);
        screen.DrawImage(buffer->bitmap(), to, to.X, to.Y, to.Width, to.Height, Gdiplus::UnitPixel);
    }
    EndPaint(m_hwnd, &ps);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SetCapture(m_hwnd);
        SetFocus(m_hwnd);
        m_frame.platformOnMouseDown(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), buttonsFrom(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        // The state after the release; the released button is added back.
        CButtonState state = buttonsFrom(wParam);
        const int32_t released = message == WM_LBUTTONUP ? kLButton : message == WM_MBUTTONUP ? kMButton : kRButton;
        if (state.getButtonState() == 0) ReleaseCapture();
        m_frame.platformOnMouseUp(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)),
                                  CButtonState(state.value() | released));
        return 0;
    }
    case WM_MOUSEMOVE:
        if (!m_trackingLeave) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hwnd, 0};
            m_trackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        m_frame.platformOnMouseMoved(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), buttonsFrom(wParam));
        return 0;
    case WM_MOUSELEAVE:
        m_trackingLeave = false;
        m_frame.platformOnMouseExited();
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(m_hwnd, &p);
        const float distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        const CButtonState buttons(buttonsFrom(GET_KEYSTATE_WPARAM(wParam)).getModifierState());
        m_frame.platformOnWheel(CPoint(p.x, p.y), message == WM_MOUSEWHEEL ? kMouseWheelAxisY : kMouseWheelAxisX,
                                distance, buttons);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
        CKeyCode key;
        key.virt = virtualKey(wParam);
        if (key.virt == VirtualKey::None) break;  // characters come with WM_CHAR
        key.modifier = keyModifiers();
        if (message == WM_KEYDOWN)
            m_frame.platformOnKeyDown(key);
        else
            m_frame.platformOnKeyUp(key);
        return 0;
    }
    case WM_CHAR:
        if (wParam >= 0x20 && wParam != 0x7F) {
            CKeyCode key;
            key.character = static_cast<char32_t>(wParam);
            key.modifier = keyModifiers();
            m_frame.platformOnKeyDown(key);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(m_cursor);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void Win32Window::invalidRect(const CRect& rect)
{
    if (!m_hwnd) return;
    RECT r{static_cast<LONG>(std::floor(rect.left)), static_cast<LONG>(std::floor(rect.top)),
           static_cast<LONG>(std::ceil(rect.right)), static_cast<LONG>(std::ceil(rect.bottom))};
    InvalidateRect(m_hwnd, &r, FALSE);
}

void Win32Window::idle()
{
    if (m_hwnd) UpdateWindow(m_hwnd);
}

bool Win32Window::setSize(const CPoint& size)
{
    if (!m_hwnd) return false;
    m_width = std::max(1, static_cast<int>(size.x));
    m_height = std::max(1, static_cast<int>(size.y));
    SetWindowPos(m_hwnd, nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    allocateBuffer();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return true;
}

void Win32Window::setCursor(CCursorType cursor)
{
    m_cursor = LoadCursorA(nullptr, cursorShape(cursor));
    POINT p;
    if (GetCursorPos(&p) && WindowFromPoint(p) == m_hwnd) ::SetCursor(m_cursor);
}

bool Win32Window::getCurrentMousePosition(CPoint& where)
{
    POINT p;
    if (!m_hwnd || !GetCursorPos(&p) || !ScreenToClient(m_hwnd, &p)) return false;
    if (p.x < 0 || p.y < 0 || p.x >= m_width || p.y >= m_height) return false;
    where = CPoint(p.x, p.y);
    return true;
}

CButtonState Win32Window::getCurrentMouseButtons()
{
    int32_t state = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) state |= kLButton;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) state |= kMButton;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) state |= kRButton;
    if (GetKeyState(VK_SHIFT) < 0) state |= kShift;
    if (GetKeyState(VK_CONTROL) < 0) state |= kControl;
    if (GetKeyState(VK_MENU) < 0) state |= kAlt;
    return CButtonState(state);
}

namespace backend {
std::unique_ptr<IPlatformWindow> createWindow(PlatformType type, void* parent, CFrame& frame)
{
    if (type == PlatformType::kHeadless) return std::make_unique<HeadlessWindow>(frame);
    if (type == PlatformType::kX11Window) return nullptr;
    auto window = std::make_unique<Win32Window>(frame, static_cast<HWND>(parent));
    if (!window->isValid()) return nullptr;
    return window;
}
}  // namespace backend
