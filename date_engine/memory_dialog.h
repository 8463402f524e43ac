// A dialog held in memory: five field texts and a record of the error boxes
// and focus moves. Tests and the command-line front end use it where the
// window uses the real dialog.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calculation.h"

class MemoryDialog final : public DialogFields {
public:
    struct Box {
        std::string text;
        std::string caption;
    };

    std::array<std::string, 5> fields{};  // 101..105
    std::vector<Box> boxes;
    int focusMoves = 0;

    std::string& field(int32_t id) { return fields.at(static_cast<size_t>(id - EventDateField)); }

    std::string readField(int32_t id) override { return field(id); }
    void writeField(int32_t id, std::string_view text) override { field(id).assign(text); }
    void showError(std::string_view text, std::string_view caption) override {
        boxes.push_back({std::string(text), std::string(caption)});
    }
    void focusEventField() override { ++focusMoves; }
};
