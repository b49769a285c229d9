#pragma once
// The exception of every GIF format and usage error, and the fixed texts it
// (and the warnings passed to TGIFImage::OnWarning) carries.

#include "platform/gfx/Graphic.h"

// A picture that is not a valid GIF is an invalid graphic like any other,
// so callers that load pictures of every kind catch one exception class.
class GIFException : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// Raises GIFException with the message.
[[noreturn]] void GIFError(const char* message);

// Message texts.  Warnings and errors share them; where one text is used for
// both, the reader's documentation says which applies.
inline constexpr const char* sOutOfData = "Premature end of data";
inline constexpr const char* sBadSignature = "Invalid GIF signature";
inline constexpr const char* sUnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* sUnknownBlockType = "Unknown GIF block type";
inline constexpr const char* sBadExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* sUnknownExtension = "Unknown extension type";
inline constexpr const char* sExtensionLabelMismatch = "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* sInvalidData = "Invalid GIF data";
inline constexpr const char* sBadTrailer = "Invalid Image trailer";
inline constexpr const char* sColorTableOverflow = "Color table overflow";
inline constexpr const char* sInvalidColorIndex = "Invalid color index";
inline constexpr const char* sColorTableEmpty = "Color table is empty";
inline constexpr const char* sCircularTable = "Circular decoder table entry";
inline constexpr const char* sBitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* sInvalidLZWCode = "Invalid code in LZW data";
inline constexpr const char* sInvalidLZWCodeSize = "Invalid LZW code size";
inline constexpr const char* sColorNotInTable = "Color not in color table";
inline constexpr const char* sInvalidPixel = "Invalid pixel coordinates";
inline constexpr const char* sImageEmpty = "Image is empty";
inline constexpr const char* sFrameTooLarge = "Image dimensions too large";
inline constexpr const char* sInvalidDimensions = "Invalid image dimensions";
inline constexpr const char* sFrameOutsideScreen = "Frame lies beyond the largest logical screen";
inline constexpr const char* sScreenWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* sScreenHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* sExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* sUnsupportedObject = "Object type not supported for operation";
inline constexpr const char* sUnsupportedClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* sClipboardFailed = "Failed to store GIF on clipboard";
inline constexpr const char* sInvalidReductionMethod = "Invalid reduction method";
inline constexpr const char* sInvalidDitherMode = "Invalid dither mode";
inline constexpr const char* sEmptyPalette = "Palette is empty";
inline constexpr const char* sInvalidReductionBits = "Invalid number of reduction bits";

// Progress messages.
inline constexpr const char* sProgressLoading = "Loading...";
inline constexpr const char* sProgressSaving = "Saving...";
inline constexpr const char* sProgressCopying = "Copying...";
inline constexpr const char* sProgressRendering = "Rendering...";
inline constexpr const char* sProgressConverting = "Converting...";
inline constexpr const char* sProgressOptimizing = "Optimizing...";
