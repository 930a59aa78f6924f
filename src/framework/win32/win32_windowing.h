// The windowing seam's Win32 backend: the dialog procedure, tips, shortcuts.
#pragma once

#include "framework/windowing.h"

class Win32Windowing : public Windowing {
public:
    INT_PTR RunModal(ModalWindow& dialog, HWND owner) override;
    void EndModal(HWND dialog, INT_PTR result) override;
    HWND ItemHandle(HWND dialog, int id) override;
    LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void RunInBackground(std::function<void()> work, HWND window, UINT message, WPARAM token) override;
    void EnableControl(HWND control, bool enable) override;
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    std::string LoadStringResource(UINT id) override;
    HICON LoadIconResource(int id) override;
    void SetIcons(HWND dialog, HICON icon) override;
    void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) override;
    void AttachLineTips(HWND dialog, HWND list) override;
    void DiscardTypedCharacter(HWND window) override;
    bool PaintMinimisedIcon(HWND dialog, HICON icon) override;
};
