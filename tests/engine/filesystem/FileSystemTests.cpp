// Root folder rules, opening by name from disk and archives, the archive list
// and its search order.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "engine/filesystem/FileSystemTestSupport.h"
#include "engine/filesystem/FileSystemFactory.h"

namespace velmora {
namespace {

using test::cTempFolder;
using test::sZipItem;
using test::WriteZip;

struct FileDeleter {
    void operator()(IFile* file) const {
        if (file) {
            file->Release();
        }
    }
};
using FilePtr = std::unique_ptr<IFile, FileDeleter>;

std::string ReadText(IFile* file) {
    if (!file) {
        return "<null>";
    }
    std::uint8_t* data = file->ReadAll();
    if (!data) {
        return "<ReadAll failed>";
    }
    std::string text(reinterpret_cast<char*>(data), static_cast<std::size_t>(file->GetSize()));
    delete[] data;
    return text;
}

std::string Occurrences(const std::string& log, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) {
        ++count;
    }
    return std::to_string(count);
}

TEST(FileSystemRootFolder, TrailingSlashIsAppendedOnlyToNonEmptyFolders) {
    cPlatformFileSystem fs;
    fs.SetRootFolder("x");
    EXPECT_EQ(fs.GetRootFolder(), "x/");
    fs.SetRootFolder("data/");
    EXPECT_EQ(fs.GetRootFolder(), "data/");
    fs.SetRootFolder("");
    EXPECT_EQ(fs.GetRootFolder(), "");
    fs.SetRootFolder(nullptr);
    EXPECT_EQ(fs.GetRootFolder(), "");
}

TEST(FileSystemRootFolder, DiskPathsGetTheRootOnlyWhenTheyDoNotContainIt) {
    cTempFolder temp;
    cPlatformFileSystem fs;
    fs.SetRootFolder(temp.Path().c_str());

    // Already holding the root: used as given, not prefixed twice.
    FilePtr absolute(fs.OpenFile((temp / "file").c_str(), "wb"));
    ASSERT_TRUE(absolute);
    EXPECT_EQ(absolute->GetName(), temp / "file");

    // A relative path is put below the root.
    FilePtr relative(fs.OpenFile("relative.bin", "wb"));
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->GetName(), temp / "relative.bin");

    // The test is a substring search: the root anywhere in the path counts.
    const std::string nested = temp / ("inner" + temp.Path());
    std::filesystem::create_directories(nested);
    FilePtr inside(fs.OpenFile((nested + "x.bin").c_str(), "wb"));
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->GetName(), nested + "x.bin");
}

class FileSystemSearch : public ::testing::Test {
protected:
    void SetUp() override {
        fs.SetRootFolder((temp / "root").c_str());
        std::filesystem::create_directories(temp / "root");
    }

    IFile* OpenLogged(const char* name, std::string& log) {
        ::testing::internal::CaptureStdout();
        IFile* file = fs.OpenFile(name);
        log = ::testing::internal::GetCapturedStdout();
        return file;
    }

    cTempFolder temp;
    cPlatformFileSystem fs;
};

