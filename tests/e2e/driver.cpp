#include "tests/e2e/driver.h"

#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

namespace e2e {

namespace {

std::wstring environment(const wchar_t* name) {
    const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

// A Unix path handed in by the test runner, as Wine's drive Z: sees it.
std::wstring fromUnixPath(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return L"Z:" + path;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

std::wstring buildDir() {
    return fromUnixPath(environment(L"KANAROUTE_BUILD"));
}
std::wstring binDir() {
    return buildDir() + L"\\bin";
}
std::wstring testOutputDir() {
    std::wstring dir = fromUnixPath(environment(L"KANAROUTE_TEST_OUTPUT"));
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void setRegistry(const std::optional<std::wstring>& installDir, const std::optional<std::wstring>& version) {
    // Both registry views: the program reads the 32-bit one where Windows
    // Script Host is disabled, whatever its own build.
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\SogouInput", view, 0);
        if (!installDir && !version) {
            continue;
        }
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\SogouInput", 0, nullptr, 0, KEY_ALL_ACCESS | view,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            continue;
        }
        auto set = [key](const wchar_t* name, const std::wstring& value) {
            RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        };
        if (installDir) {
            set(nullptr, *installDir);
        }
        if (version) {
            set(L"Version", *version);
        }
        RegCloseKey(key);
    }
}

std::wstring trashFilesDir() {
    return fromUnixPath(environment(L"XDG_DATA_HOME")) + L"\\Trash\\files";
}

InputMethod installInputMethod(const std::wstring& testName, const std::wstring& version,
                               bool withConfigExe) {
    InputMethod method{L"C:\\e2e\\" + testName + L"\\SogouInput", version};
    removeTree(L"C:\\e2e\\" + testName);
    makeDir(method.versionDir());
    setRegistry(method.installDir, method.version);
    if (withConfigExe) {
        CopyFileW((binDir() + L"\\standin\\config.exe").c_str(), method.file(L"config.exe").c_str(), FALSE);
    }
    return method;
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::optional<std::string> readFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void makeDir(const std::wstring& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') {
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
        }
    }
}

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeTree(full);
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> filesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(name);
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return names;
}

std::map<std::wstring, std::string> folderContents(const std::wstring& dir) {
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& name : filesIn(dir)) {
        const std::wstring path = dir + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            contents[name] = "<folder>";
        } else {
            contents[name] = readFile(path).value_or("<unreadable>");
        }
    }
    return contents;
}

FileHold::FileHold(const std::wstring& path, bool readOnly)
    : handle_(CreateFileW(path.c_str(), readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                          readOnly ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr)) {}

void FileHold::release() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

namespace {
std::wstring fullPathOf(const std::wstring& path) {
    wchar_t full[4096] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), 4096, full, nullptr);
    return length > 0 && length < 4096 ? std::wstring(full, length) : path;
}
} // namespace

void endProcessesOf(const std::wstring& exePath) {
    const std::wstring wanted = fullPathOf(exePath);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                     FALSE, entry.th32ProcessID);
        if (process == nullptr) {
            continue;
        }
        wchar_t image[4096] = {};
        DWORD length = 4096;
        if (QueryFullProcessImageNameW(process, 0, image, &length) &&
            CompareStringOrdinal(fullPathOf(std::wstring(image, length)).c_str(), -1, wanted.c_str(), -1,
                                 TRUE) == CSTR_EQUAL) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

std::string utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::string phraseFile(const std::string& marker) {
    return "; " + marker + "\r\nbj,1=\xe5\x8c\x97\xe4\xba\xac\r\nsig,1=" + marker + "\r\n";
}

