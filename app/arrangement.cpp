#include "app/arrangement.h"

#include "app/bounded_json.h"
#include "app/workspace.h"
#include "image/atomic_file.h"
#include "image/cx_image.h"
#include "sources/source_doc.h"
#include "sources/text_buffer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <new>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tessary {

namespace {
using nlohmann::json;
namespace fs = std::filesystem;

// The deepest an arrangement nests: the layout, its sources, a source, its text, the text's font.
constexpr int kMaxLayoutNesting = 5;

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

std::optional<int64_t> wholeNumber(const json& value)
{
    if (value.is_number_unsigned()) {
        const uint64_t v = value.get<uint64_t>();
        return v <= uint64_t(INT64_MAX) ? std::optional<int64_t>(int64_t(v)) : std::nullopt;
    }
    return value.is_number_integer() ? std::optional<int64_t>(value.get<int64_t>()) : std::nullopt;
}

int32_t integerIn(const json& value, const std::string& field, int64_t low, int64_t high)
{
    const std::optional<int64_t> v = wholeNumber(value);
    if (!v || *v < low || *v > high)
        refuse(field, "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return int32_t(*v);
}

int32_t integerIn(const json& value, const std::string& field, const SettingRange& range)
{
    return integerIn(value, field, range.min, range.max);
}

double numberIn(const json& value, const std::string& field, double low, double high)
{
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < low
        || value.get<double>() > high) {
        std::ostringstream range;
        range.precision(12);
        range << "must be a number from " << low << " to " << high;
        refuse(field, range.str());
    }
    return value.get<double>();
}

bool boolean(const json& value, const std::string& field)
{
    if (!value.is_boolean())
        refuse(field, "must be true or false");
    return value.get<bool>();
}

int32_t level(const json& value, const std::string& field)
{
    const int32_t v = integerIn(value, field, -1, kMaxSources);
    if (v == 0)
        refuse(field,
            "must be -1 (not in that layer group) or a level from 1 to " + std::to_string(kMaxSources));
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
    constexpr int32_t kTypes = int32_t(std::size(kMergeTypeNames));
    if (value.is_string()) {
        const std::string name = value.get<std::string>();
        for (int32_t i = 0; i < kTypes; ++i)
            if (name == kMergeTypeNames[i])
                return i;
        refuse(field,
            "must be 0 to 4 or one of \"average\", \"brightest\", \"darkest\", \"most colored\", "
            "\"least colored\"");
    }
    return integerIn(value, field, 0, kTypes - 1);
}

std::string text(const json& value, const std::string& field, size_t longest)
{
    if (!value.is_string() || value.get<std::string>().size() > longest)
        refuse(field, "must be a text of at most " + std::to_string(longest) + " bytes");
    return value.get<std::string>();
}

uint8_t byteValue(const json& value, const std::string& field)
{
    return uint8_t(integerIn(value, field, 0, 255));
}

LogFont font(const json& entry, const std::string& where)
{
    if (!entry.is_object())
        refuse(where, "must be an object");
    rejectUnknownFields(entry,
        { "height", "width", "escapement", "orientation", "weight", "italic", "underline", "strikeOut",
            "charSet", "outPrecision", "clipPrecision", "quality", "pitchAndFamily", "faceName" },
        where + ".");
    LogFont f;
    constexpr int64_t kLargestFont = 16384;
    for (const auto& item : entry.items()) {
        const std::string& key = item.key();
        const json& v = item.value();
        const std::string field = where + "." + key;
        if (key == "height")
            f.height = integerIn(v, field, -kLargestFont, kLargestFont);
        else if (key == "width")
            f.width = integerIn(v, field, 0, kLargestFont);
        else if (key == "escapement")
            f.escapement = integerIn(v, field, -3600, 3600);
        else if (key == "orientation")
            f.orientation = integerIn(v, field, -3600, 3600);
        else if (key == "weight")
            f.weight = integerIn(v, field, 0, 1000);
        else if (key == "italic")
            f.italic = byteValue(v, field);
        else if (key == "underline")
            f.underline = byteValue(v, field);
        else if (key == "strikeOut")
            f.strikeOut = byteValue(v, field);
        else if (key == "charSet")
            f.charSet = byteValue(v, field);
        else if (key == "outPrecision")
            f.outPrecision = byteValue(v, field);
        else if (key == "clipPrecision")
            f.clipPrecision = byteValue(v, field);
        else if (key == "quality")
            f.quality = byteValue(v, field);
        else if (key == "pitchAndFamily")
            f.pitchAndFamily = byteValue(v, field);
        else if (key == "faceName")
            f.faceName = text(v, field, 255);
    }
    return f;
}

StoredText storedText(const json& entry, const std::string& where)
{
    if (!entry.is_object())
        refuse(where, "must be an object");
    rejectUnknownFields(
        entry, { "text", "font", "colour", "backColour", "transparentBackground" }, where + ".");
    StoredText t;
    if (!entry.contains("text"))
        refuse(where + ".text", "missing");
    for (const auto& item : entry.items()) {
        const std::string& key = item.key();
        const json& v = item.value();
        const std::string field = where + "." + key;
        if (key == "text")
            t.text = storedTextFromOutside(text(v, field, kMaxStoredText));
        else if (key == "font")
            t.font = font(v, field);
        else if (key == "colour")
            t.colour = colour(v, field);
        else if (key == "backColour")
            t.backColour = colour(v, field);
        else if (key == "transparentBackground")
            t.transparentBack = boolean(v, field);
    }
    return t;
}

LayoutSource source(const json& entry, size_t index, const fs::path& folder, SourceFiles files, int64_t version)
{
    const std::string where = "sources[" + std::to_string(index) + "].";
    if (!entry.is_object())
        refuse("sources[" + std::to_string(index) + "]", "must be an object");
    rejectUnknownFields(entry,
        { "file", "text", "posX", "posY", "scaleX", "scaleY", "rotation", "mirrored", "topLevel",
            "bottomLevel", "biasWeight", "fadeEdge", "fileTransparency", "upright" },
        where);
    LayoutSource s;
    s.loadOptions = version >= 2 ? LoadOptions {} : LoadOptions::none();
    if (entry.contains("file") && entry.contains("text"))
        refuse(where + "text", "a source has either a file or a text, not both");
    if (!entry.contains("file") && !entry.contains("text"))
        refuse(where + "file", "missing");
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
            s.biasWeight = numberIn(v, field, 0.0, kBiasWeightTotal);
        else if (key == "fadeEdge")
            s.fadeEdge = boolean(v, field);
        else if (key == "fileTransparency")
            s.loadOptions.fileTransparency = boolean(v, field);
        else if (key == "upright")
            s.loadOptions.upright = boolean(v, field);
        else if (key == "text")
            s.text = storedText(v, field);
    }
    if (s.text)
        return s;
    if (!entry["file"].is_string() || entry["file"].get<std::string>().empty())
        refuse(where + "file", "must be the name of an image file");
    const std::string name = entry["file"].get<std::string>();
    const fs::path file = fs::path(name).is_absolute() ? fs::path(name) : folder / name;
    s.file = file.string();
    if (s.file.size() >= PATH_MAX)
        refuse(where + "file", "is longer than a path can be");
    std::error_code ec;
    if (files == SourceFiles::MustExist && !fs::is_regular_file(file, ec))
        refuse(where + "file", "\"" + s.file + "\" does not exist or is not a file");
    return s;
}
}

