// Every text qvdbook prints, in code page 932: its use, the notes on an
// edited file, and what each command found and did.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace toolmsg {

inline constexpr const char* kUsage =
    "qvdbook: アドレス帳 (QVDDATA.CSV) の書き出し、取り込み、権限の確認\n"
    "\n"
    "  qvdbook export ファイル [/utf8]  アドレス帳をファイルに書き出します。\n"
    "                                   Shift-JIS のまま、/utf8 では UTF-8 (BOM 付き) で。\n"
    "  qvdbook import ファイル [/y] [/empty]\n"
    "                                   編集したファイルをアドレス帳に取り込みます。\n"
    "                                   Shift-JIS か UTF-8 の CSV。/y では確認しません。\n"
    "                                   人が 1人もいないファイルは /empty のときだけ取り込みます。\n"
    "  /groups を付けると export と import はグループ (QVDGROUP.CSV) を扱います。\n"
    "  qvdbook check [/m:ドライバー名]  実行したユーザーに何ができるかを確かめます。\n"
    "                                   何も書き換えません。\n"
    "  qvdbook setup [/m:ドライバー名]  管理者として: ないアドレス帳と作業ファイルを作り、Users に\n"
    "                                   読み書き (削除なし) を、プリンターの宛先の値に読み書きを許可します。\n"
    "\n"
    "終了コード: 0 成功、1 拒否したか問題がある、2 使い方の誤り";

inline std::string Count(std::size_t persons, std::size_t unnamed) {
    return std::to_string(persons) + "人 (名前のない行 " + std::to_string(unnamed) + ")";
}
// "N人: A、B ... ほか M人", the first |shown| named.
inline std::string NameList(const char* title, const std::vector<std::string>& names, std::size_t shown = 20) {
    std::string line = std::string(title) + " " + std::to_string(names.size()) + "人";
    for (std::size_t i = 0; i < names.size() && i < shown; ++i) line += (i ? "、" : ": ") + names[i];
    if (names.size() > shown) line += " ほか " + std::to_string(names.size() - shown) + "人";
    return line;
}
inline std::string Problems(int count) { return "問題が " + std::to_string(count) + " 件あります。"; }

// ---- notes on an edited file: where, then what ----
inline constexpr const char* kColumnNames[] = {"名前", "名前(読み)", "会社", "会社(読み)", "部署", "FAX番号"};
inline std::string Row(int row) { return std::to_string(row) + "行目"; }
inline std::string Column(int column) { return " " + std::to_string(column) + "列目"; }
inline constexpr const char* kUtf16 =
    "UTF-16 (Unicode テキスト) のファイルは読めません。UTF-8 か Shift-JIS で保存し直してください (表計算ソフトでは「CSV UTF-8」か「CSV」)。";
