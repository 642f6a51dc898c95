#include "VersionInfo.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "CodePage949.h"

namespace bankd {

namespace {
std::string trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n\v\f");
    if (a == std::string::npos)
        return {};
    size_t b = s.find_last_not_of(" \t\r\n\v\f");
    return s.substr(a, b - a + 1);
}
} // namespace

std::vector<VersionEntry> readVersionInfo(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<VersionEntry> out;
    if (!in)
        return out;
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = cp949::toUtf8Strict(ss.str()).value_or(std::string());
    size_t pos = 0;
    for (;;) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos)
            break;
        std::string line = trim(text.substr(pos, nl - pos));
        pos = nl + 1;
        if (line.empty())
            break;
        if (line[0] == ';')
            continue;
        size_t slash = line.find('/');
        if (slash == std::string::npos)
            out.emplace_back(std::string(), line);
        else
            out.emplace_back(trim(line.substr(0, slash)), trim(line.substr(slash + 1)));
    }
    return out;
}

void writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries)
{
    std::string text = "; 타브린은행 PDA뱅킹 업그레이드 목록 (파일이름/버전)\n";
    for (const auto& [file, version] : entries) {
        if (file.empty() || file.find_first_of("/\r\n") != std::string::npos ||
            version.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("bad version entry: " + file);
        text += file + "/" + version + "\n";
    }
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        std::string bytes = cp949::fromUtf8(text);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, path);
}

void setVersionEntry(std::vector<VersionEntry>& entries, const std::string& file, const std::string& version)
{
    for (auto& e : entries)
        if (e.first == file) {
            e.second = version;
            return;
        }
    entries.emplace_back(file, version);
}

} // namespace bankd
