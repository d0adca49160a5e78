#include "server/operator_routes.h"

#include "server/metrics.h"
#include "server/outcome.h"
#include "server/sql_connection.h"

void addOperatorRoutes(RouteTable& routes, ConnectionPool& pool) {
    routes.add({"GET", "/healthz", "healthz", Work::quick, [&pool](const HttpRequest&) {
                    HttpAnswer answer = answerWith(httpStatus(Outcome::done), "text/plain; charset=utf-8", "ok\n");
                    try {
                        pool.borrow()->query("SELECT 1");
                    } catch (const std::exception&) {
                        answer = answerWith(httpStatus(Outcome::busy), "text/plain; charset=utf-8",
                                            "databasen svarar inte\n");
                    }
                    answer.headers.emplace_back("Cache-Control", "no-store");
                    return answer;
                }});
    routes.add({"GET", "/metrics", "metrics", Work::quick, [](const HttpRequest&) {
                    HttpAnswer answer = answerWith(httpStatus(Outcome::done),
                                                   "text/plain; version=0.0.4; charset=utf-8", serviceMetrics().render());
                    answer.headers.emplace_back("Cache-Control", "no-store");
                    return answer;
                }});
}
