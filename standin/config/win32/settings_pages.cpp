#include "standin/config/win32/settings_pages.h"

#include "standin/config/win32/resource.h"

namespace kana::standin {

namespace {

using K = PageControlKind;

constexpr PageInfo kPages[] = {
    {L"常用", L"常用设置"}, {L"按键", L"按键设置"}, {L"外观", L"外观设置"},
    {L"词库", L"词库设置"}, {L"高级", L"高级设置"}, {L"关于", L"关于"},
};

constexpr PageControl kControls[] = {
    // 常用
    {0, K::GroupBox, 0, L"默认状态", 0, 0, 400, 52},
    {0, K::FirstRadio, 0, L"中文", 16, 22, 80, 20, true},
    {0, K::Radio, 0, L"英文", 120, 22, 80, 20},
    {0, K::GroupBox, 0, L"输入风格", 0, 62, 400, 52},
    {0, K::FirstRadio, 0, L"搜狗风格", 16, 84, 100, 20, true},
    {0, K::Radio, 0, L"微软风格", 120, 84, 100, 20},
    {0, K::GroupBox, 0, L"特殊习惯", 0, 124, 400, 120},
    {0, K::FirstRadio, 0, L"全拼", 16, 146, 80, 20, true},
    {0, K::Radio, 0, L"双拼", 120, 146, 80, 20},
    {0, K::CheckBox, 0, L"启用动态组词", 16, 172, 180, 20, true},
    {0, K::CheckBox, 0, L"输入时显示拼音提示", 16, 196, 180, 20, true},
    {0, K::CheckBox, 0, L"中文时使用英文标点", 16, 220, 180, 20},
    {0, K::CheckBox, 0, L"繁体输入", 210, 172, 150, 20},
    {0, K::CheckBox, 0, L"词频调整", 210, 196, 150, 20, true},
    // 按键
    {1, K::GroupBox, 0, L"中英文切换", 0, 0, 400, 52},
    {1, K::FirstRadio, 0, L"Shift", 16, 22, 80, 20, true},
    {1, K::Radio, 0, L"Ctrl", 120, 22, 80, 20},
    {1, K::Radio, 0, L"无", 224, 22, 80, 20},
    {1, K::GroupBox, 0, L"候选字词翻页", 0, 62, 400, 76},
    {1, K::CheckBox, 0, L"减号等号 -=", 16, 84, 160, 20, true},
    {1, K::CheckBox, 0, L"逗号句号 ,.", 210, 84, 160, 20, true},
    {1, K::CheckBox, 0, L"左右方括号 []", 16, 108, 160, 20},
    {1, K::CheckBox, 0, L"Tab 键", 210, 108, 160, 20},
    {1, K::GroupBox, 0, L"系统功能快捷键", 0, 148, 400, 76},
    {1, K::CheckBox, 0, L"简繁切换  Ctrl+Shift+F", 16, 170, 250, 20, true},
    {1, K::CheckBox, 0, L"软键盘    Ctrl+Shift+K", 16, 194, 250, 20, true},
    // 外观
    {2, K::GroupBox, 0, L"皮肤", 0, 0, 400, 80},
    {2, K::CheckBox, 0, L"使用皮肤", 16, 22, 120, 20, true},
    {2, K::ComboBox, 0, L"默认皮肤", 16, 46, 200, 200},
    {2, K::GroupBox, 0, L"候选词", 0, 90, 400, 80},
    {2, K::FirstRadio, 0, L"横排", 16, 112, 80, 20, true},
    {2, K::Radio, 0, L"竖排", 120, 112, 80, 20},
    {2, K::Label, 0, L"候选项数：", 16, 142, 80, 20},
    {2, K::ComboBox, 0, L"5", 96, 138, 60, 200},
    {2, K::GroupBox, 0, L"状态栏", 0, 180, 400, 52},
    {2, K::CheckBox, 0, L"显示输入法状态栏", 16, 202, 180, 20, true},
    // 词库
    {3, K::GroupBox, 0, L"细胞词库", 0, 0, 400, 80},
    {3, K::CheckBox, 0, L"启用细胞词库自动更新", 16, 22, 200, 20, true},
    {3, K::Button, 0, L"细胞词库管理", 16, 48, 110, 24, false, false},
    {3, K::GroupBox, 0, L"用户词库", 0, 90, 400, 80},
    {3, K::Button, 0, L"导入/导出用户词库", 16, 112, 140, 24, false, false},
    {3, K::Button, 0, L"清空用户词库", 170, 112, 110, 24, false, false},
    {3, K::CheckBox, 0, L"自动备份用户词库", 16, 142, 200, 20, true},
    // 高级
    {4, K::GroupBox, 0, L"智能输入", 0, 0, 400, 112},
    {4, K::CheckBox, 0, L"模糊音", 16, 22, 150, 20},
    {4, K::Button, 0, L"模糊音设置", 250, 20, 130, 24, false, false},
    {4, K::CheckBox, 0, L"自定义短语", 16, 50, 150, 20, true},
    {4, K::Button, IDC_CUSTOM_PHRASES, L"自定义短语设置", 250, 48, 130, 24},
    {4, K::CheckBox, 0, L"拆分输入", 16, 78, 150, 20, true},
    {4, K::GroupBox, 0, L"其他", 0, 122, 400, 100},
    {4, K::CheckBox, 0, L"启用云计算输入", 16, 144, 200, 20, true},
    {4, K::CheckBox, 0, L"自动升级到最新版本", 16, 168, 200, 20},
    {4, K::CheckBox, 0, L"使用输入法时显示提示", 16, 192, 200, 20, true},
    // 关于
    {5, K::Label, 0, L"搜狗拼音输入法", 0, 4, 400, 20},
    {5, K::Label, 0, L"本设置程序为模拟程序，仅供安装测试与演示使用。", 0, 34, 400, 20},
    {5, K::Label, IDC_VERSION_TEXT, L"", 0, 64, 400, 20},
};

} // namespace

std::span<const PageInfo> settingsPages() {
    return kPages;
}

std::span<const PageControl> settingsPageControls() {
    return kControls;
}

} // namespace kana::standin
