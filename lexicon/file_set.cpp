#include "lexicon/file_set.h"

namespace kana::lexicon {

std::wstring FileSet::member(const wchar_t* suffix) const {
    return versionDir + suffix;
}

std::wstring FileSet::phrases() const {
    return member(L"\\phrases.ini");
}

std::wstring FileSet::initialBackup() const {
    return member(L"\\phrases最初备份.ini");
}

std::wstring FileSet::latestBackup() const {
    return member(L"\\phrases最近备份.ini");
}

std::wstring FileSet::swapFile() const {
    return member(L"\\phrasesTEMP.ini");
}

std::wstring FileSet::initialTimeStamp() const {
    return member(L"\\time000.ini");
}

std::wstring FileSet::latestTimeStamp() const {
    return member(L"\\time001.ini");
}

std::wstring FileSet::settingsProgram() const {
    return member(L"\\config.exe");
}

std::wstring FileSet::latestBackupAside() const {
    return member(L"\\phrases最近备份.old.ini");
}

std::wstring FileSet::phrasesAside() const {
    return member(L"\\phrases.old.ini");
}

std::wstring FileSet::intentRecord() const {
    return member(L"\\Kanaroute操作记录.txt");
}

} // namespace kana::lexicon
