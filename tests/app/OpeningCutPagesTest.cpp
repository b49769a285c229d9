// A page cut by a save killed mid-rewrite never opens as if whole, by any
// way a page opens (File > Open, the Reopen menu, the project list, the
// explorer's double click, the command line at start-up), whatever became
// of the pid the record names: the killed saver still a zombie, the pid
// taken by another copy of this program, another boot whose pid is now a
// stranger's, or a record of an earlier version naming a stranger's pid.
// The question comes before the page is read (Yes shows the whole page),
// and only once.  A page another copy of the program is still saving
// opens only when the user agrees.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/ProjectFiles.h"
#include "app/Startup.h"
#include "tests/app/MainWindowTestSupport.h"

#include "platform/base/KeptCopies.h"
#include "platform/base/SafeFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListView.h"
#include "shell/ShellList.h"
#include "shell/ShellRecords.h"
#include "tests/platform/base/ChildProcess.h"
#include "tests/platform/base/ProcessStates.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using process_states::TTestProcess;

namespace {

enum class TSaverLeft { Zombie, PidOfThisProgram, OtherBoot, EarlierVersionsRecord };
enum class TWay { FileOpen, Reopen, Project, Explorer };

std::string randomText(std::mt19937& random, size_t size) {
    std::string text(size, ' ');
    for (char& c : text)
        c = static_cast<char>('a' + random() % 26);
    return text;
}

// Saves after over before in a folder that takes no new file, in a child
// killed by a file-size limit mid-rewrite and left unwaited for: a zombie.
TTestProcess cutBySavingKilledMidRewrite(const std::string& page, const std::string& before,
                                         const std::string& after, const std::string& cache) {
    TTestProgramFolder::WriteFileBytes(page, before);
    fs::permissions(fs::path(page).parent_path(), fs::perms::owner_write, fs::perm_options::remove);
    const pid_t child = ::fork();
    if (child == 0) {
        TChildLimits limits{static_cast<long>(before.size() + 1 + after.size()) / 2, true, cache};
        limits.DieAtFileSizeLimit = true;
        ApplyChildLimits(limits);
        try {
            WriteFileReplacing(page, after);
        } catch (...) {
        }
        ::_exit(0);
    }
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
    EXPECT_EQ(info.si_status, SIGXFSZ);
    fs::permissions(fs::path(page).parent_path(), fs::perms::owner_write, fs::perm_options::add);
    return TTestProcess(child);
}

// Rewrites the page's record as a later state of the world finds it: the
// pid given to another process, another boot, or an earlier layout.
void ageRecord(const std::string& page, TSaverLeft left, long otherPid) {
    const std::vector<TKeptCopy> kept = FindKeptCopies(page);
    ASSERT_EQ(kept.size(), 1u);
    // header, pid, start time, boot id, the copy's size and checksum, the
    // finished page's size and checksum, device, inode, generation, page
    std::vector<std::string> lines(12);
    std::istringstream in(TTestProgramFolder::ReadFileBytes(kept[0].Record));
    for (std::string& line : lines)
        std::getline(in, line);
    lines[1] = std::to_string(otherPid);
    if (left == TSaverLeft::OtherBoot)
        lines[3] = std::string(lines[3].rbegin(), lines[3].rend());
    if (left == TSaverLeft::EarlierVersionsRecord)
        lines = {"korvane-ondrill kept copy 1", lines[1], lines[4], lines[11]};
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    TTestProgramFolder::WriteFileBytes(kept[0].Record, text);
}

class OpeningCutPages : public TMainWindowTest {
protected:
    // Opens the page the way given, as the user would.
    void open(TWay way, const std::string& page) {
        switch (way) {
        case TWay::FileOpen:
            user.AnswerFiles({page});
            RunGuarded([&] { frame->FileOpenItemClick(nullptr); });
            break;
        case TWay::Reopen:
            frame->mrulist->Add(page);
            frame->mrulist->Container()->ItemAt(0)->Click();
            break;
        case TWay::Project: {
            const std::string project = program.File("site.ond");
            WriteProjectFile(project, {program.File("elsewhere.html"), page});
            frame->LoadProject(project);
            frame->pmListView->SetItemIndex(1);
            frame->pmListView->OnDblClick(frame->pmListView);
            frame->CloseProject();
            break;
        }
        case TWay::Explorer: {
            frame->shList->Folder().SetPath(fs::path(page).parent_path().string());
            frame->shList->FlushPending();
            for (int i = 0; i < frame->shList->Model().Count(); ++i)
                if (TPTShListData* data = frame->shList->Model().Data(i);
                    data != nullptr && data->GetFileName() == fs::path(page).filename().string())
                    frame->shList->SetItemIndex(i);
            frame->shList->OpenSelection();
            break;
        }
        }
        Application().ProcessMessages();
    }
    std::vector<std::string> questions() const {
        std::vector<std::string> asked;
        for (const auto& call : user.Calls)
            if (call.Kind == TScriptedUserInteraction::kMessage)
                asked.push_back(call.Text);
        return asked;
    }
};

} // namespace

