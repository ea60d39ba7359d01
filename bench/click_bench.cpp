#include "bench/click_bench.h"

#include <windows.h>

#include <cstdio>

#include "app/main_window_layout.h"
#include "bench/gui_process.h"

namespace bench {

namespace {

// Time from the click to the confirmation box, or a negative value.
double clickInstall(const std::wstring& benchDir, const std::wstring& phraseListDir) {
    GuiProcess process(benchDir + L"\\Kanaroute.exe", phraseListDir, L"KanarouteForm");
    if (!process.ready()) {
        return -1;
    }
    HWND check1 = childWithId(process.mainWindow(), kana::main_window::kCheck1);
    HWND command3 = childWithId(process.mainWindow(), kana::main_window::kCommand3);
    if (check1 == nullptr || command3 == nullptr) {
        return -1;
    }
    if (::SendMessageW(check1, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        ::SendMessageW(check1, BM_SETCHECK, BST_CHECKED, 0);
    }
    const double start = nowMs();
    ::PostMessageW(command3, BM_CLICK, 0, 0);
    while (nowMs() < start + 20000) {
        if (process.visibleWindows(L"#32770") > 0) {
            return nowMs() - start;
        }
        ::Sleep(1);
    }
    return -1;
}

} // namespace

std::vector<Row> benchmarkInstallClick(const std::wstring& benchDir, const std::wstring& phraseListDir,
                                       const std::string& sizeLabel, int runs) {
    const std::wstring phraseList = phraseListDir + L"\\date.dat";
    const std::wstring copyTarget = phraseListDir + L"\\plain-copy.ini";
    std::vector<double> clickMs;
    std::vector<double> copyMs;
    for (int run = -1; run < runs; ++run) {
        const double clicked = clickInstall(benchDir, phraseListDir);
        if (clicked < 0) {
            std::fprintf(stderr, "the install through the window did not reach its confirmation box\n");
            return {};
        }
        ::Sleep(300);
        const double start = nowMs();
        ::CopyFileW(phraseList.c_str(), copyTarget.c_str(), FALSE);
        const double copied = nowMs() - start;
        if (run >= 0) {
            clickMs.push_back(clicked);
            copyMs.push_back(copied);
        }
    }
    ::DeleteFileW(copyTarget.c_str());
    Row row;
    row.area = "4 Operations";
    row.what = "install with Check1 through the window (click to confirmation box), " + sizeLabel +
               ", vs one plain copy of date.dat";
    row.unit = "ms";
    row.measured = summarise(clickMs);
    row.floor = summarise(copyMs);
    row.target = "(information: includes refresh and message box)";
    printRow(row);
    return {row};
}

} // namespace bench
