#include "tool/book_tool.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>

#include "book/book_change.h"
#include "book/book_file.h"
#include "book/book_store.h"
#include "book/cause_lines.h"
#include "system/security.h"
#include "driver/fax_number_book.h"
#include "system/text.h"
#include "storage/journal.h"
#include "tool/book_import.h"
#include "system/code_page.h"
#include "directory/messages.h"
#include "tool/messages.h"

namespace {

bool SameOption(std::string_view argument, std::string_view option) {
    if (argument.size() != option.size()) return false;
    for (std::size_t i = 0; i < option.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(argument[i])) != option[i]) return false;
    return true;
}

std::string Count(std::size_t persons, std::size_t unnamed) { return toolmsg::Count(persons, unnamed); }

std::string Describe(const ImportNote& note) {
    using Kind = ImportNote::Kind;
    std::string where;
    if (note.row > 0) where = toolmsg::Row(note.row);
    if (note.column > 0) {
        where += toolmsg::Column(note.column);
        if (note.column <= 6) where += std::string(" (") + toolmsg::kColumnNames[note.column - 1] + ")";
    }
    if (!where.empty()) where += ": ";
    switch (note.kind) {
    case Kind::Utf16:
        return where + toolmsg::kUtf16;
    case Kind::NulByte:
        return where + toolmsg::kNulByte;
    case Kind::NotShiftJis:
        return where + toolmsg::kNotShiftJis;
    case Kind::NotUtf8:
        return where + toolmsg::kNotUtf8;
    case Kind::NoShiftJisForm: {
        char code[16] = "";
        if (note.character) std::snprintf(code, sizeof code, "U+%04X ", static_cast<unsigned>(note.character));
        return where + toolmsg::NoShiftJisForm(code);
    }
    case Kind::Comma:
        return where + toolmsg::kComma;
    case Kind::Quote:
        return where + toolmsg::kQuote;
    case Kind::LineBreak:
        return where + toolmsg::kLineBreak;
    case Kind::FieldTooLong:
        return where + toolmsg::FieldTooLong(kMaxFileFieldBytes);
    case Kind::ExtraColumn:
        return where + toolmsg::kExtraColumn;
    case Kind::TooManyPersons:
        return where + toolmsg::kTooManyPersons;
    case Kind::TooManyUnnamedRows:
        return where + toolmsg::kTooManyUnnamedRows;
    case Kind::NoPerson:
        return where + toolmsg::kNoPerson;
    case Kind::TooManyGroups:
        return where + toolmsg::kTooManyGroups;
    case Kind::GroupRule:
        return where + toolmsg::GroupRuleBroken(note.group);
    case Kind::Unnamed:
        return where + toolmsg::kUnnamed;
    case Kind::Required:
        return where + toolmsg::kRequired;
    case Kind::TooLong:
        return where + toolmsg::TooLong(note.column == 6 ? kMaxFaxNumberBytes : kMaxEntryTextBytes);
    case Kind::FaxLooksLikeDate:
        return where + toolmsg::kFaxLooksLikeDate;
    case Kind::FaxAsNumber:
        return where + toolmsg::kFaxAsNumber;
    case Kind::FaxCharacters:
        return where + toolmsg::kFaxCharacters;
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
        if (!SameRow(old, person)) changes.changed.push_back(person.m_strName);
    }
    for (int slot = 0; slot < before.m_nEntryCount; ++slot) {
        const CAddressEntry& person = before.m_aEntries[static_cast<std::size_t>(slot)];
        std::vector<int>& slots = slotsByName[person.m_strName];
        if (std::find(slots.begin(), slots.end(), slot) != slots.end()) changes.removed.push_back(person.m_strName);
    }
    return changes;
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
        else if (TakesFile(command.verb) && SameOption(argument, "/groups"))
            command.groups = true;
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
        Print(toolmsg::CannotReadBook(verb));
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

int BookTool::Export(const std::string& path, bool utf8, bool groups) {
    if (IsDeviceName(path)) {
        Print(toolmsg::ExportToDevice(path));
        return kExitRefused;
    }
    if (m_files.IsReadOnlyFile(path)) {
        Print(toolmsg::ExportToReadOnly(path));
        return kExitRefused;
    }
    std::unique_ptr<BookStore> store;
    auto book = std::make_unique<CAddressBook>();
    BookLoad load;
    if (!ReadBook(toolmsg::kExporting, false, store, *book, load)) return kExitRefused;
    if (!groups && load.state == FileContents::State::Missing) Print(toolmsg::kNoBookYet);
    if (!groups && load.tooManyPersons) Print(toolmsg::kExportPastThousand);
    std::string fileBytes = groups ? FormatGroups(book->m_aGroups) : FormatAddressBook(*book);
    if (utf8) {
        std::optional<std::string> text = Utf8FromCp932(fileBytes);
        if (!text) {
            Print(toolmsg::kNoUtf8);
            return kExitRefused;
        }
        fileBytes = "\xEF\xBB\xBF" + *text;
    }
    Print(groups ? toolmsg::ExportingGroups(book->m_aGroups.size(), utf8)
                 : toolmsg::Exporting(Count(static_cast<std::size_t>(book->m_nEntryCount), book->m_nUnnamedRowCount), utf8));

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
        Print(toolmsg::CannotExport(failure, path));
        return kExitRefused;
    }
    Print(toolmsg::Exported(path));
    return kExitDone;
}