std::wstring textOf(HWND hwnd) {
    const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

namespace {
struct ChildSearch {
    int id;
    HWND found;
};
BOOL CALLBACK findChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND child(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(parent, &findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isEnabled(HWND hwnd) {
    return IsWindowEnabled(hwnd) != FALSE;
}
bool isChecked(HWND hwnd) {
    return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT clientRectOnScreen(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void postClick(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

namespace {
void sendMouse(DWORD flags, int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, width - 1);
    input.mi.dy = MulDiv(y, 65535, height - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}
POINT pointIn(HWND hwnd, int dx, int dy) {
    const RECT rect = clientRectOnScreen(hwnd);
    return POINT{dx >= 0 ? rect.left + dx : (rect.left + rect.right) / 2,
                 dy >= 0 ? rect.top + dy : (rect.top + rect.bottom) / 2};
}
} // namespace

void mouseMoveTo(HWND hwnd, int dx, int dy) {
    const POINT point = pointIn(hwnd, dx, dy);
    // Two moves: the second one is what the window under the pointer sees.
    sendMouse(0, point.x - 1, point.y);
    sleepMs(60);
    sendMouse(0, point.x, point.y);
    sleepMs(250);
}

void mouseClick(HWND hwnd, int dx, int dy) {
    const POINT point = pointIn(hwnd, dx, dy);
    sendMouse(0, point.x, point.y);
    sleepMs(80);
    sendMouse(MOUSEEVENTF_LEFTDOWN, point.x, point.y);
    sleepMs(80);
    sendMouse(MOUSEEVENTF_LEFTUP, point.x, point.y);
    sleepMs(300);
}

void mousePress(HWND hwnd, int dx, int dy) {
    const POINT point = pointIn(hwnd, dx, dy);
    sendMouse(0, point.x, point.y);
    sleepMs(80);
    sendMouse(MOUSEEVENTF_LEFTDOWN, point.x, point.y);
    sleepMs(200);
}

void mouseRelease(HWND hwnd, int dx, int dy) {
    const POINT point = pointIn(hwnd, dx, dy);
    sendMouse(0, point.x - 1, point.y);
    sleepMs(80);
    sendMouse(0, point.x, point.y);
    sleepMs(80);
    sendMouse(MOUSEEVENTF_LEFTUP, point.x, point.y);
    sleepMs(300);
}

namespace {
void sendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(INPUT));
}
} // namespace

void keyDown(WORD key) {
    sendKey(key, false);
}

void keyUp(WORD key) {
    sendKey(key, true);
}

void pressKey(WORD key, bool shift) {
    if (shift) {
        sendKey(VK_SHIFT, false);
    }
    sendKey(key, false);
    sendKey(key, true);
    if (shift) {
        sendKey(VK_SHIFT, true);
    }
    sleepMs(250);
}

void holdKey(WORD key, int repeats) {
    // Each further key-down while the key is down is a repeat, as the
    // keyboard sends while a key is held.
    for (int i = 0; i <= repeats; ++i) {
        sendKey(key, false);
        sleepMs(40);
    }
    sendKey(key, true);
    sleepMs(400);
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::wstring recordBrowserAddresses() {
    const std::wstring record = testOutputDir() + L"\\browser-addresses.txt";
    DeleteFileW(record.c_str());
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    std::wstring browser = buildDir().substr(2) + L"\\record-browser.sh";
    for (wchar_t& c : browser) {
        c = c == L'\\' ? L'/' : c;
    }
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browser.c_str()),
                   static_cast<DWORD>((browser.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return record;
}

namespace {
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
}

ScreenDpi::ScreenDpi(DWORD dpi) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
        ERROR_SUCCESS) {
        previous_ = value;
    }
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    RegCloseKey(key);
}

ScreenDpi::~ScreenDpi() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (previous_) {
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*previous_),
                       sizeof(DWORD));
    } else {
        RegDeleteValueW(key, L"LogPixels");
    }
    RegCloseKey(key);
}

std::wstring layoutFont(const kana::FontSpec& font, const kana::FontSpec& windowDefault, int dpi) {
    const kana::FontSpec& used = font.face.empty() ? windowDefault : font;
    return std::wstring(used.face) + L" " + std::to_wstring(kana::pointsToPixelHeight(used.points, dpi)) +
           (used.underline ? L" u" : L"");
}

bool loadIntoTheProgram(const Program& program, const std::wstring& library) {
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                     PROCESS_VM_READ | PROCESS_QUERY_INFORMATION,
                                 FALSE, program.pid());
    if (process == nullptr) {
        return false;
    }
    const SIZE_T bytes = (library.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process, remote, library.c_str(), bytes, nullptr);
    // kernel32 lies at the same address in every process of one architecture.
    const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    DWORD loaded = 0;
    if (HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr)) {
        if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) {
            GetExitCodeThread(thread, &loaded); // the module's address, cut to 32 bits: 0 when it failed
        }
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return loaded != 0;
}

