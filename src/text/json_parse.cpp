#include "text/json_reader.h"
#include "text/json_value.h"

#include <cmath>
#include <unordered_map>

namespace fundlens::json {

namespace {

// Members of an object after which duplicate names are looked up through a hash index
// instead of a linear scan.
constexpr std::size_t IndexedObjectSize = 16;

// An open container while parsing, and what may come next in it.
struct Frame {
    enum class Next {
        KeyOrEnd,     // object: after '{' or ','
        MemberValue,  // object: after ':'
        ElementOrEnd, // array: after '[' or ',' (a value, ']', or ',' for a hole)
        CommaOrEnd,   // after a value
    };
    Json value;
    Next next;
    std::string key;                                    // member name awaiting its value
    std::unordered_map<std::string, std::size_t> index; // names of a large object
};

// Puts `value` into the object of `frame` under its pending key; a repeated name replaces
// the earlier value in its place, as in a script.
void AddMember(Frame& frame, Json&& value) {
    // The ordered map is a vector of pairs; names are checked here, so append directly.
    using Container = Json::object_t::Container;
    auto& members = static_cast<Container&>(*frame.value.get_ptr<Json::object_t*>());
    if (members.size() < IndexedObjectSize) {
        for (auto& member : members) {
            if (member.first == frame.key) {
                member.second = std::move(value);
                return;
            }
        }
        members.emplace_back(std::move(frame.key), std::move(value));
        return;
    }
    if (frame.index.empty()) {
        for (std::size_t k = 0; k < members.size(); ++k)
            frame.index.emplace(members[k].first, k);
    }
    const auto [it, inserted] = frame.index.emplace(frame.key, members.size());
    if (!inserted) {
        members[it->second].second = std::move(value);
        return;
    }
    members.emplace_back(std::move(frame.key), std::move(value));
}

} // namespace

Json MakeNumber(double value) {
    constexpr double Exact = 9007199254740992.0; // 2^53
    if (std::isfinite(value) && std::fabs(value) <= Exact && std::trunc(value) == value)
        return Json(static_cast<std::int64_t>(value)); // -0 becomes 0, as scripts print it
    return Json(value);
}

bool ParseValue(std::string_view utf8, Json& out, int maxDepth) {
    Reader r(utf8);
    std::vector<Frame> stack;
    bool done = false;
    Json result;

    // Hands a finished value to its container, or makes it the result.
    const auto deliver = [&](Json&& value) {
        if (stack.empty()) {
            result = std::move(value);
            done = true;
            return;
        }
        Frame& top = stack.back();
        if (top.value.is_array())
            top.value.get_ptr<Json::array_t*>()->push_back(std::move(value));
        else
            AddMember(top, std::move(value));
        top.next = Frame::Next::CommaOrEnd;
    };
    const auto close = [&] {
        Json finished = std::move(stack.back().value);
        stack.pop_back();
        deliver(std::move(finished));
    };

    while (!done) {
        if (!r.SkipBlank())
            return false;
        if (!stack.empty()) {
            Frame& top = stack.back();
            const bool isArray = top.value.is_array();
            const char c = r.Peek();
            switch (top.next) {
            case Frame::Next::KeyOrEnd:
                if (c == '}') {
                    r.Skip();
                    close();
                    continue;
                }
                if (!r.ReadName(top.key) || !r.SkipBlank() || r.Peek() != ':')
                    return false;
                r.Skip();
                top.next = Frame::Next::MemberValue;
                continue;
            case Frame::Next::ElementOrEnd:
                if (c == ']') {
                    r.Skip();
                    close();
                    continue;
                }
                if (c == ',') { // a hole reads as null
                    r.Skip();
                    top.value.get_ptr<Json::array_t*>()->emplace_back(nullptr);
                    continue;
                }
                break;
            case Frame::Next::MemberValue:
                break;
            case Frame::Next::CommaOrEnd:
                if (c == ',') {
                    r.Skip();
                    top.next = isArray ? Frame::Next::ElementOrEnd : Frame::Next::KeyOrEnd;
                    continue;
                }
                if (c == (isArray ? ']' : '}')) {
                    r.Skip();
                    close();
                    continue;
                }
                return false;
            }
        }
        // A value.
        const char c = r.Peek();
        if (c == '{' || c == '[') {
            if (static_cast<int>(stack.size()) >= maxDepth)
                return false;
            r.Skip();
            Frame frame;
            frame.value = c == '{' ? Json::object() : Json::array();
            frame.next = c == '{' ? Frame::Next::KeyOrEnd : Frame::Next::ElementOrEnd;
            stack.push_back(std::move(frame));
            continue;
        }
        Json value;
        if (c == '"' || c == '\'') {
            std::string text;
            if (!r.ReadString(text))
                return false;
            value = std::move(text);
        } else if (c == '-' || c == '+' || c == '.' || IsAsciiDigit(c)) {
            if (!r.ReadNumber(value))
                return false;
        } else if (r.ReadWord("true")) {
            value = true;
        } else if (r.ReadWord("false")) {
            value = false;
        } else if (r.ReadWord("null")) {
            value = nullptr;
        } else {
            return false;
        }
        deliver(std::move(value));
    }
    if (!r.SkipBlank() || !r.AtEnd())
        return false; // a second value, a call, a statement...
    out = std::move(result);
    return true;
}

bool ParsePath(std::string_view utf8, std::vector<Step>& steps) {
    steps.clear();
    Reader r(utf8);
    while (!r.AtEnd()) {
        Step step;
        if (r.Peek() == '[') {
            r.Skip();
            if (!r.SkipBlank())
                return false;
            if (r.Peek() == '"' || r.Peek() == '\'') {
                if (!r.ReadString(step.name))
                    return false;
            } else if (!r.ReadIndex(step)) {
                return false;
            }
            if (!r.SkipBlank() || r.Peek() != ']')
                return false;
            r.Skip();
        } else {
            if (!steps.empty()) {
                if (r.Peek() != '.')
                    return false;
                r.Skip();
            }
            if (!r.ReadBareName(step.name))
                return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

std::int64_t IndexOfName(std::string_view name) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name.front() == '0'))
        return -1;
    std::int64_t value = 0;
    for (char c : name) {
        if (!IsAsciiDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value < 4294967295 ? value : -1; // the largest array index of a script
}

} // namespace fundlens::json
