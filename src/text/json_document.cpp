#include "text/json_document.h"

#include "text/gbk.h"
#include "text/json_value.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>

namespace fundlens {

using json::Json;
using json::Step;

namespace {

// Assigning far beyond an array's end would pad it with this many nulls at most.
constexpr std::int64_t MaxArrayPadding = 1 << 20;

const Json& EmptyObject() {
    static const Json empty = Json::object();
    return empty;
}

// Result of evaluating an access path the way a script evaluates a member expression.
struct Target {
    enum class Kind {
        Value,   // `value` points at it
        Missing, // undefined: a present value without that member
        Failed,  // a step was taken on null or undefined, or the path is not valid
    };
    Kind kind = Kind::Failed;
    const Json* value = nullptr;
    Json computed; // a value made on the way ("length")

    bool IsValue() const { return kind == Kind::Value; }
    bool IsPresent() const { return kind == Kind::Value && !value->is_null(); }
};

// The member a step names on a container, or nullptr.
template <typename J>
J* StepInto(J& container, const Step& step) {
    if (container.is_object()) {
        const std::string name = step.isIndex ? std::to_string(step.index) : step.name;
        const auto it = container.find(name);
        return it == container.end() ? nullptr : &*it;
    }
    if (container.is_array()) {
        const std::int64_t index = step.isIndex ? step.index : json::IndexOfName(step.name);
        if (index < 0 || static_cast<std::uint64_t>(index) >= container.size())
            return nullptr;
        return &container[static_cast<std::size_t>(index)];
    }
    return nullptr;
}

// Length in UTF-16 code units, as a script counts a string.
std::int64_t ScriptLength(const std::string& utf8) {
    std::int64_t units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        units += gbk::DecodeUtf8(utf8, i, length) >= 0x10000 ? 2 : 1;
        i += length;
    }
    return units;
}

Target Evaluate(const Json& root, const std::vector<Step>& steps) {
    Target t;
    t.kind = Target::Kind::Value;
    t.value = &root;
    for (const Step& step : steps) {
        if (t.kind != Target::Kind::Value || t.value->is_null()) {
            t.kind = Target::Kind::Failed;
            return t;
        }
        if (!step.isIndex && step.name == "length" &&
            (t.value->is_array() || t.value->is_string())) {
            const std::int64_t length = t.value->is_array()
                                            ? static_cast<std::int64_t>(t.value->size())
                                            : ScriptLength(*t.value->get_ptr<const std::string*>());
            t.computed = length;
            t.value = &t.computed;
            continue;
        }
        const Json* next = StepInto(*t.value, step);
        if (!next)
            t.kind = Target::Kind::Missing;
        else
            t.value = next;
    }
    return t;
}

Target Evaluate(const Json& root, const Text& path) {
    std::vector<Step> steps;
    if (!json::ParsePath(gbk::ToUtf8(path), steps))
        return Target{};
    return Evaluate(root, steps);
}

Target EvaluateElement(const Json& root, const Text& path, int index) {
    std::vector<Step> steps;
    if (!json::ParsePath(gbk::ToUtf8(path), steps))
        return Target{};
    Step step;
    step.isIndex = index >= 0;
    step.index = index;
    if (index < 0)
        step.name = std::to_string(index);
    steps.push_back(step);
    return Evaluate(root, steps);
}

// A text made from a string of the document. Texts hold no NUL: a "\u0000" (or "\0", "\x00")
// ends the text there, as a page's text ends at its first NUL byte.
Text TextOfString(std::string_view utf8) {
    return gbk::FromUtf8(utf8.substr(0, utf8.find('\0')));
}

// Text of a value as the document hands it out.
Text TargetText(const Target& t, bool asJson) {
    if (!t.IsValue())
        return {}; // undefined and failed evaluations have no text
    const Json& v = *t.value;
    if (asJson)
        return gbk::FromUtf8(json::Stringify(v));
    if (v.is_null())
        return {};
    if (v.is_number())
        return NumberToText(v.get<double>());
    if (v.is_string())
        return TextOfString(*v.get_ptr<const std::string*>());
    return TextOfString(json::ScriptText(v));
}

bool Truthy(const Json& v) {
    switch (v.type()) {
    case Json::value_t::boolean:
        return v.get<bool>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: {
        const double d = v.get<double>();
        return d != 0 && !std::isnan(d);
    }
    case Json::value_t::string:
        return !v.get_ptr<const std::string*>()->empty();
    case Json::value_t::object:
    case Json::value_t::array:
        return true;
    default:
        return false;
    }
}

// The value a setter assigns: the text itself, or (isJson) the value it parses to, with an
// empty text meaning {}. Nesting is bounded by what is left below the assigned place.
bool MakeValue(const Text& value, bool isJson, int depthLeft, Json& out) {
    if (!isJson) {
        out = gbk::ToUtf8(value);
        return true;
    }
    if (value.empty()) {
        out = Json::object();
        return depthLeft >= 1;
    }
    return depthLeft >= 0 && json::ParseValue(gbk::ToUtf8(value), out, depthLeft);
}

// Assigns `value` to the place `steps` names, as a script assignment does: the container of
// the last step must be a present object or array; the document is unchanged on failure.
bool AssignAt(Json& root, const std::vector<Step>& steps, Json&& value) {
    if (steps.empty()) {
        root = std::move(value);
        return true;
    }
    Json* parent = &root;
    for (std::size_t k = 0; k + 1 < steps.size(); ++k) {
        parent = StepInto(*parent, steps[k]);
        if (!parent)
            return false;
    }
    const Step& last = steps.back();
    if (parent->is_object()) {
        const std::string name = last.isIndex ? std::to_string(last.index) : last.name;
        (*parent)[name] = std::move(value);
        return true;
    }
    if (!parent->is_array())
        return false; // null, undefined or a scalar takes no member
    const std::int64_t index = last.isIndex ? last.index : json::IndexOfName(last.name);
    const auto size = static_cast<std::int64_t>(parent->size());
    if (index < 0 || index - size > MaxArrayPadding)
        return false;
    auto& elements = *parent->get_ptr<Json::array_t*>();
    if (index < size) {
        elements[static_cast<std::size_t>(index)] = std::move(value);
        return true;
    }
    elements.resize(static_cast<std::size_t>(index)); // the gap reads as null
    elements.push_back(std::move(value));
    return true;
}

int DepthLeft(std::size_t steps) {
    return JsonDocument::MaxDepth - static_cast<int>(steps);
}

} // namespace

