#include "toolkit/x11/X11Window.h"

#include "toolkit/cairo/CairoGraphics.h"
#include "toolkit/headless/HeadlessWindow.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

CKeyCode keyFromEvent(XKeyEvent& event)
{
    CKeyCode key;
    char text[8];
    KeySym keysym = NoSymbol;
    XLookupString(&event, text, sizeof text, &keysym, nullptr);
    if (event.state & ShiftMask) key.modifier |= kKeyShift;
    if (event.state & Mod1Mask) key.modifier |= kKeyAlternate;
    if (event.state & ControlMask) key.modifier |= kKeyCommand;
    switch (keysym) {
    case XK_BackSpace:
        key.virt = VirtualKey::Back;
        break;
    case XK_Tab:
        key.virt = VirtualKey::Tab;
        break;
    case XK_Return:
        key.virt = VirtualKey::Return;
        break;
    case XK_KP_Enter:
        key.virt = VirtualKey::Enter;
        break;
    case XK_Escape:
        key.virt = VirtualKey::Escape;
        break;
    case XK_Left:
        key.virt = VirtualKey::Left;
        break;
    case XK_Right:
        key.virt = VirtualKey::Right;
        break;
    case XK_Up:
        key.virt = VirtualKey::Up;
        break;
    case XK_Down:
        key.virt = VirtualKey::Down;
        break;
    case XK_Home:
        key.virt = VirtualKey::Home;
        break;
    case XK_End:
        key.virt = VirtualKey::End;
        break;
    case XK_Page_Up:
        key.virt = VirtualKey::PageUp;
        break;
    case XK_Page_Down:
        key.virt = VirtualKey::PageDown;
        break;
    case XK_Insert:
        key.virt = VirtualKey::Insert;
        break;
    case XK_Delete:
        key.virt = VirtualKey::Delete;
        break;
    default:
        // Latin-1 keysyms are their code points; others carry Unicode above 0x1000000.
        if (keysym >= 0x20 && keysym <= 0xFF)
            key.character = static_cast<char32_t>(keysym);
        else if (keysym >= 0x1000100 && keysym <= 0x110FFFF)
            key.character = static_cast<char32_t>(keysym - 0x1000000);
        if (keysym == XK_space) key.virt = VirtualKey::Space;
        break;
    }
    return key;
}

unsigned int cursorShape(CCursorType cursor)
{
    switch (cursor) {
    case kCursorWait:
        return XC_watch;
    case kCursorHSize:
        return XC_sb_h_double_arrow;
    case kCursorVSize:
        return XC_sb_v_double_arrow;
    case kCursorSizeAll:
        return XC_fleur;
    case kCursorNESWSize:
        return XC_bottom_left_corner;
    case kCursorNWSESize:
        return XC_bottom_right_corner;
    case kCursorCopy:
        return XC_plus;
    case kCursorNotAllowed:
        return XC_X_cursor;
    case kCursorHand:
        return XC_hand2;
    default:
        return XC_left_ptr;
    }
}

}  // namespace

X11Window::X11Window(CFrame& frame, unsigned long parent) : m_frame(frame)
{
    m_display = XOpenDisplay(nullptr);
    if (!m_display) return;
    m_width = std::max(1, static_cast<int>(frame.getWidth()));
    m_height = std::max(1, static_cast<int>(frame.getHeight()));
    const Window parentWindow = parent ? static_cast<Window>(parent) : DefaultRootWindow(m_display);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    const int screen = DefaultScreen(m_display);
    Visual* visual = DefaultVisual(m_display, screen);
    m_window =
        XCreateWindow(m_display, parentWindow, 0, 0, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), 0,
                      DefaultDepth(m_display, screen), InputOutput, visual, CWBackPixmap | CWEventMask, &attributes);
    if (!m_window) {
        XCloseDisplay(m_display);
        m_display = nullptr;
        return;
    }
    XMapWindow(m_display, m_window);
    m_visual = visual;
    m_depth = DefaultDepth(m_display, screen);
    m_directCopy = (m_depth == 24 || m_depth == 32) && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
                   visual->blue_mask == 0xFF;
    if (m_directCopy)
        m_gc = XCreateGC(m_display, m_window, 0, nullptr);
    else
        m_windowSurface = cairo_xlib_surface_create(m_display, m_window, visual, m_width, m_height);
    allocateBuffer(m_width, m_height);
    // The window exists for the host (on its own connection) once open returns.
    XSync(m_display, False);
}

