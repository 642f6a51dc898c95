#pragma once
// The server's data folder (mode 0700, the server's user alone):
//   DIR/BANKD_DATA            marker (tells a bank data folder from any other)
//   DIR/bankd.db              the database (mode 0600, as its WAL and index files),
//                             unless bankd.ini names a PostgreSQL database
//   DIR/secrets.key           the key of short-secret hashes and sealed card cells (0600)
//   DIR/bankd.ini             settings (rate limits)
//   DIR/gateway.key           the gateway's long-term key pair (mode 0600)
//   DIR/update.key            the update key that signs the download list (mode 0600)
//   DIR/sessions.journal      keys of the gateway sessions of the last day (0600)
//   DIR/download/             files of the download host, with TVPB_Version.info
//   DIR/log/access.log        the access log (0600; reopened on SIGHUP)
//
// The nodes of a cluster serve one data folder together; each writes its own
// runtime files (NodeFiles) in a node folder of its own instead:
//   NODE/access.log, NODE/sessions.journal, NODE/bankd.pid
#include <stdexcept>
#include <string>

#include "Store.h"

namespace bankd {

class DataFolderError : public std::runtime_error {
public:
    explicit DataFolderError(const std::string& what) : std::runtime_error(what) {}
};

// The files one serving process writes for itself.
struct NodeFiles {
    std::string accessLog;
    std::string sessionJournal;
    std::string pidFile;  // empty: none
};

class DataFolder {
public:
    explicit DataFolder(std::string dir);

    // Creates the layout in a missing or empty folder. Refuses a folder that
    // is already a data folder or holds anything else.
    void create() const;
    // Checks that the folder exists and is a data folder.
    void check() const;

    const std::string& dir() const { return dir_; }
    std::string marker() const;
    std::string database() const;
    // Where the bank's database is: bankd.db, or the PostgreSQL database the
    // settings name (the key file stays in this folder).
    StoreLocation storeLocation() const;
    std::string gatewayKey() const;
    std::string updateKey() const;
    std::string sessionJournal() const;
    std::string settings() const;
    std::string downloadDir() const;
    std::string versionInfo() const;
    std::string logDir() const;
    std::string accessLog() const;
    // A serving process's own files: in nodeDir (created, owner only), or
    // the data folder's access log and journal for an empty nodeDir.
    NodeFiles nodeFiles(const std::string& nodeDir) const;

private:
    std::string dir_;
};

inline constexpr const char* kVersionInfoName = "TVPB_Version.info";

} // namespace bankd
