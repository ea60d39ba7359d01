// The end-to-end test driver: prepares the stand-in input method, starts the
// real Kanaroute.exe and drives its windows as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/layout.h"

namespace e2e {

// Folders of the build under test, as Windows paths.
std::wstring buildDir();
std::wstring binDir();
std::wstring testOutputDir();

// The stand-in input method for one test: registry values and a fresh,
// empty version directory (installDir + "\" + version).
struct InputMethod {
    std::wstring installDir;
    std::wstring version;
    std::wstring versionDir() const { return installDir + L"\\" + version; }
    std::wstring file(const std::wstring& name) const { return versionDir() + L"\\" + name; }
};
InputMethod installInputMethod(const std::wstring& testName, const std::wstring& version = L"6.2.0.0000",
                               bool withConfigExe = true);
void setRegistry(const std::optional<std::wstring>& installDir, const std::optional<std::wstring>& version);
// Where Wine's desktop trash (the Recycle Bin) keeps the files of this test run.
std::wstring trashFilesDir();

// Files.
void writeFile(const std::wstring& path, const std::string& bytes);
std::optional<std::string> readFile(const std::wstring& path);
bool exists(const std::wstring& path);
void makeDir(const std::wstring& path);
void removeTree(const std::wstring& path);
std::string phraseFile(const std::string& marker); // a small custom-phrase file with a marker line
std::string utf8(const std::wstring& text);        // a path or text as the intent record writes it
std::vector<std::wstring> filesIn(const std::wstring& dir);
// Every entry directly in a folder with its bytes; a folder shows as "<folder>".
std::map<std::wstring, std::string> folderContents(const std::wstring& dir);

// Holds a file open without sharing, as another program may, until released.
// With readOnly it is opened for reading and shared for reading only, as a
// virus scanner may.
class FileHold {
  public:
    explicit FileHold(const std::wstring& path, bool readOnly = false);
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    ~FileHold() { release(); }
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release();

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Ends every process running the executable at this path (for instance the
// stand-in settings program that the program under test started).
void endProcessesOf(const std::wstring& exePath);

// Windows of a process.
std::wstring textOf(HWND hwnd);
std::wstring classOf(HWND hwnd);
HWND child(HWND parent, int id); // searches the whole tree of children
bool isEnabled(HWND hwnd);
bool isChecked(HWND hwnd);
RECT clientRectOnScreen(HWND hwnd);
void postClick(HWND button);                                // BM_CLICK, returns at once
void mouseMoveTo(HWND hwnd, int dx = -1, int dy = -1);      // a real pointer move (centre by default)
void mouseClick(HWND hwnd, int dx = -1, int dy = -1);       // a real click
void mousePress(HWND hwnd, int dx = -1, int dy = -1);       // the pointer there, left button down
void mouseRelease(HWND hwnd, int dx = -1, int dy = -1);     // the pointer there, left button up
void pressKey(WORD key, bool shift = false);                // a real key press and release
void holdKey(WORD key, int repeats);                        // held down: the press, its repeats, the release
HWND focusOf(HWND window);                                  // the focused window of the window's thread
void saveScreenshot(HWND window, const std::wstring& name); // BMP in the test output folder
// What the screen shows of a window, 24-bit bottom-up rows as in a BMP.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::string pixels;
};
ScreenImage captureScreen(HWND window);
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// The same, handing this thread's messages on meanwhile: for events that arrive
// as messages, and for a window of the test that takes part in a change of the
// foreground window.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);
// A key goes down (again while it is down: a repeat), and is released; both return at once.
void keyDown(WORD key);
void keyUp(WORD key);
// Until the window and its children have painted everything invalidated.
bool waitUntilPainted(HWND window, DWORD timeoutMs = 5000);

class Program {
  public:
    // Starts the program with the given current directory (the bin folder by
    // default) and, unless told not to, waits until it is idle. With
    // libraryAtStart, that library is loaded into the program before the
    // program's first instruction runs (through the debug API).
    explicit Program(std::wstring currentDir = L"", std::wstring exe = L"", bool waitUntilIdle = true,
                     const std::wstring& libraryAtStart = L"");
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    DWORD pid() const { return pid_; }
    // Whether the library asked for at start was loaded.
    bool loadedAtStart() const { return loadedAtStart_; }
    bool running() const;
    // The first visible top-level window of the program with this class (and title, when given).
    HWND findWindow(const std::wstring& className, const std::wstring& title = L"") const;
    HWND waitForWindow(const std::wstring& className, const std::wstring& title = L"",
                       DWORD timeoutMs = 15000) const;
    HWND mainWindow(DWORD timeoutMs = 15000) const {
        return waitForWindow(L"KanarouteForm", L"Tessaline", timeoutMs);
    }
    // The help window: a visible window of the program's form class other than the main window.
    HWND findHelpWindow() const;
    HWND waitForHelpWindow(DWORD timeoutMs = 15000) const;
    std::vector<HWND> windows(const std::wstring& className) const; // visible or not
    HWND findMessageBox() const;
    HWND waitForMessageBox(DWORD timeoutMs = 15000) const;
    bool waitForExit(DWORD timeoutMs = 15000) const;
    void kill();