X11Window::~X11Window()
{
    m_graphics.reset();
    m_buffer.reset();
    cairo_device_t* device = nullptr;
    if (m_windowSurface) {
        device = cairo_device_reference(cairo_surface_get_device(m_windowSurface));
        cairo_surface_finish(m_windowSurface);
        cairo_surface_destroy(m_windowSurface);
    }
    if (m_display) {
        if (m_gc) XFreeGC(m_display, m_gc);
        if (m_cursor) XFreeCursor(m_display, m_cursor);
        if (m_window) XDestroyWindow(m_display, m_window);
        // Let the server answer everything still pending (shared memory
        // transfers of the last drawing) before Cairo lets go of the display.
        XSync(m_display, False);
        if (device) {
            cairo_device_finish(device);
            cairo_device_destroy(device);
        }
        XCloseDisplay(m_display);
    }
}

void X11Window::allocateBuffer(int width, int height)
{
    m_graphics.reset();
    m_buffer = backend::createBitmap(width, height);
    if (m_buffer) m_graphics = backend::createGraphics(*m_buffer);
    m_invalid = CRect(0, 0, width, height);
}

void X11Window::invalidRect(const CRect& rect)
{
    m_invalid.unite(CRect(std::floor(rect.left), std::floor(rect.top), std::ceil(rect.right), std::ceil(rect.bottom)));
}

CButtonState X11Window::buttonState(unsigned int state) const
{
    int32_t buttons = 0;
    if (state & Button1Mask) buttons |= kLButton;
    if (state & Button2Mask) buttons |= kMButton;
    if (state & Button3Mask) buttons |= kRButton;
    if (state & ShiftMask) buttons |= kShift;
    if (state & ControlMask) buttons |= kControl;
    if (state & Mod1Mask) buttons |= kAlt;
    return CButtonState(buttons);
}

