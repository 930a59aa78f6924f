// The line that tells why the book could not be read or written, under the
// program's message or the book tool's.
#pragma once

#include <string>

#include "book/book_location.h"
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
    case FileFault::Conflict:
        return "読み込んだ後で、ほかのﾕｰｻﾞｰがｱﾄﾞﾚｽ帳ﾃﾞｰﾀを変更したため、この変更はできませんでした。";
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

// The line that names the folder a policy gives for the book, and why the book cannot live there.
inline std::string FolderCause(const BookLocation& location) {
    std::string cause;
    switch (location.problem) {
    case BookLocation::Problem::Relative:
        cause = "ﾄﾞﾗｲﾌﾞ (C:\\...) か共有ﾌｫﾙﾀﾞ (\\\\ｻｰﾊﾞｰ\\共有名) から始まる名前ではありません。";
        break;
    case BookLocation::Problem::TooLong:
        cause = "名前が長すぎます。";
        break;
    case BookLocation::Problem::NotAFolder:
        cause = "ﾌｫﾙﾀﾞではなく、ﾌｧｲﾙの名前です。";
        break;
    case BookLocation::Problem::Unreachable:
        cause = "見つからないか、ｻｰﾊﾞｰが応答しません。ﾈｯﾄﾜｰｸとｻｰﾊﾞｰを確かめてください。";
        break;
    case BookLocation::Problem::NoRight:
        cause = "このﾕｰｻﾞｰには、このﾌｫﾙﾀﾞを開く権限がありません。";
        break;
    case BookLocation::Problem::None:
        break;
    }
    return "ｸﾞﾙｰﾌﾟ ﾎﾟﾘｼｰが指定したｱﾄﾞﾚｽ帳ﾃﾞｰﾀのﾌｫﾙﾀﾞ " + location.folder + " を使えません: " + cause +
           "管理者に連絡してください。";
}

inline std::string WithCause(const char* message, FileFault fault) {
    return std::string(message) + "\n" + CauseOf(fault);
}

// The same for the groups' file, where the cause names it or its journal.
inline std::string WithGroupsCause(const char* message, FileFault fault) {
    const char* cause = CauseOf(fault);
    switch (fault) {
    case FileFault::Held:
        cause = "ほかのﾌﾟﾛｸﾞﾗﾑがｸﾞﾙｰﾌﾟﾃﾞｰﾀ (qvdgroup.csv または qvdgroup.tmp) を開いています。"
                "そのﾌﾟﾛｸﾞﾗﾑを閉じてから、もう一度操作してください。";
        break;
    case FileFault::NoRight:
        cause = "このﾕｰｻﾞｰには、ｸﾞﾙｰﾌﾟﾃﾞｰﾀ (qvdgroup.csv) を読み書きする権限がありません。管理者に連絡してください。";
        break;
    case FileFault::NoJournal:
        cause = "ｸﾞﾙｰﾌﾟの作業ﾌｧｲﾙ (qvdgroup.tmp) がないか、このﾕｰｻﾞｰには書き込む権限がありません。管理者に連絡してください。";
        break;
    case FileFault::JournalUnreadable:
        cause = "ｸﾞﾙｰﾌﾟの作業ﾌｧｲﾙ (qvdgroup.tmp) を読み込みできませんでした。しばらくしてから、もう一度操作してください。";
        break;
    case FileFault::Unfinished:
        cause = "ｸﾞﾙｰﾌﾟの保存を完了できませんでした。管理者は、ﾃﾞｨｽｸの空き領域と作業ﾌｧｲﾙ (qvdgroup.tmp) の権限を"
                "確かめ、ｱﾄﾞﾚｽ帳を開き直してください (開き直すと保存が完了します)。";
        break;
    default:
        break;
    }
    return std::string(message) + "\n" + cause;
}

}  // namespace msg
