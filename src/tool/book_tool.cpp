#include "tool/book_tool.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>

#include "book/book_file.h"
#include "book/book_store.h"
#include "book/cause_lines.h"
#include "system/security.h"
#include "driver/fax_number_book.h"
#include "system/text.h"
#include "storage/journal.h"
#include "tool/book_import.h"
#include "tool/code_page.h"

const char* const kToolUsage =
    "qvdbook: アドレス帳 (QVDDATA.CSV) の書き出し、取り込み、権限の確認\n"
    "\n"
    "  qvdbook export ファイル [/utf8]  アドレス帳をファイルに書き出します。\n"
    "                                   Shift-JIS のまま、/utf8 では UTF-8 (BOM 付き) で。\n"
    "  qvdbook import ファイル [/y] [/empty]\n"
    "                                   編集したファイルをアドレス帳に取り込みます。\n"
    "                                   Shift-JIS か UTF-8 の CSV。/y では確認しません。\n"
    "                                   人が 1人もいないファイルは /empty のときだけ取り込みます。\n"
    "  qvdbook check [/m:ドライバー名]  実行したユーザーに何ができるかを確かめます。\n"
    "                                   何も書き換えません。\n"
    "  qvdbook setup [/m:ドライバー名]  管理者として: ないアドレス帳と作業ファイルを作り、Users に\n"
    "                                   読み書き (削除なし) を、プリンターの宛先の値に読み書きを許可します。\n"
    "\n"
    "終了コード: 0 成功、1 拒否したか問題がある、2 使い方の誤り";

namespace {

bool SameOption(std::string_view argument, std::string_view option) {
    if (argument.size() != option.size()) return false;
    for (std::size_t i = 0; i < option.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(argument[i])) != option[i]) return false;
    return true;
}

std::string Count(std::size_t persons, std::size_t unnamed) {
    return std::to_string(persons) + "人 (名前のない行 " + std::to_string(unnamed) + ")";
}

const char* ColumnName(int column) {
    static const char* const kNames[] = {"名前", "名前(読み)", "会社", "会社(読み)", "部署", "FAX番号"};
    return column >= 1 && column <= 6 ? kNames[column - 1] : nullptr;
}

std::string Describe(const ImportNote& note) {
    using Kind = ImportNote::Kind;
    std::string where;
    if (note.row > 0) where = std::to_string(note.row) + "行目";
    if (note.column > 0) {
        where += " " + std::to_string(note.column) + "列目";
        if (const char* name = ColumnName(note.column)) where += std::string(" (") + name + ")";
    }
    if (!where.empty()) where += ": ";
    switch (note.kind) {
    case Kind::Utf16:
        return where + "UTF-16 (Unicode テキスト) のファイルは読めません。UTF-8 か Shift-JIS で保存し直してください (表計算ソフトでは「CSV UTF-8」か「CSV」)。";
    case Kind::NulByte:
        return where + "ゼロのバイト (NUL) があります。壊れたファイルか、文字コードの違うファイルです。";
    case Kind::NotShiftJis:
        return where + "Shift-JIS の文字でないバイトがあります。";
    case Kind::NotUtf8:
        return where + "UTF-8 の文字でないバイトがあります。";
    case Kind::NoShiftJisForm: {
        char code[16] = "";
        if (note.character) std::snprintf(code, sizeof code, "U+%04X ", static_cast<unsigned>(note.character));
        return where + "文字 " + code + "は Shift-JIS にないため、アドレス帳に保存できません。";
    }
    case Kind::Comma:
        return where + "カンマ (,) はアドレス帳に保存できません。";
    case Kind::Quote:
        return where + "引用符 (\") はアドレス帳に保存できません。";
    case Kind::LineBreak:
        return where + "セルの中の改行はアドレス帳に保存できません。";
    case Kind::FieldTooLong:
        return where + std::to_string(kMaxFileFieldBytes) + " バイトを超えています。";
    case Kind::ExtraColumn:
        return where + "アドレス帳の列は 13 列までです。";
    case Kind::TooManyPersons:
        return where + "1000人を超えています。アドレス帳には 1000人までしか入りません。";
    case Kind::TooManyUnnamedRows:
        return where + "名前のない行は 64 行までしか保存できません。";
    case Kind::NoPerson:
        return where + "ファイルに人が 1人もいません。アドレス帳を空にするときだけ、/empty を付けて取り込んでください。";
    case Kind::Unnamed:
        return where + "名前がありません。この行は保存されますが、アドレス帳には表示されません。";
    case Kind::Required:
        return where + "空です (登録ダイアログでは必須です)。";
    case Kind::TooLong:
        return where + std::to_string(note.column == 6 ? kMaxFaxNumberBytes : kMaxEntryTextBytes) +
               " バイトを超えています (登録ダイアログの上限)。";
    case Kind::FaxLooksLikeDate:
        return where + "日付のようです。表計算ソフトが FAX 番号を日付に変えていないか確かめてください。";
    case Kind::FaxAsNumber:
        return where + "数値のようです (先頭の 0 がないか、指数の形)。列を文字列にして編集し直してください。";
    case Kind::FaxCharacters:
        return where + "FAX 番号に使えない文字があります (半角の 0～9 - # * / ･ のみ)。";
    }
    return where;
}