void X11Window::handleEvent(XEvent& event)
{
    switch (event.type) {
    case Expose:
        invalidRect(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                          event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress: {
        const CPoint where(event.xbutton.x, event.xbutton.y);
        const unsigned int button = event.xbutton.button;
        const int32_t modifiers = buttonState(event.xbutton.state).getModifierState();
        if (button >= 4 && button <= 7) {
            const float distance = (button == 4 || button == 6) ? 1.f : -1.f;
            const CMouseWheelAxis axis = button <= 5 ? kMouseWheelAxisY : kMouseWheelAxisX;
            m_frame.platformOnWheel(where, axis, distance, CButtonState(modifiers));
            break;
        }
        // The state holds the buttons held before this one went down.
        int32_t state = buttonState(event.xbutton.state).value();
        state |= button == 1 ? kLButton : button == 2 ? kMButton : button == 3 ? kRButton : 0;
        m_frame.platformOnMouseDown(where, CButtonState(state));
        break;
    }
    case ButtonRelease: {
        const unsigned int button = event.xbutton.button;
        if (button >= 4) break;
        int32_t state = buttonState(event.xbutton.state).value();
        state |= button == 1 ? kLButton : button == 2 ? kMButton : kRButton;
        m_frame.platformOnMouseUp(CPoint(event.xbutton.x, event.xbutton.y), CButtonState(state));
        break;
    }
    case MotionNotify: {
        // Only the latest of a run of motions matters.
        while (XCheckTypedWindowEvent(m_display, m_window, MotionNotify, &event)) {}
        m_frame.platformOnMouseMoved(CPoint(event.xmotion.x, event.xmotion.y), buttonState(event.xmotion.state));
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal) m_frame.platformOnMouseExited();
        break;
    case KeyPress: {
        CKeyCode key = keyFromEvent(event.xkey);
        m_frame.platformOnKeyDown(key);
        break;
    }
    case KeyRelease: {
        CKeyCode key = keyFromEvent(event.xkey);
        m_frame.platformOnKeyUp(key);
        break;
    }
    default:
        break;
    }
}

void X11Window::drawInvalid()
{
    if (!m_graphics || (!m_windowSurface && !m_gc)) return;
    CRect area = m_invalid;
    m_invalid = CRect();
    area.bound(CRect(0, 0, m_width, m_height));
    if (area.isEmpty()) return;
    {
        CDrawContext context(m_graphics.get(), CRect(0, 0, m_width, m_height));
        m_frame.platformDrawOpaque(&context, area);
        m_graphics->flush();
    }
    // Copy the drawn part from the back buffer to the window.
    auto* buffer = static_cast<CairoBitmap*>(m_buffer.get());
    if (m_directCopy) {
        cairo_surface_t* pixels = buffer->surface();
        cairo_surface_flush(pixels);
        XImage* image =
            XCreateImage(m_display, m_visual, static_cast<unsigned>(m_depth), ZPixmap, 0,
                         reinterpret_cast<char*>(cairo_image_surface_get_data(pixels)), static_cast<unsigned>(m_width),
                         static_cast<unsigned>(m_height), 32, cairo_image_surface_get_stride(pixels));
        if (!image) return;
        // The buffer holds 32-bit words in this machine's byte order; Xlib
        // converts when the server's differs.
        const uint32_t probe = 1;
        image->byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
        const int x = static_cast<int>(area.left);
        const int y = static_cast<int>(area.top);
        XPutImage(m_display, m_window, m_gc, image, x, y, x, y, static_cast<unsigned>(area.getWidth()),
                  static_cast<unsigned>(area.getHeight()));
        image->data = nullptr;  // the pixels belong to the buffer
        XDestroyImage(image);
        return;
    }
    cairo_t* cr = cairo_create(m_windowSurface);
    cairo_rectangle(cr, area.left, area.top, area.getWidth(), area.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, buffer->surface(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(m_windowSurface);
}

void X11Window::idle()
{
    if (!m_display) return;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.xany.window == m_window) handleEvent(event);
    }
    drawInvalid();
    XFlush(m_display);
}

bool X11Window::setSize(const CPoint& size)
{
    if (!m_display) return false;
    m_width = std::max(1, static_cast<int>(size.x));
    m_height = std::max(1, static_cast<int>(size.y));
    XResizeWindow(m_display, m_window, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
    if (m_windowSurface) cairo_xlib_surface_set_size(m_windowSurface, m_width, m_height);
    allocateBuffer(m_width, m_height);
    XFlush(m_display);
    return true;
}

void X11Window::setCursor(CCursorType cursor)
{
    if (!m_display) return;
    const Cursor shape = XCreateFontCursor(m_display, cursorShape(cursor));
    XDefineCursor(m_display, m_window, shape);
    if (m_cursor) XFreeCursor(m_display, m_cursor);
    m_cursor = shape;
    XFlush(m_display);
}

bool X11Window::queryPointer(int& x, int& y, unsigned int& mask) const
{
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    return XQueryPointer(m_display, m_window, &root, &child, &rootX, &rootY, &x, &y, &mask);
}

bool X11Window::getCurrentMousePosition(CPoint& where)
{
    if (!m_display) return false;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    if (!queryPointer(x, y, mask)) return false;
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return false;
    where = CPoint(x, y);
    return true;
}

CButtonState X11Window::getCurrentMouseButtons()
{
    if (!m_display) return CButtonState();
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    queryPointer(x, y, mask);
    return buttonState(mask);
}

void* X11Window::getNativeHandle() { return reinterpret_cast<void*>(static_cast<uintptr_t>(m_window)); }

namespace backend {
std::unique_ptr<IPlatformWindow> createWindow(PlatformType type, void* parent, CFrame& frame)
{
    if (type == PlatformType::kHeadless) return std::make_unique<HeadlessWindow>(frame);
    if (type == PlatformType::kHWND) return nullptr;
    auto window = std::make_unique<X11Window>(frame, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)));
    if (!window->isValid()) return nullptr;
    return window;
}
}  // namespace backend