// Finds the present value `steps` name, for writing; nullptr when there is none.
Json* Locate(Json& root, const std::vector<Step>& steps) {
    Json* value = &root;
    for (const Step& step : steps) {
        value = StepInto(*value, step);
        if (!value)
            return nullptr;
    }
    return value;
}

struct JsonDocument::Impl {
    Json doc = Json::object();

    // A moved-from document reads as the empty object and becomes one when written.
    static const Json& Read(const std::unique_ptr<Impl>& impl) {
        return impl ? impl->doc : EmptyObject();
    }
    static Json& Write(std::unique_ptr<Impl>& impl) {
        if (!impl)
            impl = std::make_unique<Impl>();
        return impl->doc;
    }
    // A document holding a copy of the value; undefined copies as null.
    static JsonDocument Copy(const Target& t) {
        JsonDocument doc;
        doc.m_impl->doc = t.IsValue() ? *t.value : Json();
        return doc;
    }
};

JsonDocument::JsonDocument() : m_impl(std::make_unique<Impl>()) {}
JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(const JsonDocument& other)
    : m_impl(std::make_unique<Impl>(other.m_impl ? *other.m_impl : Impl{})) {}
JsonDocument& JsonDocument::operator=(const JsonDocument& other) {
    if (this != &other)
        m_impl = std::make_unique<Impl>(other.m_impl ? *other.m_impl : Impl{});
    return *this;
}
JsonDocument::JsonDocument(JsonDocument&&) noexcept = default;
JsonDocument& JsonDocument::operator=(JsonDocument&&) noexcept = default;

bool JsonDocument::Parse(const Text& text) {
    Json& doc = Impl::Write(m_impl);
    Json parsed;
    if (!json::ParseValue(gbk::ToUtf8(text), parsed, MaxDepth) || parsed.is_null()) {
        doc = nullptr;
        return false;
    }
    doc = std::move(parsed);
    return true;
}

Text JsonDocument::Stringify() const {
    return gbk::FromUtf8(json::Stringify(Impl::Read(m_impl)));
}

bool JsonDocument::SetText(const Text& path, const Text& value, bool isJson) {
    std::vector<Step> steps;
    Json v;
    if (!json::ParsePath(gbk::ToUtf8(path), steps) ||
        !MakeValue(value, isJson, DepthLeft(steps.size()), v))
        return false;
    return AssignAt(Impl::Write(m_impl), steps, std::move(v));
}

bool JsonDocument::SetJson(const Text& path, const Text& json) {
    return SetText(path, json, true);
}

bool JsonDocument::SetNumber(const Text& path, double value) {
    if (!std::isfinite(value))
        return false;
    std::vector<Step> steps;
    if (!json::ParsePath(gbk::ToUtf8(path), steps))
        return false;
    // The number is stored as "%.13g" writes it.
    return AssignAt(Impl::Write(m_impl), steps,
                    json::MakeNumber(TextToNumber(NumberToText(value))));
}

double JsonDocument::GetNumber(const Text& path) const {
    const Target t = Evaluate(Impl::Read(m_impl), path);
    if (!t.IsValue())
        return 0;
    const Json& v = *t.value;
    if (v.is_number())
        return v.get<double>();
    if (v.is_boolean())
        return v.get<bool>() ? 1 : 0;
    if (v.is_string())
        return json::ScriptTextToNumber(*v.get_ptr<const std::string*>());
    return 0;
}

Text JsonDocument::StringifyMember(const Text& path) const {
    return TargetText(Evaluate(Impl::Read(m_impl), path), true);
}

Text JsonDocument::GetText(const Text& path, bool asJson) const {
    return TargetText(Evaluate(Impl::Read(m_impl), path), asJson);
}

