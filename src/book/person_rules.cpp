#include "book/person_rules.h"

#include "book/address_book.h"

std::vector<PersonFinding> PersonFindings(const CAddressEntry& person, FaxCharacters which) {
    std::vector<PersonFinding> findings;
    auto text = [&](int column) -> const std::string& { return person.*CAddressEntry::kColumns[column - 1]; };
    for (int column : {1, 2, 6})
        if (text(column).empty()) findings.push_back({PersonRule::Required, column});
    for (int column = 1; column <= 6; ++column)
        if (text(column).find(',') != std::string::npos) findings.push_back({PersonRule::NoComma, column});
    if (person.m_strFaxNumber.find_first_not_of(AllowedFaxBytes(which)) != std::string::npos)
        findings.push_back({PersonRule::FaxCharacters, 6});
    if (person.m_strFaxNumber.size() > kMaxFaxNumberBytes) findings.push_back({PersonRule::FaxTooLong, 6});
    const PersonRule tooLong[] = {PersonRule::NameTooLong, PersonRule::NameTooLong, PersonRule::CompanyTooLong,
                                  PersonRule::CompanyTooLong, PersonRule::DepartmentTooLong};
    for (int column = 1; column <= 5; ++column)
        if (text(column).size() > kMaxEntryTextBytes) findings.push_back({tooLong[column - 1], column});
    return findings;
}

PersonRule FirstBrokenRule(const CAddressEntry& person, FaxCharacters which) {
    const std::vector<PersonFinding> findings = PersonFindings(person, which);
    return findings.empty() ? PersonRule::None : findings.front().rule;
}
