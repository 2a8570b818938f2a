// Writing a whole text to a file descriptor, as many writes as it takes.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace app {

// False when a write fails; a write cut short by a signal is taken up again.
inline bool write_all(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace app
