#pragma once
// The database the service's tests run on. The same cases are linked into
// one test program for SQLite and one for PostgreSQL, each with its backend.
#include <string>

// A new, empty database for one test.
std::string freshDatabaseUrl();

// The backend's name, for messages.
const char* backendName();
