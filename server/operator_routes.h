#pragma once
// The operator's addresses: /healthz (200 "ok" while the database answers,
// else 503) and /metrics (Prometheus's text format).
#include "server/connection_pool.h"
#include "server/route_table.h"

void addOperatorRoutes(RouteTable& routes, ConnectionPool& pool);
