// Every text the picker shows in a message box, but for the entry dialogs' own.
#pragma once

#include <string>
#include <vector>

#include "book/cause_lines.h"
#include "driver/fax_number_book.h"

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

// A book that someone else saved between this run's read and its save
inline constexpr const char* kPersonChangedMeanwhile =
    "この人は、読み込んだ後でほかのﾕｰｻﾞｰが変更または削除しました。今のｱﾄﾞﾚｽ帳を表示します。確かめてから、もう一度操作してください。";
inline constexpr const char* kBookFilledMeanwhile =
    "ほかのﾕｰｻﾞｰの追加で、ｱﾄﾞﾚｽ帳は1000人になりました。今のｱﾄﾞﾚｽ帳を表示します。";
// Saved, the book would lose these persons past the 1000th that someone added meanwhile.
inline std::string BookOverfullMeanwhile(const std::vector<std::string>& names) {
    constexpr std::size_t kNamed = 20;
    std::string text = "ほかのﾕｰｻﾞｰの変更で、ｱﾄﾞﾚｽ帳は1000人を超えました。保存すると、1000人を超えた次の" +
                       std::to_string(names.size()) + "人のﾃﾞｰﾀが捨てられるため、保存しませんでした。"
                       "今のｱﾄﾞﾚｽ帳を表示します。1000人以下に減らしてから、もう一度操作してください。\n";
    for (std::size_t i = 0; i < names.size() && i < kNamed; ++i) text += (i ? "、" : "") + names[i];
    if (names.size() > kNamed) text += " ほか" + std::to_string(names.size() - kNamed) + "人";
    return text;
}
inline std::string DestinationsGone(const std::vector<std::string>& names) {
    std::string text = "ほかのﾕｰｻﾞｰが変更または削除したため、次の宛先を宛先一覧から外しました。確かめてください。\n";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "、" : "") + names[i];
    return text;
}

// The folder a policy names for the book, which it cannot live in
inline std::string CannotUseFolder(const BookLocation& location) {
    return std::string(kCannotReadBook) + "\n" + FolderCause(location);
}

// Destination list
inline constexpr const char* kFaxNumberOver32 =
    "FAX番号の文字列が、指定文字数(32文字)を超えています。\n今設定した宛先は無効です";
inline constexpr const char* kTextsOver255 =
    "名前 または FAX番号の文字列が、指定文字数(255文字)を超えてしまいます。\n今設定した宛先は無効です";
inline constexpr const char* kOver100Destinations = "宛先の最大数（100件）を超えてしまいます。\n今設定した宛先は無効です";
// The message of a destination the list could not take.
inline const char* Refused(DestinationBreach breach) {
    return breach == DestinationBreach::FaxNumberOver32 ? kFaxNumberOver32
           : breach == DestinationBreach::TextOver255   ? kTextsOver255
                                                        : kOver100Destinations;
}
inline constexpr const char* kCannotStoreDestinations =
    "宛先をﾌﾟﾘﾝﾀﾄﾞﾗｲﾊﾞに書き込みできませんでした。\nもう一度OKを押すか、ｷｬﾝｾﾙしてください。";

// Groups
inline constexpr const char* kCannotReadGroups =
    "ｸﾞﾙｰﾌﾟﾃﾞｰﾀ (qvdgroup.csv) を読み込みできませんでした。\nｸﾞﾙｰﾌﾟの変更は保存されません。";
inline constexpr const char* kTooManyGroups =
    "200を超えるｸﾞﾙｰﾌﾟ、または100人を超えるｸﾞﾙｰﾌﾟのﾒﾝﾊﾞｰは読み込みできません。\n"
    "ｸﾞﾙｰﾌﾟを変更しても、それらを捨てないよう保存はされません。";
inline constexpr const char* kCannotReadGroupsJournal =
    "ｸﾞﾙｰﾌﾟﾃﾞｰﾀの作業ﾌｧｲﾙ (qvdgroup.tmp) を読み込みできませんでした。\n"
    "表示しているｸﾞﾙｰﾌﾟは、途中までしか保存されていないおそれがあります。\n"
    "作業ﾌｧｲﾙを読み込めるようになるまで、ｸﾞﾙｰﾌﾟの変更は保存されません。";
