// The test host's platform: dialogs built from the real resource script,
// controls that answer their messages as the system's do, a registry tree,
// files in memory, and modal dialogs and message boxes answered by a script
// the test gives. Every failure a test needs can be switched on.
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
#include "framework/platform.h"
#include "system/security.h"
#include "support/memory_files.h"

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

struct RegValue {
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
};

// The test host's whole platform: windows, the registry, the process, and
// the files of MemoryFiles. Its |errors| are those of MemoryFiles too.
class MemoryPlatform final : public Platform, public MemoryFiles, public Security {
public:
    explicit MemoryPlatform(const std::string& rcPath);
    ~MemoryPlatform() override;

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
    std::string moduleFileName = "C:\\Program Files\\qvdutil\\qvdutil.exe";

    // Named mutexes in existence, counted
    std::map<std::string, int> mutexes;
    int mutexReleases = 0;

    // ---- registry ----
    void CreateKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, DWORD type, const std::vector<BYTE>& data);
    void SetString(const std::string& path, const std::string& name, const std::string& text);
    std::optional<RegValue> GetValue(const std::string& path, const std::string& name) const;
    std::set<std::string> deniedKeys;       // cannot be opened at all
    std::set<std::string> readOnlyKeys;     // opened only without write access
    std::set<std::string> failingQueries;   // "key path|value name"
    std::set<std::string> failingSets;      // "key path|value name"
    std::set<DWORD> failingEnumIndexes;     // of the printer list
    int openKeys = 0;
    std::vector<std::string> registryWrites;  // "key path|value name", in order
    static constexpr size_t kMaxOpenPath = 260;

    // ---- security: the rights given to Users, by file or key path ----
    bool administrator = true;
    std::map<std::string, DWORD> usersGrants;
    bool RunsAsAdministrator() override { return administrator; }
    Grant GrantUsersOnFile(const std::string& path, DWORD rights) override {
        return files.count(path) ? GrantUsers(path, rights) : Grant::Failed;
    }
    Grant GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) override {
        return Node(keyPath) ? GrantUsers(keyPath, rights) : Grant::Failed;
    }
    Grant GrantUsers(const std::string& path, DWORD rights) {
        DWORD& held = usersGrants[path];
        if ((held & rights) == rights) return Grant::Had;
        held |= rights;
        return Grant::Added;
    }

    // ---- Platform ----
    std::string ModuleFileName() override { return moduleFileName; }
    HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) override;
    void ReleaseNamedMutex(HANDLE) override { ++mutexReleases; }
    void CloseKernelHandle(HANDLE handle) override;

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

    LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
    LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG RegDeleteValueA(HKEY key, const char* name) override;
    LONG RegCloseKey(HKEY key) override;

private:
    struct RegKeyNode {
        std::string path;  // as created
        std::vector<std::string> subKeys;
        std::map<std::string, RegValue> values;
    };
    struct OpenKey {
        std::string path;
        REGSAM access;
    };
    MemoryWindow* WindowOf(HWND hwnd);
    // The open window and control behind a control handle.
    std::pair<MemoryWindow*, MemoryWindow::Control*> ControlOf(HWND control);
    RegKeyNode* Node(const std::string& path);
    const RegKeyNode* Node(const std::string& path) const;
    OpenKey* Opened(HKEY key);

    ResourceScript m_resources;
    std::deque<std::pair<int, DialogScript>> m_scripts;
    std::deque<int> m_answers;
    std::vector<std::unique_ptr<MemoryWindow>> m_windows;
    std::map<std::string, RegKeyNode> m_registry;  // by lower-case path
    std::map<std::uintptr_t, OpenKey> m_openKeys;
    std::uintptr_t m_nextKey = 0x1000;
    std::map<std::uintptr_t, std::string> m_mutexHandles;
    std::uintptr_t m_nextHandle = 0x100;
};
