// The version a Win32 program sees on Windows 95.
#include "tests/conformance/fixture.h"

namespace {

class Version : public Conformance {};

TEST_F(Version, GetVersionExReportsWindows95) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(LOWORD(info.dwBuildNumber), 950);
    EXPECT_EQ(HIWORD(info.dwBuildNumber), 0x0400) << "Windows 95 repeats the version in the high word";

    OSVERSIONINFOA wrong{};
    wrong.dwOSVersionInfoSize = sizeof wrong - 1;
    EXPECT_FALSE(GetVersionExA(&wrong));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(Version, GetVersionEncodesTheSameVersion) {
    DWORD v = GetVersion();
    EXPECT_EQ(LOBYTE(LOWORD(v)), 4);
    EXPECT_EQ(HIBYTE(LOWORD(v)), 0);
    EXPECT_EQ(v & 0x80000000u, 0x80000000u) << "not Windows NT";
    EXPECT_EQ(v, 0xC0000004u);
}

} // namespace
