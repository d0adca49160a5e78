// The fake side of http.h: answers as the test scripts it and records every
// form posted (fake_control.h).
#include <utility>

#include "platform/fake_control.h"
#include "platform/http.h"

namespace platform {
namespace {

struct FakeHttp {
    HttpAnswer answer{false, unexplainedHttpFailure, "no answer scripted"};
    bool connects = true;
    std::vector<fake::PostedForm> posted;
};

FakeHttp& http() {
    static FakeHttp instance;
    return instance;
}

}  // namespace

HttpAnswer postForm(const HttpForm& form, const std::function<std::string()>& body) {
    FakeHttp& h = http();
    fake::PostedForm posted{form.host, form.port, form.path, form.header, {}, h.connects};
    if (h.connects) posted.body = body();
    h.posted.push_back(std::move(posted));
    return h.answer;
}

namespace fake {

void setHttpAnswer(HttpAnswer answer, bool connects) {
    http().answer = std::move(answer);
    http().connects = connects;
}
const std::vector<PostedForm>& postedForms() { return http().posted; }
void clearPostedForms() { http().posted.clear(); }

}  // namespace fake
}  // namespace platform