TEST_F(OpeningCutPages, ACutPageIsNeverOpenedWithoutTheQuestionByAnyWay) {
    std::mt19937 random(5077);
    TTestProcess thisProgram = TTestProcess::Sleeping(), stranger = TTestProcess::Stranger();
    fs::create_directories(program.File("site"));
    for (int round = 0; round < 12; ++round) {
        const TWay way = static_cast<TWay>(round % 4);
        const TSaverLeft left = static_cast<TSaverLeft>(random() % 4);
        const bool yes = random() % 2 == 0;
        const std::string page = program.File("site/page " + std::to_string(round) + ".html");
        const std::string before = randomText(random, 20000 + random() % 40000);
        const std::string after = randomText(random, before.size() + 20000);
        SCOPED_TRACE("round " + std::to_string(round) + ", way " + std::to_string(static_cast<int>(way)) +
                     ", saver " + std::to_string(static_cast<int>(left)) + (yes ? ", yes" : ", no"));
        TTestProcess saver = cutBySavingKilledMidRewrite(page, before, after, program.File("cache"));
        const std::string cut = TTestProgramFolder::ReadFileBytes(page);
        ASSERT_NE(cut.size(), before.size());
        if (left == TSaverLeft::PidOfThisProgram)
            ageRecord(page, left, thisProgram.Pid());
        else if (left != TSaverLeft::Zombie)
            ageRecord(page, left, stranger.Pid());

        const size_t asked = questions().size();
        user.AnswerMessage(yes ? mrYes : mrNo);
        open(way, page);
        ASSERT_EQ(questions().size(), asked + 1) << "the page opened without a word";
        EXPECT_NE(questions().back().find("page " + std::to_string(round) + ".html"), std::string::npos);
        ASSERT_EQ(frame->MDIChildCount(), 1);
        const std::string shown = frame->ActiveDocument()->Text().Bytes();
        EXPECT_TRUE(shown == (yes ? before : cut)) << "shown " << shown.size() << " bytes";
        EXPECT_TRUE(TTestProgramFolder::ReadFileBytes(page) == (yes ? before : cut));

        // Answered: the next opening asks nothing.
        FreeDocuments();
        open(way, page);
        EXPECT_EQ(questions().size(), asked + 1);
        FreeDocuments();
    }
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

TEST_F(OpeningCutPages, APageStillBeingSavedOpensOnlyWhenTheUserAgrees) {
    TTestProcess saver = TTestProcess::Sleeping();
    fs::create_directories(program.File("site"));
    const std::string page = program.File("site/busy.html");
    TTestProgramFolder::WriteFileBytes(page, "<P>half");
    TKeptCopy kept;
    kept.Page = KeptCopyPageName(page);
    kept.Copy = program.File("cache/korvane-ondrill/busy.html.1-0-1.orig");
    kept.Saver = {saver.Pid(), saver.StartTime(), process_states::BootIdNow()};
    fs::create_directories(program.File("cache/korvane-ondrill"));
    ASSERT_TRUE(KeepCopy(kept, "<P>half a page that is being written"));

    int round = 0;
    for (const bool agree : {false, true}) {
        user.AnswerMessage(agree ? mrYes : mrNo);
        open(static_cast<TWay>(round++ % 4), page);
        ASSERT_EQ(questions().size(), static_cast<size_t>(round));
        EXPECT_NE(questions().back().find("being saved"), std::string::npos) << questions().back();
        EXPECT_EQ(frame->MDIChildCount(), agree ? 1 : 0);
    }
    // Its copy is that process's business: left as it is.
    EXPECT_TRUE(fs::exists(kept.Copy));
    EXPECT_TRUE(TTestProgramFolder::ReadFileBytes(page) == "<P>half");
}

namespace {

class StartingOnACutPage : public ::testing::Test {
protected:
    void TearDown() override {
        FreeMainWindow();
        ClearQuitRequest();
    }
    TTestProgramFolder program;
    TScriptedUserInteraction user;
};

} // namespace

// The command line names a page whose saver was killed moments ago (still a
// zombie): the start asks before the page opens, Yes opens it whole; and
// what a save killed while keeping its copy left is gone after the start.
TEST_F(StartingOnACutPage, TheStartAsksBeforeThePageOpensAndClearsIncompleteCopies) {
    std::mt19937 random(3);
    fs::create_directories(program.File("site"));
    const std::string page = program.File("site/index.html");
    const std::string before = randomText(random, 50000), after = randomText(random, 90000);
    TTestProcess saver = cutBySavingKilledMidRewrite(page, before, after, program.File("cache"));

    // Another page's save killed while its copy was written.
    const std::string other = program.File("site/other.html");
    TTestProgramFolder::WriteFileBytes(other, before);
    fs::permissions(program.File("site"), fs::perms::owner_write, fs::perm_options::remove);
    TChildLimits limits{20000, true, program.File("cache")};
    limits.DieAtFileSizeLimit = true;
    EXPECT_EQ(RunInChild(limits, [&](std::string&) {
                  WriteFileReplacing(other, after);
                  return 0;
              }).Signal,
              SIGXFSZ);
    fs::permissions(program.File("site"), fs::perms::owner_write, fs::perm_options::add);
    size_t incomplete = 0;
    for (const auto& entry : fs::directory_iterator(program.File("cache/korvane-ondrill")))
        incomplete += entry.path().extension() == ".part" ? 1 : 0;
    EXPECT_EQ(incomplete, 1u);

    user.AnswerMessage(mrYes);
    Tframeform* frame = StartUp({page}, program.Folder().Path().string());
    ASSERT_EQ(user.Calls.size(), 1u);
    EXPECT_NE(user.Calls[0].Text.find("index.html"), std::string::npos) << user.Calls[0].Text;
    ASSERT_EQ(frame->MDIChildCount(), 1);
    EXPECT_TRUE(frame->ActiveDocument()->Text().Bytes() == before);
    EXPECT_TRUE(TTestProgramFolder::ReadFileBytes(other) == before);
    EXPECT_TRUE(fs::is_empty(program.File("cache/korvane-ondrill")));
}