TEST_F(FileSystemSearch, LooseFileOverridesArchiveEntriesWithoutSearching) {
    temp.Write("root/data/scene/.scene", "loose");
    WriteZip(temp / "a.pk", {{"data/scene/.scene", "packed"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);

    std::string log;
    FilePtr file(OpenLogged("data/scene/.scene", log));
    EXPECT_EQ(ReadText(file.get()), "loose");
    EXPECT_EQ(file->GetName(), temp / "root/data/scene/.scene");
    EXPECT_EQ(log.find("Searching"), std::string::npos) << log;
}

TEST_F(FileSystemSearch, ArchivesAreSearchedInPathOrderNotInsertionOrder) {
    WriteZip(temp / "b.pk", {{"data/x.txt", "from b"}});
    WriteZip(temp / "a.pk", {{"data/x.txt", "from a"}});
    EXPECT_TRUE(fs.AddArchive((temp / "b.pk").c_str(), 0));
    EXPECT_TRUE(fs.AddArchive((temp / "a.pk").c_str(), 0));

    std::string log;
    FilePtr file(OpenLogged("data/x.txt", log));
    EXPECT_EQ(ReadText(file.get()), "from a");
    EXPECT_NE(log.find("Searching for 'data/x.txt' in archive '" + (temp / "a.pk") + "'...\n"), std::string::npos)
        << log;
    EXPECT_EQ(log.find("b.pk"), std::string::npos) << log;
    EXPECT_EQ(file->GetName(), "");

    // An entry only in the later archive is found after searching both.
    WriteZip(temp / "b.pk", {{"data/x.txt", "from b"}, {"only/b.txt", "b only"}});
    FilePtr later(OpenLogged("only/b.txt", log));
    EXPECT_EQ(ReadText(later.get()), "b only");
    EXPECT_EQ(Occurrences(log, "Searching for"), "2") << log;
}

TEST_F(FileSystemSearch, EntryNamesMatchWithoutRegardToLetterCase) {
    WriteZip(temp / "a.pk", {{"Data/Textures/Sand.TGA", "sand"}, {"data/long/" + std::string(300, 'n'), "long"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);
    FilePtr file(fs.OpenFile("data/textures/sand.tga"));
    EXPECT_EQ(ReadText(file.get()), "sand");
    EXPECT_TRUE(fs.FileExists("DATA/TEXTURES/SAND.tga"));
    // Names longer than the unzip layer's own search accepts are still found.
    FilePtr longName(fs.OpenFile(("DATA/LONG/" + std::string(300, 'N')).c_str()));
    EXPECT_EQ(ReadText(longName.get()), "long");
    // Direct archive access uses the same rule.
    FilePtr direct(fs.OpenCompressedFile((temp / "a.pk").c_str(), "DATA/textures/SAND.tga"));
    EXPECT_EQ(ReadText(direct.get()), "sand");
}

TEST_F(FileSystemSearch, FirstOfDuplicateNamesWins) {
    WriteZip(temp / "a.pk", {{"dup.txt", "first"}, {"DUP.TXT", "second"}, {"dup.txt", "third"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);
    FilePtr file(fs.OpenFile("Dup.Txt"));
    EXPECT_EQ(ReadText(file.get()), "first");
}

TEST_F(FileSystemSearch, MissingFileWarnsWithRootAndNameAndGivesNull) {
    WriteZip(temp / "a.pk", {{"other", "x"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);
    std::string log;
    EXPECT_EQ(OpenLogged("nowhere.txt", log), nullptr);
    EXPECT_NE(log.find("cCommonFileSystem::OpenFile : file '" + fs.GetRootFolder() + "nowhere.txt' not found\n"),
              std::string::npos)
        << log;
    EXPECT_FALSE(fs.FileExists("nowhere.txt"));
    EXPECT_EQ(fs.OpenFile(static_cast<const char*>(nullptr)), nullptr);
}

TEST_F(FileSystemSearch, AFolderOnDiskDoesNotHideAnArchiveEntry) {
    std::filesystem::create_directories(temp / "root/pack");
    WriteZip(temp / "a.pk", {{"pack", "entry"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);
    FilePtr file(fs.OpenFile("pack"));
    EXPECT_EQ(ReadText(file.get()), "entry");
}

TEST_F(FileSystemSearch, FileExistsChecksDiskAndArchivesSilently) {
    temp.Write("root/loose.txt", "x");
    WriteZip(temp / "a.pk", {{"packed.txt", "y"}});
    fs.AddArchive((temp / "a.pk").c_str(), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(fs.FileExists("loose.txt"));
    EXPECT_TRUE(fs.FileExists("packed.txt"));
    EXPECT_FALSE(fs.FileExists("absent.txt"));
    EXPECT_FALSE(fs.FileExists(nullptr));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(FileSystemSearch, AddAndRemoveArchiveReportDuplicatesAndUnknownPaths) {
    WriteZip(temp / "a.pk", {{"x", "1"}});
    const std::string archive = temp / "a.pk";
    EXPECT_TRUE(fs.AddArchive(archive.c_str(), 7));
    EXPECT_FALSE(fs.AddArchive(archive.c_str(), 8));
    EXPECT_EQ(fs.GetArchives().at(archive), 7u);
    EXPECT_FALSE(fs.RemoveArchive((temp / "other.pk").c_str()));
    EXPECT_TRUE(fs.FileExists("x"));
    EXPECT_TRUE(fs.RemoveArchive(archive.c_str()));
    EXPECT_FALSE(fs.RemoveArchive(archive.c_str()));
    EXPECT_FALSE(fs.FileExists("x"));
}

TEST_F(FileSystemSearch, ARewrittenArchiveIsReadAgain) {
    const std::string archive = temp / "a.pk";
    WriteZip(archive, {{"x.txt", "old"}});
    fs.AddArchive(archive.c_str(), 0);
    EXPECT_EQ(ReadText(FilePtr(fs.OpenFile("x.txt")).get()), "old");
    WriteZip(archive, {{"y.txt", "new entry"}, {"x.txt", "new contents"}});
    EXPECT_EQ(ReadText(FilePtr(fs.OpenFile("x.txt")).get()), "new contents");
    EXPECT_TRUE(fs.FileExists("y.txt"));
}

TEST_F(FileSystemSearch, UnreadableArchivesAreSkippedAndReportedOnce) {
    test::WriteFile(temp / "a-not-a-zip.pk", std::string(5000, 'z'));
    WriteZip(temp / "c-good.pk", {{"x.txt", "good"}});
    fs.AddArchive((temp / "a-not-a-zip.pk").c_str(), 0);
    fs.AddArchive((temp / "b-missing.pk").c_str(), 0);
    fs.AddArchive((temp / "c-good.pk").c_str(), 0);

    std::string log;
    FilePtr first(OpenLogged("x.txt", log));
    EXPECT_EQ(ReadText(first.get()), "good");
    EXPECT_EQ(Occurrences(log, "failed to open archive"), "1") << log;
    FilePtr second(OpenLogged("x.txt", log));
    EXPECT_EQ(ReadText(second.get()), "good");
    EXPECT_EQ(Occurrences(log, "failed to open archive"), "0") << log;
}

TEST_F(FileSystemSearch, MemoryFilesViewTheCallersBlock) {
    char block[4] = {'a', 'b', 'c', 'd'};
    FilePtr file(fs.OpenFile(block, 4));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetHandle(), block);
    EXPECT_EQ(file->GetName(), "");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(fs.OpenFile(static_cast<void*>(nullptr), 4), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "cMemoryFile::Open : NULL pointer\n");
}

} // namespace
} // namespace velmora
