// The REGEDIT4 file store on POSIX: symbolic links and the XDG place of the file.
#include "registry/registry_file.h"

#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace brevok;
using brevok::testing::EnvGuard;
using brevok::testing::ScratchFolder;

TEST(RegistryFileStore, ASymbolicLinkIsFollowed)
{
    const ScratchFolder dir;
    const std::string real = dir.Write("real.reg", "REGEDIT4\n");
    ASSERT_EQ(symlink(real.c_str(), (dir / "link.reg").c_str()), 0);
    ASSERT_TRUE(RegistryFile(dir / "link.reg").CreateUserKey("Software")->WriteString("A", "1"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.reg"));
    EXPECT_NE(ReadFileBytes(real).find("\"A\"=\"1\""), std::string::npos);
}

TEST(RegistryFileStore, TheEnvironmentChoosesTheFile)
{
    const EnvGuard home("HOME", "/home/u");
    const EnvGuard noExplicitPath("BREVOK_REGISTRY", std::nullopt);
    {
        const EnvGuard unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(UserRegistryPath(), "/home/u/.config/brevok/registry.reg");
        const EnvGuard relative("XDG_CONFIG_HOME", "relative/ignored");
        EXPECT_EQ(UserRegistryPath(), "/home/u/.config/brevok/registry.reg");
    }
    const EnvGuard config("XDG_CONFIG_HOME", "/cfg/");
    EXPECT_EQ(UserRegistryPath(), "/cfg/brevok/registry.reg");
    const EnvGuard chosen("BREVOK_REGISTRY", "/tmp/r.reg");
    EXPECT_EQ(UserRegistryPath(), "/tmp/r.reg");
}