inline constexpr const char* kNulByte = "ゼロのバイト (NUL) があります。壊れたファイルか、文字コードの違うファイルです。";
inline constexpr const char* kNotShiftJis = "Shift-JIS の文字でないバイトがあります。";
inline constexpr const char* kNotUtf8 = "UTF-8 の文字でないバイトがあります。";
// |code|: "U+XXXX " or nothing.
inline std::string NoShiftJisForm(const std::string& code) { return "文字 " + code + "は Shift-JIS にないため、アドレス帳に保存できません。"; }
inline constexpr const char* kComma = "カンマ (,) はアドレス帳に保存できません。";
inline constexpr const char* kQuote = "引用符 (\") はアドレス帳に保存できません。";
inline constexpr const char* kLineBreak = "セルの中の改行はアドレス帳に保存できません。";
inline std::string FieldTooLong(std::size_t bytes) { return std::to_string(bytes) + " バイトを超えています。"; }
inline constexpr const char* kExtraColumn = "アドレス帳の列は 13 列までです。";
inline constexpr const char* kTooManyPersons = "1000人を超えています。アドレス帳には 1000人までしか入りません。";
inline constexpr const char* kTooManyUnnamedRows = "名前のない行は 64 行までしか保存できません。";
inline constexpr const char* kNoPerson = "ファイルに人が 1人もいません。アドレス帳を空にするときだけ、/empty を付けて取り込んでください。";
inline constexpr const char* kUnnamed = "名前がありません。この行は保存されますが、アドレス帳には表示されません。";
inline constexpr const char* kRequired = "空です (登録ダイアログでは必須です)。";
inline std::string TooLong(std::size_t bytes) { return std::to_string(bytes) + " バイトを超えています (登録ダイアログの上限)。"; }
inline constexpr const char* kFaxLooksLikeDate = "日付のようです。表計算ソフトが FAX 番号を日付に変えていないか確かめてください。";
inline constexpr const char* kFaxAsNumber = "数値のようです (先頭の 0 がないか、指数の形)。列を文字列にして編集し直してください。";
inline constexpr const char* kFaxCharacters = "FAX 番号に使えない文字があります (半角の 0～9 - # * / ･ のみ)。";
inline constexpr const char* kTooManyGroups = "グループは 200、グループのメンバーは 100人までです。";
inline std::string GroupRuleBroken(const std::string& group) {
    return "グループ「" + group + "」: 名前がないか、64 バイトを超えるか、「,」があるか、ほかのグループと同じ名前です。";
}

// ---- reading the book ----
// |verb|: "書き出し" or "取り込み".
inline std::string CannotReadBook(const char* verb) { return std::string("アドレス帳を読み込めなかったため、") + verb + "ませんでした。"; }
inline constexpr const char* kExporting = "書き出し";
inline constexpr const char* kImporting = "取り込み";

// ---- export ----
inline std::string ExportToDevice(const std::string& path) { return "書き出し先がファイルではなく、デバイスの名前です: " + path; }
inline std::string ExportToReadOnly(const std::string& path) {
    return "書き出し先のファイルが読み取り専用のため、書き出しませんでした。ファイルは元のままです: " + path;
}
inline constexpr const char* kExportToBook = "書き出し先がアドレス帳そのものです。ほかのファイルを指定してください。";
inline constexpr const char* kExportNameNotShiftJis = "書き出し先の名前に Shift-JIS にない文字があります。ほかの名前を指定してください。";
inline constexpr const char* kNoBookYet = "アドレス帳はまだありません。空のファイルを書き出します。";
inline constexpr const char* kExportPastThousand = "アドレス帳の 1000人を超える部分は、プログラムが読まないため書き出しません。";
inline constexpr const char* kNoUtf8 =
    "アドレス帳に Shift-JIS の文字でないバイトがあるため、UTF-8 にできません。/utf8 なしで書き出してください。";
inline std::string Exporting(const std::string& count, bool utf8) {
    return "書き出すアドレス帳: " + count + (utf8 ? "、UTF-8" : "、Shift-JIS");
}
inline std::string CannotExport(const std::string& failure, const std::string& path) {
    return "書き出せませんでした (" + failure + ")。書き出し先のファイルは元のままです: " + path;
}
inline std::string Exported(const std::string& path) { return "書き出しました: " + path; }
inline std::string ExportingGroups(std::size_t groups, bool utf8) {
    return "書き出すグループ: " + std::to_string(groups) + (utf8 ? "、UTF-8" : "、Shift-JIS");
}