  private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    bool loadedAtStart_ = false;
};

// The stand-in browser records every address it is given in this file (emptied here).
std::wstring recordBrowserAddresses();

// Sets the screen's dots per inch for the programs started while it lives
// (LogPixels of the test prefix) and puts the old value back at the end.
class ScreenDpi {
  public:
    explicit ScreenDpi(DWORD dpi);
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
    ~ScreenDpi();

  private:
    std::optional<DWORD> previous_;
};

// A font as the probe describes it, "face height[ u]": the row's font, or the
// window's default font when the row names none, at dpi.
std::wstring layoutFont(const kana::FontSpec& font, const kana::FontSpec& windowDefault, int dpi);

// What a control reports to a question asked inside the program.
struct InsideView {
    std::wstring font; // "face height[ u]" from WM_GETFONT, or "(none)"
    long painted = 0;  // pixels painted on WM_PRINTCLIENT
    long pixels = 0;   // all pixels of its client area
};

// The widths of a window's icons as WM_GETICON gives them (0 for none).
struct IconWidths {
    int bigIcon = 0;
    int smallIcon = 0;
};

// What the probe saw: every control of the program's windows by id, and each
// window's icons by its title.
struct InsideReport {
    std::map<int, InsideView> controls;
    std::map<std::wstring, std::map<int, InsideView>> controlsOf; // by window title
    std::map<std::wstring, IconWidths> icons;
};

// Wine refuses WM_GETFONT, WM_PRINTCLIENT and icon handles between processes,
// so a small probe library (tests/e2e/probe) is loaded into the program (a
// remote thread calls LoadLibraryW) and asks there. With announcedDpi it first
// tells the program's windows that their monitor's DPI changed to it; with
// highContrast it first switches high contrast on inside the program (Wine
// cannot). One question per run of the program: a library loads once.
InsideReport askInsideTheProgram(const Program& program, std::optional<int> announcedDpi = {},
                                 bool highContrast = false);

// Loads a library into the running program: a remote thread calls
// LoadLibraryW. False when it could not be loaded (its DllMain refused).
bool loadIntoTheProgram(const Program& program, const std::wstring& library);

// Stops the program at an exact point of its next operation: once the intent
// record (found by its file name) holds the whole plan and exactly `marks`
// "done" marks, before the next step begins. The program's thread that wrote
// the mark then waits for good, to be killed by the test. A probe library
// (tests/e2e/probe/record_stop_probe.cpp) loaded into the program does it.
class RecordStop {
  public:
    RecordStop(const Program& program, const std::wstring& recordName, int marks);
    RecordStop(const RecordStop&) = delete;
    RecordStop& operator=(const RecordStop&) = delete;
    ~RecordStop();
    bool loaded() const { return loaded_; }
    // Whether the program has stopped there (within the time given).
    bool stopped(DWORD timeoutMs = 0) const;

  private:
    HANDLE stopped_;
    bool loaded_ = false;
};

// Records inside the program, in order, every write (W) and flush (F) of the
// intent record (found by its file name) and every file step (S): a file
// opened for writing, a rename, a copy, a deletion. The probe library of
// RecordStop does it.
class RecordFlushes {
  public:
    RecordFlushes(const Program& program, const std::wstring& recordName);
    bool loaded() const { return loaded_; }
    std::string events() const;

  private:
    std::wstring log_;
    bool loaded_ = false;
};

// A message box: its text, its title, and its buttons pressed by id.
struct MessageBoxView {
    HWND hwnd;
    std::wstring text() const;
    std::wstring title() const { return textOf(hwnd); }
    bool hasButton(int id) const { return GetDlgItem(hwnd, id) != nullptr; }
    void press(int id) const;
};

} // namespace e2e
