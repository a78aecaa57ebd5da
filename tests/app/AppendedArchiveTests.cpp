// The archive appended to the executable: no trailer means loose files, a
// trailer mounts the archive, damage gives a clear error and writes nothing.
#include <algorithm>
#include <gtest/gtest.h>

#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/AppendedArchive.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "engine/filesystem/FileSystemFactory.h"

using namespace brevonne;
using namespace velmora;

namespace {

using tBytes = std::vector<std::uint8_t>;

void Put32(tBytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

tBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return tBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const tBytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class cAppendedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/brevonne-archive-XXXXXX";
        m_Dir = mkdtemp(pattern);
        m_Folder = m_Dir + "/cache";
        mkdir(m_Folder.c_str(), 0700);
        m_FileSystem.SetRootFolder((m_Dir + "/root").c_str());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_Dir, ignored);
    }

    // A ZIP holding data/hello.txt with the given text.
    tBytes MakeZip(const std::string& text) {
        const std::string path = m_Dir + "/made.zip";
        zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
        EXPECT_NE(zip, nullptr);
        zip_fileinfo info = {};
        EXPECT_EQ(zipOpenNewFileInZip(zip, "data/hello.txt", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6),
                  ZIP_OK);
        zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size()));
        zipCloseFileInZip(zip);
        zipClose(zip, nullptr);
        return ReadBytes(path);
    }

    // A pretend executable: some program bytes, optionally followed by an archive and trailer.
    std::string MakeExe(const std::string& name, const tBytes& archive, bool trailer, std::uint32_t offsetChange = 0) {
        tBytes exe(5000);
        for (std::size_t i = 0; i < exe.size(); ++i) exe[i] = static_cast<std::uint8_t>(i * 7 + 1);
        const std::uint32_t offset = static_cast<std::uint32_t>(exe.size());
        exe.insert(exe.end(), archive.begin(), archive.end());
        if (trailer) {
            Put32(exe, 0x11111111u);
            Put32(exe, 0x22222222u);
            Put32(exe, offset + offsetChange);
            Put32(exe, kArchiveMagic);
        }
        const std::string path = m_Dir + "/" + name;
        WriteBytes(path, exe);
        return path;
    }

    std::string Extract(const std::string& exe) { return ExtractAppendedArchive(m_FileSystem, exe, m_Folder, 42); }

    std::string ExtractError(const std::string& exe) {
        try {
            Extract(exe);
        } catch (const cException& e) {
            return e.GetText();
        }
        return "no error";
    }

    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_Folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string ReadThroughFileSystem(const char* name) {
        IFile* file = m_FileSystem.OpenFile(name);
        if (!file) return "<missing>";
        std::string text(static_cast<std::size_t>(file->GetSize()), '\0');
        file->Read(text.data(), 1, static_cast<std::int32_t>(text.size()));
        file->Release();
        return text;
    }

    std::string m_Dir;
    std::string m_Folder;
    cPlatformFileSystem m_FileSystem;
};

} // namespace

TEST_F(cAppendedArchive, WithoutTrailerNothingIsWrittenOrMounted) {
    const std::string exe = MakeExe("plain", MakeZip("inside"), false);
    EXPECT_EQ(Extract(exe), "");
    EXPECT_TRUE(FolderContents().empty());
    EXPECT_FALSE(m_FileSystem.RemoveArchive((m_Folder + "/.pk.42").c_str()));
    // A file shorter than the magic is a plain file too.
    WriteBytes(m_Dir + "/tiny", {0xEF, 0xBE});
    EXPECT_EQ(Extract(m_Dir + "/tiny"), "");
}

