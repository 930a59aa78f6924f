// The texts of the directory search: its status line, its refusals and
// what a failed search says of the server.
#pragma once

#include <string>

#include "directory/directory_search.h"

namespace msg {

inline constexpr const char* kEmptyDirectoryText = "探す文字 (名前・読み・会社・部署・FAX番号の一部) を入力してください。";
inline constexpr const char* kSearchingDirectory = "ﾃﾞｨﾚｸﾄﾘを検索しています...";
inline constexpr const char* kDirectorySearchStopped = "検索を中止しました。";
inline constexpr const char* kNoneInDirectory = "見つかりませんでした。";
inline std::string FoundInDirectory(std::size_t count) { return std::to_string(count) + "人見つかりました。"; }
inline constexpr const char* kMoreInDirectory =
    "100人を超えて見つかりました。先頭の100人を表示しています。文字を増やして絞り込んでください。";
inline constexpr const char* kInBook = "ｱﾄﾞﾚｽ帳にあり";
inline std::string AlreadyInBook(const std::string& name) { return "「" + name + "」はｱﾄﾞﾚｽ帳に登録済みです。"; }

// The server as the user's administrator named it.
inline std::string ServerName(const DirectoryQuery& query) {
    return (query.host.empty() ? std::string("このｺﾝﾋﾟｭｰﾀｰのﾄﾞﾒｲﾝ") : query.host) + ":" + std::to_string(query.port);
}
inline std::string DirectoryFailed(const DirectoryQuery& query, DirectoryFault fault, unsigned long code) {
    std::string text = "ﾃﾞｨﾚｸﾄﾘ ｻｰﾊﾞｰ (" + ServerName(query) + ") で検索できませんでした。\n";
    switch (fault) {
    case DirectoryFault::Unreachable:
        return text + "ｻｰﾊﾞｰに接続できません。ｻｰﾊﾞｰ名とﾈｯﾄﾜｰｸを確かめてください。";
    case DirectoryFault::SignIn:
        return text + "ｻｰﾊﾞｰにｻｲﾝｲﾝできませんでした (拒否されたか、この方法でのｻｲﾝｲﾝができません)。";
    case DirectoryFault::NoSuchBase:
        return text + "検索ﾍﾞｰｽ (" + query.base + ") がｻｰﾊﾞｰにありません。";
    case DirectoryFault::TimeLimit:
        return text + "制限時間 (" + std::to_string(query.timeLimitSeconds) + "秒) 内にｻｰﾊﾞｰが応答しませんでした。";
    default:
        return text + "ｻｰﾊﾞｰがｴﾗｰ " + std::to_string(code) + " を返しました。";
    }
}

// Why a person found cannot be added or registered, naming the field.
inline std::string DirectoryRuleText(const DirectoryPerson& person) {
    static const char* const kFields[] = {"名前", "名前の読み", "会社名", "会社名の読み", "部署名", "FAX番号"};
    const std::string field = person.column >= 1 && person.column <= 6 ? kFields[person.column - 1] : "";
    switch (person.broken) {
    case DirectoryRule::None:
        return std::string();
    case DirectoryRule::NoName:
        return "名前がありません";
    case DirectoryRule::NoFaxNumber:
        return "FAX番号がありません";
    case DirectoryRule::NotShiftJis:
        return field + "に使えない文字があります";
    case DirectoryRule::Control:
        return field + "に改行などの制御文字があります";
    case DirectoryRule::Comma:
        return field + "に ',' (ｶﾝﾏ) があります";
    case DirectoryRule::TooLong:
        return field + "が長すぎます";
    case DirectoryRule::FaxCharacters:
        return "FAX番号に使えない文字があります";
    }
    return std::string();
}
inline std::string CannotTake(const std::vector<std::string>& reasons) {
    std::string text = "次の人は、ﾃﾞｨﾚｸﾄﾘの内容がｱﾄﾞﾚｽ帳に使えないため追加できません。";
    for (const std::string& reason : reasons) text += "\n" + reason;
    return text;
}

}  // namespace msg
