// The Windows plug-in's editor under wine: loaded by the project's host
// built for Windows, opened through effEditOpen as a child of a plain parent
// window, idled while it paints, clicked (a switch and the tool bar's
// program stepper), and closed, ten times. Prints one
// line per check; exit code 0 when all pass. Argument: the DLL's path.
#include "tools/host/PluginHost.h"
#include "source/engine/ParameterIndex.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    PluginHost host;
    std::string error;
    if (!host.load(argv[1], error)) {
        std::printf("FAIL load: %s\n", error.c_str());
        return 1;
    }
    host.start(44100.0f, 512);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OndrelHostWindow";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 620,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    check(parent != nullptr, "host window created");
    if (!parent) return 1;

    // The default size, whatever an earlier run left in the registry.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "skin");
    ERect* rect = nullptr;
    check(host.dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect, "editor rectangle");
    bool opened = true, sized = true, painted = true, clicked = true, stepped = true, closed = true;
    for (int i = 0; i < 10; ++i) {
        opened = opened && host.dispatch(effEditOpen, 0, 0, parent) == 1;
        HWND child = GetWindow(parent, GW_CHILD);
        opened = opened && child && IsWindow(child);
        if (!child) break;
        RECT client{};
        GetClientRect(child, &client);
        sized = sized && client.right == rect->right && client.bottom == rect->bottom;
        for (int k = 0; k < 5; ++k) {
            pump();
            host.dispatch(effEditIdle);
        }
        if (i == 0) {
            // The panel's colour in an empty place, read back from the window.
            RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            HDC dc = GetDC(child);
            const COLORREF pixel = GetPixel(dc, 530, 470);
            ReleaseDC(child, dc);
            painted = GetRValue(pixel) == 24 && GetGValue(pixel) == 26 && GetBValue(pixel) == 29;
            if (!painted) std::printf("     window pixel %06lx\n", (unsigned long)pixel);
            // A click on the "EQOn" switch toggles its parameter through the host.
            const float before = host.getParameter(kEQOn);
            SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(555, 289));
            SendMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(555, 289));
            clicked = host.getParameter(kEQOn) != before && host.countCalls(audioMasterBeginEdit) == 1 &&
                      host.countCalls(audioMasterEndEdit) == 1;
            // The right half of the program stepper (415..677 x 35..47) selects the next program.
            const std::string program = host.programName();
            SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(660, 41));
            SendMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(660, 41));
            stepped = host.programName() != program && host.countCalls(audioMasterUpdateDisplay) >= 1;
            if (!stepped) std::printf("     program %s -> %s\n", program.c_str(), host.programName().c_str());
        }
        host.dispatch(effEditClose);
        pump();
        closed = closed && !IsWindow(child) && GetWindow(parent, GW_CHILD) == nullptr;
    }
    check(opened, "editor opened as a child window 10 times");
    check(sized, "child window has the editor's size");
    check(painted, "window shows the panel");
    check(clicked, "a click sets the parameter with one begin/end pair");
    check(stepped, "a click on the program stepper selects the next program");
    check(closed, "child window destroyed at every close");

    // The size is read from the registry at every open: a float (REG_BINARY)
    // of the size index; a value of another type counts as missing.
    auto openedWidth = [&](DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, "skin", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
        host.dispatch(effEditOpen, 0, 0, parent);
        RECT client{};
        GetClientRect(GetWindow(parent, GW_CHILD), &client);
        host.dispatch(effEditClose);
        pump();
        return client.right;
    };
    const float large = 2.0f;
    check(openedWidth(REG_BINARY, &large, sizeof large) == (LONG)(893 * 1.2f), "registry size 2 opens at 1.2 times");
    check(openedWidth(REG_SZ, "2", 2) == 893, "a text in place of the size gives the default");
    DWORD type = 0, scheme = 99, bytes = sizeof scheme;
    const bool stored = RegGetValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "colourscheme", RRF_RT_ANY,
                                     &type, &scheme, &bytes) == ERROR_SUCCESS;
    check(stored && type == REG_DWORD && scheme < 8, "colour scheme kept as a REG_DWORD");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "skin");
    DestroyWindow(parent);
    std::printf("%s\n", g_failures == 0 ? "all checks passed" : "checks failed");
    return g_failures == 0 ? 0 : 1;
}