bool BookTool::Report(const ImportedFile& file) {
    if (file.encoding != ImportedFile::Encoding::Unread)
        Print(toolmsg::Encoding(file.encoding == ImportedFile::Encoding::Utf8));
    for (const ImportNote& warning : file.warnings) Print(toolmsg::Warning(Describe(warning)));
    for (const ImportNote& refusal : file.refusals) Print(toolmsg::Error(Describe(refusal)));
    if (file.refusals.empty()) return true;
    Print(toolmsg::NotImported(file.refusals.size()));
    return false;
}

bool BookTool::Confirmed(bool confirmed, const char* question, const char* cancelled) {
    if (confirmed) return true;
    const std::string answer = m_console.Ask(question);
    if (answer == "y" || answer == "Y" || SameOption(answer, "yes")) return true;
    Print(cancelled);
    return false;
}

int BookTool::Import(std::string_view fileBytes, bool confirmed, bool mayEmpty) {
    auto edited = std::make_unique<CAddressBook>();
    if (!Report(ReadEditedFile(fileBytes, *edited, mayEmpty))) return kExitRefused;

    std::unique_ptr<BookStore> store;
    auto current = std::make_unique<CAddressBook>();
    BookLoad load;
    if (!ReadBook(toolmsg::kImporting, true, store, *current, load)) return kExitRefused;
    KeepUnchangedRows(*current, *edited);
    if (load.tooManyPersons) Print(toolmsg::kImportPastThousand);
    Print(toolmsg::BookCounts(Count(static_cast<std::size_t>(current->m_nEntryCount), current->m_nUnnamedRowCount),
                              Count(static_cast<std::size_t>(edited->m_nEntryCount), edited->m_nUnnamedRowCount)));
    if (load.state != FileContents::State::Missing && FormatAddressBook(*current) == FormatAddressBook(*edited)) {
        Print(toolmsg::kNoChange);
        return kExitDone;
    }
    BookChanges changes = CompareBooks(*current, *edited);
    if (edited->m_nEntryCount == 0) Print(toolmsg::DeletingEveryone(current->m_nEntryCount));
    Print(toolmsg::NameList(toolmsg::kAdded, changes.added));
    Print(toolmsg::NameList(toolmsg::kRemoved, changes.removed));
    Print(toolmsg::NameList(toolmsg::kChanged, changes.changed));
    if (!Confirmed(confirmed, toolmsg::kConfirmImport, toolmsg::kImportCancelled)) return kExitRefused;
    return SaveReported(store->Save(*edited), toolmsg::kCannotWriteBook, toolmsg::kImported);
}

int BookTool::SaveReported(FileFault fault, const char* failed, const char* done) {
    if (fault == FileFault::None) {
        Print(done);
        return kExitDone;
    }
    Print(failed);
    Print(msg::CauseOf(fault));
    return kExitRefused;
}

