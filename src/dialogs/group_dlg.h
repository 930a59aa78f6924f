// The group dialog: a group's name and reading, and its members checked
// among every person of the book. The address book dialog saves the group.
#pragma once

#include <string>
#include <vector>

#include "book/address_book.h"
#include "framework/dialog.h"
#include "res/resource.h"

class CGroupDlg : public CMappedDialog<CGroupDlg> {
public:
    // |group|: one of |book|'s groups to edit; nullptr to make a new one.
    CGroupDlg(const CAddressBook& book, const CGroup* group);

    static const MessageMap<CGroupDlg> kMessageMap;

    CGroup m_group;  // as given; on OK, as edited

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void OnSelchangeMembers();
    void OnChangeFindReading();
    // The members as checked: those kept in their order, the newly checked after them.
    std::vector<GroupMember> CheckedMembers() const;

    const CAddressBook& m_book;
    std::vector<CGroup> m_others;  // whose names this one may not take
    std::string m_strFindReading;
};
