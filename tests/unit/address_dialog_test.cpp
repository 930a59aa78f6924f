#include "support/fixture.h"

namespace {

class AddressDialogTest : public ProgramTest {
protected:
    void OpenWithThree() {
        WriteBook(Row("山田", "03-1111", "A社") + Row("鈴木", "06-2222", "B社") + Row("佐藤", "09-3333", "A社"));
        AddPrinter();
        Open();
    }
};

TEST_F(AddressDialogTest, InitialisationFillsThePersonView) {
    OpenWithThree();
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"山田", "鈴木", "佐藤"}));
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Lines(IDC_DISPLAY_MODE), (std::vector<std::string>{"個人名", "会社名", "グループ"}));
    EXPECT_EQ(window->At(IDC_DISPLAY_MODE).comboSel, 0);
    EXPECT_EQ(Buttons(), "1110");
    EXPECT_TRUE(platform->boxes.empty());
}

TEST_F(AddressDialogTest, EmptyBookKeepsTheButtonsEnabledAndTheyDoNothing) {
    WriteBook("");
    Open();
    EXPECT_TRUE(Lines(IDC_ADDRESS_LIST).empty());
    EXPECT_EQ(Buttons(), "1110");
    window->Click(IDC_ADD_DESTINATION);
    window->Click(IDC_PROPERTIES);
    window->Click(IDC_DELETE_ENTRY);
    EXPECT_TRUE(platform->boxes.empty());
    EXPECT_TRUE(Lines(IDC_DESTINATION_LIST).empty());
    EXPECT_EQ(Book(), "");
}

// What the start finds is shown while the window is made, before it is drawn.
TEST_F(AddressDialogTest, TheStartsMessagesAreShownAsTheWindowIsMade) {
    std::string bytes;
    for (int i = 0; i < 1001; ++i) bytes += Row("P" + std::to_string(i), "1");
    WriteBook(bytes);
    Open();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kTooManyPersons});
    EXPECT_EQ(platform->boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).size(), 1000u);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST).back(), "P999");
}

// Each row of the enabled-state table, applied in turn to the running dialog.
TEST_F(AddressDialogTest, SelectionsAndButtonStates) {
    OpenWithThree();
    for (int i = 0; i < 3; ++i) {
        window->Select(IDC_ADDRESS_LIST, i);
        window->Click(IDC_ADD_DESTINATION);
    }
    ASSERT_EQ(Lines(IDC_DESTINATION_LIST).size(), 3u);

    struct Step {
        const char* event;
        std::function<void()> act;
        std::string buttons;  // 1003 1005 1007 1004
        std::vector<int> addressSelection;
        std::vector<int> destinationSelection;
    };
    const std::vector<Step> steps = {
        {"lines selected in the destinations", [&] { window->SelectLines(IDC_DESTINATION_LIST, {0, 2}); }, "0001", {},
         {0, 2}},
        {"line selected in the address book", [&] { window->Select(IDC_ADDRESS_LIST, 1); }, "1110", {1}, {}},
        {"destination line selected", [&] { window->SelectLines(IDC_DESTINATION_LIST, {1}); }, "0001", {}, {1}},
        {"destination selection emptied", [&] { window->SelectLines(IDC_DESTINATION_LIST, {}); }, "0000", {}, {}},
        {"address book line selected again", [&] { window->Select(IDC_ADDRESS_LIST, 2); }, "1110", {2}, {}},
        {"address book selection emptied", [&] { window->Select(IDC_ADDRESS_LIST, -1); }, "0110", {}, {}},
        {"drop-down closed without a selection", [&] { window->ChooseComboItem(IDC_DISPLAY_MODE, 0); }, "0000", {}, {}},
        {"company view entered", [&] { window->ChooseComboItem(IDC_DISPLAY_MODE, 1); }, "0000", {}, {}},
        {"person view entered", [&] { window->ChooseComboItem(IDC_DISPLAY_MODE, 0); }, "1110", {0}, {}},
        {"destinations selected then mode closed", [&] {
             window->SelectLines(IDC_DESTINATION_LIST, {0});
             window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
         },
         "0001", {}, {0}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        step.act();
        EXPECT_EQ(Buttons(), step.buttons);
        EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), step.addressSelection);
        EXPECT_EQ(window->SelectedLines(IDC_DESTINATION_LIST), step.destinationSelection);
    }
}

TEST_F(AddressDialogTest, ModeSwitchRebuildsOnlyOnAChange) {
    OpenWithThree();
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A社", "B社"}));
    EXPECT_EQ(window->At(IDC_DISPLAY_MODE).comboSel, 1);
    window->DoubleClick(IDC_ADDRESS_LIST, 0);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);  // closed on the mode already shown
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A社", " >> 山田", " >> 佐藤", "B社"}));
    EXPECT_EQ(window->SelectedLines(IDC_ADDRESS_LIST), std::vector<int>{0});
    EXPECT_EQ(Buttons(), "1110");
    window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"山田", "鈴木", "佐藤"}));
}

TEST_F(AddressDialogTest, ChoosingWithArrowKeysAppliesNothingUntilTheDropDownCloses) {
    OpenWithThree();
    window->At(IDC_DISPLAY_MODE).comboSel = 1;
    window->Send(WM_COMMAND, MAKEWPARAM(IDC_DISPLAY_MODE, CBN_SELCHANGE));
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"山田", "鈴木", "佐藤"}));
    window->Send(WM_COMMAND, MAKEWPARAM(IDC_DISPLAY_MODE, CBN_CLOSEUP));
    EXPECT_EQ(Lines(IDC_ADDRESS_LIST), (std::vector<std::string>{"A社", "B社"}));
}

TEST_F(AddressDialogTest, AfterADeletionThePersonViewStillFindsThePersons) {
    OpenWithThree();
    window->Select(IDC_ADDRESS_LIST, 0);
    window->Click(IDC_DELETE_ENTRY);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 1);
    window->ChooseComboItem(IDC_DISPLAY_MODE, 0);
    window->Select(IDC_ADDRESS_LIST, 1);
    window->Click(IDC_ADD_DESTINATION);
    EXPECT_EQ(Lines(IDC_DESTINATION_LIST), std::vector<std::string>{"佐藤"});
}

TEST_F(AddressDialogTest, OkStoresTheDestinationsAndEnds) {
    OpenWithThree();
    window->Select(IDC_ADDRESS_LIST, 1);
    window->Click(IDC_ADD_DESTINATION);
    window->Click(IDOK);
    EXPECT_TRUE(window->ended);
    EXPECT_EQ(window->result, IDOK);
    EXPECT_EQ(Stored(kFaxNumbersValue), "06-2222");
    EXPECT_EQ(Stored(kNamesValue), "鈴木");
}

TEST_F(AddressDialogTest, CancelWritesNothingMore) {
    OpenWithThree();
    size_t writesAtStart = platform->registryWrites.size();
    window->Select(IDC_ADDRESS_LIST, 1);
    window->Click(IDC_ADD_DESTINATION);
    window->Click(IDCANCEL);
    EXPECT_TRUE(window->ended);
    EXPECT_EQ(window->result, IDCANCEL);
    EXPECT_EQ(platform->registryWrites.size(), writesAtStart);
    EXPECT_EQ(Stored(kNamesValue), "");
}

}  // namespace
