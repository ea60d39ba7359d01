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
    std::wstring phrases() const;
    // phrases.ini as it was before the first backup made through this program.
    std::wstring initialBackup() const;
    // The most recent backup.
    std::wstring latestBackup() const;
    // Holds the latest backup while it is exchanged with phrases.ini.
    std::wstring swapFile() const;
    // Time-stamp files of the initial and the latest backup.
    std::wstring initialTimeStamp() const;
    std::wstring latestTimeStamp() const;
    // The input method's settings program.
    std::wstring settingsProgram() const;

    // Where a file that is about to be replaced is kept until its replacement is
    // in place, so that a failure on the way can put it back. An operation cut
    // short is finished or undone at the next start through its intent record;
    // a set-aside file without a record may hold the user's only copy of some
    // phrases, so it is reported and never overwritten or deleted: the
    // operations that need its name refuse to start and name it.
    std::wstring latestBackupAside() const;
    std::wstring phrasesAside() const;

    // The record an operation keeps beside the files while it changes them, so
    // that the next start can finish or undo an operation that was cut short.
    std::wstring intentRecord() const;

    // The phrase list shipped beside the program, by its bare name: it is looked
    // up in the current directory, then beside the program.
    static std::wstring phraseListName() { return L"date.dat"; }

  private:
    // The version directory followed by suffix (made in one place, not at every use).
    std::wstring member(const wchar_t* suffix) const;
};

} // namespace kana::lexicon
