#include "KeyValueFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace velcor::kv {

bool read(const std::string& path, std::map<std::string, std::string>& out, std::size_t maxBytes)
{
    out.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string text(maxBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > maxBytes)
        return false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            return false;
        if (!out.emplace(line.substr(0, eq), line.substr(eq + 1)).second)
            return false;
    }
    return true;
}

bool writePrivate(const std::string& path, const std::string& text, std::string* reason)
{
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (reason)
            *reason = "파일을 만들 수 없습니다: " + path;
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        if (reason)
            *reason = "파일을 쓸 수 없습니다: " + path;
    }
    return ok;
}

} // namespace velcor::kv
