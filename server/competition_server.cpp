#include "server/competition_server.h"

#include <thread>

#include "server/http_routes.h"
#include "server/metrics.h"
#include "server/nickname_backfill.h"
#include "server/operator_routes.h"
#include "server/schema.h"
#include "server/server_options.h"

namespace {

ServiceSettings withSite(ServiceSettings settings, const std::string& host, int port, MailQueue* mail) {
    if (settings.site.empty()) settings.site = listeningSite(host, port);
    if (mail) settings.mail = [mail](const MailMessage& message, std::time_t now) { mail->send(message, now); };
    return settings;
}

ConnectionPool& migrated(ConnectionPool& pool) {
    migrateSchema(*pool.borrow());
    fillMissingSkeletons(pool);
    return pool;
}

}  // namespace

CompetitionServer::CompetitionServer(const std::string& host, int port, const std::string& databaseUrl,
                                     ServiceSettings settings, ConnectionLimits limits, std::optional<SmtpSettings> smtp)
    : http_(host, port, limits),
      pool_(databaseUrl, databaseConnections),
      mail_(smtp ? std::make_unique<MailQueue>(migrated(pool_), std::move(*smtp)) : nullptr),
      service_(smtp ? pool_ : migrated(pool_), withSite(std::move(settings), host, http_.port(), mail_.get())),
      verifiers_(service_.proofs(), std::thread::hardware_concurrency()),
      closer_(service_.contest()),
      routes_(competitionRoutes(service_)) {
    service_.proofs().onQueued([this] { verifiers_.wake(); });
    addOperatorRoutes(routes_, pool_);
    serviceMetrics().countConnectionsBy([this] { return http_.openConnections(); });
    http_.onServed([this](const ServedRequest& served) {
        serviceMetrics().served(served.route ? served.route->name : "refused", served.status, served.took);
        if (accessLog_) accessLog_->write(served);
    });
}

CompetitionServer::~CompetitionServer() {
    http_.stop();
    serviceMetrics().countConnectionsBy(nullptr);
}

bool CompetitionServer::run() { return http_.run(routes_); }

void CompetitionServer::stop() { http_.stop(); }
