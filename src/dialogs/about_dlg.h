// The version box: nothing of its own; OK, Esc and the close box end it.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    CAboutDlg() : CDialog(IDD) {}
};
