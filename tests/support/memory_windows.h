// The test host's windowing: dialogs built from the real resource script,
// controls that answer the messages the framework sends as the system's do,
// and modal dialogs and message boxes answered by a script the test gives.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/windowing.h"

struct ControlTemplate {
    int id;
    std::string kind;   // "Button", "Edit", "Static", or the class a CONTROL names
    std::string text;   // code page 932
    std::string style;  // the control's whole line
};

struct DialogTemplate {
    int id = 0;
    std::string caption;                    // code page 932
    std::vector<ControlTemplate> controls;  // in the script's order; icons left out
};

struct ResourceScript {
    std::map<int, DialogTemplate> dialogs;
    std::map<unsigned, std::string> strings;  // code page 932
};

// The dialogs and the string table of an .rc file, named through the
// resource.h beside it.
ResourceScript LoadResourceScript(const std::string& rcPath);

struct MemoryWindow {
    struct Line {
        std::string text;
        bool selected = false;
    };
    // Its template, the text now shown, and what the system keeps of it.
    struct Control : ControlTemplate {
        std::vector<Line> lines;  // of a list or combo box
        int comboSel = -1;
        int top = 0;    // of a list: the line scrolled to the top
        int limit = 0;  // of an edit: the typing limit
        bool enabled = true, redraw = true, tips = false;
        bool characterDiscarded = false;         // the key being pressed typed nothing after all
        std::optional<LRESULT> characterAnswer;  // the dialog's to WM_CHARTOITEM for the last key; none: not asked
        int repaints = 0;  // of a list: one per change with redraw on, one when redraw comes back on
        bool Has(const char* flag) const { return style.find(flag) != std::string::npos; }
    };

    MemoryWindow(ModalWindow& modal, const DialogTemplate& made);
    HWND Handle() { return reinterpret_cast<HWND>(this); }
    Control& At(int id);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        LRESULT answer = 0;
        dialog.HandleMessage(message, wParam, lParam, answer);
        return answer;
    }
    void Notify(int id, WORD code) { Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code)); }

    // What a user does; each raises the notifications the system would.
    bool Click(int id) {
        const bool enabled = At(id).enabled;
        if (enabled) Notify(id, BN_CLICKED);
        return enabled;
    }
    void Select(int id, int line) { SelectLines(id, {line}); }
    void SelectLines(int id, const std::vector<int>& lines);
    void DoubleClick(int id, int line) {
        Select(id, line);
        Notify(id, LBN_DBLCLK);
    }
    void ChooseComboItem(int id, int index) {
        At(id).comboSel = index;
        Notify(id, CBN_SELCHANGE);
        Notify(id, CBN_CLOSEUP);
    }
    void Type(int id, const std::string& text);
    // A key on a list that reports its keys, as Wine's list box asks of it:
    // the dialog is asked about the key (WM_VKEYTOITEM), then, unless the
    // character was discarded, about the character the key typed
    // (WM_CHARTOITEM); what the list box then does is left to the end-to-end
    // tests. Returns the answer about the key (-1 leaves it to the list box,
    // -2 takes it), or 0 when the list does not report its keys.
    LRESULT PressKey(int id, UINT virtualKey);
    // The tip the mouse resting on |line| would show.
    std::string TipOf(int id, int line) { return At(id).tips ? dialog.LineTip(id, line) : "<no tips>"; }

    // What a user sees
    std::vector<std::string> Lines(int id);
    std::vector<int> SelectedLines(int id);
    bool IsEnabled(int id) { return At(id).enabled; }
    std::string Text(int id) { return At(id).text; }

    ModalWindow& dialog;
    const DialogTemplate layout;
    std::map<int, Control> controls;
    bool ended = false;
    INT_PTR result = 0;
    bool minimised = false;
    bool iconPainted = false;
    std::vector<std::string> systemMenu;
    int focus = 0;  // the control the program last moved the focus to
    HICON bigIcon = nullptr, smallIcon = nullptr;
};

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

class MemoryWindowing : public Windowing {
public:
    // |errors|: where a call the system would refuse is noted.
    MemoryWindowing(const std::string& rcPath, std::vector<std::string>& errors) : m_errors(errors), m_rcPath(rcPath) {}

    // ---- driving the test ----
    using DialogScript = std::function<void(MemoryWindow&)>;
    // The next modal run of |templateId| is handed to |script| once the
    // dialog is initialised; the script must end it.
    void WhenDialogOpens(int templateId, DialogScript script) { m_scripts.push_back({templateId, std::move(script)}); }
    // Answers for the next message boxes; a box without one is answered IDOK.
    void AnswerNextBox(int answer) { m_answers.push_back(answer); }
    // Opens |dialog| without a modal loop, so the test can drive it.
    MemoryWindow& Open(ModalWindow& dialog);
    void Close(MemoryWindow& window);

    std::vector<ShownBox> boxes;
    std::function<void(const ShownBox&)> onBox;  // called while a box is shown
    std::vector<int> modalRuns;                  // template ids, in order

    INT_PTR RunModal(ModalWindow& dialog, HWND owner) override;
    void EndModal(HWND dialog, INT_PTR result) override {
        if (MemoryWindow* window = WindowOf(dialog)) {
            window->ended = true;
            window->result = result;
        }
    }
    HWND ItemHandle(HWND dialog, int id) override;
    LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnableControl(HWND control, bool enable) override {
        if (MemoryWindow::Control* found = ControlOf(control).second) found->enabled = enable;
    }
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    std::string LoadStringResource(UINT id) override;
    HICON LoadIconResource(int id) override { return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x10000 + id)); }
    void SetIcons(HWND dialog, HICON icon) override {
        if (MemoryWindow* window = WindowOf(dialog)) window->bigIcon = window->smallIcon = icon;
    }
    void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) override;
    void AttachLineTips(HWND, HWND list) override {
        if (MemoryWindow::Control* found = ControlOf(list).second) found->tips = true;
    }
    void DiscardTypedCharacter(HWND window) override {
        if (MemoryWindow::Control* found = ControlOf(window).second) found->characterDiscarded = true;
    }
    bool PaintMinimisedIcon(HWND dialog, HICON icon) override;
    // At once: the tests see the work done when the call returns.
    void RunInBackground(std::function<void()> work, HWND window, UINT message, WPARAM token) override {
        work();
        if (MemoryWindow* dialog = WindowOf(window)) dialog->Send(message, token, 0);
    }

private:
    // The open window behind a handle, and the control behind a control's.
    MemoryWindow* WindowOf(HWND handle);
    std::pair<MemoryWindow*, MemoryWindow::Control*> ControlOf(HWND handle);
    // Read from the .rc when a window first needs it: a test of the session
    // alone never does.
    const ResourceScript& Resources();

    std::vector<std::string>& m_errors;
    std::string m_rcPath;
    std::optional<ResourceScript> m_resources;
    std::deque<std::pair<int, DialogScript>> m_scripts;
    std::deque<int> m_answers;
    std::list<MemoryWindow> m_windows;
};
