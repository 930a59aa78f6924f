// Thin facades over the controls of a dialog: each call is one or two
// messages to the control, as the Win32 wrappers they stand in for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/win.h"

class CControl {
public:
    CControl(HWND dialog, int id);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) const;
    void EnableWindow(bool enable) const;
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    HWND m_hWnd;
};

class CListBox : public CControl {
public:
    using CControl::CControl;
    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int AddString(const std::string& text) const;
    int InsertString(int index, const std::string& text) const;
    int DeleteString(int index) const { return static_cast<int>(Send(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() const { Send(LB_RESETCONTENT); }
    std::string GetText(int index) const;
    void SetItemData(int index, std::uint32_t data) const;
    // Single-selection list boxes
    int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    void SetCurSel(int index) const { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    // Extended-selection list boxes
    std::vector<int> GetSelItems(int maxItems) const;
    void SelectAll(bool select) const { Send(LB_SETSEL, select ? 1 : 0, -1); }
    void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw ? 1 : 0); }
    void InitStorage(int items, int bytes) const;
    struct Line {
        std::string text;
        std::uint32_t data = 0;
    };
    // Lines [at, at + count) give way to |lines|, drawn once at the end: one
    // repaint per line would make a list of a thousand take seconds.
    void ReplaceLines(int at, int count, const std::vector<Line>& lines) const;
};

class CComboBox : public CControl {
public:
    using CControl::CControl;
    int AddString(const std::string& text) const;
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

class CEdit : public CControl {
public:
    using CControl::CControl;
    void LimitText(int bytes) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(bytes)); }
};