// Persons are paired by name, the n-th of a name before with the n-th after.
struct BookChanges {
    std::vector<std::string> added, removed, changed;
};

BookChanges CompareBooks(const CAddressBook& before, const CAddressBook& after) {
    std::map<std::string, std::vector<int>> slotsByName;
    for (int slot = before.m_nEntryCount - 1; slot >= 0; --slot)
        slotsByName[before.m_aEntries[static_cast<std::size_t>(slot)].m_strName].push_back(slot);
    BookChanges changes;
    for (int slot = 0; slot < after.m_nEntryCount; ++slot) {
        const CAddressEntry& person = after.m_aEntries[static_cast<std::size_t>(slot)];
        std::vector<int>& slots = slotsByName[person.m_strName];
        if (slots.empty()) {
            changes.added.push_back(person.m_strName);
            continue;
        }
        const CAddressEntry& old = before.m_aEntries[static_cast<std::size_t>(slots.back())];
        slots.pop_back();
        for (auto column : CAddressEntry::kColumns)
            if (old.*column != person.*column) {
                changes.changed.push_back(person.m_strName);
                break;
            }
    }
    for (int slot = 0; slot < before.m_nEntryCount; ++slot) {
        const CAddressEntry& person = before.m_aEntries[static_cast<std::size_t>(slot)];
        std::vector<int>& slots = slotsByName[person.m_strName];
        if (std::find(slots.begin(), slots.end(), slot) != slots.end()) changes.removed.push_back(person.m_strName);
    }
    return changes;
}

std::string NameList(const char* title, const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 20;
    std::string line = std::string(title) + " " + std::to_string(names.size()) + "人";
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) line += (i ? "、" : ": ") + names[i];
    if (names.size() > kShown) line += " ほか " + std::to_string(names.size() - kShown) + "人";
    return line;
}

bool TakesFile(ToolCommand::Verb verb) {
    return verb == ToolCommand::Verb::Export || verb == ToolCommand::Verb::Import;
}

}  // namespace

bool IsDeviceName(std::string_view path) {
    if (path.substr(0, 4) == "\\\\.\\" || path.substr(0, 4) == "//./") return true;
    const std::size_t separator = FindLastSeparator(path, "\\/:");
    std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (const char* device : {"nul", "con", "prn", "aux", "conin$", "conout$", "clock$"})
        if (SameOption(name, device)) return true;
    return name.size() == 4 && (SameOption(name.substr(0, 3), "com") || SameOption(name.substr(0, 3), "lpt")) &&
           name[3] >= '1' && name[3] <= '9';
}

