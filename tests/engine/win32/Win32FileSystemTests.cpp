// The Win32 file system's folder operations, disk files under UTF-8 names,
// and run-time library loading on Windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/SharedLibrary.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "engine/filesystem/FileSystemTestSupport.h"
#include "sound/openal/OpenALBinding.h"

namespace velmora {
namespace {

using test::cTempFolder;
namespace stdfs = std::filesystem;

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

stdfs::path U8(const std::string& path) { return stdfs::u8path(path); }

// The system's text for an error, as the warnings quote it.
std::string SystemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring wide = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' || wide.back() == L'.')) {
        wide.pop_back();
    }
    return stdfs::path(wide).u8string();
}

class Win32FolderOperations : public ::testing::Test {
protected:
    template <typename F>
    auto Logged(std::string& log, F operation) {
        ::testing::internal::CaptureStdout();
        auto result = operation();
        log = ::testing::internal::GetCapturedStdout();
        return result;
    }

    cTempFolder temp;
    cPlatformFileSystem fs;
};

TEST_F(Win32FolderOperations, ListFolderFiltersFilesButNeverFolders) {
    temp.Write("m/tree.mesh", "");
    temp.Write("m/rock.MESH", "");
    temp.Write("m/notes.txt", "");
    temp.Write("m/a.mesh/inner.mesh", "");
    temp.Write("m/sub/deep.mesh", "");
    stdfs::create_directories(U8(temp / "m/noext"));

    IFileList* meshes = fs.ListFolder((temp / "m").c_str(), "*.mesh");
    ASSERT_TRUE(meshes);
    // The filter compares letter case even though the system does not.
    EXPECT_EQ(Sorted(meshes->GetFiles()), (std::vector<std::string>{"tree.mesh"}));
    EXPECT_EQ(Sorted(meshes->GetFolders()), (std::vector<std::string>{"a.mesh", "noext", "sub"}));
    meshes->Release();

    for (const char* all : {"*.*", ""}) {
        IFileList* list = fs.ListFolder((temp / "m/").c_str(), all);
        EXPECT_EQ(Sorted(list->GetFiles()), (std::vector<std::string>{"notes.txt", "rock.MESH", "tree.mesh"}));
        list->Release();
    }
    for (const char* absent : {"absent", "m/notes.txt"}) {
        IFileList* missing = fs.ListFolder((temp / absent).c_str(), "*.*");
        EXPECT_TRUE(missing->GetFiles().empty()) << absent;
        EXPECT_TRUE(missing->GetFolders().empty()) << absent;
        missing->Release();
    }
    stdfs::create_directories(U8(temp / "void"));
    IFileList* empty = fs.ListFolder((temp / "void").c_str(), "");
    EXPECT_TRUE(empty->GetFiles().empty() && empty->GetFolders().empty());
    empty->Release();
}

TEST_F(Win32FolderOperations, ListFolderTreeGivesRelativeNamesLevelByLevel) {
    temp.Write("t/top.txt", "");
    temp.Write("t/a/one.txt", "");
    temp.Write("t/a/b/two.txt", "");
    temp.Write("t/a/b/skip.bin", "");
    temp.Write("t/c/three.txt", "");
    stdfs::create_directories(U8(temp / "t/empty"));

    IFileList* tree = fs.ListFolderTree((temp / "t").c_str(), "*.txt");
    ASSERT_TRUE(tree);
    EXPECT_EQ(Sorted(tree->GetFiles()),
              (std::vector<std::string>{"a/b/two.txt", "a/one.txt", "c/three.txt", "top.txt"}));
    EXPECT_EQ(Sorted(tree->GetFolders()), (std::vector<std::string>{"a", "a/b", "c", "empty"}));
    EXPECT_EQ(tree->GetFiles().front(), "top.txt");
    const auto& files = tree->GetFiles();
    EXPECT_LT(std::find(files.begin(), files.end(), "a/one.txt"), std::find(files.begin(), files.end(), "a/b/two.txt"));
    tree->Release();
}

TEST_F(Win32FolderOperations, CreateFolderWithParentsCreatesEveryFolderBeforeASlash) {
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b").c_str(), FS_CREATE_PARENTS));
    EXPECT_TRUE(stdfs::is_directory(U8(temp / "a")));
    EXPECT_FALSE(stdfs::exists(U8(temp / "a/b")));
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b/").c_str(), FS_CREATE_PARENTS));
    EXPECT_TRUE(stdfs::is_directory(U8(temp / "a/b")));
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b/").c_str(), FS_CREATE_PARENTS));

    EXPECT_TRUE(fs.CreateFolder((temp / "single").c_str(), 0));
    EXPECT_FALSE(fs.CreateFolder((temp / "single").c_str(), 0));
    EXPECT_FALSE(fs.CreateFolder((temp / "x/y").c_str(), 0));
    EXPECT_FALSE(fs.CreateFolder(nullptr, FS_CREATE_PARENTS));
}

