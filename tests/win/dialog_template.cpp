#include "dialog_template.h"

namespace {

constexpr std::uint32_t DS_SETFONT_STYLE = 0x40;

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::uint16_t word() {
        if (at_ + 2 > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        std::uint16_t value = bytes_[at_] | bytes_[at_ + 1] << 8;
        at_ += 2;
        return value;
    }
    std::uint32_t dword() {
        std::uint32_t low = word();
        return low | static_cast<std::uint32_t>(word()) << 16;
    }
    int coordinate() { return static_cast<std::int16_t>(word()); }
    std::uint8_t byte() {
        if (at_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return bytes_[at_++];
    }
    std::u16string text() {
        std::u16string s;
        for (char16_t c; ok_ && (c = word()) != 0;) s += c;
        return s;
    }
    // A name or an ordinal: 0 for none, 0xFFFF and the ordinal, or a text.
    std::u16string nameOrOrdinal(int& ordinal) {
        ordinal = 0;
        std::size_t start = at_;
        std::uint16_t first = word();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            ordinal = word();
            return {};
        }
        at_ = start;
        return text();
    }
    void alignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }
    void skip(std::size_t count) { at_ += count; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

std::optional<DialogTemplate> readDialogTemplate(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    DialogTemplate dialog;
    dialog.extended = bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    int itemCount = 0;
    if (dialog.extended) {
        in.dword();  // version and signature
        in.dword();  // help id
        dialog.exStyle = in.dword();
        dialog.style = in.dword();
    } else {
        dialog.style = in.dword();
        dialog.exStyle = in.dword();
    }
    itemCount = in.word();
    dialog.x = in.coordinate();
    dialog.y = in.coordinate();
    dialog.cx = in.coordinate();
    dialog.cy = in.coordinate();
    int unused = 0;
    in.nameOrOrdinal(unused);  // menu
    in.nameOrOrdinal(unused);  // window class
    dialog.title = in.text();
    if (dialog.style & DS_SETFONT_STYLE) {
        dialog.fontSize = in.word();
        if (dialog.extended) {
            in.word();  // weight
            in.byte();  // italic
            in.byte();  // character set
        }
        dialog.fontName = in.text();
    }
    for (int i = 0; i < itemCount && in.ok(); ++i) {
        in.alignToDword();
        DialogItem item;
        if (dialog.extended) {
            in.dword();  // help id
            item.exStyle = in.dword();
            item.style = in.dword();
        } else {
            item.style = in.dword();
            item.exStyle = in.dword();
        }
        item.x = in.coordinate();
        item.y = in.coordinate();
        item.cx = in.coordinate();
        item.cy = in.coordinate();
        item.id = dialog.extended ? static_cast<std::int32_t>(in.dword()) : static_cast<std::int16_t>(in.word());
        in.nameOrOrdinal(item.classOrdinal);
        int textOrdinal = 0;
        item.text = in.nameOrOrdinal(textOrdinal);
        in.skip(in.word());  // creation data
        dialog.items.push_back(item);
    }
    if (!in.ok()) return std::nullopt;
    return dialog;
}