RecordStop::RecordStop(const Program& program, const std::wstring& recordName, int marks)
    : stopped_(CreateEventW(nullptr, TRUE, FALSE,
                            (L"kanaroute-record-stop-" + std::to_wstring(program.pid())).c_str())) {
    const std::wstring probe = binDir() + L"\\record_stop_probe.dll";
    const std::wstring request = probe + L"." + std::to_wstring(program.pid()) + L".request";
    const std::wstring text = std::to_wstring(marks) + L"|" + recordName;
    writeFile(request,
              std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    loaded_ = loadIntoTheProgram(program, probe);
    DeleteFileW(request.c_str());
}

RecordStop::~RecordStop() {
    if (stopped_ != nullptr) {
        CloseHandle(stopped_);
    }
}

bool RecordStop::stopped(DWORD timeoutMs) const {
    return stopped_ != nullptr && WaitForSingleObject(stopped_, timeoutMs) == WAIT_OBJECT_0;
}

RecordFlushes::RecordFlushes(const Program& program, const std::wstring& recordName) {
    const std::wstring probe = binDir() + L"\\record_stop_probe.dll";
    const std::wstring request = probe + L"." + std::to_wstring(program.pid()) + L".request";
    log_ = probe + L"." + std::to_wstring(program.pid()) + L".flushes";
    DeleteFileW(log_.c_str());
    const std::wstring text = L"-1|" + recordName;
    writeFile(request,
              std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    loaded_ = loadIntoTheProgram(program, probe);
    DeleteFileW(request.c_str());
}

std::string RecordFlushes::events() const {
    return readFile(log_).value_or("");
}

InsideReport askInsideTheProgram(const Program& program, std::optional<int> announcedDpi, bool highContrast) {
    const std::wstring probe = binDir() + L"\\control_probe.dll";
    const std::wstring report = probe + L".txt";
    const std::wstring request = probe + L".dpi";
    const std::wstring contrastRequest = probe + L".contrast";
    DeleteFileW(report.c_str());
    DeleteFileW(request.c_str());
    DeleteFileW(contrastRequest.c_str());
    if (announcedDpi) {
        writeFile(request, std::to_string(*announcedDpi));
    }
    if (highContrast) {
        writeFile(contrastRequest, "on");
    }
    loadIntoTheProgram(program, probe);
    InsideReport seen;
    const bool answered = waitUntil([&] { return exists(report); }, 10000);
    DeleteFileW(request.c_str());
    DeleteFileW(contrastRequest.c_str());
    if (!answered) {
        return seen;
    }
    const std::string raw = readFile(report).value_or("");
    std::wistringstream lines(
        std::wstring(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t)));
    std::wstring id;
    std::wstring painted;
    std::wstring pixels;
    InsideView view;
    std::wstring window;
    while (std::getline(lines, id, L'|') && std::getline(lines, view.font, L'|') &&
           std::getline(lines, painted, L'|') && std::getline(lines, pixels)) {
        if (id == L"icons") { // icons|big|small|title, before the window's controls
            seen.icons[pixels] = IconWidths{std::stoi(view.font), std::stoi(painted)};
            window = pixels;
            continue;
        }
        view.painted = std::stol(painted);
        view.pixels = std::stol(pixels);
        seen.controls[std::stoi(id)] = view;
        seen.controlsOf[window][std::stoi(id)] = view;
    }
    return seen;
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (condition()) {
            return true;
        }
        sleepMs(20);
    }
    return condition();
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        sleepMs(10);
    }
}

