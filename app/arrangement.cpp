#include "app/arrangement.h"

#include "app/workspace.h"
#include "image/atomic_file.h"
#include "image/cx_image.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace tessary {

namespace {
using nlohmann::json;
namespace fs = std::filesystem;

constexpr int kMaxLayoutSources = 8;

// A refusal carrying the message; thrown inside this file only and turned into `error`.
struct LayoutError {
    std::string message;
};

[[noreturn]] void refuse(const std::string& field, const std::string& what)
{
    throw LayoutError { field + ": " + what };
}

void rejectUnknownFields(const json& object, const std::set<std::string>& known, const std::string& where)
{
    for (const auto& item : object.items())
        if (!known.count(item.key()))
            refuse(where + item.key(), "unknown field");
}

int32_t integerIn(const json& value, const std::string& field, int64_t low, int64_t high)
{
    std::ostringstream range;
    range << "must be a whole number from " << low << " to " << high;
    if (!value.is_number_integer())
        refuse(field, range.str());
    if (value.is_number_unsigned() ? value.get<uint64_t>() > uint64_t(high) : false)
        refuse(field, range.str());
    const int64_t v = value.is_number_unsigned() ? int64_t(value.get<uint64_t>()) : value.get<int64_t>();
    if (v < low || v > high)
        refuse(field, range.str());
    return int32_t(v);
}

double numberIn(const json& value, const std::string& field, double low, double high)
{
    std::ostringstream range;
    range << "must be a number from " << low << " to " << high;
    if (!value.is_number())
        refuse(field, range.str());
    const double v = value.get<double>();
    if (!std::isfinite(v) || v < low || v > high)
        refuse(field, range.str());
    return v;
}

bool boolean(const json& value, const std::string& field)
{
    if (!value.is_boolean())
        refuse(field, "must be true or false");
    return value.get<bool>();
}

int32_t level(const json& value, const std::string& field)
{
    const int32_t v = integerIn(value, field, -1, kMaxLayoutSources);
    if (v == 0)
        refuse(field, "must be -1 (not in that layer group) or a level from 1 to 8");
    return v;
}

// "#RRGGBB" to the program's 0x00BBGGRR.
ColourRef colour(const json& value, const std::string& field)
{
    const std::string text = value.is_string() ? value.get<std::string>() : std::string();
    bool ok = text.size() == 7 && text[0] == '#';
    for (size_t i = 1; ok && i < 7; ++i)
        ok = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
    if (!ok)
        refuse(field, "must be a colour written \"#RRGGBB\"");
    const auto channel = [&](size_t at) { return uint8_t(std::stoi(text.substr(at, 2), nullptr, 16)); };
    return makeColourRef(channel(1), channel(3), channel(5));
}

int32_t mergeType(const json& value, const std::string& field)
{
    if (value.is_string()) {
        const std::string name = value.get<std::string>();
        for (int32_t i = 0; i < 5; ++i)
            if (name == kMergeTypeNames[i])
                return i;
        refuse(field,
            "must be 0 to 4 or one of \"average\", \"brightest\", \"darkest\", \"most colored\", "
            "\"least colored\"");
    }
    return integerIn(value, field, 0, 4);
}

LayoutSource source(const json& entry, size_t index, const fs::path& folder)
{
    const std::string where = "sources[" + std::to_string(index) + "].";
    if (!entry.is_object())
        refuse("sources[" + std::to_string(index) + "]", "must be an object");
    rejectUnknownFields(entry,
        { "file", "posX", "posY", "scaleX", "scaleY", "rotation", "mirrored", "topLevel", "bottomLevel",
            "biasWeight", "fadeEdge" },
        where);
    LayoutSource s;
    if (!entry.contains("file"))
        refuse(where + "file", "missing");
    if (!entry["file"].is_string() || entry["file"].get<std::string>().empty())
        refuse(where + "file", "must be the name of an image file");
    const std::string name = entry["file"].get<std::string>();
    const fs::path file = fs::path(name).is_absolute() ? fs::path(name) : folder / name;
    s.file = file.string();
    constexpr double kMaxScale = 1024.0 * 1024.0;
    constexpr int64_t kMaxPosition = 1000000;
    for (const auto& item : entry.items()) {
        const std::string& key = item.key();
        const json& v = item.value();
        const std::string field = where + key;
        if (key == "posX")
            s.posX = integerIn(v, field, -kMaxPosition, kMaxPosition);
        else if (key == "posY")
            s.posY = integerIn(v, field, -kMaxPosition, kMaxPosition);
        else if (key == "scaleX")
            s.scaleX = numberIn(v, field, 1.0, kMaxScale);
        else if (key == "scaleY")
            s.scaleY = numberIn(v, field, 1.0, kMaxScale);
        else if (key == "rotation")
            s.rotation = numberIn(v, field, -360.0, 360.0);
        else if (key == "mirrored")
            s.mirrored = boolean(v, field);
        else if (key == "topLevel")
            s.topLevel = level(v, field);
        else if (key == "bottomLevel")
            s.bottomLevel = level(v, field);
        else if (key == "biasWeight")
            s.biasWeight = numberIn(v, field, 0.0, 100.0);
        else if (key == "fadeEdge")
            s.fadeEdge = boolean(v, field);
    }
    if (!formatFromFileName(s.file))
        refuse(where + "file", "\"" + name + "\" does not end in bmp, jpg, png, tif, tga or pcx");
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        refuse(where + "file", "\"" + s.file + "\" does not exist or is not a file");
    return s;
}
}

