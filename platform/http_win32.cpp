// The Windows side of http.h: the WinINet binding, bound once for the run.
#include "platform/http.h"
#include "platform/wininet_binding.h"

namespace platform {

HttpAnswer postForm(const HttpForm& form, const std::function<std::string()>& body) {
    static WinInetBinding binding;
    return binding.post(form, body);
}

}  // namespace platform
