// Test support: an extended dialog template (DLGTEMPLATEEX) parsed from its resource bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A name-or-ordinal field: a number (0xFFFF then the ordinal) or a text.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text;   // ASCII; other characters become '?'
};

struct DialogItem {
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    int32_t id = 0;
    std::string className;   // the predefined classes' ordinals given by name
    NameOrOrdinal title;
    uint16_t extraCount = 0;
};

struct DialogTemplate {
    uint16_t version = 0;
    uint16_t signature = 0;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    uint16_t itemCount = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charset = 0;
    std::string typeface;
    std::vector<DialogItem> items;
};

// Parses an extended template; on failure returns false and says why in error.
bool ParseDialogTemplateEx(const void* data, size_t size, DialogTemplate& dialog, std::string& error);
