// Modal dialogs from templates, their message maps and data exchange.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/windowing.h"
#include "system/win.h"

// One row of a dialog's message map. A control notification reads
// {BN_CLICKED, 1003, &CMyDlg::OnAdd}; a window message reads
// {WM_PAINT, &CMyDlg::OnPaint}, whose handler answers std::nullopt to leave
// the message to the default processing.
// The notification code of a command that a keyboard shortcut (an
// accelerator) sends.
inline constexpr WORD kShortcut = 1;

template <class T>
struct MessageMapEntry {
    using CommandHandler = void (T::*)();
    using MessageHandler = std::optional<LRESULT> (T::*)(WPARAM, LPARAM);

    constexpr MessageMapEntry(WORD notification, int id, CommandHandler handler)
        : message(WM_COMMAND), code(notification), controlId(id), onCommand(handler), onMessage(nullptr) {}
    constexpr MessageMapEntry(UINT windowMessage, MessageHandler handler)
        : message(windowMessage), code(0), controlId(0), onCommand(nullptr), onMessage(handler) {}

    UINT message;
    WORD code;
    int controlId;
    CommandHandler onCommand;
    MessageHandler onMessage;
};

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // Binds edit |id| to |value|; a non-zero |maxBytes| becomes the edit's typing limit.
    void Text(int id, std::string& value, int maxBytes = 0);
    bool SavesAndValidates() const { return m_bSaveAndValidate; }

private:
    CDialog& m_dialog;
    bool m_bSaveAndValidate;
};

class CDialog : public ModalWindow {
public:
    explicit CDialog(int templateId) : m_nIDTemplate(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog() = default;

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    HWND GetSafeHwnd() const { return m_hWnd; }
    int TemplateId() const override { return m_nIDTemplate; }

    std::string LineTip(int /*listId*/, int /*line*/) override { return std::string(); }

    // Backends deliver every message of the dialog window here.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Attach(HWND hwnd) override { m_hWnd = hwnd; }
    void Detach() override { m_hWnd = nullptr; }

    CListBox ListBox(int id) const { return CListBox(m_hWnd, id); }
    CComboBox ComboBox(int id) const { return CComboBox(m_hWnd, id); }
    CEdit Edit(int id) const { return CEdit(m_hWnd, id); }
    void EnableItem(int id, bool enable) const { CControl(m_hWnd, id).EnableWindow(enable); }
    // Moves the focus to control |id|, as Tab would.
    void GotoDlgCtrl(int id) const;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange&) {}
    // What the system does for a window beyond its controls: resources, menus, icons, tips.
    Windowing& System() const { return TheWindowing(); }
    // The dialog's message map; true when a row handled the message.
    virtual bool OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    void UpdateData(bool saveAndValidate);

private:
    int m_nIDTemplate;
    HWND m_hWnd = nullptr;
    bool m_bExchanging = false;
};

template <class T>
using MessageMap = std::vector<MessageMapEntry<T>>;

// A dialog dispatched through its table `static const MessageMap<T> kMessageMap`;
// |Base| is CDialog or a shared dialog base of its own.
template <class T, class Base = CDialog>
class CMappedDialog : public Base {
public:
    using Base::Base;

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        for (const MessageMapEntry<T>& entry : T::kMessageMap) {
            if (entry.message != message) continue;
            T& self = static_cast<T&>(*this);
            if (message == WM_COMMAND) {
                // A command matches on the control AND the notification, never the id alone.
                if (entry.controlId != LOWORD(wParam) || entry.code != HIWORD(wParam)) continue;
                (self.*entry.onCommand)();
                return true;
            }
            std::optional<LRESULT> answer = (self.*entry.onMessage)(wParam, lParam);
            if (!answer) return false;
            result = *answer;
            return true;
        }
        return false;
    }
};

// The program's one message-box routine: the caption is the application's
// name, and a call that names no icon gets the exclamation icon.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
