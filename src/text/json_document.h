// JsonDocument: one JSON value parsed from an answer, read by access path.
#pragma once

#include "text/text.h"

#include <memory>
#include <vector>

namespace fundlens {

// Access paths are member expressions relative to the document: "Datas[3].NAME",
// "Datas[3]['_id']", "data.diff[0].f12", "[0].f12" (a leading "[" addresses the document
// itself), "" (the document). Texts in and out are GBK.
//
// Paths are evaluated as a script evaluates member expressions: a step on null or on a missing
// member fails (Count 0, TypeOf Other, empty texts); a step on a present value that lacks the
// member gives "missing" (Count -2, TypeOf Null). "length" of an array or a text is its length;
// an index on an object names the member with those digits. A path that is not valid fails.
//
// Parse accepts JSON plus the relaxed literal forms the portal uses (unquoted member names,
// single-quoted strings, script string escapes, trailing commas, comments). It never
// evaluates text as code: a JSONP call, a statement or trailing text is not a value. Nesting
// deeper than MaxDepth fails to parse, and no setter nests a document deeper than that.
// A moved-from document reads as the empty object.
class JsonDocument {
public:
    // Type codes of TypeOf.
    enum Type : int {
        Null = 0, // null, or nothing there
        Number = 2,
        Object = 4,
        Array = 5,
        String = 6,
        Other = -1, // boolean, or a path whose evaluation fails
    };

    static constexpr int MaxDepth = 512;

    JsonDocument(); // the empty object
    ~JsonDocument();
    JsonDocument(const JsonDocument&);
    JsonDocument& operator=(const JsonDocument&);
    JsonDocument(JsonDocument&&) noexcept;
    JsonDocument& operator=(JsonDocument&&) noexcept;

    // Replaces the document by the value of `text`. False (document null) when the text is
    // empty, invalid, or null.
    bool Parse(const Text& text);

    // The whole document as JSON text.
    Text Stringify() const;

    // The member at `path` becomes the text `value`, or (isJson) the value parsed from it;
    // an empty JSON value means {}. False (document unchanged) when the value does not parse
    // or the path cannot be assigned: its container is missing, null or not an object or
    // array. An index past an array's end pads it with null (up to about a million).
    bool SetText(const Text& path, const Text& value, bool isJson = false);
    bool SetJson(const Text& path, const Text& json);
    bool SetNumber(const Text& path, double value);

    double GetNumber(const Text& path) const;
    Text StringifyMember(const Text& path) const;

    // Text of the member: numbers as "%.13g", texts unchanged, arrays joined by ",",
    // objects "[object Object]", null / missing / failed paths empty. asJson: its JSON text.
    Text GetText(const Text& path, bool asJson = false) const;

    JsonDocument GetMember(const Text& path) const;

    // Elements of the array / members of the object at `path`; 1 for a text, number or
    // boolean; -2 when the member is missing or null; 0 when a member before the last step
    // is missing.
    int Count(const Text& path = {}) const;

    // Appends to the array at `path` (which becomes an empty array first when it is not one).
    bool Push(const Text& path, const Text& value, bool isJson = false);

    JsonDocument GetElement(int index, const Text& path = {}) const;
    // What `path[0]`, `path[1]`, … up to Count(path) reach, as documents, in one pass: the
    // elements of an array, or the members of an object named "0", "1", … (a missing one as
    // null). Nothing for any other value. Linear in the size of the container.
    std::vector<JsonDocument> IndexedElements(const Text& path = {}) const;
    Text GetElementText(int index, const Text& path = {}, bool asJson = false) const;
    // The document must be an array; a negative index fails.
    bool SetElement(int index, const Text& value, bool isJson = false);
    bool RemoveElement(int index);

    // 0 or 4: the empty object; 5: the empty array; other codes: no change.
    void Reset(int type);

    // The whole document becomes the value; returns its truth value (JavaScript rules).
    bool Assign(const Text& value, bool isJson = false);

    // The value at the path is neither null nor missing.
    bool Exists(const Text& path) const;

    // Member names of the object at path (indexes for an array); returns their number.
    int Keys(const Text& path, std::vector<Text>& keys) const;

    int TypeOf(const Text& path) const;

    // The document becomes the empty object.
    void Clear();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The characters of a JSON string literal holding the UTF-8 `text`, without the quotes.
std::string JsonEscape(std::string_view text);

} // namespace fundlens