int BookTool::ImportGroups(std::string_view fileBytes, bool confirmed) {
    std::vector<CGroup> edited;
    if (!Report(ReadEditedGroups(fileBytes, edited))) return kExitRefused;
    std::unique_ptr<BookStore> store;
    auto book = std::make_unique<CAddressBook>();
    BookLoad load;
    if (!ReadBook(toolmsg::kImporting, true, store, *book, load)) return kExitRefused;
    Print(toolmsg::GroupCounts(book->m_aGroups.size(), edited.size()));
    if (edited == book->m_aGroups) {
        Print(toolmsg::kNoGroupChange);
        return kExitDone;
    }
    std::vector<std::string> added, removed, changed, notFound;
    for (const CGroup& group : edited) {
        const int was = FindGroup(book->m_aGroups, group.m_strName);
        if (was < 0)
            added.push_back(group.m_strName);
        else if (!(book->m_aGroups[static_cast<std::size_t>(was)] == group))
            changed.push_back(group.m_strName);
        for (const std::string& name : NamesNotFound(*book, group)) notFound.push_back(group.m_strName + "/" + name);
    }
    for (const CGroup& group : book->m_aGroups)
        if (FindGroup(edited, group.m_strName) < 0) removed.push_back(group.m_strName);
    Print(toolmsg::GroupList(toolmsg::kAdded, added));
    Print(toolmsg::GroupList(toolmsg::kRemoved, removed));
    Print(toolmsg::GroupList(toolmsg::kChanged, changed));
    if (!notFound.empty()) Print(toolmsg::Warning(toolmsg::GroupList(toolmsg::kMembersNotFound, notFound)));
    if (!Confirmed(confirmed, toolmsg::kConfirmGroupImport, toolmsg::kGroupImportCancelled)) return kExitRefused;
    book->m_aGroups = std::move(edited);
    return SaveReported(store->SaveGroups(*book), toolmsg::kCannotWriteGroups, toolmsg::kGroupsImported);
}

int BookTool::Check(const std::optional<std::string>& driverName) {
    int problems = 0;
    auto report = [&](bool ok, const std::string& line) {
        if (!ok) ++problems;
        Print((ok ? toolmsg::kOk : toolmsg::kNg) + line);
    };
    const BookLocation location = LocateBook(m_files, m_registry);
    if (!location.byPolicy)
        Print(toolmsg::FolderOfSystem(location.folder, kBookFolderValue));
    else if (location.problem == BookLocation::Problem::None)
        Print(toolmsg::FolderOfPolicy(location.folder, kPolicyKey, kBookFolderValue));
    else {
        report(false, msg::FolderCause(location));
        Print(toolmsg::Problems(1));
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
    const std::string bookLine = toolmsg::BookLine(bookPath);
    switch (load.state) {
    case FileContents::State::Read:
        report(true, bookLine + toolmsg::kReadable +
                         Count(static_cast<std::size_t>(book->m_nEntryCount), book->m_nUnnamedRowCount));
        if (load.tooManyPersons)
            report(false, toolmsg::kCheckPastThousand);
        break;
    case FileContents::State::Missing:
        report(false, bookLine + toolmsg::kBookMissing);
        break;
    case FileContents::State::Uncertain:
        report(false, bookLine + toolmsg::kJournalUnknown);
        break;
    case FileContents::State::Unreadable:
        report(false, bookLine + (load.fault == FileFault::Held      ? toolmsg::kReadHeld
                                  : load.fault == FileFault::NoRight ? toolmsg::kNoReadRight
                                                                     : toolmsg::kUnreadable));
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
            return toolmsg::kWriteMissing;
        case FileOpenStatus::Denied:
            return toolmsg::kNoWriteRight;
        case FileOpenStatus::Locked:
            return toolmsg::kWriteHeld;
        case FileOpenStatus::Failed:
            break;
        }
        return toolmsg::kCannotOpen;
    };
    if (load.state != FileContents::State::Missing) {
        const char* refusal = mayWrite(bookPath, nullptr);
        report(!refusal, std::string(toolmsg::kBookWrite) + (refusal ? refusal : toolmsg::kMaySave));
    }
    const std::string journalPath = location.Path(kAddressBookJournalFileName);
    std::string recorded;
    const char* refusal = mayWrite(journalPath, &recorded);
    report(!refusal, toolmsg::JournalLine(journalPath) + (refusal ? refusal : toolmsg::kMayWrite));
    if (!recorded.empty()) Print(DecodeJournal(recorded) ? toolmsg::kJournalHoldsSave : toolmsg::kJournalCutShort);
    if (load.groupsState == FileContents::State::Read) {
        std::size_t notFound = 0;
        for (const CGroup& group : book->m_aGroups) notFound += NamesNotFound(*book, group).size();
        Print(toolmsg::GroupCount(book->m_aGroups.size(), notFound));
    }
    if (load.groupsDropped > 0) report(false, toolmsg::kTooManyGroups);
    for (const char* name : {kGroupFileName, kGroupJournalFileName}) {
        const std::string path = location.Path(name);
        const char* cannot = mayWrite(path, nullptr);
        report(!cannot, (name == kGroupFileName ? toolmsg::GroupsLine(path) : toolmsg::JournalLine(path)) +
                            (cannot == toolmsg::kWriteMissing ? toolmsg::kGroupsMissing : cannot ? cannot : toolmsg::kMayWrite));
    }

    const DirectoryPolicy directory = ReadDirectoryPolicy(m_registry);
    if (directory.enabled) {
        // One page of one person through the policy's own filter: whether this user reaches the directory and may search it.
        DirectoryQuery query = directory.query;
        query.pageSize = 1;
        const DirectoryPage page = m_directory.Search(query)->Next();
        const std::string failed = msg::DirectoryFailed(query, page.fault, page.code);
        report(page.fault == DirectoryFault::None,
               toolmsg::DirectoryLine(msg::ServerName(query)) +
                   (page.fault == DirectoryFault::None ? toolmsg::kDirectorySearchable : failed.substr(failed.find('\n') + 1)));
    }

    if (driverName) {
        std::vector<PrinterRights> printers = PrintersOfDriver(m_registry, *driverName);
        if (printers.empty()) report(false, toolmsg::NoPrinter(*driverName));
        for (std::size_t i = 0; i < printers.size(); ++i) {
            const PrinterRights& printer = printers[i];
            const std::string line = toolmsg::PrinterLine(printer.printerName, i == 0);
            if (printer.canRead && printer.canSet)
                report(true, line + toolmsg::kValuesReadWrite);
            else
                report(false, line + (printer.canRead ? toolmsg::kValuesNoSetRight : toolmsg::kValuesUnreadable));
        }
    }
    Print(problems == 0 ? toolmsg::kNoProblem : toolmsg::Problems(problems));
    return problems == 0 ? kExitDone : kExitRefused;
}

