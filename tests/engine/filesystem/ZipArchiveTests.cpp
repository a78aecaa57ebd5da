// Archive entries: reading, the refused operations, damaged archives of every
// kind, and archives from other writers read byte for byte as `unzip -p` does.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemTestSupport.h"
#include "engine/filesystem/cZipDirectory.h"
#include "engine/filesystem/cZipFile.h"
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

// ReadAll as a string; "<null>" when it fails.
std::string ReadAllText(IFile* file) {
    if (!file) {
        return "<no file>";
    }
    std::uint8_t* data = file->ReadAll();
    if (!data) {
        return "<null>";
    }
    std::string text(reinterpret_cast<char*>(data), static_cast<std::size_t>(file->GetSize()));
    delete[] data;
    return text;
}

std::size_t FindSignature(const std::string& data, const char* signature, std::size_t from = 0) {
    return data.find(std::string(signature, 4), from);
}

class ZipArchive : public ::testing::Test {
protected:
    std::string Archive() const { return temp / "test.pk"; }

    // Opens an entry of Archive() directly, with the log captured into log.
    FilePtr OpenEntry(const char* name, std::string& log) {
        ::testing::internal::CaptureStdout();
        FilePtr file(fs.OpenCompressedFile(Archive().c_str(), name));
        log = ::testing::internal::GetCapturedStdout();
        return file;
    }

    // Reads the entry to its end in pieces; returns the bytes and the log.
    std::string ReadInPieces(IFile& file, std::string& log) {
        ::testing::internal::CaptureStdout();
        std::string data;
        char buffer[1000];
        for (;;) {
            const std::int32_t got = file.Read(buffer, 1, sizeof(buffer));
            data.append(buffer, static_cast<std::size_t>(got));
            if (got < static_cast<std::int32_t>(sizeof(buffer))) {
                break;
            }
        }
        log = ::testing::internal::GetCapturedStdout();
        return data;
    }

    cTempFolder temp;
    cPlatformFileSystem fs;
};

