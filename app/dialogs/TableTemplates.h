#pragma once
// The ten ready-made tables of the table-template dialog: each one TABLE
// element, centred, with a border, one tag per line (TR indented by two
// blanks, each cell by four), each line followed by CR LF.

#include <array>
#include <string>

struct TTableTemplate {
    std::string Caption;
    std::string Text;
};

const std::array<TTableTemplate, 10>& TableTemplates();