TEST_F(Win32FolderOperations, CopyFileHonoursItsFlagsAndProtectsData) {
    temp.Write("src.bin", test::MakeBinary(200000, 1));
    std::string log;
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "copy.bin").c_str(), 0));
    EXPECT_EQ(test::ReadFile(temp / "copy.bin"), test::ReadFile(temp / "src.bin"));

    temp.Write("existing.bin", "keep me");
    EXPECT_FALSE(Logged(log, [&] {
        return fs.CopyFile((temp / "src.bin").c_str(), (temp / "existing.bin").c_str(), FS_NO_OVERWRITE);
    }));
    EXPECT_EQ(log, "cWin32FileSystem::CopyFile( " + (temp / "src.bin") + ", " + (temp / "existing.bin") + " ) : " +
                       SystemText(ERROR_FILE_EXISTS) + "\n");
    EXPECT_EQ(test::ReadFile(temp / "existing.bin"), "keep me");
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "existing.bin").c_str(), 0));
    EXPECT_EQ(test::ReadFile(temp / "existing.bin").size(), 200000u);

    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "src.bin").c_str(), (temp / "p/q/r.bin").c_str(), 0); }));
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "p/q/r.bin").c_str(), FS_CREATE_PATH));
    EXPECT_EQ(test::ReadFile(temp / "p/q/r.bin").size(), 200000u);

    // Onto itself, also in another letter case or with other separators: refused, the source intact.
    for (const std::string& same : {temp / "src.bin", temp / "SRC.BIN"}) {
        EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "src.bin").c_str(), same.c_str(), 0); })) << same;
        EXPECT_EQ(test::ReadFile(temp / "src.bin").size(), 200000u);
    }
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "none").c_str(), (temp / "n2").c_str(), 0); }));
    EXPECT_NE(log.find(SystemText(ERROR_FILE_NOT_FOUND)), std::string::npos) << log;
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "p").c_str(), (temp / "p2").c_str(), 0); }));
    EXPECT_FALSE(stdfs::exists(U8(temp / "p2")));
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile(nullptr, (temp / "p2").c_str(), 0); }));
    EXPECT_EQ(log.rfind("cWin32FileSystem::CopyFile( NULL, ", 0), 0u) << log;
}

TEST_F(Win32FolderOperations, EraseFolderFlagsDecideWhatGoesFirst) {
    temp.Write("e/file.txt", "");
    temp.Write("e/sub/inner.txt", "");
    std::string log;
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), 0); }));
    EXPECT_EQ(log, "cWin32FileSystem::EraseFolder( " + (temp / "e") + " ) : " + SystemText(ERROR_DIR_NOT_EMPTY) +
                       "\n");

    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), FS_ERASE_FILES); }));
    EXPECT_FALSE(stdfs::exists(U8(temp / "e/file.txt")));
    EXPECT_TRUE(stdfs::exists(U8(temp / "e/sub/inner.txt")));

    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), FS_RECURSIVE); }));
    EXPECT_TRUE(stdfs::exists(U8(temp / "e/sub")));

    EXPECT_TRUE(fs.EraseFolder((temp / "e").c_str(), FS_RECURSIVE | FS_ERASE_FILES));
    EXPECT_FALSE(stdfs::exists(U8(temp / "e")));
    // Never the current drive's root.
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder("", FS_RECURSIVE | FS_ERASE_FILES); }));
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder(nullptr, FS_RECURSIVE | FS_ERASE_FILES); }));
}

TEST_F(Win32FolderOperations, LinksToFoldersAreListedAsFilesAndErasedWithoutTheirTargets) {
    temp.Write("outside/precious.txt", "x");
    temp.Write("e/plain.txt", "");
    const std::wstring link = U8(temp / "e/link").make_preferred().wstring();
    const std::wstring target = U8(temp / "outside").make_preferred().wstring();
    // Some systems report success without making the link (Wine does).
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2) ||
        ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no symbolic link to a folder can be made here";
    }
    IFileList* tree = fs.ListFolderTree((temp / "e").c_str(), "");
    EXPECT_EQ(Sorted(tree->GetFiles()), (std::vector<std::string>{"link", "plain.txt"}));
    EXPECT_TRUE(tree->GetFolders().empty());
    tree->Release();

    EXPECT_TRUE(fs.EraseFolder((temp / "e/").c_str(), FS_RECURSIVE | FS_ERASE_FILES));
    EXPECT_FALSE(stdfs::exists(U8(temp / "e")));
    EXPECT_EQ(test::ReadFile(temp / "outside/precious.txt"), "x");
}

