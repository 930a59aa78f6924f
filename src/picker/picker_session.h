// One run of the picker, with no window in it: the book and its store, the
// printer's destinations, the lines of the address book list in either
// view and the destination list. The main dialog draws what it holds and
// forwards what the user does; each operation says what changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "book/address_book.h"
#include "book/book_change.h"
#include "book/book_location.h"
#include "book/book_store.h"
#include "driver/fax_number_book.h"
#include "picker/address_view.h"
#include "picker/destination_list.h"

class Files;
class Registry;

// Lines [at, at + removed) of a list gave way to |inserted| new lines.
struct Splice {
    int at = 0;
    int removed = 0;
    int inserted = 0;
};

// What a create, edit or delete changed.
struct EntryResult {
    FileFault saved = FileFault::None;
    Splice addressLines;
    // Edit: the destination lines that show the person, redrawn; Delete:
    // those removed. In order, each as the list stands after the one before.
    std::vector<Splice> destinationLines;
    // The book changed on disk meanwhile: both lists show the book as saved
    // (or, after a conflict, as it now is), to be drawn anew.
    bool rebuilt = false;
    // The line of the address book list selected afterwards (-1: none;
    // nothing: as it was), the buttons of a person following it.
    std::optional<int> selected;
    // A delete's line goes once its save has spoken: after the messages.
    bool addressLinesLast = false;
    std::vector<std::string> messages;  // to be shown: why the save was refused, who left the destinations
};

class PickerSession {
public:
    // |driverName|: the printer driver named on the command line.
    PickerSession(Files& files, Registry& registry, const std::string& driverName);

    // ---- start -------------------------------------------------------------
    // Reads the printer's stored destinations and the book; the messages to
    // show, in order.
    std::vector<std::string> Open();
    // Numbers the persons by slot, shows the person view and lists the
    // stored destinations that match a person, storing the values so. A
    // step of its own: the values are written after the boxes of Open.
    void Start();

    // ---- the address book list ---------------------------------------------
    int DisplayMode() const { return m_nDisplayMode; }
    // Shows the person view (0), the company view (1) or the group view (2);
    // false when it shows already.
    bool ShowMode(int mode);
    const AddressView& Lines() const { return m_addressLines; }
    std::string LineText(int line) const;
    bool IsCompanyLine(int line) const;
    bool IsGroupLine(int line) const;
    // A company or group line: one that opens on its members.
    bool OpensOnMembers(int line) const;
    // A person's ID, or kCompanyItemBase + the company's position.
    std::uint32_t LineItemData(int line) const;
    // The person a person or member line shows; nullptr for any other line.
    const CAddressEntry* PersonOn(int line) const;
    // Opens a company or group line on its members, or closes it again.
    Splice ExpandOrCollapse(int line);
    // The company line that |virtualKey| opens (Right, +) or closes (Left,
    // -) from |line|: a company line not yet as asked, or the company of a
    // member line when closing; -1 when the key is the list's own.
    int CompanyForKey(int line, UINT virtualKey) const;

    // ---- destinations ------------------------------------------------------
    int DestinationCount() const { return m_aDestinations.GetSize(); }
    std::string DestinationText(int line) const;
    // Adds the person of a person or member line, or every member of a
    // group line not chosen yet (nothing for any other line). |refusals|:
    // for each limit the list broke, the message shown while the last line
    // still stands; that line goes after each. |messages|: shown after.
    struct Added {
        std::vector<std::string> lines;  // the texts of lines added at the end
        std::vector<std::string> refusals;
        std::vector<std::string> messages;
    };
    Added AddDestination(int line);
    // Adds persons from outside the book (the directory), each as the
    // book's person where the book holds his name and FAX number; all of
    // them not listed yet, or none when the list would break a limit.
    Added AddOutsiders(const std::vector<CAddressEntry>& persons);
    // The slot of the first person with the name and FAX number of |person|; -1 when none.
    int SlotWithNameAndNumber(const CAddressEntry& person) const;
    std::vector<int> RemoveDestinations(const std::vector<int>& selected);
    const DestinationList& Destinations() const { return m_aDestinations; }

    // The tip of a line of the address book list or the destination list.
    std::string LineTip(bool destinationList, int line) const;

    // ---- the book ----------------------------------------------------------
    // Why a person (a group, in the group view, unless |person|) cannot be
    // created now (the book is full), or deleted from |line| (a company
    // line); nothing when it can.
    std::optional<std::string> CreateRefusal(bool person = false) const;
    std::optional<std::string> DeleteRefusal(int line) const;
    // What the user confirms before |line| is deleted.
    std::string DeleteQuestion(int line) const;
    EntryResult CreatePerson(const CAddressEntry& fields);
    EntryResult EditPerson(int line, const CAddressEntry& fields);
    EntryResult DeletePerson(int line);
    // ---- groups --------------------------------------------------------------
    // The group a group line shows; nullptr for any other line.
    const CGroup* GroupOn(int line) const;
    const CAddressBook& Book() const { return m_book; }
    EntryResult CreateGroup(const CGroup& group);
    EntryResult EditGroup(int line, const CGroup& group);
    // Deletes a group line's group, or the person of any other line.
    EntryResult DeleteLine(int line);
    // Applies |change| to the book and saves it; a book someone changed
    // meanwhile gets the change made to it as it is now.
    EntryResult Apply(const BookChange& change);

    // The line of the next (or previous) person after |selectedLine| whose
    // texts hold |text|, its company opened in the company view; -1 when none.
    struct Found {
        int line = -1;
        std::optional<Splice> expanded;
        std::optional<std::string> message;  // none found
    };
    Found FindPerson(const std::string& text, int selectedLine, bool forward);

    // ---- the end -----------------------------------------------------------
    // Stores the destinations in the printer's values for the driver; why
    // not, when it could not.
    std::optional<std::string> WriteFaxNumberBook();

private:
    // The printer's stored texts, kept for the restore.
    void ReadFaxNumberBook();
    std::vector<std::string> LoadAddressBook();
    StoreResult WriteFaxNumberBook(const DestinationPieces& pieces);
    std::string NameOf(std::int32_t id) const;
    // A destination by its 13 columns, and which of the rows equal to them it is.
    struct ChosenRow {
        CAddressEntry person;
        int occurrence = 0;
    };
    static constexpr int kOutsider = -1;  // the occurrence of a destination from outside the book
    std::vector<ChosenRow> ChosenRows() const;
    // Takes |now| as the book: lines drawn anew in the same view, companies
    // open as before where they still are, the |chosen| destinations kept
    // by who they are; the names of those no longer in the book.
    std::vector<std::string> Adopt(const CAddressBook& now, const std::vector<ChosenRow>& chosen);
    // The person's line, its company opened in the company view, the first
    // group listing him in the group view.
    Found ShowPerson(const CAddressEntry& person);
    // The names of the open companies or groups; the view drawn anew with them open.
    std::vector<std::string> OpenNames() const;
    void ShowView(const std::vector<std::string>& open);
    // A group change saved; the group view drawn anew, the group |shown| selected.
    EntryResult ApplyGroupChange(const BookChange& change, const std::string& shown);

    BookLocation m_location;
    CAddressBook m_book;
    BookStore m_bookStore;
    FileContents::State m_bookState = FileContents::State::Unreadable;
    PrinterDestinations m_printer;
    std::string m_strFaxNumberBook2;
    std::string m_strFaxNumberBook;
    std::int32_t m_nDisplayMode = 0;  // 0 person view, 1 company view, 2 group view
    AddressView m_addressLines;       // what each line of the address book list shows
    DestinationList m_aDestinations;
};
