#include "support/memory_windows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "framework/dialog.h"
#include "system/code_page.h"

namespace {

std::string Utf8ToCp932(const std::string& utf8) {
    std::optional<std::string> bytes = Cp932FromUtf8(utf8);
    if (!bytes) throw std::runtime_error("not convertible to CP932: " + utf8);
    return *bytes;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// ---- resource script ------------------------------------------------------------

ResourceScript LoadResourceScript(const std::string& rcPath) {
    std::map<std::string, int> symbols = {{"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_STATIC", -1}};
    std::string header = ReadText(rcPath.substr(0, rcPath.find_last_of('/') + 1) + "resource.h");
    std::regex define(R"(#define\s+(\w+)\s+\(?(-?(?:0x[0-9A-Fa-f]+|\d+))\)?)");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        symbols[(*it)[1]] = static_cast<int>(std::stol((*it)[2], nullptr, 0));
    auto resolve = [&symbols](const std::string& name) {
        auto found = symbols.find(name);
        if (found != symbols.end()) return found->second;
        return static_cast<int>(std::stol(name, nullptr, 0));
    };

    ResourceScript script;
    std::istringstream lines(ReadText(rcPath));
    std::regex dialogLine(R"(^(\w+)\s+DIALOGEX\b)");
    std::regex captionLine(R"(^CAPTION\s+\"(.*)\")");
    std::regex textControl(R"(^\s*(PUSHBUTTON|DEFPUSHBUTTON|LTEXT)\s+\"([^\"]*)\"\s*,\s*(\w+))");
    std::regex editControl(R"(^\s*EDITTEXT\s+(\w+))");
    std::regex iconControl(R"(^\s*ICON\s+\w+\s*,\s*(\w+))");
    std::regex genericControl(R"(^\s*CONTROL\s+\"([^\"]*)\"\s*,\s*(\w+)\s*,\s*\"(\w+)\"\s*,\s*([^,]*))");
    std::regex stringLine(R"(^\s*(\w+)\s+\"(.*)\"\s*$)");
    DialogTemplate* current = nullptr;
    bool inStrings = false;
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::regex_search(line, m, dialogLine)) {
            int id = resolve(m[1]);
            current = &script.dialogs[id];
            current->id = id;
            continue;
        }
        if (line.rfind("STRINGTABLE", 0) == 0) {
            inStrings = true;
            continue;
        }
        if (line == "END") {
            current = nullptr;
            inStrings = false;
            continue;
        }
        if (inStrings && std::regex_search(line, m, stringLine)) {
            std::string text = m[2];
            for (std::size_t tab = text.find("\\t"); tab != std::string::npos; tab = text.find("\\t", tab))
                text.replace(tab, 2, "\t");
            script.strings[static_cast<unsigned>(resolve(m[1]))] = Utf8ToCp932(text);
            continue;
        }
        if (!current) continue;
        if (std::regex_search(line, m, captionLine)) {
            current->caption = Utf8ToCp932(m[1]);
        } else if (std::regex_search(line, m, textControl)) {
            std::string kind = m[1] == "LTEXT" ? "Static" : "Button";
            current->controls.push_back({resolve(m[3]), kind, Utf8ToCp932(m[2]), line});
        } else if (std::regex_search(line, m, editControl)) {
            current->controls.push_back({resolve(m[1]), "Edit", "", line});
        } else if (std::regex_search(line, m, iconControl)) {
            current->controls.push_back({resolve(m[1]), "Static", "", line});
        } else if (std::regex_search(line, m, genericControl)) {
            current->controls.push_back({resolve(m[2]), m[3], Utf8ToCp932(m[1]), m[4]});
        }
    }
    return script;
}

// ---- windows and controls -------------------------------------------------------

bool MemoryWindow::Control::MultiSelect() const {
    return layout.style.find("LBS_EXTENDEDSEL") != std::string::npos || layout.style.find("LBS_MULTIPLESEL") != std::string::npos;
}

MemoryWindow::MemoryWindow(ModalWindow& dialog, const DialogTemplate& layout) : m_dialog(dialog), m_layout(layout) {
    for (const ControlTemplate& control : layout.controls) {
        if (control.id == -1) continue;
        Control& made = m_controls[control.id];
        made.id = control.id;
        made.layout = control;
        made.text = control.text;
    }
}

