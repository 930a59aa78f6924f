// The program on the memory backends: a fresh set per test; the session
// started as the main dialog starts it (the .rc is read only once a window
// opens), or the main dialog opened as the start-up code would open it;
// helpers that act as a user does.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/address_app.h"
#include "book/book_file.h"
#include "dialogs/address_book_dlg.h"
#include "dialogs/messages.h"
#include "driver/fax_number_book.h"
#include "support/memory_platform.h"
#include "res/resource.h"

inline const std::string kPrinters = kPrintersKey;
inline const std::string kFaxPrinter = kPrinters + "\\FAX Printer";
inline const std::string kDriverData = kFaxPrinter + "\\PrinterDriverData";

// One CSV row of the six edited fields.
inline std::string Row(const std::string& name, const std::string& fax, const std::string& company = "") {
    return name + ",よみ," + company + ",,," + fax + ",,,,,,,\r\n";
}

// What a user does to the book in a session, as one step.
using Act = std::function<EntryResult(PickerSession&)>;
inline Act Create(const std::string& name, const std::string& fax, const std::string& company = "") {
    return [=](PickerSession& pc) {
        CAddressEntry person;
        person.m_strName = name;
        person.m_strNameReading = "よみ";
        person.m_strCompany = company;
        person.m_strFaxNumber = fax;
        return pc.CreatePerson(person);
    };
}
inline Act Edit(int line, const std::string& name) {
    return [=](PickerSession& pc) {
        CAddressEntry person = *pc.PersonOn(line);
        person.m_strName = name;
        return pc.EditPerson(line, person);
    };
}
inline Act Delete(int line) {
    return [=](PickerSession& pc) { return pc.DeletePerson(line); };
}
// The address book list, "|", then the destination list.
inline std::vector<std::string> Screen(const PickerSession& pc) {
    std::vector<std::string> lines;
    for (int line = 0; line < pc.Lines().Count(); ++line) lines.push_back(pc.LineText(line));
    lines.push_back("|");
    for (int line = 0; line < pc.DestinationCount(); ++line) lines.push_back(pc.DestinationText(line));
    return lines;
}

class ProgramTest : public testing::Test {
protected:
    ProgramTest() : platform(std::make_unique<MemoryPlatform>(QVD_RC_PATH)) {
        SetWindowing(platform.get());
        app.m_strAppName = "qvdutil";
        app.m_lpCmdLine = "/s /m:Demo FAX Driver";
    }
    ~ProgramTest() override {
        if (window) Close();
        SetWindowing(nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(platform->errors, std::vector<std::string>{});
        EXPECT_EQ(platform->OpenFileCount(), 0);  // no file stays open between a user's actions
    }

    void WriteBook(const std::string& bytes) { platform->files[AddressBookPath(*platform)] = bytes; }
    std::string Book() { return platform->files[AddressBookPath(*platform)]; }
    void AddPrinter(const std::string& path = kFaxPrinter, const std::string& driver = "Demo FAX Driver") {
        platform->SetString(path, kPrinterDriverValue, driver);
        platform->CreateKey(path + "\\" + kDriverDataKey);
    }
    void StoreDestinations(const std::string& faxNumbers, const std::string& names) {
        platform->SetValue(kDriverData, kFaxNumbersValue, REG_SZ, ToBytes(ValueData(faxNumbers)));
        platform->SetValue(kDriverData, kNamesValue, REG_SZ, ToBytes(ValueData(names)));
    }
    // The text of a stored value, up to its first zero byte.
    std::string Stored(const std::string& valueName, const std::string& key = kDriverData) {
        std::optional<RegValue> value = platform->GetValue(key, valueName);
        if (!value) return "<missing>";
        std::string text(value->data.begin(), value->data.end());
        return text.substr(0, text.find('\0'));
    }
    static std::vector<BYTE> ToBytes(const std::array<BYTE, kValueDataSize>& data) { return {data.begin(), data.end()}; }

    // Starts over on a clean platform, as a new run of the program would.
    void Restart() {
        if (window) Close();
        EXPECT_EQ(platform->errors, std::vector<std::string>{});
        dialog.reset();
        session.reset();
        platform = std::make_unique<MemoryPlatform>(QVD_RC_PATH);
        SetWindowing(platform.get());
    }
    MemoryWindow& Open() {
        dialog.reset();
        session = std::make_unique<PickerSession>(*platform, *platform, DriverNameFromCommandLine(app.m_lpCmdLine));
        dialog = std::make_unique<CAddressBookDlg>(*session, platform->directory, ReadDirectoryPolicy(*platform));
        app.m_pMainWnd = dialog.get();
        window = &platform->Open(*dialog);
        return *window;
    }
    // A start of the program without its window: the session as the dialog
    // starts it; the messages it would show kept in |messages|.
    PickerSession& StartSession() {
        if (window) Close();
        dialog.reset();
        session = StartedSession(&messages);
        return *session;
    }
    // Another run beside it, as on another PC of the office.
    std::unique_ptr<PickerSession> StartedSession(std::vector<std::string>* shown = nullptr) {
        auto pc = std::make_unique<PickerSession>(*platform, *platform, DriverNameFromCommandLine(app.m_lpCmdLine));
        const std::vector<std::string> loaded = pc->Open();
        if (shown) *shown = loaded;
        pc->Start();
        return pc;
    }
    void OpenWith(const std::string& book) {
        WriteBook(book);
        AddPrinter();
        Open();
    }
    void Add(int line) {
        window->Select(IDC_ADDRESS_LIST, line);
        window->Click(IDC_ADD_DESTINATION);
    }
    void Close() {
        platform->Close(*window);
        window = nullptr;
        app.m_pMainWnd = nullptr;
    }
    std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const ShownBox& box : platform->boxes) texts.push_back(box.text);
        return texts;
    }
    std::vector<std::string> Lines(int id) { return window->Lines(id); }
    std::vector<std::int32_t> Destinations() {
        std::vector<std::int32_t> ids;
        for (int i = 0; i < session->DestinationCount(); ++i) ids.push_back(session->Destinations()[i]);
        return ids;
    }
    // Enabled state of 1003, 1005, 1007 and 1004, as "1101".
    std::string Buttons() {
        std::string state;
        for (int id : {IDC_ADD_DESTINATION, IDC_PROPERTIES, IDC_DELETE_ENTRY, IDC_REMOVE_DESTINATIONS})
            state += window->IsEnabled(id) ? '1' : '0';
        return state;
    }
    // Fills the new-entry dialog when it opens and presses OK.
    void ScriptNewEntry(const std::string& name, const std::string& fax, const std::string& company = "",
                        const std::string& department = "") {
        platform->WhenDialogOpens(IDD_NEW_ENTRY, [=](MemoryWindow& entry) {
            entry.Type(IDC_NAME, name);
            entry.Type(IDC_NAME_READING, "よみ");
            entry.Type(IDC_COMPANY, company);
            entry.Type(IDC_DEPARTMENT, department);
            entry.Type(IDC_FAX_NUMBER, fax);
            entry.Click(IDOK);
        });
    }

    std::unique_ptr<MemoryPlatform> platform;
    CAddressApp app;
    std::unique_ptr<PickerSession> session;
    std::vector<std::string> messages;
    std::unique_ptr<CAddressBookDlg> dialog;
    MemoryWindow* window = nullptr;
};
