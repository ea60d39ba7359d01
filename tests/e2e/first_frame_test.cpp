// The main window's first frame is painted in one pass by the window itself
// (the controls are kept out of the system's redraw while it is shown). What
// the user sees must be exactly what the controls paint on their own: the
// screen right after start-up is compared with the screen after every
// control has been made to paint itself again.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace {

// "" when the two images are the same, else where they differ.
std::string differences(const ScreenImage& first, const ScreenImage& repainted) {
    if (first.width != repainted.width || first.height != repainted.height) {
        return "the window changed its size";
    }
    const int stride = static_cast<int>(first.pixels.size()) / std::max(first.height, 1);
    int count = 0;
    RECT box{first.width, first.height, -1, -1};
    for (int row = 0; row < first.height; ++row) {
        for (int x = 0; x < first.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(row * stride + x * 3);
            if (first.pixels.compare(at, 3, repainted.pixels, at, 3) != 0) {
                const int y = first.height - 1 - row; // the rows are stored bottom-up
                ++count;
                box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
            }
        }
    }
    if (count == 0) {
        return {};
    }
    std::ostringstream text;
    text << count << " pixels differ, within (" << box.left << "," << box.top << ")-(" << box.right << ","
         << box.bottom << ") of the window";
    return text.str();
}

BOOL CALLBACK countVisible(HWND child, LPARAM counter) {
    if (IsWindowVisible(child)) {
        ++*reinterpret_cast<int*>(counter);
    }
    return TRUE;
}

int visibleChildren(HWND window) {
    int count = 0;
    EnumChildWindows(window, &countVisible, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST(FirstFrame, ShowsWhatTheControlsPaintThemselves) {
    struct State {
        const char* name;
        bool phrases;
        bool backups;
    };
    // With everything present most controls are enabled; with nothing, the
    // backup and restore controls are disabled and some are hidden.
    for (const State state : {State{"phrases and backups", true, true}, State{"nothing yet", false, false}}) {
        SCOPED_TRACE(state.name);
        const InputMethod method = installInputMethod(L"first-frame");
        if (state.phrases) {
            writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
        }
        if (state.backups) {
            writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
            writeFile(method.file(L"phrases最近备份.ini"), phraseFile("latest"));
            writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
            writeFile(method.file(L"time001.ini"), "2025/1/2 08:00:01\r\n");
        }
        Program program;
        HWND window = program.mainWindow();
        ASSERT_NE(window, nullptr);
        const ScreenImage first = captureScreen(window);
        ASSERT_FALSE(first.pixels.empty());

        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        waitUntilPainted(window); // the program's thread paints what was invalidated
        const ScreenImage repainted = captureScreen(window);
        EXPECT_EQ(differences(first, repainted), "");
    }
}

// The controls are never hidden to save the redraw: whoever looks at the
// window the moment it appears (a screen reader, a test) finds them all.
TEST(FirstFrame, ControlsAreVisibleAsSoonAsTheWindowIs) {
    const InputMethod method = installInputMethod(L"first-frame-visible");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        Program program(L"", L"", false);
        HWND window = nullptr;
        const ULONGLONG end = GetTickCount64() + 15000;
        while (window == nullptr && GetTickCount64() < end) {
            window = program.findWindow(L"KanarouteForm", L"Tessaline");
        }
        ASSERT_NE(window, nullptr);
        const int atFirstSight = visibleChildren(window);
        waitUntilPainted(window);
        EXPECT_GT(atFirstSight, 0);
        EXPECT_EQ(atFirstSight, visibleChildren(window));
    }
}
