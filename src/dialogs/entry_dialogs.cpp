#include "dialogs/entry_dialogs.h"

#include "book/address_book.h"
#include "dialogs/messages.h"
#include "book/person_rules.h"
#include "res/resource.h"

std::optional<CAddressEntry> CEntryDialog::Edit(CAddressEntry person) {
    m_strName = person.m_strName;
    m_strNameReading = person.m_strNameReading;
    m_strCompany = person.m_strCompany;
    m_strCompanyReading = person.m_strCompanyReading;
    m_strDepartment = person.m_strDepartment;
    m_strFaxNumber = person.m_strFaxNumber;
    if (DoModal() != IDOK) return std::nullopt;
    Store(person);
    return person;
}

void CEntryDialog::Store(CAddressEntry& person) const {
    person.m_strName = m_strName;
    person.m_strNameReading = m_strNameReading;
    person.m_strCompany = m_strCompany;
    person.m_strCompanyReading = m_strCompanyReading;
    person.m_strDepartment = m_strDepartment;
    person.m_strFaxNumber = m_strFaxNumber;
}

bool CEntryDialog::ExchangeAndCheckFields(const Rules& rules) {
    UpdateData(true);
    CAddressEntry person;
    Store(person);
    const char* failure = nullptr;
    switch (FirstBrokenRule(person, rules.faxCharacters)) {
    case PersonRule::None:
        return true;
    case PersonRule::Required:
        failure = rules.requiredMessage;
        break;
    case PersonRule::NoComma:
        failure = msg::kNoComma;
        break;
    case PersonRule::FaxCharacters:
        failure = rules.faxCharactersMessage;
        break;
    case PersonRule::FaxTooLong:
        failure = msg::kFaxNumberTooLong;
        break;
    case PersonRule::NameTooLong:
        failure = msg::kNameTooLong;
        break;
    case PersonRule::CompanyTooLong:
        failure = msg::kCompanyTooLong;
        break;
    case PersonRule::DepartmentTooLong:
        failure = msg::kDepartmentTooLong;
        break;
    }
    AfxMessageBox(failure);
    return false;
}

// ---- new entry ----------------------------------------------------------------

void CNewEntryDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(IDC_NAME, m_strName);
    dx.Text(IDC_NAME_READING, m_strNameReading);
    dx.Text(IDC_COMPANY, m_strCompany);
    dx.Text(IDC_COMPANY_READING, m_strCompanyReading);
    dx.Text(IDC_DEPARTMENT, m_strDepartment);
    dx.Text(IDC_FAX_NUMBER, m_strFaxNumber, 255);
}

void CNewEntryDlg::OnOK() {
    static constexpr Rules kRules{msg::kNewEntryRequired, msg::kNewEntryFaxCharacters, FaxCharacters::NewEntry};
    // The fields are exchanged already: end as the framework would, without a second exchange.
    if (ExchangeAndCheckFields(kRules)) EndDialog(IDOK);
}

// ---- properties ---------------------------------------------------------------

const MessageMap<CEntryPropertyDlg> CEntryPropertyDlg::kMessageMap = {
    {WM_CREATE, &CEntryPropertyDlg::OnCreate},
    {EN_CHANGE, IDC_NAME, &CEntryPropertyDlg::OnChangeField},
    {EN_CHANGE, IDC_NAME_READING, &CEntryPropertyDlg::OnChangeField},
    {EN_CHANGE, IDC_COMPANY, &CEntryPropertyDlg::OnChangeField},
    {EN_CHANGE, IDC_COMPANY_READING, &CEntryPropertyDlg::OnChangeField},
    {EN_CHANGE, IDC_DEPARTMENT, &CEntryPropertyDlg::OnChangeField},
    {EN_CHANGE, IDC_FAX_NUMBER, &CEntryPropertyDlg::OnChangeField},
};

std::optional<LRESULT> CEntryPropertyDlg::OnCreate(WPARAM, LPARAM) {
    m_bModified = 0;
    return 0;
}

void CEntryPropertyDlg::OnChangeField() { m_bModified = 1; }

void CEntryPropertyDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(IDC_NAME, m_strName, 65);
    dx.Text(IDC_NAME_READING, m_strNameReading, 65);
    dx.Text(IDC_COMPANY, m_strCompany);
    dx.Text(IDC_COMPANY_READING, m_strCompanyReading);
    dx.Text(IDC_DEPARTMENT, m_strDepartment);
    dx.Text(IDC_FAX_NUMBER, m_strFaxNumber);
}

void CEntryPropertyDlg::OnOK() {
    static constexpr Rules kRules{msg::kPropertyRequired, msg::kPropertyFaxCharacters, FaxCharacters::Property};
    if (!ExchangeAndCheckFields(kRules)) return;
    if (m_bNew) return EndDialog(IDOK);
    if (m_bModified != 1) {
        EndDialog(IDCANCEL);
        return;
    }
    if (AfxMessageBox(msg::kSaveChanges, MB_OKCANCEL) != IDOK) return;
    m_bModified = 0;
    EndDialog(IDOK);
}
