// The program's main window: the address book in its person and company
// views, the destinations of the fax, and the commands that change the book.
#pragma once

#include <cstdint>
#include <string>

#include "book/address_book.h"
#include "book/address_view.h"
#include "book/book_store.h"
#include "book/destination_list.h"
#include "driver/fax_number_book.h"
#include "framework/dialog.h"

class CAddressBookDlg : public CMappedDialog<CAddressBookDlg> {
public:
    // |driverName|: the printer driver named on the command line.
    explicit CAddressBookDlg(const std::string& driverName);

    static const MessageMap<CAddressBookDlg> kMessageMap;

    CAddressBook m_book;
    AddressView m_addressLines;  // what each line of list 1000 shows
    BookStore m_bookStore;
    FileContents::State m_bookState = FileContents::State::Unreadable;
    PrinterDestinations m_printer;
    HICON m_hIcon = nullptr;
    std::string m_strFaxNumberBook2;
    std::int32_t m_nDestSelCount = 0;
    std::string m_strFaxNumberBook;
    std::int32_t m_nChosenMode = 0;
    std::int32_t m_nDisplayMode = 0;  // 0 person view, 1 company view
    std::int32_t m_bDestSelection = 0;
    DestinationList m_aDestinations;
    std::int32_t m_anDestSel[kMaxDestinations] = {};
    std::uint16_t m_wCurrentItem = 0;
    std::string m_strFindText;  // the text last given to the find dialog in this run

    std::string LineTip(int listId, int line) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::optional<LRESULT> OnSysCommand(WPARAM nID, LPARAM);
    std::optional<LRESULT> OnPaint(WPARAM, LPARAM);
    std::optional<LRESULT> OnQueryDragIcon(WPARAM, LPARAM);
    std::optional<LRESULT> OnCreate(WPARAM, LPARAM);
    void OnAddDestination();
    void OnSetfocusAddressList();
    void OnSelchangeAddressList();
    void OnRemoveDestinations();
    void OnSelchangeDestinationList();
    void OnEntryProperties();
    void OnCreateEntry();
    void OnDblclkAddressList();
    void OnCloseupDisplayMode();
    void OnAbout();
    std::optional<LRESULT> OnKeyDown(WPARAM, LPARAM);
    std::optional<LRESULT> OnCharToItem(WPARAM, LPARAM);
    std::optional<LRESULT> OnVKeyToItem(WPARAM key, LPARAM list);
    // Right or + expands a company, Left or - collapses it; true when the
    // key was taken.
    bool OnAddressListKey(UINT key);
    void OnDeleteEntry();
    void OnSelchangeDisplayMode();
    // Ctrl+F and the system menu open the find dialog; F3 and Shift+F3
    // find again, once a text was given.
    void OnFind();
    void OnFindNext();
    void OnFindPrevious();
    // Selects the next (or previous) person that matches m_strFindText, as
    // a click on its line would, expanding its company in the company view.
    void FindPerson(bool forward);

    // The printer's stored destinations
    void ReadFaxNumberBook(std::string& names, std::string& faxNumbers);
    void RestoreDestinations();
    // Writes |pieces|, which the values must be able to hold.
    StoreResult WriteFaxNumberBook(const DestinationPieces& pieces);

    // The address book file
    void LoadAddressBook();
    bool SaveAddressBook();

    void FillPersonView();
    void FillCompanyView();
    void ExpandOrCollapseCompany(int line);
    void EnablePersonButtons(bool enable);
    // The person's name; empty for an ID no person has.
    std::string NameOf(std::int32_t id) const;
    // Writes the name of the person of each line into list 1001.
    void DrawDestinations();
    // Gives the persons IDs 0, 1, ... again, and everything that refers to them.
    void RenumberPersons();
    // Draws the lines of m_addressLines into list 1000.
    void DrawAddressLines();

};
