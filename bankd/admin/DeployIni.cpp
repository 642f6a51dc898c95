#include "DeployIni.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace bankd {

namespace {
std::string trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

std::vector<Section> readSections(const std::string& path)
{
    std::vector<Section> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            out.push_back({trim(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        if (out.empty())
            out.push_back({"", {}});
        out.back().keys.emplace_back(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return out;
}

void set(std::vector<Section>& sections, const std::string& section, const std::string& key,
         const std::string& value)
{
    for (auto& s : sections) {
        if (s.name != section)
            continue;
        for (auto& kv : s.keys)
            if (kv.first == key) {
                kv.second = value;
                return;
            }
        s.keys.emplace_back(key, value);
        return;
    }
    sections.push_back({section, {{key, value}}});
}
} // namespace

void writeDeployIni(const std::string& path, const DeployValues& v)
{
    std::vector<Section> sections = readSections(path);
    set(sections, "bank", "server_host", v.serverHost);
    set(sections, "bank", "gateway_public_key", v.gatewayPublicKey);
    set(sections, "download", "host", v.downloadHost);
    if (!v.updatePublicKey.empty())
        set(sections, "download", "update_public_key", v.updatePublicKey);
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "; Deployment values of the Tavrin PDA Banking client (written by bankd init)\n";
        for (const auto& s : sections) {
            if (!s.name.empty())
                out << "\n[" << s.name << "]\n";
            for (const auto& kv : s.keys)
                out << kv.first << " = " << kv.second << "\n";
        }
        if (!out)
            throw std::runtime_error("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, path);
}

std::map<std::string, std::map<std::string, std::string>> readIni(const std::string& path)
{
    std::map<std::string, std::map<std::string, std::string>> out;
    for (const auto& s : readSections(path))
        for (const auto& kv : s.keys)
            out[s.name][kv.first] = kv.second;
    return out;
}

} // namespace bankd
