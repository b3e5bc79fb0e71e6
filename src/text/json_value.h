// The JSON values behind JsonDocument: reading script literals, access paths, and writing text
// the way a script engine does. Internal to src/text; all texts here are UTF-8.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace fundlens::json {

using Json = nlohmann::ordered_json;

// Parses one value: JSON plus the literal forms scripts accept (unquoted member names,
// single-quoted strings, script string escapes, hex and legacy octal numbers, trailing commas
// and holes in arrays, comments). Blanks may surround the value; anything else fails, as does
// nesting deeper than `maxDepth` containers. Non-recursive. False leaves `out` unspecified.
bool ParseValue(std::string_view utf8, Json& out, int maxDepth);

// A number as a script holds it: integral values within 2^53 are kept as integers so that
// they are written without a fraction.
Json MakeNumber(double value);

// One step of an access path.
struct Step {
    bool isIndex = false;
    std::int64_t index = 0; // when isIndex
    std::string name;       // when not isIndex
};

// Parses  path := step ('.' name | '[' index ']' | '[' quoted-name ']')*  where the first step
// is a name or a bracket. An empty path gives no steps. False on a syntax error.
bool ParsePath(std::string_view utf8, std::vector<Step>& steps);

// The array index a member name stands for ("0", "17"; no sign, no leading zero), or -1.
std::int64_t IndexOfName(std::string_view name);

// Containers nested in the value (0 for a scalar, 1 for [] or {}, ...).
int Depth(const Json& value);

// JSON.stringify: compact, non-ASCII kept as is. Non-finite numbers are written as null.
std::string Stringify(const Json& value);

// String(value) of a script: numbers in their shortest form, arrays joined by ",",
// null inside arrays empty, objects "[object Object]".
std::string ScriptText(const Json& value);

// Number.prototype.toString: the shortest text that reads back as the same double.
std::string ScriptNumberText(double value);

// Number(text) of a script, with NaN read as 0.
double ScriptTextToNumber(std::string_view utf8);

} // namespace fundlens::json
