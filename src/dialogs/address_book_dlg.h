// The program's main window: the address book in its person and company
// views, the destinations of the fax, and the commands that change the book.
// It draws what the picker session holds and forwards what the user does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "directory/directory_search.h"
#include "framework/dialog.h"
#include "picker/picker_session.h"

class CAddressBookDlg : public CMappedDialog<CAddressBookDlg> {
public:
    // |policy|: the office's directory, searched where it is enabled.
    CAddressBookDlg(PickerSession& session, Directory& directory, const DirectoryPolicy& policy);

    static const MessageMap<CAddressBookDlg> kMessageMap;

    PickerSession& m_session;
    HICON m_hIcon = nullptr;
    std::int32_t m_nDestSelCount = 0;
    std::int32_t m_nChosenMode = 0;
    std::int32_t m_bDestSelection = 0;  // 1 while m_anDestSel holds the destination list's selection
    std::int32_t m_anDestSel[kMaxDestinations] = {};
    std::uint16_t m_wCurrentItem = 0;  // item data of the address book line a handler last acted on
    std::string m_strFindText;         // the text last given to the find dialog in this run
    Directory& m_directory;
    DirectoryPolicy m_directoryPolicy;
    std::string m_strDirectoryText;  // the text last searched for in the directory in this run

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
    void OnDeleteEntry();
    void OnSelchangeDisplayMode();
    // Ctrl+F and the system menu open the find dialog; F3 and Shift+F3
    // find again, once a text was given.
    void OnFind();
    void OnFindNext();
    void OnFindPrevious();
    // Selects the next (or previous) person that matches m_strFindText, as
    // a click on its line would.
    void FindPerson(bool forward);
    // Ctrl+D and the system menu, where the policy enables the directory:
    // persons found there become destinations or, in the property dialog,
    // persons of the book.
    void OnDirectorySearch();
    // Appends the destinations added, a refused one shown till its message is answered.
    void DrawAdded(const PickerSession::Added& added);

    void ShowMessages(const std::vector<std::string>& messages);
    // The selected line of list 1000, its item data kept in m_wCurrentItem; LB_ERR when none.
    int ActOnSelectedLine();
    void EnablePersonButtons(bool enable);
    // The lines list 1001 shows selected, into m_anDestSel, with 1004
    // enabled as they are; their number. Every change of the list's lines
    // and every removal reads them anew, so the snapshot never outlives
    // what the list shows.
    int ReadDestinationSelection();
    // Draws the session's lines into list 1000 or 1001: the whole list, or
    // what a splice changed.
    void DrawLines(int listId);
    void DrawLines(int listId, const Splice& splice);
    // What a create, edit or delete changed: the lines (both lists anew
    // after a save that met a book someone else saved meanwhile), the
    // selection, then the messages.
    void DrawEntryResult(const EntryResult& result);
    // Creates a group (|line| -1) or edits the group on |line| in the group dialog.
    void EditGroup(int line);
};
