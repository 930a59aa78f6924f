// Finding a person by a piece of a name, reading, company, department or
// FAX number, typed as a Japanese user types it: kana in any of their forms,
// letters and digits in either width and case.
#pragma once

#include <string>
#include <string_view>

#include "book/address_book.h"

// A text of code page 932 in the form the search compares: hiragana and
// half-width katakana become full-width katakana, with a voiced or
// semi-voiced mark joined to its kana; full-width letters, digits, spaces
// and hyphens become ASCII, letters lower case. Other characters stay as
// they are (a double-byte one as one unit).
std::u16string SearchForm(std::string_view text);

class PersonQuery {
public:
    explicit PersonQuery(std::string_view text);

    bool Empty() const { return m_form.empty(); }
    // The text anywhere inside the name, name reading, company, company
    // reading or department; or, when the text is a FAX number or a piece of
    // one, its digits inside the digits of the FAX number.
    bool Matches(const CAddressEntry& person) const;

private:
    std::u16string m_form;
    std::u16string m_digits;  // empty unless the text is all digits and number punctuation
};

// The slot of the next person after |slot| (before it, backwards) that
// matches, in slot order and wrapping round, |slot| itself last; -1 when
// none. A |slot| of -1 starts at the first person (the last, backwards).
int FindPersonSlot(const CAddressBook& book, const PersonQuery& query, int slot, bool forward);
