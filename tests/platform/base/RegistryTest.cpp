#include "platform/base/Exceptions.h"
#include "platform/base/IniDocument.h"
#include "platform/base/Registry.h"
#include "platform/base/Strings.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>

namespace {

// Sets an environment variable for the life of the object.
class TScopedEnvironment {
public:
    TScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~TScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string errorOf(const std::function<void()>& action) { return MessageOf<ERegistryException>(action); }

class RegistryTest : public testing::Test {
protected:
    TTempFolder folder;
    TScopedEnvironment config{"XDG_CONFIG_HOME", folder.Path().c_str()};
    std::string store = folder.File("korvane-ondrill/hkcu.ini");
};

TEST_F(RegistryTest, TheStoreFollowsXdgConfigHomeAndHome) {
    EXPECT_EQ(RegistryStoreFileName(), store);
    EXPECT_EQ(TRegistry().FileName(), store);
    TScopedEnvironment home("HOME", "/home/someone");
    {
        TScopedEnvironment unset("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(RegistryStoreFileName(), "/home/someone/.config/korvane-ondrill/hkcu.ini");
    }
    {
        TScopedEnvironment empty("XDG_CONFIG_HOME", "");
        EXPECT_EQ(RegistryStoreFileName(), "/home/someone/.config/korvane-ondrill/hkcu.ini");
    }
    {
        TScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(RegistryStoreFileName(), "/home/someone/.config/korvane-ondrill/hkcu.ini");
    }
}

TEST_F(RegistryTest, ValuesPersistAcrossObjectsWithTheirTypes) {
    {
        TRegistry registry;
        EXPECT_FALSE(registry.OpenKey("Software\\Prelune2k2\\Toolbars\\MenuBar", false));
        ASSERT_TRUE(registry.OpenKey("Software\\Prelune2k2\\Toolbars\\MenuBar", true));
        EXPECT_EQ(registry.CurrentPath(), "Software\\Prelune2k2\\Toolbars\\MenuBar");
        registry.WriteString("DockedTo", "TopDock");
        registry.WriteInteger("Rev", 2000);
        registry.WriteInteger("FloatLeft", -5);
        registry.WriteBool("Visible", true);
        const unsigned char layout[] = {0x01, 0xFF, 0x00};
        registry.WriteBinaryData("Layout", layout, 3);
    }
    EXPECT_EQ(ReadFile(store), "[Software\\Prelune2k2\\Toolbars\\MenuBar]\n"
                               "DockedTo=sz:TopDock\n"
                               "Rev=dword:000007d0\n"
                               "FloatLeft=dword:fffffffb\n"
                               "Visible=dword:00000001\n"
                               "Layout=hex:01,ff,00\n");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\SOFTWARE\\prelune2k2\\toolbars\\menubar", false));
    EXPECT_EQ(registry.ReadString("dockedto"), "TopDock");
    EXPECT_EQ(registry.ReadInteger("REV"), 2000);
    EXPECT_EQ(registry.ReadInteger("FloatLeft"), -5);
    EXPECT_TRUE(registry.ReadBool("Visible"));
    unsigned char buffer[8] = {};
    EXPECT_EQ(registry.ReadBinaryData("Layout", buffer, sizeof buffer), 3);
    EXPECT_EQ(buffer[1], 0xFF);
    EXPECT_EQ(registry.GetDataType("Rev"), rdInteger);
    EXPECT_EQ(registry.GetDataType("DockedTo"), rdString);
    EXPECT_EQ(registry.GetDataType("Layout"), rdBinary);
    EXPECT_EQ(registry.GetDataType("Missing"), rdUnknown);
    EXPECT_EQ(registry.GetDataSize("DockedTo"), 7);
    EXPECT_EQ(registry.GetDataSize("Rev"), 4);
    EXPECT_EQ(registry.GetDataSize("Missing"), -1);
    TStringList names;
    registry.GetValueNames(names);
    EXPECT_EQ(ItemsOf(names), (std::vector<std::string>{"DockedTo", "Rev", "FloatLeft", "Visible", "Layout"}));
    // Rewriting a value keeps its place; a new type replaces the old.
    registry.WriteString("Rev", "text now");
    EXPECT_EQ(registry.GetDataType("Rev"), rdString);
    EXPECT_TRUE(registry.DeleteValue("rev"));
    EXPECT_FALSE(registry.DeleteValue("rev"));
    EXPECT_FALSE(registry.ValueExists("Rev"));
}

TEST_F(RegistryTest, MissingValuesAndWrongTypesRaiseClearErrors) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Test", true));
    registry.WriteString("Name", "x");
    registry.WriteInteger("Count", 3);
    EXPECT_EQ(errorOf([&] { registry.ReadInteger("Name"); }), "Invalid data type for 'Name'");
    EXPECT_EQ(errorOf([&] { registry.ReadString("Count"); }), "Invalid data type for 'Count'");
    EXPECT_EQ(errorOf([&] { registry.ReadString("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(errorOf([&] { registry.ReadBool("Missing"); }), "Failed to get data for 'Missing'");
    unsigned char small[1];
    registry.WriteBinaryData("Blob", "ab", 2);
    EXPECT_EQ(errorOf([&] { registry.ReadBinaryData("Blob", small, 1); }), "Failed to get data for 'Blob'");
    EXPECT_EQ(errorOf([&] { registry.ReadBinaryData("Name", small, 1); }), "Invalid data type for 'Name'");
}

TEST_F(RegistryTest, KeysNestListAndDeleteWithTheirSubkeys) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Prelune2k2\\Toolbars", true));
    EXPECT_TRUE(registry.CreateKey("MenuBar"));
    EXPECT_TRUE(registry.CreateKey("EditBar\\Inner"));
    EXPECT_TRUE(registry.OpenKey("editbar", false)); // relative to the open key
    EXPECT_EQ(registry.CurrentPath(), "Software\\Prelune2k2\\Toolbars\\editbar");
    registry.WriteInteger("Rev", 2000);
    registry.CloseKey();
    EXPECT_EQ(registry.CurrentPath(), "");

    EXPECT_TRUE(registry.KeyExists("Software"));
    EXPECT_TRUE(registry.KeyExists("software\\PRELUNE2K2"));
    EXPECT_FALSE(registry.KeyExists("Software\\Prelune"));
    ASSERT_TRUE(registry.OpenKey("Software\\Prelune2k2\\Toolbars", false));
    TStringList names;
    registry.GetKeyNames(names);
    // Direct children only, each once whatever its spelling.
    EXPECT_EQ(ItemsOf(names), (std::vector<std::string>{"MenuBar", "EditBar"}));
    registry.CloseKey();
    registry.GetKeyNames(names);
    EXPECT_EQ(ItemsOf(names), (std::vector<std::string>{"Software"}));

    EXPECT_TRUE(registry.DeleteKey("Software\\Prelune2k2\\Toolbars\\EditBar"));
    EXPECT_FALSE(registry.KeyExists("Software\\Prelune2k2\\Toolbars\\EditBar\\Inner"));
    EXPECT_TRUE(registry.KeyExists("Software\\Prelune2k2\\Toolbars\\MenuBar"));
    EXPECT_FALSE(registry.DeleteKey("Software\\Prelune2k2\\Toolbars\\EditBar"));
    EXPECT_FALSE(registry.DeleteKey(""));
    EXPECT_TRUE(registry.DeleteKey("\\SOFTWARE"));
    EXPECT_FALSE(registry.KeyExists("Software"));
    EXPECT_EQ(ReadFile(store), "");
}

TEST_F(RegistryTest, ValueNamesAndStringsOfAnyBytesRoundTrip) {
    const std::vector<std::string> names = {"",  "=",      " lead", "trail ", ";x",   "[x", "@",
                                            "a\\b", "\r\n", "\\x41", "x=y=z", "\xEF\xBB\xBFmark"};
    std::mt19937 random(8);
    std::vector<std::string> values;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string v(random() % 12, ' ');
        for (char& c : v)
            c = "a \\\r\n\0\xFF\"'=x"[random() % 11];
        values.push_back(v);
    }
    values[0] = " both ends ";
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Odd", true));
        for (size_t i = 0; i < names.size(); ++i)
            registry.WriteString(names[i], values[i]);
    }
    // Every line of the store is still a plain INI entry.
    TIniDocument onDisk(ReadFile(store));
    EXPECT_EQ(onDisk.Entries("Odd").size(), names.size());

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("odd"));
    TStringList listed;
    registry.GetValueNames(listed);
    EXPECT_EQ(ItemsOf(listed), names);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(registry.ReadString(names[i]), values[i]) << i;
}

TEST_F(RegistryTest, HandEditedValuesAreReadSensibly) {
    std::filesystem::create_directories(folder.File("korvane-ondrill"));
    WriteFile(store, "; edited by hand\n"
                     "[Software\\Prelune2k2\\Toolbars\\MenuBar]\n"
                     "Visible=0\n"
                     "Rev=dword:7D0\n"
                     "Broken=dword:zz\n"
                     "Bytes=hex:0a,0B\n"
                     "BadBytes=hex:0a,b\n");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Prelune2k2\\Toolbars\\MenuBar", false));
    EXPECT_EQ(registry.ReadString("Visible"), "0");
    EXPECT_EQ(registry.ReadInteger("Rev"), 2000);
    EXPECT_EQ(registry.GetDataType("Broken"), rdUnknown);
    EXPECT_EQ(errorOf([&] { registry.ReadInteger("Broken"); }), "Invalid data type for 'Broken'");
    unsigned char bytes[2];
    EXPECT_EQ(registry.ReadBinaryData("Bytes", bytes, 2), 2);
    EXPECT_EQ(bytes[1], 0x0B);
    EXPECT_EQ(registry.GetDataType("BadBytes"), rdUnknown);
    registry.WriteInteger("Rev", 2001);
    EXPECT_EQ(ReadFile(store).substr(0, 16), "; edited by hand");
}

TEST_F(RegistryTest, OtherRootsReadAsEmptyAndRefuseWrites) {
    TRegistry registry(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.OpenKey("Software", true));
    EXPECT_FALSE(registry.KeyExists("Software"));
    EXPECT_TRUE(registry.OpenKey("", false)); // the root itself
    EXPECT_EQ(errorOf([&] { registry.WriteString("x", "y"); }), "Failed to set data for 'x'");
    EXPECT_EQ(errorOf([&] { registry.ReadString("x"); }), "Failed to get data for 'x'");
    EXPECT_EQ(errorOf([&] { registry.CreateKey("Software"); }), "Failed to create key Software");
    EXPECT_FALSE(registry.DeleteValue("x"));
    EXPECT_FALSE(std::filesystem::exists(store));
    // Switching to the current user's root reaches the store.
    registry.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey("Software", true));
    registry.WriteString("x", "y");
    registry.SetRootKey(HKEY_USERS);
    EXPECT_EQ(registry.CurrentPath(), "");
    EXPECT_FALSE(registry.ValueExists("x"));
}

TEST_F(RegistryTest, ReadOnlyKeysAndRefusedWrites) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software", true));
    registry.WriteString("kept", "1");
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software"));
    EXPECT_EQ(registry.ReadString("kept"), "1");
    EXPECT_EQ(errorOf([&] { registry.WriteString("kept", "2"); }), "Failed to set data for 'kept'");
    EXPECT_FALSE(registry.DeleteValue("kept"));
    EXPECT_FALSE(registry.OpenKeyReadOnly("Missing"));

