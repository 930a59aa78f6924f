#include "dialogs/entry_dialogs.h"
#include "support/fixture.h"

namespace {

struct Fields {
    std::string name = "山田", reading = "やまだ", company, companyReading, department, fax = "03-1234-5678";
};

struct Outcome {
    INT_PTR result;
    std::vector<std::string> messages;
};

class EntryDialogTest : public ProgramTest {
protected:
    // Types the fields into a fresh dialog, presses OK once, and closes it
    // with Cancel if it is still open.
    template <class Dialog>
    Outcome Submit(Dialog& dlg, const Fields& f) {
        platform->boxes.clear();
        platform->WhenDialogOpens(dlg.TemplateId(), [&](MemoryWindow& w) {
            const std::pair<int, const std::string*> edits[] = {
                {IDC_NAME, &f.name}, {IDC_NAME_READING, &f.reading}, {IDC_COMPANY, &f.company},
                {IDC_COMPANY_READING, &f.companyReading}, {IDC_DEPARTMENT, &f.department}, {IDC_FAX_NUMBER, &f.fax}};
            for (const auto& [id, text] : edits) {
                w.At(id).text.clear();
                w.Type(id, *text);
            }
            w.Click(IDOK);
            if (!w.ended) w.Click(IDCANCEL);
        });
        INT_PTR result = dlg.DoModal();
        for (const ShownBox& box : platform->boxes) EXPECT_EQ(box.type & MB_ICONMASK, MB_ICONEXCLAMATION) << box.text;
        return {result, BoxTexts()};
    }
    Outcome SubmitNew(const Fields& f) {
        CNewEntryDlg dlg;
        return Submit(dlg, f);
    }
    Outcome SubmitProperty(const Fields& f) {
        CEntryPropertyDlg dlg;
        return Submit(dlg, f);
    }
    static Fields With(std::function<void(Fields&)> change) {
        Fields f;
        change(f);
        return f;
    }
};

const std::string k32(32, '1');
const std::string k64(64, 'a');

struct CheckCase {
    const char* what;
    Fields fields;
    const char* newMessage;       // nullptr: accepted
    const char* propertyMessage;  // nullptr: accepted
};

TEST_F(EntryDialogTest, ChecksInTheirOrderAtTheirBoundaries) {
    const std::string kanji32(32, '\0');
    std::string name64, name66;
    for (int i = 0; i < 32; ++i) name64 += "名";
    name66 = name64 + "名";
    const std::vector<CheckCase> cases = {
        {"all filled", Fields{}, nullptr, nullptr},
        {"all empty", With([](Fields& f) { f = {"", "", "", "", "", ""}; }), msg::kNewEntryRequired,
         msg::kPropertyRequired},
        {"empty reading", With([](Fields& f) { f.reading = ""; }), msg::kNewEntryRequired, msg::kPropertyRequired},
        {"empty FAX number", With([](Fields& f) { f.fax = ""; }), msg::kNewEntryRequired, msg::kPropertyRequired},
        {"empty company and department", With([](Fields& f) { f.company = f.department = ""; }), nullptr, nullptr},
        {"empty name beats letters in the number", With([](Fields& f) { f.name = "", f.fax = "abc"; }),
         msg::kNewEntryRequired, msg::kPropertyRequired},
        {"digits, hyphens and trailing #", With([](Fields& f) { f.fax = "03-1234-5678#"; }), nullptr, nullptr},
        {"parentheses", With([](Fields& f) { f.fax = "(03)1234"; }), msg::kNewEntryFaxCharacters,
         msg::kPropertyFaxCharacters},
        {"space", With([](Fields& f) { f.fax = "03 1234"; }), msg::kNewEntryFaxCharacters, msg::kPropertyFaxCharacters},
        {"plus", With([](Fields& f) { f.fax = "+81312"; }), msg::kNewEntryFaxCharacters, msg::kPropertyFaxCharacters},
        {"full-width digits", With([](Fields& f) { f.fax = "０３"; }), msg::kNewEntryFaxCharacters,
         msg::kPropertyFaxCharacters},
        {"star", With([](Fields& f) { f.fax = "1*2"; }), msg::kNewEntryFaxCharacters, nullptr},
        {"slash", With([](Fields& f) { f.fax = "1/2"; }), msg::kNewEntryFaxCharacters, nullptr},
        {"half-width middle dot", With([](Fields& f) { f.fax = "1･2"; }), msg::kNewEntryFaxCharacters, nullptr},
        {"other half-width katakana", With([](Fields& f) { f.fax = "1ｱ2"; }), msg::kNewEntryFaxCharacters,
         msg::kPropertyFaxCharacters},
        {"FAX 32 bytes", With([&](Fields& f) { f.fax = k32; }), nullptr, nullptr},
        {"FAX 33 bytes", With([&](Fields& f) { f.fax = k32 + "1"; }), msg::kFaxNumberTooLong, msg::kFaxNumberTooLong},
        {"FAX 33 bytes with a letter", With([&](Fields& f) { f.fax = k32 + "x"; }), msg::kNewEntryFaxCharacters,
         msg::kPropertyFaxCharacters},
        {"name 64 bytes", With([&](Fields& f) { f.name = k64; }), nullptr, nullptr},
        {"name 32 double-byte", With([&](Fields& f) { f.name = name64; }), nullptr, nullptr},
        {"name 33 double-byte", With([&](Fields& f) { f.name = name66; }), msg::kNameTooLong, msg::kNameTooLong},
        {"reading 65 bytes", With([&](Fields& f) { f.reading = k64 + "a"; }), msg::kNameTooLong, msg::kNameTooLong},
        {"name and company 65 bytes", With([&](Fields& f) { f.name = f.company = k64 + "a"; }), msg::kNameTooLong,
         msg::kNameTooLong},
        {"company 64 bytes", With([&](Fields& f) { f.company = k64; }), nullptr, nullptr},
        {"company 65 bytes", With([&](Fields& f) { f.company = k64 + "a"; }), msg::kCompanyTooLong, msg::kCompanyTooLong},
        {"company reading 65 bytes", With([&](Fields& f) { f.companyReading = k64 + "a"; }), msg::kCompanyTooLong,
         msg::kCompanyTooLong},
        {"department 64 bytes", With([&](Fields& f) { f.department = k64; }), nullptr, nullptr},
        {"department 65 bytes", With([&](Fields& f) { f.department = k64 + "a"; }), msg::kDepartmentTooLong,
         msg::kDepartmentTooLong},
        {"comma in the name", With([](Fields& f) { f.name = "山田,太郎"; }), msg::kNoComma, msg::kNoComma},
        {"comma in the company", With([](Fields& f) { f.company = "山田,商事"; }), msg::kNoComma, msg::kNoComma},
        {"comma in the company reading", With([](Fields& f) { f.companyReading = ","; }), msg::kNoComma, msg::kNoComma},
        {"comma in the reading", With([](Fields& f) { f.reading = "や,"; }), msg::kNoComma, msg::kNoComma},
        {"comma in the department", With([](Fields& f) { f.department = "営業,総務"; }), msg::kNoComma, msg::kNoComma},
        {"comma in the number comes before its characters",
         With([](Fields& f) { f.fax = "03,1234"; }), msg::kNoComma, msg::kNoComma},
        {"comma after a missing name", With([](Fields& f) { f.name = "", f.company = "a,b"; }),
         msg::kNewEntryRequired, msg::kPropertyRequired},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome made = SubmitNew(c.fields);
        EXPECT_EQ(made.result, c.newMessage ? IDCANCEL : IDOK);
        EXPECT_EQ(made.messages, c.newMessage ? std::vector<std::string>{c.newMessage} : std::vector<std::string>{});
        Outcome edited = SubmitProperty(c.fields);
        // Accepted property changes ask to save first.
        std::vector<std::string> expected = {c.propertyMessage ? c.propertyMessage : msg::kSaveChanges};
        EXPECT_EQ(edited.messages, expected);
        EXPECT_EQ(edited.result, c.propertyMessage ? IDCANCEL : IDOK);
    }
}

TEST_F(EntryDialogTest, AcceptedFieldsComeBackInTheMembers) {
    CNewEntryDlg dlg;
    Fields f{"名", "よみ", "会社", "かいしゃ", "部", "0-1#"};
    ASSERT_EQ(Submit(dlg, f).result, IDOK);
    EXPECT_EQ(std::vector<std::string>({dlg.m_strName, dlg.m_strNameReading, dlg.m_strCompany, dlg.m_strCompanyReading,
                                        dlg.m_strDepartment, dlg.m_strFaxNumber}),
              std::vector<std::string>({"名", "よみ", "会社", "かいしゃ", "部", "0-1#"}));
}

TEST_F(EntryDialogTest, TypingLimits) {
    CNewEntryDlg made;
    platform->WhenDialogOpens(IDD_NEW_ENTRY, [](MemoryWindow& w) {
        w.Type(IDC_FAX_NUMBER, std::string(300, '1'));
        EXPECT_EQ(w.Text(IDC_FAX_NUMBER).size(), 255u);
        w.Type(IDC_NAME, std::string(300, 'a'));
        EXPECT_EQ(w.Text(IDC_NAME).size(), 300u);
        w.Click(IDCANCEL);
    });
    made.DoModal();

    CEntryPropertyDlg edited;
    edited.m_strName = std::string(70, 'n');  // longer than the limit: shown whole
    platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [](MemoryWindow& w) {
        EXPECT_EQ(w.Text(IDC_NAME).size(), 70u);
        EXPECT_EQ(w.At(IDC_NAME).limit, 65);
        EXPECT_EQ(w.At(IDC_NAME_READING).limit, 65);
        w.Type(IDC_NAME_READING, std::string(100, 'r'));
        EXPECT_EQ(w.Text(IDC_NAME_READING).size(), 65u);
        EXPECT_EQ(w.At(IDC_COMPANY).limit, 0);
        EXPECT_EQ(w.At(IDC_FAX_NUMBER).limit, 0);
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(edited.DoModal(), IDCANCEL);
}

TEST_F(EntryDialogTest, PropertyChangeFlagAndSaveQuestion) {
    struct Case {
        const char* what;
        std::function<void(MemoryWindow&)> act;
        std::vector<int> answers;
        INT_PTR result;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"OK untouched ends as Cancel, asking nothing", [](MemoryWindow& w) { w.Click(IDOK); }, {}, IDCANCEL, {}},
        {"typed and deleted again still asks",
         [](MemoryWindow& w) {
             w.Type(IDC_COMPANY, "x");
             w.At(IDC_COMPANY).text = "";
             w.Send(WM_COMMAND, MAKEWPARAM(IDC_COMPANY, EN_CHANGE));
             w.Click(IDOK);
         },
         {IDOK}, IDOK, {msg::kSaveChanges}},
        {"Cancel to the question keeps it open; the next OK asks again",
         [](MemoryWindow& w) {
             w.Type(IDC_DEPARTMENT, "部");
             w.Click(IDOK);
             EXPECT_FALSE(w.ended);
             w.Click(IDOK);
         },
         {IDCANCEL, IDOK}, IDOK, {msg::kSaveChanges, msg::kSaveChanges}},
        {"Cancel after changes asks nothing",
         [](MemoryWindow& w) {
             w.Type(IDC_NAME, "x");
             w.Click(IDCANCEL);
         },
         {}, IDCANCEL, {}},
        {"a stored value that breaks a rule blocks OK even unchanged",
         [](MemoryWindow& w) {
             w.At(IDC_FAX_NUMBER).text = "03 1234";  // as loaded from the file
             w.Click(IDOK);
             EXPECT_FALSE(w.ended);
             w.Click(IDCANCEL);
         },
         {}, IDCANCEL, {msg::kPropertyFaxCharacters}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform->boxes.clear();
        for (int answer : c.answers) platform->AnswerNextBox(answer);
        CEntryPropertyDlg dlg;
        dlg.m_strName = "山田";
        dlg.m_strNameReading = "やまだ";
        dlg.m_strFaxNumber = "03-1111";
        platform->WhenDialogOpens(IDD_ENTRY_PROPERTY, [&](MemoryWindow& w) {
            // Putting the entry's values into the edits is no change.
            EXPECT_EQ(dlg.m_bModified, 0);
            EXPECT_EQ(w.Text(IDC_NAME), "山田");
            c.act(w);
        });
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(BoxTexts(), c.messages);
        if (c.result == IDOK) {
            EXPECT_EQ(dlg.m_bModified, 0);
        }
    }
}

}  // namespace
