// Files of the fuzz targets, written and read by the system's own calls into
// buffers kept from one input to the next: the harness's file handling costs
// no memory allocation of its own per input.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <string>

#ifndef CHECK
#define CHECK(ok) ((ok) ? void() : __builtin_trap())
#endif

inline void writeFile(const char *path, const char *data, std::size_t size)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    CHECK(fd >= 0);
    for (std::size_t done = 0; done < size;) {
        const ssize_t put = ::write(fd, data + done, size - done);
        CHECK(put > 0);
        done += std::size_t(put);
    }
    CHECK(::close(fd) == 0);
}

inline void readFile(const char *path, std::string &bytes)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    CHECK(fd >= 0);
    struct stat info;
    CHECK(::fstat(fd, &info) == 0);
    bytes.resize(std::size_t(info.st_size));
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        CHECK(got > 0);
        done += std::size_t(got);
    }
    char more;
    CHECK(::read(fd, &more, 1) == 0); // all of it
    CHECK(::close(fd) == 0);
}
