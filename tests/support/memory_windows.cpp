#include "support/memory_windows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "system/code_page.h"

namespace {

std::string Cp932(const std::string& utf8) {
    std::optional<std::string> bytes = Cp932FromUtf8(utf8);
    if (!bytes) throw std::runtime_error("not convertible to CP932: " + utf8);
    return *bytes;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How a list box answers the messages the framework sends it.
LRESULT ListMessage(MemoryWindow::Control& list, UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<MemoryWindow::Line>& lines = list.lines;
    const int count = static_cast<int>(lines.size());
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    const bool valid = index >= 0 && index < count;
    const bool multi = list.Has("LBS_EXTENDEDSEL") || list.Has("LBS_MULTIPLESEL");
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        const int at = message == LB_ADDSTRING || index < 0 ? count : index;
        if (at > count) return LB_ERR;
        list.repaints += list.redraw;  // with redraw on, every line changed repaints the list
        lines.insert(lines.begin() + at, MemoryWindow::Line{reinterpret_cast<const char*>(lParam)});
        return at;
    }
    case LB_DELETESTRING:
        if (!valid) return LB_ERR;
        list.repaints += list.redraw;
        lines.erase(lines.begin() + index);
        return count - 1;
    case LB_RESETCONTENT:
        list.repaints += list.redraw;
        lines.clear();
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
        if (!valid) return LB_ERR;
        const std::string& text = lines[static_cast<size_t>(index)].text;
        if (message == LB_GETTEXT) std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case LB_SETCURSEL:
    case LB_GETCURSEL: {
        if (multi) return LB_ERR;
        if (message == LB_SETCURSEL)
            for (int i = 0; i < count; ++i) lines[static_cast<size_t>(i)].selected = i == index;
        auto selected = std::find_if(lines.begin(), lines.end(), [](const MemoryWindow::Line& line) { return line.selected; });
        return selected == lines.end() ? LB_ERR : selected - lines.begin();
    }
    case LB_SETSEL: {  // lParam: the line, or -1 for all
        const int target = static_cast<int>(lParam);
        if (!multi || target < -1 || target >= count) return LB_ERR;
        for (int i = 0; i < count; ++i)
            if (target == -1 || i == target) lines[static_cast<size_t>(i)].selected = wParam != 0;
        return 0;
    }
    case LB_GETSELITEMS: {
        if (!multi) return LB_ERR;
        int found = 0;
        for (int i = 0; i < count && found < index; ++i)
            if (lines[static_cast<size_t>(i)].selected) reinterpret_cast<int*>(lParam)[found++] = i;
        return found;
    }
    case LB_SETTOPINDEX:
        if (valid) list.top = index;
        return valid ? 0 : LB_ERR;
    default:  // storage, caret and tab stops: nothing a user would see here
        return 0;
    }
}

}  // namespace

ResourceScript LoadResourceScript(const std::string& rcPath) {
    std::map<std::string, int> symbols = {{"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_STATIC", -1}};
    const std::string header = ReadText(rcPath.substr(0, rcPath.find_last_of('/') + 1) + "resource.h");
    const std::regex define(R"(#define\s+(\w+)\s+\(?(-?(?:0x[0-9A-Fa-f]+|\d+))\)?)");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        symbols[(*it)[1]] = static_cast<int>(std::stol((*it)[2], nullptr, 0));
    auto resolve = [&symbols](const std::string& name) {
        auto found = symbols.find(name);
        return found != symbols.end() ? found->second : static_cast<int>(std::stol(name, nullptr, 0));
    };

    const std::regex dialogLine(R"(^(\w+)\s+DIALOGEX\b)");
    const std::regex captionLine(R"re(^CAPTION\s+"(.*)")re");
    // The keyword, the text (an edit has none), the id and, of a CONTROL, its class.
    const std::regex controlLine(R"re(^\s*(\w*PUSHBUTTON|LTEXT|EDITTEXT|CONTROL)\s+(?:"([^"]*)"[^,]*,\s*)?(\w+)\s*,\s*(?:"(\w+)")?)re");
    const std::regex stringLine(R"re(^\s*(\w+)\s+"(.*)"\s*$)re");
    ResourceScript script;
    DialogTemplate* dialog = nullptr;
    bool inStrings = false;
    std::istringstream lines(ReadText(rcPath));
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "END") {
            dialog = nullptr;
            inStrings = false;
        } else if (line.rfind("STRINGTABLE", 0) == 0) {
            inStrings = true;
        } else if (std::regex_search(line, m, dialogLine)) {
            dialog = &script.dialogs[resolve(m[1])];
            dialog->id = resolve(m[1]);
        } else if (inStrings && std::regex_search(line, m, stringLine)) {
            std::string text = m[2];
            for (size_t tab = text.find("\\t"); tab != std::string::npos; tab = text.find("\\t", tab)) text.replace(tab, 2, "\t");
            script.strings[static_cast<unsigned>(resolve(m[1]))] = Cp932(text);
        } else if (dialog && std::regex_search(line, m, captionLine)) {
            dialog->caption = Cp932(m[1]);
        } else if (dialog && std::regex_search(line, m, controlLine)) {
            const std::string kind = m[4].matched ? m[4].str() : m[1] == "LTEXT" ? "Static" : m[1] == "EDITTEXT" ? "Edit" : "Button";
            dialog->controls.push_back({resolve(m[3]), kind, Cp932(m[2]), line});
        }
    }
    return script;
}

