#include "app/sdl/cPosixSettingsStore.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>

namespace brevonne {

namespace {

// A single path component that stays inside its folder.
bool IsSafeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the folder and its missing parents.
bool MakeFolders(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return IsFolder(path);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

cPosixSettingsStore::cPosixSettingsStore(const std::string& rootFolder) : m_Root(rootFolder) {}

std::string cPosixSettingsStore::GetConfigHome() {
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        return xdg;
    }
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') {
        const struct passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') {
        return std::string();
    }
    return std::string(home) + "/.config";
}

std::string cPosixSettingsStore::GetKeyFolder(const std::string& key) const {
    std::string folder = m_Root.empty() ? GetConfigHome() : m_Root;
    if (folder.empty()) {
        return std::string();
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    std::size_t start = 0;
    bool first = true;
    bool any = false;
    for (;;) {
        const std::size_t end = key.find('\\', start);
        const std::string part = key.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // The registry's "Software" level is what the configuration folder already is.
        if (!(first && strcasecmp(part.c_str(), "Software") == 0)) {
            if (!IsSafeName(part)) {
                return std::string();
            }
            folder += "/" + part;
            any = true;
        }
        first = false;
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return any ? folder : std::string();
}

bool cPosixSettingsStore::OpenKey(const std::string& key) {
    const std::string folder = GetKeyFolder(key);
    return !folder.empty() && IsFolder(folder) && access(folder.c_str(), R_OK | W_OK | X_OK) == 0;
}

bool cPosixSettingsStore::CreateKey(const std::string& key) {
    const std::string folder = GetKeyFolder(key);
    return !folder.empty() && MakeFolders(folder) && access(folder.c_str(), R_OK | W_OK | X_OK) == 0;
}

bool cPosixSettingsStore::ReadValue(const std::string& key, const std::string& name,
                                    std::vector<std::uint8_t>& data) {
    const std::string folder = GetKeyFolder(key);
    if (folder.empty() || !IsSafeName(name)) {
        return false;
    }
    const std::string path = folder + "/" + name;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) > kMaxValueSize) {
        close(fd);
        return false;
    }
    std::vector<std::uint8_t> buffer(kMaxValueSize + 1);
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t got = read(fd, buffer.data() + total, buffer.size() - total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    close(fd);
    if (total > kMaxValueSize) {
        return false; // grew while being read
    }
    buffer.resize(total);
    data.swap(buffer);
    return true;
}

bool cPosixSettingsStore::WriteValue(const std::string& key, const std::string& name, const void* data,
                                     std::size_t size) {
    if (!IsSafeName(name) || (!data && size > 0) || !CreateKey(key)) {
        return false;
    }
    const std::string folder = GetKeyFolder(key);
    const std::string path = folder + "/" + name;

    // Write a temporary file beside the value and rename it over the old
    // one: readers see either the old value or the new one, never a part.
    std::string temp = folder + "/." + name + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, static_cast<const std::uint8_t*>(data), size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir); // best effort: make the rename itself durable
        close(dir);
    }
    return true;
}

} // namespace brevonne
