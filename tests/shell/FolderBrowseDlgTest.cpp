// The folder-browse dialog without windows, its runs played out from the
// form's show event: a random series of runs checked against a model of
// the confirmed folder (cancel keeps it, Return confirms a folder with a
// path but not a virtual one, whose OK is disabled; a run nested in a
// running one is refused; a run whose handler raised leaves the dialog
// usable), the buttons' states per folder, the form's layout over random
// sizes and options, and the placement block.

#include "platform/base/Exceptions.h"
#include "shell/FolderBrowseDlg.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class FolderBrowseDlgTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShellTestApplication(); }
    std::string folder(const std::string& relative) {
        std::string path = JoinPath(home.Files, relative);
        std::filesystem::create_directories(path);
        return path;
    }
    TShellTestHome home;
};

std::string pidlBytes(PCItemIDList list) { return list != nullptr ? ItemBytes(list) : std::string(); }

} // namespace

TEST_F(FolderBrowseDlgTest, RunsKeepTheConfirmedFolderAndRefuseToNest) {
    std::vector<std::string> targets = {folder("site"), folder("site/img"), folder("notes 2024"),
                                        folder("site/img/\xC3\xA9t\xC3\xA9")};
    // The empty target is Computer: a folder without a path.
    targets.push_back("");
    PItemIDList computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DRIVES, &computer), S_OK);
    TIdListPtr computerOwned(computer);

    TComponent owner;
    auto* dialog = new TPTFolderBrowseDlg(&owner);
    std::mt19937 random(1234);
    std::string confirmed;  // what GetSelectedPath should say
    bool everConfirmed = false;
    TWindowState lastState = wsNormal;
    for (int run = 0; run < 40; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const std::string target = targets[random() % targets.size()];
        const int action = static_cast<int>(random() % 4); // 0, 1 Return; 2 Cancel; 3 a handler raises
        const bool confirms = action < 2 && !target.empty();
        const bool nestInShow = random() % 3 == 0;
        dialog->Options = static_cast<TPTFolderBrowseDlgOptions>(random() & 0x3FF);
        dialog->FormWidth = random() % 3 == 0 ? -1 : static_cast<int>(200 + random() % 500);
        dialog->FormHeight = random() % 3 == 0 ? -1 : static_cast<int>(200 + random() % 500);
        int expectWidth = std::max(dialog->FormWidth > 0 ? dialog->FormWidth : 0, 366);
        int expectHeight = std::max(dialog->FormHeight > 0 ? dialog->FormHeight : 0, 340);
        dialog->FormWindowState = lastState;
        int shows = 0, closes = 0, selChanges = 0;
        std::string lastSelection;
        dialog->OnInitialized = [&](TPersistent*) {
            if (action == 3)
                throw Exception("handler failed");
        };
        dialog->OnSelChange = [&](TPersistent* sender, PCItemIDList selection) {
            EXPECT_EQ(sender, dialog->Form());
            ++selChanges;
            lastSelection = pidlBytes(selection);
        };
        dialog->OnFormClose = [&](TPersistent*) { ++closes; };
        dialog->OnFormShow = [&](TPersistent*) {
            ++shows;
            TPTFrmFolderBrowseDlg& form = *dialog->Form();
            TPTShellTree& tree = *form.PTShellTree1;
            // The run starts on the folder confirmed before.
            if (everConfirmed && !confirmed.empty()) {
                EXPECT_EQ(tree.GetSelectedPath(), confirmed);
            }
            EXPECT_TRUE(dialog->Executing());
            if (nestInShow) {
                try {
                    dialog->Execute();
                    ADD_FAILURE() << "a nested run was not refused";
                } catch (const Exception& e) {
                    EXPECT_EQ(e.Message(), "TPTFolderBrowseDlg already executing");
                }
                EXPECT_EQ(dialog->Form(), &form);
            }
            if (target.empty())
                tree.SelectPidl(computer);
            else
                tree.SelectPath(target);
            ASSERT_NE(tree.Selected(), nullptr);
            EXPECT_EQ(tree.GetSelectedPath(), target);
            EXPECT_EQ(lastSelection, target.empty() ? pidlBytes(computer) : [&] {
                TPTShellLocator here;
                here.SetPath(target);
                return pidlBytes(here.GetPidl());
            }());
            // A folder without a path can be neither chosen, made in nor
            // deleted.
            EXPECT_EQ(form.OkBtn->Enabled(), !target.empty());
            EXPECT_EQ(form.CreateBtn->Enabled(), !target.empty());
            EXPECT_EQ(form.CreateNewFolderBtn->Enabled(), !target.empty());
            EXPECT_EQ(form.DeleteBtn->Enabled(), !target.empty());
            EXPECT_EQ(form.DeleteFolderBtn->Enabled(), !target.empty());
            // What the options show.
            auto has = [&](TPTFolderBrowseDlgOption o) { return (dialog->Options & FolderBrowseOption(o)) != 0; };
            EXPECT_EQ(form.CreateBtn->Visible(), has(ptfbCreateDeleteButtons));
            EXPECT_EQ(form.CreateNewFolderBtn->Visible(), has(ptfbCreateFolderIcon));
            EXPECT_EQ(tree.ReadOnly(), has(ptfbReadOnly));
            EXPECT_EQ(tree.HasOption(ptstoIncludeNonFolders), has(ptfbIncludeNonFolders));
            EXPECT_EQ(tree.HasOption(ptstoShowHidden), has(ptfbShowHidden));
            EXPECT_TRUE(tree.HasOption(ptstoDynamicRefresh)); // not the dialog's to change
            EXPECT_EQ(form.Width(), expectWidth);
            EXPECT_EQ(form.Height(), expectHeight);
            if (action == 2 || !SendDialogKey(form, VK_RETURN)) {
                EXPECT_FALSE(action < 2 && !target.empty()) << "Return did not press OK";
                form.CancelBtn->Click();
            }
        };

        bool result = false;
        if (action == 3) {
            EXPECT_THROW(result = dialog->Execute(), Exception);
            EXPECT_EQ(shows, 0);
        } else {
            result = dialog->Execute();
            EXPECT_EQ(shows, 1);
            EXPECT_EQ(closes, 1);
            EXPECT_GE(selChanges, 1);
            EXPECT_EQ(dialog->FormWidth, expectWidth);
            EXPECT_EQ(dialog->FormHeight, expectHeight);
        }
        EXPECT_FALSE(dialog->Executing());
        EXPECT_EQ(dialog->Form(), nullptr);
        EXPECT_EQ(result, confirms);
        if (confirms) {
            confirmed = target;
            everConfirmed = true;
        }
        EXPECT_EQ(dialog->GetSelectedPath(), confirmed);
    }
}

