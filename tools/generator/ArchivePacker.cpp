#include "tools/generator/ArchivePacker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include <minizip/zip.h>

#include "tools/generator/ImageFiles.h"

namespace brevonne {

namespace {

void Walk(const std::string& root, const std::string& rel, std::vector<std::string>& out)
{
    DIR* dir = opendir((root + rel).c_str());
    if (!dir)
        return;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = rel + name;
        struct stat st;
        if (lstat((root + path).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            Walk(root, path + "/", out);
        else if (S_ISREG(st.st_mode))
            out.push_back(path);
    }
    closedir(dir);
}

bool IsPacked(const std::string& name)
{
    // Already compressed formats are stored; deflating them again gains nothing.
    auto ends = [&name](const char* ext) {
        std::size_t n = std::strlen(ext);
        return name.size() >= n && name.compare(name.size() - n, n, ext) == 0;
    };
    return ends(".jpg") || ends(".ogg");
}

} // namespace

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::vector<std::string> ListDataFiles(const std::string& rootIn)
{
    std::string root = rootIn.empty() || rootIn.back() == '/' ? rootIn : rootIn + "/";
    std::vector<std::string> files;
    Walk(root, "data/", files);
    std::sort(files.begin(), files.end());
    return files;
}

bool PackDataTree(const std::string& rootIn, const std::string& zipPath, std::string& error)
{
    std::string root = rootIn.empty() || rootIn.back() == '/' ? rootIn : rootIn + "/";
    std::vector<std::string> files = ListDataFiles(root);
    if (files.empty()) {
        error = "no files below " + root + "data/";
        return false;
    }
    CreateParentFolders(zipPath);
    zipFile zf = zipOpen(zipPath.c_str(), APPEND_STATUS_CREATE);
    if (!zf) {
        error = "cannot create " + zipPath;
        return false;
    }
    bool ok = true;
    for (const std::string& name : files) {
        std::vector<std::uint8_t> bytes;
        if (!ReadFileBytes(root + name, bytes)) {
            error = "cannot read " + root + name;
            ok = false;
            break;
        }
        zip_fileinfo info;
        std::memset(&info, 0, sizeof(info));
        info.tmz_date.tm_year = 2024;
        info.tmz_date.tm_mon = 0;
        info.tmz_date.tm_mday = 1;
        info.tmz_date.tm_hour = 12;
        bool store = IsPacked(name);
        if (zipOpenNewFileInZip(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, store ? 0 : Z_DEFLATED, store ? 0 : 9) != ZIP_OK ||
            (!bytes.empty() && zipWriteInFileInZip(zf, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK) || zipCloseFileInZip(zf) != ZIP_OK) {
            error = "cannot add " + name;
            ok = false;
            break;
        }
    }
    if (zipClose(zf, nullptr) != ZIP_OK && ok) {
        error = "cannot finish " + zipPath;
        ok = false;
    }
    return ok;
}

std::vector<std::uint8_t> MakeTrailer(std::uint32_t archiveOffset)
{
    std::vector<std::uint8_t> t;
    PutU32(t, 0);
    PutU32(t, 0);
    PutU32(t, archiveOffset);
    PutU32(t, kArchiveMagic);
    return t;
}

bool AppendArchive(const std::string& exePath, const std::string& zipPath, const std::string& outPath, std::string& error)
{
    std::vector<std::uint8_t> exe, zip;
    if (!ReadFileBytes(exePath, exe)) {
        error = "cannot read " + exePath;
        return false;
    }
    if (!ReadFileBytes(zipPath, zip)) {
        error = "cannot read " + zipPath;
        return false;
    }
    if (exe.size() > 0xFFFFFFFFull - zip.size()) {
        error = "executable too large for a 32-bit archive offset";
        return false;
    }
    std::uint32_t offset = static_cast<std::uint32_t>(exe.size());
    std::vector<std::uint8_t> trailer = MakeTrailer(offset);
    exe.insert(exe.end(), zip.begin(), zip.end());
    exe.insert(exe.end(), trailer.begin(), trailer.end());
    std::string tmp = outPath + ".tmp";
    if (!WriteFileBytes(tmp, exe)) {
        error = "cannot write " + tmp;
        return false;
    }
    chmod(tmp.c_str(), 0755);
    if (std::rename(tmp.c_str(), outPath.c_str()) != 0) {
        error = "cannot rename " + tmp + " to " + outPath;
        return false;
    }
    return true;
}

} // namespace brevonne
