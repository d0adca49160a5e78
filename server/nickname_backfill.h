#pragma once
// Accounts signed up before nicknames had skeletons get theirs at start, so
// that new look-alikes of old nicknames are refused too.
#include "server/connection_pool.h"

// Fills every missing skeleton; an old pair of look-alikes keeps the second
// without one. Returns how many were filled.
std::size_t fillMissingSkeletons(ConnectionPool& pool);
