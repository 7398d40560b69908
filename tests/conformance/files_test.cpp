// Files: OpenFile, the _lopen family, CreateFileA and the handle calls, attributes, copy and delete.
#include "tests/conformance/fixture.h"

#include <cctype>
#include <cstring>

namespace {

class Files : public Conformance {
  protected:
    void expect_write_refused();
};

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

HANDLE as_handle(HFILE f) {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(f));
}
HFILE as_hfile(HANDLE h) {
    return static_cast<HFILE>(reinterpret_cast<INT_PTR>(h));
}

HANDLE open_with(const std::string& path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING) {
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string read_all(HANDLE h) {
    std::string out;
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    return out;
}

TEST_F(Files, OpenFileCreatesWritesAndReadsBack) {
    OFSTRUCT of{};
    std::string path = at("NEW.TXT");
    HFILE f = OpenFile(path.c_str(), &of, OF_CREATE | OF_WRITE);
    ASSERT_NE(f, HFILE_ERROR) << GetLastError();
    EXPECT_EQ(of.cBytes, sizeof(OFSTRUCT));
    // Wine fills in the fixed-disk flag only for OF_PARSE.
    if (on_simulator()) {
        EXPECT_TRUE(of.fFixedDisk);
    }
    EXPECT_EQ(upper(of.szPathName), upper(path));
    EXPECT_EQ(_lwrite(f, "hello world", 11), 11u);
    EXPECT_EQ(_llseek(f, 6, 0), 6);
    EXPECT_EQ(_lwrite(f, "WORLD", 5), 5u);
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(get("NEW.TXT"), "hello WORLD");

    OFSTRUCT again{};
    f = OpenFile(path.c_str(), &again, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    char buffer[32] = {};
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 11u);
    EXPECT_STREQ(buffer, "hello WORLD");
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 0u) << "at the end of the file";
    EXPECT_EQ(_llseek(f, 0, 2), 11);
    EXPECT_EQ(_llseek(f, -3, 1), 8);
    EXPECT_EQ(_lread(f, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "RLD");
    EXPECT_EQ(_llseek(f, -1, 0), HFILE_ERROR);
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "a closed handle";
}

TEST_F(Files, OpenFileCreateEmptiesAnExistingFileAndOpensItForReadingAndWriting) {
    put("OLD.TXT", "previous content");
    OFSTRUCT of{};
    HFILE f = OpenFile(at("OLD.TXT").c_str(), &of, OF_CREATE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "new", 3), 3u);
    EXPECT_EQ(_llseek(f, 0, 0), 0);
    char buffer[8] = {};
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 3u);
    _lclose(f);
    EXPECT_EQ(get("OLD.TXT"), "new");
}

