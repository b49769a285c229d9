#pragma once
// How a control aligns its caption across its width.

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