MemoryWindow::Control* MemoryWindow::Find(int id) {
    auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

bool MemoryWindow::Owns(const Control* control) const {
    auto found = m_controls.find(control->id);
    return found != m_controls.end() && &found->second == control;
}

MemoryWindow::Control& MemoryWindow::At(int id) {
    Control* control = Find(id);
    if (!control) throw std::out_of_range("no control " + std::to_string(id) + " in dialog " + std::to_string(m_layout.id));
    return *control;
}

LRESULT MemoryWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    m_dialog.HandleMessage(message, wParam, lParam, result);
    return result;
}

void MemoryWindow::Notify(int id, WORD code) { Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code)); }

bool MemoryWindow::Click(int id) {
    if (!At(id).enabled) return false;
    Notify(id, BN_CLICKED);
    return true;
}

void MemoryWindow::Select(int id, int line) {
    Control& list = At(id);
    for (size_t i = 0; i < list.lines.size(); ++i) list.lines[i].selected = static_cast<int>(i) == line;
    Notify(id, LBN_SELCHANGE);
}

void MemoryWindow::SelectLines(int id, const std::vector<int>& lines) {
    Control& list = At(id);
    for (size_t i = 0; i < list.lines.size(); ++i)
        list.lines[i].selected = std::find(lines.begin(), lines.end(), static_cast<int>(i)) != lines.end();
    Notify(id, LBN_SELCHANGE);
}

void MemoryWindow::DoubleClick(int id, int line) {
    Select(id, line);
    Notify(id, LBN_DBLCLK);
}