std::optional<ToolCommand> ParseToolCommand(const std::vector<std::string>& arguments) {
    ToolCommand command;
    if (arguments.empty()) return std::nullopt;
    const std::string& verb = arguments[0];
    if (SameOption(verb, "/?") || SameOption(verb, "-?") || SameOption(verb, "/help")) {
        return arguments.size() == 1 ? std::optional<ToolCommand>(command) : std::nullopt;
    }
    if (SameOption(verb, "export"))
        command.verb = ToolCommand::Verb::Export;
    else if (SameOption(verb, "import"))
        command.verb = ToolCommand::Verb::Import;
    else if (SameOption(verb, "check"))
        command.verb = ToolCommand::Verb::Check;
    else if (SameOption(verb, "setup"))
        command.verb = ToolCommand::Verb::Setup;
    else
        return std::nullopt;
    for (std::size_t at = 1; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (command.verb == ToolCommand::Verb::Export && SameOption(argument, "/utf8"))
            command.utf8 = true;
        else if (command.verb == ToolCommand::Verb::Import && SameOption(argument, "/y"))
            command.confirmed = true;
        else if (command.verb == ToolCommand::Verb::Import && SameOption(argument, "/empty"))
            command.mayEmpty = true;
        else if (!TakesFile(command.verb) && SameOption(argument.substr(0, 3), "/m:")) {
            // As the driver passes it to the program: the rest of the line, quoted or not.
            command.driverName = argument.substr(3);
            while (++at < arguments.size()) *command.driverName += " " + arguments[at];
        } else if (TakesFile(command.verb) && !command.fileArgument && argument.substr(0, 1) != "/")
            command.fileArgument = at;
        else
            return std::nullopt;
    }
    if (TakesFile(command.verb) && !command.fileArgument) return std::nullopt;
    return command;
}

bool BookTool::ReadBook(const char* verb, bool settle, std::unique_ptr<BookStore>& store, CAddressBook& book,
                        BookLoad& load) {
    auto refuse = [&](const std::string& cause) {
        Print(std::string("アドレス帳を読み込めなかったため、") + verb + "ませんでした。");
        Print(cause);
        return false;
    };
    const BookLocation location = LocateBook(m_files, m_registry);
    if (location.problem != BookLocation::Problem::None) return refuse(msg::FolderCause(location));
    store = std::make_unique<BookStore>(m_files, location);
    load = settle ? store->Load(book) : store->Look(book);
    if (load.state == FileContents::State::Uncertain) return refuse(msg::CauseOf(FileFault::JournalUnreadable));
    if (load.state == FileContents::State::Unreadable) return refuse(msg::CauseOf(load.fault));
    return true;
}

int BookTool::Export(const std::string& path, bool utf8) {
    if (IsDeviceName(path)) {
        Print("書き出し先がファイルではなく、デバイスの名前です: " + path);
        return kExitRefused;
    }
    if (m_files.IsReadOnlyFile(path)) {
        Print("書き出し先のファイルが読み取り専用のため、書き出しませんでした。ファイルは元のままです: " + path);
        return kExitRefused;
    }
    std::unique_ptr<BookStore> store;
    auto book = std::make_unique<CAddressBook>();
    BookLoad load;
    if (!ReadBook("書き出し", false, store, *book, load)) return kExitRefused;
    if (load.state == FileContents::State::Missing) Print("アドレス帳はまだありません。空のファイルを書き出します。");
    if (load.tooManyPersons) Print("アドレス帳の 1000人を超える部分は、プログラムが読まないため書き出しません。");
    std::string fileBytes = FormatAddressBook(*book);
    if (utf8) {
        std::optional<std::string> text = Utf8FromCp932(fileBytes);
        if (!text) {
            Print("アドレス帳に Shift-JIS の文字でないバイトがあるため、UTF-8 にできません。/utf8 なしで書き出してください。");
            return kExitRefused;
        }
        fileBytes = "\xEF\xBB\xBF" + *text;
    }
    Print("書き出すアドレス帳: " + Count(static_cast<std::size_t>(book->m_nEntryCount), book->m_nUnnamedRowCount) +
          (utf8 ? "、UTF-8" : "、Shift-JIS"));

    // Written whole beside the target, then put in its place: a script that
    // reads the target later never finds half a book there.
    const std::string partial = path + ".qvdbook-new";
    FileHandle* file = nullptr;
    std::string failure;
    switch (m_files.OpenFile(partial, FileAccess::Update, true, file)) {
    case FileOpenStatus::Opened:
    case FileOpenStatus::Created:
        if (m_files.SetFileLength(file, 0) != FileResult::Done ||
            m_files.WriteFileAt(file, 0, fileBytes) != FileResult::Done || m_files.FlushFile(file) != FileResult::Done)
            failure = m_files.LastFileErrorText();
        m_files.CloseFile(file);
        if (failure.empty() && m_files.MoveFileOver(partial, path) != FileResult::Done)
            failure = m_files.LastFileErrorText();
        if (!failure.empty()) m_files.RemoveFile(partial);
        break;
    default:
        failure = m_files.LastFileErrorText();
        break;
    }
    if (!failure.empty()) {
        Print("書き出せませんでした (" + failure + ")。書き出し先のファイルは元のままです: " + path);
        return kExitRefused;
    }
    Print("書き出しました: " + path);
    return kExitDone;
}