TEST_F(Win32FolderOperations, UTF8NamesReachTheSystemIntact) {
    // "données/ñandú.txt" and a name outside any ANSI code page.
    const std::string folder = temp / "donn\xC3\xA9" "es/";
    const std::string file = folder + "\xC3\xB1" "and\xC3\xBA.txt";
    const std::string other = folder + "\xE6\xB5\xB7.txt";
    ASSERT_TRUE(fs.CreateFolder(folder.c_str(), FS_CREATE_PARENTS));
    EXPECT_TRUE(stdfs::is_directory(U8(folder)));

    IFile* out = fs.OpenFile(file.c_str(), "wb");
    ASSERT_TRUE(out);
    out->Print("surf");
    out->Release();
    EXPECT_TRUE(stdfs::is_regular_file(U8(file)));

    IFileList* list = fs.ListFolder(folder.c_str(), "*.txt");
    EXPECT_EQ(list->GetFiles(), (std::vector<std::string>{"\xC3\xB1" "and\xC3\xBA.txt"}));
    list->Release();

    fs.SetRootFolder(folder.c_str());
    EXPECT_TRUE(fs.FileExists("\xC3\xB1" "and\xC3\xBA.txt"));
    IFile* in = fs.OpenFile("\xC3\xB1" "and\xC3\xBA.txt");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->GetSize(), 4);
    in->Release();

    EXPECT_TRUE(fs.CopyFile(file.c_str(), other.c_str(), FS_NO_OVERWRITE));
    EXPECT_TRUE(fs.DeleteFile(file.c_str()));
    EXPECT_FALSE(stdfs::exists(U8(file)));
    EXPECT_TRUE(fs.RenameFile(other.c_str(), file.c_str()));
    EXPECT_TRUE(stdfs::is_regular_file(U8(file)));
    EXPECT_TRUE(fs.EraseFolder(folder.c_str(), FS_ERASE_FILES));
    EXPECT_FALSE(stdfs::exists(U8(folder)));
}

TEST_F(Win32FolderOperations, ArchivesAtUTF8PathsAreSearchedAndRead) {
    // The unpacked archive lives in the user's documents folder, whose path often leaves the ANSI code page.
    test::WriteZip(temp / "plain.pk", {{"data/scene/.scene", "environment {\n}\n"}});
    const std::string archive = temp / "J\xC3\xB6rg \xE6\xB5\xB7/data.pk";
    stdfs::create_directories(U8(archive).parent_path());
    stdfs::rename(U8(temp / "plain.pk"), U8(archive));

    ASSERT_TRUE(fs.AddArchive(archive.c_str(), 0));
    EXPECT_TRUE(fs.FileExists("DATA/Scene/.scene"));
    std::string log;
    IFile* entry = Logged(log, [&] { return fs.OpenFile("data/scene/.scene"); });
    ASSERT_TRUE(entry) << log;
    EXPECT_EQ(entry->GetSize(), 16);
    entry->Release();
    IFile* direct = fs.OpenCompressedFile(archive.c_str(), "data/scene/.scene");
    ASSERT_TRUE(direct);
    char text[17] = {};
    EXPECT_EQ(direct->Read(text, 1, 16), 16);
    EXPECT_STREQ(text, "environment {\n}\n");
    direct->Release();
}

TEST_F(Win32FolderOperations, DeleteFileRefusesFoldersAndMissingFiles) {
    stdfs::create_directories(U8(temp / "keep"));
    EXPECT_FALSE(fs.DeleteFile((temp / "keep").c_str()));
    EXPECT_TRUE(stdfs::is_directory(U8(temp / "keep")));
    EXPECT_FALSE(fs.DeleteFile((temp / "missing.txt").c_str()));
    EXPECT_FALSE(fs.DeleteFile(nullptr));
}

TEST(Win32SharedLibrary, EntryPointsAreFoundByNameAndMissingLibrariesAreNull) {
    ISharedLibrary* kernel = OpenSharedLibrary("kernel32.dll");
    ASSERT_TRUE(kernel);
    EXPECT_EQ(kernel->FindSymbol("GetTickCount"),
              reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount")));
    EXPECT_EQ(kernel->FindSymbol("NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(kernel->FindSymbol(nullptr), nullptr);
    kernel->Release();

    EXPECT_EQ(OpenSharedLibrary("velmora-no-such-library.dll"), nullptr);
    EXPECT_EQ(OpenSharedLibrary(""), nullptr);
    EXPECT_EQ(OpenSharedLibrary(nullptr), nullptr);
}

TEST(Win32SharedLibrary, OpenALIsLookedForUnderItsWindowsNames) {
    std::vector<std::string> names;
    for (const char* const* name = sound::GetDefaultOpenALLibraries(); *name; ++name) {
        names.emplace_back(*name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"OpenAL32.dll", "soft_oal.dll"}));
    // A library without OpenAL's entry points is no binding, and nothing stays loaded.
    EXPECT_FALSE(sound::LoadOpenAL("kernel32.dll"));
    EXPECT_FALSE(sound::IsOpenALLoaded());
    EXPECT_EQ(sound::GetOpenAL().alGetError, nullptr);
}

} // namespace
} // namespace velmora
