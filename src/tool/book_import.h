// A book edited elsewhere (a spreadsheet, a text editor), read back into a
// book only when the book can hold it as the file shows it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/address_book.h"

// One finding, at a row (as a spreadsheet numbers them, from 1) and a column
// (1 to 13; 0 for the whole row, or with row 0 the whole file).
struct ImportNote {
    enum class Kind {
        // Refusals: the book could not hold the file as it shows.
        Utf16,           // a file in UTF-16 ("Unicode text"), with a byte-order mark or without
        NulByte,         // a zero byte: no text holds one, and the program would end the field there
        NotShiftJis,     // bytes that are no characters of Shift-JIS
        NotUtf8,         // a file marked as UTF-8 whose bytes are not
        NoShiftJisForm,  // a character Shift-JIS has no form for (|character|)
        Comma,
        Quote,      // a quote inside the text, or a quoted field not closed
        LineBreak,  // CR or LF inside a quoted field
        FieldTooLong,
        ExtraColumn,         // text beyond the thirteenth column
        TooManyPersons,      // the 1001st person
        TooManyUnnamedRows,  // the 65th row without a name
        NoPerson,            // not one person: the book would be emptied
        TooManyGroups,       // past the 200th group or a group's 100th member
        GroupRule,           // a group (|group|) breaks a rule of the group dialog
        // Warnings: stored, but the entry dialogs would refuse it, or a
        // spreadsheet has probably changed it.
        Unnamed,  // a row without a name is kept, and never shown
        Required,
        TooLong,
        FaxLooksLikeDate,
        FaxAsNumber,  // a leading zero lost, or in exponent form
        FaxCharacters,
    };
    Kind kind;
    int row = 0;
    int column = 0;
    char32_t character = 0;
    std::string group = "";

    bool Refuses() const { return kind <= Kind::GroupRule; }
    bool operator==(const ImportNote& other) const {
        return kind == other.kind && row == other.row && column == other.column && character == other.character &&
               group == other.group;
    }
};

struct ImportedFile {
    enum class Encoding { Unread, ShiftJis, Utf8 };
    Encoding encoding = Encoding::Unread;
    std::vector<ImportNote> refusals;
    std::vector<ImportNote> warnings;
};

// Empties |book| and fills it from an edited file: Shift-JIS or UTF-8 (with
// or without a byte-order mark; the bytes decide), CR LF, LF or CR line ends,
// fields quoted as spreadsheets quote them, short rows filled with empty
// columns, empty rows ignored. A file without a person is refused unless
// |mayEmpty|. With any refusal, the book is not to be stored.
ImportedFile ReadEditedFile(std::string_view bytes, CAddressBook& book, bool mayEmpty = false);
// The same for the groups' file (group name, reading, member name, FAX
// number): every group held to the group dialog's rules.
ImportedFile ReadEditedGroups(std::string_view bytes, std::vector<CGroup>& groups);

// The rows of an edited file, each field decoded into code page 932; a
// refused field left empty.
struct EditedRow {
    int number = 0;  // as a spreadsheet numbers rows, from 1
    std::vector<std::string> texts;  // |columns| of them
    bool refused = false;
};
struct EditedTable {
    ImportedFile file;
    std::vector<EditedRow> rows;
};
EditedTable ReadEditedTable(std::string_view bytes, std::size_t columns);

// Gives each row of |edited| that holds the same characters as a row of
// |current| that row's own bytes: a character with two codes in Shift-JIS
// comes back from UTF-8 as Windows' preferred one, though nobody changed it.
void KeepUnchangedRows(const CAddressBook& current, CAddressBook& edited);
