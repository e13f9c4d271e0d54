// The settings in the Windows registry through the Win32 API: a round trip, a value of the
// wrong type, a missing key. The keys live below a test key of their own, removed afterwards.
#include "settings/settings.h"

#include "registry/system_registry.h"
#include "support/save_faults.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace brevok;
using brevok::testing::ErrorText;

namespace {

class SystemRegistryTest : public ::testing::Test {
protected:
    ~SystemRegistryTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()); }

    const std::string base_ = "Software\\BrevokTests\\" + std::to_string(GetCurrentProcessId());
    SystemRegistry registry_{base_};
};

TEST_F(SystemRegistryTest, SettingsRoundTripAsStringValues)
{
    TSettings saved;
    saved.WorkingFolder = "C:\\Work files\\";
    saved.ScriptPath = "C:\\Work files\\app.rc";
    saved.ExePath = "C:\\Work files\\app.exe";
    saved.CompilerPath = "C:\\Brevok\\brcc32.exe";
    saved.StartWithLast = true;
    saved.ShowProgress = false;
    saved.BatchPath = "C:\\Work files\\Temp.bat";
    saved.LineCount = 12;
    SaveSettings(registry_, saved);

    TSettings loaded;
    LoadSettings(registry_, loaded, PathStyle::Windows);
    EXPECT_EQ(loaded.WorkingFolder, saved.WorkingFolder);
    EXPECT_EQ(loaded.ScriptPath, saved.ScriptPath);
    EXPECT_EQ(loaded.ExePath, saved.ExePath);
    EXPECT_EQ(loaded.CompilerPath, saved.CompilerPath);
    EXPECT_TRUE(loaded.StartWithLast);
    EXPECT_FALSE(loaded.ShowProgress);
    EXPECT_EQ(loaded.BatchPath, saved.BatchPath);
    EXPECT_EQ(loaded.LineCount, 12);

    // The system holds them as REG_SZ with their terminating NUL, in the key the program uses.
    const std::string key = base_ + "\\Software\\" + std::string(kSettingsSubKey);
    char data[64] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "Count", RRF_RT_ANY, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data, size), std::string("12\0", 3));
}

TEST_F(SystemRegistryTest, AValueOfAnotherTypeIsRefusedByName)
{
    const auto key = registry_.CreateUserKey("Software\\" + std::string(kSettingsSubKey));
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteValue("Count", {kRegDword, std::string("\x07\0\0\0", 4)}));
    EXPECT_EQ(key->QueryValue("Count")->type, kRegDword);
    EXPECT_EQ(key->QueryValue("Count")->size, 4u);
    TSettings settings;
    EXPECT_EQ(ErrorText([&] { LoadSettings(registry_, settings, PathStyle::Windows); }),
              "Invalid data type for 'Count'");
    // REG_EXPAND_SZ is text as well, taken as stored.
    ASSERT_TRUE(key->WriteValue("Count", {kRegExpandSz, std::string("3\0", 2)}));
    ASSERT_TRUE(key->WriteValue("Install", {kRegExpandSz, std::string("%TEMP%\0", 7)}));
    LoadSettings(registry_, settings, PathStyle::Windows);
    EXPECT_EQ(settings.LineCount, 3);
    EXPECT_EQ(settings.WorkingFolder, "%TEMP%");
}

TEST_F(SystemRegistryTest, AMissingKeyGivesTheDefaults)
{
    EXPECT_EQ(registry_.OpenUserKey("Software\\" + std::string(kSettingsSubKey)), nullptr);
    TSettings settings;
    LoadSettings(registry_, settings, PathStyle::Windows);
    EXPECT_EQ(settings.WorkingFolder, "nodir");
    EXPECT_EQ(settings.CompilerPath, "none");
    EXPECT_EQ(settings.BatchPath, "nodir\\Temp.bat");
    EXPECT_EQ(settings.LineCount, 0);
    // Reading created the Software key (as saving needs it) but nothing below it.
    EXPECT_NE(registry_.OpenUserKey("Software"), nullptr);
    EXPECT_EQ(registry_.OpenUserKey("Software\\" + std::string(kSettingsSubKey)), nullptr);
    EXPECT_EQ(registry_.TakeNotice(), "");
}

}  // namespace
