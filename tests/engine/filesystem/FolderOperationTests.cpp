// Folder listings with filters, copying, creating and erasing folders.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/filesystem/FileSystemTestSupport.h"
#include "engine/filesystem/FileSystemFactory.h"

namespace velmora {
namespace {

using test::cTempFolder;
namespace stdfs = std::filesystem;

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class FolderOperations : public ::testing::Test {
protected:
    // Runs an operation with the log captured.
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

TEST_F(FolderOperations, ListFolderFiltersFilesButNeverFolders) {
    temp.Write("m/tree.mesh", "");
    temp.Write("m/rock.MESH", "");
    temp.Write("m/notes.txt", "");
    temp.Write("m/a.mesh/inner.mesh", "");
    temp.Write("m/sub/deep.mesh", "");

    IFileList* meshes = fs.ListFolder((temp / "m").c_str(), "*.mesh");
    ASSERT_TRUE(meshes);
    EXPECT_EQ(Sorted(meshes->GetFiles()), (std::vector<std::string>{"tree.mesh"}));
    EXPECT_EQ(Sorted(meshes->GetFolders()), (std::vector<std::string>{"a.mesh", "sub"}));
    meshes->Release();

    for (const char* all : {"*.*", ""}) {
        IFileList* list = fs.ListFolder((temp / "m/").c_str(), all);
        EXPECT_EQ(Sorted(list->GetFiles()), (std::vector<std::string>{"notes.txt", "rock.MESH", "tree.mesh"}));
        list->Release();
    }
    IFileList* missing = fs.ListFolder((temp / "absent").c_str(), "*.*");
    EXPECT_TRUE(missing->GetFiles().empty());
    EXPECT_TRUE(missing->GetFolders().empty());
    missing->Release();
}

TEST_F(FolderOperations, ListFolderTreeGivesRelativeNamesLevelByLevel) {
    temp.Write("t/top.txt", "");
    temp.Write("t/a/one.txt", "");
    temp.Write("t/a/b/two.txt", "");
    temp.Write("t/a/b/skip.bin", "");
    temp.Write("t/c/three.txt", "");
    stdfs::create_directories(temp / "t/empty");

    IFileList* tree = fs.ListFolderTree((temp / "t").c_str(), "*.txt");
    ASSERT_TRUE(tree);
    EXPECT_EQ(Sorted(tree->GetFiles()),
              (std::vector<std::string>{"a/b/two.txt", "a/one.txt", "c/three.txt", "top.txt"}));
    EXPECT_EQ(Sorted(tree->GetFolders()), (std::vector<std::string>{"a", "a/b", "c", "empty"}));
    // Files of a level come before anything found below its sub-folders.
    EXPECT_EQ(tree->GetFiles().front(), "top.txt");
    const auto& files = tree->GetFiles();
    const auto one = std::find(files.begin(), files.end(), "a/one.txt");
    const auto two = std::find(files.begin(), files.end(), "a/b/two.txt");
    EXPECT_LT(one, two);
    tree->Release();
}

TEST_F(FolderOperations, ListingsDoNotFollowSymbolicLinks) {
    temp.Write("outside/secret.txt", "x");
    stdfs::create_directories(temp / "t");
    ASSERT_EQ(symlink((temp / "outside").c_str(), (temp / "t/link").c_str()), 0);
    ASSERT_EQ(symlink((temp / "t").c_str(), (temp / "t/loop").c_str()), 0);
    IFileList* tree = fs.ListFolderTree((temp / "t").c_str(), "");
    EXPECT_EQ(Sorted(tree->GetFiles()), (std::vector<std::string>{"link", "loop"}));
    EXPECT_TRUE(tree->GetFolders().empty());
    tree->Release();
}

TEST_F(FolderOperations, CreateFolderWithParentsCreatesEveryFolderBeforeASlash) {
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b").c_str(), FS_CREATE_PARENTS));
    EXPECT_TRUE(stdfs::is_directory(temp / "a"));
    EXPECT_FALSE(stdfs::exists(temp / "a/b"));
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b/").c_str(), FS_CREATE_PARENTS));
    EXPECT_TRUE(stdfs::is_directory(temp / "a/b"));
    // Already existing folders are no failure with the flag.
    EXPECT_TRUE(fs.CreateFolder((temp / "a/b/").c_str(), FS_CREATE_PARENTS));

    EXPECT_TRUE(fs.CreateFolder((temp / "single").c_str(), 0));
    EXPECT_FALSE(fs.CreateFolder((temp / "single").c_str(), 0));
    EXPECT_FALSE(fs.CreateFolder((temp / "x/y").c_str(), 0));
}

TEST_F(FolderOperations, CopyFileHonoursItsFlagsAndProtectsData) {
    temp.Write("src.bin", test::MakeBinary(200000, 1));
    std::string log;
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "copy.bin").c_str(), 0));
    EXPECT_EQ(test::ReadFile(temp / "copy.bin"), test::ReadFile(temp / "src.bin"));

