// The directory search: a text, the persons the office's directory holds
// for it, and what to do with those chosen. The search runs beside the
// window, which answers meanwhile and can stop it.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "directory/directory_search.h"
#include "framework/dialog.h"
#include "picker/picker_session.h"

class CDirectoryDlg : public CMappedDialog<CDirectoryDlg> {
public:
    // Ends with IDC_DIRECTORY_ADD or IDC_DIRECTORY_REGISTER, the persons in m_aChosen.
    CDirectoryDlg(Directory& directory, const DirectoryQuery& policy, const PickerSession& session);

    static const MessageMap<CDirectoryDlg> kMessageMap;

    std::string m_strText;                 // the text to look for, kept by the caller between searches
    std::vector<CAddressEntry> m_aChosen;  // fit for the destinations and the book

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

private:
    void OnSearch();
    void OnStop();
    void OnAdd();
    void OnRegister();
    void OnSelchangeResults();
    std::optional<LRESULT> OnSearchDone(WPARAM search, LPARAM);
    // The selected persons fit to go on, in m_aChosen; the others named in a message. False when none is.
    bool TakeChosen();
    void ShowSearching(bool searching);

    // One search, shared with the thread that runs it.
    struct Search {
        DirectoryQuery query;
        std::atomic<bool> cancelled{false};
        DirectoryResult result;
    };
    Directory& m_directory;
    DirectoryQuery m_policy;
    const PickerSession& m_session;
    std::shared_ptr<Search> m_search;  // the one whose end is awaited; none when idle
    WPARAM m_nSearch = 0;              // its number: an end of another is stale
    std::vector<DirectoryPerson> m_aFound;
    std::string m_strFound;  // what the last search found, for the status line
};
