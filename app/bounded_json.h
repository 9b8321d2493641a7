#pragma once
#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace tessary {

// A JSON document from outside the program, parsed so that a hostile one stays cheap: it is
// refused at the first bracket that opens one level more than `maxNesting`, before anything is
// built for it, and at a name given twice in one object. Letting the document go never
// allocates: the library's own teardown does, and when that fails for lack of memory it ends
// the program; this one takes the tree down leaves first, recursing as deep as the nesting.
class BoundedJson {
public:
    BoundedJson() = default;
    ~BoundedJson();
    BoundedJson(const BoundedJson&) = delete;
    BoundedJson& operator=(const BoundedJson&) = delete;

    // Nothing when `bytes` were parsed into root(), else why they were refused. Throws
    // std::bad_alloc when memory runs out; the document is then given up as usual.
    std::optional<std::string> parse(std::string_view bytes, int maxNesting);
    const nlohmann::json& root() const { return root_; }

private:
    nlohmann::json root_;
};

} // namespace tessary