namespace {
MergeLayout layoutFrom(const json& document, const fs::path& folder, SourceFiles files)
{
    if (!document.is_object())
        refuse("layout", "must be a JSON object");
    rejectUnknownFields(document,
        { "format", "version", "sources", "mergeType", "thresholdFuzziness", "backgroundColour", "marginX",
            "marginY", "marginColour", "targetContrast", "targetBrightness" },
        "");
    if (document.contains("format")
        && !(document["format"].is_string() && document["format"].get<std::string>() == kArrangementFormat))
        refuse("format", std::string("must be \"") + kArrangementFormat + "\"");
    int64_t version = 1;
    if (document.contains("version")) {
        const json& given = document["version"];
        if (given.is_number_integer() && given.get<int64_t>() > kArrangementVersion)
            refuse("version",
                std::to_string(given.get<int64_t>()) + " is newer than this program reads ("
                    + std::to_string(kArrangementVersion) + ")");
        version = integerIn(given, "version", 1, kArrangementVersion);
    }
    MergeLayout layout;
    if (!document.contains("sources"))
        refuse("sources", "missing");
    const json& sources = document["sources"];
    if (!sources.is_array() || sources.empty() || sources.size() > size_t(kMaxSources))
        refuse("sources", "must be a list of 1 to " + std::to_string(kMaxSources) + " sources");
    for (size_t i = 0; i < sources.size(); ++i)
        layout.sources.push_back(source(sources[i], i, folder, files, version));
    for (const auto& item : document.items()) {
        const std::string& key = item.key();
        const json& v = item.value();
        if (key == "mergeType")
            layout.mergeType = mergeType(v, key);
        else if (key == "thresholdFuzziness")
            layout.thresholdFuzziness = integerIn(v, key, kThresholdFuzziness);
        else if (key == "backgroundColour")
            layout.backgroundColour = colour(v, key);
        else if (key == "marginColour")
            layout.marginColour = colour(v, key);
        else if (key == "marginX")
            layout.marginX = integerIn(v, key, kMargin);
        else if (key == "marginY")
            layout.marginY = integerIn(v, key, kMargin);
        else if (key == "targetContrast")
            layout.targetContrast = integerIn(v, key, kTargetContrast);
        else if (key == "targetBrightness")
            layout.targetBrightness = integerIn(v, key, kTargetBrightness);
    }
    return layout;
}

std::string tooLarge()
{
    return "is larger than an arrangement can be (" + std::to_string(kMaxLayoutBytes >> 20) + " MiB)";
}

// Reads the whole of a regular file of at most kMaxLayoutBytes into `bytes`, never more than one
// byte past that (a file that grows while it is read is still refused). Nothing but a message
// on failure.
std::optional<std::string> readLayoutBytes(const std::string& path, std::string& bytes)
{
    // Not blocking: a FIFO put in the file's place after all must not hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer { fd };
    struct stat st { };
    if (::fstat(fd, &st) != 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return std::string(S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file")
            + ", not an arrangement file";
    if (uint64_t(st.st_size) > kMaxLayoutBytes)
        return tooLarge();
    // The size is a first guess only: a file may grow while it is read, and some tell 0.
    bytes.resize(size_t(st.st_size) + 1);
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > kMaxLayoutBytes)
                break; // enough to refuse it
            bytes.resize(std::min(2 * filled, kMaxLayoutBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::string("cannot be read: ") + std::strerror(errno);
        if (n == 0)
            break;
        filled += size_t(n);
    }
    bytes.resize(filled);
    return std::nullopt;
}
}

std::optional<MergeLayout> parseMergeLayout(
    std::string_view bytes, const std::string& path, std::string& error, SourceFiles files)
{
    try {
        if (bytes.size() > kMaxLayoutBytes)
            throw LayoutError { tooLarge() };
        BoundedJson document;
        if (const std::optional<std::string> refusal = document.parse(bytes, kMaxLayoutNesting))
            throw LayoutError { *refusal };
        return layoutFrom(document.root(), fs::path(path).parent_path(), files);
    } catch (const LayoutError& e) {
        error = e.message;
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read it";
    } catch (const json::exception& e) {
        error = std::string("cannot be read: ") + e.what();
    }
    error = path + ": " + error;
    return std::nullopt;
}

std::optional<MergeLayout> readMergeLayout(const std::string& path, std::string& error, SourceFiles files)
{
    try {
        std::string bytes;
        if (const std::optional<std::string> failure = readLayoutBytes(path, bytes)) {
            error = path + ": " + *failure;
            return std::nullopt;
        }
        return parseMergeLayout(bytes, path, error, files);
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to read it";
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

json textEntry(const StoredText& t)
{
    const LogFont& f = t.font;
    return { { "text", t.text },
        { "font",
            { { "height", f.height }, { "width", f.width }, { "escapement", f.escapement },
                { "orientation", f.orientation }, { "weight", f.weight }, { "italic", f.italic },
                { "underline", f.underline }, { "strikeOut", f.strikeOut }, { "charSet", f.charSet },
                { "outPrecision", f.outPrecision }, { "clipPrecision", f.clipPrecision },
                { "quality", f.quality }, { "pitchAndFamily", f.pitchAndFamily },
                { "faceName", f.faceName } } },
        { "colour", colourText(t.colour) }, { "backColour", colourText(t.backColour) },
        { "transparentBackground", t.transparentBack } };
}
}

std::optional<std::string> mergeLayoutText(
    const std::string& path, const MergeLayout& layout, std::string& error)
{
    try {
        std::error_code ec;
        const fs::path folder = fs::absolute(path, ec).parent_path().lexically_normal();
        json document = json::object();
        document["format"] = kArrangementFormat;
        document["version"] = kArrangementVersion;
        json sources = json::array();
        for (const LayoutSource& s : layout.sources) {
            json entry = { { "posX", s.posX }, { "posY", s.posY }, { "scaleX", s.scaleX },
                { "scaleY", s.scaleY }, { "rotation", s.rotation }, { "mirrored", s.mirrored },
                { "topLevel", s.topLevel }, { "bottomLevel", s.bottomLevel }, { "fadeEdge", s.fadeEdge } };
            if (s.text)
                entry["text"] = textEntry(*s.text);
            else {
                entry["file"] = fileName(s.file, folder);
                entry["fileTransparency"] = s.loadOptions.fileTransparency;
                entry["upright"] = s.loadOptions.upright;
            }
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
        return document.dump(2) + "\n";
    } catch (const std::exception& e) { // a file name that is not UTF-8, or no memory
        error = path + ": cannot be written: " + e.what();
        return std::nullopt;
    }
}

bool writeMergeLayout(const std::string& path, const MergeLayout& layout, std::string& error)
{
    const std::optional<std::string> text = mergeLayoutText(path, layout, error);
    if (!text)
        return false;
    if (!writeFileAtomically(
            path, [&](CxFile& file) { return file.Write(text->data(), 1, text->size()) == text->size(); })) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

void placeLayoutSource(MergeWorkspace& workspace, size_t slot, const LayoutSource& source)
{
    CAlignDoc& align = workspace.alignDoc;
    align.placement[slot].posX = source.posX;
    align.placement[slot].posY = source.posY;
    align.placement[slot].scaleX = source.scaleX;
    align.placement[slot].scaleY = source.scaleY;
    align.placement[slot].rotation = source.rotation;
    align.placement[slot].topLevel = source.topLevel;
    align.placement[slot].bottomLevel = source.bottomLevel;
    workspace.targetDoc.mirrored[slot] = source.mirrored ? 1 : 0;
    workspace.fadeEdge[slot] = source.fadeEdge ? 1 : 0;
}

std::string imageBesideArrangement(const std::string& arrangementPath, int number)
{
    std::string stem = arrangementPath;
    const std::string ending = ".tessary.json";
    const size_t slash = stem.find_last_of('/');
    if (stem.size() >= ending.size() && stem.compare(stem.size() - ending.size(), ending.size(), ending) == 0)
        stem.resize(stem.size() - ending.size());
    else if (const size_t dot = stem.find_last_of('.');
             dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        stem.resize(dot);
    return stem + "-source" + std::to_string(number) + ".png";
}

void captureArrangement(const MergeWorkspace& workspace, const std::string& arrangementPath,
    MergeLayout& layout, std::vector<ImageBesideArrangement>& beside)
{
    MergeLayout captured;
    beside.clear();
    const CAlignDoc& align = workspace.alignDoc;
    for (size_t slot = 0; slot < workspace.documents.size(); ++slot) {
        const VIrorozIzi* doc = workspace.documents[slot].get();
        if (!doc)
            continue;
        LayoutSource s;
        if (doc->sourceKind == kSourceText)
            s.text = storedTextOf(*doc);
        else if (doc->sourceKind == kSourceImageFile && !doc->filePath.empty())
            s.file = doc->filePath;
        else {
            s.file = imageBesideArrangement(arrangementPath, int(slot) + 1);
            beside.push_back({ slot, s.file });
        }
        s.posX = align.placement[slot].posX;
        s.posY = align.placement[slot].posY;
        s.scaleX = align.placement[slot].scaleX;
        s.scaleY = align.placement[slot].scaleY;
        s.rotation = align.placement[slot].rotation;
        s.topLevel = align.placement[slot].topLevel;
        s.bottomLevel = align.placement[slot].bottomLevel;
        s.mirrored = workspace.targetDoc.mirrored[slot] != 0;
        s.biasWeight = workspace.biasWeight[slot];
        s.fadeEdge = workspace.fadeEdge[slot] != 0;
        s.loadOptions = doc->loadOptions;
        captured.sources.push_back(std::move(s));
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
