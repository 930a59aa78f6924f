#include "support/fixture.h"

namespace {

struct StartCase {
    const char* commandLine;
    bool otherCopyRunning;
    bool dialogRuns;
    bool mutexCreated;
};

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, StartConditions) {
    const std::vector<StartCase> cases = {
        {"/s /m:Demo FAX Driver", false, true, true},
        {"/m:Demo FAX Driver /s", false, true, true},
        {"/n", false, false, false},
        {"/n /s", false, false, false},
        {"/s /n", false, false, false},
        {"/s /n", true, false, false},  // "/n" is tested before the mutex
        {"", false, false, true},
        {"/m:Demo FAX Driver", false, false, true},
        {"/S /M:Demo", false, false, true},
        {"/N /S", false, false, true},
        {"/m:Driver/s", false, true, true},  // found inside the driver name
        {"/m:Driver/n", false, false, false},
        {"/s /m:Demo FAX Driver", true, false, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.commandLine + std::string(c.otherCopyRunning ? " (another copy)" : ""));
        Restart();
        if (c.otherCopyRunning) platform->mutexes["hPrevInstance"] = 1;
        const std::string book = Row("山田", "03-1111");
        platform->files[AddressBookPath(*platform)] = book;
        bool ran = false;
        if (c.dialogRuns) {
            platform->WhenDialogOpens(IDD_ADDRESSBOOK, [&](MemoryWindow& w) {
                ran = true;
                // While the dialog runs, the mutex is held.
                EXPECT_EQ(platform->mutexes["hPrevInstance"], 1);
                w.Click(IDCANCEL);
            });
        }
        CAddressApp copy;
        copy.Run(c.commandLine, {*platform, *platform, *platform, platform->directory});
        EXPECT_EQ(ran, c.dialogRuns);
        EXPECT_EQ(platform->modalRuns.size(), c.dialogRuns ? 1u : 0u);
        EXPECT_EQ(copy.m_hMutex != nullptr, c.mutexCreated);
        EXPECT_EQ(platform->mutexes.count("hPrevInstance") ? platform->mutexes["hPrevInstance"] : 0,
                  (c.otherCopyRunning ? 1 : 0) + (c.mutexCreated ? 1 : 0));
        // ExitInstance runs last on every path.
        EXPECT_EQ(platform->mutexReleases, 1);
        EXPECT_EQ(copy.m_strAppName, "qvdutil");
        EXPECT_TRUE(platform->boxes.empty());
        EXPECT_EQ(platform->errors, std::vector<std::string>{});
        // A copy that ended early touched neither the book nor any printer.
        EXPECT_EQ(platform->files.size(), 1u);
        EXPECT_EQ(platform->files[AddressBookPath(*platform)], book);
        if (!c.dialogRuns) {
            EXPECT_TRUE(platform->registryWrites.empty());
        }
    }
}

}  // namespace
