// A book edited elsewhere (a spreadsheet, a text editor), read back into a
// book only when the book can hold it as the file shows it.
#pragma once

#include <string_view>
#include <vector>

#include "book/address_book.h"

// One finding, at a row (as a spreadsheet numbers them, from 1) and a column
// (1 to 13; 0 for the whole row, or with row 0 the whole file).
struct ImportNote {
    enum class Kind {
        // Refusals: the book could not hold the file as it shows.
        Utf16,           // a file in UTF-16 ("Unicode text")
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

    bool Refuses() const { return kind <= Kind::TooManyUnnamedRows; }
    bool operator==(const ImportNote& other) const {
        return kind == other.kind && row == other.row && column == other.column && character == other.character;
    }
};

struct ImportedFile {
    bool utf8 = false;
    std::vector<ImportNote> refusals;
    std::vector<ImportNote> warnings;
};

// Empties |book| and fills it from an edited file: Shift-JIS or UTF-8 (with
// or without a byte-order mark; the bytes decide), CR LF, LF or CR line ends,
// fields quoted as spreadsheets quote them, short rows filled with empty
// columns, empty rows ignored. With any refusal, the book is
// not to be stored.
ImportedFile ReadEditedFile(std::string_view bytes, CAddressBook& book);
