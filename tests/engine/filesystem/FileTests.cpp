// Disk and memory files: positions, short reads, writes, the string and word
// formats, and the guards of closed files.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "engine/filesystem/FileSystemTestSupport.h"
#include "engine/filesystem/cHDDFile.h"
#include "engine/filesystem/cMemoryFile.h"
#include "engine/filesystem/cZipFile.h"
#include "engine/filesystem/FileSystemFactory.h"

namespace velmora {
namespace {

using test::cTempFolder;

struct FileDeleter {
    void operator()(IFile* file) const {
        if (file) {
            file->Release();
        }
    }
};
using FilePtr = std::unique_ptr<IFile, FileDeleter>;

TEST(MemoryFile, SeekOriginsClampToTheBlock) {
    char block[4] = {1, 2, 3, 4};
    cMemoryFile file;
    file.Open(block, 4);
    EXPECT_EQ(file.Seek(2, SEEK_FROM_START), 0);
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_EQ(file.Seek(9, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_EQ(file.Seek(-3, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file.Tell(), 1);
    EXPECT_EQ(file.Seek(-10, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file.Tell(), 0);
    // Past the end from the start stops at the end, where nothing more is read.
    EXPECT_EQ(file.Seek(5, SEEK_FROM_START), 0);
    EXPECT_EQ(file.Tell(), 4);
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1, 1), 0);
    // From the end, as the C library measures it; Seek(0, end) then Tell gives the size.
    EXPECT_EQ(file.Seek(-1, SEEK_FROM_END), 0);
    EXPECT_EQ(file.Tell(), 3);
    EXPECT_EQ(file.Seek(0, SEEK_FROM_END), 0);
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_EQ(file.Seek(-20, SEEK_FROM_END), 0);
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.Seek(0, 7), -1);
    EXPECT_EQ(file.Tell(), 0);
}

TEST(MemoryFile, ReadsAndWritesStopAtTheEndAndReportTheShortCount) {
    char block[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    cMemoryFile file;
    file.Open(block, 6);
    char out[16] = {};
    EXPECT_EQ(file.Read(out, 2, 2), 4);
    EXPECT_EQ(std::string(out, 4), "abcd");
    EXPECT_EQ(file.Read(out, 4, 3), 2);
    EXPECT_EQ(std::string(out, 2), "ef");
    EXPECT_EQ(file.Read(out, 1, 1), 0);
    EXPECT_EQ(file.Read(nullptr, 1, 1), 0);
    EXPECT_EQ(file.Read(out, -1, 4), 0);

    file.Seek(3, SEEK_FROM_START);
    EXPECT_EQ(file.Write("XYZW", 1, 4), 3);
    EXPECT_EQ(std::string(block, 6), "abcXYZ");
    EXPECT_EQ(file.GetSize(), 6);
}

TEST(MemoryFile, PrintWritesTheTerminatingZero) {
    char block[8];
    std::memset(block, '#', sizeof(block));
    cMemoryFile file;
    file.Open(block, 8);
    EXPECT_EQ(file.Printf("%d", 7), 2);
    EXPECT_EQ(std::string(block, 3), std::string("7\0#", 3));
    EXPECT_EQ(file.Print("ab"), 3);
    EXPECT_EQ(std::string(block, 5), std::string("7\0ab\0", 5));
    // A text longer than what is left is cut at the block's end.
    EXPECT_EQ(file.Print("long text"), 3);
    EXPECT_EQ(file.Tell(), 8);
}

TEST(MemoryFile, LengthPrefixedStrings) {
    {
        char block[] = {2, 0, 0, 0, 'a', 'b', 'c'};
        cMemoryFile file;
        file.Open(block, sizeof(block));
        std::string text;
        EXPECT_EQ(file.ReadString(text), 6);
        EXPECT_EQ(text, "ab");
        EXPECT_EQ(file.Tell(), 6);
    }
    {
        char block[] = {4, 0, 0, 0, 'a', '\0', 'b', 'c'};
        cMemoryFile file;
        file.Open(block, sizeof(block));
        std::string text;
        EXPECT_EQ(file.ReadString(text), 8);
        EXPECT_EQ(text, "a");
    }
    {
        // A damaged length never asks for more than the file still holds.
        char block[] = {'\xff', '\xff', '\xff', '\x7f', 'x', 'y'};
        cMemoryFile file;
        file.Open(block, sizeof(block));
        std::string text;
        EXPECT_EQ(file.ReadString(text), 6);
        EXPECT_EQ(text, "xy");
        char negative[] = {'\xff', '\xff', '\xff', '\xff', 'x'};
        file.Open(negative, sizeof(negative));
        EXPECT_EQ(file.ReadString(text), 4);
        EXPECT_EQ(text, "");
        char shortHeader[] = {3, 0};
        file.Open(shortHeader, sizeof(shortHeader));
        EXPECT_EQ(file.ReadString(text), 2);
        EXPECT_EQ(text, "");
    }
    {
        char block[16] = {};
        cMemoryFile file;
        file.Open(block, sizeof(block));
        EXPECT_EQ(file.WriteString("hello"), 9);
        file.Seek(0, SEEK_FROM_START);
        std::string text;
        EXPECT_EQ(file.ReadString(text), 9);
        EXPECT_EQ(text, "hello");
    }
}

TEST(MemoryFile, WordsAreLittleEndianAndNeverReadPastTheBlock) {
    const std::unique_ptr<char[]> block(new char[7]{0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x05});
    cMemoryFile file;
    file.Open(block.get(), 7);
    EXPECT_EQ(file.ReadInt(), 0x12345678);
    EXPECT_EQ(file.ReadShort(), 0x1234);
    EXPECT_EQ(file.ReadInt(), -1);
    file.Seek(-1, SEEK_FROM_END);
    EXPECT_EQ(file.ReadShort(), 0xFFFF);
}

TEST(MemoryFile, ReadAllCopiesTheWholeBlockWhereverThePositionIs) {
    char block[] = {'w', 'h', 'o', 'l', 'e'};
    cMemoryFile file;
    file.Open(block, 5);
    file.Seek(3, SEEK_FROM_START);
    std::unique_ptr<std::uint8_t[]> all(file.ReadAll());
    ASSERT_TRUE(all);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(all.get())), "whole");
    EXPECT_EQ(file.Tell(), 3);
}

TEST(ClosedFiles, EveryOperationAnswersWithItsGuardValue) {
    cHDDFile disk;
    cZipFile archive;
    cMemoryFile memory;
    for (IFile* file : std::initializer_list<IFile*>{&disk, &archive, &memory}) {
        char buffer[4] = {};
        std::string text = "kept?";
        EXPECT_FALSE(file->IsOpen());
        EXPECT_EQ(file->Read(buffer, 1, 4), 0);
        EXPECT_EQ(file->Write(buffer, 1, 4), 0);
        EXPECT_EQ(file->ReadString(text), 0);
        EXPECT_EQ(text, "");
        EXPECT_EQ(file->WriteString("x"), 0);
        EXPECT_EQ(file->Printf("%d", 1), 0);
        EXPECT_EQ(file->Print("x"), 0);
        EXPECT_EQ(file->ReadInt(), -1);
        EXPECT_EQ(file->ReadShort(), 0xFFFF);
        EXPECT_EQ(file->Tell(), -1);
        EXPECT_EQ(file->GetSize(), 0);
        EXPECT_EQ(file->ReadAll(), nullptr);
        EXPECT_EQ(file->GetHandle(), nullptr);
        EXPECT_EQ(file->Seek(0, SEEK_FROM_START), 0);
    }
}

class DiskFile : public ::testing::Test {
protected:
    cTempFolder temp;
    cPlatformFileSystem fs;
};

TEST_F(DiskFile, ReadCountsBytesLikeEveryOtherFile) {
    temp.Write("ten.bin", "0123456789");
    FilePtr file(fs.OpenFile((temp / "ten.bin").c_str(), "rb"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetSize(), 10);
    char out[16] = {};
    EXPECT_EQ(file->Read(out, 4, 3), 10);
    EXPECT_EQ(file->Read(out, 1, 1), 0);
    EXPECT_EQ(file->Seek(-4, SEEK_FROM_END), 0);
    EXPECT_EQ(file->Tell(), 6);
    EXPECT_EQ(file->Seek(1, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file->ReadShort(), ('8' << 8) | '7');
}

TEST_F(DiskFile, PrintfWritesTheTextWithoutTerminator) {
    {
        FilePtr file(fs.OpenFile((temp / "out.txt").c_str(), "wb"));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->Printf("%d", 7), 1);
        EXPECT_EQ(file->Print("ab"), 2);
        EXPECT_EQ(file->WriteString("xyz"), 7);
        EXPECT_EQ(file->Flush(), 0);
    }
    EXPECT_EQ(test::ReadFile(temp / "out.txt"), std::string("7ab\x03\0\0\0xyz", 10));
    FilePtr file(fs.OpenFile((temp / "out.txt").c_str(), "rb"));
    file->Seek(3, SEEK_FROM_START);
    std::string text;
    EXPECT_EQ(file->ReadString(text), 7);
    EXPECT_EQ(text, "xyz");
}

TEST_F(DiskFile, ReadAllReturnsTheWholeFileAndKeepsThePosition) {
    temp.Write("data.bin", "abcdefgh");
    FilePtr file(fs.OpenFile((temp / "data.bin").c_str(), "rb"));
    file->Seek(5, SEEK_FROM_START);
    std::unique_ptr<std::uint8_t[]> all(file->ReadAll());
    ASSERT_TRUE(all);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(all.get())), "abcdefgh");
    EXPECT_EQ(file->Tell(), 5);
}

TEST_F(DiskFile, AFileThatShrinksWhileOpenGivesShortReadsAndNoReadAll) {
    // Larger than the stream's buffer, so the shrinking is seen rather than the buffered copy.
    temp.Write("shrinks.bin", std::string(100000, 's'));
    FilePtr file(fs.OpenFile((temp / "shrinks.bin").c_str(), "rb"));
    ASSERT_TRUE(file);
    ASSERT_EQ(truncate((temp / "shrinks.bin").c_str(), 10000), 0);
    EXPECT_EQ(file->GetSize(), 100000);
    std::vector<char> buffer(100000);
    EXPECT_EQ(file->Read(buffer.data(), 1, 100000), 10000);
    EXPECT_EQ(file->Read(buffer.data(), 1, 1), 0);
    ::testing::internal::CaptureStdout();
    std::uint8_t* all = file->ReadAll();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "cHDDFile::ReadAll : read 10000 of 100000 bytes from '" + (temp / "shrinks.bin") + "'\n");
    EXPECT_EQ(all, nullptr);
    delete[] all;
}