ScreenImage captureScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ScreenImage image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
        const DWORD stride = ((static_cast<DWORD>(image.width) * 3 + 3) & ~3u);
        image.pixels.assign(static_cast<const char*>(bits), stride * static_cast<DWORD>(image.height));
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

namespace {
BOOL CALLBACK findUnpainted(HWND hwnd, LPARAM found) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool waitUntilPainted(HWND window, DWORD timeoutMs) {
    const bool painted = waitUntil(
        [&] {
            bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
            if (!unpainted) {
                EnumChildWindows(window, &findUnpainted, reinterpret_cast<LPARAM>(&unpainted));
            }
            return !unpainted;
        },
        timeoutMs);
    // The update region is emptied when painting begins: a message answered
    // afterwards means the thread is back in its message loop, done painting.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &ignored);
    return painted;
}

void saveScreenshot(HWND window, const std::wstring& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    waitUntilPainted(window);
    const ScreenImage image = captureScreen(window);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = image.width;
    info.biHeight = image.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(image.pixels.size());
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes.append(image.pixels);
    writeFile(testOutputDir() + L"\\" + name + L".bmp", bytes);
}

namespace {

// Runs a new process, started with DEBUG_ONLY_THIS_PROCESS, up to its entry
// point, loads the library there (a remote thread calls LoadLibraryW while the
// main thread waits at the entry point), stops debugging it and lets it run.
// False when the library could not be loaded; the process then runs without it.
bool loadAtEntryPoint(const PROCESS_INFORMATION& info, const std::wstring& library) {
    DebugSetProcessKillOnExit(FALSE);
    void* entry = nullptr;
    BYTE original = 0;
    DWORD loaderThread = 0;
    void* remotePath = nullptr;
    bool loaded = false;
    for (bool running = true; running;) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 15000)) {
            break;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT: {
            if (event.u.CreateProcessInfo.hFile != nullptr) {
                CloseHandle(event.u.CreateProcessInfo.hFile);
            }
            entry = reinterpret_cast<void*>(event.u.CreateProcessInfo.lpStartAddress);
            const BYTE breakpoint = 0xCC;
            ReadProcessMemory(info.hProcess, entry, &original, 1, nullptr);
            WriteProcessMemory(info.hProcess, entry, &breakpoint, 1, nullptr);
            FlushInstructionCache(info.hProcess, entry, 1);
            break;
        }
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile != nullptr) {
                CloseHandle(event.u.LoadDll.hFile);
            }
            break;
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD& exception = event.u.Exception.ExceptionRecord;
            if (exception.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            }
            if (exception.ExceptionAddress != entry || entry == nullptr) {
                break; // the loader's own breakpoint
            }
            WriteProcessMemory(info.hProcess, entry, &original, 1, nullptr);
            FlushInstructionCache(info.hProcess, entry, 1);
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL;
            GetThreadContext(info.hThread, &context);
#if defined(_WIN64)
            context.Rip = reinterpret_cast<DWORD64>(entry);
#else
            context.Eip = reinterpret_cast<DWORD>(entry);
#endif
            SetThreadContext(info.hThread, &context);
            SuspendThread(info.hThread);
            const SIZE_T bytes = (library.size() + 1) * sizeof(wchar_t);
            remotePath =
                VirtualAllocEx(info.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
            WriteProcessMemory(info.hProcess, remotePath, library.c_str(), bytes, nullptr);
            // kernel32 lies at the same address in every process of one architecture.
            const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
                reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
            if (HANDLE thread = CreateRemoteThread(info.hProcess, nullptr, 0, loadLibrary, remotePath, 0,
                                                   &loaderThread)) {
                CloseHandle(thread);
            } else {
                ResumeThread(info.hThread);
                running = false;
            }
            break;
        }
        case EXIT_THREAD_DEBUG_EVENT:
            if (event.dwThreadId == loaderThread) {
                // The module's address cut to 32 bits: 0 when the load failed.
                loaded = event.u.ExitThread.dwExitCode != 0;
                running = false;
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            running = false;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    DebugActiveProcessStop(info.dwProcessId);
    if (loaderThread != 0) {
        ResumeThread(info.hThread);
    }
    if (remotePath != nullptr) {
        VirtualFreeEx(info.hProcess, remotePath, 0, MEM_RELEASE);
    }
    return loaded;
}

} // namespace

