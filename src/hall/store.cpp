// SPDX-License-Identifier: MIT
#include "hall/store.h"

namespace hall {

std::unique_ptr<Store> openSqliteStore(const std::string& path, std::string& error);
std::unique_ptr<Store> openPostgresStore(const std::string& address, std::string& error);

std::unique_ptr<Store> openStore(const std::string& address, std::string& error) {
    constexpr std::string_view sqlite = "sqlite:";
    if (address.compare(0, sqlite.size(), sqlite) == 0) {
        const std::string path = address.substr(sqlite.size());
        if (path.empty()) {
            error = "sqlite: names no file (sqlite:PATH)";
            return nullptr;
        }
        return openSqliteStore(path, error);
    }
    // libpq reads the address itself: postgresql://USER@HOST/DB?host=/run/postgresql and all.
    if (address.starts_with("postgresql://") || address.starts_with("postgres://"))
        return openPostgresStore(address, error);
    error = "'" + address + "' is no database this server keeps (sqlite:PATH, postgresql://...)";
    return nullptr;
}

}  // namespace hall