// ---- import ----
inline std::string ImportDevice(const std::string& path) { return "取り込むファイルではなく、デバイスの名前です: " + path; }
inline std::string ImportPipe(const std::string& path) { return "取り込むファイルではなく、デバイスかパイプです: " + path; }
inline std::string CannotReadImport(const std::string& failure, bool tooLarge) {
    return "取り込むファイルを読み込めませんでした (" + failure + ")。" + (tooLarge ? "ファイルが大きすぎます。" : "");
}
inline std::string Encoding(bool utf8) { return std::string("ファイルの文字コード: ") + (utf8 ? "UTF-8" : "Shift-JIS"); }
inline std::string Warning(const std::string& note) { return "警告 " + note; }
inline std::string Error(const std::string& note) { return "エラー " + note; }
inline std::string NotImported(std::size_t errors) {
    return "エラーが " + std::to_string(errors) + " 件あるため、取り込みませんでした。アドレス帳は変わっていません。";
}
inline constexpr const char* kImportPastThousand = "今のアドレス帳の 1000人を超える部分は、qvdutil が読まないため、書き換えると失われます。";
inline std::string BookCounts(const std::string& before, const std::string& after) { return "アドレス帳: " + before + " → " + after; }
inline constexpr const char* kNoChange = "変更はありません。アドレス帳はそのままです。";
inline std::string DeletingEveryone(int persons) { return "アドレス帳の全員 (" + std::to_string(persons) + "人) を削除します。"; }
inline constexpr const char* kAdded = "追加";
inline constexpr const char* kRemoved = "削除";
inline constexpr const char* kChanged = "変更";
inline constexpr const char* kConfirmImport = "アドレス帳をこの内容に書き換えますか? (y/n): ";
inline constexpr const char* kImportCancelled = "中止しました。アドレス帳は変わっていません。";
inline constexpr const char* kCannotWriteBook = "アドレス帳に書き込めませんでした。アドレス帳は変わっていません。";
inline constexpr const char* kImported = "アドレス帳を書き換えました。";
inline std::string GroupCounts(std::size_t before, std::size_t after) {
    return "グループ: " + std::to_string(before) + " → " + std::to_string(after);
}
inline constexpr const char* kNoGroupChange = "変更はありません。グループはそのままです。";
// "追加 2: A、B", groups by name.
inline std::string GroupList(const char* title, const std::vector<std::string>& names) {
    std::string line = std::string(title) + " " + std::to_string(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) line += (i ? "、" : ": ") + names[i];
    return line;
}
inline constexpr const char* kMembersNotFound = "アドレス帳にいないメンバー (qvdutil では「見つかりません」と表示)";
inline constexpr const char* kConfirmGroupImport = "グループをこの内容に書き換えますか? (y/n): ";
inline constexpr const char* kGroupImportCancelled = "中止しました。グループは変わっていません。";
inline constexpr const char* kCannotWriteGroups = "グループに書き込めませんでした。グループは変わっていません。";
inline constexpr const char* kGroupsImported = "グループを書き換えました。";

