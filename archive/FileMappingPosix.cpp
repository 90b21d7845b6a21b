#include "archive/FileMapping.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanel {

bool MapWholeFile(const std::string& path, bool writable, MappedFile& out)
{
    const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return false;

    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    if (!S_ISREG(st.st_mode) || st.st_size <= 0 || uint64_t(st.st_size) > SIZE_MAX) {
        // Directories, devices and empty files cannot be mapped as an archive.
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    const int prot = writable ? (PROT_READ | PROT_WRITE) : PROT_READ;
    void* view = ::mmap(nullptr, size_t(st.st_size), prot, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    out.view = static_cast<uint8_t*>(view);
    out.length = size_t(st.st_size);
    out.fileHandle = fd;
    out.mappingHandle = -1;
    return true;
}

void UnmapWholeFile(MappedFile& file)
{
    if (file.view)
        ::munmap(file.view, file.length);
    if (file.fileHandle >= 0)
        ::close(int(file.fileHandle));
    file = MappedFile{};
}

int LastPlatformError()
{
    return errno;
}

bool QueryFileStatus(const std::string& path, DATFileStatus& status)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    status.length = uint64_t(st.st_size);
    status.modifiedTime = st.st_mtime;
    status.accessTime = st.st_atime;
    status.changeTime = st.st_ctime;
    status.attributes = st.st_mode;
    char resolved[PATH_MAX];
    status.fullPath = ::realpath(path.c_str(), resolved) ? resolved : path;
    return true;
}

} // namespace orvanel
