// qvdbook, the administrator's tool for the book: writes it out for editing
// elsewhere, takes an edited file back in through the same journaled save
// as the program, and reports what the user who runs it may do. Every
// command tells what it found, and returns the exit code.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BookStore;
class CAddressBook;
class Directory;
class Files;
class Registry;
class Security;
struct BookLoad;
enum class FileFault;

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;  // refused, cancelled, or a problem found
inline constexpr int kExitUsage = 2;

// Where the tool talks to the administrator; texts in code page 932.
class ToolConsole {
public:
    virtual ~ToolConsole() = default;
    virtual void Print(std::string_view line) = 0;
    // The answer to |question|; empty at the end of the input.
    virtual std::string Ask(std::string_view question) = 0;

protected:
    ToolConsole() = default;
};

struct ToolCommand {
    enum class Verb { Help, Export, Import, Check, Setup };
    Verb verb = Verb::Help;
    std::size_t fileArgument = 0;  // where FILE stands among the arguments
    bool utf8 = false;
    bool confirmed = false;  // "/y"
    bool mayEmpty = false;   // "/empty": a file without a person may empty the book
    bool groups = false;     // "/groups": export and import the groups' file
    std::optional<std::string> driverName;
};
// The arguments after the program's name; nullopt when they make no command.
std::optional<ToolCommand> ParseToolCommand(const std::vector<std::string>& arguments);

// Whether |path| names a device (NUL, CON, COM1...), as Windows takes such a
// name with any extension in any folder: never a file to read or write.
bool IsDeviceName(std::string_view path);

class BookTool {
public:
    BookTool(Files& files, Registry& registry, Security& security, Directory& directory, ToolConsole& console)
        : m_files(files), m_registry(registry), m_security(security), m_directory(directory), m_console(console) {}

    // Writes the book as the program reads it to |path|, Shift-JIS or UTF-8
    // after a byte-order mark: the whole of it or nothing, an earlier file of
    // that name kept until the new one is complete.
    int Export(const std::string& path, bool utf8, bool groups = false);
    // Makes an edited file the book, once nothing in it is refused and the
    // change is confirmed (asked unless |confirmed|).
    int Import(std::string_view fileBytes, bool confirmed, bool mayEmpty = false);
    // Makes an edited groups' file the groups, the same way.
    int ImportGroups(std::string_view fileBytes, bool confirmed);
    // Opens and closes, never writes; where the policy names a directory,
    // searches it once for one person.
    int Check(const std::optional<std::string>& driverName);
    // As an administrator: the book and its journal made where the program
    // looks for them if missing (an existing file's bytes never touched),
    // Users granted read and write (not delete) on both, and query and set
    // on the driver data of every printer of |driverName|. Refuses, having
    // changed nothing, what it can foresee.
    int Setup(const std::optional<std::string>& driverName);

private:
    void Print(std::string_view line) { m_console.Print(line); }
    // Prints the findings of an edited file; false when it is refused.
    bool Report(const struct ImportedFile& file);
    bool Confirmed(bool confirmed, const char* question, const char* cancelled);
    // Says how an import's save ended (|done|, or |failed| and the cause); the exit code.
    int SaveReported(FileFault fault, const char* failed, const char* done);
    // Reads the book where the program finds it (finishing a save its
    // journal records when |settle|); false, having said why |verb| was not
    // done, when it cannot be read.
    bool ReadBook(const char* verb, bool settle, std::unique_ptr<BookStore>& store, CAddressBook& book, BookLoad& load);

    Files& m_files;
    Registry& m_registry;
    Security& m_security;
    Directory& m_directory;
    ToolConsole& m_console;
};