std::optional<MergeLayout> readMergeLayout(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    json document;
    try {
        document = json::parse(in);
    } catch (const json::exception& e) {
        error = path + ": not valid JSON: " + e.what();
        return std::nullopt;
    }
    const fs::path folder = fs::path(path).parent_path();
    try {
        if (!document.is_object())
            refuse("layout", "must be a JSON object");
        rejectUnknownFields(document,
            { "format", "version", "sources", "mergeType", "thresholdFuzziness", "backgroundColour",
                "marginX", "marginY", "marginColour", "targetContrast", "targetBrightness" },
            "");
        if (document.contains("format")
            && !(document["format"].is_string()
                && document["format"].get<std::string>() == kArrangementFormat))
            refuse("format", std::string("must be \"") + kArrangementFormat + "\"");
        if (document.contains("version")) {
            const json& version = document["version"];
            if (version.is_number_integer() && version.get<int64_t>() > kArrangementVersion)
                refuse("version",
                    std::to_string(version.get<int64_t>()) + " is newer than this program reads ("
                        + std::to_string(kArrangementVersion) + ")");
            integerIn(version, "version", 1, kArrangementVersion);
        }
        MergeLayout layout;
        if (!document.contains("sources"))
            refuse("sources", "missing");
        const json& sources = document["sources"];
        if (!sources.is_array() || sources.empty() || sources.size() > size_t(kMaxLayoutSources))
            refuse("sources", "must be a list of 1 to 8 sources");
        for (size_t i = 0; i < sources.size(); ++i)
            layout.sources.push_back(source(sources[i], i, folder));
        for (const auto& item : document.items()) {
            const std::string& key = item.key();
            const json& v = item.value();
            if (key == "mergeType")
                layout.mergeType = mergeType(v, key);
            else if (key == "thresholdFuzziness")
                layout.thresholdFuzziness = integerIn(v, key, 0, 100);
            else if (key == "backgroundColour")
                layout.backgroundColour = colour(v, key);
            else if (key == "marginColour")
                layout.marginColour = colour(v, key);
            else if (key == "marginX")
                layout.marginX = integerIn(v, key, 0, 500);
            else if (key == "marginY")
                layout.marginY = integerIn(v, key, 0, 500);
            else if (key == "targetContrast")
                layout.targetContrast = integerIn(v, key, 0, 32);
            else if (key == "targetBrightness")
                layout.targetBrightness = integerIn(v, key, 0, 255);
        }
        return layout;
    } catch (const LayoutError& e) {
        error = path + ": " + e.message;
        return std::nullopt;
    }
}

namespace {
std::string colourText(ColourRef c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned(c & 0xFF), unsigned((c >> 8) & 0xFF),
        unsigned((c >> 16) & 0xFF));
    return text;
}

// Relative when `file` lies below `folder`, so the arrangement and its sources move together.
std::string fileName(const std::string& file, const fs::path& folder)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec);
    if (ec)
        return file;
    const fs::path relative = absolute.lexically_normal().lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..")
        return absolute.lexically_normal().string();
    return relative.string();
}
}

