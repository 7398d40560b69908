// Directories, the process's paths, drives and the process calls.
#include "tests/conformance/fixture.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

class Dirs : public Conformance {};

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The current directory is process-wide: each test that moves it puts it back.
class CurrentDirectoryGuard {
  public:
    CurrentDirectoryGuard() { GetCurrentDirectoryA(sizeof saved_, saved_); }
    ~CurrentDirectoryGuard() { SetCurrentDirectoryA(saved_); }

  private:
    char saved_[MAX_PATH] = {};
};

TEST_F(Dirs, CreateAndRemoveDirectories) {
    std::string dir = at("NEWDIR");
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(CreateDirectoryA(at("newdir").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA(at("A\\B").c_str(), nullptr)) << "the parent must exist";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(CreateDirectoryA((dir + "\\INNER\\").c_str(), nullptr)) << "a trailing backslash is allowed";

    EXPECT_FALSE(RemoveDirectoryA(dir.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(RemoveDirectoryA((dir + "\\INNER").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
    EXPECT_FALSE(RemoveDirectoryA(dir.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(RemoveDirectoryA(at("A\\B").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    put("FILE.TXT", "x");
    EXPECT_FALSE(CreateDirectoryA(at("FILE.TXT").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(RemoveDirectoryA(at("FILE.TXT").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_FALSE(CreateDirectoryA(at("BAD?").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(Dirs, CurrentDirectory) {
    CurrentDirectoryGuard guard;
    ASSERT_TRUE(CreateDirectoryA(at("HERE").c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(at("HERE").c_str()));
    char buffer[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(upper(buffer), upper(at("HERE")));
    EXPECT_EQ(n, std::strlen(buffer));
    char small[4] = "abc";
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), n + 1) << "the size needed, NUL included";
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), n + 1);

    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(upper(std::string(buffer) + "\\"), upper(scratch()));
    put("REL.TXT", "x");
    EXPECT_NE(GetFileAttributesA("REL.TXT"), INVALID_FILE_ATTRIBUTES);

    EXPECT_FALSE(SetCurrentDirectoryA(at("NONE").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetCurrentDirectoryA(at("REL.TXT").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));

    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\") << "the root keeps its backslash";
}

TEST_F(Dirs, WindowsSystemAndTemporaryDirectories) {
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_EQ(n, std::strlen(windows));
    EXPECT_EQ(upper(windows), "C:\\WINDOWS");
    EXPECT_EQ(GetWindowsDirectoryA(windows, n), n + 1) << "too small: the size needed";
    EXPECT_EQ(GetWindowsDirectoryA(windows, n + 1), n);

    n = GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(n, std::strlen(system));
    EXPECT_EQ(upper(system).rfind("C:\\WINDOWS\\SYSTEM", 0), 0u);
    EXPECT_EQ(GetSystemDirectoryA(system, 3), n + 1);
    if (on_simulator()) {
        EXPECT_STREQ(system, "C:\\WINDOWS\\SYSTEM");
    }

    n = GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(n, std::strlen(temp));
    ASSERT_GT(n, 3u);
    EXPECT_EQ(temp[n - 1], '\\');
    EXPECT_NE(GetFileAttributesA(temp), INVALID_FILE_ATTRIBUTES);
    if (on_simulator()) {
        EXPECT_STREQ(temp, "C:\\WINDOWS\\TEMP\\");
    }
}

TEST_F(Dirs, ModuleFileName) {
    char full[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, full, sizeof full);
    ASSERT_GT(n, 4u);
    EXPECT_EQ(n, std::strlen(full));
    EXPECT_EQ(upper(full).substr(n - 4), ".EXE");
    EXPECT_EQ(full[1], ':');

    char cut[8];
    std::memset(cut, '#', sizeof cut);
    EXPECT_EQ(GetModuleFileNameA(nullptr, cut, sizeof cut), static_cast<DWORD>(sizeof cut));
    EXPECT_EQ(std::string(cut, 7), std::string(full, 7));
    // Windows 95 ends the cut name with a NUL; Wine follows Windows XP, which leaves it out.
    if (on_simulator()) {
        EXPECT_EQ(cut[7], '\0');
    }
}

TEST_F(Dirs, Drives) {
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("c:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_FIXED)) << "the current drive";
    EXPECT_EQ(GetDriveTypeA("C:"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("C:\\WINDOWS\\"), static_cast<UINT>(DRIVE_FIXED)) << "only the drive counts";
    EXPECT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("C"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    if (on_simulator()) {
        EXPECT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    }

    DWORD spc = 0, bps = 0, free_clusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &free_clusters, &total));
    EXPECT_GT(spc, 0u);
    EXPECT_EQ(bps, 512u);
    EXPECT_LE(free_clusters, total);
    EXPECT_GT(total, 0u);
    DWORD spc2 = 0, bps2 = 0, free2 = 0, total2 = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(nullptr, &spc2, &bps2, &free2, &total2));
    EXPECT_EQ(spc2, spc);
    EXPECT_EQ(total2, total);
    EXPECT_FALSE(GetDiskFreeSpaceA("Q:\\", &spc, &bps, &free_clusters, &total));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // Windows 95 reports no more than 2 GB less one cluster: the product of the three stays below 2^31.
    EXPECT_LT(std::uint64_t{spc2} * bps2 * total2, std::uint64_t{1} << 31);
}

TEST_F(Dirs, ProcessIdentityAndTime) {
    EXPECT_NE(GetCurrentProcessId(), 0u);
    EXPECT_EQ(GetCurrentProcessId(), GetCurrentProcessId());
    DWORD before = GetTickCount();
    Sleep(100);
    DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 60u) << "allowing for a coarse tick";
    EXPECT_LT(elapsed, 5000u);
}

} // namespace
