// The picture loader, with the input served as a picture resource by the host
// platform. A picture it accepts is no larger than the screen and draws.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/image.h"
#include "platform/fake_control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr int resourceId = 9000;
    static Image screen(400, 300);
    platform::fake::addResource(platform::ResourceType::RcData, resourceId,
                                std::vector<std::uint8_t>(data, data + size));
    Image picture;
    if (picture.loadRle(resourceId)) {
        if (picture.width < 0 || picture.height < 0 ||
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) > 400 * 300) {
            __builtin_trap();
        }
        screen.blit(picture, 0, 0);
    }
    return 0;
}