bool writeMergeLayout(const std::string& path, const MergeLayout& layout, std::string& error)
{
    std::string text;
    try {
        std::error_code ec;
        const fs::path folder = fs::absolute(path, ec).parent_path().lexically_normal();
        json document = json::object();
        document["format"] = kArrangementFormat;
        document["version"] = kArrangementVersion;
        json sources = json::array();
        for (const LayoutSource& s : layout.sources) {
            json entry = { { "file", fileName(s.file, folder) }, { "posX", s.posX }, { "posY", s.posY },
                { "scaleX", s.scaleX }, { "scaleY", s.scaleY }, { "rotation", s.rotation },
                { "mirrored", s.mirrored }, { "topLevel", s.topLevel }, { "bottomLevel", s.bottomLevel },
                { "fadeEdge", s.fadeEdge } };
            if (s.biasWeight)
                entry["biasWeight"] = *s.biasWeight;
            sources.push_back(std::move(entry));
        }
        document["sources"] = std::move(sources);
        document["mergeType"] = layout.mergeType;
        document["thresholdFuzziness"] = layout.thresholdFuzziness;
        document["backgroundColour"] = colourText(layout.backgroundColour);
        document["marginX"] = layout.marginX;
        document["marginY"] = layout.marginY;
        document["marginColour"] = colourText(layout.marginColour);
        document["targetContrast"] = layout.targetContrast;
        document["targetBrightness"] = layout.targetBrightness;
        text = document.dump(2) + "\n";
    } catch (const std::exception& e) { // a file name that is not UTF-8, or no memory
        error = path + ": cannot be written: " + e.what();
        return false;
    }
    if (!writeFileAtomically(
            path, [&](CxFile& file) { return file.Write(text.data(), 1, text.size()) == text.size(); })) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

void placeLayoutSource(MergeWorkspace& workspace, size_t slot, const LayoutSource& source)
{
    CAlignDoc& align = workspace.alignDoc;
    align.posX[slot] = source.posX;
    align.posY[slot] = source.posY;
    align.scaleX[slot] = source.scaleX;
    align.scaleY[slot] = source.scaleY;
    align.rotation[slot] = source.rotation;
    align.topLevel[slot] = source.topLevel;
    align.bottomLevel[slot] = source.bottomLevel;
    workspace.targetDoc.mirrored[slot] = source.mirrored ? 1 : 0;
    workspace.fadeEdge[slot] = source.fadeEdge ? 1 : 0;
}

bool captureArrangement(const MergeWorkspace& workspace, MergeLayout& layout, std::string& error)
{
    MergeLayout captured;
    const CAlignDoc& align = workspace.alignDoc;
    for (size_t slot = 0; slot < workspace.documents.size(); ++slot) {
        const VIrorozIzi* doc = workspace.documents[slot].get();
        if (!doc)
            continue;
        if (doc->sourceKind != kSourceImageFile || doc->filePath.empty()) {
            error = "source " + std::to_string(slot + 1) + " (" + doc->title
                + ") has no image file to refer to";
            return false;
        }
        LayoutSource s;
        s.file = doc->filePath;
        s.posX = align.posX[slot];
        s.posY = align.posY[slot];
        s.scaleX = align.scaleX[slot];
        s.scaleY = align.scaleY[slot];
        s.rotation = align.rotation[slot];
        s.topLevel = align.topLevel[slot];
        s.bottomLevel = align.bottomLevel[slot];
        s.mirrored = workspace.targetDoc.mirrored[slot] != 0;
        s.biasWeight = workspace.biasWeight[slot];
        s.fadeEdge = workspace.fadeEdge[slot] != 0;
        captured.sources.push_back(s);
    }
    const CDestdoc& target = workspace.targetDoc;
    captured.mergeType = workspace.mergeType;
    captured.thresholdFuzziness = target.thresholdFuzziness;
    captured.backgroundColour = target.backgroundColour;
    captured.marginX = target.marginX;
    captured.marginY = target.marginY;
    captured.marginColour = target.marginColour;
    captured.targetContrast = target.targetContrast;
    captured.targetBrightness = target.targetBrightness;
    layout = std::move(captured);
    return true;
}

void applyTargetSettings(MergeWorkspace& workspace, const MergeLayout& layout)
{
    CDestdoc& target = workspace.targetDoc;
    target.thresholdFuzziness = layout.thresholdFuzziness;
    target.backgroundColour = layout.backgroundColour;
    target.marginX = layout.marginX;
    target.marginY = layout.marginY;
    target.marginColour = layout.marginColour;
    target.targetContrast = layout.targetContrast;
    target.targetBrightness = layout.targetBrightness;
}

} // namespace tessary