Program::Program(std::wstring currentDir, std::wstring exe, bool waitUntilIdle,
                 const std::wstring& libraryAtStart) {
    if (currentDir.empty()) {
        currentDir = binDir();
    }
    if (exe.empty()) {
        exe = binDir() + L"\\Kanaroute.exe";
    }
    // The pointer starts in the screen's corner, away from where windows open:
    // one Wine server serves the whole run, and the pointer stays where the
    // last test left it.
    SetCursorPos(0, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const DWORD flags = libraryAtStart.empty() ? 0 : DEBUG_ONLY_THIS_PROCESS;
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                       currentDir.c_str(), &startup, &info)) {
        process_ = info.hProcess;
        pid_ = info.dwProcessId;
        if (!libraryAtStart.empty()) {
            loadedAtStart_ = loadAtEntryPoint(info, libraryAtStart);
        }
        CloseHandle(info.hThread);
        if (waitUntilIdle) {
            WaitForInputIdle(process_, 10000);
        }
    }
}

Program::~Program() {
    kill();
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

bool Program::running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Program::kill() {
    if (running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
}

bool Program::waitForExit(DWORD timeoutMs) const {
    return process_ != nullptr && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

namespace {
struct WindowSearch {
    DWORD pid;
    std::wstring className;
    std::vector<HWND> found;
};
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && classOf(hwnd) == search->className) {
        search->found.push_back(hwnd);
    }
    return TRUE;
}
} // namespace

std::vector<HWND> Program::windows(const std::wstring& className) const {
    WindowSearch search{pid_, className, {}};
    EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::findWindow(const std::wstring& className, const std::wstring& title) const {
    for (HWND hwnd : windows(className)) {
        if (IsWindowVisible(hwnd) && (title.empty() || textOf(hwnd) == title)) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND Program::waitForWindow(const std::wstring& className, const std::wstring& title, DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(className, title)) != nullptr || !running(); }, timeoutMs);
    return found;
}

HWND Program::findHelpWindow() const {
    for (HWND hwnd : windows(L"KanarouteForm")) {
        if (IsWindowVisible(hwnd) && textOf(hwnd) != L"Tessaline") {
            return hwnd;
        }
    }
    return nullptr;
}

HWND Program::waitForHelpWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findHelpWindow()) != nullptr || !running(); }, timeoutMs);
    return found;
}

HWND Program::findMessageBox() const {
    return findWindow(L"#32770");
}

HWND Program::waitForMessageBox(DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findMessageBox()) != nullptr || !running(); }, timeoutMs);
    return found;
}

std::wstring MessageBoxView::text() const {
    return textOf(GetDlgItem(hwnd, 0xFFFF));
}

void MessageBoxView::press(int id) const {
    HWND button = GetDlgItem(hwnd, id);
    if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(hwnd, WM_COMMAND, id, 0);
    }
    waitUntil([this] { return !IsWindow(hwnd); }, 5000);
}

} // namespace e2e