// ---- windows and controls -------------------------------------------------------

MemoryWindow::MemoryWindow(ModalWindow& modal, const DialogTemplate& made) : dialog(modal), layout(made) {
    for (const ControlTemplate& control : layout.controls)
        if (control.id != -1) static_cast<ControlTemplate&>(controls[control.id]) = control;
}

MemoryWindow::Control& MemoryWindow::At(int id) {
    auto found = controls.find(id);
    if (found != controls.end()) return found->second;
    throw std::out_of_range("no control " + std::to_string(id) + " in dialog " + std::to_string(layout.id));
}

void MemoryWindow::SelectLines(int id, const std::vector<int>& lines) {
    std::vector<Line>& all = At(id).lines;
    for (size_t i = 0; i < all.size(); ++i) all[i].selected = std::count(lines.begin(), lines.end(), static_cast<int>(i)) > 0;
    Notify(id, LBN_SELCHANGE);
}

void MemoryWindow::Type(int id, const std::string& text) {
    Control& edit = At(id);
    std::string typed = edit.text + text;
    // The typing limit stops further input; it never cuts what is there.
    if (edit.limit > 0 && typed.size() > static_cast<size_t>(edit.limit))
        typed.resize(std::max(edit.text.size(), static_cast<size_t>(edit.limit)));
    if (typed == edit.text) return;
    edit.text = typed;
    Notify(id, EN_CHANGE);
}

LRESULT MemoryWindow::PressKey(int id, UINT key) {
    Control& list = At(id);
    if (!list.Has("LBS_WANTKEYBOARDINPUT")) return 0;
    const std::vector<int> selected = SelectedLines(id);
    const WORD caret = static_cast<WORD>(selected.empty() ? 0 : selected[0]);
    list.characterDiscarded = false;
    list.characterAnswer.reset();
    LRESULT answer = -1;
    dialog.HandleMessage(WM_VKEYTOITEM, MAKEWPARAM(static_cast<WORD>(key), caret), reinterpret_cast<LPARAM>(&list), answer);
    // The character the key types; ";" is on the Japanese keyboard's ";+" key.
    const char typed = key >= 'A' && key <= 'Z'                   ? static_cast<char>(key - 'A' + 'a')
                       : key >= '0' && key <= '9'                 ? static_cast<char>(key)
                       : key == VK_ADD                            ? '+'
                       : key == VK_SUBTRACT || key == VK_OEM_MINUS ? '-'
                       : key == VK_OEM_PLUS                       ? ';'
                                                                  : '\0';
    if (!typed || list.characterDiscarded) return answer;
    LRESULT found = 0;  // unanswered, Wine takes 0
    dialog.HandleMessage(WM_CHARTOITEM, MAKEWPARAM(static_cast<WORD>(static_cast<unsigned char>(typed)), caret),
                         reinterpret_cast<LPARAM>(&list), found);
    list.characterAnswer = found;
    return answer;
}

std::vector<std::string> MemoryWindow::Lines(int id) {
    std::vector<std::string> texts;
    for (const Line& line : At(id).lines) texts.push_back(line.text);
    return texts;
}

std::vector<int> MemoryWindow::SelectedLines(int id) {
    std::vector<int> selected;
    const std::vector<Line>& lines = At(id).lines;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].selected) selected.push_back(static_cast<int>(i));
    return selected;
}

// ---- the seam ------------------------------------------------------------------

const ResourceScript& MemoryWindowing::Resources() {
    if (!m_resources) m_resources = LoadResourceScript(m_rcPath);
    return *m_resources;
}

MemoryWindow* MemoryWindowing::WindowOf(HWND handle) {
    for (MemoryWindow& window : m_windows)
        if (window.Handle() == handle) return &window;
    m_errors.push_back("message to a window that does not exist");
    return nullptr;
}

