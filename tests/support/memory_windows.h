// The test host's windowing: dialogs built from the real resource script,
// controls that answer their messages as the system's do, and modal dialogs
// and message boxes answered by a script the test gives.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/windowing.h"

// A dialog template as the resource script gives it.
struct ControlTemplate {
    int id;
    std::string kind;  // "Button", "Edit", "ListBox", "ComboBox", "Static"
    std::string text;  // code page 932
    std::string style;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;  // code page 932
    std::vector<ControlTemplate> controls;
};

struct ResourceScript {
    std::map<int, DialogTemplate> dialogs;
    std::map<unsigned, std::string> strings;  // code page 932
};

// Reads the dialogs and the string table of an .rc file and its resource.h.
ResourceScript LoadResourceScript(const std::string& rcPath);

class MemoryWindow {
public:
    struct Line {
        std::string text;
        bool selected = false;
    };
    struct Control {
        int id = 0;
        ControlTemplate layout;
        std::string text;
        std::vector<Line> lines;  // list and combo boxes
        int comboSel = -1;
        int top = 0;  // of a list: the line scrolled to the top
        int limit = 0;
        bool enabled = true;
        bool redraw = true;
        bool tips = false;
        bool characterDiscarded = false;  // the key being pressed typed nothing after all
        std::optional<LRESULT> characterAnswer;  // the dialog's to WM_CHARTOITEM for the last key; none: not asked
        int repaints = 0;  // of a list: one per change with redraw on, one when redraw comes back on
        bool MultiSelect() const;
    };

    MemoryWindow(ModalWindow& dialog, const DialogTemplate& layout);

    HWND Handle() { return reinterpret_cast<HWND>(this); }
    ModalWindow& Dialog() { return m_dialog; }
    const DialogTemplate& Template() const { return m_layout; }
    Control* Find(int id);
    bool Owns(const Control* control) const;
    Control& At(int id);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // What a user does; each raises the notifications the system would.
    bool Click(int id);
    void Select(int id, int line);
    void SelectLines(int id, const std::vector<int>& lines);
    void DoubleClick(int id, int line);
    void ChooseComboItem(int id, int index);
    void Type(int id, const std::string& text);
    // A key on a list that reports its keys, as Wine's list box asks of it:
    // the dialog is asked about the key (WM_VKEYTOITEM), then, unless the
    // character was discarded, about the character the key typed
    // (WM_CHARTOITEM, for letters, digits, numpad + and -, the Japanese
    // keyboard's "-" and ";"; unanswered, Wine takes 0). What the list box
    // itself then does is left to the end-to-end tests. Returns the answer
    // about the key (-1 leaves it to the list box, -2 takes it), or 0 when
    // the list does not report its keys.
    LRESULT PressKey(int id, UINT virtualKey);
    // The tip the mouse resting on |line| would show; "<no tips>" when the
    // list has none.
    std::string TipOf(int id, int line);

    // What a user sees
    std::vector<std::string> Lines(int id);
    std::vector<int> SelectedLines(int id);
    bool IsEnabled(int id) { return At(id).enabled; }
    std::string Text(int id) { return At(id).text; }

    bool ended = false;
    INT_PTR result = 0;
    bool minimised = false;
    int clientWidth = 400, clientHeight = 300;
    std::vector<std::string> systemMenu;
    int focus = 0;  // the control the program last moved the focus to
    HICON bigIcon = nullptr, smallIcon = nullptr;
    std::optional<IconOrigin> paintedIconAt;

    // How a list box answers its messages.
    LRESULT ListMessage(Control& control, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Notify(int id, WORD code);

    ModalWindow& m_dialog;
    DialogTemplate m_layout;
    std::map<int, Control> m_controls;
};

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

class MemoryWindowing : public Windowing {
public:
    // |errors|: where a call the system would refuse is noted.
    MemoryWindowing(const std::string& rcPath, std::vector<std::string>& errors);
    ~MemoryWindowing() override;

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
    std::vector<int> modalRuns;       // template ids, in order

    INT_PTR RunModal(ModalWindow& dialog, HWND owner) override;
    void EndModal(HWND dialog, INT_PTR result) override;
    HWND ItemHandle(HWND dialog, int id) override;
    LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnableControl(HWND control, bool enable) override;
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    std::string LoadStringResource(UINT id) override;
    HICON LoadIconResource(int id) override;
    void SetIcons(HWND dialog, HICON icon) override;
    void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) override;
    void AttachLineTips(HWND dialog, HWND list) override;
    void DiscardTypedCharacter(HWND window) override;
    bool PaintMinimisedIcon(HWND dialog, HICON icon) override;
    // At once: the tests see the work done when the call returns.
    void RunInBackground(std::function<void()> work, HWND window, UINT message, WPARAM token) override {
        work();
        if (MemoryWindow* dialog = WindowOf(window)) dialog->Send(message, token, 0);
    }

private:
    MemoryWindow* WindowOf(HWND hwnd);
    // The open window and control behind a control handle.
    std::pair<MemoryWindow*, MemoryWindow::Control*> ControlOf(HWND control);

    std::vector<std::string>& m_errors;
    // Read from the .rc when a window first needs it: a test of the session
    // alone never does.
    const ResourceScript& Resources();
    std::string m_rcPath;
    std::optional<ResourceScript> m_resources;
    std::deque<std::pair<int, DialogScript>> m_scripts;
    std::deque<int> m_answers;
    std::vector<std::unique_ptr<MemoryWindow>> m_windows;
};