TEST_F(Files, OpenFileExistParseAndDelete) {
    put("HERE.TXT", "x");
    OFSTRUCT of{};
    EXPECT_NE(OpenFile(at("here.txt").c_str(), &of, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(upper(of.szPathName), upper(at("HERE.TXT")));
    EXPECT_EQ(get("HERE.TXT"), "x") << "the file is left as it was";

    OFSTRUCT missing{};
    EXPECT_EQ(OpenFile(at("NONE.TXT").c_str(), &missing, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(missing.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(OpenFile(at("NODIR\\NONE.TXT").c_str(), &missing, OF_READ), HFILE_ERROR);
    EXPECT_EQ(missing.nErrCode, ERROR_FILE_NOT_FOUND) << "the search did not find it";
    EXPECT_EQ(OpenFile(at("NODIR\\NONE.TXT").c_str(), &missing, OF_CREATE), HFILE_ERROR);
    EXPECT_EQ(missing.nErrCode, ERROR_PATH_NOT_FOUND);

    OFSTRUCT parsed{};
    EXPECT_EQ(OpenFile(at("sub\\..\\Parsed.Txt").c_str(), &parsed, OF_PARSE), 0);
    EXPECT_EQ(upper(parsed.szPathName), upper(at("PARSED.TXT")));

    OFSTRUCT del{};
    EXPECT_NE(OpenFile(at("HERE.TXT").c_str(), &del, OF_DELETE), HFILE_ERROR);
    EXPECT_EQ(GetFileAttributesA(at("HERE.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(OpenFile(at("HERE.TXT").c_str(), &del, OF_DELETE), HFILE_ERROR);
    EXPECT_EQ(del.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, OpenFileFindsABareNameInTheWindowsDirectory) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    OFSTRUCT of{};
    EXPECT_NE(OpenFile("WIN.INI", &of, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(upper(of.szPathName), upper(std::string(windows) + "\\WIN.INI"));
}

TEST_F(Files, NamesResolveAgainstTheCurrentDirectoryWithAnyCaseAndSlash) {
    put("MiXeD.TxT", "abc");
    char saved[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(scratch().c_str()));
    OFSTRUCT of{};
    HFILE f = OpenFile("mixed.txt", &of, OF_READ);
    EXPECT_NE(f, HFILE_ERROR);
    _lclose(f);
    EXPECT_EQ(upper(of.szPathName), upper(at("MIXED.TXT")));
    std::string slashed = at("mixed.txt");
    for (char& c : slashed)
        if (c == '\\') c = '/';
    HANDLE h = open_with(slashed, GENERIC_READ, 0);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    SetCurrentDirectoryA(saved);
}

TEST_F(Files, AnHFileIsAHandleAndAHandleIsAnHFile) {
    put("BOTH.TXT", "0123456789");
    OFSTRUCT of{};
    HFILE f = OpenFile(at("BOTH.TXT").c_str(), &of, OF_READWRITE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(GetFileSize(as_handle(f), nullptr), 10u);
    char buffer[4] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(as_handle(f), buffer, 4, &got, nullptr));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(_llseek(f, 0, 1), 4) << "one file pointer for both families";
    EXPECT_TRUE(CloseHandle(as_handle(f)));

    HANDLE h = open_with(at("BOTH.TXT"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(_llseek(as_hfile(h), 8, 0), 8);
    EXPECT_EQ(_lread(as_hfile(h), buffer, 4), 2u);
    EXPECT_EQ(_lclose(as_hfile(h)), 0);
}

TEST_F(Files, LcreatAndLopen) {
    HFILE f = _lcreat(at("MADE.TXT").c_str(), 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "abcdef", 6), 6u);
    EXPECT_EQ(_llseek(f, 0, 0), 0);
    char buffer[8] = {};
    EXPECT_EQ(_lread(f, buffer, 6), 6u) << "a created file is open for reading too";
    _lclose(f);

    f = _lopen(at("MADE.TXT").c_str(), OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "x", 1), static_cast<UINT>(HFILE_ERROR)) << "opened for reading only";
    _lclose(f);

    f = _lopen(at("MADE.TXT").c_str(), OF_WRITE);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lread(f, buffer, 1), static_cast<UINT>(HFILE_ERROR)) << "opened for writing only";
    EXPECT_EQ(_llseek(f, 2, 0), 2);
    EXPECT_EQ(_lwrite(f, "", 0), 0u) << "a write of no bytes cuts the file";
    _lclose(f);
    EXPECT_EQ(get("MADE.TXT"), "ab");

    EXPECT_EQ(_lopen(at("ABSENT.TXT").c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_lcreat(at("NODIR\\X.TXT").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, AReadOnlyFileCanBeReadButNotWrittenOrDeleted) {
    HFILE f = _lcreat(at("RO.TXT").c_str(), 1);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "data", 4), 4u) << "the creating handle may write";
    _lclose(f);
    EXPECT_EQ(GetFileAttributesA(at("RO.TXT").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(DeleteFileA(at("RO.TXT").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CopyFileA(at("RO.TXT").c_str(), at("RO2.TXT").c_str(), FALSE));
    EXPECT_EQ(GetFileAttributesA(at("RO2.TXT").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
        << "the copy is read-only too";
    f = _lopen(at("RO.TXT").c_str(), OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    char buffer[8] = {};
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 4u);
    _lclose(f);

    // Wine keeps the attribute in the host file's permissions, which this test host's root user passes.
    if (on_simulator()) expect_write_refused();
    EXPECT_TRUE(SetFileAttributesA(at("RO.TXT").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA(at("RO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(DeleteFileA(at("RO.TXT").c_str()));
    EXPECT_TRUE(SetFileAttributesA(at("RO2.TXT").c_str(), FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(SetFileAttributesA(at("NONE.TXT").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

void Files::expect_write_refused() {
    EXPECT_EQ(_lopen(at("RO.TXT").c_str(), OF_READWRITE), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    OFSTRUCT of{};
    EXPECT_EQ(OpenFile(at("RO.TXT").c_str(), &of, OF_CREATE), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CopyFileA(at("RO.TXT").c_str(), at("RO2.TXT").c_str(), FALSE)) << "over a read-only file";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(get("RO.TXT"), "data");
}

TEST_F(Files, CreateFileDispositions) {
    std::string path = at("DISP.TXT");
    EXPECT_EQ(open_with(path, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(open_with(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    HANDLE h = open_with(path, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD put_count = 0;
    EXPECT_TRUE(WriteFile(h, "12345", 5, &put_count, nullptr));
    EXPECT_EQ(put_count, 5u);
    CloseHandle(h);
    EXPECT_EQ(open_with(path, GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    h = open_with(path, GENERIC_READ, 0, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(read_all(h), "12345");
    CloseHandle(h);

    h = open_with(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);
    EXPECT_TRUE(WriteFile(h, "ab", 2, &put_count, nullptr));
    CloseHandle(h);

    h = open_with(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);
    CloseHandle(h);
    // Windows empties a file only for a handle that may write; Wine does it for any.
    if (on_simulator()) {
        EXPECT_EQ(open_with(path, GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }

    h = open_with(at("FRESH.TXT"), GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 0u) << "a new file";
    CloseHandle(h);

    EXPECT_EQ(open_with(path, GENERIC_READ, 0, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(open_with(at("NODIR\\X.TXT"), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open_with(at("BAD*NAME.TXT"), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(open_with(scratch(), GENERIC_READ, FILE_SHARE_READ), INVALID_HANDLE_VALUE) << "a directory";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Files, SharingModesBetweenOpenHandles) {
    put("SHARED.TXT", "data");
    std::string path = at("SHARED.TXT");
    HANDLE reader = open_with(path, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE second = open_with(path, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_NE(second, INVALID_HANDLE_VALUE) << "readers that share reading";
    CloseHandle(second);
    EXPECT_EQ(open_with(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(open_with(path, GENERIC_READ, 0), INVALID_HANDLE_VALUE) << "would deny the first reader";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    CloseHandle(reader);

    OFSTRUCT of{};
    HFILE exclusive = OpenFile(path.c_str(), &of, OF_READWRITE | OF_SHARE_EXCLUSIVE);
    ASSERT_NE(exclusive, HFILE_ERROR);
    OFSTRUCT other{};
    EXPECT_EQ(OpenFile(path.c_str(), &other, OF_READ | OF_SHARE_DENY_NONE), HFILE_ERROR);
    EXPECT_EQ(other.nErrCode, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenFile(path.c_str(), &other, OF_EXIST), HFILE_ERROR)
        << "the existence test opens for reading";
    EXPECT_FALSE(CopyFileA(path.c_str(), at("COPY.TXT").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    _lclose(exclusive);

    HFILE deny_write = OpenFile(path.c_str(), &of, OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(deny_write, HFILE_ERROR);
    HFILE reader2 = OpenFile(path.c_str(), &other, OF_READ | OF_SHARE_DENY_NONE);
    EXPECT_NE(reader2, HFILE_ERROR);
    EXPECT_EQ(OpenFile(path.c_str(), &other, OF_WRITE | OF_SHARE_DENY_NONE), HFILE_ERROR);
    _lclose(reader2);
    _lclose(deny_write);
}

TEST_F(Files, AccessIsCheckedOnEachHandle) {
    put("ACC.TXT", "abc");
    HANDLE h = open_with(at("ACC.TXT"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(h);
    h = open_with(at("ACC.TXT"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    char c;
    EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Files, FilePointerMoves) {
    put("PTR.TXT", "0123456789");
    HANDLE h = open_with(at("PTR.TXT"), GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_BEGIN), 3u);
    EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_END), 9u);
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(h, 4, &high, FILE_BEGIN), 4u);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 4u) << "a failed move leaves the pointer";

    EXPECT_EQ(SetFilePointer(h, 12, nullptr, FILE_BEGIN), 12u);
    EXPECT_EQ(GetFileSize(h, nullptr), 10u) << "moving past the end does not grow the file";
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "X", 1, &n, nullptr));
    DWORD high_size = 7;
    EXPECT_EQ(GetFileSize(h, &high_size), 13u);
    EXPECT_EQ(high_size, 0u);
    CloseHandle(h);
    EXPECT_EQ(get("PTR.TXT"), std::string("0123456789\0\0X", 13));
}

TEST_F(Files, Attributes) {
    put("PLAIN.TXT", "x");
    EXPECT_EQ(GetFileAttributesA(at("PLAIN.TXT").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesA(scratch().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA("C:\\") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA(at("NONE.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(at("NODIR\\NONE.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(at("*.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(Files, CopyFile) {
    put("SRC.BIN", std::string("\x00\x01\xff data", 8));
    EXPECT_TRUE(CopyFileA(at("SRC.BIN").c_str(), at("DST.BIN").c_str(), TRUE));
    EXPECT_EQ(get("DST.BIN"), get("SRC.BIN"));

    put("DST.BIN", "keep");
    EXPECT_FALSE(CopyFileA(at("SRC.BIN").c_str(), at("DST.BIN").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(get("DST.BIN"), "keep");
    EXPECT_TRUE(CopyFileA(at("SRC.BIN").c_str(), at("DST.BIN").c_str(), FALSE));
    EXPECT_EQ(get("DST.BIN"), get("SRC.BIN"));

    EXPECT_FALSE(CopyFileA(at("NONE.BIN").c_str(), at("X.BIN").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(CopyFileA(at("SRC.BIN").c_str(), at("NODIR\\X.BIN").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    HANDLE writer = open_with(at("DST.BIN"), GENERIC_WRITE, 0);
    EXPECT_FALSE(CopyFileA(at("SRC.BIN").c_str(), at("DST.BIN").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(writer);
}

TEST_F(Files, DeleteFile) {
    put("GONE.TXT", "x");
    EXPECT_TRUE(DeleteFileA(at("gone.txt").c_str()));
    EXPECT_EQ(GetFileAttributesA(at("GONE.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileA(at("GONE.TXT").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(at("NODIR\\GONE.TXT").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryA(at("SUB").c_str(), nullptr));
    EXPECT_FALSE(DeleteFileA(at("SUB").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

} // namespace
