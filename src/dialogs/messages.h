// Every text the program shows in a message box.
#pragma once

#include <string>

#include "storage/journaled_file.h"

namespace msg {

// Address book file
inline constexpr const char* kCannotOpenBook =
    "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ (qvddata.csv) をｵｰﾌﾟﾝできませんでした。\n新規にｱﾄﾞﾚｽ帳を作成します。";
// The file is there but could not be read (held open by another program,
// no access): saving would replace persons this run never saw.
inline constexpr const char* kCannotReadBook =
    "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ (qvddata.csv) を読み込みできませんでした。\nｱﾄﾞﾚｽ帳ﾃﾞｰﾀの変更は保存されません。";
inline constexpr const char* kTooManyPersons =
    "1000人を超えるﾃﾞｰﾀは読み込みできません。\n以後ｱﾄﾞﾚｽ帳ﾃﾞｰﾀを変更すると、1000人を超えた部分のﾃﾞｰﾀは捨てられます。";
inline constexpr const char* kCannotWriteBook = "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀ(qvddata.csv) に書き込みできませんでした。";
// The book was read, but whether a save was cut short in it cannot be known.
inline constexpr const char* kCannotReadJournal =
    "ｱﾄﾞﾚｽ帳ﾃﾞｰﾀの作業ﾌｧｲﾙ (qvddata.tmp) を読み込みできませんでした。\n"
    "表示しているｱﾄﾞﾚｽ帳ﾃﾞｰﾀは、途中までしか保存されていないおそれがあります。\n"
    "作業ﾌｧｲﾙを読み込めるようになるまで、ｱﾄﾞﾚｽ帳ﾃﾞｰﾀの変更は保存されません。";

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

// Destination list
inline constexpr const char* kFaxNumberOver32 =
    "FAX番号の文字列が、指定文字数(32文字)を超えています。\n今設定した宛先は無効です";
inline constexpr const char* kTextsOver255 =
    "名前 または FAX番号の文字列が、指定文字数(255文字)を超えてしまいます。\n今設定した宛先は無効です";
inline constexpr const char* kOver100Destinations = "宛先の最大数（100件）を超えてしまいます。\n今設定した宛先は無効です";
inline constexpr const char* kCannotStoreDestinations =
    "宛先をﾌﾟﾘﾝﾀﾄﾞﾗｲﾊﾞに書き込みできませんでした。\nもう一度OKを押すか、ｷｬﾝｾﾙしてください。";

// Find
inline std::string NotFound(const std::string& text) { return "「" + text + "」は見つかりませんでした。"; }

// Entry commands
inline constexpr const char* kNoMoreEntries = "これ以上ﾒﾝﾊﾞｰの新規追加はできません。";
inline constexpr const char* kCannotDeleteCompany =
    "会社名からは削除できません。\n削除するには個人名を選択してください。";
inline constexpr const char* kConfirmDelete = "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?";

// Entry dialogs
inline constexpr const char* kNewEntryRequired = "新規登録には、最低限[名前], [名前の読み], [FAX番号]が必要です。";
inline constexpr const char* kPropertyRequired = "ｱﾄﾞﾚｽ帳では、最低限[名前], [名前の読み], [FAX番号]が必要です。";
inline constexpr const char* kNoComma = "各項目に ',' (ｶﾝﾏ) は入力できません。";
inline constexpr const char* kNewEntryFaxCharacters = "FAX番号は、半角の数字 '0'～'9' , '-' , '#' 記号のみ入力可能です。";
inline constexpr const char* kPropertyFaxCharacters =
    "FAX番号は、半角の数字 '0'～'9' , '-' , '#' , '*' , '･' , '/' 記号のみ入力可能です。";
inline constexpr const char* kFaxNumberTooLong = "FAX番号が制限文字数を超えています。（最大32文字）";
inline constexpr const char* kNameTooLong = "「名前」または「名前の読み」が制限文字数を超えています。（最大64文字）";
inline constexpr const char* kCompanyTooLong = "「会社名」または「会社名の読み」が制限文字数を超えています。（最大64文字）";
inline constexpr const char* kDepartmentTooLong = "「部署名」が制限文字数を超えています。（最大64文字）";
inline constexpr const char* kSaveChanges = "ﾃﾞｰﾀ が変更されています。保存しますか？";

}  // namespace msg