TEST_F(ZipArchive, EntriesReadInPiecesWithTellAndForwardSeek) {
    const std::string text = test::MakeText(50000, 1);
    WriteZip(Archive(), {{"text.txt", text, 8}, {"stored.bin", "0123456789", 0}});
    std::string log;
    FilePtr file = OpenEntry("text.txt", log);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetSize(), 50000);
    EXPECT_EQ(file->GetName(), "");
    EXPECT_EQ(file->GetHandle(), nullptr);
    char head[100];
    EXPECT_EQ(file->Read(head, 10, 10), 100);
    EXPECT_EQ(std::string(head, 100), text.substr(0, 100));
    EXPECT_EQ(file->Tell(), 100);
    EXPECT_EQ(file->Seek(900, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file->Seek(-5, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(file->Tell(), 1000);
    EXPECT_EQ(ReadInPieces(*file, log), text.substr(1000));
    EXPECT_EQ(log, "");
    EXPECT_EQ(file->Tell(), 50000);
    EXPECT_EQ(file->Read(head, 1, 1), 0);
    EXPECT_EQ(file->Seek(10, SEEK_FROM_CURRENT), -1);

    // ReadAll always gives the whole entry and leaves the position at its end.
    EXPECT_EQ(ReadAllText(file.get()), text);
    EXPECT_EQ(file->Tell(), 50000);

    FilePtr stored = OpenEntry("STORED.BIN", log);
    EXPECT_EQ(stored->ReadInt(), 0x33323130);
    EXPECT_EQ(stored->ReadShort(), 0x3534);
    EXPECT_EQ(ReadAllText(stored.get()), "0123456789");
}

TEST_F(ZipArchive, WritingIsRefusedAndOnlyForwardSeeksWork) {
    WriteZip(Archive(), {{"a.txt", "abc"}});
    std::string log;
    FilePtr file = OpenEntry("a.txt", log);
    ASSERT_TRUE(file);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(file->Write("x", 1, 1), 0);
    EXPECT_EQ(file->WriteString("x"), 0);
    EXPECT_EQ(file->Printf("%d", 1), 0);
    EXPECT_EQ(file->Print("x"), 0);
    EXPECT_EQ(file->Flush(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "cZipFile::Write : invalid operaton\n"
              "cZipFile::WriteString : invalid operaton\n"
              "cZipFile::Printf : invalid operaton\n"
              "cZipFile::Print : invalid operaton\n"
              "cZipFile::Flush : invalid operation\n");
    for (const std::int32_t origin : {SEEK_FROM_START, SEEK_FROM_END, 9}) {
        try {
            file->Seek(0, origin);
            ADD_FAILURE() << "origin " << origin << " accepted";
        } catch (const cException& e) {
            EXPECT_STREQ(e.GetText(), "cZipFile::Seek : unhandled seek origin");
        }
    }
    EXPECT_EQ(ReadAllText(file.get()), "abc");
}

TEST_F(ZipArchive, TruncatedArchiveCannotBeOpened) {
    WriteZip(Archive(), {{"a.bin", test::MakeBinary(20000, 1)}, {"b.bin", test::MakeBinary(20000, 2)}});
    const std::string whole = test::ReadFile(Archive());
    for (const std::size_t keep : {whole.size() / 2, whole.size() - 5, std::size_t(10), std::size_t(0)}) {
        test::WriteFile(Archive(), whole.substr(0, keep));
        cPlatformFileSystem fresh;
        fresh.AddArchive(Archive().c_str(), 0);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(fresh.OpenFile("a.bin"), nullptr);
        EXPECT_EQ(fresh.OpenCompressedFile(Archive().c_str(), "a.bin"), nullptr);
        const std::string log = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(log.find("cZipFile::Open : failed to open archive '" + Archive() + "'\n"), std::string::npos)
            << log;
        EXPECT_NE(log.find("cCommonFileSystem::OpenFile : file 'a.bin' not found\n"), std::string::npos) << log;
    }
}

TEST_F(ZipArchive, DamagedCentralDirectoryKeepsTheEntriesBeforeTheDamage) {
    WriteZip(Archive(), {{"first.txt", "one"}, {"second.txt", "two"}, {"third.txt", "three"}});
    std::string data = test::ReadFile(Archive());
    const std::size_t firstHeader = FindSignature(data, "PK\x01\x02");
    const std::size_t secondHeader = FindSignature(data, "PK\x01\x02", firstHeader + 1);
    ASSERT_NE(secondHeader, std::string::npos);
    data[secondHeader + 2] = 'X';
    test::WriteFile(Archive(), data);
    fs.AddArchive(Archive().c_str(), 0);

    ::testing::internal::CaptureStdout();
    FilePtr first(fs.OpenFile("first.txt"));
    FilePtr third(fs.OpenFile("third.txt"));
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadAllText(first.get()), "one");
    EXPECT_EQ(third, nullptr);
    EXPECT_NE(log.find("archive '" + Archive() + "' is damaged, only 1 entries are readable\n"), std::string::npos)
        << log;

    // With the very first header broken nothing is readable, and nothing crashes.
    data[firstHeader + 3] = 'Y';
    test::WriteFile(Archive(), data);
    std::string openLog;
    EXPECT_EQ(OpenEntry("first.txt", openLog), nullptr);
    EXPECT_NE(openLog.find("cZipFile::Open : failed to locate file 'first.txt' in archive"), std::string::npos)
        << openLog;

    // A directory offset pointing past the end of the file.
    WriteZip(Archive(), {{"first.txt", "one"}});
    data = test::ReadFile(Archive());
    const std::size_t end = FindSignature(data, "PK\x05\x06");
    data[end + 16] = '\x7f';
    data[end + 19] = '\x7f';
    test::WriteFile(Archive(), data);
    EXPECT_EQ(OpenEntry("first.txt", openLog), nullptr);
    EXPECT_NE(openLog.find("failed to open archive"), std::string::npos) << openLog;
}

TEST_F(ZipArchive, BadCrcIsReportedWhenTheEntryHasBeenRead) {
    const std::string text = test::MakeText(3000, 3);
    sZipItem deflated{"deflated.txt", text, 8, true, 3000, test::Crc32(text) ^ 1};
    sZipItem stored{"stored.txt", text, 0, true, 3000, test::Crc32(text) + 1};
    WriteZip(Archive(), {deflated, stored});
    for (const char* name : {"deflated.txt", "stored.txt"}) {
        std::string log;
        FilePtr file = OpenEntry(name, log);
        ASSERT_TRUE(file) << log;
        EXPECT_EQ(ReadInPieces(*file, log), text);
        EXPECT_EQ(log, std::string("cZipFile::Read : CRC mismatch in file '") + name + "' in archive '" + Archive() +
                           "'\n");
        EXPECT_TRUE(static_cast<cZipFile*>(file.get())->IsDamaged());
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(ReadAllText(file.get()), "<null>");
        ::testing::internal::GetCapturedStdout();
    }
}

TEST_F(ZipArchive, StatedSizesThatLieAreCaught) {
    const std::string text = test::MakeText(5000, 4);
    const std::uint32_t crc = test::Crc32(text);
    WriteZip(Archive(), {{"longer.txt", text, 8, true, 5500, crc},
                         {"shorter.txt", text, 8, true, 4000, crc},
                         {"stored.txt", text, 0, true, 5001, crc},
                         {"huge.txt", text, 8, true, 0x90000000u, crc},
                         {"ratio.txt", "tiny", 8, true, 100000000u, crc}});

    std::string log;
    FilePtr longer = OpenEntry("longer.txt", log);
    ASSERT_TRUE(longer);
    EXPECT_EQ(longer->GetSize(), 5500);
    EXPECT_EQ(ReadInPieces(*longer, log), text);
    EXPECT_EQ(log, "cZipFile::Read : file 'longer.txt' in archive '" + Archive() + "' ends before its stated size\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(ReadAllText(longer.get()), "<null>");
    ::testing::internal::GetCapturedStdout();

    FilePtr shorter = OpenEntry("shorter.txt", log);
    ASSERT_TRUE(shorter);
    EXPECT_EQ(ReadInPieces(*shorter, log), text.substr(0, 4000));
    EXPECT_NE(log.find("CRC mismatch"), std::string::npos) << log;

    for (const char* name : {"stored.txt", "ratio.txt"}) {
        EXPECT_EQ(OpenEntry(name, log), nullptr);
        EXPECT_EQ(log, std::string("cZipFile::Open : stated sizes of file '") + name + "' in archive '" + Archive() +
                           "' are damaged\n");
    }
    EXPECT_EQ(OpenEntry("huge.txt", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : file 'huge.txt' in archive '" + Archive() +
                       "' states 2415919104 bytes, more than the 268435456 an entry may hold\n");
}

TEST_F(ZipArchive, EntriesAreCappedByAFixedCeilingAndByTheArchiveItself) {
    // 300 KB of compressed data could inflate to 300 MB, but no entry may state more than 256 MB.
    const std::string packed = test::MakeBinary(300000, 3);
    WriteZip(Archive(), {{"big.bin", packed, 8, true, 300u << 20, 0}, {"small.txt", "small", 8}});
    std::string log;
    EXPECT_EQ(OpenEntry("big.bin", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : file 'big.bin' in archive '" + Archive() +
                       "' states 314572800 bytes, more than the 268435456 an entry may hold\n");

    // Compressed data larger than the whole archive (the size field is damaged).
    std::string data = test::ReadFile(Archive());
    const std::size_t central = FindSignature(data, "PK\x01\x02", FindSignature(data, "PK\x01\x02") + 1);
    for (int i = 0; i < 4; ++i) data[central + 20 + i] = "\x00\x00\x10\x00"[i];  // 1 MB compressed
    test::WriteFile(Archive(), data);
    EXPECT_EQ(OpenEntry("small.txt", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : stated sizes of file 'small.txt' in archive '" + Archive() + "' are damaged\n");
}

TEST_F(ZipArchive, CorruptDataEncryptedEntriesAndMismatchedHeadersFailCleanly) {
    const std::string text = test::MakeText(40000, 5);
    WriteZip(Archive(), {{"corrupt.txt", text}, {"locked.txt", "secret"}, {"mismatch.txt", text}});
    std::string data = test::ReadFile(Archive());
    const std::size_t corruptLocal = FindSignature(data, "PK\x03\x04");
    for (std::size_t i = corruptLocal + 30 + 11 + 40; i < corruptLocal + 30 + 11 + 240; ++i) {
        data[i] = static_cast<char>(i * 7);
    }
    const std::size_t lockedLocal = FindSignature(data, "PK\x03\x04", corruptLocal + 1);
    const std::size_t mismatchLocal = FindSignature(data, "PK\x03\x04", lockedLocal + 1);
    const std::size_t lockedCentral = FindSignature(data, "PK\x01\x02", FindSignature(data, "PK\x01\x02") + 1);
    data[lockedLocal + 6] |= 1;
    data[lockedCentral + 8] |= 1;
    data[mismatchLocal + 18] ^= 0x40; // the local header's compressed size
    test::WriteFile(Archive(), data);

    std::string log;
    FilePtr corrupt = OpenEntry("corrupt.txt", log);
    ASSERT_TRUE(corrupt) << log;
    // Depending on where the bytes land, inflate fails, the stream ends early or the CRC differs.
    const std::string read = ReadInPieces(*corrupt, log);
    EXPECT_NE(read, text);
    EXPECT_EQ(log.rfind("cZipFile::Read : ", 0), 0u) << log;
    EXPECT_NE(log.find("'corrupt.txt' in archive '" + Archive() + "'"), std::string::npos) << log;
    EXPECT_TRUE(static_cast<cZipFile*>(corrupt.get())->IsDamaged());
    char byte = 0;
    EXPECT_EQ(corrupt->Read(&byte, 1, 1), 0);

    EXPECT_EQ(OpenEntry("locked.txt", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : file 'locked.txt' in archive '" + Archive() + "' is encrypted\n");
    EXPECT_EQ(OpenEntry("mismatch.txt", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : failed to open file 'mismatch.txt' in archive '" + Archive() + "'\n");
    EXPECT_EQ(OpenEntry("absent.txt", log), nullptr);
    EXPECT_EQ(log, "cZipFile::Open : failed to locate file 'absent.txt' in archive '" + Archive() + "'\n");
}

TEST_F(ZipArchive, AnArchiveThatShrinksWhileAnEntryIsOpen) {
    const std::string data = test::MakeBinary(200000, 6);
    WriteZip(Archive(), {{"big.bin", data, 0}});
    std::string log;
    FilePtr file = OpenEntry("big.bin", log);
    ASSERT_TRUE(file);
    ASSERT_EQ(truncate(Archive().c_str(), 50000), 0);
    const std::string read = ReadInPieces(*file, log);
    EXPECT_LT(read.size(), data.size());
    EXPECT_EQ(read, data.substr(0, read.size()));
    EXPECT_NE(log.find("cZipFile::Read : file 'big.bin' in archive"), std::string::npos) << log;
}

TEST_F(ZipArchive, RandomDamageNeverCrashes) {
    WriteZip(Archive(), {{"a.txt", test::MakeText(3000, 7)},
                         {"b.bin", test::MakeBinary(2000, 8), 0},
                         {"c/d.txt", test::MakeText(500, 9)}});
    const std::string whole = test::ReadFile(Archive());
    std::uint32_t state = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string damaged = whole;
        for (int flips = 0; flips < 1 + round % 8; ++flips) {
            state = state * 1664525u + 1013904223u;
            damaged[(state >> 8) % damaged.size()] = static_cast<char>(state >> 24);
        }
        test::WriteFile(Archive(), damaged);
        cPlatformFileSystem fresh;
        fresh.AddArchive(Archive().c_str(), 0);
        ::testing::internal::CaptureStdout();
        for (const char* name : {"a.txt", "b.bin", "c/d.txt"}) {
            FilePtr file(fresh.OpenFile(name));
            if (file) {
                delete[] file->ReadAll();
                char buffer[512];
                while (file->Read(buffer, 1, sizeof(buffer)) > 0) {
                }
            }
        }
        ::testing::internal::GetCapturedStdout();
    }
}

// Every file entry of the archive read through the file system equals `unzip -p`.
void ExpectSameAsUnzip(cPlatformFileSystem& fs, const std::string& archive, std::size_t expectedEntries) {
    cZipDirectory directory;
    ASSERT_TRUE(directory.Load(archive.c_str()));
    ASSERT_FALSE(directory.IsDamaged());
    std::size_t files = 0;
    for (const cZipDirectory::sEntry& entry : directory.GetEntries()) {
        if (entry.name.back() == '/') {
            continue;
        }
        ++files;
        int status = 0;
        const std::string expected =
            test::RunCommand("unzip -p " + test::ShellQuote(archive) + " " + test::ShellQuote(entry.name), &status);
        ASSERT_EQ(status, 0) << entry.name;
        FilePtr file(fs.OpenCompressedFile(archive.c_str(), entry.name.c_str()));
        ASSERT_TRUE(file) << entry.name;
        EXPECT_EQ(ReadAllText(file.get()), expected) << entry.name;
    }
    EXPECT_EQ(files, expectedEntries);
}

TEST_F(ZipArchive, ArchivesFromInfoZipReadLikeUnzip) {
    if (!test::HaveProgram("zip") || !test::HaveProgram("unzip")) {
        GTEST_SKIP() << "Info-ZIP zip and unzip are needed";
    }
    temp.Write("src/data/scene/.scene", test::MakeText(20000, 10));
    temp.Write("src/data/textures/Sand Stone.tga", test::MakeBinary(150000, 11));
    temp.Write("src/data/empty.txt", "");
    temp.Write("src/data/sounds/wave.wav", test::MakeBinary(1000, 12) + std::string(50000, '\0'));
    for (const char* level : {"-0", "-6", "-9"}) {
        const std::string archive = temp / (std::string("infozip") + level + ".zip");
        int status = 0;
        test::RunCommand("cd " + test::ShellQuote(temp / "src") + " && zip -q -r " + level + " " +
                             test::ShellQuote(archive) + " data",
                         &status);
        ASSERT_EQ(status, 0);
        ExpectSameAsUnzip(fs, archive, 4);
    }
}

TEST_F(ZipArchive, ArchivesFromOtherWritersReadLikeUnzip) {
    if (!test::HaveProgram("unzip")) {
        GTEST_SKIP() << "unzip is needed";
    }
    WriteZip(Archive(), {{"minizip/text.txt", test::MakeText(30000, 13)},
                         {"minizip/stored.bin", test::MakeBinary(30000, 14), 0},
                         {"minizip/empty", ""}});
    ExpectSameAsUnzip(fs, Archive(), 3);

    if (!test::HaveProgram("python3")) {
        GTEST_SKIP() << "python3 is needed for the second writer";
    }
    // Written to a pipe, so the writer streams and puts the sizes in data descriptors.
    const std::string archive = temp / "python.zip";
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.stdout.buffer, 'w')\n"
        "z.writestr('py/deflated.txt', ('palm tree ' * 5000).encode(), zipfile.ZIP_DEFLATED)\n"
        "z.writestr('py/stored.bin', bytes(range(256)) * 100, zipfile.ZIP_STORED)\n"
        "with z.open('py/streamed.txt', 'w') as f:\n"
        "    f.write(b'streamed line\\n' * 3000)\n"
        "z.close()\n";
    test::WriteFile(temp / "writer.py", script);
    int status = 0;
    test::RunCommand("python3 " + test::ShellQuote(temp / "writer.py") + " | cat > " + test::ShellQuote(archive),
                     &status);
    ASSERT_EQ(status, 0);
    ExpectSameAsUnzip(fs, archive, 3);
}

} // namespace
} // namespace velmora
