#include "app/input_method_paths.h"

#include <gtest/gtest.h>

namespace kana {
namespace {

TEST(InputMethodPaths, OnlyAFullLocalPathWithoutWildcardsIsUsed) {
    struct Case {
        const wchar_t* installDir;
        const wchar_t* version;
        const wchar_t* reasonPart; // nullptr: accepted
    };
    const Case cases[] = {
        {L"C:\\Program Files\\SogouInput", L"6.2.0.0000", nullptr},
        {L"C:\\Program Files\\SogouInput\\", L"6.2.0.0000", nullptr}, // a trailing backslash stays accepted
        {L"d:/Sogou", L"6.2", nullptr},
        {L"\\\\server\\share\\SogouInput", L"6.2", L"网络路径"},
        {L"//server/share", L"6.2", L"网络路径"},
        {L"\\\\?\\C:\\Program Files\\SogouInput", L"6.2", L"\\\\?\\"},
        {L"\\\\.\\C:\\SogouInput", L"6.2", L"\\\\?\\"},
        {L"Program Files\\SogouInput", L"6.2", L"盘符"},
        {L"C:Program Files", L"6.2", L"盘符"},
        {L"\\Program Files\\SogouInput", L"6.2", L"盘符"},
        {L"", L"6.2", L"盘符"},
        {L"C:\\Program Files\\Sogou*", L"6.2", L"通配符"},
        {L"C:\\Program Files\\SogouInput", L"6.?", L"通配符"},
        {L"C:\\Program Files\\SogouInput", L"*", L"通配符"},
        // The joined path must stay where it seems to be.
        {L"C:\\Program Files\\SogouInput", L"13.5.0.1234\\..\\..\\..", L".."},
        {L"C:\\Program Files\\SogouInput", L"..\\..\\Windows\\System32", L".."},
        {L"C:\\Program Files\\..\\Windows", L"6.2", L".."},
        {L"C:\\Program Files\\SogouInput", L".", L".."},
        {L"C:\\Program Files\\SogouInput", L"6.2/./x", L".."},
        {L"C:\\Program Files\\SogouInput", L"6.2.0.0000.", L"结尾"},
        {L"C:\\Program Files\\SogouInput", L"6.2 ", L"结尾"},
        {L"C:\\Program Files\\SogouInput.\\", L"6.2", L"结尾"},
        {L"C:\\Program Files\\SogouInput", L"6.2:stream", L"冒号"},
        {L"C:\\Program Files\\SogouInput:x", L"6.2", L"冒号"},
        {L"C:\\Program Files\\SogouInput", L"6.2..1", nullptr}, // dots inside a name are plain
        {L"C:\\Program Files\\.SogouInput", L".6.2", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.installDir)) + " " +
                     ::testing::PrintToString(std::wstring(c.version)));
        const std::optional<std::wstring> problem = pathTextProblem({c.installDir, c.version});
        if (c.reasonPart == nullptr) {
            EXPECT_FALSE(problem);
        } else {
            ASSERT_TRUE(problem);
            EXPECT_NE(problem->find(c.reasonPart), std::wstring::npos) << ::testing::PrintToString(*problem);
        }
    }
}

TEST(InputMethodPaths, LinksAreRefusedOnlyWhereTheVersionFolderExists) {
    EXPECT_FALSE(folderProblem({false, false, true})); // handled as an empty version folder
    EXPECT_FALSE(folderProblem({true, false, false}));
    EXPECT_TRUE(folderProblem({true, true, false}));
    EXPECT_TRUE(folderProblem({true, false, true}));

    const std::wstring message = unsafePathMessage({L"C:\\Sogou*", L"6.2"}, L"原因文字");
    EXPECT_NE(message.find(L"C:\\Sogou*\\6.2"), std::wstring::npos);
    EXPECT_NE(message.find(L"原因文字"), std::wstring::npos);
}

} // namespace
} // namespace kana
