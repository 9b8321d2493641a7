#pragma once
#include "app/platform.h"
#include "image/colour.h"
#include "image/masked_dib.h"
#include "sources/load_options.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessary {

// How a source was made.
enum SourceKind : int32_t {
    kSourceText = 0,
    kSourceTargetCopy = 1,
    kSourceImageFile = 2,
    kSourceTextCancelled = 3,
    kSourcePaste = 4,
};

// A source document: one of the up to eight images the target is merged from.
class VIrorozIzi {
public:
    static constexpr size_t kTextBufferSize = 8192;
    static constexpr size_t kMaxPathLength = 4095;

    int32_t sourceKind = kSourceImageFile;
    int32_t slotIndex = 0;
    int32_t imageWidth = 1;
    int32_t imageHeight = 1;
    MaskedDib image;
    std::string textBuffer;
    std::string filePath;
    // The title shown on the source's window and wherever the source is named: the file name of
    // an image-file source, "Text", "Target to Source" or "Pasted Image".
    std::string title;
    bool changed = false;
    // The source window's tools or corrections changed the image since the source was made or
    // last reloaded. An arrangement keeps a source's file or text, not such changes.
    bool editedInWindow = false;
    ColourRef textColour = 0xFFFFFF;
    ColourRef textBackColour = 0;
    int32_t textTransparentBack = 0;
    LogFont textFont {};
    bool textPreviewTiny = false;
    bool processedOk = true;
    // How the picture file was read; a reload reads it the same way.
    LoadOptions loadOptions;

    int number() const { return slotIndex + 1; }
};

} // namespace tessary