    temp.Write("existing.bin", "keep me");
    EXPECT_FALSE(Logged(log, [&] {
        return fs.CopyFile((temp / "src.bin").c_str(), (temp / "existing.bin").c_str(), FS_NO_OVERWRITE);
    }));
    EXPECT_EQ(log, "cPosixFileSystem::CopyFile( " + (temp / "src.bin") + ", " + (temp / "existing.bin") +
                       " ) : File exists\n");
    EXPECT_EQ(test::ReadFile(temp / "existing.bin"), "keep me");
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "existing.bin").c_str(), 0));
    EXPECT_EQ(test::ReadFile(temp / "existing.bin").size(), 200000u);

    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "src.bin").c_str(), (temp / "p/q/r.bin").c_str(), 0); }));
    EXPECT_TRUE(fs.CopyFile((temp / "src.bin").c_str(), (temp / "p/q/r.bin").c_str(), FS_CREATE_PATH));
    EXPECT_EQ(test::ReadFile(temp / "p/q/r.bin").size(), 200000u);

    // Onto itself: refused instead of truncating the source.
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "src.bin").c_str(), (temp / "src.bin").c_str(), 0); }));
    EXPECT_EQ(test::ReadFile(temp / "src.bin").size(), 200000u);
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "none").c_str(), (temp / "n2").c_str(), 0); }));
    EXPECT_NE(log.find("No such file or directory"), std::string::npos) << log;
    EXPECT_FALSE(Logged(log, [&] { return fs.CopyFile((temp / "p").c_str(), (temp / "p2").c_str(), 0); }));
    EXPECT_FALSE(stdfs::exists(temp / "p2"));
}

TEST_F(FolderOperations, EraseFolderFlagsDecideWhatGoesFirst) {
    temp.Write("e/file.txt", "");
    temp.Write("e/sub/inner.txt", "");
    std::string log;
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), 0); }));
    EXPECT_EQ(log.rfind("cPosixFileSystem::EraseFolder( " + (temp / "e") + " ) : ", 0), 0u) << log;

    // Files only: the sub-folder keeps the folder alive.
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), FS_ERASE_FILES); }));
    EXPECT_FALSE(stdfs::exists(temp / "e/file.txt"));
    EXPECT_TRUE(stdfs::exists(temp / "e/sub/inner.txt"));

    // Recursive without files: the inner folder still holds its file.
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder((temp / "e").c_str(), FS_RECURSIVE); }));
    EXPECT_TRUE(stdfs::exists(temp / "e/sub"));

    EXPECT_TRUE(fs.EraseFolder((temp / "e").c_str(), FS_RECURSIVE | FS_ERASE_FILES));
    EXPECT_FALSE(stdfs::exists(temp / "e"));
    EXPECT_FALSE(Logged(log, [&] { return fs.EraseFolder("", FS_RECURSIVE | FS_ERASE_FILES); }));
}

TEST_F(FolderOperations, EraseFolderRemovesLinksWithoutTouchingTheirTargets) {
    temp.Write("outside/precious.txt", "x");
    temp.Write("e/plain.txt", "");
    ASSERT_EQ(symlink((temp / "outside").c_str(), (temp / "e/link").c_str()), 0);
    EXPECT_TRUE(fs.EraseFolder((temp / "e/").c_str(), FS_RECURSIVE | FS_ERASE_FILES));
    EXPECT_FALSE(stdfs::exists(temp / "e"));
    EXPECT_EQ(test::ReadFile(temp / "outside/precious.txt"), "x");
}

} // namespace
} // namespace velmora
