#include "data/Sql.h"

#include "base/Exception.h"

namespace lugatim::data::sql {

using base::Format;

std::string EngineError(int rc, sqlite3* db, const std::string& path) {
  const char* detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  switch (rc & 0xFF) {
    case SQLITE_NOTADB:
      return Format("Table file %s is not a database (%s)", path.c_str(), detail);
    case SQLITE_CORRUPT:
      return Format("Table file %s is damaged (%s)", path.c_str(), detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Format("Table file %s is locked by another program (%s)", path.c_str(), detail);
    case SQLITE_CANTOPEN:
      return Format("Cannot open table file %s (%s)", path.c_str(), detail);
    default:
      return Format("Cannot read table file %s (%s)", path.c_str(), detail);
  }
}

}  // namespace lugatim::data::sql
