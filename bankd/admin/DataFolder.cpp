#include "DataFolder.h"

#include <filesystem>
#include <fstream>

#include "Settings.h"

namespace bankd {

namespace fs = std::filesystem;

namespace {
constexpr const char* kMarkerText = "bankd data folder\nlayout=1\n";
}

DataFolder::DataFolder(std::string dir) : dir_(std::move(dir)) {}

std::string DataFolder::marker() const { return (fs::path(dir_) / "BANKD_DATA").string(); }
std::string DataFolder::database() const { return (fs::path(dir_) / "bankd.db").string(); }
StoreLocation DataFolder::storeLocation() const
{
    return {database(), readSettings(settings()).postgres};
}

std::string DataFolder::settings() const { return (fs::path(dir_) / "bankd.ini").string(); }
std::string DataFolder::gatewayKey() const { return (fs::path(dir_) / "gateway.key").string(); }
std::string DataFolder::updateKey() const { return (fs::path(dir_) / "update.key").string(); }
std::string DataFolder::sessionJournal() const { return (fs::path(dir_) / "sessions.journal").string(); }
std::string DataFolder::downloadDir() const { return (fs::path(dir_) / "download").string(); }
std::string DataFolder::versionInfo() const { return (fs::path(downloadDir()) / kVersionInfoName).string(); }
std::string DataFolder::logDir() const { return (fs::path(dir_) / "log").string(); }
std::string DataFolder::accessLog() const { return (fs::path(logDir()) / "access.log").string(); }

NodeFiles DataFolder::nodeFiles(const std::string& nodeDir) const
{
    if (nodeDir.empty())
        return {accessLog(), sessionJournal(), {}};
    std::error_code ec;
    fs::create_directories(nodeDir, ec);
    if (!ec)
        fs::permissions(nodeDir, fs::perms::owner_all, ec);
    if (ec)
        throw DataFolderError("cannot create the node folder " + nodeDir + ": " + ec.message());
    const fs::path n(nodeDir);
    return {(n / "access.log").string(), (n / "sessions.journal").string(), (n / "bankd.pid").string()};
}

void DataFolder::create() const
{
    std::error_code ec;
    if (fs::exists(dir_, ec)) {
        if (!fs::is_directory(dir_, ec))
            throw DataFolderError(dir_ + " exists and is not a folder");
        if (fs::exists(marker(), ec))
            throw DataFolderError(dir_ + " is already a bankd data folder");
        if (!fs::is_empty(dir_, ec))
            throw DataFolderError(dir_ + " is not empty and is not a bankd data folder; choose an empty folder");
    }
    fs::create_directories(dir_, ec);
    if (ec)
        throw DataFolderError("cannot create " + dir_ + ": " + ec.message());
    fs::permissions(dir_, fs::perms::owner_all, ec);
    if (ec)
        throw DataFolderError("cannot restrict " + dir_ + " to its owner: " + ec.message());
    fs::create_directories(downloadDir(), ec);
    fs::create_directories(logDir(), ec);
    if (ec)
        throw DataFolderError("cannot create the folders in " + dir_ + ": " + ec.message());
    std::ofstream m(marker());
    m << kMarkerText;
    if (!m)
        throw DataFolderError("cannot write " + marker());
}

void DataFolder::check() const
{
    std::error_code ec;
    if (!fs::is_directory(dir_, ec))
        throw DataFolderError("data folder " + dir_ + " does not exist (create it with: bankd init --data " + dir_ +
                              ")");
    if (!fs::exists(marker(), ec))
        throw DataFolderError(dir_ + " is not a bankd data folder (no BANKD_DATA marker)");
    if (!fs::exists(database(), ec) && storeLocation().postgres.empty())
        throw DataFolderError(dir_ + " has no database (bankd.db is missing)");
    if (!fs::exists(gatewayKey(), ec))
        throw DataFolderError(dir_ + " has no gateway key (gateway.key is missing)");
    // Folders made before they were restricted to the server's user.
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::create_directories(downloadDir(), ec);
    fs::create_directories(logDir(), ec);
}

} // namespace bankd
