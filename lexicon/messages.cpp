#include "lexicon/messages.h"

#include <initializer_list>
#include <string_view>

namespace kana::lexicon::messages {

namespace {

// Texts are joined in one place rather than by a chain of + at every message.
std::wstring join(std::initializer_list<std::wstring_view> parts) {
    std::wstring text;
    for (const std::wstring_view part : parts) {
        text += part;
    }
    return text;
}

Message ok(std::wstring text) {
    return {std::move(text), kApplicationTitle, Buttons::Ok, DefaultButton::First};
}

Message ok(std::initializer_list<std::wstring_view> parts) {
    return ok(join(parts));
}

const wchar_t kNothingChanged[] = L"词库文件均未改动，没有任何词条丢失。";
const wchar_t kAllPutBack[] = L"操作已取消，词库文件均已恢复原样，没有任何词条丢失。";
// What a user can do about a file that another program holds.
const wchar_t kCloseAndRestart[] =
    L"请关闭可能正在使用这些文件的程序（例如搜狗输入法的设置程序、打开了词库文件的编辑器），"
    L"然后重新启动本程序，它会再试。";

std::wstring reasonLine(const std::wstring& reason) {
    return join({L"原因：", reason});
}

std::wstring describeStep(const StepFailure& failure) {
    switch (failure.kind) {
    case StepKind::Rename:
        return join({L"无法将文件\r\n", failure.path, L"\r\n重命名为\r\n", failure.target});
    case StepKind::Copy:
        return join({L"无法将文件\r\n", failure.path, L"\r\n复制为\r\n", failure.target});
    case StepKind::Delete:
        return join({L"无法删除文件\r\n", failure.path});
    case StepKind::WriteTimeStamp:
        return join({L"无法写入备份时间文件\r\n", failure.path});
    case StepKind::ReadFile:
        return join({L"无法读取文件\r\n", failure.path});
    case StepKind::WriteFile:
        return join({L"无法写入文件\r\n", failure.path});
    case StepKind::Flush:
        return join({L"无法将文件\r\n", failure.path, L"\r\n完整地写入磁盘"});
    case StepKind::LookUp:
        return join({L"无法确定文件\r\n", failure.path, L"\r\n是否存在"});
    }
    return {};
}

std::wstring describeUndoFailure(const UndoFailure& undo) {
    switch (undo.kind) {
    case UndoFailure::Kind::NotMovedBack:
        return join({L"原来的文件\r\n", undo.originalPath, L"\r\n现在保存为\r\n", undo.currentPath, L"\r\n（",
                     undo.reason, L"）"});
    case UndoFailure::Kind::CopyNotRemoved:
        return join({L"多余的副本未能删除：\r\n", undo.currentPath, L"\r\n它与\r\n", undo.originalPath,
                     L"\r\n内容相同（", undo.reason, L"）"});
    case UndoFailure::Kind::TimeStampNotReset:
        return join({L"备份时间文件未能还原：\r\n", undo.currentPath, L"\r\n（", undo.reason, L"）"});
    }
    return {};
}

std::wstring undoFailureList(const std::vector<UndoFailure>& undoFailures) {
    std::wstring text;
    for (const UndoFailure& undo : undoFailures) {
        text += L"\r\n\r\n" + describeUndoFailure(undo);
    }
    return text;
}

std::wstring operationName(OperationKind operation) {
    switch (operation) {
    case OperationKind::Install:
        return L"安装";
    case OperationKind::Backup:
        return L"备份";
    case OperationKind::RestoreToInitial:
        return L"还原到最初状态";
    case OperationKind::RestoreToLatest:
        return L"还原到最近备份";
    case OperationKind::Uninstall:
        return L"卸载";
    }
    return {};
}

std::wstring interrupted(OperationKind operation) {
    return join({L"上次的“", operationName(operation),
                 L"”操作没有进行完就被中断了（程序被强行关闭，或电脑断电）。\r\n"});
}

} // namespace

Message askRestartAfterInstall() {
    return {L"            安装完成！重启吗?\r确定:重启以完成应用   取消:手动完成应用", kDecideTitle,
            Buttons::OkCancel, DefaultButton::First};
}

Message restartToApply() {
    return ok(L"请重启电脑以完成应用.");
}

Message backupDone() {
    return ok(L"备份完成！");
}

Message restoreDone() {
    return ok(L"还原完成！");
}

Message applyInSettingsProgram() {
    return ok(L"请在弹出的窗口中点应用 然后点击确定。");
}

Message settingsProgramNotStarted(const std::wstring& appPath, const std::wstring& reason) {
    return ok({L"无法启动搜狗输入法的设置程序：\r\n", appPath, L"\r\n", reasonLine(reason),
               L"\r\n\r\n词库文件已经处理完毕。请从搜狗输入法的菜单中打开“设置”，在其中点“应用”。"});
}

Message phraseListUnreadable(const std::wstring& fullPath, const std::wstring& reason) {
    return ok({L"无法读取要安装的词库文件：\r\n", fullPath, L"\r\n", reasonLine(reason), L"\r\n\r\n",
               kNothingChanged});
}

Message phraseListMissing(const std::wstring& inCurrentFolder, const std::wstring& besideProgram) {
    std::wstring text = L"找不到要安装的词库文件 date.dat。程序在以下位置查找过：\r\n" + inCurrentFolder;
    if (besideProgram != inCurrentFolder) {
        text += L"\r\n" + besideProgram;
    }
    return ok({text, L"\r\n\r\n请将 date.dat 放在本程序所在的文件夹中，然后再试。\r\n", kNothingChanged});
}

Message phrasesMissingForBackup(const std::wstring& phrasesPath) {
    return ok({L"没有可以备份的词库文件：\r\n", phrasesPath, L"\r\n不存在。\r\n", kNothingChanged});
}

Message phrasesMissingForRestore(const std::wstring& phrasesPath) {
    return ok(
        {L"无法与最近备份交换，因为当前的词库文件：\r\n", phrasesPath, L"\r\n不存在。\r\n", kNothingChanged});
}

Message latestBackupMissing(const std::wstring& latestBackupPath) {
    return ok({L"没有可以还原的最近备份：\r\n", latestBackupPath, L"\r\n不存在。\r\n", kNothingChanged});
}

Message leftOverSwapFile(const std::wstring& swapPath) {
    return ok({L"发现以前的还原未完成时留下的文件：\r\n", swapPath,
               L"\r\n它可能保存着您的词条，程序不会覆盖它。请先将它移到别处，然后再还原。\r\n",
               kNothingChanged});
}

Message leftOverAsideFile(const std::wstring& asidePath) {
    return ok({L"发现以前的操作未完成时留下的文件：\r\n", asidePath,
               L"\r\n它可能保存着您的词条，程序不会覆盖或删除它。请先将它移到别处，然后再试。\r\n",
               kNothingChanged});
}

Message stepFailed(const StepFailure& failure, bool changedAnything,
                   const std::vector<UndoFailure>& undoFailures) {
    std::wstring text = describeStep(failure) + L"\r\n" + reasonLine(failure.reason) + L"\r\n\r\n";
    if (!changedAnything) {
        text += kNothingChanged;
    } else if (undoFailures.empty()) {
        text += kAllPutBack;
    } else {
        text += L"操作已取消，但恢复原样时有文件未能还原。您的词条没有丢失，请按下面的说明找到它们：" +
                undoFailureList(undoFailures) + L"\r\n\r\n下次启动本程序时，它会再试着还原这些文件。";
    }
    return ok(std::move(text));
}

Message existenceUnknown(const std::wstring& path, const std::wstring& reason) {
    return ok({L"无法确定文件\r\n", path, L"\r\n是否存在，因此没有进行操作。\r\n", reasonLine(reason),
               L"\r\n\r\n", kNothingChanged});
}

Message readOnlyFile(const std::wstring& path) {
    return ok({L"文件\r\n", path,
               L"\r\n带有“只读”属性，程序不能改动它。请在该文件的“属性”中取消“只读”，然后再试。\r\n",
               kNothingChanged});
}

Message leftOverRecord(const std::wstring& recordPath) {
    return ok({L"上次未能还原的操作记录仍然存在：\r\n", recordPath,
               L"\r\n请重新启动本程序，它会先处理上次的操作。\r\n", kNothingChanged});
}

Message recoveryNothingChanged() {
    return ok({std::wstring(L"上次的操作在改动任何文件之前就被中断了（程序被强行关闭，或电脑断电）。\r\n"),
               kNothingChanged});
}

Message recoveryFinished(OperationKind operation) {
    return ok({interrupted(operation),
               L"当时该操作的每一步都已完成并保存到磁盘，程序现在完成了最后的收尾。没有任何词条丢失。"});
}

Message recoveryUndone(OperationKind operation) {
    return ok({interrupted(operation),
               L"程序已撤销该操作做过的改动，词库文件均已恢复到操作之前的样子，没有任何词条丢失。",
               L"\r\n如有需要，请重新进行该操作。"});
}

Message recoveryIncomplete(OperationKind operation, const std::vector<UndoFailure>& undoFailures) {
    return ok({interrupted(operation),
               L"程序试图撤销该操作做过的改动，但有文件未能还原。您的词条没有丢失，请按下面的说明找到它们：",
               undoFailureList(undoFailures), L"\r\n\r\n操作记录保留在原处。", kCloseAndRestart});
}

Message recordUnreadable(const std::wstring& recordPath, const std::wstring& reason) {
    return ok({L"发现以前的操作留下的记录文件：\r\n", recordPath, L"\r\n但无法读取它。\r\n",
               reasonLine(reason), L"\r\n\r\n程序没有改动任何文件，记录文件保留在原处。", kCloseAndRestart});
}

Message recordUnwritable(const std::wstring& recordPath, const std::wstring& reason) {
    return ok({L"上次的操作没有进行完就被中断了。它的记录文件：\r\n", recordPath,
               L"\r\n无法写入，因此程序这次没有继续撤销它，没有任何词条丢失。\r\n", reasonLine(reason),
               L"\r\n\r\n记录文件保留在原处。", kCloseAndRestart});
}

Message recycleRefused(OperationKind operation, const std::wstring& asidePath, const std::wstring& reason) {
    return ok({interrupted(operation), L"当时该操作的每一步都已完成，只剩下被替换的旧文件：\r\n", asidePath,
               L"\r\n无法移到回收站。\r\n", reasonLine(reason),
               L"\r\n\r\n该文件和操作记录都保留在原处，没有任何词条丢失。", kCloseAndRestart});
}

Message recordNotRecognised(const std::wstring& recordPath) {
    return ok({L"发现以前的操作留下的记录文件：\r\n", recordPath,
               L"\r\n但它的内容无法识别，程序没有按它改动任何文件。请检查该文件夹中的词库文件。"});
}

std::wstring recordNotRemoved(const std::wstring& recordPath, const std::wstring& reason) {
    return join({L"操作的记录文件：\r\n", recordPath, L"\r\n无法删除。\r\n", reasonLine(reason),
                 L"\r\n\r\n在它被删除之前，程序不会进行新的安装、备份或还原。", kCloseAndRestart});
}

Message recordNotRemovedAfterSuccess(const std::wstring& recordPath, const std::wstring& reason) {
    return ok({L"词库文件已经处理完毕，没有任何词条丢失。\r\n\r\n", recordNotRemoved(recordPath, reason)});
}

Message leftOverFiles(const std::vector<std::wstring>& paths) {
    std::wstring text = L"发现以前的操作未完成时留下的文件：";
    for (const std::wstring& path : paths) {
        text += L"\r\n" + path;
    }
    return ok({text, L"\r\n它们可能保存着您的词条，程序不会改动或删除它们。请将它们移到别处保存，"
                     L"然后再进行安装、备份或还原。"});
}

} // namespace kana::lexicon::messages