TEST_F(cAppendedArchive, TrailerMountsTheArchive) {
    const tBytes zip = MakeZip("hello from the archive");
    const std::string exe = MakeExe("packed", zip, true);
    const std::string root = m_FileSystem.GetRootFolder();
    EXPECT_EQ(Extract(exe), m_Folder + "/.pk.42");
    EXPECT_EQ(m_FileSystem.GetRootFolder(), root);  // put back after the absolute paths
    EXPECT_EQ(FolderContents(), std::vector<std::string>{".pk.42"});  // no temporary file left
    // The archive and the 12 trailer bytes before the magic.
    const tBytes copy = ReadBytes(m_Folder + "/.pk.42");
    ASSERT_EQ(copy.size(), zip.size() + 12);
    EXPECT_TRUE(std::equal(zip.begin(), zip.end(), copy.begin()));
    EXPECT_EQ(ReadThroughFileSystem("data/hello.txt"), "hello from the archive");
    EXPECT_EQ(ReadThroughFileSystem("DATA/HELLO.TXT"), "hello from the archive");

    // A second instance running beside the first makes a copy of its own; the first one's copy
    // stays as it was, and deleting the second leaves the first readable.
    cPlatformFileSystem second;
    const std::string exe2 = MakeExe("packed2", MakeZip("second run"), true);
    EXPECT_EQ(ExtractAppendedArchive(second, exe2, m_Folder, 43), m_Folder + "/.pk.43");
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{".pk.42", ".pk.43"}));
    IFile* file = second.OpenFile("data/hello.txt");
    ASSERT_NE(file, nullptr);
    std::string text(10, '\0');
    file->Read(text.data(), 1, 10);
    file->Release();
    EXPECT_EQ(text, "second run");
    second.DeleteFile((m_Folder + "/.pk.43").c_str());
    EXPECT_EQ(ReadThroughFileSystem("data/hello.txt"), "hello from the archive");
}

TEST_F(cAppendedArchive, CopiesOfEndedProcessesAreRemoved) {
    for (const char* name : {".pk.42", ".pk.7", ".pk.8.tmp", ".pk.9", ".pk", ".pk.x1", "other", ".pk.7.tmp.old"}) {
        WriteBytes(m_Folder + "/" + name, {1});
    }
    // 9 still runs; 42 is the caller itself.
    const auto running = [](unsigned long number) { return number == 9; };
    EXPECT_EQ(RemoveStaleArchiveCopies(m_FileSystem, m_Folder, 42, running), 2);
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{".pk", ".pk.42", ".pk.7.tmp.old", ".pk.9", ".pk.x1", "other"}));
    // A folder that cannot be listed is no error.
    EXPECT_EQ(RemoveStaleArchiveCopies(m_FileSystem, m_Dir + "/missing", 42, running), 0);
}

TEST_F(cAppendedArchive, DamagedTrailersRaiseAndWriteNothing) {
    const tBytes zip = MakeZip("x");
    // Offset past the end, inside the program bytes, and into the trailer itself.
    for (std::uint32_t change : {0x10000000u, 0xFFFFFFF0u, static_cast<std::uint32_t>(zip.size()) - 10}) {
        const std::string exe = MakeExe("damaged", zip, true, change);
        const std::string error = ExtractError(exe);
        EXPECT_EQ(error.rfind("cScreensaver::ExtractData : damaged archive offset", 0), 0u) << error;
        EXPECT_NE(error.find(exe), std::string::npos) << error;
    }
    // The magic alone, without room for the rest of the trailer.
    WriteBytes(m_Dir + "/short", {1, 2, 3, 4, 0xEF, 0xBE, 0xAD, 0xDE});
    EXPECT_EQ(ExtractError(m_Dir + "/short").rfind("cScreensaver::ExtractData : damaged archive offset", 0), 0u);
    EXPECT_TRUE(FolderContents().empty());
}

TEST_F(cAppendedArchive, FailuresNameTheFileAndTheReason) {
    EXPECT_EQ(ExtractError(m_Dir + "/missing"),
              "cScreensaver::ExtractData : failed to open '" + m_Dir + "/missing'");
    const std::string exe = MakeExe("packed", MakeZip("x"), true);
    m_Folder = m_Dir + "/no/such/folder";
    const std::string error = ExtractError(exe);
    EXPECT_EQ(error.rfind("cScreensaver::ExtractData : failed to create '" + m_Folder + "/.pk.42.tmp', ", 0), 0u)
        << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}
