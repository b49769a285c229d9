// Saves cut short, offered back: a child saving a page in a folder that
// takes no new file is killed mid-rewrite; the next run asks (naming the
// page and where the copy is) before it puts anything back, Yes gives the
// page its old bytes, No leaves the page and the copy and asks no more,
// and another page's opening asks nothing.

#include "app/InterruptedSaves.h"
#include "tests/app/AppTestSupport.h"

#include "platform/base/FileNameText.h"
#include "platform/base/KeptCopies.h"
#include "platform/base/SafeFile.h"
#include "tests/platform/base/ChildProcess.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// A page of the given old bytes, cut by a kill while it was being saved
// with new ones, in a folder that takes no new file.
std::string cutPage(const TTestProgramFolder& program, const std::string& name, const std::string& before,
                    const std::string& after) {
    const fs::path folder = program.Folder().Path() / "site";
    fs::create_directories(folder);
    const std::string page = (folder / name).string();
    TTestProgramFolder::WriteFileBytes(page, before);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TChildLimits limits{static_cast<long>(before.size() + 100), true, {}};
    limits.DieAtFileSizeLimit = true;
    const TChildOutcome outcome = RunInChild(limits, [&](std::string&) {
        WriteFileReplacing(page, after);
        return 0;
    });
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(outcome.Signal, SIGXFSZ) << outcome.Output;
    return page;
}

} // namespace

TEST(InterruptedSaves, TheKeptCopyIsOfferedBackAndRestoredOnlyOnYes) {
    TTestProgramFolder program;
    std::mt19937 random(31);
    std::string before(70000, '\0'), after(140000, '\0');
    for (char& c : before)
        c = static_cast<char>('a' + random() % 26);
    for (char& c : after)
        c = static_cast<char>('A' + random() % 26);
    const std::string restored = cutPage(program, "yes page.html", before, after);
    const std::string kept = cutPage(program, "no page.html", before, after);
    ASSERT_NE(TTestProgramFolder::ReadFileBytes(restored), before);

    TScriptedUserInteraction user;
    std::vector<std::string> unscripted;
    user.OnUnscripted = [&](const std::string& question) { unscripted.push_back(question); };
    // Opening another page asks about none of them.
    OfferInterruptedSaves(program.File("site/other.html"));
    EXPECT_TRUE(user.Calls.empty());

    user.AnswerMessage(mrYes);
    OfferInterruptedSaves(restored);
    ASSERT_EQ(user.Calls.size(), 1u);
    const std::string& question = user.Calls[0].Text;
    EXPECT_NE(question.find("\"" + DisplayTextOfName(fs::canonical(restored).string()) + "\""), std::string::npos)
        << question;
    EXPECT_NE(question.find("interrupted"), std::string::npos) << question;
    EXPECT_NE(question.find(program.File("cache/korvane-ondrill/yes page.html.")), std::string::npos) << question;
    EXPECT_EQ(user.Calls[0].Buttons, mbYesNo);
    EXPECT_TRUE(TTestProgramFolder::ReadFileBytes(restored) == before);
    EXPECT_NE(TTestProgramFolder::ReadFileBytes(kept), before) << "only the page asked about is restored";

    // The start of the program asks about what is left; No keeps both.
    user.AnswerMessage(mrNo);
    OfferInterruptedSaves();
    ASSERT_EQ(user.Calls.size(), 2u);
    EXPECT_NE(user.Calls[1].Text.find("no page.html"), std::string::npos) << user.Calls[1].Text;
    const std::string cut = TTestProgramFolder::ReadFileBytes(kept);
    EXPECT_EQ(cut.size(), before.size() + 100);
    size_t copies = 0;
    for (const auto& entry : fs::directory_iterator(program.File("cache/korvane-ondrill")))
        copies += TTestProgramFolder::ReadFileBytes(entry.path().string()) == before ? 1 : 0;
    EXPECT_EQ(copies, 1u);

    OfferInterruptedSaves();
    OfferInterruptedSaves(kept);
    EXPECT_EQ(user.Calls.size(), 2u) << "asked once";
    EXPECT_TRUE(unscripted.empty());
}
