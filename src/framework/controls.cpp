#include "framework/controls.h"

#include "framework/windowing.h"

CControl::CControl(HWND dialog, int id) : m_hWnd(TheWindowing().ItemHandle(dialog, id)) {}

LRESULT CControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return TheWindowing().SendToWindow(m_hWnd, message, wParam, lParam);
}

std::string CControl::GetWindowText() const {
    LRESULT length = Send(WM_GETTEXTLENGTH);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    LRESULT copied = Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void CControl::SetWindowText(const std::string& text) const {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CControl::EnableWindow(bool enable) const { TheWindowing().EnableControl(m_hWnd, enable); }

int CListBox::AddString(const std::string& text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CListBox::InsertString(int index, const std::string& text) const {
    return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

std::string CListBox::GetText(int index) const {
    LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void CListBox::SetItemData(int index, std::uint32_t data) const {
    Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::vector<int> CListBox::GetSelItems(int maxItems) const {
    std::vector<int> items(static_cast<std::size_t>(maxItems));
    LRESULT count = Send(LB_GETSELITEMS, static_cast<WPARAM>(maxItems), reinterpret_cast<LPARAM>(items.data()));
    items.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    return items;
}

void CListBox::InitStorage(int items, int bytes) const {
    Send(LB_INITSTORAGE, static_cast<WPARAM>(items), static_cast<LPARAM>(bytes));
}

void CListBox::ReplaceLines(int at, int count, const std::vector<Line>& lines) const {
    SetRedraw(false);
    if (count > 0 && count == GetCount())
        ResetContent();
    else  // from the last line up, so no line still to go moves
        for (int line = at + count - 1; line >= at; --line) DeleteString(line);
    std::size_t bytes = 0;
    for (const Line& line : lines) bytes += line.text.size() + 1;
    InitStorage(static_cast<int>(lines.size()), static_cast<int>(bytes));
    for (std::size_t i = 0; i < lines.size(); ++i)
        SetItemData(InsertString(at + static_cast<int>(i), lines[i].text), lines[i].data);
    SetRedraw(true);
}

int CComboBox::AddString(const std::string& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

