#include "VersionInfo.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "CodePage949.h"
#include "FileWrite.h"

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

bool isPlainFileName(const std::string& name)
{
    if (name.empty() || name[0] == '.' || name.find_first_of("/\\:") != std::string::npos ||
        name.find("..") != std::string::npos)
        return false;
    for (unsigned char ch : name)
        if (ch < 0x20 || ch == 0x7F)
            return false;
    return true;
}

void writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries,
                      const velcor::UpdateKeyPair& key)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::string hashes;
    std::string list;
    for (const auto& [file, version] : entries) {
        if (!isPlainFileName(file) || file == std::filesystem::path(path).filename().string() ||
            version.find_first_of("\r\n/") != std::string::npos)
            throw std::invalid_argument("bad version entry: " + file);
        std::ifstream in(folder / file, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + (folder / file).string());
        std::stringstream bytes;
        bytes << in.rdbuf();
        hashes += velcor::releaseHashLine(bytes.str(), file) + "\n";
        list += file + "/" + version + "\n";
    }
    const std::string body = "; 타브린은행 PDA뱅킹 업그레이드 목록 (파일이름/버전)\n" + hashes + list;
    const std::string bytes = velcor::signReleaseList(cp949::fromUtf8(body), key);
    writeFileAtomically(path, bytes);
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
