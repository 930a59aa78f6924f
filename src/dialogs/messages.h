// The texts the entry dialogs show in a message box; the picker's own are
// in picker/messages.h.
#pragma once

#include <string>

#include "book/groups.h"
#include "picker/messages.h"

namespace msg {

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

// Group dialog
inline std::string CheckedCount(std::size_t count) { return "ﾒﾝﾊﾞｰ: " + std::to_string(count) + "人"; }
inline const char* GroupRuleBroken(GroupRule rule) {
    switch (rule) {
    case GroupRule::None: return nullptr;
    case GroupRule::Required: return "ｸﾞﾙｰﾌﾟには、最低限[ｸﾞﾙｰﾌﾟ名]が必要です。";
    case GroupRule::NoComma: return kNoComma;
    case GroupRule::TooLong: return "「ｸﾞﾙｰﾌﾟ名」または「ｸﾞﾙｰﾌﾟ名の読み」が制限文字数を超えています。（最大64文字）";
    case GroupRule::NameTaken: return "同じ名前のｸﾞﾙｰﾌﾟがあります。別の名前を付けてください。";
    case GroupRule::TooManyMembers: return "ｸﾞﾙｰﾌﾟのﾒﾝﾊﾞｰは100人までです。";
    }
    return nullptr;
}
inline std::string RemoveNotFound(const std::vector<std::string>& names) {
    return "次のﾒﾝﾊﾞｰはｱﾄﾞﾚｽ帳に見つかりません。ｸﾞﾙｰﾌﾟから外しますか?\n" + NameList(names);
}

}  // namespace msg