int BookTool::Import(std::string_view fileBytes, bool confirmed, bool mayEmpty) {
    auto edited = std::make_unique<CAddressBook>();
    ImportedFile file = ReadEditedFile(fileBytes, *edited, mayEmpty);
    if (file.encoding != ImportedFile::Encoding::Unread)
        Print(std::string("ファイルの文字コード: ") + (file.encoding == ImportedFile::Encoding::Utf8 ? "UTF-8" : "Shift-JIS"));
    for (const ImportNote& warning : file.warnings) Print("警告 " + Describe(warning));
    for (const ImportNote& refusal : file.refusals) Print("エラー " + Describe(refusal));
    if (!file.refusals.empty()) {
        Print("エラーが " + std::to_string(file.refusals.size()) +
              " 件あるため、取り込みませんでした。アドレス帳は変わっていません。");
        return kExitRefused;
    }

    std::unique_ptr<BookStore> store;
    auto current = std::make_unique<CAddressBook>();
    BookLoad load;
    if (!ReadBook("取り込み", true, store, *current, load)) return kExitRefused;
    KeepUnchangedRows(*current, *edited);
    if (load.tooManyPersons) Print("今のアドレス帳の 1000人を超える部分は、qvdutil が読まないため、書き換えると失われます。");
    Print("アドレス帳: " + Count(static_cast<std::size_t>(current->m_nEntryCount), current->m_nUnnamedRowCount) + " → " +
          Count(static_cast<std::size_t>(edited->m_nEntryCount), edited->m_nUnnamedRowCount));
    if (load.state != FileContents::State::Missing && FormatAddressBook(*current) == FormatAddressBook(*edited)) {
        Print("変更はありません。アドレス帳はそのままです。");
        return kExitDone;
    }
    BookChanges changes = CompareBooks(*current, *edited);
    if (edited->m_nEntryCount == 0) Print("アドレス帳の全員 (" + std::to_string(current->m_nEntryCount) + "人) を削除します。");
    Print(NameList("追加", changes.added));
    Print(NameList("削除", changes.removed));
    Print(NameList("変更", changes.changed));
    if (!confirmed) {
        std::string answer = m_console.Ask("アドレス帳をこの内容に書き換えますか? (y/n): ");
        if (answer != "y" && answer != "Y" && !SameOption(answer, "yes")) {
            Print("中止しました。アドレス帳は変わっていません。");
            return kExitRefused;
        }
    }
    if (FileFault fault = store->Save(*edited); fault != FileFault::None) {
        Print("アドレス帳に書き込めませんでした。アドレス帳は変わっていません。");
        Print(msg::CauseOf(fault));
        return kExitRefused;
    }
    Print("アドレス帳を書き換えました。");
    return kExitDone;
}