JsonDocument JsonDocument::GetMember(const Text& path) const {
    return Impl::Copy(Evaluate(Impl::Read(m_impl), path));
}

int JsonDocument::Count(const Text& path) const {
    const Target t = Evaluate(Impl::Read(m_impl), path);
    if (t.kind == Target::Kind::Failed)
        return 0;
    if (!t.IsPresent())
        return -2;
    const Json& v = *t.value;
    if (v.is_array() || v.is_object())
        return static_cast<int>(std::min<std::size_t>(v.size(), INT_MAX));
    return 1;
}

bool JsonDocument::Push(const Text& path, const Text& value, bool isJson) {
    std::vector<Step> steps;
    Json v;
    if (!json::ParsePath(gbk::ToUtf8(path), steps) ||
        !MakeValue(value, isJson, DepthLeft(steps.size() + 1), v))
        return false;
    Json& doc = Impl::Write(m_impl);
    if (Json* target = Locate(doc, steps); target && target->is_array()) {
        target->get_ptr<Json::array_t*>()->push_back(std::move(v));
        return true;
    }
    Json array = Json::array();
    array.get_ptr<Json::array_t*>()->push_back(std::move(v));
    return AssignAt(doc, steps, std::move(array));
}

JsonDocument JsonDocument::GetElement(int index, const Text& path) const {
    return Impl::Copy(EvaluateElement(Impl::Read(m_impl), path, index));
}

std::vector<JsonDocument> JsonDocument::IndexedElements(const Text& path) const {
    std::vector<JsonDocument> elements;
    const Target t = Evaluate(Impl::Read(m_impl), path);
    if (!t.IsPresent())
        return elements;
    const Json& container = *t.value;
    auto add = [&elements](const Json* value) {
        JsonDocument& doc = elements.emplace_back();
        doc.m_impl->doc = value ? *value : Json();
    };
    if (container.is_array()) {
        elements.reserve(container.size());
        for (const Json& element : container)
            add(&element);
    } else if (container.is_object()) {
        // Members by name once, then "0", "1", … looked up in it (find() on the object itself
        // walks its members one by one).
        std::unordered_map<std::string_view, const Json*> byName;
        byName.reserve(container.size());
        for (const auto& item : container.items())
            byName.emplace(item.key(), &item.value());
        elements.reserve(container.size());
        for (std::size_t k = 0; k < container.size(); ++k) {
            const auto it = byName.find(std::to_string(k));
            add(it == byName.end() ? nullptr : it->second);
        }
    }
    return elements;
}

Text JsonDocument::GetElementText(int index, const Text& path, bool asJson) const {
    return TargetText(EvaluateElement(Impl::Read(m_impl), path, index), asJson);
}

bool JsonDocument::SetElement(int index, const Text& value, bool isJson) {
    Json& doc = Impl::Write(m_impl);
    Json v;
    if (!doc.is_array() || index < 0 || !MakeValue(value, isJson, DepthLeft(1), v))
        return false;
    Step step;
    step.isIndex = true;
    step.index = index;
    return AssignAt(doc, {step}, std::move(v));
}

bool JsonDocument::RemoveElement(int index) {
    Json& doc = Impl::Write(m_impl);
    if (!doc.is_array() || index < 0 || static_cast<std::size_t>(index) >= doc.size())
        return false;
    doc.erase(static_cast<std::size_t>(index));
    return true;
}

void JsonDocument::Reset(int type) {
    if (type == Null || type == Object)
        Impl::Write(m_impl) = Json::object();
    else if (type == Array)
        Impl::Write(m_impl) = Json::array();
}

bool JsonDocument::Assign(const Text& value, bool isJson) {
    Json v;
    if (!MakeValue(value, isJson, MaxDepth, v))
        return false;
    const bool truthy = Truthy(v);
    Impl::Write(m_impl) = std::move(v);
    return truthy;
}

bool JsonDocument::Exists(const Text& path) const {
    return Evaluate(Impl::Read(m_impl), path).IsPresent();
}

int JsonDocument::Keys(const Text& path, std::vector<Text>& keys) const {
    keys.clear();
    const Target t = Evaluate(Impl::Read(m_impl), path);
    if (!t.IsValue())
        return 0;
    const Json& v = *t.value;
    if (v.is_object()) {
        for (const auto& item : v.items())
            keys.push_back(TextOfString(item.key()));
    } else if (v.is_array()) {
        for (std::size_t k = 0; k < v.size(); ++k)
            keys.push_back(std::to_string(k));
    }
    return static_cast<int>(keys.size());
}

int JsonDocument::TypeOf(const Text& path) const {
    const Target t = Evaluate(Impl::Read(m_impl), path);
    if (t.kind == Target::Kind::Failed)
        return Other;
    if (!t.IsPresent())
        return Null;
    const Json& v = *t.value;
    if (v.is_number())
        return Number;
    if (v.is_string())
        return String;
    if (v.is_array())
        return Array;
    if (v.is_object())
        return Object;
    return Other;
}

void JsonDocument::Clear() {
    Impl::Write(m_impl) = Json::object();
}

} // namespace fundlens
