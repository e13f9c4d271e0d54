// The names the window takes from the system: taken exactly where its code page holds them,
// refused with a box that says why where it does not (an older Windows ignores the manifest's
// UTF-8 and keeps a code page such as 1252).
#include "ui/win32/system_names.h"

#include "platform/wide_text.h"
#include "support/fake_dialogs.h"

#include <gtest/gtest.h>

namespace brevok::win32 {
namespace {

const std::wstring kCyrillic = L"C:\\\u043f\u0440\u043e\u0435\u043a\u0442\\app.rc";  // C:\проект\app.rc

TEST(SystemNames, TakenExactlyOrRefused)
{
    const struct {
        const char* what;
        std::wstring name;
        unsigned codePage;
        std::optional<std::string> taken;
    } cases[] = {
        {"ASCII in 1252", L"C:\\w\\app.rc", 1252, "C:\\w\\app.rc"},
        {"Latin-1 in 1252", L"C:\\d\u00e4t\u00e4.bin", 1252, "C:\\d\xE4t\xE4.bin"},
        {"Latin-1 in 65001", L"C:\\d\u00e4t\u00e4.bin", 65001, "C:\\d\xC3\xA4t\xC3\xA4.bin"},
        {"Cyrillic in 1252", kCyrillic, 1252, std::nullopt},
        {"Cyrillic in 1251", kCyrillic, 1251, "C:\\\xEF\xF0\xEE\xE5\xEA\xF2\\app.rc"},
        {"Cyrillic in 65001", kCyrillic, 65001, "C:\\\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82\\app.rc"},
        {"CJK in 1252", L"hdr_\u6570\u636e.h", 1252, std::nullopt},
        {"CJK in 65001", L"hdr_\u6570\u636e.h", 65001, "hdr_\xE6\x95\xB0\xE6\x8D\xAE.h"},
        {"emoji in 1252", L"\U0001F600.rc", 1252, std::nullopt},
        {"emoji in 65001", L"\U0001F600.rc", 65001, "\xF0\x9F\x98\x80.rc"},
        // 1252 has a best fit for it ('a'), which would name another file.
        {"a with macron in 1252", L"\u0101.rc", 1252, std::nullopt},
        {"unpaired high surrogate in 65001", std::wstring{L'x', wchar_t(0xD83D)}, 65001, std::nullopt},
        {"unpaired low surrogate in 65001", std::wstring{wchar_t(0xDE00), L'x'}, 65001, std::nullopt},
    };
    for (const auto& c : cases) {
        const TakenName taken = TakeSystemName(c.name, c.codePage);
        EXPECT_EQ(taken.name, c.taken) << c.what;
        EXPECT_EQ(taken.refusal.empty(), c.taken.has_value()) << c.what << ": " << taken.refusal;
    }
}

TEST(SystemNames, RefusalNamesTheFileTheCodePageAndTheWayOut)
{
    const std::string refusal = TakeSystemName(kCyrillic, 1252).refusal;
    EXPECT_EQ(refusal.rfind("The name\rC:\\??????\\app.rc\r", 0), 0u) << refusal;
    EXPECT_NE(refusal.find("code page 1252 cannot hold"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("Windows 10 version 1903 or later"), std::string::npos) << refusal;
}

TEST(SystemNames, ARefusedNameIsToldInAnErrorBoxAndNotTaken)
{
    const unsigned before = ProgramCodePage();
    SetProgramCodePage(1252);
    testing::FakeDialogs dialogs;
    dialogs.AnswerBox(BoxAnswer::Ok);
    EXPECT_EQ(TakeNameOrTell(kCyrillic, dialogs), std::nullopt);
    EXPECT_EQ(TakeNameOrTell(L"C:\\d\u00e4t\u00e4.bin", dialogs), "C:\\d\xE4t\xE4.bin");
    SetProgramCodePage(before);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(dialogs.boxes[0].text, TakeSystemName(kCyrillic, 1252).refusal);
    EXPECT_TRUE(dialogs.Done());
}

}  // namespace
}  // namespace brevok::win32