int BookTool::Check(const std::optional<std::string>& driverName) {
    int problems = 0;
    auto report = [&](bool ok, const std::string& line) {
        if (!ok) ++problems;
        Print((ok ? "OK  " : "NG  ") + line);
    };
    const BookLocation location = LocateBook(m_files, m_registry);
    if (!location.byPolicy)
        Print("--  アドレス帳のフォルダー: " + location.folder + " (システムディレクトリ。ポリシー " + kBookFolderValue +
              " はありません)");
    else if (location.problem == BookLocation::Problem::None)
        Print("--  アドレス帳のフォルダー: " + location.folder + " (ポリシー HKLM\\" + kPolicyKey + " の " +
              kBookFolderValue + ")");
    else {
        report(false, msg::FolderCause(location));
        Print("問題が 1 件あります。");
        return kExitRefused;
    }

    // Each open waits out a brief hold by another program (a scanner, a
    // save in progress) as the program's own opens do; nothing is written.
    auto open = [&](const std::string& path, FileAccess access, FileHandle*& handle) {
        return OpenFilePatiently(m_files, path, access, false, handle);
    };
    // The book as the program will show it, the journal's unfinished save included.
    const std::string bookPath = location.Path(kAddressBookFileName);
    auto book = std::make_unique<CAddressBook>();
    const BookLoad load = BookStore(m_files, location).Look(*book);
    const std::string bookLine = "アドレス帳 " + bookPath + ": ";
    switch (load.state) {
    case FileContents::State::Read:
        report(true, bookLine + "読み込めます。" +
                         Count(static_cast<std::size_t>(book->m_nEntryCount), book->m_nUnnamedRowCount));
        if (load.tooManyPersons)
            report(false, "アドレス帳が 1000人を超えています。1001人目から後は表示されず、次の保存で捨てられます。");
        break;
    case FileContents::State::Missing:
        report(false, bookLine + "ありません。最初の保存でファイルを作るには、このフォルダーへの書き込み権限が要ります。");
        break;
    case FileContents::State::Uncertain:
        report(false, bookLine + "読み込めますが、作業ファイルを読めないため、途中の保存があるかどうか分かりません。");
        break;
    case FileContents::State::Unreadable:
        report(false, bookLine + (load.fault == FileFault::Held      ? "ほかのプログラムが、読み込みも許さずに開いています。"
                                  : load.fault == FileFault::NoRight ? "このユーザーには読み込む権限がありません。"
                                                                     : "読み込めません。"));
        break;
    }
    // Opened for writing, and closed at once: whether this user may write it now.
    auto mayWrite = [&](const std::string& path, std::string* bytes) -> const char* {
        FileHandle* handle = nullptr;
        switch (open(path, FileAccess::Update, handle)) {
        case FileOpenStatus::Opened:
        case FileOpenStatus::Created:
            if (bytes && !m_files.ReadWholeFile(handle, *bytes)) bytes->clear();
            m_files.CloseFile(handle);
            return nullptr;
        case FileOpenStatus::Missing:
            return "ありません。保存はすべて拒否されます。";
        case FileOpenStatus::Denied:
            return "このユーザーには書き込む権限がありません。保存はすべて拒否されます。";
        case FileOpenStatus::Locked:
            return "ほかのプログラムが開いているため、いまは保存できません。";
        case FileOpenStatus::Failed:
            break;
        }
        return "開けません。";
    };
    if (load.state != FileContents::State::Missing) {
        const char* refusal = mayWrite(bookPath, nullptr);
        report(!refusal, std::string("アドレス帳への書き込み: ") +
                             (refusal ? refusal : "このユーザーは保存できます。ほかに開いているプログラムはありません。"));
    }
    const std::string journalPath = location.Path(kAddressBookJournalFileName);
    std::string recorded;
    const char* refusal = mayWrite(journalPath, &recorded);
    report(!refusal, "作業ファイル " + journalPath + ": " + (refusal ? refusal : "このユーザーは書き込めます。"));
    if (!recorded.empty())
        Print(DecodeJournal(recorded) ? "--  作業ファイルに途中の保存があります。次にアドレス帳を開くと完了します。"
                                      : "--  作業ファイルに途中で切れた記録があります。次の保存で空にされます。");

    if (driverName) {
        std::vector<PrinterRights> printers = PrintersOfDriver(m_registry, *driverName);
        if (printers.empty()) report(false, "ドライバー「" + *driverName + "」を使うプリンターがありません。");
        for (std::size_t i = 0; i < printers.size(); ++i) {
            const PrinterRights& printer = printers[i];
            std::string line = "プリンター「" + printer.printerName + "」" + (i == 0 ? "(宛先を渡す先)" : "") + ": ";
            if (printer.canRead && printer.canSet)
                report(true, line + "宛先の値を読み書きできます。");
            else
                report(false, line + (printer.canRead ? "宛先の値を書き込む権限がありません。"
                                                      : "宛先の値を読めません (PrinterDriverData がないか、権限がありません)。"));
        }
    }
    Print(problems == 0 ? "問題はありません。" : "問題が " + std::to_string(problems) + " 件あります。");
    return problems == 0 ? kExitDone : kExitRefused;
}

