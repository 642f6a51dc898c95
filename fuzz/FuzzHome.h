#pragma once
// A private folder for a fuzz target's files, made once per process (in
// /dev/shm when it can, where a sync costs nothing) and removed at exit.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzz {

inline const std::string& scratchFolder(const char* name)
{
    static const std::string folder = [name] {
        std::string base = "/dev/shm";
        if (access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path().string();
        std::string templ = base + "/tvpb-fuzz-" + name + "-XXXXXX";
        if (!mkdtemp(templ.data()))
            std::abort();
        static const std::string removeAtExit = templ;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return templ;
    }();
    return folder;
}

} // namespace fuzz