    // A configuration folder that is really a file: nothing can be stored.
    WriteFile(folder.File("blocked"), "file");
    TScopedEnvironment blocked("XDG_CONFIG_HOME", folder.File("blocked").c_str());
    TRegistry refused;
    EXPECT_FALSE(refused.OpenKey("Software", true));
    EXPECT_EQ(errorOf([&] { refused.CreateKey("Software"); }), "Failed to create key Software");
    EXPECT_EQ(errorOf([&] { refused.WriteInteger("v", 1); }), "Failed to set data for 'v'");
}

// A store the registry may not rewrite (a read-only file): every change
// is refused as its call says, and the file keeps what it held.
TEST_F(RegistryTest, AStoreThatCannotBeRewrittenKeepsEveryValue) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\Kept", true));
        registry.WriteString("name", "value");
    }
    const std::string before = ReadFile(store);
    std::filesystem::permissions(store, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Kept", false));
    EXPECT_FALSE(registry.DeleteValue("name"));
    EXPECT_FALSE(registry.DeleteKey("\\Software"));
    EXPECT_EQ(errorOf([&] { registry.WriteString("name", "other"); }), "Failed to set data for 'name'");
    EXPECT_EQ(errorOf([&] { registry.CreateKey("Inner"); }), "Failed to create key Inner");
    EXPECT_FALSE(registry.OpenKey("\\Software\\New", true));
    // What needs no change needs no write, and succeeds.
    EXPECT_NO_THROW(registry.WriteString("name", "value"));
    EXPECT_TRUE(registry.CreateKey("\\Software\\Kept"));
    EXPECT_FALSE(registry.DeleteValue("missing"));
    EXPECT_EQ(registry.ReadString("name"), "value");
    EXPECT_EQ(ReadFile(store), before);
}

} // namespace
