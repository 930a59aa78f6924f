// The line that tells why the book could not be read or written, under the
// program's message or the book tool's.
#pragma once

#include <string>

#include "storage/journaled_file.h"

namespace msg {

// The line under a read or write message that tells an administrator the cause.
inline const char* CauseOf(FileFault fault) {
    switch (fault) {
    case FileFault::Held:
        return "ほかのﾌﾟﾛｸﾞﾗﾑがｱﾄﾞﾚｽ帳ﾃﾞｰﾀを開いています。そのﾌﾟﾛｸﾞﾗﾑを閉じてから、もう一度操作してください。";
    case FileFault::NoRight:
        return "このﾕｰｻﾞｰには、ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ (qvddata.csv) を読み書きする権限がありません。管理者に連絡してください。";
    case FileFault::NoJournal:
        return "作業ﾌｧｲﾙ (qvddata.tmp) がないか、このﾕｰｻﾞｰには書き込む権限がありません。管理者に連絡してください。";
    case FileFault::JournalUnreadable:
        return "作業ﾌｧｲﾙ (qvddata.tmp) を読み込みできませんでした。しばらくしてから、もう一度操作してください。";
    case FileFault::DiskFull:
        return "ﾃﾞｨｽｸの空き領域が足りません。空き領域を増やしてから、もう一度操作してください。";
    case FileFault::Changed:
        return "読み込んだ後で、ほかのﾕｰｻﾞｰまたはﾌﾟﾛｸﾞﾗﾑがｱﾄﾞﾚｽ帳ﾃﾞｰﾀを変更しました。ｱﾄﾞﾚｽ帳を開き直してください。";
    case FileFault::Unfinished:
        return "前回の保存を完了できませんでした。管理者は、ﾃﾞｨｽｸの空き領域と作業ﾌｧｲﾙ (qvddata.tmp) の権限を確かめ、"
               "ｱﾄﾞﾚｽ帳を開き直してください (開き直すと保存が完了します)。";
    case FileFault::NotRead:
        return "起動時にｱﾄﾞﾚｽ帳ﾃﾞｰﾀを読み込めなかったため、変更は保存されません。ｱﾄﾞﾚｽ帳を開き直してください。";
    case FileFault::Failed:
    case FileFault::None:
        break;
    }
    return "ﾌｧｲﾙの読み書き中にｴﾗｰが発生しました。";
}

inline std::string WithCause(const char* message, FileFault fault) {
    return std::string(message) + "\n" + CauseOf(fault);
}

}  // namespace msg
