#include "server/web_game_routes.h"

#include "server/web_game_files.h"

void addWebGameRoutes(httplib::Server& server, const std::filesystem::path& folder) {
    // The page's own addresses are relative: without the slash they would
    // miss the folder.
    server.Get("/spela", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(webGameAddress, 301);
    });
    server.Get(R"(/spela/(.*))", [folder](const httplib::Request& req, httplib::Response& res) {
        FileAnswer file = webGameFile(folder, req.matches[1].str(), req.get_header_value("If-None-Match"));
        res.status = file.status;
        if (file.status == 404) return;
        res.set_header("Cache-Control", file.cacheControl);
        res.set_header("ETag", file.etag);
        res.set_header("X-Content-Type-Options", "nosniff");
        if (file.status == 200) res.set_content(file.body, file.contentType);
    });
}
