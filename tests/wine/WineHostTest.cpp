// The Windows plug-in under wine, loaded by the project's host built for
// Windows: the descriptor, texts formatted by the Windows C runtime and the
// message-box layer; the same odd hosts as natively (a short sequence of odd
// rates, block sizes and call orders), then the host fuzzer's committed
// sessions (corpus and regressions) replayed; and (as wine_editor_check, on
// a virtual display) the editor opened through effEditOpen as a child of a
// plain parent window, idled while it paints, clicked (a switch and the tool
// bar's program stepper) and closed, ten times, with its size and colour
// scheme in the registry. The exports are wine_dll_exports'
// (scripts/check-dll.sh), the rendered sound render_wine_compare's (against
// the Linux module).
#include "source/engine/ParameterIndex.h"
#include "tests/support/SaneBlocks.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

static std::string g_module;
static std::string g_fuzzFolder;

namespace {

std::unique_ptr<PluginHost> loaded()
{
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->load(g_module, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    return host;
}

bool renderSane(PluginHost& host, int frames, int block)
{
    return testing_support::sane(testing_support::renderOverNaN(host, frames, block));
}

TEST(WindowsModule, DescriptorAndTexts)
{
    auto host = loaded();
    ASSERT_TRUE(host);
    host->start(44100.0f, 512);
    AEffect* fx = host->effect();
    EXPECT_EQ(fx->numParams, 43);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x139);
    EXPECT_EQ(host->effectName(), "Ondrel by Zentorial");
    // Parameters at values, and their texts.
    const std::pair<int, float> values[] = {
        {kMastertuning, 0.0f}, {kEQBRHz, 0.5f}, {kEQBRGain, 0.0f}, {kGain_out, 0.0f}, {kGain_out, 1.0f}};
    const char* texts[] = {"-250 380.84", "774.60", "-98.0 dB", "-\xE2\x88\x9E", "+11.4"};
    for (int k = 0; k < 5; ++k) {
        host->setParameter(values[k].first, values[k].second);
        EXPECT_EQ(host->parameterDisplay(values[k].first), texts[k]) << k;
    }
    EXPECT_EQ(host->canDo("receiveVstMidiEvent"), 1);
}

TEST(WindowsModule, SampleRateWarningGoesThroughTheMessageLayer)
{
    char path[] = "ondrel-wine-messages.txt";
    std::remove(path);
    _putenv_s("ONDREL_MESSAGE_LOG", path);
    {
        auto host = loaded();
        ASSERT_TRUE(host);
        host->start(44100.0f, 512);
        host->dispatch(effSetSampleRate, 0, 0, nullptr, 32000.0f);
    }
    _putenv_s("ONDREL_MESSAGE_LOG", "");
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "Warning!|Minimum supported SampleRate exceeded");
    in.close();
    std::remove(path);
}

TEST(WindowsOddHosts, RatesBlockSizesAndCallOrders)
{
    auto host = loaded();
    ASSERT_TRUE(host);
    host->dispatch(effOpen);
    host->queueMidi(0, 0x90, 60, 100);
    EXPECT_TRUE(renderSane(*host, 512, 512)) << "before resume";
    host->dispatch(effSetBlockSize, 0, 512);
    host->resume();
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f, 22050.0f}) {
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);  // while resumed
        for (int block : {1, 7, 513, 8192}) {
            host->queueMidi(0, 0x90, 57, 110);
            EXPECT_TRUE(renderSane(*host, block < 64 ? 16 * block : block, block)) << rate << " Hz, " << block;
        }
    }
    host->suspend();
    EXPECT_TRUE(renderSane(*host, 256, 256)) << "after suspend";
}

TEST(WindowsOddHosts, HostFuzzerSessionsReplayed) { testing_support::replayCommittedSessions(g_fuzzFolder, loaded); }

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(WindowsEditor, OpensPaintsTakesClicksAndClosesInAHostWindow)
{
    auto loadedHost = loaded();
    ASSERT_TRUE(loadedHost);
    PluginHost& host = *loadedHost;
    host.start(44100.0f, 512);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OndrelHostWindow";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 620,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr) << "host window";

    // The default size, whatever an earlier run left in the registry.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "skin");
    ERect* rect = nullptr;
    ASSERT_TRUE(host.dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect) << "editor rectangle";
    bool opened = true, sized = true, clicked = true, closed = true;
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
            EXPECT_TRUE(GetRValue(pixel) == 24 && GetGValue(pixel) == 26 && GetBValue(pixel) == 29)
                << "window shows the panel, not " << std::hex << pixel;
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
            EXPECT_TRUE(host.programName() != program && host.countCalls(audioMasterUpdateDisplay) >= 1)
                << "a click on the program stepper selects the next program, not " << program << " -> "
                << host.programName();
        }
        host.dispatch(effEditClose);
        pump();
        closed = closed && !IsWindow(child) && GetWindow(parent, GW_CHILD) == nullptr;
    }
    EXPECT_TRUE(opened) << "editor opened as a child window 10 times";
    EXPECT_TRUE(sized) << "child window has the editor's size";
    EXPECT_TRUE(clicked) << "a click sets the parameter with one begin/end pair";
    EXPECT_TRUE(closed) << "child window destroyed at every close";

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
    EXPECT_EQ(openedWidth(REG_BINARY, &large, sizeof large), (LONG)(893 * 1.2f))
        << "registry size 2 opens at 1.2 times";
    EXPECT_EQ(openedWidth(REG_SZ, "2", 2), 893) << "a text in place of the size gives the default";
    DWORD type = 0, scheme = 99, bytes = sizeof scheme;
    const bool stored = RegGetValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "colourscheme", RRF_RT_ANY,
                                     &type, &scheme, &bytes) == ERROR_SUCCESS;
    EXPECT_TRUE(stored && type == REG_DWORD && scheme < 8) << "colour scheme kept as a REG_DWORD";
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Zentorial\\Ondrel", "skin");
    DestroyWindow(parent);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PATH-TO-Ondrel.dll HOST-FUZZER-FOLDER [gtest options]\n", argv[0]);
        return 2;
    }
    g_module = argv[1];
    g_fuzzFolder = argv[2];
    return RUN_ALL_TESTS();
}