TEST_F(DiskFile, OpenFailuresAreWarningsAndNull) {
    std::filesystem::create_directories(temp / "folder");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(fs.OpenFile((temp / "missing.bin").c_str(), "rb"), nullptr);
    EXPECT_EQ(fs.OpenFile((temp / "folder").c_str(), "rb"), nullptr);
    EXPECT_EQ(fs.OpenFile((temp / "x.bin").c_str(), nullptr), nullptr);
    EXPECT_EQ(fs.OpenFile(static_cast<const char*>(nullptr), "rb"), nullptr);
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("cHDDFile::Open : failed to open '" + (temp / "missing.bin") + "'\n\n"), std::string::npos);
    EXPECT_NE(log.find("cHDDFile::Open : failed to open '" + (temp / "folder") + "'\n\n"), std::string::npos);
    EXPECT_NE(log.find("cHDDFile::Open : invalid access mode( NULL )\n\n"), std::string::npos);
    EXPECT_NE(log.find("cHDDFile::Open : invalid file name( NULL )\n"), std::string::npos);
}

TEST_F(DiskFile, RenameAndDeleteReportSuccess) {
    temp.Write("a.txt", "a");
    EXPECT_TRUE(fs.RenameFile((temp / "a.txt").c_str(), (temp / "b.txt").c_str()));
    EXPECT_FALSE(fs.RenameFile((temp / "a.txt").c_str(), (temp / "c.txt").c_str()));
    EXPECT_TRUE(fs.DeleteFile((temp / "b.txt").c_str()));
    EXPECT_FALSE(fs.DeleteFile((temp / "b.txt").c_str()));
}

} // namespace
} // namespace velmora
