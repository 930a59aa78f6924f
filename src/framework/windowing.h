// The windowing seam: the Win32 backend in the product, a small user32 of
// the tests' own on the test host.
#pragma once

#include <functional>
#include <string>

#include "system/win.h"

// A modal dialog as the system drives it: its window's messages are
// delivered here. CDialog is the one there is; the backends know no more of it.
class ModalWindow {
public:
    virtual int TemplateId() const = 0;
    virtual void Attach(HWND hwnd) = 0;
    virtual void Detach() = 0;
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The tip shown while the mouse rests on |line| of list |listId|; an
    // empty text shows none.
    virtual std::string LineTip(int listId, int line) = 0;

protected:
    ~ModalWindow() = default;
};

class Windowing {
public:
    virtual ~Windowing() = default;
    virtual INT_PTR RunModal(ModalWindow& dialog, HWND owner) = 0;
    virtual void EndModal(HWND dialog, INT_PTR result) = 0;
    // A control's handle; looked up once per use, as the lookup is not free.
    virtual HWND ItemHandle(HWND dialog, int id) = 0;
    virtual LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void EnableControl(HWND control, bool enable) = 0;
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual std::string LoadStringResource(UINT id) = 0;
    virtual HICON LoadIconResource(int id) = 0;
    virtual void SetIcons(HWND dialog, HICON icon) = 0;
    virtual void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) = 0;
    // A tooltip over the lines of |list|, its text from the dialog's LineTip.
    virtual void AttachLineTips(HWND dialog, HWND list) = 0;
    // Drops the character that the key being handled has typed into
    // |window|, before anyone reads it.
    virtual void DiscardTypedCharacter(HWND window) = 0;
    // Draws |icon| centred in the client area when the window is minimised;
    // false when it is not, so the default painting runs.
    virtual bool PaintMinimisedIcon(HWND dialog, HICON icon) = 0;
    // Runs |work| on a thread of its own, then posts |message| (wParam
    // |token|) to |window|: the window answers its user meanwhile.
    virtual void RunInBackground(std::function<void()> work, HWND window, UINT message, WPARAM token) = 0;
};

struct IconOrigin {
    int x;
    int y;
};

// Where an icon stands centred in a client area; negative when the client is
// smaller than the icon.
inline IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

// The one the framework's dialogs and controls talk to: a window procedure
// has no other way to reach it.
Windowing& TheWindowing();
void SetWindowing(Windowing* windowing);
