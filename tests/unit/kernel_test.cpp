// The simulated kernel on machines that only the simulator can set up: fault injections, drives of
// every kind, free space from machine.ini, the other Windows versions, and the process's handles.
#include "platform/sim/kernel/files.h"
#include "platform/sim/kernel/global_memory.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/sim/win/windows.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Kernel : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kernel-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root, &error)) << error;
        ASSERT_TRUE(sim::attach(root, "C:\\SETUP\\SETUP.EXE", "C:\\", &error)) << error;
        fs::create_directories(host("C:\\SETUP"));
    }
    void TearDown() override {
        sim::detach();
        fs::remove_all(root);
    }
    void set(const std::string& line) {
        std::string error;
        ASSERT_TRUE(sim::apply_setting(sim::machine().settings, line, root, &error)) << line << ": " << error;
    }
    // Host path of a Windows path on drive C: or A: of the machine.
    fs::path host(const std::string& windows) {
        std::string rest = windows.substr(3);
        for (char& c : rest)
            if (c == '\\') c = '/';
        return fs::path(root) / std::string(1, windows[0]) / rest;
    }
    void put(const std::string& windows, const std::string& bytes) {
        fs::create_directories(host(windows).parent_path());
        std::ofstream(host(windows), std::ios::binary) << bytes;
    }
    std::string get(const std::string& windows) {
        std::ifstream in(host(windows), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string root;
};

HANDLE create(const char* path, DWORD access = GENERIC_WRITE, DWORD disposition = CREATE_ALWAYS) {
    return CreateFileA(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD free_clusters(const char* root, DWORD* spc = nullptr, DWORD* bps = nullptr, DWORD* total = nullptr) {
    DWORD a = 0, b = 0, f = 0, t = 0;
    EXPECT_TRUE(GetDiskFreeSpaceA(root, &a, &b, &f, &t)) << root << " " << GetLastError();
    if (spc) *spc = a;
    if (bps) *bps = b;
    if (total) *total = t;
    return f;
}

TEST_F(Kernel, AWriteProtectedFloppyCanBeReadButNotChanged) {
    put("A:\\SETUP.EXE", "stub");
    set("readonly A:");
    HFILE f = _lopen("A:\\SETUP.EXE", OF_READ);
    EXPECT_NE(f, HFILE_ERROR);
    _lclose(f);
    EXPECT_EQ(GetFileAttributesA("A:\\SETUP.EXE"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(create("A:\\NEW.TXT"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    OFSTRUCT of{};
    EXPECT_EQ(OpenFile("A:\\SETUP.EXE", &of, OF_READWRITE), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_WRITE_PROTECT);
    EXPECT_FALSE(of.fFixedDisk);
    EXPECT_FALSE(CreateDirectoryA("A:\\DIR", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_FALSE(DeleteFileA("A:\\SETUP.EXE"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_FALSE(CopyFileA("C:\\WINDOWS\\WIN.INI", "A:\\WIN.INI", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_EQ(get("A:\\SETUP.EXE"), "stub");
}

TEST_F(Kernel, ACdRomIsReadOnlyAndFull) {
    set("drive D: cdrom CD");
    fs::create_directories(fs::path(root) / "CD");
    std::ofstream(fs::path(root) / "CD" / "README.TXT") << "cd";
    EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetFileAttributesA("d:\\readme.txt"),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(create("D:\\README.TXT", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CopyFileA("D:\\README.TXT", "C:\\README.TXT", FALSE));
    EXPECT_EQ(get("C:\\README.TXT"), "cd");
    DWORD spc = 0, bps = 0;
    EXPECT_EQ(free_clusters("D:\\", &spc, &bps), 0u);
    EXPECT_EQ(spc, 1u);
    EXPECT_EQ(bps, 2048u);
}

TEST_F(Kernel, ReadOnlyPathsProtectFilesAndWholeDirectories) {
    set("readonly C:\\WINDOWS\\WIN.INI");
    set("readonly c:/locked");
    fs::create_directories(host("C:\\LOCKED"));
    put("C:\\LOCKED\\IN.TXT", "x");
    EXPECT_EQ(GetFileAttributesA("C:\\WINDOWS\\WIN.INI") & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    HFILE f = _lopen("C:\\WINDOWS\\WIN.INI", OF_READ);
    EXPECT_NE(f, HFILE_ERROR);
    _lclose(f);
    EXPECT_EQ(_lopen("C:\\WINDOWS\\WIN.INI", OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SetFileAttributesA("C:\\WINDOWS\\WIN.INI", FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(DeleteFileA("C:\\LOCKED\\IN.TXT"));
    EXPECT_EQ(_lcreat("C:\\LOCKED\\NEW.TXT", 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(CreateDirectoryA("C:\\LOCKED\\SUB", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CreateDirectoryA("C:\\LOCKEDNOT", nullptr)) << "a prefix of a name is not the directory";
}

TEST_F(Kernel, FailingWritesLeaveTheFileOpenButRefuseData) {
    set("fail-write C:\\OUT");
    fs::create_directories(host("C:\\OUT"));
    OFSTRUCT of{};
    HFILE f = OpenFile("C:\\OUT\\LOG.TXT", &of, OF_CREATE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "line", 4), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    DWORD n = 7;
    EXPECT_FALSE(WriteFile(sim::to_handle(f), "line", 4, &n, nullptr));
    EXPECT_EQ(n, 0u);
    _lclose(f);
    EXPECT_EQ(get("C:\\OUT\\LOG.TXT"), "");
    EXPECT_FALSE(CopyFileA("C:\\WINDOWS\\WIN.INI", "C:\\OUT\\WIN.INI", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_FALSE(fs::exists(host("C:\\OUT\\WIN.INI"))) << "an unfinished copy is removed";
    f = _lcreat("C:\\ELSEWHERE.TXT", 0);
    EXPECT_EQ(_lwrite(f, "ok", 2), 2u);
    _lclose(f);
}

TEST_F(Kernel, FailingReadsAffectReadsOnly) {
    put("C:\\IN\\DATA.BIN", "0123456789");
    set("fail-read C:\\IN\\DATA.BIN");
    HFILE f = _lopen("C:\\IN\\DATA.BIN", OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    char buffer[4];
    EXPECT_EQ(_lread(f, buffer, 4), static_cast<UINT>(HFILE_ERROR));
    DWORD n = 0;
    EXPECT_FALSE(ReadFile(sim::to_handle(f), buffer, 4, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
    EXPECT_EQ(GetFileSize(sim::to_handle(f), nullptr), 10u);
    _lclose(f);
    EXPECT_FALSE(CopyFileA("C:\\IN\\DATA.BIN", "C:\\COPY.BIN", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
    EXPECT_FALSE(fs::exists(host("C:\\COPY.BIN")));
}

TEST_F(Kernel, ADiskFillsUpAfterTheInjectedNumberOfBytes) {
    set("disk-full C: 100");
    HANDLE h = create("C:\\BIG.BIN");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, std::string(60, 'a').data(), 60, &n, nullptr));
    EXPECT_FALSE(WriteFile(h, std::string(60, 'b').data(), 60, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(n, 40u) << "what still fitted was written";
    EXPECT_EQ(_lwrite(sim::to_hfile(h), "c", 1), static_cast<UINT>(HFILE_ERROR));
    CloseHandle(h);
    EXPECT_EQ(fs::file_size(host("C:\\BIG.BIN")), 100u);
    EXPECT_EQ(free_clusters("C:\\"), 0u);
    EXPECT_FALSE(CopyFileA("C:\\WINDOWS\\WIN.INI", "C:\\WIN.BAK", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_FALSE(fs::exists(host("C:\\WIN.BAK")));
    EXPECT_TRUE(CopyFileA("C:\\WINDOWS\\WIN.INI", "A:\\WIN.INI", FALSE)) << "other drives have room";
}

TEST_F(Kernel, FreeSpaceComesFromMachineIniInWholeClustersUpTo2GB) {
    set("free C: 1000000");
    DWORD spc = 0, bps = 0, total = 0;
    EXPECT_EQ(free_clusters("C:\\", &spc, &bps, &total), 1000000u / 32768);
    EXPECT_EQ(spc, 64u);
    EXPECT_EQ(bps, 512u);
    EXPECT_GE(total, 1000000u / 32768);
    HFILE f = _lcreat("C:\\GROW.BIN", 0);
    _lwrite(f, std::string(65536, 'x').data(), 65536);
    _lclose(f);
    EXPECT_EQ(free_clusters("C:\\"), (1000000u - 65536) / 32768) << "written bytes are no longer free";

    set("free C: 10000000000");
    EXPECT_EQ(free_clusters("C:\\", nullptr, nullptr, &total), 65535u);
    EXPECT_EQ(total, 65535u);

    set("free A: 1457664");
    EXPECT_EQ(free_clusters("A:\\", &spc, &bps), 2847u);
    EXPECT_EQ(spc, 1u);
    EXPECT_EQ(bps, 512u);

    set("free C: 5000000");
    set("disk-full C: 1000000");
    EXPECT_EQ(free_clusters("C:\\"), (1000000u - 65536) / 32768) << "the disk-full limit is the smaller";
}

TEST_F(Kernel, ADriveWithoutItsFolderIsNotReady) {
    set("drive B: removable NOFLOPPY");
    set("drive N: remote NET");
    fs::create_directories(fs::path(root) / "NET");
    EXPECT_EQ(GetDriveTypeA("B:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("N:\\"), static_cast<UINT>(DRIVE_REMOTE));
    DWORD a, b, c, d;
    EXPECT_FALSE(GetDiskFreeSpaceA("B:\\", &a, &b, &c, &d));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(GetFileAttributesA("B:\\SETUP.EXE"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    OFSTRUCT of{};
    EXPECT_EQ(OpenFile("B:\\SETUP.EXE", &of, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_NOT_READY);
    EXPECT_FALSE(SetCurrentDirectoryA("B:\\"));
    set("no-drive N:");
    EXPECT_EQ(GetDriveTypeA("N:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(Kernel, OtherWindowsVersions) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    set("windows nt4");
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwBuildNumber, 1381u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(GetVersion(), 0x05650004u);

    set("windows 31");
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 3u);
    EXPECT_EQ(info.dwMinorVersion, 10u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32s));
    EXPECT_EQ(GetVersion(), 0x80000A03u);
}

TEST_F(Kernel, OpenFileSearchesTheProgramSystemAndWindowsDirectories) {
    OFSTRUCT of{};
    EXPECT_EQ(OpenFile("control.inf", &of, OF_EXIST), 1);
    EXPECT_STREQ(of.szPathName, "C:\\WINDOWS\\SYSTEM\\control.inf") << "in the case the caller wrote";
    put("C:\\SETUP\\CONTROL.INF", "mine");
    EXPECT_EQ(OpenFile("CONTROL.INF", &of, OF_EXIST), 1);
    EXPECT_STREQ(of.szPathName, "C:\\SETUP\\CONTROL.INF") << "the program's directory comes first";
    EXPECT_EQ(OpenFile("control.inf", &of, OF_PARSE), 0);
    EXPECT_STREQ(of.szPathName, "C:\\control.inf") << "parsing does not search";

    std::string deep = "C:\\" + std::string(100, 'D') + "\\" + std::string(100, 'F');
    EXPECT_EQ(OpenFile(deep.c_str(), &of, OF_PARSE), 0);
    EXPECT_EQ(std::strlen(of.szPathName), static_cast<size_t>(OFS_MAXPATHNAME - 1)) << "cut to the field";
    EXPECT_EQ(std::string(of.szPathName), deep.substr(0, OFS_MAXPATHNAME - 1));
}

TEST_F(Kernel, NamesWindowsRefuses) {
    EXPECT_EQ(GetFileAttributesA("Q:\\X"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    std::string long_name = "C:\\" + std::string(MAX_PATH, 'L');
    EXPECT_EQ(create(long_name.c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    for (const char* bad : {"C:\\A<B", "C:\\A>B", "C:\\A|B", "C:\\A\"B", "C:\\A?B", "C:\\X\\A:B"}) {
        EXPECT_EQ(create(bad), INVALID_HANDLE_VALUE) << bad;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME)) << bad;
    }
    HANDLE h = create("C:\\DOTS.TXT. .");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(fs::exists(host("C:\\DOTS.TXT"))) << "trailing dots and spaces are dropped";
}

TEST_F(Kernel, FailedAllocationsFromTheInjectedCountOn) {
    set("fail-alloc 3");
    HGLOBAL first = GlobalAlloc(GHND, 100);
    HGLOBAL second = GlobalAlloc(GMEM_FIXED, 100);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, 10), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalAlloc(GPTR, 10), nullptr) << "and every later one";
    EXPECT_EQ(GlobalReAlloc(first, 200, GMEM_MOVEABLE), nullptr) << "growing allocates";
    EXPECT_EQ(GlobalSize(first), 100u) << "the block is left as it was";
    EXPECT_EQ(GlobalReAlloc(first, 50, GMEM_MOVEABLE), first) << "shrinking does not";
    EXPECT_EQ(GlobalSize(first), 50u);
    EXPECT_EQ(sim::global_allocations_made(), 5);
    GlobalFree(first);
    GlobalFree(second);
    EXPECT_EQ(sim::global_blocks_in_use(), 0u);
}

TEST_F(Kernel, UnlockedMoveableBlocksMoveOnEveryReallocation) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    auto* before = static_cast<char*>(GlobalLock(h));
    std::memset(before, 0, 16);
    EXPECT_EQ(static_cast<unsigned char>(static_cast<char*>(GlobalLock(GlobalAlloc(GMEM_FIXED, 4)))[0]), 0xCD)
        << "fresh memory is not zero unless asked";
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 8, 0), h);
    void* after = GlobalLock(h);
    EXPECT_NE(after, static_cast<void*>(before)) << "a stale pointer now points at freed memory";

    EXPECT_EQ(GlobalReAlloc(h, 64, 0), nullptr) << "a locked block cannot move without GMEM_MOVEABLE";
    EXPECT_EQ(GlobalReAlloc(h, 4, 0), h) << "but may shrink in place";
    EXPECT_EQ(GlobalLock(h), after);
    EXPECT_EQ(GlobalReAlloc(h, 64, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u) << "the lock count survives the move";
    EXPECT_EQ(GlobalReAlloc(h, 0, GMEM_MOVEABLE), nullptr) << "a locked block is not discarded";

    for (int i = 0; i < 300; ++i)
        GlobalLock(h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 255u) << "the count stops at 255";
    EXPECT_EQ(GlobalFree(h), nullptr);
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(Kernel, AStalePointerAfterAReallocationIsCaught) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    HGLOBAL h = GlobalAlloc(GHND, 16);
    volatile char* stale = static_cast<char*>(GlobalLock(h));
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 32, GMEM_MOVEABLE), h);
    EXPECT_DEATH(stale[0] = 1, "heap-use-after-free");
    GlobalFree(h);
}
#endif

TEST_F(Kernel, UnknownMemoryHandlesAreRefused) {
    int not_a_block = 0;
    EXPECT_EQ(GlobalFlags(&not_a_block), static_cast<UINT>(GMEM_INVALID_HANDLE));
    EXPECT_EQ(GlobalLock(&not_a_block), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalSize(&not_a_block), 0u);
    EXPECT_EQ(GlobalFree(&not_a_block), static_cast<HGLOBAL>(&not_a_block));
    EXPECT_EQ(GlobalReAlloc(&not_a_block, 10, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalHandle(&not_a_block), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST_F(Kernel, HandlesExposeTheirFilesAndDieWithTheProcess) {
    put("C:\\DATA.TXT", "abc");
    OFSTRUCT of{};
    HFILE f = OpenFile("c:\\data.txt", &of, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    sim::OpenFileEntry* e = sim::file_entry(f);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->full, "C:\\data.txt");
    EXPECT_EQ(fs::path(e->host), host("C:\\DATA.TXT"));
    EXPECT_TRUE(e->can_read);
    EXPECT_FALSE(e->can_write);
    EXPECT_EQ(sim::file_entry(sim::to_handle(f)), e);
    _lclose(f);
    EXPECT_EQ(sim::file_entry(f), nullptr);
    HFILE again = _lopen("C:\\DATA.TXT", OF_READ);
    EXPECT_NE(again, f) << "a closed handle's value is not given out again at once";

    ASSERT_NE(GlobalAlloc(GHND, 10), nullptr);
    sim::detach();
    EXPECT_EQ(sim::global_blocks_in_use(), 0u);
    EXPECT_EQ(sim::file_entry(again), nullptr);
    std::string error;
    ASSERT_TRUE(sim::attach(root, "C:\\SETUP\\SETUP.EXE", "C:\\", &error)) << error;
    EXPECT_TRUE(DeleteFileA("C:\\DATA.TXT")) << "no handle of the old process holds the file";
}

TEST_F(Kernel, ModuleAndCurrentDirectoryComeFromTheAttachment) {
    char buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 18u);
    EXPECT_STREQ(buffer, "C:\\SETUP\\SETUP.EXE");
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\");
    EXPECT_TRUE(SetCurrentDirectoryA("a:"));
    EXPECT_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_REMOVABLE));
    DWORD spc = 0;
    free_clusters(nullptr, &spc);
    EXPECT_EQ(spc, 1u) << "the current drive's geometry";
    EXPECT_FALSE(RemoveDirectoryA("A:\\")) << "a drive keeps its root";
}

} // namespace
