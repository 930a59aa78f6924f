// The two dialogs that create a person and show or edit one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "book/address_book.h"
#include "book/person_rules.h"
#include "framework/dialog.h"
#include "res/resource.h"


// What the two entry dialogs share: the six fields and the checks made on OK.
class CEntryDialog : public CDialog {
public:
    using CDialog::CDialog;

    // Shows |person|'s six fields; on OK, |person| with them as the user
    // left them (the other columns and the ID are his own), else none.
    std::optional<CAddressEntry> Edit(CAddressEntry person);

    std::string m_strName;
    std::string m_strNameReading;
    std::string m_strCompany;
    std::string m_strCompanyReading;
    std::string m_strDepartment;
    std::string m_strFaxNumber;

protected:
    void Store(CAddressEntry& person) const;
    struct Rules {
        const char* requiredMessage;
        const char* faxCharactersMessage;
        FaxCharacters faxCharacters;
    };
    // Takes the edits into the fields, then shows the first check that
    // fails; true when every check passes.
    bool ExchangeAndCheckFields(const Rules& rules);
};

class CNewEntryDlg : public CEntryDialog {
public:
    CNewEntryDlg() : CEntryDialog(IDD_NEW_ENTRY) {}

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;
};

class CEntryPropertyDlg : public CMappedDialog<CEntryPropertyDlg, CEntryDialog> {
public:
    CEntryPropertyDlg() : CMappedDialog(IDD_ENTRY_PROPERTY) {}

    static const MessageMap<CEntryPropertyDlg> kMessageMap;

    int m_bModified = 0;
    bool m_bNew = false;  // a person not yet in the book: OK saves him as shown

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::optional<LRESULT> OnCreate(WPARAM, LPARAM);
    void OnChangeField();
};
