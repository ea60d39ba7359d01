// The main window's first frame shows every control: the screen right after
// start-up is the same as the screen after every control has been made to
// paint itself again.
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

} // namespace

TEST(FirstFrame, ShowsWhatTheControlsPaintThemselves) {
    const InputMethod method = installInputMethod(L"first-frame");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
    writeFile(method.file(L"phrases最近备份.ini"), phraseFile("latest"));
    writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
    writeFile(method.file(L"time001.ini"), "2025/1/2 08:00:01\r\n");
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
