#include "book/person_rules.h"

#include "book/address_book.h"

PersonRule FirstBrokenRule(const CAddressEntry& p, FaxCharacters which) {
    auto hasComma = [](const std::string& text) { return text.find(',') != std::string::npos; };
    if (p.m_strName.empty() || p.m_strNameReading.empty() || p.m_strFaxNumber.empty()) return PersonRule::Required;
    if (hasComma(p.m_strName) || hasComma(p.m_strNameReading) || hasComma(p.m_strCompany) ||
        hasComma(p.m_strCompanyReading) || hasComma(p.m_strDepartment) || hasComma(p.m_strFaxNumber))
        return PersonRule::NoComma;
    if (p.m_strFaxNumber.find_first_not_of(AllowedFaxBytes(which)) != std::string::npos)
        return PersonRule::FaxCharacters;
    if (p.m_strFaxNumber.size() > kMaxFaxNumberBytes) return PersonRule::FaxTooLong;
    if (p.m_strName.size() > kMaxEntryTextBytes || p.m_strNameReading.size() > kMaxEntryTextBytes)
        return PersonRule::NameTooLong;
    if (p.m_strCompany.size() > kMaxEntryTextBytes || p.m_strCompanyReading.size() > kMaxEntryTextBytes)
        return PersonRule::CompanyTooLong;
    if (p.m_strDepartment.size() > kMaxEntryTextBytes) return PersonRule::DepartmentTooLong;
    return PersonRule::None;
}
