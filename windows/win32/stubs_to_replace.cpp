// Temporary: replaced by the real windows.
#include "common/layout.h"
#include "windows/win32/about_box.h"
#include "windows/win32/advertisement_window.h"
#include "windows/win32/help_window.h"
#include "windows/win32/web_links.h"

namespace kana::win32 {
namespace {
constexpr WindowSpec kEmptyHelp{L"Form2", L"help", 8085, 5355, WindowFrame::FixedTool, Background::SystemFace,
                                kWhite, true, Pointer::Default, {L"宋体", 9}, {}};
constexpr WindowSpec kEmptyAd{L"Form3", L"广告栏", 7215, 4620, WindowFrame::FixedSingle, Background::SystemFace,
                              kWhite, false, Pointer::Default, {L"宋体", 9}, {}};
} // namespace
HelpWindow::HelpWindow() : Form(kEmptyHelp) {}
void HelpWindow::showModeless() { ::ShowWindow(hwnd(), SW_SHOW); }
AdvertisementWindow::AdvertisementWindow() : Form(kEmptyAd) {}
void AdvertisementWindow::showModeless() { ::ShowWindow(hwnd(), SW_SHOW); }
void showAboutBox() {}
void openLink(WebLink) {}
} // namespace kana::win32