TEST_F(FolderBrowseDlgTest, TheFormKeepsItsLayoutAtEverySizeAndNeverShrinksBelowItsMinimum) {
    TPTFrmFolderBrowseDlg form;
    std::mt19937 random(77);
    for (int round = 0; round < 60; ++round) {
        auto options = static_cast<TPTFolderBrowseDlgOptions>(random() & 0x3FF);
        auto has = [&](TPTFolderBrowseDlgOption o) { return (options & FolderBrowseOption(o)) != 0; };
        form.SetOptions(options);
        int width = static_cast<int>(100 + random() % 900), height = static_cast<int>(100 + random() % 700);
        form.SetBounds(0, 0, width, height);
        int w = form.ClientWidth(), h = form.ClientHeight();
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " options " + std::to_string(options));
        // The client area is what the window's frame, a pixel on each side,
        // leaves.
        ASSERT_EQ(w, std::max(width, 366) - 2);
        ASSERT_EQ(h, std::max(height, 340) - 2);

        TRect status = form.StatusTxt->BoundsRect(), tree = form.PTShellTree1->BoundsRect();
        TRect panel = form.ButtonPanel->BoundsRect();
        EXPECT_EQ(panel, Rect(0, h - 35, w, h));
        EXPECT_EQ(tree, Rect(8, status.Bottom + 8, w - 16, panel.Top - 8));
        // Along the top: the text, then the icons shown, the last 16 from
        // the edge; nothing overlaps.
        std::vector<TRect> top{status};
        for (TControl* icon : {static_cast<TControl*>(form.CreateNewFolderBtn), static_cast<TControl*>(form.DeleteFolderBtn)})
            if (icon->Visible())
                top.push_back(icon->BoundsRect());
        EXPECT_EQ(top.back().Right, w - 16);
        for (size_t i = 1; i < top.size(); ++i) {
            EXPECT_EQ(top[i].Left - top[i - 1].Right, i == 1 ? (has(ptfbCreateFolderIcon) ? 4 : 8) : 8);
            EXPECT_EQ(top[i].Width() * 100 + top[i].Height(), 23 * 100 + 22);
        }
        // In the panel: OK then Cancel, 4 apart; at the tree's left with
        // the create and delete buttons (which then take the right), else
        // at the right.
        TRect ok = form.OkBtn->BoundsRect(), cancel = form.CancelBtn->BoundsRect();
        EXPECT_EQ(cancel.Left - ok.Right, 4);
        if (has(ptfbCreateDeleteButtons)) {
            EXPECT_EQ(ok.Left, tree.Left);
            EXPECT_EQ(form.DeleteBtn->BoundsRect().Right, w - 16);
            EXPECT_GT(form.CreateBtn->BoundsRect().Left, cancel.Right);
        } else {
            EXPECT_EQ(cancel.Right, w - 16);
        }
        // The size grip: 13 x 13 in the client's bottom-right corner, over
        // the panel, clear of its buttons.
        TRect grip = form.SizeGrip->BoundsRect();
        OffsetRect(grip, panel.Left, panel.Top);
        EXPECT_EQ(grip, Rect(w - 13, h - 13, w, h));
        for (TControl* button : {static_cast<TControl*>(form.OkBtn), static_cast<TControl*>(form.CancelBtn),
                                 static_cast<TControl*>(form.CreateBtn), static_cast<TControl*>(form.DeleteBtn)}) {
            TRect at = button->BoundsRect(), overlap;
            OffsetRect(at, panel.Left, panel.Top);
            EXPECT_FALSE(button->Visible() && IntersectRect(overlap, at, grip));
        }
    }
}

TEST_F(FolderBrowseDlgTest, PlacementBlocksRoundTripAndAShortBlockRaises) {
    std::mt19937 random(5);
    TPTFolderBrowseDlg written, read;
    for (int round = 0; round < 50; ++round) {
        written.FormWidth = static_cast<int>(random()) - 1000;
        written.FormHeight = round % 5 == 0 ? -1 : static_cast<int>(random() % 4000);
        written.FormWindowState = static_cast<TWindowState>(random() % 3);
        TMemoryStream stream;
        written.WritePlacement(stream);
        ASSERT_EQ(stream.Size(), 9);
        stream.SetPosition(0);
        read.ReadPlacement(stream);
        EXPECT_EQ(read.FormWidth, written.FormWidth);
        EXPECT_EQ(read.FormHeight, written.FormHeight);
        EXPECT_EQ(read.FormWindowState, written.FormWindowState);
        // Cut short anywhere: the read fails and takes nothing.
        stream.SetSize(static_cast<int64_t>(random() % 9));
        stream.SetPosition(0);
        read.FormWidth = 7;
        EXPECT_THROW(read.ReadPlacement(stream), EReadError);
        EXPECT_EQ(read.FormWidth, 7);
    }
}