int BookTool::Setup(const std::optional<std::string>& driverName) {
    // What would stop it is known before anything changes.
    if (!m_security.RunsAsAdministrator()) {
        Print(toolmsg::kNotAdministrator);
        return kExitRefused;
    }
    const BookLocation location = LocateBook(m_files, m_registry);
    if (location.problem != BookLocation::Problem::None) {
        Print(toolmsg::kNg + msg::FolderCause(location) + " " + toolmsg::kNothingChanged);
        return kExitRefused;
    }
    std::vector<PrinterRights> printers;
    if (driverName) {
        printers = PrintersOfDriver(m_registry, *driverName);
        if (printers.empty()) {
            Print(toolmsg::kNg + toolmsg::NoPrinter(*driverName) + toolmsg::kNothingChanged);
            return kExitRefused;
        }
    }

    int problems = 0;
    auto report = [&](bool ok, const std::string& line) {
        problems += ok ? 0 : 1;
        Print((ok ? "OK  " : "NG  ") + line);
    };
    auto granted = [](Security::Grant grant) {
        return grant == Security::Grant::Added ? toolmsg::kGranted
               : grant == Security::Grant::Had ? toolmsg::kHadGrant
                                               : toolmsg::kCannotGrant;
    };
    for (const char* name : {kAddressBookFileName, kAddressBookJournalFileName, kGroupFileName, kGroupJournalFileName}) {
        const std::string path = location.Path(name);
        FileHandle* file = nullptr;
        // Opened as it is, or made empty; never cut or written.
        const FileOpenStatus status = OpenFilePatiently(m_files, path, FileAccess::Update, true, file);
        if (status != FileOpenStatus::Opened && status != FileOpenStatus::Created) {
            report(false, toolmsg::CannotOpenOrMake(path, m_files.LastFileErrorText()));
            continue;
        }
        m_files.CloseFile(file);
        // Read and write, never delete: the file stays, with its rights, whatever a user does.
        const Security::Grant grant = m_security.GrantUsersOnFile(path, FILE_GENERIC_READ | FILE_GENERIC_WRITE);
        report(grant != Security::Grant::Failed,
               toolmsg::FileGrant(path, status == FileOpenStatus::Created, granted(grant)));
    }
    for (const PrinterRights& printer : printers) {
        const std::string key = std::string(kPrintersKey) + "\\" + printer.printerName + "\\" + kDriverDataKey;
        // What the program's read and write of the two values ask for.
        const Security::Grant grant = m_security.GrantUsersOnMachineKey(key, KEY_QUERY_VALUE | KEY_SET_VALUE);
        report(grant != Security::Grant::Failed,
               toolmsg::PrinterGrant(printer.printerName, granted(grant)));
    }
    Print(problems == 0 ? toolmsg::kSetUp : toolmsg::Problems(problems));
    return problems == 0 ? kExitDone : kExitRefused;
}