int BookTool::Setup(const std::optional<std::string>& driverName) {
    // What would stop it is known before anything changes.
    if (!m_security.RunsAsAdministrator()) {
        Print("NG  管理者として実行してください (管理者のコマンド プロンプトか、インストーラーから)。何も変えていません。");
        return kExitRefused;
    }
    const BookLocation location = LocateBook(m_files, m_registry);
    if (location.problem != BookLocation::Problem::None) {
        Print("NG  " + msg::FolderCause(location) + " 何も変えていません。");
        return kExitRefused;
    }
    std::vector<PrinterRights> printers;
    if (driverName) {
        printers = PrintersOfDriver(m_registry, *driverName);
        if (printers.empty()) {
            Print("NG  ドライバー「" + *driverName + "」を使うプリンターがありません。何も変えていません。");
            return kExitRefused;
        }
    }

    int problems = 0;
    auto report = [&](bool ok, const std::string& line) {
        problems += ok ? 0 : 1;
        Print((ok ? "OK  " : "NG  ") + line);
    };
    auto granted = [](Security::Grant grant) {
        return grant == Security::Grant::Added ? "Users に許可しました。" : grant == Security::Grant::Had ? "Users に許可済みです。" : "";
    };
    for (const char* name : {kAddressBookFileName, kAddressBookJournalFileName}) {
        const std::string path = location.Path(name);
        FileHandle* file = nullptr;
        // Opened as it is, or made empty; never cut or written.
        const FileOpenStatus status = OpenFilePatiently(m_files, path, FileAccess::Update, true, file);
        if (status != FileOpenStatus::Opened && status != FileOpenStatus::Created) {
            report(false, path + ": 開くことも作ることもできません (" + m_files.LastFileErrorText() + ")。");
            continue;
        }
        m_files.CloseFile(file);
        // Read and write, never delete: the file stays, with its rights, whatever a user does.
        const Security::Grant grant = m_security.GrantUsersOnFile(path, FILE_GENERIC_READ | FILE_GENERIC_WRITE);
        report(grant != Security::Grant::Failed,
               path + ": " + (status == FileOpenStatus::Created ? "空のファイルを作りました。" : "あります (内容はそのまま)。") +
                   "読み取りと書き込み (削除なし) を " +
                   (grant == Security::Grant::Failed ? "許可できませんでした。" : granted(grant)));
    }
    for (const PrinterRights& printer : printers) {
        const std::string key = std::string(kPrintersKey) + "\\" + printer.printerName + "\\" + kDriverDataKey;
        // What the program's read and write of the two values ask for.
        const Security::Grant grant = m_security.GrantUsersOnMachineKey(key, KEY_QUERY_VALUE | KEY_SET_VALUE);
        report(grant != Security::Grant::Failed,
               "プリンター「" + printer.printerName + "」の宛先の値: 読み取りと設定を " +
                   (grant == Security::Grant::Failed ? "許可できませんでした。" : granted(grant)));
    }
    Print(problems == 0 ? "設定しました。" : "問題が " + std::to_string(problems) + " 件あります。");
    return problems == 0 ? kExitDone : kExitRefused;
}