void MemoryWindow::ChooseComboItem(int id, int index) {
    Control& combo = At(id);
    combo.comboSel = index;
    Notify(id, CBN_SELCHANGE);
    Notify(id, CBN_CLOSEUP);
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

namespace {

char CharacterOf(UINT virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<char>(virtualKey - 'A' + 'a');
    if (virtualKey >= '0' && virtualKey <= '9') return static_cast<char>(virtualKey);
    switch (virtualKey) {
    case VK_ADD: return '+';
    case VK_SUBTRACT:
    case VK_OEM_MINUS: return '-';
    case VK_OEM_PLUS: return ';';  // the key ";+" of a Japanese keyboard
    default: return 0;
    }
}

}  // namespace

LRESULT MemoryWindow::PressKey(int id, UINT virtualKey) {
    Control& list = At(id);
    if (list.layout.style.find("LBS_WANTKEYBOARDINPUT") == std::string::npos) return 0;
    const std::vector<int> selected = SelectedLines(id);
    const WORD caret = static_cast<WORD>(selected.empty() ? 0 : selected[0]);
    list.characterDiscarded = false;
    list.characterAnswer.reset();
    LRESULT answer = -1;
    m_dialog.HandleMessage(WM_VKEYTOITEM, MAKEWPARAM(static_cast<WORD>(virtualKey), caret), reinterpret_cast<LPARAM>(&list), answer);
    const char typed = CharacterOf(virtualKey);
    if (!typed || list.characterDiscarded) return answer;
    LRESULT found = 0;
    m_dialog.HandleMessage(WM_CHARTOITEM, MAKEWPARAM(static_cast<WORD>(static_cast<unsigned char>(typed)), caret),
                           reinterpret_cast<LPARAM>(&list), found);
    list.characterAnswer = found;
    return answer;
}

std::string MemoryWindow::TipOf(int id, int line) {
    return At(id).tips ? m_dialog.LineTip(id, line) : "<no tips>";
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

LRESULT MemoryWindow::ListMessage(Control& control, UINT message, WPARAM wParam, LPARAM lParam) {
    // With redraw on, the system repaints the list for every line changed.
    if (control.redraw &&
        (message == LB_ADDSTRING || message == LB_INSERTSTRING || message == LB_DELETESTRING || message == LB_RESETCONTENT))
        ++control.repaints;
    std::vector<Line>& lines = control.lines;
    const int count = static_cast<int>(lines.size());
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    const bool valid = index >= 0 && index < count;
    const bool multi = control.MultiSelect();
    switch (message) {
    case LB_ADDSTRING:
        lines.push_back({reinterpret_cast<const char*>(lParam)});
        return count;
    case LB_INSERTSTRING: {
        if (index > count) return LB_ERR;
        int at = index < 0 ? count : index;
        lines.insert(lines.begin() + at, Line{reinterpret_cast<const char*>(lParam)});
        return at;
    }
    case LB_DELETESTRING:
        if (!valid) return LB_ERR;
        lines.erase(lines.begin() + index);
        return count - 1;
    case LB_RESETCONTENT:
        lines.clear();
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXTLEN:
        return valid ? static_cast<LRESULT>(lines[static_cast<size_t>(index)].text.size()) : LB_ERR;
    case LB_GETTEXT: {
        if (!valid) return LB_ERR;
        const std::string& text = lines[static_cast<size_t>(index)].text;
        std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case LB_SETITEMDATA:
        return valid ? 0 : LB_ERR;
    case LB_GETCURSEL:
        if (multi) return LB_ERR;
        for (int i = 0; i < count; ++i)
            if (lines[static_cast<size_t>(i)].selected) return i;
        return LB_ERR;
    case LB_SETCURSEL:
        if (multi) return LB_ERR;
        for (int i = 0; i < count; ++i) lines[static_cast<size_t>(i)].selected = i == index;
        return valid ? index : LB_ERR;
    case LB_GETSEL: {
        if (!valid) return LB_ERR;
        return lines[static_cast<size_t>(index)].selected ? 1 : 0;
    }
    case LB_SETSEL: {
        if (!multi) return LB_ERR;
        int target = static_cast<int>(lParam);
        if (target == -1) {
            for (Line& line : lines) line.selected = wParam != 0;
            return 0;
        }
        if (target < 0 || target >= count) return LB_ERR;
        lines[static_cast<size_t>(target)].selected = wParam != 0;
        return 0;
    }
    case LB_GETSELCOUNT:
    case LB_GETSELITEMS: {
        if (!multi) return LB_ERR;
        int* out = reinterpret_cast<int*>(lParam);
        int found = 0;
        for (int i = 0; i < count; ++i) {
            if (!lines[static_cast<size_t>(i)].selected) continue;
            if (message == LB_GETSELITEMS) {
                if (found >= index) break;
                out[found] = i;
            }
            ++found;
        }
        return found;
    }
    case LB_INITSTORAGE:
        return count;
    case LB_SETTOPINDEX:
        control.top = valid ? index : control.top;
        return valid ? 0 : LB_ERR;
    default:
        return 0;
    }
}

MemoryWindowing::MemoryWindowing(const std::string& rcPath, std::vector<std::string>& errors)
    : m_errors(errors), m_rcPath(rcPath) {}

const ResourceScript& MemoryWindowing::Resources() {
    if (!m_resources) m_resources = LoadResourceScript(m_rcPath);
    return *m_resources;
}

MemoryWindowing::~MemoryWindowing() = default;

MemoryWindow* MemoryWindowing::WindowOf(HWND hwnd) {
    for (auto& window : m_windows)
        if (window->Handle() == hwnd) return window.get();
    m_errors.push_back("message to a window that does not exist");
    return nullptr;
}

MemoryWindow& MemoryWindowing::Open(ModalWindow& dialog) {
    auto found = Resources().dialogs.find(dialog.TemplateId());
    if (found == Resources().dialogs.end()) throw std::out_of_range("no dialog template " + std::to_string(dialog.TemplateId()));
    m_windows.push_back(std::make_unique<MemoryWindow>(dialog, found->second));
    MemoryWindow& window = *m_windows.back();
    dialog.Attach(window.Handle());
    window.Send(WM_INITDIALOG);
    return window;
}

void MemoryWindowing::Close(MemoryWindow& window) {
    window.Dialog().Detach();
    m_windows.erase(std::remove_if(m_windows.begin(), m_windows.end(),
                                   [&window](const auto& open) { return open.get() == &window; }),
                    m_windows.end());
}

INT_PTR MemoryWindowing::RunModal(ModalWindow& dialog, HWND) {
    modalRuns.push_back(dialog.TemplateId());
    MemoryWindow& window = Open(dialog);
    if (!window.ended) {
        auto script = std::find_if(m_scripts.begin(), m_scripts.end(),
                                   [&dialog](const auto& entry) { return entry.first == dialog.TemplateId(); });
        if (script == m_scripts.end()) {
            m_errors.push_back("dialog " + std::to_string(dialog.TemplateId()) + " opened without a script");
        } else {
            DialogScript run = std::move(script->second);
            m_scripts.erase(script);
            run(window);
        }
        if (!window.ended) {
            m_errors.push_back("dialog " + std::to_string(dialog.TemplateId()) + " left open by its script");
            window.result = IDCANCEL;
        }
    }
    INT_PTR result = window.result;
    Close(window);
    return result;
}

void MemoryWindowing::EndModal(HWND dialog, INT_PTR result) {
    if (MemoryWindow* window = WindowOf(dialog)) {
        window->ended = true;
        window->result = result;
    }
}

HWND MemoryWindowing::ItemHandle(HWND dialog, int id) {
    MemoryWindow* window = WindowOf(dialog);
    if (!window) return nullptr;
    MemoryWindow::Control* control = window->Find(id);
    if (!control) m_errors.push_back("no control " + std::to_string(id) + " in dialog " + std::to_string(window->Template().id));
    return reinterpret_cast<HWND>(control);
}

std::pair<MemoryWindow*, MemoryWindow::Control*> MemoryWindowing::ControlOf(HWND handle) {
    auto* control = reinterpret_cast<MemoryWindow::Control*>(handle);
    if (control) {
        for (auto& window : m_windows)
            if (window->Owns(control)) return {window.get(), control};
    }
    m_errors.push_back("message to a control that does not exist");
    return {nullptr, nullptr};
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
    const int id = control->id;
    switch (message) {
    case WM_SETTEXT:
        control->text = reinterpret_cast<const char*>(lParam);
        // An edit reports every change of its text, also one the program makes.
        if (control->layout.kind == "Edit") window->Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), EN_CHANGE));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(control->text.size());
    case WM_GETTEXT: {
        size_t room = static_cast<size_t>(wParam);
        if (room == 0) return 0;
        size_t copied = std::min(room - 1, control->text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), control->text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    case EM_LIMITTEXT:
        control->limit = static_cast<int>(wParam);
        return 0;
    case WM_SETREDRAW:
        if (wParam && !control->redraw) ++control->repaints;
        control->redraw = wParam != 0;
        return 0;
    case CB_ADDSTRING:
        control->lines.push_back({reinterpret_cast<const char*>(lParam)});
        return static_cast<LRESULT>(control->lines.size() - 1);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(control->lines.size());
    case CB_GETCURSEL:
        return control->comboSel;
    case CB_SETCURSEL: {
        int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
        bool valid = index >= 0 && index < static_cast<int>(control->lines.size());
        control->comboSel = valid ? index : -1;
        return valid ? index : CB_ERR;
    }
    default:
        if (control->layout.kind != "ListBox") {
            m_errors.push_back("list box message to control " + std::to_string(id));
            return 0;
        }
        return window->ListMessage(*control, message, wParam, lParam);
    }
}

void MemoryWindowing::EnableControl(HWND handle, bool enable) {
    if (MemoryWindow::Control* control = ControlOf(handle).second) control->enabled = enable;
}

int MemoryWindowing::ShowMessageBox(HWND, const std::string& text, const std::string& caption, UINT type) {
    boxes.push_back({text, caption, type});
    if (onBox) onBox(boxes.back());
    if (m_answers.empty()) return IDOK;
    int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::string MemoryWindowing::LoadStringResource(UINT id) {
    auto found = Resources().strings.find(id);
    return found == Resources().strings.end() ? std::string() : found->second;
}

HICON MemoryWindowing::LoadIconResource(int id) {
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x10000 + id));
}

void MemoryWindowing::SetIcons(HWND dialog, HICON icon) {
    if (MemoryWindow* window = WindowOf(dialog)) window->bigIcon = window->smallIcon = icon;
}

void MemoryWindowing::AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) {
    if (MemoryWindow* window = WindowOf(dialog)) {
        if (afterSeparator) window->systemMenu.push_back("-");
        window->systemMenu.push_back(std::to_string(command) + ":" + text);
    }
}

void MemoryWindowing::AttachLineTips(HWND, HWND list) {
    if (MemoryWindow::Control* control = ControlOf(list).second) control->tips = true;
}

void MemoryWindowing::DiscardTypedCharacter(HWND window) {
    if (MemoryWindow::Control* control = ControlOf(window).second) control->characterDiscarded = true;
}

bool MemoryWindowing::PaintMinimisedIcon(HWND dialog, HICON) {
    MemoryWindow* window = WindowOf(dialog);
    if (!window || !window->minimised) return false;
    window->paintedIconAt = CentredIconOrigin(window->clientWidth, window->clientHeight, 32, 32);
    return true;
}