// ---- check: "OK  ", "NG  " or "--  " before each line ----
inline constexpr const char* kOk = "OK  ";
inline constexpr const char* kNg = "NG  ";
inline std::string FolderOfSystem(const std::string& folder, const char* policyValue) {
    return "--  アドレス帳のフォルダー: " + folder + " (システムディレクトリ。ポリシー " + policyValue + " はありません)";
}
inline std::string FolderOfPolicy(const std::string& folder, const char* policyKey, const char* policyValue) {
    return "--  アドレス帳のフォルダー: " + folder + " (ポリシー HKLM\\" + policyKey + " の " + policyValue + ")";
}
inline std::string BookLine(const std::string& path) { return "アドレス帳 " + path + ": "; }
inline constexpr const char* kReadable = "読み込めます。";
inline constexpr const char* kCheckPastThousand = "アドレス帳が 1000人を超えています。1001人目から後は表示されず、次の保存で捨てられます。";
inline constexpr const char* kBookMissing = "ありません。最初の保存でファイルを作るには、このフォルダーへの書き込み権限が要ります。";
inline constexpr const char* kJournalUnknown = "読み込めますが、作業ファイルを読めないため、途中の保存があるかどうか分かりません。";
inline constexpr const char* kReadHeld = "ほかのプログラムが、読み込みも許さずに開いています。";
inline constexpr const char* kNoReadRight = "このユーザーには読み込む権限がありません。";
inline constexpr const char* kUnreadable = "読み込めません。";
inline constexpr const char* kWriteMissing = "ありません。保存はすべて拒否されます。";
inline constexpr const char* kNoWriteRight = "このユーザーには書き込む権限がありません。保存はすべて拒否されます。";
inline constexpr const char* kWriteHeld = "ほかのプログラムが開いているため、いまは保存できません。";
inline constexpr const char* kCannotOpen = "開けません。";
inline constexpr const char* kBookWrite = "アドレス帳への書き込み: ";
inline constexpr const char* kMaySave = "このユーザーは保存できます。ほかに開いているプログラムはありません。";
inline std::string JournalLine(const std::string& path) { return "作業ファイル " + path + ": "; }
inline std::string GroupsLine(const std::string& path) { return "グループ " + path + ": "; }
inline std::string GroupCount(std::size_t groups, std::size_t notFound) {
    return "--  グループ " + std::to_string(groups) + "、アドレス帳にいないメンバー " + std::to_string(notFound) + "人";
}
inline std::string DirectoryLine(const std::string& server) { return "ディレクトリ " + server + ": "; }
inline constexpr const char* kDirectorySearchable = "このユーザーで検索できます。";
inline constexpr const char* kGroupsMissing = "ありません。グループを保存するには qvdbook setup で作ってください。";
inline constexpr const char* kMayWrite = "このユーザーは書き込めます。";
inline constexpr const char* kJournalHoldsSave = "--  作業ファイルに途中の保存があります。次にアドレス帳を開くと完了します。";
inline constexpr const char* kJournalCutShort = "--  作業ファイルに途中で切れた記録があります。次の保存で空にされます。";
inline std::string NoPrinter(const std::string& driver) { return "ドライバー「" + driver + "」を使うプリンターがありません。"; }
// |first|: the printer the program hands the destinations to.
inline std::string PrinterLine(const std::string& printer, bool first) {
    return "プリンター「" + printer + "」" + (first ? "(宛先を渡す先)" : "") + ": ";
}
inline constexpr const char* kValuesReadWrite = "宛先の値を読み書きできます。";
inline constexpr const char* kValuesNoSetRight = "宛先の値を書き込む権限がありません。";
inline constexpr const char* kValuesUnreadable = "宛先の値を読めません (PrinterDriverData がないか、権限がありません)。";
inline constexpr const char* kNoProblem = "問題はありません。";

// ---- setup ----
inline constexpr const char* kNotAdministrator =
    "NG  管理者として実行してください (管理者のコマンド プロンプトか、インストーラーから)。何も変えていません。";
inline constexpr const char* kNothingChanged = "何も変えていません。";
inline std::string CannotOpenOrMake(const std::string& path, const std::string& failure) {
    return path + ": 開くことも作ることもできません (" + failure + ")。";
}
inline constexpr const char* kGranted = "Users に許可しました。";
inline constexpr const char* kHadGrant = "Users に許可済みです。";
inline constexpr const char* kCannotGrant = "許可できませんでした。";
// |made|: the file was made empty; else it was there, its bytes kept.
inline std::string FileGrant(const std::string& path, bool made, const char* grant) {
    return path + ": " + (made ? "空のファイルを作りました。" : "あります (内容はそのまま)。") + "読み取りと書き込み (削除なし) を " + grant;
}
inline std::string PrinterGrant(const std::string& printer, const char* grant) {
    return "プリンター「" + printer + "」の宛先の値: 読み取りと設定を " + grant;
}
inline constexpr const char* kSetUp = "設定しました。";

// ---- the program ----
inline constexpr const char* kWow64 =
    "この qvdbook.exe は 32 ビット版です。64 ビット版の Windows では、64 ビット版の qvdbook.exe を"
    "使ってください (32 ビット版には System32 の代わりに SysWOW64 が見え、アドレス帳に届きません)。";

}  // namespace toolmsg