inline constexpr const char* kCannotWriteGroups = "ｸﾞﾙｰﾌﾟﾃﾞｰﾀ(qvdgroup.csv) に書き込みできませんでした。";
inline constexpr const char* kGroupChangedMeanwhile =
    "このｸﾞﾙｰﾌﾟは、読み込んだ後でほかのﾕｰｻﾞｰが作成、変更または削除しました。今のｸﾞﾙｰﾌﾟを表示します。確かめてから、もう一度操作してください。";
inline constexpr const char* kGroupsFilledMeanwhile = "ほかのﾕｰｻﾞｰの作成で、ｸﾞﾙｰﾌﾟは200になりました。今のｸﾞﾙｰﾌﾟを表示します。";
inline constexpr const char* kNoMoreGroups = "これ以上ｸﾞﾙｰﾌﾟの作成はできません。（最大200ｸﾞﾙｰﾌﾟ）";
inline constexpr const char* kCannotDeleteNotFound =
    "見つからないﾒﾝﾊﾞｰは、ｸﾞﾙｰﾌﾟのﾌﾟﾛﾊﾟﾃｨで外してください。";
inline std::string ConfirmDeleteGroup(const std::string& name) {
    return "ｸﾞﾙｰﾌﾟ「" + name + "」を削除します。ﾒﾝﾊﾞｰの個人ﾃﾞｰﾀは削除されません。よろしいですか?";
}
inline std::string EmptyGroup(const std::string& name) { return "ｸﾞﾙｰﾌﾟ「" + name + "」にはﾒﾝﾊﾞｰがいません。"; }
inline std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "、" : "") + names[i];
    return text;
}
inline std::string MembersNotFound(const std::vector<std::string>& names) {
    return "次のﾒﾝﾊﾞｰはｱﾄﾞﾚｽ帳に見つからないため、宛先に追加しませんでした。\n" + NameList(names);
}
// The whole group would break a limit of the destination list: none of it goes.
inline const char* WhyNotAll(DestinationBreach breach) {
    return breach == DestinationBreach::FaxNumberOver32 ? "FAX番号の文字列が、指定文字数(32文字)を超えるﾒﾝﾊﾞｰがいます。"
           : breach == DestinationBreach::TextOver255   ? "名前 または FAX番号の文字列が、指定文字数(255文字)を超えてしまいます。"
                                                         : "宛先の最大数（100件）を超えてしまいます。";
}
inline std::string GroupDoesNotFit(const std::string& name, DestinationBreach breach, int fitting) {
    return "ｸﾞﾙｰﾌﾟ「" + name + "」の全員は宛先に追加できません。\n" + WhyNotAll(breach) + "\nﾒﾝﾊﾞｰの先頭から" +
           std::to_string(fitting) + "人までなら追加できます。ｸﾞﾙｰﾌﾟの宛先は1人も追加していません。";
}
// Persons chosen in the directory, all or none
inline std::string OutsidersDoNotFit(int chosen, DestinationBreach breach, int fitting) {
    return "選んだ" + std::to_string(chosen) + "人の全員は宛先に追加できません。\n" + WhyNotAll(breach) + "\n先頭から" +
           std::to_string(fitting) + "人までなら追加できます。1人も追加していません。";
}

// Find
inline std::string NotFound(const std::string& text) { return "「" + text + "」は見つかりませんでした。"; }

// Entry commands
inline constexpr const char* kNoMoreEntries = "これ以上ﾒﾝﾊﾞｰの新規追加はできません。";
inline constexpr const char* kCannotDeleteCompany =
    "会社名からは削除できません。\n削除するには個人名を選択してください。";
inline constexpr const char* kConfirmDelete = "選択しているﾃﾞｰﾀを完全に削除します。よろしいですか?";

}  // namespace msg
