// The find dialog: the text to look for. The address book dialog finds it.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "res/resource.h"

class CFindDlg : public CDialog {
public:
    CFindDlg() : CDialog(IDD_FIND) {}

    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange& dx) override { dx.Text(IDC_FIND_TEXT, m_strText); }
    // Nothing to find in an empty text: the dialog stays.
    void OnOK() override {
        UpdateData(true);
        if (!m_strText.empty()) EndDialog(IDOK);
    }
};
