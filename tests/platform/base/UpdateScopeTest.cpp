// RunInUpdate: the work runs inside one BeginUpdate / EndUpdate pair on
// every path, and an exception from either the work or EndUpdate (a change
// handler) reaches the caller instead of ending the program.

#include "platform/base/IniFile.h"
#include "platform/base/Strings.h"
#include "platform/base/UpdateScope.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records the calls it gets; EndUpdate raises while Refuse is set.
struct TRecordingTarget {
    std::string Log;
    bool Refuse = false;
    void BeginUpdate() { Log += "<"; }
    void EndUpdate() {
        Log += ">";
        if (Refuse)
            throw std::runtime_error("end refused");
    }
};

TEST(RunInUpdate, EndsTheUpdateOnEveryPath) {
    TRecordingTarget target;
    RunInUpdate(target, [&] { target.Log += "work"; });
    EXPECT_EQ(target.Log, "<work>");

    target.Log.clear();
    EXPECT_THROW(RunInUpdate(target, [&] { throw std::logic_error("work failed"); }), std::logic_error);
    EXPECT_EQ(target.Log, "<>");

    target.Log.clear();
    target.Refuse = true;
    EXPECT_THROW(RunInUpdate(target, [&] { target.Log += "work"; }), std::runtime_error);
    EXPECT_EQ(target.Log, "<work>");
}

// Every list operation that holds its notices in an update: a change
// handler that raises reaches the caller, and the list is left out of its
// update (the next change is reported at once).
TEST(RunInUpdate, AStringListsRaisingChangeHandlerReachesTheCaller) {
    TStringList source;
    source.Add("b");
    source.Add("a");
    const std::vector<std::function<void(TStringList&)>> operations = {
        [&](TStringList& list) { list.AddStrings(source); },
        [&](TStringList& list) { list.Assign(&source); },
        [&](TStringList& list) { list.SetCommaText("x,\"y z\""); },
        [&](TStringList& list) { list.SetText("one\r\ntwo"); },
        [&](TStringList& list) { list.Put(0, "changed"); },
        [&](TStringList& list) { list.Move(0, 1); },
        [&](TStringList& list) { list.Exchange(0, 1); },
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        SCOPED_TRACE(i);
        TStringList list;
        list.Add("first");
        list.Add("second");
        int reports = 0;
        bool refuse = true;
        list.OnChange = [&](TStringList&) {
            ++reports;
            if (refuse)
                throw std::runtime_error("handler refused");
        };
        EXPECT_THROW(operations[i](list), std::runtime_error);
        EXPECT_EQ(reports, 1);
        refuse = false;
        list.Add("later");
        EXPECT_EQ(reports, 2);
    }
}

TEST(RunInUpdate, AnIniFileFillsAListWhoseHandlerRaises) {
    TTempFolder folder;
    WriteFile(folder.File("a.ini"), "[s]\nk=v\n[t]\n");
    TIniFile ini(folder.File("a.ini"));
    TStringList list;
    list.OnChange = [&](TStringList&) { throw std::runtime_error("handler refused"); };
    EXPECT_THROW(ini.ReadSections(list), std::runtime_error);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"s", "t"}));
    EXPECT_THROW(ini.ReadSection("s", list), std::runtime_error);
    EXPECT_THROW(ini.ReadSectionValues("s", list), std::runtime_error);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"k=v"}));
}

} // namespace
