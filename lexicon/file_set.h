// The files of the lexicon in the input method's version directory. Every path
// is the version directory followed by a fixed name, joined as it is: nothing
// is normalised, quoted or checked.
#pragma once

#include <string>
#include <utility>

namespace kana::lexicon {

struct FileSet {
    explicit FileSet(std::wstring versionDirectory) : versionDir(std::move(versionDirectory)) {}

    std::wstring versionDir;

    // The input method's custom-phrase file.
    std::wstring phrases() const { return versionDir + L"\\phrases.ini"; }
    // phrases.ini as it was before the first backup made through this program.
    std::wstring initialBackup() const { return versionDir + L"\\phrases最初备份.ini"; }
    // The most recent backup.
    std::wstring latestBackup() const { return versionDir + L"\\phrases最近备份.ini"; }
    // Holds the latest backup while it is exchanged with phrases.ini.
    std::wstring swapFile() const { return versionDir + L"\\phrasesTEMP.ini"; }
    // Time-stamp files of the initial and the latest backup.
    std::wstring initialTimeStamp() const { return versionDir + L"\\time000.ini"; }
    std::wstring latestTimeStamp() const { return versionDir + L"\\time001.ini"; }
    // The input method's settings program.
    std::wstring settingsProgram() const { return versionDir + L"\\config.exe"; }

    // Where a file that is about to be replaced is kept until its replacement is
    // in place, so that a failure on the way can put it back. An operation cut
    // short is finished or undone at the next start through its intent record;
    // a set-aside file without a record may hold the user's only copy of some
    // phrases, so it is reported and never overwritten or deleted: the
    // operations that need its name refuse to start and name it.
    std::wstring latestBackupAside() const { return versionDir + L"\\phrases最近备份.old.ini"; }
    std::wstring phrasesAside() const { return versionDir + L"\\phrases.old.ini"; }

    // The record an operation keeps beside the files while it changes them, so
    // that the next start can finish or undo an operation that was cut short.
    std::wstring intentRecord() const { return versionDir + L"\\Kanaroute操作记录.txt"; }

    // The phrase list shipped beside the program, by its bare name: it is looked
    // up in the current directory, then beside the program.
    static std::wstring phraseListName() { return L"date.dat"; }
};

} // namespace kana::lexicon
