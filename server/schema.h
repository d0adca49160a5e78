#pragma once
// The service's tables, the same on SQLite and PostgreSQL. The server brings
// a database up to the newest version at start: the steps it lacks run in
// one transaction, so a failed migration leaves the database as it was.
#include "server/sql_connection.h"

// The number of the newest schema version.
int schemaVersion();

// Creates or migrates the schema; throws SqlError.
void migrateSchema(SqlConnection& connection);