std::pair<MemoryWindow*, MemoryWindow::Control*> MemoryWindowing::ControlOf(HWND handle) {
    for (MemoryWindow& window : m_windows)
        for (auto& [id, control] : window.controls)
            if (reinterpret_cast<HWND>(&control) == handle) return {&window, &control};
    m_errors.push_back("message to a control that does not exist");
    return {nullptr, nullptr};
}

MemoryWindow& MemoryWindowing::Open(ModalWindow& dialog) {
    auto found = Resources().dialogs.find(dialog.TemplateId());
    if (found == Resources().dialogs.end()) throw std::out_of_range("no dialog template " + std::to_string(dialog.TemplateId()));
    MemoryWindow& window = m_windows.emplace_back(dialog, found->second);
    dialog.Attach(window.Handle());
    window.Send(WM_INITDIALOG);
    return window;
}

void MemoryWindowing::Close(MemoryWindow& window) {
    window.dialog.Detach();
    m_windows.remove_if([&window](const MemoryWindow& open) { return &open == &window; });
}

INT_PTR MemoryWindowing::RunModal(ModalWindow& dialog, HWND) {
    const int id = dialog.TemplateId();
    modalRuns.push_back(id);
    MemoryWindow& window = Open(dialog);
    auto script = std::find_if(m_scripts.begin(), m_scripts.end(), [id](const auto& entry) { return entry.first == id; });
    if (!window.ended && script != m_scripts.end()) {
        DialogScript run = std::move(script->second);
        m_scripts.erase(script);
        run(window);
    }
    if (!window.ended) {
        m_errors.push_back("dialog " + std::to_string(id) + " left open: no script ended it");
        window.result = IDCANCEL;
    }
    const INT_PTR result = window.result;
    Close(window);
    return result;
}

HWND MemoryWindowing::ItemHandle(HWND dialog, int id) {
    MemoryWindow* window = WindowOf(dialog);
    if (!window) return nullptr;
    auto found = window->controls.find(id);
    if (found != window->controls.end()) return reinterpret_cast<HWND>(&found->second);
    m_errors.push_back("no control " + std::to_string(id) + " in dialog " + std::to_string(window->layout.id));
    return nullptr;
}

LRESULT MemoryWindowing::SendToWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NEXTDLGCTL) {
        MemoryWindow* dialog = WindowOf(handle);
        MemoryWindow::Control* next = ControlOf(reinterpret_cast<HWND>(wParam)).second;
        if (dialog && next) dialog->focus = next->id;
        return 0;
    }
    auto [window, control] = ControlOf(handle);
    if (!control) return 0;
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    switch (message) {
    case WM_SETTEXT:
        control->text = reinterpret_cast<const char*>(lParam);
        // An edit reports every change of its text, also one the program makes.
        if (control->kind == "Edit") window->Notify(control->id, EN_CHANGE);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(control->text.size());
    case WM_GETTEXT: {
        if (wParam == 0) return 0;
        const size_t copied = std::min(static_cast<size_t>(wParam) - 1, control->text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), control->text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    case EM_LIMITTEXT:
        control->limit = index;
        return 0;
    case WM_SETREDRAW:
        control->repaints += wParam && !control->redraw;  // the list is drawn anew when redraw comes back
        control->redraw = wParam != 0;
        return 0;
    case CB_ADDSTRING:
        return ListMessage(*control, LB_ADDSTRING, 0, lParam);
    case CB_GETCURSEL:
        return control->comboSel;
    case CB_SETCURSEL:  // CB_ERR is also the -1 of no selection
        return control->comboSel = index >= 0 && index < static_cast<int>(control->lines.size()) ? index : CB_ERR;
    }
    if (control->kind == "ListBox") return ListMessage(*control, message, wParam, lParam);
    m_errors.push_back("list box message to control " + std::to_string(control->id));
    return 0;
}

int MemoryWindowing::ShowMessageBox(HWND, const std::string& text, const std::string& caption, UINT type) {
    boxes.push_back({text, caption, type});
    if (onBox) onBox(boxes.back());
    if (m_answers.empty()) return IDOK;
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::string MemoryWindowing::LoadStringResource(UINT id) {
    auto found = Resources().strings.find(id);
    return found == Resources().strings.end() ? std::string() : found->second;
}

void MemoryWindowing::AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) {
    MemoryWindow* window = WindowOf(dialog);
    if (window && afterSeparator) window->systemMenu.push_back("-");
    if (window) window->systemMenu.push_back(std::to_string(command) + ":" + text);
}

bool MemoryWindowing::PaintMinimisedIcon(HWND dialog, HICON) {
    MemoryWindow* window = WindowOf(dialog);
    if (!window || !window->minimised) return false;
    window->iconPainted = true;
    return true;
}
