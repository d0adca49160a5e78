#pragma once
// Reads a dialog resource as the dialog manager does: the DIALOG and DIALOGEX
// template layouts, with their texts still in UTF-16.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct DialogItem {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    int classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static; 0 when named
    std::u16string text;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::u16string title;
    int fontSize = 0;
    std::u16string fontName;
    std::vector<DialogItem> items;
};

// Nothing when the bytes end before the template does.
std::optional<DialogTemplate> readDialogTemplate(std::span<const std::uint8_t> bytes);
