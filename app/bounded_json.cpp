#include "app/bounded_json.h"

#include <vector>

namespace tessary {

namespace {
using nlohmann::json;

// Builds the tree as the library's own parser does, from the events of its SAX interface.
class Builder : public nlohmann::json_sax<json> {
public:
    Builder(json& root, int maxNesting)
        : root_(root)
        , maxNesting_(size_t(maxNesting))
    {
        open_.reserve(maxNesting_);
    }

    bool null() override { return add(nullptr); }
    bool boolean(bool value) override { return add(value); }
    bool number_integer(number_integer_t value) override { return add(value); }
    bool number_unsigned(number_unsigned_t value) override { return add(value); }
    bool number_float(number_float_t value, const string_t&) override { return add(value); }
    bool string(string_t& value) override { return add(std::move(value)); }
    bool binary(binary_t& value) override { return add(json::binary(std::move(value))); }
    bool start_object(std::size_t) override { return open(json::object()); }
    bool start_array(std::size_t) override { return open(json::array()); }
    bool key(string_t& name) override
    {
        if (open_.back()->contains(name)) {
            refusal = "\"" + name + "\" is given twice";
            return false;
        }
        key_ = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override
    {
        refusal = std::string("not valid JSON: ") + e.what();
        return false;
    }

    std::optional<std::string> refusal;

private:
    // The new value's place: the root, the next item of an array or the named member of an
    // object. Only the open containers are pointed at, and nothing is added to one of them while
    // a value inside it is still open, so the pointers stay valid.
    json* place()
    {
        if (open_.empty())
            return &root_;
        json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(nullptr);
            return &container.back();
        }
        return &container[key_];
    }
    bool add(json&& value)
    {
        *place() = std::move(value);
        return true;
    }
    bool open(json&& container)
    {
        if (open_.size() >= maxNesting_) {
            refusal = "nested more than " + std::to_string(maxNesting_) + " levels deep";
            return false;
        }
        json* at = place();
        *at = std::move(container);
        open_.push_back(at);
        return true;
    }
    bool close()
    {
        open_.pop_back();
        return true;
    }

    json& root_;
    const size_t maxNesting_;
    std::vector<json*> open_;
    std::string key_;
};

// Leaves first, so that every container is empty by the time it goes; an empty container's
// teardown allocates nothing.
void dismantle(json& value) noexcept
{
    if (!value.is_structured())
        return;
    for (json& item : value)
        dismantle(item);
    value.clear();
}
}

BoundedJson::~BoundedJson()
{
    dismantle(root_);
}

std::optional<std::string> BoundedJson::parse(std::string_view bytes, int maxNesting)
{
    dismantle(root_);
    root_ = json();
    Builder builder(root_, maxNesting);
    if (json::sax_parse(bytes.begin(), bytes.end(), &builder))
        return std::nullopt;
    return builder.refusal ? builder.refusal : std::string("not valid JSON");
}

} // namespace tessary
